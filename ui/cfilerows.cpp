#include "ui/cfilerows.h"

#include <algorithm>
#include <functional>

void cFileRows::setPaths(const QStringList &paths)
{
    rows.clear();
    rows.reserve(paths.size());
    for (const QString &path : paths)
        rows.append({path, State::Waiting, QString(), cText(), QString()});
    index();
}

void cFileRows::remove(QList<int> indexes)
{
    std::sort(indexes.begin(), indexes.end(), std::greater<int>());
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    for (const int row : std::as_const(indexes)) {
        if (row >= 0 && row < rows.size())
            rows.removeAt(row);
    }
    index();
}

QStringList cFileRows::paths() const
{
    QStringList list;
    list.reserve(rows.size());
    for (const Row &row : rows)
        list.append(row.path);
    return list;
}

void cFileRows::restart()
{
    for (Row &row : rows)
        row = {row.path, State::Waiting, QString(), cText(), QString()};
    for (PathRows &path : rowsOfPath)
        path.results = 0;
    unfinishedFrom = 0;
}

int cFileRows::start(const QString &fn)
{
    const auto found = rowsOfPath.constFind(fn);
    if (found == rowsOfPath.constEnd())
        return -1;
    for (const int row : found->rows) {
        if (rows.at(row).state == State::Waiting) {
            rows[row].state = State::Converting;
            return row;
        }
    }
    return -1;
}

int cFileRows::finish(const QString &fn, bool converted, const QString &output, const cText &reason,
                      const QString &format)
{
    const auto found = rowsOfPath.find(fn);
    if (found == rowsOfPath.end() || found->results >= found->rows.size())
        return -1;
    const int row = found->rows.at(found->results++);
    rows[row] = {fn, converted ? State::Converted : State::Failed, output, reason, format};
    return row;
}

QList<int> cFileRows::stopConverting()
{
    QList<int> stopped;
    for (int row = 0; row < rows.size(); ++row) {
        if (rows.at(row).state == State::Converting) {
            rows[row].state = State::Waiting;
            stopped.append(row);
        }
    }
    return stopped;
}

int cFileRows::firstUnfinished()
{
    while (unfinishedFrom < rows.size() &&
           (rows.at(unfinishedFrom).state == State::Converted || rows.at(unfinishedFrom).state == State::Failed))
        ++unfinishedFrom;
    return unfinishedFrom;
}

void cFileRows::index()
{
    rowsOfPath.clear();
    for (int row = 0; row < rows.size(); ++row)
        rowsOfPath[rows.at(row).path].rows.append(row);
    unfinishedFrom = 0;
}
