#include "ui/cmainwidget.h"

#include "app/csourcelist.h"
#include "workers/cconverter.h"
#include "workers/cplayer.h"

#include <QAction>
#include <QActionGroup>
#include <QBrush>
#include <QDebug>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QMenu>
#include <QSettings>
#include <QTableWidgetItem>
#include <QToolButton>

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

// An option of the menu; its text comes with the widget's other texts.
QAction *newOption(const QString &name, QObject *parent)
{
    auto *const action = new QAction(parent);
    action->setCheckable(true);
    action->setObjectName(name);
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

// The play button's tool tip and accessible name, in the language of the moment.
void describePlayButton(QToolButton *button)
{
    const QString what = cMainWidget::tr("Play %1").arg(QFileInfo(button->property("fn").toString()).fileName());
    button->setToolTip(what);
    button->setAccessibleName(what);
}

QString statusText(bool result)
{
    return result ? cMainWidget::tr("OK") : cMainWidget::tr("FAIL!");
}

QTableWidgetItem *newItem(const QString &text)
{
    auto *const item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled);
    return item;
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
    connect(converter, &cConverter::fileProcessed, this, &cMainWidget::fileProcessed);
    connect(converter, &cConverter::convertFinished, this, &cMainWidget::convertFinished);

    fileList->horizontalHeader()->hide();
    fileList->verticalHeader()->hide();

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
    retranslate();

    playIcon = QIcon(QStringLiteral(":/icon/play.ico"));

    QSettings settings;
    settings.beginGroup(settingsGroup);
    outputEdit->setText(settings.value(outputKey).toString());
    lastOpenPath = settings.value(lastOpenPathKey, QDir::currentPath()).toString();
    converter->setOutputDir(outputEdit->text());
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

void cMainWidget::changeEvent(QEvent *e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::LanguageChange)
        retranslate();
}

void cMainWidget::retranslate()
{
    retranslateUi(this);
    const QList<QPair<QString, QString>> optionTexts{{changeExtName, tr("Set extension to .wav")},
                                                     {addExtName, tr("Append .wav to filenames")},
                                                     {overwriteName, tr("Overwrite existing files")},
                                                     {skipName, tr("Skip existing files")}};
    for (const auto &[name, text] : optionTexts) {
        if (auto *const action = findChild<QAction *>(name, Qt::FindDirectChildrenOnly))
            action->setText(text);
    }

    // The texts of the rows: the play buttons' descriptions and the results shown.
    statusCounts.clear();
    for (int row = 0; row < fileList->rowCount(); ++row) {
        if (auto *const button = qobject_cast<QToolButton *>(fileList->cellWidget(row, playColumn)))
            describePlayButton(button);
        QTableWidgetItem *const status = fileList->item(row, statusColumn);
        if (status && !status->text().isEmpty()) {
            status->setText(statusText(status->data(Qt::UserRole).toBool()));
            countStatus(status->text(), +1);
        }
    }
    resizeColumns();
}

void cMainWidget::selectBtnClicked()
{
    const QStringList files = QFileDialog::getOpenFileNames(this, tr("Select files"), lastOpenPath,
                                                            tr("Sound files (*.wav *.mp3);;All files (*.*)"));
    qDebug() << QDir::currentPath();
    if (!files.isEmpty())
        fillTable(files);
    resizeColumns();
}

void cMainWidget::listFiles(const QStringList &paths)
{
    const cSourceList::Result listed = cSourceList::collect(paths);
    if (!listed.files.isEmpty())
        fillTable(listed.files);
    resizeColumns();
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
    rowOfPath.clear();
    statusCounts.clear();
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
        if (!rowOfPath.contains(fn))
            rowOfPath.insert(fn, row);
    }
    fileList->doItemsLayout();
    fileList->setUpdatesEnabled(true);
}

QToolButton *cMainWidget::newPlayButton(const QString &fn)
{
    auto *const button = new QToolButton(fileList);
    button->setAutoRaise(true);
    button->setIcon(playIcon);
    button->setProperty("fn", fn);
    describePlayButton(button);
    connect(button, &QToolButton::clicked, this, &cMainWidget::playRequested);
    return button;
}

void cMainWidget::convertBtnClicked()
{
    for (int row = 0; row < fileList->rowCount(); ++row) {
        if (QTableWidgetItem *const status = fileList->item(row, statusColumn))
            status->setText(QString());
    }
    statusCounts.clear();

    const int fileNameType = ruleOf(nameModeGroup, changeExtName, addExtName);
    if (fileNameType < 0)
        return;
    const int fileSaveType = ruleOf(saveModeGroup, overwriteName, skipName);
    if (fileSaveType < 0)
        return;
    converter->setFileNameType(fileNameType);
    converter->setFileSaveType(fileSaveType);
    // The folder the field shows is the one used, also when it was typed by hand.
    converter->setOutputDir(outputEdit->text());

    QStringList files;
    files.reserve(fileList->rowCount());
    for (int row = 0; row < fileList->rowCount(); ++row)
        files.append(fileList->item(row, pathColumn)->text());
    converter->convertFiles(files);
    convertBtn->setEnabled(false);
}

void cMainWidget::outputBtnClicked()
{
    const QString dir =
        QFileDialog::getExistingDirectory(this, tr("Open directory"), QString(), QFileDialog::ShowDirsOnly);
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
    player->play(button->property("fn").toString());
    setCommandsEnabled(false);
}

void cMainWidget::fileProcessed(const QString &fn, bool result)
{
    const auto found = rowOfPath.constFind(fn);
    if (found == rowOfPath.constEnd())
        return;
    QTableWidgetItem *const status = fileList->item(found.value(), statusColumn);
    const QString text = statusText(result);
    countStatus(status->text(), -1);
    status->setText(text);
    status->setData(Qt::UserRole, result);
    status->setForeground(QBrush(result ? Qt::darkGreen : Qt::darkRed));
    countStatus(text, +1);

    // A result changes only its own status cell, and the status column is as
    // wide as the widest text it shows: only a change in which texts are shown
    // can change a column's width. Sizing the columns looks at up to a thousand
    // rows of each column, too slow to do for each of thousands of results.
    if (statusCounts.keys() != statusesWhenSized)
        resizeColumns();
}

void cMainWidget::playFinished()
{
    setCommandsEnabled(true);
}

void cMainWidget::convertFinished()
{
    convertBtn->setEnabled(true);
}

void cMainWidget::setCommandsEnabled(bool enabled)
{
    for (QWidget *const widget : QList<QWidget *>{fileList, selectBtn, convertBtn, outputEdit, outputBtn, optionsBtn})
        widget->setEnabled(enabled);
}

void cMainWidget::countStatus(const QString &text, int change)
{
    if (text.isEmpty())
        return;
    const int count = statusCounts.value(text) + change;
    if (count > 0)
        statusCounts.insert(text, count);
    else
        statusCounts.remove(text);
}

void cMainWidget::resizeColumns()
{
    fileList->horizontalHeader()->resizeSections(QHeaderView::ResizeToContents);
    statusesWhenSized = statusCounts.keys();
}
