#pragma once

#include "app/ccommandline.h"
#include "app/cterminaloutput.h"
#include "core/cbatch.h"
#include "core/csourcelist.h"

#include <QFile>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <optional>

// Converts the files and folders named on the command line without a window
// ("marrowby --convert [OPTIONS] FILE|FOLDER..."): one line per file on
// standard output as each file ends, then a summary; a progress line on
// standard error while that is a terminal; the same log file as the window.
// Ctrl-C, SIGTERM and SIGHUP stop it as closing the window does, unless the
// caller had them ignored; so does a closed standard output.
class cBatchCommand : public QObject
{
    Q_OBJECT

public:
    explicit cBatchCommand(QObject *parent = nullptr);
    ~cBatchCommand() override;
    Q_DISABLE_COPY_MOVE(cBatchCommand)

    // Reads the arguments (the program's name first), converts and returns
    // the exit status: 0 when every file was converted or skipped, 1 when any
    // failed, 2 for bad usage, 3 when nothing could be converted (no converter
    // program, no output folder), 128 plus the signal's number when a signal stopped it,
    // 141 (SIGPIPE's) when standard output was closed.
    // Runs the event loop of the QCoreApplication that must exist.
    int run(const QStringList &arguments);

private slots:
    void startBatch(const cSourceList::Result &sources);
    void fileFinished(const cFileResult &result);
    void batchFinished();
    void signalArrived(int number);
    void updateProgress();
    void log(QtMsgType type, const QString &msg);

private:
    // Lists the named paths on the listing's thread, then converts them.
    int convert();
    // Ends the batch with the status; why goes to the log.
    void stop(int status, const QString &why);
    QString skipReason() const;
    void setUpLog();
    void tearDownLog();

    cCommandLine::Request request;
    cTerminalOutput output;
    cSourceList *sourceList = nullptr;
    cBatch *batch = nullptr;
    // Set by a stop: the status the command ends with.
    std::optional<int> stopStatus;
    QFile logFile;
};
