#include "ui/crowactions.h"

#include "ui/cfailurenavigator.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QKeySequence>
#include <QTableWidget>
#include <QUrl>

cRowActions::cRowActions(QTableWidget *table, const cFileRows &rows, cFailureNavigator *failures)
    : QObject(table), table(table), rows(rows)
{
    table->setContextMenuPolicy(Qt::ActionsContextMenu);
    table->installEventFilter(this);
    playAction = newAction({Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter});
    connect(playAction, &QAction::triggered, this, [this] {
        if (const cFileRows::Row *const row = currentRow())
            emit playRequested(row->path);
    });
    removeAction = newAction({QKeySequence::Delete});
    connect(removeAction, &QAction::triggered, this, &cRowActions::removeSelected);
    openFolderAction = newAction({});
    connect(openFolderAction, &QAction::triggered, this, &cRowActions::openContainingFolder);

    newSeparator();
    // Found from anywhere in the window: after a batch the focus is rarely in the table.
    nextFailureAction = newAction({Qt::Key_F8});
    nextFailureAction->setShortcutContext(Qt::WindowShortcut);
    connect(nextFailureAction, &QAction::triggered, failures, &cFailureNavigator::next);
    onlyFailedAction = newAction({QKeySequence(Qt::SHIFT | Qt::Key_F8)});
    onlyFailedAction->setCheckable(true);
    connect(onlyFailedAction, &QAction::toggled, failures, &cFailureNavigator::setOnlyFailed);
    connect(failures, &cFailureNavigator::onlyFailedChanged, onlyFailedAction, [this](bool only) {
        onlyFailedAction->setChecked(only);
        refresh();
    });
    convertFailedAction = newAction({QKeySequence(Qt::CTRL | Qt::Key_R)});
    connect(convertFailedAction, &QAction::triggered, this, &cRowActions::convertFailedRequested);

    newSeparator();
    addAction = newAction({Qt::Key_Insert});
    connect(addAction, &QAction::triggered, this, &cRowActions::addRequested);
    clearAction = newAction({});
    connect(clearAction, &QAction::triggered, this, &cRowActions::clearRequested);
    refresh();
}

// The window's own texts.
void cRowActions::retranslate()
{
    playAction->setText(QCoreApplication::translate("cMainWidget", "Play"));
    removeAction->setText(QCoreApplication::translate("cMainWidget", "Remove from list"));
    openFolderAction->setText(QCoreApplication::translate("cMainWidget", "Open containing folder"));
    nextFailureAction->setText(QCoreApplication::translate("cMainWidget", "Next failure"));
    onlyFailedAction->setText(QCoreApplication::translate("cMainWidget", "Show only failed and warned"));
    convertFailedAction->setText(QCoreApplication::translate("cMainWidget", "Convert failed files again"));
    addAction->setText(QCoreApplication::translate("cMainWidget", "Add files\u2026"));
    clearAction->setText(QCoreApplication::translate("cMainWidget", "Clear list"));
}

void cRowActions::setListLocked(bool locked)
{
    listLocked = locked;
    refresh();
}

void cRowActions::refresh()
{
    const bool anyFailed = rows.nextNeedingAttention(-1) >= 0;
    removeAction->setEnabled(!listLocked);
    nextFailureAction->setEnabled(anyFailed);
    onlyFailedAction->setEnabled(anyFailed || onlyFailedAction->isChecked());
    // Only failed rows convert again, not those with a warning.
    convertFailedAction->setEnabled(!rows.failed().isEmpty() && !listLocked);
    addAction->setEnabled(!listLocked);
    clearAction->setEnabled(!listLocked && rows.count() > 0);
}

QAction *cRowActions::newAction(const QList<QKeySequence> &keys)
{
    auto *const action = new QAction(table);
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WidgetShortcut);
    table->addAction(action);
    return action;
}

QAction *cRowActions::newSeparator()
{
    auto *const separator = new QAction(table);
    separator->setSeparator(true);
    table->addAction(separator);
    return separator;
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

// Not every style turns these keys into a context menu event: the menu opens
// at the current row, else at the table's top left corner.
bool cRowActions::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *const key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Menu || (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier)) {
            openMenu();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void cRowActions::openMenu()
{
    const QModelIndex current = table->currentIndex();
    const QRect cell = current.isValid() ? table->visualRect(current) : QRect();
    const QPoint at = table->viewport()->mapTo(table, cell.isValid() ? cell.center() : QPoint(0, 0));
    QContextMenuEvent menu(QContextMenuEvent::Keyboard, at, table->mapToGlobal(at));
    QCoreApplication::sendEvent(table, &menu);
}
