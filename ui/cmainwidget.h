#pragma once

#include "core/cbatchprogress.h"
#include "ui_cmainwidget.h"

#include <QHash>
#include <QIcon>
#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QVariant>
#include <QWidget>

#include <functional>

class QAction;
class QActionGroup;
class QTableWidgetItem;
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
    // they had been selected (see cSourceList for the rules); refused while a
    // preview or a batch runs.
    void listFiles(const QStringList &paths);

    // The output folder the field names: blanks around it ignored, a leading
    // "~/" taken as the home folder; empty for the working directory.
    static QString outputFolder(const QString &typed);

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
    void fileProcessed(const QString &fn, bool result);
    void playFinished();
    void convertFinished();
    void fileStarted(const QString &fn);
    void fileResult(const QString &fn, bool result, const QString &outPath, const QString &reason);
    void playFailed(int code);

private:
    // Where the keyboard focus was when the controls were locked, and where
    // locking them moved it, so that it can go back when they are given back.
    struct FocusMemo
    {
        QPointer<QWidget> before;
        QPointer<QWidget> after;
    };

    // Sets every text the widget shows in the language of the moment.
    void retranslate();
    void sizeColumns();
    void fillTable(const QStringList &files);
    QToolButton *newPlayButton(const QString &fn);
    void play(const QString &fn);
    void removeSelectedRows();
    void openContainingFolder();
    void indexRows();
    void clearStatus(int row);
    void showResult(int row, bool result, const QString &outPath, const QString &reason);
    void showRunning(QTableWidgetItem *status);
    void updateControls();
    void keepRunningRowInView();
    void refreshStatus();
    QString listedText(int listed, int missing) const;
    bool acceptsFiles() const;
    void restoreFocus(const FocusMemo &memo);

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

    // The rows that hold each path, in table order, and how many results have
    // come for it in this batch: the k-th result for a path belongs to the
    // k-th row holding it. Found without a scan of the table.
    struct PathRows
    {
        QList<int> rows;
        int results = 0;
    };
    QHash<QString, PathRows> rowsOfPath;
    QList<bool> rowDone;
    int firstUnfinished = 0;
    bool userScrolled = false;
    bool scrollingToRunning = false;

    bool batchRunning = false;
    bool batchStopping = false;
    bool previewRunning = false;
    cBatchProgress progress;
    // During a batch the status line is refreshed from this timer, not from
    // every result.
    QTimer statusTimer;
    // What the list or the last batch said, and what the preview says; worded
    // each time the status line is refreshed, so they follow a change of language.
    std::function<QString()> listMessage;
    std::function<QString()> previewMessage;
    QString playingName;
    QString shownStatus;
    bool shownStoppable = false;
    FocusMemo previewFocus;
    FocusMemo batchFocus;

    // One icon shared by every play button: each QIcon made from the file would
    // decode all of its images again.
    QIcon playIcon;
};
