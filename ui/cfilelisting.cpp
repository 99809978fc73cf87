#include "ui/cfilelisting.h"

#include "ui/cfiletable.h"

#include <QFileInfo>

#include <algorithm>

cFileListing::cFileListing(cFileRows &rows, cFileTable &table, std::function<void(QToolButton *)> prepare,
                           QObject *parent)
    : QObject(parent), rows(rows), table(table), prepare(std::move(prepare)), sourceList(new cSourceList(this))
{
    connect(sourceList, &cSourceList::progress, this, [this](int found) {
        foundSoFar = found;
        emit progress();
    });
    connect(sourceList, &cSourceList::listed, this, &cFileListing::show);
    connect(sourceList, &cSourceList::cancelled, this, &cFileListing::cancelled);
}

void cFileListing::list(const QStringList &paths, bool add, const QStringList &left)
{
    if (sourceList->isListing())
        return;
    adding = add;
    leftOut = left;
    if (std::none_of(paths.cbegin(), paths.cend(), [](const QString &path) { return QFileInfo(path).isDir(); })) {
        show(cSourceList::collect(paths));
        return;
    }
    foundSoFar = 0;
    sourceList->list(paths);
}

void cFileListing::clear()
{
    rows.clear();
    table.fill(rows, 0, prepare);
    emit listed(cStatusMessage(), QString());
}

void cFileListing::show(const cSourceList::Result &result)
{
    const int before = adding ? rows.count() : 0;
    const int found = static_cast<int>(result.sources.size());
    const int added = adding ? rows.add(result.sources) : found;
    if (found > 0) {
        if (!adding)
            rows.setSources(result.sources);
        table.fill(rows, before, prepare);
    }
    const int missing = static_cast<int>(result.missing.size());
    const int unlisted = static_cast<int>(result.failures.size()) - missing;
    emit listed(adding ? cStatusMessage::added(added, found - added, leftOut, missing, unlisted)
                       : cStatusMessage::listed(found, missing, unlisted),
                found > 0 ? QFileInfo(result.sources.first().path).absolutePath() : QString());
}
