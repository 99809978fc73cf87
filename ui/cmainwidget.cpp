#include "ui/cmainwidget.h"

#include "core/csourcelist.h"
#include "workers/cconverter.h"
#include "workers/cplayer.h"

#include <QAction>
#include <QActionGroup>
#include <QBrush>
#include <QDebug>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QSettings>
#include <QTableWidgetItem>
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

const QString changeExtName = QStringLiteral("actionChangeExt");
const QString addExtName = QStringLiteral("actionAddExt");
const QString overwriteName = QStringLiteral("actionOverwrite");
const QString skipName = QStringLiteral("actionSkip");

constexpr int pathColumn = 0;
constexpr int playColumn = 1;
constexpr int statusColumn = 2;

// The status cell of a row whose file is being converted.
const QString runningMark = QStringLiteral("\u2026");

// What a status cell keeps of its result, to word it again in another language.
constexpr int resultRole = Qt::UserRole;
constexpr int outputRole = Qt::UserRole + 1;

// How often the status line and the table follow a running batch.
constexpr int statusIntervalMs = 250;

QAction *newOption(const QString &name, QObject *parent)
{
    auto *const action = new QAction(parent);
    action->setCheckable(true);
    action->setObjectName(name);
    return action;
}

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

// Checks every action of the group whose object name is exactly name; a name
// that matches none leaves the whole group unchecked.
void checkNamed(const QActionGroup *group, const QString &name)
{
    for (QAction *const action : group->actions()) {
        if (action->objectName() == name)
            action->setChecked(true);
    }
}

QString checkedName(const QActionGroup *group, const QString &fallback)
{
    const QAction *const action = group->checkedAction();
    return action ? action->objectName() : fallback;
}

// The rule value of the group's checked action: 0 or 1, or -1 when the group
// has no checked action or one of another name.
int ruleOf(const QActionGroup *group, const QString &nameOfZero, const QString &nameOfOne)
{
    const QString name = checkedName(group, QString());
    if (name == nameOfZero)
        return 0;
    if (name == nameOfOne)
        return 1;
    return -1;
}

QTableWidgetItem *newItem(const QString &text)
{
    auto *const item = new QTableWidgetItem(text);
    // Selectable, so that rows can be removed or played from the keyboard; never edited.
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

void describePlayButton(QToolButton *button)
{
    const QString what = cMainWidget::tr("Play %1").arg(QFileInfo(button->property("fn").toString()).fileName());
    button->setToolTip(what);
    button->setAccessibleName(what);
}

// Texts, tool tip and what a screen reader says of a status cell.
void setStatus(QTableWidgetItem *status, const QString &text, const QBrush &brush, const QString &detail,
               const QString &spoken = QString())
{
    status->setText(text);
    status->setForeground(brush);
    status->setToolTip(detail);
    status->setData(Qt::AccessibleDescriptionRole, detail.isEmpty() ? QVariant() : QVariant(detail));
    status->setData(Qt::AccessibleTextRole, spoken.isEmpty() ? QVariant() : QVariant(spoken));
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
    setupUi(this);

    connect(selectBtn, &QPushButton::clicked, this, &cMainWidget::selectBtnClicked);
    connect(convertBtn, &QPushButton::clicked, this, &cMainWidget::convertBtnClicked);
    connect(outputBtn, &QToolButton::clicked, this, &cMainWidget::outputBtnClicked);
    connect(player, &cPlayer::playFinished, this, &cMainWidget::playFinished);
    connect(player, &cPlayer::playFailed, this, &cMainWidget::playFailed);
    // fileResult comes just before fileProcessed for the same file and says
    // more: it alone fills the status cell, so each result is shown once.
    connect(converter, &cConverter::fileStarted, this, &cMainWidget::fileStarted);
    connect(converter, &cConverter::fileResult, this, &cMainWidget::fileResult);
    connect(converter, &cConverter::convertFinished, this, &cMainWidget::convertFinished);

    fileList->horizontalHeader()->hide();
    fileList->verticalHeader()->hide();
    // Tab leaves the table; the arrow keys move inside it. The path column
    // takes what the play and status columns leave and shortens long paths in
    // the middle, so that the results are always in view.
    fileList->setTabKeyNavigation(false);
    fileList->setSelectionBehavior(QAbstractItemView::SelectRows);
    fileList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    fileList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    fileList->setWordWrap(false);
    fileList->setTextElideMode(Qt::ElideMiddle);
    fileList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fileList->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(fileList->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (batchRunning && !scrollingToRunning)
            userScrolled = true;
    });

    playAction = newRowAction(fileList, {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter});
    connect(playAction, &QAction::triggered, this, [this] {
        if (const QTableWidgetItem *const item = fileList->item(fileList->currentRow(), pathColumn))
            play(item->text());
    });
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

    setAcceptDrops(true);
    statusTimer.setInterval(statusIntervalMs);
    connect(&statusTimer, &QTimer::timeout, this, [this] {
        keepRunningRowInView();
        refreshStatus();
    });

    auto *const optionsMenu = new QMenu(this);
    optionsBtn->setMenu(optionsMenu);

    QAction *const actionOverwrite = newOption(overwriteName, this);
    QAction *const actionSkip = newOption(skipName, this);
    saveModeGroup = new QActionGroup(this);
    saveModeGroup->addAction(actionOverwrite);
    saveModeGroup->addAction(actionSkip);

    QAction *const actionChangeExt = newOption(changeExtName, this);
    QAction *const actionAddExt = newOption(addExtName, this);
    nameModeGroup = new QActionGroup(this);
    nameModeGroup->addAction(actionChangeExt);
    nameModeGroup->addAction(actionAddExt);

    optionsMenu->addAction(actionChangeExt);
    optionsMenu->addAction(actionAddExt);
    optionsMenu->addSeparator();
    optionsMenu->addAction(actionOverwrite);
    optionsMenu->addAction(actionSkip);

    playIcon = QIcon(QStringLiteral(":/icon/play.ico"));
    retranslate();

    QSettings settings;
    settings.beginGroup(settingsGroup);
    outputEdit->setText(settings.value(outputKey).toString());
    lastOpenPath = settings.value(lastOpenPathKey, QDir::currentPath()).toString();
    converter->setOutputDir(outputFolder(outputEdit->text()));
    storedSaveMode = settings.value(fileSaveModeKey, skipName).toString();
    checkNamed(saveModeGroup, storedSaveMode);
    storedNameMode = settings.value(fileNameModeKey, changeExtName).toString();
    checkNamed(nameModeGroup, storedNameMode);
    // How many files convert at once: a missing key, 0 or anything but a
    // number leaves it to the converter (one per logical processor).
    storedJobs = settings.value(jobsKey);
    converter->setJobs(storedJobs.toInt());
    settings.endGroup();
}

cMainWidget::~cMainWidget()
{
    QSettings settings;
    settings.beginGroup(settingsGroup);
    settings.setValue(outputKey, outputEdit->text());
    settings.setValue(lastOpenPathKey, lastOpenPath);
    settings.setValue(fileNameModeKey, checkedName(nameModeGroup, storedNameMode));
    settings.setValue(fileSaveModeKey, checkedName(saveModeGroup, storedSaveMode));
    // Nothing changes it in the window: it is written back only if it was there.
    if (storedJobs.isValid())
        settings.setValue(jobsKey, storedJobs);
    settings.endGroup();
    settings.sync();
}

// The texts the code sets, in one place, so that a change of language can set them again.
void cMainWidget::retranslate()
{
    findChild<QAction *>(changeExtName)->setText(tr("Set extension to .wav"));
    findChild<QAction *>(addExtName)->setText(tr("Append .wav to filenames"));
    findChild<QAction *>(overwriteName)->setText(tr("Overwrite existing files"));
    findChild<QAction *>(skipName)->setText(tr("Skip existing files"));

    playAction->setText(tr("Play"));
    removeAction->setText(tr("Remove from list"));
    openFolderAction->setText(tr("Open containing folder"));
    stopAction->setText(tr("Stop"));

    fileList->setAccessibleName(tr("Files to convert"));
    outputEdit->setAccessibleName(tr("Output folder"));
    outputEdit->setPlaceholderText(tr("Output folder (empty: the folder Marrowby was started from)"));
    outputBtn->setAccessibleName(tr("Choose the output folder"));
    outputBtn->setToolTip(tr("Choose the output folder"));

    // The rows: the play buttons' descriptions and the results shown.
    for (int row = 0; row < fileList->rowCount(); ++row) {
        if (auto *const button = qobject_cast<QToolButton *>(fileList->cellWidget(row, playColumn)))
            describePlayButton(button);
        QTableWidgetItem *const status = fileList->item(row, statusColumn);
        if (status->text() == runningMark)
            showRunning(status);
        else if (status->data(resultRole).toBool())
            showResult(row, true, status->data(outputRole).toString(), QString());
        else if (status->data(resultRole).isValid())
            showResult(row, false, QString(), status->toolTip());
    }
    sizeColumns();
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

// The play and status columns keep the width of what they show; the path
// column stretches over the rest of the table.
void cMainWidget::sizeColumns()
{
    if (fileList->columnCount() != 3)
        return;
    QHeaderView *const header = fileList->horizontalHeader();
    header->setMinimumSectionSize(1);
    header->setSectionResizeMode(pathColumn, QHeaderView::Stretch);
    header->setSectionResizeMode(playColumn, QHeaderView::Fixed);
    header->setSectionResizeMode(statusColumn, QHeaderView::Fixed);

    // A table with a grid adds a pixel to each cell, drawn or not.
    const int grid = fileList->showGrid() ? 1 : 0;
    if (const QWidget *const button = fileList->cellWidget(0, playColumn))
        header->resizeSection(playColumn, button->sizeHint().width() + grid);

    const QFontMetrics metrics = fileList->fontMetrics();
    int widest = 0;
    for (const QString &text : {tr("OK"), tr("FAIL!"), runningMark})
        widest = std::max(widest, metrics.horizontalAdvance(text));
    const int margin = fileList->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, fileList) + 1;
    header->resizeSection(statusColumn, widest + 2 * margin + metrics.averageCharWidth() + grid);
}

void cMainWidget::selectBtnClicked()
{
    const QStringList files = QFileDialog::getOpenFileNames(this, tr("Select files"), lastOpenPath,
                                                            tr("Sound files (*.wav *.mp3);;All files (*)"));
    qDebug() << QDir::currentPath();
    if (!files.isEmpty())
        listFiles(files);
}

void cMainWidget::listFiles(const QStringList &paths)
{
    if (!acceptsFiles())
        return;
    const cSourceList::Result listed = cSourceList::collect(paths);
    if (!listed.files.isEmpty())
        fillTable(listed.files);
    const int files = static_cast<int>(listed.files.size());
    const int missing = static_cast<int>(listed.missing.size());
    listMessage = [this, files, missing] {
        return listedText(files, missing);
    };
    previewMessage = nullptr;
    refreshStatus();
}

QString cMainWidget::listedText(int listed, int missing) const
{
    const QString text = listed > 0 ? tr("%n file(s) listed", nullptr, listed) : tr("No sound files found");
    if (missing == 0)
        return text;
    return tr("%1, %n named path(s) not found", nullptr, missing).arg(text);
}

bool cMainWidget::acceptsFiles() const
{
    return !previewRunning && !batchRunning;
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

void cMainWidget::fillTable(const QStringList &files)
{
    // The table is not drawn until every row is in and every play button has
    // its place. Drawn while they come, or row by row, thousands of buttons
    // cost a pass over all the others each.
    fileList->setUpdatesEnabled(false);
    fileList->clear();
    fileList->setColumnCount(3);
    fileList->setRowCount(0);
    lastOpenPath = QFileInfo(files.first()).absolutePath();

    fileList->setRowCount(static_cast<int>(files.size()));
    for (int row = 0; row < fileList->rowCount(); ++row) {
        const QString &fn = files.at(row);
        QTableWidgetItem *const pathItem = newItem(fn);
        pathItem->setToolTip(fn);
        fileList->setItem(row, pathColumn, pathItem);
        fileList->setItem(row, playColumn, newItem(QString()));
        fileList->setCellWidget(row, playColumn, newPlayButton(fn));
        fileList->setItem(row, statusColumn, newItem(QString()));
    }
    indexRows();
    sizeColumns();
    fileList->doItemsLayout();
    fileList->setUpdatesEnabled(true);
}

void cMainWidget::indexRows()
{
    rowsOfPath.clear();
    const int rows = fileList->rowCount();
    rowDone = QList<bool>(rows, false);
    for (int row = 0; row < rows; ++row)
        rowsOfPath[fileList->item(row, pathColumn)->text()].rows.append(row);
}

QToolButton *cMainWidget::newPlayButton(const QString &fn)
{
    auto *const button = new QToolButton(fileList);
    button->setAutoRaise(true);
    button->setIcon(playIcon);
    // Played from the keyboard through its row: a focus stop per row would
    // make Tab walk through every row of the table.
    button->setFocusPolicy(Qt::NoFocus);
    button->setProperty("fn", fn);
    describePlayButton(button);
    connect(button, &QToolButton::clicked, this, &cMainWidget::playRequested);
    return button;
}

void cMainWidget::clearStatus(int row)
{
    QTableWidgetItem *const status = fileList->item(row, statusColumn);
    // Most cells are empty already; each change of a cell is a signal to the view.
    if (status && !(status->text().isEmpty() && status->toolTip().isEmpty())) {
        setStatus(status, QString(), status->foreground(), QString());
        status->setData(resultRole, QVariant());
        status->setData(outputRole, QVariant());
    }
}

void cMainWidget::convertBtnClicked()
{
    const int rows = fileList->rowCount();
    if (rows == 0) {
        listMessage = [] {
            return tr("Nothing to convert: select files or drop them here first");
        };
        previewMessage = nullptr;
        refreshStatus();
        return;
    }
    for (int row = 0; row < rows; ++row)
        clearStatus(row);

    const int fileNameType = ruleOf(nameModeGroup, changeExtName, addExtName);
    if (fileNameType < 0)
        return;
    const int fileSaveType = ruleOf(saveModeGroup, overwriteName, skipName);
    if (fileSaveType < 0)
        return;

    // The folder the field shows is the one used, also when it was typed by hand.
    const QString folder = outputFolder(outputEdit->text());
    if (!folder.isEmpty() && !QFileInfo(folder).isDir()) {
        if (!QDir().mkpath(folder)) {
            qDebug() << "Could not create the output folder:" << folder;
            listMessage = [folder] {
                return tr("The output folder %1 could not be created").arg(folder);
            };
            refreshStatus();
            return;
        }
        qDebug() << "Output folder created:" << folder;
    }
    converter->setFileNameType(fileNameType);
    converter->setFileSaveType(fileSaveType);
    converter->setOutputDir(folder);

    QStringList files;
    files.reserve(rows);
    for (int row = 0; row < rows; ++row)
        files.append(fileList->item(row, pathColumn)->text());
    for (PathRows &path : rowsOfPath)
        path.results = 0;
    rowDone.fill(false);
    firstUnfinished = 0;
    userScrolled = false;

    batchFocus.before = window()->focusWidget();
    batchRunning = true;
    batchStopping = false;
    progress.start(rows);
    converter->convertFiles(files);
    updateControls();
    batchFocus.after = window()->focusWidget();
    previewMessage = nullptr;
    statusTimer.start();
    refreshStatus();
}

QString cMainWidget::outputFolder(const QString &typed)
{
    const QString folder = typed.trimmed();
    if (folder == QLatin1String("~"))
        return QDir::homePath();
    if (folder.startsWith(QLatin1String("~/")))
        return QDir::homePath() + folder.mid(1);
    return folder;
}

// The dialog opens at the output folder, else where the sources came from; it
// never suggests the source folder as the output while an output is set.
void cMainWidget::outputBtnClicked()
{
    const QString current = outputFolder(outputEdit->text());
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

void cMainWidget::play(const QString &fn)
{
    if (previewRunning)
        return;
    previewFocus.before = window()->focusWidget();
    player->play(fn);
    previewRunning = true;
    playingName = QFileInfo(fn).fileName();
    previewMessage = nullptr;
    refreshStatus();
    updateControls();
    previewFocus.after = window()->focusWidget();
}

void cMainWidget::playFailed(int code)
{
    // The reason first: a long name would push it out of the status line.
    previewMessage = [code, name = playingName] {
        return tr("Could not play, %1: %2").arg(cPlayer::errorText(code), name);
    };
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
    if (batchRunning)
        return;
    QList<int> rows;
    const QModelIndexList selected = fileList->selectionModel()->selectedRows();
    for (const QModelIndex &index : selected)
        rows.append(index.row());
    if (rows.isEmpty())
        return;
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    fileList->setUpdatesEnabled(false);
    for (const int row : std::as_const(rows))
        fileList->removeRow(row);
    fileList->setUpdatesEnabled(true);
    indexRows();
    listMessage = [this, rows = fileList->rowCount()] {
        return listedText(rows, 0);
    };
    previewMessage = nullptr;
    refreshStatus();
}

void cMainWidget::openContainingFolder()
{
    const QTableWidgetItem *const item = fileList->item(fileList->currentRow(), pathColumn);
    if (item)
        QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(item->text()).absolutePath()));
}

void cMainWidget::fileStarted(const QString &fn)
{
    const auto found = rowsOfPath.constFind(fn);
    if (found == rowsOfPath.constEnd())
        return;
    for (const int row : found->rows) {
        QTableWidgetItem *const status = fileList->item(row, statusColumn);
        if (!rowDone.at(row) && status->text().isEmpty()) {
            showRunning(status);
            return;
        }
    }
}

void cMainWidget::fileProcessed(const QString &fn, bool result)
{
    fileResult(fn, result, QString(), QString());
}

// The k-th result for a path belongs to the k-th row that holds it, so a file
// listed twice shows each of its results.
void cMainWidget::fileResult(const QString &fn, bool result, const QString &outPath, const QString &reason)
{
    if (batchRunning)
        progress.fileDone(result);
    const auto found = rowsOfPath.find(fn);
    if (found == rowsOfPath.end() || found->results >= found->rows.size())
        return;
    const int row = found->rows.at(found->results++);
    rowDone[row] = true;
    showResult(row, result, outPath, reason);
}

void cMainWidget::showResult(int row, bool result, const QString &outPath, const QString &reason)
{
    QTableWidgetItem *const status = fileList->item(row, statusColumn);
    if (result)
        setStatus(status, tr("OK"), QBrush(Qt::darkGreen),
                  outPath.isEmpty() ? QString() : tr("Written to %1").arg(outPath));
    else
        setStatus(status, tr("FAIL!"), QBrush(Qt::darkRed), reason);
    status->setData(resultRole, result);
    status->setData(outputRole, outPath);
}

void cMainWidget::showRunning(QTableWidgetItem *status)
{
    setStatus(status, runningMark, QBrush(Qt::gray), tr("Converting"), tr("Converting"));
}

void cMainWidget::convertFinished()
{
    const bool wasRunning = batchRunning;
    batchRunning = false;
    statusTimer.stop();
    if (wasRunning) {
        progress.finish();
        // The counts and the time stay in progress until the next batch starts.
        const bool stopped = batchStopping;
        listMessage = [this, stopped] {
            return stopped ? progress.stoppedText() : progress.finishedText();
        };
        // A stopped batch reports nothing for the files it was converting.
        for (int row = 0; row < fileList->rowCount(); ++row) {
            if (!rowDone.at(row) && fileList->item(row, statusColumn)->text() == runningMark)
                clearStatus(row);
        }
    }
    batchStopping = false;
    updateControls();
    if (wasRunning)
        restoreFocus(batchFocus);
    refreshStatus();
}

void cMainWidget::stop()
{
    if (previewRunning) {
        player->stop();
    } else if (batchRunning && !batchStopping) {
        batchStopping = true;
        converter->stop();
        refreshStatus();
    }
}

// A preview locks the commands; a batch keeps its list: nothing replaces or
// removes rows, and Convert waits for its end. Previews, the output folder
// and the options stay usable during a batch.
void cMainWidget::updateControls()
{
    fileList->setEnabled(!previewRunning);
    selectBtn->setEnabled(!previewRunning && !batchRunning);
    convertBtn->setEnabled(!previewRunning && !batchRunning);
    outputEdit->setEnabled(!previewRunning);
    outputBtn->setEnabled(!previewRunning);
    optionsBtn->setEnabled(!previewRunning);
    removeAction->setEnabled(!batchRunning);
    stopAction->setEnabled(previewRunning || batchRunning);
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

// The first row without a result stays in view, unless the user has
// scrolled the table during the batch.
void cMainWidget::keepRunningRowInView()
{
    const int rows = static_cast<int>(rowDone.size());
    while (firstUnfinished < rows && rowDone.at(firstUnfinished))
        ++firstUnfinished;
    if (userScrolled || firstUnfinished >= rows)
        return;
    const QTableWidgetItem *const item = fileList->item(firstUnfinished, pathColumn);
    if (fileList->viewport()->rect().contains(fileList->visualItemRect(item)))
        return;
    scrollingToRunning = true;
    fileList->scrollToItem(item, QAbstractItemView::PositionAtCenter);
    scrollingToRunning = false;
}

void cMainWidget::refreshStatus()
{
    QStringList parts;
    if (batchRunning)
        parts << (batchStopping ? tr("Stopping\u2026") : progress.runningText());
    else if (listMessage)
        parts << listMessage();
    if (previewRunning)
        parts << tr("Playing %1").arg(playingName);
    else if (previewMessage)
        parts << previewMessage();
    const QString text = parts.join(QStringLiteral(" \u00b7 "));
    const bool stoppable = previewRunning || batchRunning;
    if (text == shownStatus && stoppable == shownStoppable)
        return;
    shownStatus = text;
    shownStoppable = stoppable;
    emit statusChanged(text, stoppable);
}
