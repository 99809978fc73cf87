#include "ui/cfilelistmodel.h"

#include <QBrush>
#include <QColor>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <functional>
#include <numeric>

namespace {

// The status of a row whose file is being converted.
const QString runningMark = QStringLiteral("\u2026");

// The status of a converted row whose result has a warning.
QString warnedText()
{
    return cFileListModel::tr("OK") + QStringLiteral(" \u26a0");
}

// A row's status as it is drawn and spoken.
struct Status
{
    QString text;
    QBrush brush;
    QString detail; // the tool tip, also what a screen reader describes
    QString spoken; // what a screen reader says instead of the text
};

} // namespace

cFileListModel::cFileListModel(QObject *parent) : QAbstractTableModel(parent)
{}

int cFileListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
}

int cFileListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

// Selectable, so that rows can be removed or played from the keyboard; never edited.
Qt::ItemFlags cFileListModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

QVariant cFileListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rows.size())
        return QVariant();
    const Row &row = rows.at(index.row());
    switch (index.column()) {
    case PathColumn:
        return role == Qt::DisplayRole || role == Qt::ToolTipRole ? QVariant(row.source.path) : QVariant();
    case PlayColumn:
        if (role == Qt::ToolTipRole || role == Qt::AccessibleTextRole)
            return tr("Play %1").arg(QFileInfo(row.source.path).fileName());
        return QVariant();
    case StatusColumn:
        return statusData(row, role);
    default:
        return QVariant();
    }
}

QVariant cFileListModel::statusData(const Row &row, int role) const
{
    Status status;
    if (row.state == Row::State::Converting) {
        status = {runningMark, QBrush(Qt::gray), tr("Converting"), tr("Converting")};
    } else if (row.state == Row::State::Done) {
        const cFileResult &result = row.result;
        switch (result.outcome) {
        case cFileResult::Outcome::Converted: {
            // Every file written for a source bound for several formats.
            const QString written =
                result.outputs.size() > 1 ? result.outputs.join(QStringLiteral(", ")) : result.output;
            status = {tr("OK"), QBrush(Qt::darkGreen), written.isEmpty() ? QString() : tr("Written to %1").arg(written),
                      QString()};
            break;
        }
        case cFileResult::Outcome::Warned:
            // Written, but worth a look: the mark and the colour set it apart from a plain "OK".
            status = {warnedText(), QBrush(QColor(0xb3, 0x6b, 0x00)), result.reason.toString(),
                      tr("OK, with a warning")};
            break;
        case cFileResult::Outcome::Skipped:
            status = {tr("SKIP"), QBrush(Qt::gray), result.reason.toString(), tr("Skipped")};
            break;
        case cFileResult::Outcome::Failed:
            status = {tr("FAIL!"), QBrush(Qt::darkRed), result.reason.toString(), QString()};
            break;
        }
    }
    switch (role) {
    case Qt::DisplayRole:
        return status.text;
    case Qt::ForegroundRole:
        return status.text.isEmpty() ? QVariant() : QVariant(status.brush);
    case Qt::ToolTipRole:
    case Qt::AccessibleDescriptionRole:
        return status.detail.isEmpty() ? QVariant() : QVariant(status.detail);
    case Qt::AccessibleTextRole:
        return status.spoken.isEmpty() ? QVariant() : QVariant(status.spoken);
    default:
        return QVariant();
    }
}

QStringList cFileListModel::statusTexts()
{
    return {tr("OK"), tr("FAIL!"), tr("SKIP"), warnedText(), runningMark};
}

void cFileListModel::setSources(const QList<cSource> &sources)
{
    beginResetModel();
    rows.clear();
    rows.reserve(sources.size());
    for (const cSource &source : sources)
        rows.append({source, Row::State::Waiting, cFileResult()});
    restartRows();
    endResetModel();
}

int cFileListModel::add(const QList<cSource> &sources)
{
    QSet<QString> listed;
    listed.reserve(rows.size() + sources.size());
    for (const Row &row : std::as_const(rows))
        listed.insert(row.source.path);
    QList<Row> added;
    for (const cSource &source : sources) {
        if (listed.contains(source.path))
            continue;
        listed.insert(source.path);
        added.append({source, Row::State::Waiting, cFileResult()});
    }
    if (added.isEmpty())
        return 0;
    beginInsertRows(QModelIndex(), count(), count() + static_cast<int>(added.size()) - 1);
    rows += added;
    restartRows();
    endInsertRows();
    return static_cast<int>(added.size());
}

// Each run of neighbouring rows goes at once, the last first.
void cFileListModel::remove(QList<int> indexes)
{
    std::sort(indexes.begin(), indexes.end(), std::greater<int>());
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    indexes.removeIf([this](int row) { return row < 0 || row >= rows.size(); });
    for (qsizetype i = 0; i < indexes.size();) {
        const int last = indexes.at(i);
        int first = last;
        while (++i < indexes.size() && indexes.at(i) == first - 1)
            --first;
        beginRemoveRows(QModelIndex(), first, last);
        rows.remove(first, last - first + 1);
        endRemoveRows();
    }
    restartRows();
}

QList<cSource> cFileListModel::sources(const QList<int> &which) const
{
    QList<cSource> list;
    list.reserve(which.size());
    for (const int row : which)
        list.append({rows.at(row).source.path, rows.at(row).source.root, row});
    return list;
}

QList<cSource> cFileListModel::sources() const
{
    QList<int> all(rows.size());
    std::iota(all.begin(), all.end(), 0);
    return sources(all);
}

void cFileListModel::restart()
{
    for (Row &row : rows) {
        row.state = Row::State::Waiting;
        row.result = cFileResult();
    }
    restartRows();
    if (!rows.isEmpty())
        emit dataChanged(index(0, StatusColumn), index(count() - 1, StatusColumn));
}

QList<int> cFileListModel::failed() const
{
    QList<int> failedRows;
    for (int row = 0; row < rows.size(); ++row) {
        if (rows.at(row).isDone(cFileResult::Outcome::Failed))
            failedRows.append(row);
    }
    return failedRows;
}

QList<int> cFileListModel::restartFailed()
{
    const QList<int> failedRows = failed();
    inBatch.fill(false);
    for (const int row : failedRows) {
        inBatch[row] = true;
        rows[row].state = Row::State::Waiting;
        rows[row].result = cFileResult();
        changed(row);
    }
    unfinishedFrom = 0;
    return failedRows;
}

int cFileListModel::nextNeedingAttention(int after) const
{
    const int total = count();
    for (int step = 1; step <= total; ++step) {
        const int row = ((after < 0 ? -1 : after) + step) % total;
        if (needsAttention(row))
            return row;
    }
    return -1;
}

// The list does not change while a batch runs; a source that does not name
// its row's file is no source of this batch.
int cFileListModel::rowOf(const cSource &source) const
{
    if (source.index < 0 || source.index >= rows.size() || !inBatch.at(source.index) ||
        rows.at(source.index).source.path != source.path)
        return -1;
    return static_cast<int>(source.index);
}

int cFileListModel::start(const cSource &source)
{
    const int row = rowOf(source);
    if (row < 0 || rows.at(row).state != Row::State::Waiting)
        return -1;
    rows[row].state = Row::State::Converting;
    changed(row);
    return row;
}

int cFileListModel::finish(const cFileResult &result)
{
    const int row = rowOf(result.source);
    if (row < 0 || rows.at(row).state == Row::State::Done)
        return -1;
    setResult(row, result);
    return row;
}

void cFileListModel::setResult(int row, const cFileResult &result)
{
    rows[row].state = Row::State::Done;
    rows[row].result = result;
    changed(row);
}

QList<int> cFileListModel::stopConverting()
{
    QList<int> stopped;
    for (int row = 0; row < rows.size(); ++row) {
        if (rows.at(row).state == Row::State::Converting) {
            rows[row].state = Row::State::Waiting;
            changed(row);
            stopped.append(row);
        }
    }
    return stopped;
}

int cFileListModel::firstUnfinished()
{
    while (unfinishedFrom < rows.size() &&
           (!inBatch.at(unfinishedFrom) || rows.at(unfinishedFrom).state == Row::State::Done))
        ++unfinishedFrom;
    return unfinishedFrom;
}

void cFileListModel::retranslate()
{
    if (!rows.isEmpty())
        emit dataChanged(index(0, PlayColumn), index(count() - 1, StatusColumn));
}

void cFileListModel::changed(int row)
{
    const QModelIndex status = index(row, StatusColumn);
    emit dataChanged(status, status);
}

void cFileListModel::restartRows()
{
    inBatch.fill(true, rows.size());
    unfinishedFrom = 0;
}
