#include "app/cbatchcommand.h"

#include "app/clogmessage.h"
#include "app/csignalwatcher.h"
#include "core/csourcelist.h"
#include "workers/cconversion.h"
#include "workers/cprocessrun.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>

#include <csignal>

namespace {

// The status of a process a closed pipe ended, as a shell reports it.
#ifdef SIGPIPE
constexpr int outputClosedStatus = 128 + SIGPIPE;
#else
constexpr int outputClosedStatus = 141;
#endif

} // namespace

cBatchCommand::cBatchCommand(QObject *parent) : QObject(parent)
{}

cBatchCommand::~cBatchCommand() = default;

int cBatchCommand::run(const QStringList &arguments)
{
    request = cCommandLine::readCommand(arguments);
    switch (request.action) {
    case cCommandLine::Request::Action::Help:
    case cCommandLine::Request::Action::Version:
    case cCommandLine::Request::Action::ListFormats:
    case cCommandLine::Request::Action::ListTargets:
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
    sourceList = new cSourceList(this);
    connect(sourceList, &cSourceList::listed, this, &cBatchCommand::startBatch);
    // Only a stop cancels the listing; nothing was started then.
    connect(sourceList, &cSourceList::cancelled, this, [this] { QCoreApplication::exit(stopStatus.value_or(1)); });
    sourceList->list(request.paths);
    return QCoreApplication::exec();
}

void cBatchCommand::startBatch(const cSourceList::Result &sources)
{
    // What could not be listed is failed: a script must not take a folder it
    // could not read for an empty one.
    // Printed absolute like every other path, also a missing one named relative.
    for (const cSourceList::Failure &failure : sources.failures)
        output.printLine(QStringLiteral("FAIL %1: %2")
                             .arg(QDir::cleanPath(QDir::current().absoluteFilePath(failure.path)), failure.reason));
    if (output.outputClosed()) {
        stop(outputClosedStatus, QStringLiteral("Stopped: standard output closed"));
        return;
    }

    batch = new cBatch(this);
    connect(batch, &cBatch::fileFinished, this, &cBatchCommand::fileFinished);
    connect(batch, &cBatch::finished, this, &cBatchCommand::batchFinished);
    cBatch::Options options = request.options;
    // Each file's reason is on its line and the details are in the log; the
    // converter program's own output would only bury the lines.
    options.forwardOutput = false;
    // Without the converter program, or without the output folder, no file
    // can be converted: said once on standard error, with a line per file so
    // that a mailed report is never empty.
    QString setUpFailure;
    if (!cProcessRun::programFound())
        setUpFailure = cConversion::programMissingReason().toString();
    else if (!batch->start(sources.sources, options, static_cast<int>(sources.failures.size())))
        setUpFailure = tr("cannot make the output folder %1")
                           .arg(QDir::cleanPath(QDir::current().absoluteFilePath(batch->folder())));
    if (!setUpFailure.isEmpty()) {
        cTerminalOutput::printError(QStringLiteral("marrowby: ") + setUpFailure);
        for (const cSource &source : sources.sources)
            output.printLine(QStringLiteral("FAIL %1: %2").arg(source.path, setUpFailure));
        QCoreApplication::exit(cCommandLine::setUpFailedStatus);
        return;
    }
    if (!request.quiet && output.canShowProgress()) {
        connect(batch, &cBatch::progressChanged, this, &cBatchCommand::updateProgress);
        updateProgress();
    }
}

void cBatchCommand::fileFinished(const cFileResult &result)
{
    const QString &source = result.source.path;
    switch (result.outcome) {
    case cFileResult::Outcome::Converted:
        if (!request.quiet)
            output.printLine(QStringLiteral("OK   %1 -> %2")
                                 .arg(source, result.outputs.size() > 1 ? result.outputs.join(QStringLiteral(", "))
                                                                        : result.output));
        break;
    case cFileResult::Outcome::Warned:
        output.printLine(QStringLiteral("WARN %1: %2").arg(source, result.reason.toString()));
        break;
    case cFileResult::Outcome::Skipped:
        if (!request.quiet)
            output.printLine(QStringLiteral("SKIP %1: %2").arg(source, skipReason()));
        break;
    case cFileResult::Outcome::Failed:
        output.printLine(QStringLiteral("FAIL %1: %2").arg(source, result.reason.toString()));
        break;
    }
    if (output.outputClosed())
        stop(outputClosedStatus, QStringLiteral("Stopped: standard output closed"));
}

// A skip in the command line's own words: the window's option names would mean
// nothing here.
QString cBatchCommand::skipReason() const
{
    if (request.options.existingRule == cBatch::ExistingRule::Update)
        return tr("the output file is not older than its source (--update)");
    return tr("the output file exists (--overwrite replaces it, --update replaces it when older than its source)");
}

// The batch has ended, by itself or stopped: the summary, or how far it got.
void cBatchCommand::batchFinished()
{
    output.eraseProgress();
    const cBatchProgress &progress = batch->progress();
    if (stopStatus) {
        output.printLine(progress.stoppedText());
        QCoreApplication::exit(*stopStatus);
        return;
    }
    const bool failed = progress.failed() > 0;
    if (!request.quiet || failed || progress.warned() > 0)
        output.printLine(progress.finishedText());
    if (output.outputClosed())
        QCoreApplication::exit(outputClosedStatus);
    else
        QCoreApplication::exit(failed ? 1 : 0);
}

void cBatchCommand::signalArrived(int number)
{
    stop(128 + number, QStringLiteral("Stopped by signal %1").arg(number));
}

// Ends the running conversions as closing the window does; files that ended
// before still get their lines, then how far the batch got.
void cBatchCommand::stop(int status, const QString &why)
{
    if (stopStatus)
        return;
    stopStatus = status;
    qDebug().noquote() << why;
    if (batch)
        batch->stop();
    else if (sourceList && sourceList->isListing())
        sourceList->cancel();
    else
        QCoreApplication::exit(status);
}

void cBatchCommand::updateProgress()
{
    output.showProgress(batch->progress().runningText());
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
    closeLogFile(logFile, this);
    disconnect(&globalLogMessage(), &cLogMessage::log, this, &cBatchCommand::log);
}

void cBatchCommand::log(QtMsgType type, const QString &msg)
{
    Q_UNUSED(type)
    appendLogLine(logFile, msg);
}
