#include "ui/cmainwidget.h"

#include "core/csourcelist.h"
#include "ui/cfailurefilter.h"
#include "ui/cfailurenavigator.h"
#include "ui/cfiledrops.h"
#include "ui/cfilelisting.h"
#include "ui/cfilelistmodel.h"
#include "ui/cfiletable.h"
#include "ui/coptionsmenu.h"
#include "ui/cplayoutputaction.h"
#include "ui/cpreview.h"
#include "ui/crowactions.h"

#include <QAction>
#include <QDebug>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>
#include <QToolButton>

namespace {

const QString settingsGroup = QStringLiteral("MainWidget");
const QString outputKey = QStringLiteral("Output");
const QString lastOpenPathKey = QStringLiteral("LastOpenPath");
const QString jobsKey = QStringLiteral("Jobs");
const QString oneFilePerRunKey = QStringLiteral("OneFilePerRun");

} // namespace

cMainWidget::cMainWidget(QWidget *parent) : QWidget(parent)
{
    preview = new cPreview(this);
    // The batch converts; the widget reaches the converter only through it.
    batch = new cBatch(this);
    setupUi(this);

    connect(selectBtn, &QPushButton::clicked, this, &cMainWidget::selectBtnClicked);
    connect(convertBtn, &QPushButton::clicked, this, &cMainWidget::convertBtnClicked);
    connect(outputBtn, &QToolButton::clicked, this, &cMainWidget::outputBtnClicked);
    connect(preview, &cPreview::finished, this, &cMainWidget::playFinished);
    connect(preview, &cPreview::failed, this,
            [this](int code) { status.setNote(cStatusMessage::playFailed(code, playingName)); });
    connect(batch, &cBatch::fileStarted, this, &cMainWidget::fileStarted);
    connect(batch, &cBatch::fileFinished, this, &cMainWidget::fileFinished);
    connect(batch, &cBatch::progressChanged, this, &cMainWidget::followBatch);
    connect(batch, &cBatch::finished, this, &cMainWidget::convertFinished);

    rows = new cFileListModel(this);
    shown = new cFailureFilter(rows, this);
    table = new cFileTable(fileList, rows, shown);
    connect(table, &cFileTable::playRequested, this, &cMainWidget::playRequested);
    listing = new cFileListing(rows, this);
    connect(listing, &cFileListing::progress, this, &cMainWidget::refreshStatus);
    connect(listing, &cFileListing::listed, this, [this](const cStatusMessage &message, const QString &folder) {
        if (!folder.isEmpty())
            lastOpenPath = folder;
        failures->listChanged();
        showStatus(message);
        updateControls();
    });
    connect(listing, &cFileListing::cancelled, this, [this] { showStatus(cStatusMessage::listingCancelled()); });
    setUpActions();
    options = std::make_unique<cOptionsMenu>(optionsBtn, targetLabel, this);
    connect(new cFileDrops(this, [this] { return acceptsFiles(); }), &cFileDrops::dropped, this,
            [this](const QStringList &paths, const QStringList &leftOut) { addFiles(paths, leftOut); });
    retranslate();
    readSettings();
}

cMainWidget::~cMainWidget()
{
    QSettings settings;
    settings.beginGroup(settingsGroup);
    settings.setValue(outputKey, cBatch::storedFolder(outputEdit->text()));
    settings.setValue(lastOpenPathKey, lastOpenPath);
    options->writeSettings(settings);
    // Nothing changes it in the window: it is written back only if it was there.
    if (storedJobs.isValid())
        settings.setValue(jobsKey, storedJobs);
    settings.endGroup();
    settings.sync();
}

void cMainWidget::setUpActions()
{
    failures = new cFailureNavigator(table, rows, shown, fileList);
    connect(failures, &cFailureNavigator::currentChosen, this, &cMainWidget::showRowReason);
    rowActions = new cRowActions(fileList, table, rows, failures);
    connect(rowActions, &cRowActions::playRequested, this, &cMainWidget::playRequested);
    connect(rowActions, &cRowActions::removeRequested, this, &cMainWidget::removeRows);
    connect(rowActions, &cRowActions::addRequested, this, [this] {
        const QStringList files = chooseFiles(tr("Add files"));
        if (!files.isEmpty())
            addFiles(files);
    });
    connect(rowActions, &cRowActions::clearRequested, this, [this] {
        if (acceptsFiles())
            listing->clear();
    });
    connect(rowActions, &cRowActions::convertFailedRequested, this, &cMainWidget::convertFailed);
    playOutput = new cPlayOutputAction(
        fileList, table, rows, [this](const QString &path, const QStringList &readBack) { play(path, readBack); });

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
    batch->setOutputFolder(outputEdit->text());
    options->readSettings(settings);
    // How many files convert at once: a missing key, 0 or anything but a
    // number leaves it to the converter (one per logical processor).
    storedJobs = settings.value(jobsKey);
    settings.endGroup();
}

// The texts the code sets, in one place, so that a change of language can set them again.
void cMainWidget::retranslate()
{
    options->retranslate();
    rowActions->retranslate();
    playOutput->retranslate();
    stopAction->setText(tr("Stop"));
    fileList->setAccessibleName(tr("Files to convert"));
    outputEdit->setAccessibleName(tr("Output folder"));
    outputEdit->setPlaceholderText(tr("Output folder (empty: the folder Marrowby was started from)"));
    outputBtn->setAccessibleName(tr("Choose the output folder"));
    outputBtn->setToolTip(tr("Choose the output folder"));

    table->retranslate();
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

void cMainWidget::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    refreshStatus();
}

void cMainWidget::selectBtnClicked()
{
    const QStringList files = chooseFiles(tr("Select files"));
    if (!files.isEmpty())
        listFiles(files);
}

// The first filter shows every kind of file a folder is walked for.
QStringList cMainWidget::chooseFiles(const QString &title)
{
    QStringList patterns;
    for (const QString &extension : cSourceList::soundExtensions())
        patterns << QStringLiteral("*.") + extension;
    const QStringList files = QFileDialog::getOpenFileNames(
        this, title, lastOpenPath, tr("Sound files (%1);;All files (*)").arg(patterns.join(QLatin1Char(' '))));
    qDebug() << QDir::currentPath();
    return files;
}

void cMainWidget::addFiles(const QStringList &paths, const QStringList &leftOut, bool adding)
{
    if (!acceptsFiles())
        return;
    listing->list(paths, adding, leftOut);
    updateControls();
    refreshStatus();
}

bool cMainWidget::acceptsFiles() const
{
    return !previewRunning && !batch->isRunning() && !listing->isListing();
}

void cMainWidget::convertBtnClicked()
{
    if (rows->count() == 0) {
        showStatus(cStatusMessage::nothingToConvert());
        return;
    }
    rows->restart();
    convert(rows->sources(), false);
}

// The failed rows alone convert again, once the batch has started; the others keep their results.
void cMainWidget::convertFailed()
{
    const QList<int> failed = rows->failed();
    if (!acceptsFiles() || failed.isEmpty())
        return;
    convert(rows->sources(failed), true);
}

// The options chosen in the menu, the folder the field shows (also when it
// was typed by hand) and the settings read when a batch starts; false when a
// rule is not chosen.
bool cMainWidget::chosenOptions(cBatch::Options &chosen) const
{
    if (!options->chosenRules(chosen))
        return false;
    chosen.outputFolder = outputEdit->text();
    chosen.jobs = storedJobs.toInt();
    chosen.oneFilePerRun =
        QSettings().value(settingsGroup + QLatin1Char('/') + oneFilePerRunKey, chosen.oneFilePerRun).toBool();
    return true;
}

void cMainWidget::convert(const QList<cSource> &sources, bool failedOnly)
{
    cBatch::Options chosen;
    if (!chosenOptions(chosen))
        return;
    batchFocus.lock(window());
    if (!batch->start(sources, chosen)) {
        showStatus(cStatusMessage::folderNotMade(batch->folder()));
        return;
    }
    if (failedOnly)
        rows->restartFailed();
    table->followBatch();
    failures->batchStarted();
    updateControls();
    batchFocus.locked(window());
    status.setNote(cStatusMessage());
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
    batch->setOutputFolder(dir);
}

// A row's play button or its Play command: the current row plays.
void cMainWidget::playRequested()
{
    if (const int row = table->currentRow(); row >= 0)
        play(rows->at(row).source.path);
}

void cMainWidget::play(const QString &fn, const QStringList &readBack)
{
    if (previewRunning)
        return;
    previewFocus.lock(window());
    preview->play(fn, readBack);
    previewRunning = true;
    playingName = QFileInfo(fn).fileName();
    status.setNote(cStatusMessage());
    refreshStatus();
    updateControls();
    previewFocus.locked(window());
}

// A keyboard user reads a failed row's reason on the status line.
void cMainWidget::showRowReason(int row)
{
    if (rows->needsAttention(row))
        status.setNote(cStatusMessage::rowFailed(QFileInfo(rows->at(row).source.path).fileName(),
                                                 rows->at(row).result.reason,
                                                 rows->at(row).isDone(cFileResult::Outcome::Warned)));
    else if (status.currentNote().isAboutARow())
        status.setNote(cStatusMessage());
    refreshStatus();
}

void cMainWidget::playFinished()
{
    previewRunning = false;
    updateControls();
    previewFocus.restore(this);
    refreshStatus();
}

void cMainWidget::removeRows(const QList<int> &selected)
{
    rows->remove(selected);
    failures->listChanged();
    showStatus(cStatusMessage::listed(rows->count(), 0));
    updateControls();
}

void cMainWidget::fileStarted(const cSource &source)
{
    rows->start(source);
}

// For a caller that has only the path: the first row holding it shows the result.
void cMainWidget::fileProcessed(const QString &fn, bool result)
{
    for (int row = 0; row < rows->count(); ++row) {
        if (rows->at(row).source.path == fn) {
            rows->setResult(row, {rows->at(row).source,
                                  result ? cFileResult::Outcome::Converted : cFileResult::Outcome::Failed, QString(),
                                  cText(), QString()});
            return;
        }
    }
}

void cMainWidget::fileFinished(const cFileResult &result)
{
    rows->finish(result);
}

// During a batch the status line and the table follow it a few times a
// second, not at every result.
void cMainWidget::followBatch()
{
    table->keepInView(rows->firstUnfinished());
    refreshStatus();
}

void cMainWidget::convertFinished()
{
    if (batch->isRunning())
        return;
    // A stopped batch reports nothing for the files it was converting.
    rows->stopConverting();
    status.setMessage(cStatusMessage::batchEnded(batch->progress(), batch->wasStopped()));
    updateControls();
    batchFocus.restore(this);
    failures->batchEnded();
    refreshStatus();
}

void cMainWidget::stop()
{
    if (previewRunning) {
        preview->stop();
    } else if (listing->isListing()) {
        listing->cancel();
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
    const bool walking = listing->isListing();
    fileList->setEnabled(!previewRunning);
    selectBtn->setEnabled(!previewRunning && !batchRunning && !walking);
    convertBtn->setEnabled(!previewRunning && !batchRunning && !walking);
    outputEdit->setEnabled(!previewRunning);
    outputBtn->setEnabled(!previewRunning);
    optionsBtn->setEnabled(!previewRunning);
    rowActions->setListLocked(batchRunning || walking);
    stopAction->setEnabled(previewRunning || batchRunning || walking);
}

void cMainWidget::showStatus(const cStatusMessage &message)
{
    status.setMessage(message);
    refreshStatus();
}

void cMainWidget::refreshStatus()
{
    QString running;
    if (batch->isRunning())
        running = batch->isStopping() ? tr("Stopping\u2026") : batch->progress().runningText();
    else if (listing->isListing())
        running = tr("Listing: %n sound file(s) found", nullptr, listing->found());
    const bool stoppable = previewRunning || batch->isRunning() || listing->isListing();
    if (status.update(running, previewRunning ? cStatusMessage::playing(playingName) : cStatusMessage(), stoppable,
                      this))
        emit statusChanged(status.text(), stoppable);
}
