#include "ui/cfailurefilter.h"

#include "ui/cfilelistmodel.h"

cFailureFilter::cFailureFilter(cFileListModel *rows, QObject *parent) : QSortFilterProxyModel(parent), rows(rows)
{
    setDynamicSortFilter(false);
    setSourceModel(rows);
}

void cFailureFilter::setOnlyFailed(bool onlyThem)
{
    only = onlyThem;
    invalidateFilter();
}

int cFailureFilter::sourceRow(int row) const
{
    return mapToSource(index(row, 0)).row();
}

int cFailureFilter::tableRow(int sourceRow) const
{
    return mapFromSource(rows->index(sourceRow, 0)).row();
}

bool cFailureFilter::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    Q_UNUSED(sourceParent)
    return !only || rows->needsAttention(sourceRow);
}
