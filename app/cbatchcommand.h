#pragma once

#include "core/cbatchprogress.h"

#include <QFile>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <memory>
#include <optional>

class QSocketNotifier;
class QTimer;
class cConverter;

// Converts the files and folders named on the command line without a window
// ("marrowby --convert [OPTIONS] FILE|FOLDER..."): one line per file on
// standard output as each file ends, then a summary; a progress line on
// standard error while that is a terminal; the same log file as the window.
// Ctrl-C, SIGTERM and SIGHUP stop it as closing the window does.
class cBatchCommand : public QObject
{
    Q_OBJECT

public:
    explicit cBatchCommand(QObject *parent = nullptr);
    ~cBatchCommand() override;
    Q_DISABLE_COPY_MOVE(cBatchCommand)

    // Reads the arguments (the program's name first), converts and returns
    // the exit status: 0 when every file was converted, 1 when any failed, 2
    // for bad usage, 128 plus the signal's number when a signal stopped it.
    // Runs the event loop of the QCoreApplication that must exist.
    int run(const QStringList &arguments);

private slots:
    void fileResult(const QString &fn, bool result, const QString &outPath, const QString &reason);
    void convertFinished();
    void signalArrived();
    void updateProgress();
    void log(QtMsgType type, const QString &msg);

private:
    // An exit status when the arguments are all there is to it (help,
    // version, bad usage); nothing when there are files to convert.
    std::optional<int> readArguments(const QStringList &arguments);
    int convert();
    // Prints the summary; returns the exit status.
    int finish();
    void stopBySignal(int number);
    void printLine(const QString &line);
    void drawProgress();
    void eraseProgress();
    void setUpLog();
    void tearDownLog();

    // What the arguments asked for.
    QStringList namedPaths;
    QString outputDir;
    int fileNameType = 0;
    int fileSaveType = 1;
    int jobs = 0;
    bool quiet = false;

    cBatchProgress progress;
    // Held apart from Qt's ownership: a stop destroys it before this object,
    // which ends its running conversions as closing the window does.
    std::unique_ptr<cConverter> converter;
    QSocketNotifier *signalNotifier = nullptr;
    QTimer *progressTimer = nullptr;
    QString progressText; // what the progress line shows; empty while it is not shown
    bool ended = false;   // the summary is out, or a stop is under way
    QFile logFile;
};
