#include "ui/cplayoutputaction.h"

#include "ui/cfilelistmodel.h"
#include "ui/cfiletable.h"
#include "workers/coutputformat.h"

#include <QAbstractItemView>
#include <QAction>
#include <QKeySequence>

cPlayOutputAction::cPlayOutputAction(QAbstractItemView *view, cFileTable *table, const cFileListModel *rows, Play play)
    : QObject(view), table(table), rows(rows), action(new QAction(view))
{
    action->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_Space));
    action->setShortcutContext(Qt::WidgetShortcut);
    action->setEnabled(false);
    // Next to Play, the source's preview.
    view->insertAction(view->actions().value(1), action);
    connect(action, &QAction::triggered, this, [this, play] {
        const int row = this->table->currentRow();
        if (row < 0 || !this->rows->at(row).hasOutput())
            return;
        const cFileResult &done = this->rows->at(row).result;
        play(done.output, cOutputFormat::byId(done.format).inputArgs());
    });
    // A row's result changes with the batch.
    connect(table, &cFileTable::currentRowChanged, this, &cPlayOutputAction::update);
    connect(rows, &cFileListModel::dataChanged, this, &cPlayOutputAction::update);
    connect(rows, &cFileListModel::modelReset, this, &cPlayOutputAction::update);
}

void cPlayOutputAction::retranslate()
{
    action->setText(tr("Play result"));
}

void cPlayOutputAction::update()
{
    const int row = table->currentRow();
    action->setEnabled(row >= 0 && rows->at(row).hasOutput() && !rows->at(row).result.output.isEmpty());
}
