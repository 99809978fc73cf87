#include "app/cbatchcommand.h"

#include "app/clogmessage.h"
#include "app/csignalwatcher.h"
#include "app/csourcelist.h"
#include "workers/cconverter.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QTimer>

#include <csignal>

namespace {

// How often the progress line on a terminal is brought up to date.
constexpr int progressIntervalMs = 250;

// The status of a process a closed pipe ended, as a shell reports it.
#ifdef SIGPIPE
constexpr int outputClosedStatus = 128 + SIGPIPE;
#else
constexpr int outputClosedStatus = 141;
#endif

} // namespace

cBatchCommand::cBatchCommand(QObject *parent) : QObject(parent)
{
    progressTimer = new QTimer(this);
    progressTimer->setInterval(progressIntervalMs);
    connect(progressTimer, &QTimer::timeout, this, &cBatchCommand::updateProgress);
}

cBatchCommand::~cBatchCommand() = default;

int cBatchCommand::run(const QStringList &arguments)
{
    request = cCommandLine::readCommand(arguments);
    switch (request.action) {
    case cCommandLine::Request::Action::Help:
    case cCommandLine::Request::Action::Version:
        output.print(request.text);
        return 0;
    case cCommandLine::Request::Action::BadUsage:
        cCommandLine::badUsage(request.text);
        return cCommandLine::badUsageStatus;
    case cCommandLine::Request::Action::Convert:
        break;
    }

    // Only a run that converts empties the log; asking for help leaves it be.
    setUpLog();
#ifdef SIGPIPE
    // A closed standard output shows as EPIPE on the next line, and the batch
    // stops as on SIGTERM instead of the process dying in the middle of a write.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    int status = 0;
    {
        // Past the batch, the signals do what they did before.
        const cSignalWatcher stopSignals(cSignalWatcher::stopSignals());
        connect(&stopSignals, &cSignalWatcher::arrived, this, &cBatchCommand::signalArrived);
        status = convert();
    }
    tearDownLog();
    return status;
}

int cBatchCommand::convert()
{
    const QString outputDir = QDir::cleanPath(
        QDir::current().absoluteFilePath(request.outputDir.isEmpty() ? QStringLiteral(".") : request.outputDir));
    if (!QDir().mkpath(outputDir)) {
        qDebug() << "Output folder can't be made:" << outputDir;
        cTerminalOutput::printError(tr("marrowby: cannot make the output folder %1").arg(outputDir));
        return 1;
    }

    const cSourceList::Result sources = cSourceList::collect(request.paths);
    progress.start(static_cast<int>(sources.files.size() + sources.missing.size()));
    for (const QString &path : sources.missing) {
        progress.fileDone(false);
        output.printLine(QStringLiteral("FAIL %1: %2").arg(path, tr("No such file or folder")));
    }
    if (output.outputClosed()) {
        qDebug() << "Stopped: standard output closed";
        return outputClosedStatus;
    }
    if (sources.files.isEmpty())
        return finish();

    startConverter(sources.files, outputDir);
    if (!request.quiet && output.canShowProgress()) {
        updateProgress();
        progressTimer->start();
    }
    const int status = QCoreApplication::exec();
    converter.reset();
    return status;
}

// Sets the converter up and starts the batch, all in one place; destroying
// the converter (a stop, the end) ends it.
void cBatchCommand::startConverter(const QStringList &files, const QString &outputDir)
{
    converter = std::make_unique<cConverter>();
    converter->setOutputDir(outputDir);
    converter->setFileNameType(request.appendWav ? 1 : 0);
    converter->setFileSaveType(request.overwrite ? 0 : 1);
    converter->setJobs(request.jobs);
    // Each file's reason is on its line and the details are in the log; the
    // converter program's own output would only bury the lines.
    converter->setForwardOutput(false);
    connect(converter.get(), &cConverter::fileResult, this, &cBatchCommand::fileResult);
    connect(converter.get(), &cConverter::convertFinished, this, &cBatchCommand::convertFinished);
    converter->convertFiles(files);
}

void cBatchCommand::fileResult(const QString &fn, bool result, const QString &outPath, const QString &reason)
{
    progress.fileDone(result);
    if (result && !request.quiet)
        output.printLine(QStringLiteral("OK   %1 -> %2").arg(fn, outPath));
    else if (!result)
        output.printLine(QStringLiteral("FAIL %1: %2").arg(fn, reason));
    if (output.outputClosed())
        stop(outputClosedStatus, QStringLiteral("Stopped: standard output closed"));
}

void cBatchCommand::convertFinished()
{
    // A stop has its own summary.
    if (ended)
        return;
    ended = true;
    QCoreApplication::exit(finish());
}

int cBatchCommand::finish()
{
    progressTimer->stop();
    output.eraseProgress();
    const bool failed = progress.failed() > 0;
    if (!request.quiet || failed)
        output.printLine(progress.finishedText());
    if (output.outputClosed())
        return outputClosedStatus;
    return failed ? 1 : 0;
}

void cBatchCommand::signalArrived(int number)
{
    stop(128 + number, QStringLiteral("Stopped by signal %1").arg(number));
}

void cBatchCommand::stop(int status, const QString &why)
{
    if (ended)
        return;
    ended = true;
    qDebug().noquote() << why;
    // Ends the running conversions and removes their unfinished outputs, as
    // closing the window does; nothing is reported after it.
    converter.reset();
    // Files that ended before the stop have their results waiting: they still get their lines.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    progress.finish();
    progressTimer->stop();
    output.eraseProgress();
    output.printLine(progress.stoppedText());
    QCoreApplication::exit(status);
}

void cBatchCommand::updateProgress()
{
    output.showProgress(progress.runningText());
}

// The log as the window keeps it: emptied at start, the same start-up lines,
// every message of the process written by this thread.
void cBatchCommand::setUpLog()
{
    openLogFile(logFile);
    connect(&globalLogMessage(), &cLogMessage::log, this, &cBatchCommand::log, Qt::QueuedConnection);
    startLogging(
        QStringLiteral("%1 %2").arg(QCoreApplication::applicationName(), QCoreApplication::applicationVersion()));
}

void cBatchCommand::tearDownLog()
{
    qInstallMessageHandler(nullptr);
    // The messages still on their way to the file.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    disconnect(&globalLogMessage(), &cLogMessage::log, this, &cBatchCommand::log);
    closeLogFile(logFile);
}

void cBatchCommand::log(QtMsgType type, const QString &msg)
{
    Q_UNUSED(type)
    appendLogLine(logFile, msg);
}
