#pragma once

#include "ui/cfilerows.h"

#include <QObject>

class QTableWidget;

// Leads the user to the rows that need attention: after a batch the first is
// brought into view, "Next failure" goes from one to the next, and the table
// can show them alone (the other rows are hidden, the list is unchanged).
class cFailureNavigator : public QObject
{
    Q_OBJECT

public:
    cFailureNavigator(QTableWidget *table, const cFileRows &rows);

    // Makes the next row that needs attention current, from the top again after the last.
    void next();
    void setOnlyFailed(bool only);
    bool onlyFailed() const { return only; }
    // Hides and shows rows again after their results changed.
    void refilter();
    // The rows were replaced, added to or removed: every row is shown.
    void listChanged();

    void batchStarted();
    // The first row that needs attention comes into view; it becomes current
    // unless the user moved to another row while the batch ran.
    void batchEnded();

signals:
    // The user made this row current (by a key, a click or next()).
    void currentChosen(int row);
    void onlyFailedChanged(bool only);

private:
    void makeCurrent(int row);

    QTableWidget *const table;
    const cFileRows &rows;
    bool only = false;
    bool moving = false;    // the navigator itself changes the current row
    bool userMoved = false; // since the batch started
};
