#pragma once

#include "core/cbatch.h"
#include "ui/cfocusmemo.h"
#include "ui/cstatusline.h"
#include "ui_cmainwidget.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QWidget>

#include <memory>

class QAction;
class QActionGroup;
class cFailureFilter;
class cFailureNavigator;
class cFileListModel;
class cFileListing;
class cFileTable;
class cOptionsMenu;
class cPlayOutputAction;
class cPreview;
class cRowActions;

// The central widget of the main window: the form, its file table and
// commands. The rows' state lives in a cFileListModel, the table shows it
// through a cFailureFilter (every row, or only those that need attention),
// and a cBatch runs the conversions.
class cMainWidget : public QWidget, private Ui::cMainWidget
{
    Q_OBJECT

public:
    explicit cMainWidget(QWidget *parent = nullptr);
    ~cMainWidget() override;

    // Lists the named files and the sound files of the named folders, as if
    // they had been selected (see cSourceList for the rules); refused while a
    // preview or a batch runs.
    void listFiles(const QStringList &paths) { addFiles(paths, {}, false); }
    // The same, adding to the list the files not listed yet (unless adding is
    // false); leftOut names the files a drop left out as not sound files.
    void addFiles(const QStringList &paths, const QStringList &leftOut = {}, bool adding = true);

public slots:
    // Ends the running preview, else the running batch.
    void stop();

signals:
    // What the status line shows, sent when it changes (during a batch at most
    // a few times a second); stoppable while a batch or a preview runs.
    void statusChanged(const QString &text, bool stoppable);

protected:
    void changeEvent(QEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;

private slots:
    void selectBtnClicked();
    void convertBtnClicked();
    void outputBtnClicked();
    void playRequested();
    // The converter's plain result. The window shows the batch's results
    // instead (fileFinished), which say the same with the output and the
    // reason, so nothing connects this slot.
    void fileProcessed(const QString &fn, bool result);
    void playFinished();
    void convertFinished();
    void fileStarted(const cSource &source);
    void fileFinished(const cFileResult &result);

private:
    void setUpActions();
    void readSettings();
    // Sets every text the widget's code shows in the language of the moment.
    void retranslate();
    QStringList chooseFiles(const QString &title);
    void convertFailed();
    bool chosenOptions(cBatch::Options &chosen) const;
    void convert(const QList<cSource> &sources, bool failedOnly);
    void showRowReason(int row);
    void play(const QString &fn, const QStringList &readBack = QStringList());
    void removeRows(const QList<int> &selected);
    bool acceptsFiles() const;
    void updateControls();
    void followBatch();
    void showStatus(const cStatusMessage &message);
    void refreshStatus();

    QString lastOpenPath;
    cPreview *preview = nullptr;

    cFailureNavigator *failures = nullptr;
    cRowActions *rowActions = nullptr;
    QAction *stopAction = nullptr;

    // The "Jobs" value as read from the store, if it was there.
    QVariant storedJobs;

    cBatch *batch = nullptr;
    cFileListing *listing = nullptr;
    cFileListModel *rows = nullptr;
    cFailureFilter *shown = nullptr;
    cFileTable *table = nullptr;
    std::unique_ptr<cOptionsMenu> options;
    cPlayOutputAction *playOutput = nullptr;

    bool previewRunning = false;
    QString playingName;
    cStatusLine status;
    cFocusMemo previewFocus;
    cFocusMemo batchFocus;
};
