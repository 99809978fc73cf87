#include "ui/coptionsmenu.h"

#include "workers/cevenlevel.h"
#include "workers/coutputformat.h"

#include <QAction>
#include <QActionGroup>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QSettings>

const QString cOptionsMenu::changeExtName = QStringLiteral("actionChangeExt");
const QString cOptionsMenu::addExtName = QStringLiteral("actionAddExt");
const QString cOptionsMenu::overwriteName = QStringLiteral("actionOverwrite");
const QString cOptionsMenu::skipName = QStringLiteral("actionSkip");
const QString cOptionsMenu::updateName = QStringLiteral("actionUpdate");
const QString cOptionsMenu::keepFoldersName = QStringLiteral("actionKeepFolders");
const QString cOptionsMenu::safeNamesName = QStringLiteral("actionSafeNames");

namespace {

const QString fileSaveModeKey = QStringLiteral("FileSaveMode");
const QString fileNameModeKey = QStringLiteral("FileNameMode");
const QString keepFoldersKey = QStringLiteral("KeepFolders");
const QString safeNamesKey = QStringLiteral("SafeNames");

} // namespace

namespace {

const QString formatKey = QStringLiteral("Format");
const QString evenLevelKey = QStringLiteral("EvenLevel");
const QString loudnessTargetKey = QStringLiteral("LoudnessTarget");
const QString trimKey = QStringLiteral("TrimSilence");
const QString cleanKey = QStringLiteral("CleanFiles");

QAction *newOption(const QString &name, QObject *parent)
{
    auto *const action = new QAction(parent);
    action->setCheckable(true);
    action->setObjectName(name);
    return action;
}

} // namespace

cOptionsMenu::cOptionsMenu(QPushButton *button, QWidget *owner)
    : owner(owner), loudnessTarget(cEvenLevel::defaultTarget)
{
    auto *const optionsMenu = new QMenu(owner);
    button->setMenu(optionsMenu);

    QAction *const actionOverwrite = newOption(overwriteName, owner);
    QAction *const actionSkip = newOption(skipName, owner);
    QAction *const actionUpdate = newOption(updateName, owner);
    saveModeGroup = new QActionGroup(owner);
    saveModeGroup->addAction(actionOverwrite);
    saveModeGroup->addAction(actionSkip);
    saveModeGroup->addAction(actionUpdate);

    QAction *const actionChangeExt = newOption(changeExtName, owner);
    QAction *const actionAddExt = newOption(addExtName, owner);
    nameModeGroup = new QActionGroup(owner);
    nameModeGroup->addAction(actionChangeExt);
    nameModeGroup->addAction(actionAddExt);

    optionsMenu->addAction(actionChangeExt);
    optionsMenu->addAction(actionAddExt);
    optionsMenu->addSeparator();
    optionsMenu->addAction(actionOverwrite);
    optionsMenu->addAction(actionSkip);
    optionsMenu->addAction(actionUpdate);
    optionsMenu->addSeparator();
    optionsMenu->addAction(newOption(keepFoldersName, owner));
    optionsMenu->addAction(newOption(safeNamesName, owner));

    optionsMenu->addSeparator();
    optionsMenu->setToolTipsVisible(true);
    formatMenu = optionsMenu->addMenu(QString());
    formatMenu->setToolTipsVisible(true);
    formatGroup = new QActionGroup(owner);
    for (const cOutputFormat &format : cOutputFormat::all()) {
        QAction *const action = newOption(QStringLiteral("actionFormat_") + format.id(), owner);
        action->setData(format.id());
        formatGroup->addAction(action);
        formatMenu->addAction(action);
    }
    formatGroup->actions().constFirst()->setChecked(true);
    // The name-rule items say which ending the chosen format gives.
    QObject::connect(formatGroup, &QActionGroup::triggered, owner, [this] { retranslate(); });
    evenLevelAction = newOption(QStringLiteral("actionEvenLevel"), owner);
    trimAction = newOption(QStringLiteral("actionTrimSilence"), owner);
    cleanAction = newOption(QStringLiteral("actionCleanFiles"), owner);
    optionsMenu->addAction(evenLevelAction);
    optionsMenu->addAction(trimAction);
    optionsMenu->addAction(cleanAction);
}

void cOptionsMenu::retranslate()
{
    const QString ending = cOutputFormat::byId(chosenFormat()).ending();
    owner->findChild<QAction *>(changeExtName)->setText(tr("Set extension to .%1").arg(ending));
    owner->findChild<QAction *>(addExtName)->setText(tr("Append .%1 to filenames").arg(ending));
    owner->findChild<QAction *>(overwriteName)->setText(tr("Overwrite existing files"));
    owner->findChild<QAction *>(skipName)->setText(tr("Skip existing files"));
    owner->findChild<QAction *>(updateName)->setText(tr("Update changed files"));
    owner->findChild<QAction *>(keepFoldersName)->setText(tr("Keep folder trees"));
    owner->findChild<QAction *>(safeNamesName)->setText(tr("Safe names (lower-case ASCII)"));

    formatMenu->setTitle(tr("Format"));
    for (QAction *const action : formatGroup->actions()) {
        const cOutputFormat &format = cOutputFormat::byId(action->data().toString());
        action->setText(format.name());
        action->setToolTip(format.purpose());
    }
    evenLevelAction->setText(tr("Even level"));
    evenLevelAction->setToolTip(
        tr("Brings every file to %1 LUFS with one gain, true peaks at or below %2 dBTP")
            .arg(QLocale().toString(loudnessTarget, 'g', 3), QLocale().toString(cEvenLevel::peakCeiling, 'g', 3)));
    trimAction->setText(tr("Trim silence"));
    trimAction->setToolTip(tr("Cuts silence at the start and the end of every file to 0.1 s"));
    cleanAction->setText(tr("Clean files"));
    cleanAction->setToolTip(tr("Copies no tags of the source and no mark of the encoder into the files"));
}

void cOptionsMenu::readSettings(const QSettings &settings)
{
    storedSaveMode = settings.value(fileSaveModeKey, skipName).toString();
    check(saveModeGroup, storedSaveMode);
    storedNameMode = settings.value(fileNameModeKey, changeExtName).toString();
    check(nameModeGroup, storedNameMode);
    owner->findChild<QAction *>(keepFoldersName)->setChecked(settings.value(keepFoldersKey, false).toBool());
    owner->findChild<QAction *>(safeNamesName)->setChecked(settings.value(safeNamesKey, false).toBool());
    const QString format = settings.value(formatKey).toString();
    for (QAction *const action : formatGroup->actions())
        action->setChecked(action->data().toString() == cOutputFormat::byId(format).id());
    evenLevelAction->setChecked(settings.value(evenLevelKey, false).toBool());
    trimAction->setChecked(settings.value(trimKey, false).toBool());
    cleanAction->setChecked(settings.value(cleanKey, false).toBool());
    // Not a number or out of range: the default target.
    storedTarget = settings.value(loudnessTargetKey);
    bool isNumber = false;
    const double target = storedTarget.toDouble(&isNumber);
    if (isNumber && target >= cEvenLevel::minTarget && target <= cEvenLevel::maxTarget)
        loudnessTarget = target;
    retranslate();
}

void cOptionsMenu::writeSettings(QSettings &settings) const
{
    settings.setValue(fileNameModeKey, checked(nameModeGroup, storedNameMode));
    settings.setValue(fileSaveModeKey, checked(saveModeGroup, storedSaveMode));
    settings.setValue(keepFoldersKey, owner->findChild<QAction *>(keepFoldersName)->isChecked());
    settings.setValue(safeNamesKey, owner->findChild<QAction *>(safeNamesName)->isChecked());
    settings.setValue(formatKey, chosenFormat());
    settings.setValue(evenLevelKey, evenLevelAction->isChecked());
    settings.setValue(trimKey, trimAction->isChecked());
    settings.setValue(cleanKey, cleanAction->isChecked());
    // Nothing changes it in the window: it is written back only if it was there.
    if (storedTarget.isValid())
        settings.setValue(loudnessTargetKey, storedTarget);
}

QString cOptionsMenu::chosenFormat() const
{
    const QAction *const action = formatGroup->checkedAction();
    return action ? action->data().toString() : cOutputFormat::standard().id();
}

void cOptionsMenu::check(QActionGroup *group, const QString &name)
{
    for (QAction *const action : group->actions()) {
        if (action->objectName() == name)
            action->setChecked(true);
    }
}

QString cOptionsMenu::checked(const QActionGroup *group, const QString &fallback)
{
    const QAction *const action = group->checkedAction();
    return action ? action->objectName() : fallback;
}

bool cOptionsMenu::chosenRules(cBatch::Options &options) const
{
    const QString nameMode = checked(nameModeGroup);
    if (nameMode == changeExtName)
        options.nameRule = cBatch::NameRule::ChangeExtension;
    else if (nameMode == addExtName)
        options.nameRule = cBatch::NameRule::AppendExtension;
    else
        return false;
    const QString saveMode = checked(saveModeGroup);
    if (saveMode == overwriteName)
        options.existingRule = cBatch::ExistingRule::Overwrite;
    else if (saveMode == skipName)
        options.existingRule = cBatch::ExistingRule::Skip;
    else if (saveMode == updateName)
        options.existingRule = cBatch::ExistingRule::Update;
    else
        return false;
    options.keepFolders = owner->findChild<QAction *>(keepFoldersName)->isChecked();
    options.safeNames = owner->findChild<QAction *>(safeNamesName)->isChecked();
    options.formats = {chosenFormat()};
    options.clean = cleanAction->isChecked();
    options.trim = trimAction->isChecked();
    if (evenLevelAction->isChecked())
        options.loudness = loudnessTarget;
    return true;
}
