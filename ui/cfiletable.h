#pragma once

#include "ui/cfilerows.h"

#include <QCoreApplication>
#include <QIcon>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>

class QTableWidget;
class QTableWidgetItem;
class QToolButton;

// Shows the file rows in the form's table: a path, a play button and a status
// cell per row. Every status cell is drawn from its row's state, by one
// function, for results and for a change of language alike.
class cFileTable : public QObject
{
    // The window's own texts.
    Q_DECLARE_TR_FUNCTIONS(cMainWidget)

public:
    explicit cFileTable(QTableWidget *table);

    // Puts one row per file in the table from the row from on, the rows
    // before it staying as they are; prepare is called on each new play button.
    void fill(const cFileRows &rows, int from, const std::function<void(QToolButton *)> &prepare);
    void removeRows(const QList<int> &rows);
    // Draws the status cell of the row from its state.
    void showRow(const cFileRows &rows, int row);
    void showRows(const cFileRows &rows);
    // Words every text again in the language of the moment.
    void retranslate(const cFileRows &rows);

    // A batch starts: the first unfinished row is kept in view until the user scrolls.
    void followBatch();
    // Brings the row into view unless the user scrolled since the batch started.
    void keepInView(int row);

    static constexpr int pathColumn = 0;
    static constexpr int playColumn = 1;
    static constexpr int statusColumn = 2;

protected:
    // An empty list says how to fill it.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void sizeColumns();
    QToolButton *newPlayButton(const QString &fn);

    QTableWidget *const table;
    // One icon shared by every play button: each QIcon made from the file
    // would decode all of its images again.
    QIcon playIcon;
    bool userScrolled = false;
    bool scrolling = false;
};
