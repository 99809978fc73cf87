#include "ui/coptionsmenu.h"

#include <QAction>
#include <QActionGroup>
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

QAction *newOption(const QString &name, QObject *parent)
{
    auto *const action = new QAction(parent);
    action->setCheckable(true);
    action->setObjectName(name);
    return action;
}

} // namespace

cOptionsMenu::cOptionsMenu(QPushButton *button, QWidget *owner) : owner(owner)
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
}

void cOptionsMenu::retranslate()
{
    owner->findChild<QAction *>(changeExtName)->setText(tr("Set extension to .wav"));
    owner->findChild<QAction *>(addExtName)->setText(tr("Append .wav to filenames"));
    owner->findChild<QAction *>(overwriteName)->setText(tr("Overwrite existing files"));
    owner->findChild<QAction *>(skipName)->setText(tr("Skip existing files"));
    owner->findChild<QAction *>(updateName)->setText(tr("Update changed files"));
    owner->findChild<QAction *>(keepFoldersName)->setText(tr("Keep folder trees"));
    owner->findChild<QAction *>(safeNamesName)->setText(tr("Safe names (lower-case ASCII)"));
}

void cOptionsMenu::readSettings(const QSettings &settings)
{
    storedSaveMode = settings.value(fileSaveModeKey, skipName).toString();
    check(saveModeGroup, storedSaveMode);
    storedNameMode = settings.value(fileNameModeKey, changeExtName).toString();
    check(nameModeGroup, storedNameMode);
    owner->findChild<QAction *>(keepFoldersName)->setChecked(settings.value(keepFoldersKey, false).toBool());
    owner->findChild<QAction *>(safeNamesName)->setChecked(settings.value(safeNamesKey, false).toBool());
}

void cOptionsMenu::writeSettings(QSettings &settings) const
{
    settings.setValue(fileNameModeKey, checked(nameModeGroup, storedNameMode));
    settings.setValue(fileSaveModeKey, checked(saveModeGroup, storedSaveMode));
    settings.setValue(keepFoldersKey, owner->findChild<QAction *>(keepFoldersName)->isChecked());
    settings.setValue(safeNamesKey, owner->findChild<QAction *>(safeNamesName)->isChecked());
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
    return true;
}
