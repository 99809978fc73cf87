#pragma once

#include "core/cbatch.h"

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QPushButton;
class QSettings;
class QWidget;
class cOutputFormat;
class cTarget;

// The Options menu of the window: exclusive groups of checkable choices, each
// action named after what it chooses; the names are what the settings store.
// Below them the target and the output formats (sub-menus), the even level,
// the trim and clean files, whose settings this class reads and writes itself.
// The target and its formats are shown beside the button, menu closed.
class cOptionsMenu
{
    Q_DECLARE_TR_FUNCTIONS(cOptionsMenu)

public:
    // Builds the menu on the button, and shows the target in summary; the
    // menu, its actions and groups are children of owner.
    cOptionsMenu(QPushButton *button, QLabel *summary, QWidget *owner);

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
    // The generic target's one format, checked while it is chosen.
    QString chosenFormat() const;
    const cTarget &chosenTarget() const;
    // The IDs of the formats checked, in the table's order.
    QStringList chosenFormats() const;
    // Shows the target chosen, with those formats checked: for the generic
    // target one of every format, for another several of those it takes.
    void showTarget(const cTarget &target, const QStringList &formats);
    void formatTriggered(QAction *action);
    // The formats as the summary beside the button, or a tool tip, says them.
    static QString formatsText(const cTarget &target, const QList<const cOutputFormat *> &formats);
    // Checks the action of each group that the text names exactly; a text that
    // names none leaves its group without a checked action.
    static void check(QActionGroup *group, const QString &name);
    // The name of the group's checked action; fallback when none is checked.
    static QString checked(const QActionGroup *group, const QString &fallback = QString());

    QWidget *const owner;
    QPushButton *const button;
    QLabel *const summary;
    QActionGroup *nameModeGroup = nullptr;
    QActionGroup *saveModeGroup = nullptr;
    // The mode texts as read from the store: written back unchanged when they
    // named no action and the user chose none.
    QString storedNameMode;
    QString storedSaveMode;
    QMenu *targetMenu = nullptr;
    QActionGroup *targetGroup = nullptr;
    QMenu *formatMenu = nullptr;
    QActionGroup *formatGroup = nullptr;
    // The generic target's format, kept while another target is chosen.
    QString genericFormat;
    QAction *evenLevelAction = nullptr;
    QAction *trimAction = nullptr;
    QAction *cleanAction = nullptr;
    // The loudness target of the even level, in LUFS, and the value the store
    // held, written back as it was.
    double loudnessTarget;
    QVariant storedTarget;
};
