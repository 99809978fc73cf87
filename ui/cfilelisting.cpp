#include "ui/cfilelisting.h"

#include "ui/cfilelistmodel.h"

#include <QFileInfo>

#include <algorithm>

cFileListing::cFileListing(cFileListModel *rows, QObject *parent)
    : QObject(parent), rows(rows), sourceList(new cSourceList(this))
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
    rows->clear();
    emit listed(cStatusMessage(), QString());
}

void cFileListing::show(const cSourceList::Result &result)
{
    const int found = static_cast<int>(result.sources.size());
    const int added = adding ? rows->add(result.sources) : found;
    if (found > 0 && !adding)
        rows->setSources(result.sources);
    const int missing = static_cast<int>(result.missing.size());
    const int unlisted = static_cast<int>(result.failures.size()) - missing;
    emit listed(adding ? cStatusMessage::added(added, found - added, leftOut, missing, unlisted)
                       : cStatusMessage::listed(found, missing, unlisted),
                found > 0 ? QFileInfo(result.sources.first().path).absolutePath() : QString());
}
