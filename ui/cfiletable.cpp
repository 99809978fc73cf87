#include "ui/cfiletable.h"

#include "ui/cfailurefilter.h"
#include "ui/cfilelistmodel.h"

#include <QEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>
#include <QToolButton>

#include <algorithm>

cFileTable::cFileTable(QTableView *view, cFileListModel *rows, cFailureFilter *shown)
    : QObject(view), view(view), rows(rows), shown(shown), playIcon(QStringLiteral(":/icon/play.ico"))
{
    view->setModel(shown);
    // Tab leaves the table; the arrow keys move inside it. The path column
    // takes what the play and status columns leave and shortens long paths in
    // the middle, so that the results are always in view.
    view->setTabKeyNavigation(false);
    view->horizontalHeader()->hide();
    view->verticalHeader()->hide();
    // Rows are as high as the font makes them: nothing measures each row.
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setWordWrap(false);
    view->setTextElideMode(Qt::ElideMiddle);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->viewport()->installEventFilter(this);
    connect(view->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (!scrolling)
            userScrolled = true;
        placePlayButtons();
    });
    connect(view->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current, const QModelIndex &previous) {
                if (current.isValid())
                    emit currentRowChanged(this->shown->mapToSource(current).row(), previous.isValid());
            });
    // Rows came, went or were filtered: the rows in view change.
    connect(shown, &QAbstractItemModel::modelReset, this, &cFileTable::placePlayButtons);
    connect(shown, &QAbstractItemModel::layoutChanged, this, &cFileTable::placePlayButtons);
    connect(shown, &QAbstractItemModel::rowsInserted, this, &cFileTable::placePlayButtons);
    connect(shown, &QAbstractItemModel::rowsRemoved, this, &cFileTable::placePlayButtons);
    sizeColumns();
}

int cFileTable::currentRow() const
{
    const QModelIndex current = view->currentIndex();
    return current.isValid() ? shown->mapToSource(current).row() : -1;
}

QList<int> cFileTable::selectedRows() const
{
    QList<int> selected;
    const QModelIndexList indexes = view->selectionModel()->selectedRows();
    for (const QModelIndex &index : indexes)
        selected.append(shown->mapToSource(index).row());
    return selected;
}

void cFileTable::setCurrentRow(int row)
{
    const QModelIndex index = shown->mapFromSource(rows->index(row, cFileListModel::PathColumn));
    if (!index.isValid())
        return;
    view->setCurrentIndex(index);
    view->scrollTo(index);
}

void cFileTable::scrollToRow(int row)
{
    const QModelIndex index = shown->mapFromSource(rows->index(row, cFileListModel::PathColumn));
    if (index.isValid())
        view->scrollTo(index);
}

void cFileTable::followBatch()
{
    userScrolled = false;
}

void cFileTable::keepInView(int row)
{
    const QModelIndex index = shown->mapFromSource(rows->index(row, cFileListModel::PathColumn));
    if (userScrolled || !index.isValid() || view->viewport()->rect().contains(view->visualRect(index)))
        return;
    scrolling = true;
    view->scrollTo(index, QAbstractItemView::PositionAtCenter);
    scrolling = false;
}

void cFileTable::retranslate()
{
    rows->retranslate();
    for (const PlayButton &play : std::as_const(playButtons)) {
        if (play.button && play.index.isValid()) {
            const QString what = play.index.data(Qt::ToolTipRole).toString();
            play.button->setToolTip(what);
            play.button->setAccessibleName(what);
        }
    }
    sizeColumns();
}

bool cFileTable::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint && shown->rowCount() == 0) {
        // Drawn under what the view draws, which for no rows is nothing.
        QPainter painter(view->viewport());
        painter.setPen(view->palette().color(QPalette::Disabled, QPalette::Text));
        const int margin = 2 * view->fontMetrics().averageCharWidth();
        painter.drawText(view->viewport()->rect().adjusted(margin, margin, -margin, -margin),
                         Qt::AlignCenter | Qt::TextWordWrap, tr("Drop files or folders here, or press Select files"));
    } else if (event->type() == QEvent::Resize) {
        placePlayButtons();
    }
    return QObject::eventFilter(watched, event);
}

// The rows in view, a row more on either side, have their buttons; the
// others lose theirs.
void cFileTable::placePlayButtons()
{
    // Placing a button can scroll the view, which asks for this again.
    if (placing)
        return;
    placing = true;
    const int total = shown->rowCount();
    int first = view->rowAt(0);
    int last = view->rowAt(view->viewport()->height() - 1);
    first = std::max(0, (first < 0 ? 0 : first) - 1);
    last = std::min(total - 1, (last < 0 ? total - 1 : last) + 1);

    QList<PlayButton> kept;
    for (const PlayButton &play : std::as_const(playButtons)) {
        if (!play.button)
            continue;
        if (play.index.isValid() && play.index.row() >= first && play.index.row() <= last)
            kept.append(play);
        else if (play.index.isValid())
            view->setIndexWidget(play.index, nullptr);
        else
            play.button->deleteLater();
    }
    playButtons = kept;
    for (int row = first; row <= last; ++row) {
        const QModelIndex index = shown->index(row, cFileListModel::PlayColumn);
        if (!view->indexWidget(index)) {
            QToolButton *const button = newPlayButton(index);
            view->setIndexWidget(index, button);
            playButtons.append({index, button});
        }
    }
    placing = false;
}

QToolButton *cFileTable::newPlayButton(const QModelIndex &index)
{
    auto *const button = new QToolButton;
    button->setAutoRaise(true);
    button->setIcon(playIcon);
    // Played from the keyboard through its row: a focus stop per row would
    // make Tab walk through every row of the table.
    button->setFocusPolicy(Qt::NoFocus);
    const QString what = index.data(Qt::ToolTipRole).toString();
    button->setToolTip(what);
    button->setAccessibleName(what);
    const QPersistentModelIndex row(index);
    connect(button, &QToolButton::clicked, this, [this, row] {
        if (!row.isValid())
            return;
        view->setCurrentIndex(row.sibling(row.row(), cFileListModel::PathColumn));
        emit playRequested();
    });
    return button;
}

// The play and status columns keep the width of what they show; the path
// column stretches over the rest of the table.
void cFileTable::sizeColumns()
{
    QHeaderView *const header = view->horizontalHeader();
    if (header->count() != cFileListModel::ColumnCount)
        return;
    header->setMinimumSectionSize(1);
    header->setSectionResizeMode(cFileListModel::PathColumn, QHeaderView::Stretch);
    header->setSectionResizeMode(cFileListModel::PlayColumn, QHeaderView::Fixed);
    header->setSectionResizeMode(cFileListModel::StatusColumn, QHeaderView::Fixed);

    // A table with a grid adds a pixel to each cell, drawn or not.
    const int grid = view->showGrid() ? 1 : 0;
    QToolButton probe(view->viewport());
    probe.setAutoRaise(true);
    probe.setIcon(playIcon);
    header->resizeSection(cFileListModel::PlayColumn, probe.sizeHint().width() + grid);

    const QFontMetrics metrics = view->fontMetrics();
    int widest = 0;
    for (const QString &text : cFileListModel::statusTexts())
        widest = std::max(widest, metrics.horizontalAdvance(text));
    const int margin = view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
    header->resizeSection(cFileListModel::StatusColumn, widest + 2 * margin + metrics.averageCharWidth() + grid);
}
