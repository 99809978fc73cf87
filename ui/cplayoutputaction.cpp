#include "ui/cplayoutputaction.h"

#include "workers/coutputformat.h"

#include <QAction>
#include <QKeySequence>
#include <QTableWidget>

cPlayOutputAction::cPlayOutputAction(QTableWidget *table, const cFileRows &rows, Play play)
    : table(table), rows(rows), action(new QAction(table))
{
    action->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_Space));
    action->setShortcutContext(Qt::WidgetShortcut);
    action->setEnabled(false);
    // Next to Play, the source's preview.
    table->insertAction(table->actions().value(1), action);
    QObject::connect(action, &QAction::triggered, table, [this, play] {
        const int row = this->table->currentRow();
        if (row < 0 || row >= this->rows.count() || !this->rows.at(row).hasOutput())
            return;
        const cFileRows::Row &done = this->rows.at(row);
        play(done.output, cOutputFormat::byId(done.format).inputArgs());
    });
    // A status cell changes its text with every result.
    QObject::connect(table, &QTableWidget::currentCellChanged, action, [this] { update(); });
    QObject::connect(table, &QTableWidget::itemChanged, action, [this] { update(); });
}

void cPlayOutputAction::retranslate()
{
    action->setText(tr("Play result"));
}

void cPlayOutputAction::update()
{
    const int row = table->currentRow();
    action->setEnabled(row >= 0 && row < rows.count() && rows.at(row).hasOutput() && !rows.at(row).output.isEmpty());
}
