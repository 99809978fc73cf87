#pragma once

#include <QSortFilterProxyModel>

class cFileListModel;

// The file list as the table shows it: every row, or only those that need
// attention (failed, or written with a warning). The rows shown alone are
// chosen again only on refilter(), so that a row keeps its place while a
// batch changes its result.
class cFailureFilter : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit cFailureFilter(cFileListModel *rows, QObject *parent = nullptr);

    void setOnlyFailed(bool only);
    bool onlyFailed() const { return only; }
    void refilter() { invalidateFilter(); }

    // The list's row of a row of the table, and back; -1 for none.
    int sourceRow(int row) const;
    int tableRow(int sourceRow) const;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    const cFileListModel *const rows;
    bool only = false;
};
