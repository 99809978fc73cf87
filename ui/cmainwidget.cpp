#include "ui/cmainwidget.h"

#include "core/csourcelist.h"
#include "ui/cfiletable.h"
#include "ui/coptionsmenu.h"
#include "ui/cplayoutputaction.h"
#include "workers/cconverter.h"
#include "workers/cplayer.h"

#include <QAction>
#include <QDebug>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QMimeData>
#include <QSettings>
#include <QToolButton>
#include <QUrl>

#include <algorithm>

namespace {

const QString settingsGroup = QStringLiteral("MainWidget");
const QString outputKey = QStringLiteral("Output");
const QString lastOpenPathKey = QStringLiteral("LastOpenPath");
const QString fileSaveModeKey = QStringLiteral("FileSaveMode");
const QString fileNameModeKey = QStringLiteral("FileNameMode");
const QString jobsKey = QStringLiteral("Jobs");

// An action of the file table, reached by its keys while the table has the
// focus and from the rows' context menu.
QAction *newRowAction(QTableWidget *table, const QList<QKeySequence> &keys)
{
    auto *const action = new QAction(table);
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WidgetShortcut);
    table->addAction(action);
    return action;
}

// The local files and folders of a drop; other URLs are left out.
QStringList localPaths(const QMimeData *mime)
{
    QStringList paths;
    if (!mime || !mime->hasUrls())
        return paths;
    const QList<QUrl> urls = mime->urls();
    for (const QUrl &url : urls) {
        if (url.isLocalFile())
            paths << url.toLocalFile();
    }
    return paths;
}

} // namespace

cMainWidget::cMainWidget(QWidget *parent) : QWidget(parent)
{
    player = new cPlayer(this);
    converter = new cConverter(this);
    // Made before the widget's own connections to the converter, so the
    // batch has its tally when the widget hears of the batch's end.
    batch = new cBatch(converter, this);
    setupUi(this);

    connect(selectBtn, &QPushButton::clicked, this, &cMainWidget::selectBtnClicked);
    connect(convertBtn, &QPushButton::clicked, this, &cMainWidget::convertBtnClicked);
    connect(outputBtn, &QToolButton::clicked, this, &cMainWidget::outputBtnClicked);
    connect(player, &cPlayer::playFinished, this, &cMainWidget::playFinished);
    connect(player, &cPlayer::playFailed, this, &cMainWidget::playFailed);
    connect(batch, &cBatch::fileStarted, this, &cMainWidget::fileStarted);
    connect(batch, &cBatch::fileFinished, this, &cMainWidget::fileFinished);
    connect(batch, &cBatch::progressChanged, this, &cMainWidget::followBatch);
    connect(converter, &cConverter::convertFinished, this, &cMainWidget::convertFinished);
    sourceList = new cSourceList(this);
    connect(sourceList, &cSourceList::progress, this, [this](int found) {
        listingFound = found;
        refreshStatus();
    });
    connect(sourceList, &cSourceList::listed, this, &cMainWidget::showListed);
    connect(sourceList, &cSourceList::cancelled, this, [this] { showStatus(cStatusMessage::listingCancelled()); });

    fileList->horizontalHeader()->hide();
    fileList->verticalHeader()->hide();
    table = std::make_unique<cFileTable>(fileList);
    setUpRowActions();
    options = std::make_unique<cOptionsMenu>(optionsBtn, this);
    nameModeGroup = options->nameModes();
    saveModeGroup = options->saveModes();
    setAcceptDrops(true);
    retranslate();
    readSettings();
}

cMainWidget::~cMainWidget()
{
    QSettings settings;
    settings.beginGroup(settingsGroup);
    settings.setValue(outputKey, outputEdit->text());
    settings.setValue(lastOpenPathKey, lastOpenPath);
    settings.setValue(fileNameModeKey, cOptionsMenu::checked(nameModeGroup, storedNameMode));
    settings.setValue(fileSaveModeKey, cOptionsMenu::checked(saveModeGroup, storedSaveMode));
    options->writeSettings(settings);
    // Nothing changes it in the window: it is written back only if it was there.
    if (storedJobs.isValid())
        settings.setValue(jobsKey, storedJobs);
    settings.endGroup();
    settings.sync();
}

void cMainWidget::setUpRowActions()
{
    fileList->setContextMenuPolicy(Qt::ActionsContextMenu);
    playAction = newRowAction(fileList, {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter});
    connect(playAction, &QAction::triggered, this, [this] {
        const int row = fileList->currentRow();
        if (row >= 0 && row < rows.count())
            play(rows.at(row).path);
    });
    playOutput = std::make_unique<cPlayOutputAction>(
        fileList, rows, [this](const QString &path, const QStringList &readBack) { play(path, readBack); });
    removeAction = newRowAction(fileList, {QKeySequence::Delete});
    connect(removeAction, &QAction::triggered, this, &cMainWidget::removeSelectedRows);
    openFolderAction = newRowAction(fileList, {});
    connect(openFolderAction, &QAction::triggered, this, &cMainWidget::openContainingFolder);

    stopAction = new QAction(this);
    stopAction->setShortcut(Qt::Key_Escape);
    stopAction->setShortcutContext(Qt::WindowShortcut);
    stopAction->setEnabled(false);
    addAction(stopAction);
    connect(stopAction, &QAction::triggered, this, &cMainWidget::stop);
}

void cMainWidget::readSettings()
{
    QSettings settings;
    settings.beginGroup(settingsGroup);
    outputEdit->setText(settings.value(outputKey).toString());
    lastOpenPath = settings.value(lastOpenPathKey, QDir::currentPath()).toString();
    converter->setOutputDir(cBatch::outputFolder(outputEdit->text()));
    storedSaveMode = settings.value(fileSaveModeKey, cOptionsMenu::skipName).toString();
    cOptionsMenu::check(saveModeGroup, storedSaveMode);
    storedNameMode = settings.value(fileNameModeKey, cOptionsMenu::changeExtName).toString();
    cOptionsMenu::check(nameModeGroup, storedNameMode);
    options->readSettings(settings);
    // How many files convert at once: a missing key, 0 or anything but a
    // number leaves it to the converter (one per logical processor).
    storedJobs = settings.value(jobsKey);
    converter->setJobs(storedJobs.toInt());
    settings.endGroup();
}

// The texts the code sets, in one place, so that a change of language can set them again.
void cMainWidget::retranslate()
{
    options->retranslate();

    playAction->setText(tr("Play"));
    playOutput->retranslate();
    removeAction->setText(tr("Remove from list"));
    openFolderAction->setText(tr("Open containing folder"));
    stopAction->setText(tr("Stop"));

    fileList->setAccessibleName(tr("Files to convert"));
    outputEdit->setAccessibleName(tr("Output folder"));
    outputEdit->setPlaceholderText(tr("Output folder (empty: the folder Marrowby was started from)"));
    outputBtn->setAccessibleName(tr("Choose the output folder"));
    outputBtn->setToolTip(tr("Choose the output folder"));

    table->retranslate(rows);
    refreshStatus();
}

void cMainWidget::changeEvent(QEvent *e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::LanguageChange) {
        retranslateUi(this);
        retranslate();
    }
}

void cMainWidget::selectBtnClicked()
{
    const QStringList files = QFileDialog::getOpenFileNames(this, tr("Select files"), lastOpenPath,
                                                            tr("Sound files (*.wav *.mp3);;All files (*)"));
    qDebug() << QDir::currentPath();
    if (!files.isEmpty())
        listFiles(files);
}

// Files named one by one are listed at once; folders are walked on the
// listing's own thread, so that a large tree never freezes the window.
void cMainWidget::listFiles(const QStringList &paths)
{
    if (!acceptsFiles())
        return;
    if (std::none_of(paths.cbegin(), paths.cend(), [](const QString &path) { return QFileInfo(path).isDir(); })) {
        showListed(cSourceList::collect(paths));
        return;
    }
    listingFound = 0;
    sourceList->list(paths);
    updateControls();
    refreshStatus();
}

void cMainWidget::showListed(const cSourceList::Result &listed)
{
    if (!listed.files.isEmpty()) {
        lastOpenPath = QFileInfo(listed.files.first()).absolutePath();
        rows.setPaths(listed.files);
        table->fill(rows, [this](QToolButton *button) {
            connect(button, &QToolButton::clicked, this, &cMainWidget::playRequested);
        });
    }
    const auto missing = listed.missing.size();
    showStatus(cStatusMessage::listed(static_cast<int>(listed.files.size()), static_cast<int>(missing),
                                      static_cast<int>(listed.failures.size() - missing)));
    updateControls();
}

bool cMainWidget::acceptsFiles() const
{
    return !previewRunning && !batch->isRunning() && !sourceList->isListing();
}

void cMainWidget::dragEnterEvent(QDragEnterEvent *e)
{
    if (acceptsFiles() && !localPaths(e->mimeData()).isEmpty())
        e->acceptProposedAction();
    else
        e->ignore();
}

void cMainWidget::dropEvent(QDropEvent *e)
{
    const QStringList paths = localPaths(e->mimeData());
    if (!acceptsFiles() || paths.isEmpty()) {
        e->ignore();
        return;
    }
    e->acceptProposedAction();
    listFiles(paths);
}

void cMainWidget::convertBtnClicked()
{
    if (rows.count() == 0) {
        showStatus(cStatusMessage::nothingToConvert());
        return;
    }
    rows.restart();
    for (int row = 0; row < rows.count(); ++row)
        table->showRow(rows, row);

    cBatch::Options chosen;
    if (!options->chosenRules(chosen))
        return;
    // The folder the field shows is the one used, also when it was typed by hand.
    chosen.outputFolder = outputEdit->text();
    chosen.jobs = storedJobs.toInt();

    batchFocus.before = window()->focusWidget();
    if (!batch->start(rows.paths(), chosen)) {
        showStatus(cStatusMessage::folderNotMade(batch->folder()));
        return;
    }
    table->followBatch();
    updateControls();
    batchFocus.after = window()->focusWidget();
    previewMessage = cStatusMessage();
    refreshStatus();
}

// The dialog opens at the output folder, else where the sources came from; it
// never suggests the source folder as the output while an output is set.
void cMainWidget::outputBtnClicked()
{
    const QString current = cBatch::outputFolder(outputEdit->text());
    const QString start = !current.isEmpty() && QFileInfo(current).isDir() ? current : lastOpenPath;
    const QString dir = QFileDialog::getExistingDirectory(this, tr("Open directory"), start, QFileDialog::ShowDirsOnly);
    if (dir.isEmpty())
        return;
    outputEdit->setText(dir);
    converter->setOutputDir(dir);
}

void cMainWidget::playRequested()
{
    const QObject *const button = sender();
    if (!button)
        return;
    play(button->property("fn").toString());
}

void cMainWidget::play(const QString &fn, const QStringList &readBack)
{
    if (previewRunning)
        return;
    previewFocus.before = window()->focusWidget();
    player->play(fn, readBack);
    previewRunning = true;
    playingName = QFileInfo(fn).fileName();
    previewMessage = cStatusMessage();
    refreshStatus();
    updateControls();
    previewFocus.after = window()->focusWidget();
}

void cMainWidget::playFailed(int code)
{
    previewMessage = cStatusMessage::playFailed(code, playingName);
}

void cMainWidget::playFinished()
{
    previewRunning = false;
    updateControls();
    restoreFocus(previewFocus);
    refreshStatus();
}

void cMainWidget::removeSelectedRows()
{
    if (batch->isRunning())
        return;
    QList<int> selected;
    const QModelIndexList indexes = fileList->selectionModel()->selectedRows();
    for (const QModelIndex &index : indexes)
        selected.append(index.row());
    if (selected.isEmpty())
        return;
    table->removeRows(selected);
    rows.remove(selected);
    showStatus(cStatusMessage::listed(rows.count(), 0));
}

void cMainWidget::openContainingFolder()
{
    const int row = fileList->currentRow();
    if (row >= 0 && row < rows.count())
        QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(rows.at(row).path).absolutePath()));
}

void cMainWidget::fileStarted(const QString &fn)
{
    const int row = rows.start(fn);
    if (row >= 0)
        table->showRow(rows, row);
}

void cMainWidget::fileProcessed(const QString &fn, bool result)
{
    fileFinished({fn, result, QString(), cText(), QString()});
}

void cMainWidget::fileFinished(const cBatch::Result &result)
{
    const int row = rows.finish(result.source, result.converted, result.output, result.reason, result.format);
    if (row >= 0)
        table->showRow(rows, row);
}

// During a batch the status line and the table follow it a few times a
// second, not at every result.
void cMainWidget::followBatch()
{
    table->keepInView(rows.firstUnfinished());
    refreshStatus();
}

void cMainWidget::convertFinished()
{
    if (batch->isRunning())
        return;
    // A stopped batch reports nothing for the files it was converting.
    for (const int row : rows.stopConverting())
        table->showRow(rows, row);
    listMessage = cStatusMessage::batchEnded(batch->progress(), batch->wasStopped());
    updateControls();
    restoreFocus(batchFocus);
    refreshStatus();
}

void cMainWidget::stop()
{
    if (previewRunning) {
        player->stop();
    } else if (sourceList->isListing()) {
        sourceList->cancel();
    } else if (batch->isRunning() && !batch->isStopping()) {
        batch->stop();
        refreshStatus();
    }
}

// A preview locks the commands; a batch keeps its list: nothing replaces or
// removes rows, and Convert waits for its end. Previews, the output folder
// and the options stay usable during a batch.
void cMainWidget::updateControls()
{
    const bool batchRunning = batch->isRunning();
    const bool listing = sourceList->isListing();
    fileList->setEnabled(!previewRunning);
    selectBtn->setEnabled(!previewRunning && !batchRunning && !listing);
    convertBtn->setEnabled(!previewRunning && !batchRunning && !listing);
    outputEdit->setEnabled(!previewRunning);
    outputBtn->setEnabled(!previewRunning);
    optionsBtn->setEnabled(!previewRunning);
    removeAction->setEnabled(!batchRunning && !listing);
    stopAction->setEnabled(previewRunning || batchRunning || listing);
}

// Focus goes back where it was, unless the user has put it somewhere else
// inside the widget in the meantime.
void cMainWidget::restoreFocus(const FocusMemo &memo)
{
    QWidget *const now = window()->focusWidget();
    const bool moved = now && now != memo.after && isAncestorOf(now);
    if (memo.before && !moved && memo.before->isEnabled() && memo.before->isVisible())
        memo.before->setFocus(Qt::OtherFocusReason);
}

void cMainWidget::showStatus(const cStatusMessage &message)
{
    listMessage = message;
    previewMessage = cStatusMessage();
    refreshStatus();
}

void cMainWidget::refreshStatus()
{
    QStringList parts;
    if (batch->isRunning())
        parts << (batch->isStopping() ? tr("Stopping\u2026") : batch->progress().runningText());
    else if (sourceList->isListing())
        parts << tr("Listing: %n sound file(s) found", nullptr, listingFound);
    else if (!listMessage.isEmpty())
        parts << listMessage.text();
    if (previewRunning)
        parts << tr("Playing %1").arg(playingName);
    else if (!previewMessage.isEmpty())
        parts << previewMessage.text();
    const QString text = parts.join(QStringLiteral(" \u00b7 "));
    const bool stoppable = previewRunning || batch->isRunning() || sourceList->isListing();
    if (text == shownStatus && stoppable == shownStoppable)
        return;
    shownStatus = text;
    shownStoppable = stoppable;
    emit statusChanged(text, stoppable);
}
