#include "ui/cfilerows.h"

#include <QSet>

#include <algorithm>
#include <functional>
#include <numeric>

void cFileRows::setSources(const QList<cSource> &sources)
{
    rows.clear();
    rows.reserve(sources.size());
    for (const cSource &source : sources)
        rows.append({source.path, source.root, State::Waiting, QString(), cText(), QString()});
    reset();
}

int cFileRows::add(const QList<cSource> &sources)
{
    QSet<QString> listed;
    listed.reserve(rows.size() + sources.size());
    for (const Row &row : std::as_const(rows))
        listed.insert(row.path);
    const auto before = rows.size();
    for (const cSource &source : sources) {
        if (listed.contains(source.path))
            continue;
        listed.insert(source.path);
        rows.append({source.path, source.root, State::Waiting, QString(), cText(), QString()});
    }
    reset();
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
    reset();
}

QList<cSource> cFileRows::sources(const QList<int> &which) const
{
    QList<cSource> list;
    list.reserve(which.size());
    for (const int row : which)
        list.append({rows.at(row).path, rows.at(row).root, row});
    return list;
}

QList<cSource> cFileRows::sources() const
{
    QList<int> all(rows.size());
    std::iota(all.begin(), all.end(), 0);
    return sources(all);
}

void cFileRows::restart()
{
    for (Row &row : rows)
        row = {row.path, row.root, State::Waiting, QString(), cText(), QString()};
    reset();
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
    inBatch.fill(false);
    for (const int row : failedRows) {
        inBatch[row] = true;
        rows[row] = {rows.at(row).path, rows.at(row).root, State::Waiting, QString(), cText(), QString()};
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

// The list does not change while a batch runs; a source that does not name
// its row's file is no source of this batch.
int cFileRows::rowOf(const cSource &source) const
{
    if (source.index < 0 || source.index >= rows.size() || !inBatch.at(source.index) ||
        rows.at(source.index).path != source.path)
        return -1;
    return static_cast<int>(source.index);
}

int cFileRows::start(const cSource &source)
{
    const int row = rowOf(source);
    if (row < 0 || rows.at(row).state != State::Waiting)
        return -1;
    rows[row].state = State::Converting;
    return row;
}

int cFileRows::finish(const cFileResult &result)
{
    const int row = rowOf(result.source);
    if (row < 0 || (rows.at(row).state != State::Waiting && rows.at(row).state != State::Converting))
        return -1;
    State state = State::Failed;
    switch (result.outcome) {
    case cFileResult::Outcome::Converted:
        state = State::Converted;
        break;
    case cFileResult::Outcome::Warned:
        state = State::Warned;
        break;
    case cFileResult::Outcome::Skipped:
        state = State::Skipped;
        break;
    case cFileResult::Outcome::Failed:
        break;
    }
    rows[row] = {rows.at(row).path, rows.at(row).root, state, result.output, result.reason, result.format};
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
           (!inBatch.at(unfinishedFrom) ||
            (rows.at(unfinishedFrom).state != State::Waiting && rows.at(unfinishedFrom).state != State::Converting)))
        ++unfinishedFrom;
    return unfinishedFrom;
}

void cFileRows::reset()
{
    inBatch.fill(true, rows.size());
    unfinishedFrom = 0;
}
