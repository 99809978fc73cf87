#include "ui/cfiletable.h"

#include <QAbstractItemView>
#include <QBrush>
#include <QFileInfo>
#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QTableWidget>
#include <QTableWidgetItem>
#include <QToolButton>
#include <QVariant>

#include <algorithm>
#include <functional>

namespace {

// The status cell of a row whose file is being converted.
const QString runningMark = QStringLiteral("\u2026");

QTableWidgetItem *newItem(const QString &text)
{
    auto *const item = new QTableWidgetItem(text);
    // Selectable, so that rows can be removed or played from the keyboard; never edited.
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

void describePlayButton(QToolButton *button)
{
    const QString what = cFileTable::tr("Play %1").arg(QFileInfo(button->property("fn").toString()).fileName());
    button->setToolTip(what);
    button->setAccessibleName(what);
}

// The status of a converted row whose result has a warning.
QString warnedText()
{
    return cFileTable::tr("OK") + QStringLiteral(" \u26a0");
}

// Text, colour, tool tip and what a screen reader says of a status cell.
void setStatus(QTableWidgetItem *status, const QString &text, const QBrush &brush, const QString &detail,
               const QString &spoken = QString())
{
    status->setText(text);
    status->setForeground(brush);
    status->setToolTip(detail);
    status->setData(Qt::AccessibleDescriptionRole, detail.isEmpty() ? QVariant() : QVariant(detail));
    status->setData(Qt::AccessibleTextRole, spoken.isEmpty() ? QVariant() : QVariant(spoken));
}

} // namespace

cFileTable::cFileTable(QTableWidget *table) : table(table), playIcon(QStringLiteral(":/icon/play.ico"))
{
    // Tab leaves the table; the arrow keys move inside it. The path column
    // takes what the play and status columns leave and shortens long paths in
    // the middle, so that the results are always in view.
    table->setTabKeyNavigation(false);
    table->horizontalHeader()->hide();
    table->verticalHeader()->hide();
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setWordWrap(false);
    table->setTextElideMode(Qt::ElideMiddle);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->viewport()->installEventFilter(this);
    QObject::connect(table->verticalScrollBar(), &QScrollBar::valueChanged, table, [this] {
        if (!scrolling)
            userScrolled = true;
    });
}

void cFileTable::fill(const cFileRows &rows, int from, const std::function<void(QToolButton *)> &prepare)
{
    // The table is not drawn until every row is in and every play button has
    // its place. Drawn while they come, or row by row, thousands of buttons
    // cost a pass over all the others each.
    table->setUpdatesEnabled(false);
    if (from <= 0) {
        table->clear();
        table->setColumnCount(3);
        table->setRowCount(0);
    }
    table->setRowCount(rows.count());
    for (int row = std::max(from, 0); row < rows.count(); ++row) {
        const QString &fn = rows.at(row).path;
        QTableWidgetItem *const pathItem = newItem(fn);
        pathItem->setToolTip(fn);
        table->setItem(row, pathColumn, pathItem);
        table->setItem(row, playColumn, newItem(QString()));
        QToolButton *const button = newPlayButton(fn);
        prepare(button);
        table->setCellWidget(row, playColumn, button);
        table->setItem(row, statusColumn, newItem(QString()));
    }
    sizeColumns();
    table->doItemsLayout();
    table->setUpdatesEnabled(true);
}

bool cFileTable::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint && table->rowCount() == 0) {
        // Drawn under what the view draws, which for no rows is nothing.
        QPainter painter(table->viewport());
        painter.setPen(table->palette().color(QPalette::Disabled, QPalette::Text));
        const int margin = 2 * table->fontMetrics().averageCharWidth();
        painter.drawText(table->viewport()->rect().adjusted(margin, margin, -margin, -margin),
                         Qt::AlignCenter | Qt::TextWordWrap, tr("Drop files or folders here, or press Select files"));
    }
    return QObject::eventFilter(watched, event);
}

void cFileTable::removeRows(const QList<int> &rows)
{
    QList<int> sorted = rows;
    std::sort(sorted.begin(), sorted.end(), std::greater<int>());
    table->setUpdatesEnabled(false);
    for (const int row : std::as_const(sorted))
        table->removeRow(row);
    table->setUpdatesEnabled(true);
}

QToolButton *cFileTable::newPlayButton(const QString &fn)
{
    auto *const button = new QToolButton(table);
    button->setAutoRaise(true);
    button->setIcon(playIcon);
    // Played from the keyboard through its row: a focus stop per row would
    // make Tab walk through every row of the table.
    button->setFocusPolicy(Qt::NoFocus);
    button->setProperty("fn", fn);
    describePlayButton(button);
    return button;
}

void cFileTable::showRow(const cFileRows &rows, int row)
{
    QTableWidgetItem *const status = table->item(row, statusColumn);
    if (!status)
        return;
    const cFileRows::Row &state = rows.at(row);
    switch (state.state) {
    case cFileRows::State::Waiting:
        // Most cells are empty already; each change of a cell is a signal to the view.
        if (!status->text().isEmpty() || !status->toolTip().isEmpty())
            setStatus(status, QString(), status->foreground(), QString());
        break;
    case cFileRows::State::Converting:
        setStatus(status, runningMark, QBrush(Qt::gray), tr("Converting"), tr("Converting"));
        break;
    case cFileRows::State::Converted:
        setStatus(status, tr("OK"), QBrush(Qt::darkGreen),
                  state.output.isEmpty() ? QString() : tr("Written to %1").arg(state.output));
        break;
    case cFileRows::State::Warned:
        // Written, but worth a look: the mark and the colour set it apart from a plain "OK".
        setStatus(status, warnedText(), QBrush(QColor(0xb3, 0x6b, 0x00)), state.reason.toString(),
                  tr("OK, with a warning"));
        break;
    case cFileRows::State::Skipped:
        setStatus(status, tr("SKIP"), QBrush(Qt::gray), state.reason.toString(), tr("Skipped"));
        break;
    case cFileRows::State::Failed:
        setStatus(status, tr("FAIL!"), QBrush(Qt::darkRed), state.reason.toString());
        break;
    }
}

void cFileTable::showRows(const cFileRows &rows)
{
    for (int row = 0; row < rows.count(); ++row)
        showRow(rows, row);
}

void cFileTable::retranslate(const cFileRows &rows)
{
    for (int row = 0; row < table->rowCount() && row < rows.count(); ++row) {
        if (auto *const button = qobject_cast<QToolButton *>(table->cellWidget(row, playColumn)))
            describePlayButton(button);
        showRow(rows, row);
    }
    sizeColumns();
}

void cFileTable::followBatch()
{
    userScrolled = false;
}

void cFileTable::keepInView(int row)
{
    const QTableWidgetItem *const item = table->item(row, pathColumn);
    if (userScrolled || !item || table->viewport()->rect().contains(table->visualItemRect(item)))
        return;
    scrolling = true;
    table->scrollToItem(item, QAbstractItemView::PositionAtCenter);
    scrolling = false;
}

// The play and status columns keep the width of what they show; the path
// column stretches over the rest of the table.
void cFileTable::sizeColumns()
{
    if (table->columnCount() != 3)
        return;
    QHeaderView *const header = table->horizontalHeader();
    header->setMinimumSectionSize(1);
    header->setSectionResizeMode(pathColumn, QHeaderView::Stretch);
    header->setSectionResizeMode(playColumn, QHeaderView::Fixed);
    header->setSectionResizeMode(statusColumn, QHeaderView::Fixed);

    // A table with a grid adds a pixel to each cell, drawn or not.
    const int grid = table->showGrid() ? 1 : 0;
    if (const QWidget *const button = table->cellWidget(0, playColumn))
        header->resizeSection(playColumn, button->sizeHint().width() + grid);

    const QFontMetrics metrics = table->fontMetrics();
    int widest = 0;
    for (const QString &text : {tr("OK"), tr("FAIL!"), tr("SKIP"), warnedText(), runningMark})
        widest = std::max(widest, metrics.horizontalAdvance(text));
    const int margin = table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table) + 1;
    header->resizeSection(statusColumn, widest + 2 * margin + metrics.averageCharWidth() + grid);
}
