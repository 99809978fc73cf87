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

namespace {

const QString fileSaveModeKey = QStringLiteral("FileSaveMode");
const QString fileNameModeKey = QStringLiteral("FileNameMode");

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
    saveModeGroup = new QActionGroup(owner);
    saveModeGroup->addAction(actionOverwrite);
    saveModeGroup->addAction(actionSkip);

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
}

void cOptionsMenu::retranslate()
{
    owner->findChild<QAction *>(changeExtName)->setText(tr("Set extension to .wav"));
    owner->findChild<QAction *>(addExtName)->setText(tr("Append .wav to filenames"));
    owner->findChild<QAction *>(overwriteName)->setText(tr("Overwrite existing files"));
    owner->findChild<QAction *>(skipName)->setText(tr("Skip existing files"));
}

void cOptionsMenu::readSettings(const QSettings &settings)
{
    storedSaveMode = settings.value(fileSaveModeKey, skipName).toString();
    check(saveModeGroup, storedSaveMode);
    storedNameMode = settings.value(fileNameModeKey, changeExtName).toString();
    check(nameModeGroup, storedNameMode);
}

void cOptionsMenu::writeSettings(QSettings &settings) const
{
    settings.setValue(fileNameModeKey, checked(nameModeGroup, storedNameMode));
    settings.setValue(fileSaveModeKey, checked(saveModeGroup, storedSaveMode));
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
    else
        return false;
    return true;
}
