#pragma once

#include "workers/cfileresult.h"
#include "workers/csource.h"

#include <QAbstractTableModel>
#include <QList>
#include <QString>

// The window's file list: one row per listed source, with where it stands in
// the batch. A batch converts sources whose index is their row, and each
// start and result comes back to that row. The table draws it from the roles:
// the path, the play control's words, the status with its colour, tool tip
// and what a screen reader says.
class cFileListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        PathColumn,
        PlayColumn,
        StatusColumn,
        ColumnCount
    };

    struct Row
    {
        enum class State
        {
            Waiting, // listed, not started in this batch
            Converting,
            Done, // has its result
        };

        cSource source;
        State state = State::Waiting;
        cFileResult result; // once done

        bool isDone(cFileResult::Outcome outcome) const { return state == State::Done && result.outcome == outcome; }
        // Whether the batch wrote its output (with or without a warning).
        bool hasOutput() const { return state == State::Done && result.isWritten(); }
        // Whether its result wants the user's eye: it failed, or its output
        // came with a warning.
        bool needsAttention() const
        {
            return isDone(cFileResult::Outcome::Failed) || isDone(cFileResult::Outcome::Warned);
        }
    };

    explicit cFileListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // Replaces the list.
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
    bool needsAttention(int row) const { return row >= 0 && row < rows.size() && rows.at(row).needsAttention(); }
    // The first row after the given one that needs attention, from the top
    // again after the last row; -1 when none does.
    int nextNeedingAttention(int after) const;
    // The row of the source whose conversion starts; -1 for none (not a
    // row of this batch, or not waiting).
    int start(const cSource &source);
    // The row the result belongs to; -1 when it is not a row of this batch
    // or has its result already.
    int finish(const cFileResult &result);
    // Shows the result in the row, whatever it showed before.
    void setResult(int row, const cFileResult &result);
    // A stopped batch ends: rows still converting wait again. Returns them.
    QList<int> stopConverting();
    // The first row without a result in this batch; count() when every row has one.
    int firstUnfinished();

    // Words every text again in the language of the moment.
    void retranslate();
    // The widest status text, for the column's width.
    static QStringList statusTexts();

private:
    // The row of a source of this batch; -1 for none.
    int rowOf(const cSource &source) const;
    void changed(int row);
    void restartRows();
    QVariant statusData(const Row &row, int role) const;

    QList<Row> rows;
    QList<bool> inBatch; // per row
    // Rows before it all have their results in this batch.
    int unfinishedFrom = 0;
};
