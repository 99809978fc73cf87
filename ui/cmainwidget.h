#pragma once

#include "core/cbatch.h"
#include "core/csourcelist.h"
#include "ui/cfilerows.h"
#include "ui/cstatusmessage.h"
#include "ui_cmainwidget.h"

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QWidget>

#include <memory>

class QAction;
class QActionGroup;
class cConverter;
class cFileTable;
class cOptionsMenu;
class cPlayOutputAction;
class cPlayer;

// The central widget of the main window: the form, its file table and
// commands. The rows' state lives in a cFileRows, the table shows it through a
// cFileTable, and a cBatch runs the conversions.
class cMainWidget : public QWidget, private Ui::cMainWidget
{
    Q_OBJECT

public:
    explicit cMainWidget(QWidget *parent = nullptr);
    ~cMainWidget() override;

    // Lists the named files and the sound files of the named folders, as if
    // they had been selected (see cSourceList for the rules); refused while a
    // preview or a batch runs.
    void listFiles(const QStringList &paths);

public slots:
    // Ends the running preview, else the running batch.
    void stop();

signals:
    // What the status line shows, sent when it changes (during a batch at most
    // a few times a second); stoppable while a batch or a preview runs.
    void statusChanged(const QString &text, bool stoppable);

protected:
    void changeEvent(QEvent *e) override;
    void dragEnterEvent(QDragEnterEvent *e) override;
    void dropEvent(QDropEvent *e) override;

private slots:
    void selectBtnClicked();
    void convertBtnClicked();
    void outputBtnClicked();
    void playRequested();
    // The converter's plain result. The window shows the batch's results
    // instead (fileFinished), which say the same with the output and the
    // reason, so nothing connects this slot: both would count each file twice.
    void fileProcessed(const QString &fn, bool result);
    void playFinished();
    void convertFinished();
    void fileStarted(const QString &fn);
    void fileFinished(const cBatch::Result &result);
    void playFailed(int code);

private:
    // Where the keyboard focus was when the controls were locked, and where
    // locking them moved it, so that it can go back when they are given back.
    struct FocusMemo
    {
        QPointer<QWidget> before;
        QPointer<QWidget> after;
    };

    void setUpRowActions();
    void readSettings();
    // Sets every text the widget's code shows in the language of the moment.
    void retranslate();
    void showListed(const cSourceList::Result &listed);
    void play(const QString &fn, const QStringList &readBack = QStringList());
    void removeSelectedRows();
    void openContainingFolder();
    bool acceptsFiles() const;
    void updateControls();
    void restoreFocus(const FocusMemo &memo);
    void followBatch();
    void showStatus(const cStatusMessage &message);
    void refreshStatus();

    QString lastOpenPath;
    cPlayer *player = nullptr;
    cConverter *converter = nullptr;
    QActionGroup *nameModeGroup = nullptr;
    QActionGroup *saveModeGroup = nullptr;

    QAction *playAction = nullptr;
    QAction *removeAction = nullptr;
    QAction *openFolderAction = nullptr;
    QAction *stopAction = nullptr;

    // The mode texts as read from the store: written back unchanged when they
    // named no action and the user chose none.
    QString storedNameMode;
    QString storedSaveMode;
    // The "Jobs" value as read from the store, if it was there.
    QVariant storedJobs;

    cBatch *batch = nullptr;
    cSourceList *sourceList = nullptr;
    int listingFound = 0;
    cFileRows rows;
    std::unique_ptr<cFileTable> table;
    std::unique_ptr<cOptionsMenu> options;
    std::unique_ptr<cPlayOutputAction> playOutput;

    bool previewRunning = false;
    QString playingName;
    // What the list or the last batch said, and what the last preview said.
    cStatusMessage listMessage;
    cStatusMessage previewMessage;
    QString shownStatus;
    bool shownStoppable = false;
    FocusMemo previewFocus;
    FocusMemo batchFocus;
};
