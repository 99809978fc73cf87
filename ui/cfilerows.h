#pragma once

#include "workers/cfileresult.h"
#include "workers/csource.h"
#include "workers/ctext.h"

#include <QList>
#include <QString>
#include <QStringList>

// What the window's file list holds, without widgets: each row's path and
// where its file stands in the batch. A batch converts sources whose index
// is their row, and each start and result comes back to that row.
class cFileRows
{
public:
    enum class State
    {
        Waiting, // listed, not started in this batch
        Converting,
        Converted,
        Warned,  // converted, with something wrong with the result
        Skipped, // left alone by the rule for existing files
        Failed,
    };

    struct Row
    {
        QString path;
        QString root; // the named folder it was found in
        State state = State::Waiting;
        QString output; // the file written
        cText reason;   // the warning, or why it was skipped or failed, in words for people
        QString format; // the ID of the output's format

        // Whether the batch wrote its output (with or without a warning).
        bool hasOutput() const { return state == State::Converted || state == State::Warned; }
    };

    void setSources(const QList<cSource> &sources);
    void setPaths(const QStringList &paths) { setSources(cSource::of(paths)); }
    // Appends the sources whose paths are not listed yet, each once, in the
    // order given; returns how many were added.
    int add(const QList<cSource> &sources);
    int add(const QStringList &paths) { return add(cSource::of(paths)); }
    void clear() { setSources({}); }
    // Removes the rows of the given indexes, in any order.
    void remove(QList<int> indexes);

    int count() const { return static_cast<int>(rows.size()); }
    const Row &at(int row) const { return rows.at(row); }
    // The rows as sources for a batch, each with its row as its index.
    QList<cSource> sources(const QList<int> &which) const;
    QList<cSource> sources() const;

    // A batch starts: every row waits again.
    void restart();
    // The rows whose file failed, in order.
    QList<int> failed() const;
    // A batch of the failed rows alone starts: they wait again, the others
    // keep their results. Returns their rows, in order.
    QList<int> restartFailed();
    // Whether the row's result wants the user's eye (it failed, or its
    // output came with a warning).
    bool needsAttention(int row) const;
    // The first row after the given one that needs attention, from the top
    // again after the last row; -1 when none does.
    int nextNeedingAttention(int after) const;
    // The row of the source whose conversion starts; -1 for none (not a
    // row of this batch, or not waiting).
    int start(const cSource &source);
    // The row the result belongs to; -1 when it is not a row of this batch
    // or has its result already.
    int finish(const cFileResult &result);
    // A stopped batch ends: rows still converting wait again. Returns them.
    QList<int> stopConverting();
    // The first row without a result in this batch; count() when every row has one.
    int firstUnfinished();

private:
    // The row of a source of this batch; -1 for none.
    int rowOf(const cSource &source) const;
    void reset();

    QList<Row> rows;
    QList<bool> inBatch; // per row
    // Rows before it all have their results in this batch.
    int unfinishedFrom = 0;
};
