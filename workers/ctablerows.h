#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Lookups in a table whose rows have a stable id() (the formats, the
// targets): the row of an ID, and every ID in the table's order.
namespace cTableRows {

template <typename Row>
const Row *find(const QList<Row> &rows, const QString &id)
{
    for (const Row &row : rows) {
        if (row.id() == id)
            return &row;
    }
    return nullptr;
}

template <typename Row>
QString idList(const QList<Row> &rows)
{
    QStringList ids;
    for (const Row &row : rows)
        ids << row.id();
    return ids.join(QStringLiteral(", "));
}

} // namespace cTableRows
