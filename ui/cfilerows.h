#pragma once

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
        Failed,
    };

    struct Row
    {
        QString path;
        State state = State::Waiting;
        QString output; // the file written
        cText reason;   // why it failed, in words for people
        QString format; // the ID of the output's format
    };

    void setPaths(const QStringList &paths);
    // Removes the rows of the given indexes, in any order.
    void remove(QList<int> indexes);

    int count() const { return static_cast<int>(rows.size()); }
    const Row &at(int row) const { return rows.at(row); }
    QStringList paths() const;

    // A batch starts: every row waits again.
    void restart();
    // The row that shows the start of a conversion of fn: the first row
    // holding it that still waits; -1 for none.
    int start(const QString &fn);
    // The row the result belongs to; -1 when no row is left for it (the path
    // is not listed, or every row holding it has its result).
    int finish(const QString &fn, bool converted, const QString &output, const cText &reason,
               const QString &format = QString());
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
        int results = 0;
    };
    QHash<QString, PathRows> rowsOfPath;
    // Rows before it all have their results in this batch.
    int unfinishedFrom = 0;
};
