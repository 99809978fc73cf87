#include "ui/crowactions.h"

#include <QAction>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QKeySequence>
#include <QTableWidget>
#include <QUrl>

cRowActions::cRowActions(QTableWidget *table, const cFileRows &rows) : QObject(table), table(table), rows(rows)
{
    table->setContextMenuPolicy(Qt::ActionsContextMenu);
    playAction = newAction({Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter});
    connect(playAction, &QAction::triggered, this, [this] {
        if (const cFileRows::Row *const row = currentRow())
            emit playRequested(row->path);
    });
    removeAction = newAction({QKeySequence::Delete});
    connect(removeAction, &QAction::triggered, this, &cRowActions::removeSelected);
    openFolderAction = newAction({});
    connect(openFolderAction, &QAction::triggered, this, &cRowActions::openContainingFolder);
}

// The window's own texts.
void cRowActions::retranslate()
{
    playAction->setText(QCoreApplication::translate("cMainWidget", "Play"));
    removeAction->setText(QCoreApplication::translate("cMainWidget", "Remove from list"));
    openFolderAction->setText(QCoreApplication::translate("cMainWidget", "Open containing folder"));
}

void cRowActions::setListLocked(bool locked)
{
    removeAction->setEnabled(!locked);
}

QAction *cRowActions::newAction(const QList<QKeySequence> &keys)
{
    auto *const action = new QAction(table);
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WidgetShortcut);
    table->addAction(action);
    return action;
}

const cFileRows::Row *cRowActions::currentRow() const
{
    const int row = table->currentRow();
    return row >= 0 && row < rows.count() ? &rows.at(row) : nullptr;
}

void cRowActions::removeSelected()
{
    if (!removeAction->isEnabled())
        return;
    QList<int> selected;
    const QModelIndexList indexes = table->selectionModel()->selectedRows();
    for (const QModelIndex &index : indexes)
        selected.append(index.row());
    if (!selected.isEmpty())
        emit removeRequested(selected);
}

void cRowActions::openContainingFolder()
{
    if (const cFileRows::Row *const row = currentRow())
        QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(row->path).absolutePath()));
}
