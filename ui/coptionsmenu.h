#pragma once

#include "core/cbatch.h"

#include <QCoreApplication>
#include <QString>
#include <QVariant>

class QAction;
class QActionGroup;
class QMenu;
class QPushButton;
class QSettings;
class QWidget;

// The Options menu of the window: exclusive groups of checkable choices, each
// action named after what it chooses; the names are what the settings store.
// Below them the output format (a sub-menu), the even level, the trim and
// clean files, whose settings this class reads and writes itself.
class cOptionsMenu
{
    Q_DECLARE_TR_FUNCTIONS(cOptionsMenu)

public:
    // Builds the menu on the button; the menu, its actions and groups are
    // children of owner.
    cOptionsMenu(QPushButton *button, QWidget *owner);

    void retranslate();
    // The checked choices, from and to the window's settings group.
    void readSettings(const QSettings &settings);
    void writeSettings(QSettings &settings) const;

    // The rules and output choices the checked actions choose; false when a
    // name or existing-file group has no checked action or one of another name.
    bool chosenRules(cBatch::Options &options) const;

    static const QString changeExtName;
    static const QString addExtName;
    static const QString overwriteName;
    static const QString skipName;
    static const QString updateName;
    static const QString keepFoldersName;
    static const QString safeNamesName;

private:
    QString chosenFormat() const;
    // Checks the action of each group that the text names exactly; a text that
    // names none leaves its group without a checked action.
    static void check(QActionGroup *group, const QString &name);
    // The name of the group's checked action; fallback when none is checked.
    static QString checked(const QActionGroup *group, const QString &fallback = QString());

    QWidget *const owner;
    QActionGroup *nameModeGroup = nullptr;
    QActionGroup *saveModeGroup = nullptr;
    // The mode texts as read from the store: written back unchanged when they
    // named no action and the user chose none.
    QString storedNameMode;
    QString storedSaveMode;
    QMenu *formatMenu = nullptr;
    QActionGroup *formatGroup = nullptr;
    QAction *evenLevelAction = nullptr;
    QAction *trimAction = nullptr;
    QAction *cleanAction = nullptr;
    // The loudness target of the even level, in LUFS, and the value the store
    // held, written back as it was.
    double loudnessTarget;
    QVariant storedTarget;
};
