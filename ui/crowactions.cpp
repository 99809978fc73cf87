#include "ui/crowactions.h"

#include "ui/cfailurenavigator.h"
#include "ui/cfilelistmodel.h"
#include "ui/cfiletable.h"

#include <QAbstractItemView>
#include <QAction>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QKeyEvent>
#include <QKeySequence>
#include <QUrl>

cRowActions::cRowActions(QAbstractItemView *view, cFileTable *table, const cFileListModel *rows,
                         cFailureNavigator *failures)
    : QObject(view), view(view), table(table), rows(rows)
{
    view->setContextMenuPolicy(Qt::ActionsContextMenu);
    view->installEventFilter(this);
    playAction = newAction({Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter});
    connect(playAction, &QAction::triggered, this, [this] {
        if (this->table->currentRow() >= 0)
            emit playRequested();
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

void cRowActions::retranslate()
{
    playAction->setText(tr("Play"));
    removeAction->setText(tr("Remove from list"));
    openFolderAction->setText(tr("Open containing folder"));
    nextFailureAction->setText(tr("Next failure"));
    onlyFailedAction->setText(tr("Show only failed and warned"));
    convertFailedAction->setText(tr("Convert failed files again"));
    addAction->setText(tr("Add files\u2026"));
    clearAction->setText(tr("Clear list"));
}

void cRowActions::setListLocked(bool locked)
{
    listLocked = locked;
    refresh();
}

void cRowActions::refresh()
{
    const bool anyFailed = rows->nextNeedingAttention(-1) >= 0;
    removeAction->setEnabled(!listLocked);
    nextFailureAction->setEnabled(anyFailed);
    onlyFailedAction->setEnabled(anyFailed || onlyFailedAction->isChecked());
    // Only failed rows convert again, not those with a warning.
    convertFailedAction->setEnabled(!rows->failed().isEmpty() && !listLocked);
    addAction->setEnabled(!listLocked);
    clearAction->setEnabled(!listLocked && rows->count() > 0);
}

QAction *cRowActions::newAction(const QList<QKeySequence> &keys)
{
    auto *const action = new QAction(view);
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WidgetShortcut);
    view->addAction(action);
    return action;
}

QAction *cRowActions::newSeparator()
{
    auto *const separator = new QAction(view);
    separator->setSeparator(true);
    view->addAction(separator);
    return separator;
}

void cRowActions::removeSelected()
{
    if (!removeAction->isEnabled())
        return;
    const QList<int> selected = table->selectedRows();
    if (!selected.isEmpty())
        emit removeRequested(selected);
}

void cRowActions::openContainingFolder()
{
    if (const int row = table->currentRow(); row >= 0)
        QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(rows->at(row).source.path).absolutePath()));
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
    const QModelIndex current = view->currentIndex();
    const QRect cell = current.isValid() ? view->visualRect(current) : QRect();
    const QPoint at = view->viewport()->mapTo(view, cell.isValid() ? cell.center() : QPoint(0, 0));
    QContextMenuEvent menu(QContextMenuEvent::Keyboard, at, view->mapToGlobal(at));
    QCoreApplication::sendEvent(view, &menu);
}
