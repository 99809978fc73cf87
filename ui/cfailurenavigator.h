#pragma once

#include <QObject>

class cFailureFilter;
class cFileListModel;
class cFileTable;

// Leads the user to the rows that need attention: after a batch the first is
// brought into view, "Next failure" goes from one to the next, and the table
// can show them alone (the list itself is unchanged).
class cFailureNavigator : public QObject
{
    Q_OBJECT

public:
    cFailureNavigator(cFileTable *table, const cFileListModel *rows, cFailureFilter *shown, QWidget *view);

    // Makes the next row that needs attention current, from the top again after the last.
    void next();
    void setOnlyFailed(bool only);
    bool onlyFailed() const;
    // Shows the rows that need attention alone again after results changed.
    void refilter();
    // The rows were replaced, added to or removed: every row is shown.
    void listChanged();

    void batchStarted();
    // The first row that needs attention comes into view; it becomes current
    // unless the user moved to another row while the batch ran.
    void batchEnded();

signals:
    // The user made this row of the list current (by a key, a click or next()).
    void currentChosen(int row);
    void onlyFailedChanged(bool only);

private:
    void makeCurrent(int row);

    cFileTable *const table;
    const cFileListModel *const rows;
    cFailureFilter *const shown;
    QWidget *const view;
    bool moving = false;    // the navigator itself changes the current row
    bool userMoved = false; // since the batch started
};
