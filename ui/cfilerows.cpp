#include "ui/cfilerows.h"

#include <algorithm>
#include <functional>

void cFileRows::setPaths(const QStringList &paths)
{
    rows.clear();
    rows.reserve(paths.size());
    for (const QString &path : paths)
        rows.append({path, State::Waiting, QString(), cText()});
    index();
}

int cFileRows::add(const QStringList &paths)
{
    const auto before = rows.size();
    for (const QString &path : paths) {
        if (rowsOfPath.contains(path))
            continue;
        rowsOfPath[path].rows.append(static_cast<int>(rows.size()));
        rows.append({path, State::Waiting, QString(), cText()});
    }
    index();
    return static_cast<int>(rows.size() - before);
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
        row = {row.path, State::Waiting, QString(), cText()};
    index();
}

QStringList cFileRows::restartFailed()
{
    QStringList paths;
    for (PathRows &path : rowsOfPath) {
        path.batchRows.clear();
        path.results = 0;
    }
    for (int row = 0; row < rows.size(); ++row) {
        inBatch[row] = rows.at(row).state == State::Failed;
        if (!inBatch.at(row))
            continue;
        rows[row] = {rows.at(row).path, State::Waiting, QString(), cText()};
        rowsOfPath[rows.at(row).path].batchRows.append(row);
        paths.append(rows.at(row).path);
    }
    unfinishedFrom = 0;
    return paths;
}

bool cFileRows::needsAttention(int row) const
{
    return row >= 0 && row < rows.size() && rows.at(row).state == State::Failed;
}

int cFileRows::nextNeedingAttention(int after) const
{
    const int total = count();
    for (int step = 1; step <= total; ++step) {
        const int row = ((after < 0 ? -1 : after) + step) % total;
        if (needsAttention(row))
            return row;
    }
    return -1;
}

int cFileRows::start(const QString &fn)
{
    const auto found = rowsOfPath.constFind(fn);
    if (found == rowsOfPath.constEnd())
        return -1;
    for (const int row : found->batchRows) {
        if (rows.at(row).state == State::Waiting) {
            rows[row].state = State::Converting;
            return row;
        }
    }
    return -1;
}

int cFileRows::finish(const QString &fn, bool converted, const QString &output, const cText &reason)
{
    const auto found = rowsOfPath.find(fn);
    if (found == rowsOfPath.end() || found->results >= found->batchRows.size())
        return -1;
    const int row = found->batchRows.at(found->results++);
    rows[row] = {fn, converted ? State::Converted : State::Failed, output, reason};
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
           (!inBatch.at(unfinishedFrom) || rows.at(unfinishedFrom).state == State::Converted ||
            rows.at(unfinishedFrom).state == State::Failed))
        ++unfinishedFrom;
    return unfinishedFrom;
}

void cFileRows::index()
{
    rowsOfPath.clear();
    for (int row = 0; row < rows.size(); ++row)
        rowsOfPath[rows.at(row).path].rows.append(row);
    for (PathRows &path : rowsOfPath)
        path.batchRows = path.rows;
    inBatch.fill(true, rows.size());
    unfinishedFrom = 0;
}
