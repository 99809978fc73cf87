#include "ui/cfailurenavigator.h"

#include "ui/cfailurefilter.h"
#include "ui/cfilelistmodel.h"
#include "ui/cfiletable.h"

#include <QWidget>

cFailureNavigator::cFailureNavigator(cFileTable *table, const cFileListModel *rows, cFailureFilter *shown,
                                     QWidget *view)
    : QObject(table), table(table), rows(rows), shown(shown), view(view)
{
    connect(table, &cFileTable::currentRowChanged, this, [this](int row, bool fromAnotherRow) {
        if (moving || row < 0)
            return;
        if (fromAnotherRow)
            userMoved = true;
        emit currentChosen(row);
    });
}

bool cFailureNavigator::onlyFailed() const
{
    return shown->onlyFailed();
}

void cFailureNavigator::next()
{
    const int row = rows->nextNeedingAttention(table->currentRow());
    if (row < 0)
        return;
    makeCurrent(row);
    view->setFocus(Qt::ShortcutFocusReason);
    // Said also when the only failure was current already.
    emit currentChosen(row);
}

void cFailureNavigator::setOnlyFailed(bool only)
{
    if (only == shown->onlyFailed())
        return;
    shown->setOnlyFailed(only);
    refilter();
    emit onlyFailedChanged(only);
}

void cFailureNavigator::refilter()
{
    // Nothing left to show alone: every row comes back rather than an empty table.
    if (shown->onlyFailed() && rows->nextNeedingAttention(-1) < 0) {
        setOnlyFailed(false);
        return;
    }
    const int current = table->currentRow();
    // Rows the table no longer shows move its current row on: not the user's choice.
    moving = true;
    shown->refilter();
    moving = false;
    if (shown->onlyFailed() && current >= 0 && !rows->needsAttention(current))
        makeCurrent(rows->nextNeedingAttention(current));
}

void cFailureNavigator::listChanged()
{
    if (shown->onlyFailed())
        setOnlyFailed(false);
    else
        refilter();
}

void cFailureNavigator::batchStarted()
{
    userMoved = false;
}

void cFailureNavigator::batchEnded()
{
    refilter();
    const int first = rows->nextNeedingAttention(-1);
    if (first < 0)
        return;
    if (!userMoved)
        makeCurrent(first);
    else
        table->scrollToRow(first);
}

void cFailureNavigator::makeCurrent(int row)
{
    if (row < 0)
        return;
    moving = true;
    table->setCurrentRow(row);
    moving = false;
}
