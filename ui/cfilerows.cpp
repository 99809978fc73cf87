#include "ui/cfilerows.h"

#include <algorithm>
#include <functional>

void cFileRows::setPaths(const QStringList &paths, const QStringList &roots)
{
    rows.clear();
    rows.reserve(paths.size());
    for (qsizetype i = 0; i < paths.size(); ++i)
        rows.append({paths.at(i), roots.value(i), State::Waiting, QString(), cText(), QString()});
    index();
}

int cFileRows::add(const QStringList &paths, const QStringList &roots)
{
    const auto before = rows.size();
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const QString &path = paths.at(i);
        if (rowsOfPath.contains(path))
            continue;
        rowsOfPath[path].rows.append(static_cast<int>(rows.size()));
        rows.append({path, roots.value(i), State::Waiting, QString(), cText(), QString()});
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

QStringList cFileRows::roots() const
{
    QStringList list;
    list.reserve(rows.size());
    for (const Row &row : rows)
        list.append(row.root);
    return list;
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
        row = {row.path, row.root, State::Waiting, QString(), cText(), QString()};
    index();
}

QList<int> cFileRows::failed() const
{
    QList<int> failedRows;
    for (int row = 0; row < rows.size(); ++row) {
        if (rows.at(row).state == State::Failed)
            failedRows.append(row);
    }
    return failedRows;
}

QList<int> cFileRows::restartFailed()
{
    const QList<int> failedRows = failed();
    for (PathRows &path : rowsOfPath) {
        path.batchRows.clear();
        path.results = 0;
    }
    inBatch.fill(false);
    for (const int row : failedRows) {
        inBatch[row] = true;
        rows[row] = {rows.at(row).path, rows.at(row).root, State::Waiting, QString(), cText(), QString()};
        rowsOfPath[rows.at(row).path].batchRows.append(row);
    }
    unfinishedFrom = 0;
    return failedRows;
}

bool cFileRows::needsAttention(int row) const
{
    return row >= 0 && row < rows.size() &&
           (rows.at(row).state == State::Failed || rows.at(row).state == State::Warned);
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

int cFileRows::finish(const QString &fn, State state, const QString &output, const cText &reason, const QString &format)
{
    const auto found = rowsOfPath.find(fn);
    if (found == rowsOfPath.end() || found->results >= found->batchRows.size())
        return -1;
    const int row = found->batchRows.at(found->results++);
    rows[row] = {fn, rows.at(row).root, state, output, reason, format};
    return row;
}

int cFileRows::finish(const cBatch::Result &result)
{
    switch (result.kind) {
    case cBatch::Result::Kind::Converted:
        return finish(result.source, State::Converted, result.output, result.reason, result.format);
    case cBatch::Result::Kind::Warned:
        return finish(result.source, State::Warned, result.output, result.reason, result.format);
    case cBatch::Result::Kind::Skipped:
        return finish(result.source, State::Skipped, result.output, result.reason, result.format);
    case cBatch::Result::Kind::Failed:
        break;
    }
    return finish(result.source, State::Failed, result.output, result.reason, result.format);
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
           (!inBatch.at(unfinishedFrom) ||
            (rows.at(unfinishedFrom).state != State::Waiting && rows.at(unfinishedFrom).state != State::Converting)))
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
