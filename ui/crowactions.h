#pragma once

#include <QList>
#include <QObject>
#include <QString>

class QAction;
class QAbstractItemView;
class cFailureNavigator;
class cFileListModel;
class cFileTable;

// The commands on the file table's rows and on the list, reached by their
// keys while the table has the focus and from the table's context menu,
// which the menu key and Shift+F10 open too.
class cRowActions : public QObject
{
    Q_OBJECT

public:
    cRowActions(QAbstractItemView *view, cFileTable *table, const cFileListModel *rows, cFailureNavigator *failures);

    void retranslate();
    // While a batch or a listing runs, the list keeps its rows.
    void setListLocked(bool locked);
    // Enables the commands that fit the rows as they are now.
    void refresh();

signals:
    // Play the current row.
    void playRequested();
    // The selected rows, in no particular order; never empty.
    void removeRequested(const QList<int> &rows);
    void addRequested();
    void clearRequested();
    void convertFailedRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QAction *newAction(const QList<QKeySequence> &keys);
    QAction *newSeparator();
    void removeSelected();
    void openContainingFolder();
    void openMenu();

    QAbstractItemView *const view;
    cFileTable *const table;
    const cFileListModel *const rows;
    bool listLocked = false;
    QAction *playAction = nullptr;
    QAction *removeAction = nullptr;
    QAction *openFolderAction = nullptr;
    QAction *nextFailureAction = nullptr;
    QAction *onlyFailedAction = nullptr;
    QAction *convertFailedAction = nullptr;
    QAction *addAction = nullptr;
    QAction *clearAction = nullptr;
};
