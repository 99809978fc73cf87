#pragma once

#include <QIcon>
#include <QList>
#include <QObject>
#include <QPersistentModelIndex>
#include <QPointer>

class QTableView;
class QToolButton;
class cFailureFilter;
class cFileListModel;

// The form's table over the file list: a path, a play control and a status
// per row, the path shortened in the middle so that the results stay in view.
// The rows in view carry real play buttons, which the mouse presses and
// screen readers find as buttons; rows out of view have none, so that a list
// of any length costs no widgets.
class cFileTable : public QObject
{
    Q_OBJECT

public:
    cFileTable(QTableView *view, cFileListModel *rows, cFailureFilter *shown);

    // The list's row of the table's current row, and of its selected rows; -1 or none.
    int currentRow() const;
    QList<int> selectedRows() const;
    // Makes the list's row current and brings it into view.
    void setCurrentRow(int row);
    void scrollToRow(int row);

    // A batch starts: the first unfinished row is kept in view until the user scrolls.
    void followBatch();
    // Brings the list's row into view unless the user scrolled since the batch started.
    void keepInView(int row);
    // Words every text again in the language of the moment.
    void retranslate();

signals:
    // A row's play button was pressed; its row is current now.
    void playRequested();
    // The list's row that became current, and whether the user moved there
    // from another row (the view makes its first row current when it first
    // gets the focus).
    void currentRowChanged(int row, bool fromAnotherRow);

protected:
    // An empty list says how to fill it; a resized table gets buttons for the rows that came into view.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct PlayButton
    {
        QPersistentModelIndex index;
        QPointer<QToolButton> button;
    };

    void sizeColumns();
    void placePlayButtons();
    QToolButton *newPlayButton(const QModelIndex &index);

    QTableView *const view;
    cFileListModel *const rows;
    cFailureFilter *const shown;
    // One icon shared by every play button: each QIcon made from the file
    // would decode all of its images again.
    QIcon playIcon;
    QList<PlayButton> playButtons;
    bool placing = false;
    bool userScrolled = false;
    bool scrolling = false;
};
