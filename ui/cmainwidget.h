#pragma once

#include "ui_cmainwidget.h"

#include <QHash>
#include <QIcon>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QWidget>

class QActionGroup;
class QToolButton;
class cConverter;
class cPlayer;

// The central widget of the main window: the form, its file table and commands.
class cMainWidget : public QWidget, private Ui::cMainWidget
{
    Q_OBJECT

public:
    explicit cMainWidget(QWidget *parent = nullptr);
    ~cMainWidget() override;

    // Lists the named files and the sound files of the named folders, as if
    // they had been selected (see cSourceList for the rules).
    void listFiles(const QStringList &paths);

protected:
    void changeEvent(QEvent *e) override;

private slots:
    void selectBtnClicked();
    void convertBtnClicked();
    void outputBtnClicked();
    void playRequested();
    void fileProcessed(const QString &fn, bool result);
    void playFinished();
    void convertFinished();

private:
    // Sets every text the widget shows in the language of the moment.
    void retranslate();
    void fillTable(const QStringList &files);
    QToolButton *newPlayButton(const QString &fn);
    void setCommandsEnabled(bool enabled);
    void countStatus(const QString &text, int change);
    void resizeColumns();

    QString lastOpenPath;
    cPlayer *player = nullptr;
    cConverter *converter = nullptr;
    QActionGroup *nameModeGroup = nullptr;
    QActionGroup *saveModeGroup = nullptr;

    // The mode texts as read from the store: written back unchanged when they
    // named no action and the user chose none.
    QString storedNameMode;
    QString storedSaveMode;
    // The "Jobs" value as read from the store, if it was there.
    QVariant storedJobs;

    // Path of each row to the first row that holds it, so that a result finds
    // its row without a scan of the table; rebuilt whenever the table is refilled.
    QHash<QString, int> rowOfPath;
    // How many status cells show each result text, and which texts were shown
    // when the columns were last sized to their contents.
    QMap<QString, int> statusCounts;
    QStringList statusesWhenSized;
    // One icon shared by every play button: each QIcon made from the file would
    // decode all of its images again.
    QIcon playIcon;
};
