#pragma once

#include "ui/cfilerows.h"

#include <QList>
#include <QObject>
#include <QString>

class QAction;
class QTableWidget;

// The commands on the file table's rows, reached by their keys while the
// table has the focus and from the rows' context menu.
class cRowActions : public QObject
{
    Q_OBJECT

public:
    cRowActions(QTableWidget *table, const cFileRows &rows);

    void retranslate();
    // While a batch or a listing runs, the list keeps its rows.
    void setListLocked(bool locked);

signals:
    void playRequested(const QString &path);
    // The selected rows, in no particular order; never empty.
    void removeRequested(const QList<int> &rows);

private:
    QAction *newAction(const QList<QKeySequence> &keys);
    // The current row's state, or nullptr without one.
    const cFileRows::Row *currentRow() const;
    void removeSelected();
    void openContainingFolder();

    QTableWidget *const table;
    const cFileRows &rows;
    QAction *playAction = nullptr;
    QAction *removeAction = nullptr;
    QAction *openFolderAction = nullptr;
};
