#pragma once

#include "core/cbatch.h"
#include "workers/ctext.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// What the window's file list holds, without widgets: each row's path and
// where its file stands in the batch. A file listed twice gets each of its
// results: the k-th result for a path belongs to the k-th row that holds it.
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

    // roots: for each path, the named folder it was found in (empty for a
    // file named itself); none when no file came from a folder.
    void setPaths(const QStringList &paths, const QStringList &roots = {});
    // Appends the paths not listed yet, each once, in the order given, with
    // their roots as above; returns how many were added.
    int add(const QStringList &paths, const QStringList &roots = {});
    void clear() { setPaths({}); }
    // Removes the rows of the given indexes, in any order.
    void remove(QList<int> indexes);

    int count() const { return static_cast<int>(rows.size()); }
    const Row &at(int row) const { return rows.at(row); }
    QStringList paths() const;
    QStringList roots() const;

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
    // The row that shows the start of a conversion of fn: the first row
    // holding it that still waits; -1 for none.
    int start(const QString &fn);
    // The row the result belongs to; -1 when no row is left for it (the path
    // is not listed, or every row holding it has its result).
    int finish(const QString &fn, State state, const QString &output, const cText &reason,
               const QString &format = QString());
    int finish(const QString &fn, bool converted, const QString &output, const cText &reason)
    {
        return finish(fn, converted ? State::Converted : State::Failed, output, reason);
    }
    int finish(const cBatch::Result &result);
    // A stopped batch ends: rows still converting wait again. Returns them.
    QList<int> stopConverting();
    // The first row without a result in this batch; count() when every row has one.
    int firstUnfinished();

private:
    void index();

    QList<Row> rows;
    struct PathRows
    {
        QList<int> rows;
        QList<int> batchRows; // those the running batch converts
        int results = 0;
    };
    QHash<QString, PathRows> rowsOfPath;
    QList<bool> inBatch; // per row
    // Rows before it all have their results in this batch.
    int unfinishedFrom = 0;
};
