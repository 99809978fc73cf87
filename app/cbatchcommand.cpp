#include "app/cbatchcommand.h"

#include "app/ccommandline.h"
#include "app/clogmessage.h"
#include "core/csourcelist.h"
#include "workers/cconverter.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QMetaType>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstdio>
#include <iterator>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <csignal>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace {

// How often the progress line on a terminal is brought up to date.
constexpr int progressIntervalMs = 250;

// Moves to the start of the terminal's line and clears it.
const QString eraseLine = QStringLiteral("\r\x1b[K");

bool isTerminal(FILE *stream)
{
#ifdef Q_OS_WIN
    return _isatty(_fileno(stream)) != 0;
#else
    return ::isatty(::fileno(stream)) == 1;
#endif
}

// The width of the terminal on standard error; 0 when unknown.
int terminalColumns()
{
#ifdef Q_OS_UNIX
    winsize size{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0)
        return size.ws_col;
#endif
    return 0;
}

void print(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

// A control character in a name (a line break, a terminal's escape sequence)
// would break the one line per file or act on the terminal: it is shown
// escaped, as "\n" or "\x1b".
QString printable(const QString &text)
{
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        if (c.category() != QChar::Other_Control)
            shown += c;
        else if (c == QLatin1Char('\n'))
            shown += QStringLiteral("\\n");
        else if (c == QLatin1Char('\r'))
            shown += QStringLiteral("\\r");
        else if (c == QLatin1Char('\t'))
            shown += QStringLiteral("\\t");
        else
            shown += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
    }
    return shown;
}

#ifdef Q_OS_UNIX
// The signals that stop a batch; the exit status is 128 plus the signal's
// number, as a shell reports a process such a signal ended.
constexpr int stopSignals[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction actionsBefore[std::size(stopSignals)];

// The handler writes the signal's number into one end, the event loop reads
// it from the other: a handler may make async-signal-safe calls only.
int signalFds[2] = {-1, -1};

void stopSignalHandler(int signal)
{
    const int savedErrno = errno;
    const char number = static_cast<char>(signal);
    // When the socket is full, a stop is already on its way.
    [[maybe_unused]] const ssize_t written = ::write(signalFds[0], &number, 1);
    errno = savedErrno;
}

// The end to read the signals from; -1 when none could be made.
int catchStopSignals()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, signalFds) != 0) {
        qDebug() << "Signals not caught, no socket pair:" << errno;
        return -1;
    }
    struct sigaction action = {};
    action.sa_handler = stopSignalHandler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(stopSignals); ++i)
        ::sigaction(stopSignals[i], &action, &actionsBefore[i]);
    return signalFds[1];
}

void releaseStopSignals()
{
    if (signalFds[0] < 0)
        return;
    for (std::size_t i = 0; i < std::size(stopSignals); ++i)
        ::sigaction(stopSignals[i], &actionsBefore[i], nullptr);
    ::close(signalFds[0]);
    ::close(signalFds[1]);
    signalFds[0] = signalFds[1] = -1;
}
#else
int catchStopSignals()
{
    return -1;
}

void releaseStopSignals()
{}
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
    if (const std::optional<int> status = readArguments(arguments))
        return *status;
    // Only a run that converts empties the log; asking for help leaves it be.
    setUpLog();
    const int signalFd = catchStopSignals();
    if (signalFd >= 0) {
        signalNotifier = new QSocketNotifier(signalFd, QSocketNotifier::Read, this);
        connect(signalNotifier, &QSocketNotifier::activated, this, &cBatchCommand::signalArrived);
    }
    const int status = convert();
    if (signalNotifier)
        signalNotifier->setEnabled(false);
    releaseStopSignals();
    tearDownLog();
    return status;
}

std::optional<int> cBatchCommand::readArguments(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        tr("Converts sound files into 8 kHz mono 16-bit WAV files, the format phone systems want for voice prompts.\n"
           "With --convert it converts the files and folders named without a window; without it, the window opens "
           "with them listed."));
    const QCommandLineOption convertOption(QStringLiteral("convert"), tr("Convert without a window."));
    const QCommandLineOption outputOption({QStringLiteral("o"), QStringLiteral("output")},
                                          tr("Write the WAV files into <dir>, made if missing (default: the "
                                             "current folder)."),
                                          tr("dir"));
    const QCommandLineOption appendOption(QStringLiteral("append-wav"),
                                          tr("Append .wav to the file names (hello.mp3 becomes hello.mp3.wav) "
                                             "instead of setting the extension to .wav."));
    const QCommandLineOption overwriteOption(QStringLiteral("overwrite"),
                                             tr("Overwrite existing WAV files (default: skip them; a skipped file "
                                                "counts as failed)."));
    const QCommandLineOption jobsOption({QStringLiteral("j"), QStringLiteral("jobs")},
                                        tr("Run up to <n> conversions at once (default: one per processor)."), tr("n"));
    const QCommandLineOption quietOption({QStringLiteral("q"), QStringLiteral("quiet")},
                                         tr("Print only the files that failed and then the summary; nothing when "
                                            "every file was converted."));
    parser.addOptions({convertOption, outputOption, appendOption, overwriteOption, jobsOption, quietOption});
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    parser.addPositionalArgument(tr("FILE|FOLDER"),
                                 tr("Sound files, and folders whose sound files are converted, sub-folders included."),
                                 tr("FILE|FOLDER..."));

    if (!parser.parse(arguments)) {
        cCommandLine::badUsage(parser.errorText());
        return cCommandLine::badUsageStatus;
    }
    if (parser.isSet(helpOption) || parser.isSet(QStringLiteral("help-all"))) {
        print(stdout, parser.helpText());
        return 0;
    }
    if (parser.isSet(versionOption)) {
        print(stdout, QStringLiteral("%1 %2\n").arg(QCoreApplication::applicationName(),
                                                    QCoreApplication::applicationVersion()));
        return 0;
    }
    if (parser.isSet(jobsOption)) {
        bool isNumber = false;
        jobs = parser.value(jobsOption).toInt(&isNumber);
        if (!isNumber || jobs < 1) {
            cCommandLine::badUsage(
                tr("Invalid value for --jobs: '%1' (a whole number from 1 on).").arg(parser.value(jobsOption)));
            return cCommandLine::badUsageStatus;
        }
    }
    namedPaths = parser.positionalArguments();
    if (namedPaths.isEmpty()) {
        cCommandLine::badUsage(tr("No file or folder given."));
        return cCommandLine::badUsageStatus;
    }
    const QString dir = parser.value(outputOption);
    outputDir = QDir::cleanPath(QDir::current().absoluteFilePath(dir.isEmpty() ? QStringLiteral(".") : dir));
    fileNameType = parser.isSet(appendOption) ? 1 : 0;
    fileSaveType = parser.isSet(overwriteOption) ? 0 : 1;
    quiet = parser.isSet(quietOption);
    return std::nullopt;
}

int cBatchCommand::convert()
{
    if (!QDir().mkpath(outputDir)) {
        qDebug() << "Output folder can't be made:" << outputDir;
        print(stderr, printable(tr("marrowby: cannot make the output folder %1").arg(outputDir)) + QLatin1Char('\n'));
        return 1;
    }

    const cSourceList::Result sources = cSourceList::collect(namedPaths);
    progress.start(static_cast<int>(sources.files.size() + sources.missing.size()));
    for (const QString &path : sources.missing) {
        progress.fileDone(false);
        printLine(QStringLiteral("FAIL %1: %2").arg(path, tr("No such file or folder")));
    }
    if (sources.files.isEmpty())
        return finish();

    converter = std::make_unique<cConverter>();
    converter->setOutputDir(outputDir);
    converter->setFileNameType(fileNameType);
    converter->setFileSaveType(fileSaveType);
    converter->setJobs(jobs);
    // Each file's reason is on its line and the details are in the log; the
    // converter program's own output would only bury the lines.
    converter->setForwardOutput(false);
    connect(converter.get(), &cConverter::fileResult, this, &cBatchCommand::fileResult);
    connect(converter.get(), &cConverter::convertFinished, this, &cBatchCommand::convertFinished);
    converter->convertFiles(sources.files);

    if (!quiet && isTerminal(stderr)) {
        updateProgress();
        progressTimer->start();
    }
    const int status = QCoreApplication::exec();
    converter.reset();
    return status;
}

void cBatchCommand::fileResult(const QString &fn, bool result, const QString &outPath, const QString &reason)
{
    progress.fileDone(result);
    if (result && !quiet)
        printLine(QStringLiteral("OK   %1 -> %2").arg(fn, outPath));
    else if (!result)
        printLine(QStringLiteral("FAIL %1: %2").arg(fn, reason));
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
    eraseProgress();
    const bool failed = progress.failed() > 0;
    if (!quiet || failed)
        printLine(progress.finishedText());
    return failed ? 1 : 0;
}

void cBatchCommand::signalArrived()
{
#ifdef Q_OS_UNIX
    char number = 0;
    while (::read(signalNotifier->socket(), &number, 1) == 1)
        stopBySignal(number);
#endif
}

void cBatchCommand::stopBySignal(int number)
{
    if (ended)
        return;
    ended = true;
    qDebug() << "Stopped by signal" << number;
    // Ends the running conversions and removes their unfinished outputs, as
    // closing the window does; nothing is reported after it.
    converter.reset();
    // Files that ended before the stop have their results waiting: they still get their lines.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    progress.finish();
    eraseProgress();
    printLine(progress.stoppedText());
    QCoreApplication::exit(128 + number);
}

void cBatchCommand::updateProgress()
{
    progressText = progress.runningText();
    drawProgress();
}

void cBatchCommand::drawProgress()
{
    if (progressText.isEmpty())
        return;
    // A line longer than the terminal would wrap, and the carriage return
    // would then redraw only its last part.
    QString text = progressText;
    const int columns = terminalColumns();
    if (columns > 1 && text.size() >= columns)
        text.truncate(columns - 1);
    print(stderr, QLatin1Char('\r') + text + QStringLiteral("\x1b[K"));
}

void cBatchCommand::eraseProgress()
{
    if (progressText.isEmpty())
        return;
    progressTimer->stop();
    progressText.clear();
    print(stderr, eraseLine);
}

void cBatchCommand::printLine(const QString &line)
{
    // On a terminal the line goes above the progress line, which is drawn again below it.
    const bool aboveProgress = !progressText.isEmpty() && isTerminal(stdout);
    if (aboveProgress)
        print(stderr, eraseLine);
    print(stdout, printable(line) + QLatin1Char('\n'));
    if (aboveProgress)
        drawProgress();
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
