#include "ui/coptionsmenu.h"

#include "workers/cevenlevel.h"
#include "workers/coutputformat.h"
#include "workers/ctarget.h"

#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QSettings>

#include <algorithm>

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

// The generic target's format, as it always was; another target's formats
// are a list of their own, so that the generic choice survives a target.
const QString formatKey = QStringLiteral("Format");
const QString targetKey = QStringLiteral("Target");
const QString targetFormatsKey = QStringLiteral("TargetFormats");
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

// A checkable action in the sub-menu for each row of a table (the formats,
// the targets), named after its ID, which it holds as its data; the first
// is checked.
template <typename Row>
QActionGroup *addChoices(QMenu *menu, const QString &namePrefix, const QList<Row> &rows, QWidget *owner)
{
    menu->setToolTipsVisible(true);
    auto *const group = new QActionGroup(owner);
    for (const Row &row : rows) {
        QAction *const action = newOption(namePrefix + row.id(), owner);
        action->setData(row.id());
        group->addAction(action);
        menu->addAction(action);
    }
    group->actions().constFirst()->setChecked(true);
    return group;
}

QList<const cOutputFormat *> formatsOf(const QStringList &ids)
{
    QList<const cOutputFormat *> formats;
    for (const QString &id : ids)
        formats << &cOutputFormat::byId(id);
    return formats;
}

} // namespace

cOptionsMenu::cOptionsMenu(QPushButton *button, QLabel *summary, QWidget *owner)
    : owner(owner), button(button), summary(summary), genericFormat(cOutputFormat::standard().id()),
      loudnessTarget(cEvenLevel::defaultTarget)
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
    targetMenu = optionsMenu->addMenu(QString());
    targetGroup = addChoices(targetMenu, QStringLiteral("actionTarget_"), cTarget::all(), owner);
    // A target brings its own formats; the generic one the format it had.
    QObject::connect(targetGroup, &QActionGroup::triggered, owner, [this] {
        const cTarget &target = chosenTarget();
        showTarget(target, target.isGeneric() ? QStringList{genericFormat} : target.formats());
    });
    formatMenu = optionsMenu->addMenu(QString());
    formatGroup = addChoices(formatMenu, QStringLiteral("actionFormat_"), cOutputFormat::all(), owner);
    QObject::connect(formatGroup, &QActionGroup::triggered, owner,
                     [this](QAction *action) { formatTriggered(action); });
    evenLevelAction = newOption(QStringLiteral("actionEvenLevel"), owner);
    trimAction = newOption(QStringLiteral("actionTrimSilence"), owner);
    cleanAction = newOption(QStringLiteral("actionCleanFiles"), owner);
    optionsMenu->addAction(evenLevelAction);
    optionsMenu->addAction(trimAction);
    optionsMenu->addAction(cleanAction);
}

void cOptionsMenu::retranslate()
{
    // The name-rule items say which ending the chosen formats give; several
    // read as alternatives: ".ulaw/.alaw".
    const cTarget &target = chosenTarget();
    const QList<const cOutputFormat *> formats = formatsOf(chosenFormats());
    QStringList endings;
    for (const cOutputFormat *const format : formats) {
        if (!endings.contains(target.ending(*format)))
            endings << target.ending(*format);
    }
    const QString ending = endings.join(QStringLiteral("/."));
    owner->findChild<QAction *>(changeExtName)->setText(tr("Set extension to .%1").arg(ending));
    owner->findChild<QAction *>(addExtName)->setText(tr("Append .%1 to filenames").arg(ending));
    owner->findChild<QAction *>(overwriteName)->setText(tr("Overwrite existing files"));
    owner->findChild<QAction *>(skipName)->setText(tr("Skip existing files"));
    owner->findChild<QAction *>(updateName)->setText(tr("Update changed files"));
    owner->findChild<QAction *>(keepFoldersName)->setText(tr("Keep folder trees"));
    owner->findChild<QAction *>(safeNamesName)->setText(tr("Safe names (lower-case ASCII)"));

    targetMenu->setTitle(tr("Target"));
    for (QAction *const action : targetGroup->actions()) {
        const cTarget &shown = cTarget::byId(action->data().toString());
        action->setText(shown.name());
        action->setToolTip(
            shown.isGeneric()
                ? shown.purpose()
                : tr("%1\nWrites %2").arg(shown.purpose(), formatsText(shown, formatsOf(shown.formats()))));
    }
    formatMenu->setTitle(tr("Format"));
    for (QAction *const action : formatGroup->actions()) {
        const cOutputFormat &format = cOutputFormat::byId(action->data().toString());
        action->setText(format.name());
        action->setToolTip(format.purpose());
    }
    // The summary beside the button, a target's name above its formats; a
    // screen reader hears it on the button too, since the label takes no
    // focus, and every format's full name.
    const QString shown = formatsText(target, formats);
    const QString text = target.isGeneric() ? shown : tr("%1: %2").arg(target.name(), shown);
    QStringList names;
    for (const cOutputFormat *const format : formats)
        names << format->name();
    summary->setText(target.isGeneric() ? shown : target.name() + QLatin1Char('\n') + shown);
    summary->setToolTip(names.join(QLatin1Char('\n')));
    summary->setAccessibleDescription(names.join(QStringLiteral("; ")));
    button->setAccessibleDescription(text);
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
    genericFormat = cOutputFormat::byId(settings.value(formatKey).toString()).id();
    const cTarget &target = cTarget::byId(settings.value(targetKey).toString());
    for (QAction *const action : targetGroup->actions())
        action->setChecked(action->data().toString() == target.id());
    // What the target does not take, or a second format for one file, is left
    // out; nothing left: the target's own.
    QStringList formats;
    for (const QString &id : settings.value(targetFormatsKey).toString().split(QLatin1Char(','))) {
        if (!target.takes(id) || formats.contains(id))
            continue;
        if (std::none_of(formats.cbegin(), formats.cend(), [&](const QString &taken) {
                return target.writesOneFile(cOutputFormat::byId(taken), cOutputFormat::byId(id));
            }))
            formats << id;
    }
    if (target.isGeneric())
        formats = QStringList{genericFormat};
    else if (formats.isEmpty())
        formats = target.formats();
    showTarget(target, formats);
    evenLevelAction->setChecked(settings.value(evenLevelKey, false).toBool());
    trimAction->setChecked(settings.value(trimKey, false).toBool());
    cleanAction->setChecked(settings.value(cleanKey, false).toBool());
    // Not a number or out of range: the default target.
    storedTarget = settings.value(loudnessTargetKey);
    bool isNumber = false;
    const double loudness = storedTarget.toDouble(&isNumber);
    if (isNumber && loudness >= cEvenLevel::minTarget && loudness <= cEvenLevel::maxTarget)
        loudnessTarget = loudness;
    retranslate();
}

void cOptionsMenu::writeSettings(QSettings &settings) const
{
    settings.setValue(fileNameModeKey, checked(nameModeGroup, storedNameMode));
    settings.setValue(fileSaveModeKey, checked(saveModeGroup, storedSaveMode));
    settings.setValue(keepFoldersKey, owner->findChild<QAction *>(keepFoldersName)->isChecked());
    settings.setValue(safeNamesKey, owner->findChild<QAction *>(safeNamesName)->isChecked());
    settings.setValue(formatKey, genericFormat);
    const cTarget &target = chosenTarget();
    settings.setValue(targetKey, target.id());
    if (target.isGeneric())
        settings.remove(targetFormatsKey);
    else
        settings.setValue(targetFormatsKey, chosenFormats().join(QLatin1Char(',')));
    settings.setValue(evenLevelKey, evenLevelAction->isChecked());
    settings.setValue(trimKey, trimAction->isChecked());
    settings.setValue(cleanKey, cleanAction->isChecked());
    // Nothing changes it in the window: it is written back only if it was there.
    if (storedTarget.isValid())
        settings.setValue(loudnessTargetKey, storedTarget);
}

QString cOptionsMenu::chosenFormat() const
{
    // Not the group's checked action, which it stops following while it is
    // not exclusive.
    for (const QAction *const action : formatGroup->actions()) {
        if (action->isChecked())
            return action->data().toString();
    }
    return cOutputFormat::standard().id();
}

const cTarget &cOptionsMenu::chosenTarget() const
{
    const QAction *const action = targetGroup->checkedAction();
    return cTarget::byId(action ? action->data().toString() : QString());
}

QStringList cOptionsMenu::chosenFormats() const
{
    const cTarget &target = chosenTarget();
    if (target.isGeneric())
        return {chosenFormat()};
    QStringList checkedIds;
    for (const QAction *const action : formatGroup->actions()) {
        if (action->isChecked())
            checkedIds << action->data().toString();
    }
    // The target's own in its order, then those added in the table's.
    QStringList ids;
    for (const QString &id : target.formats()) {
        if (checkedIds.contains(id))
            ids << id;
    }
    for (const QString &id : std::as_const(checkedIds)) {
        if (!ids.contains(id))
            ids << id;
    }
    return ids;
}

void cOptionsMenu::showTarget(const cTarget &target, const QStringList &formats)
{
    formatGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::None);
    for (QAction *const action : formatGroup->actions()) {
        action->setChecked(false);
        action->setEnabled(target.takes(action->data().toString()));
    }
    // The generic target writes one format, as it always did.
    if (target.isGeneric())
        formatGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    for (QAction *const action : formatGroup->actions())
        action->setChecked(formats.contains(action->data().toString()));
    retranslate();
}

// Another target's set is narrowed or widened one format at a time; the last
// one stays, and a format replaces those the target would write into its file.
void cOptionsMenu::formatTriggered(QAction *action)
{
    const cTarget &target = chosenTarget();
    if (target.isGeneric()) {
        genericFormat = action->data().toString();
    } else if (!action->isChecked()) {
        if (chosenFormats().isEmpty())
            action->setChecked(true);
    } else {
        const cOutputFormat &format = cOutputFormat::byId(action->data().toString());
        for (QAction *const other : formatGroup->actions()) {
            if (other != action && other->isChecked() &&
                target.writesOneFile(format, cOutputFormat::byId(other->data().toString())))
                other->setChecked(false);
        }
    }
    retranslate();
}

QString cOptionsMenu::formatsText(const cTarget &target, const QList<const cOutputFormat *> &formats)
{
    if (formats.size() == 1)
        return formats.constFirst()->name();
    // Each by the ending its files get; the rate where two share one (a folder per rate).
    QStringList texts;
    for (const cOutputFormat *const format : formats) {
        const QString ending = QLatin1Char('.') + target.ending(*format);
        const bool shared = std::count_if(formats.cbegin(), formats.cend(), [&](const cOutputFormat *other) {
                                return target.ending(*other) == target.ending(*format);
                            }) > 1;
        texts << (shared ? tr("%1 %2 kHz").arg(ending).arg(format->rate() / 1000) : ending);
    }
    return texts.join(QStringLiteral(", "));
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
    options.target = chosenTarget().id();
    options.formats = chosenFormats();
    options.clean = cleanAction->isChecked();
    options.trim = trimAction->isChecked();
    if (evenLevelAction->isChecked())
        options.loudness = loudnessTarget;
    return true;
}
