#include "ui/cfailurenavigator.h"

#include <QAbstractItemView>
#include <QTableWidget>

cFailureNavigator::cFailureNavigator(QTableWidget *table, const cFileRows &rows)
    : QObject(table), table(table), rows(rows)
{
    connect(table, &QTableWidget::currentCellChanged, this, [this](int row, int, int previous) {
        if (moving || row < 0)
            return;
        // The view makes its first row current when it first gets the focus.
        if (previous >= 0)
            userMoved = true;
        emit currentChosen(row);
    });
}

void cFailureNavigator::next()
{
    const int row = rows.nextNeedingAttention(table->currentRow());
    if (row < 0)
        return;
    makeCurrent(row);
    table->setFocus(Qt::ShortcutFocusReason);
    // Said also when the only failure was current already.
    emit currentChosen(row);
}

void cFailureNavigator::setOnlyFailed(bool onlyThem)
{
    if (onlyThem == only)
        return;
    only = onlyThem;
    refilter();
    emit onlyFailedChanged(only);
}

void cFailureNavigator::refilter()
{
    // Nothing left to show alone: every row comes back rather than an empty table.
    if (only && rows.nextNeedingAttention(-1) < 0) {
        setOnlyFailed(false);
        return;
    }
    table->setUpdatesEnabled(false);
    for (int row = 0; row < table->rowCount(); ++row)
        table->setRowHidden(row, only && !rows.needsAttention(row));
    table->setUpdatesEnabled(true);
    const int current = table->currentRow();
    if (only && current >= 0 && !rows.needsAttention(current))
        makeCurrent(rows.nextNeedingAttention(current));
}

void cFailureNavigator::listChanged()
{
    if (only)
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
    const int first = rows.nextNeedingAttention(-1);
    if (first < 0)
        return;
    if (!userMoved)
        makeCurrent(first);
    else
        table->scrollToItem(table->item(first, 0));
}

void cFailureNavigator::makeCurrent(int row)
{
    if (row < 0)
        return;
    moving = true;
    table->setCurrentCell(row, 0);
    moving = false;
    table->scrollToItem(table->item(row, 0));
}
