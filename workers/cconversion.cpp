#include "workers/cconversion.h"

#include "workers/cgrouprun.h"
#include "workers/cprocessgroups.h"
#include "workers/cprocessguard.h"
#include "workers/cresultcheck.h"
#include "workers/ctemporaryoutput.h"
#include "workers/debugline.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

// The converter program, found through PATH.
#ifdef Q_OS_WIN
const QString converterProgram = QStringLiteral("ffmpeg.exe");
#else
const QString converterProgram = QStringLiteral("ffmpeg");
#endif

// The converter program's last line that says what went wrong: not its
// progress and statistics, not the indented stream details, not the closing
// "Conversion failed!", and without the "[mp3 @ 0x55d0…]" that names the part
// of the program that spoke.
QString lastErrorLine(const QByteArray &output)
{
    static const QRegularExpression lineBreaks(QStringLiteral("[\r\n]+"));
    static const QRegularExpression speaker(QStringLiteral("^\\[[^\\]]* @ 0x[0-9a-fA-F]+\\] "));
    static const QRegularExpression notAReason(
        QStringLiteral("^(\\s|size=|frame=|video:|Conversion failed!|Exiting normally|Press \\[q\\])"));
    const QStringList outputLines = QString::fromUtf8(output).split(lineBreaks, Qt::SkipEmptyParts);
    for (auto line = outputLines.crbegin(); line != outputLines.crend(); ++line) {
        if (!line->contains(notAReason) && !line->trimmed().isEmpty())
            return QString(*line).remove(speaker).trimmed();
    }
    return QString();
}

#ifdef Q_OS_UNIX
// How much lower than Marrowby's own the converter programs' priority is.
constexpr int backgroundNiceness = 10;
#endif

} // namespace

cConversion::cConversion(const cSource &source, std::unique_ptr<cTemporaryOutput> output, bool replace,
                         const cConversionPlan &plan, const QStringList &log, QObject *parent)
    : QObject(parent), sourceFile(source), temporary(std::move(output)), replaceExisting(replace), plan(plan),
      lines(log), process(this)
{
    prepareProcess(process);
    connect(&process, &QProcess::finished, this, [this](int exitCode, QProcess::ExitStatus status) {
        programEnded(status == QProcess::NormalExit ? exitCode : -1);
    });
    connect(&process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        startError = process.errorString();
        programEnded(-2);
    });
}

cConversion::~cConversion() = default;

void cConversion::prepareProcess(QProcess &process)
{
    process.setProcessChannelMode(QProcess::MergedChannels);
#ifdef Q_OS_UNIX
    cProcessGuard::start();
    process.setChildProcessModifier([parent = ::getpid()] {
        cProcessGroups::resetInChild();
        // Ends with Marrowby, however Marrowby ends, and so does its group.
        cProcessGuard::endWithParent(parent);
        // In a process group of its own the program does not get the
        // terminal's Ctrl-C, on which it would end early and leave a shortened
        // output that looks finished; the stop request ends its whole group.
        ::setpgid(0, 0);
        cProcessGuard::guardGroupInChild();
        // With one program per core, programs of the same priority would keep
        // the window (and anything else the machine runs, such as calls on a
        // phone server) waiting for a core for up to 100 ms; in the background
        // they still take every core that is free.
        [[maybe_unused]] const int niceness = ::nice(backgroundNiceness);
    });
#endif
}

qint64 cConversion::enterGroup(QProcess &process)
{
#ifdef Q_OS_UNIX
    // Set from this side too, so that the group exists before a stop can come.
    if (const qint64 pid = process.processId(); pid > 0) {
        ::setpgid(static_cast<pid_t>(pid), static_cast<pid_t>(pid));
        cProcessGroups::add(pid);
        return pid;
    }
#else
    Q_UNUSED(process);
#endif
    return 0;
}

QString cConversion::outPath() const
{
    return temporary->outPath();
}

QString cConversion::program()
{
    return converterProgram;
}

std::optional<double> cConversion::expectedSeconds() const
{
    if (plan.trims())
        return std::nullopt;
    return cResultCheck::declaredSeconds(groupListing.isNull() ? output : groupListing);
}

bool cConversion::programFound()
{
    return !QStandardPaths::findExecutable(converterProgram).isEmpty();
}

cText cConversion::programMissingReason()
{
    return cText::of<cConversion>(QT_TR_NOOP("ffmpeg could not be started: it is not installed, or not on PATH"));
}

QString cConversion::temporaryPath() const
{
    return temporary->path();
}

bool cConversion::hasOutput() const
{
    return QFileInfo(temporary->path()).isFile();
}

void cConversion::groupEnded(const QString &commandLine, const QByteArray &programOutput, const QByteArray &listing)
{
    lines << commandLine;
    output = programOutput;
    groupListing = listing;
    programEnded(0);
}

bool cConversion::groupMeasured(const QString &commandLine, const QByteArray &output)
{
    lines << commandLine << debugLine("Exit code:", 0);
    lines << plan.measured(output);
    return !plan.measuresNext();
}

void cConversion::startAlone()
{
    if (ended)
        return;
    // What the group's run left of this file must not be taken for its own.
    temporary->discard();
    if (!temporary->create()) {
        ended = true;
        code = -2;
        failure = cText::plain(temporary->errorString());
        lines << QStringLiteral("Reason: ") + failure.sourceText();
        QMetaObject::invokeMethod(this, &cConversion::finished, Qt::QueuedConnection);
        return;
    }
    start();
}

void cConversion::start()
{
    // A stop may come between a measuring run and the next.
    if (ended)
        return;
    QStringList args = plan.nextArgs();
    measuring = plan.measuresNext();
    if (measuring) {
        lines << debugLine("Measuring loudness with args:") + QLatin1Char(' ') + debugList(args);
    } else {
        args << temporary->path();
        lines << debugLine("Running ffmpeg with args:") + QLatin1Char(' ') + debugList(args);
    }
    runStart = output.size();
    process.start(converterProgram, args);
    if (!ended)
        group = enterGroup(process);
}

bool cConversion::stop()
{
    if (ended)
        return false;
    ended = true;
    if (groupRun)
        groupRun->stop();
    // A wrapper script's children are in its group and end with it.
    cProcessGroups::kill(group);
    process.kill();
    process.waitForFinished(-1);
    cProcessGroups::remove(group);
    if (process.isOpen())
        output += process.readAll();
    const QString partial = temporary->path();
    if (temporary->discard())
        lines << debugLine("Conversion stopped, unfinished output removed:", partial);
    else
        lines << debugLine("Conversion stopped");
    return true;
}

bool cConversion::commit()
{
    switch (temporary->commit(replaceExisting)) {
    case cTemporaryOutput::Commit::Written:
        ending = cFileResult::Outcome::Converted;
        break;
    case cTemporaryOutput::Commit::Exists:
        ending = cFileResult::Outcome::Skipped;
        refuse(debugLine("Not written, the output file appeared meanwhile and \"Skip existing files\" is chosen:",
                         outPath()),
               skippedReason());
        break;
    case cTemporaryOutput::Commit::Failed:
        refuse(
            debugLine("Not written:", outPath()) + QLatin1Char(' ') + temporary->errorString(),
            cText::of<cConversion>(QT_TR_NOOP("The output file could not be written: %1"), {temporary->errorString()}));
        break;
    }
    return ending == cFileResult::Outcome::Converted;
}

void cConversion::refuse(const QString &logLine, const cText &reason)
{
    temporary->discard();
    lines << logLine;
    failure = reason;
}

cText cConversion::skippedReason()
{
    return cText::of<cConversion>(QT_TR_NOOP("The output file exists and \"Skip existing files\" is chosen"));
}

cText cConversion::upToDateReason()
{
    return cText::of<cConversion>(
        QT_TR_NOOP("The output file is not older than its source and \"Update changed files\" is chosen"));
}

void cConversion::programEnded(int exitCode)
{
    if (ended)
        return;
    cProcessGroups::remove(group);
    group = 0;
    // Never started when a group's run converted the file.
    if (process.isOpen())
        output += process.readAll();
    if (measuring && exitCode == 0) {
        lines << debugLine("Exit code:", exitCode);
        lines << plan.measured(output.mid(runStart));
        // Started from the event loop, once this run's process is wholly done with.
        QMetaObject::invokeMethod(this, &cConversion::start, Qt::QueuedConnection);
        return;
    }
    ended = true;
    code = exitCode;
    lines << debugLine("Exit code:", code);
    if (code != 0) {
        failure = failureReason();
        lines << QStringLiteral("Reason: ") + failure.sourceText();
        // What a failed run wrote so far would pass for a finished prompt.
        const QString partial = temporary->path();
        if (temporary->discard())
            lines << debugLine("Conversion failed, unfinished output removed:", partial);
    }
    QMetaObject::invokeMethod(this, &cConversion::finished, Qt::QueuedConnection);
}

cText cConversion::failureReason() const
{
    switch (code) {
    case -2:
        // Not found: said in words of ours; any other cause (too many open
        // files, say) in the system's own.
        if (!programFound())
            return programMissingReason();
        return cText::of<cConversion>(QT_TR_NOOP("ffmpeg could not be started: %1"), {startError});
    case -1:
        return cText::of<cConversion>(QT_TR_NOOP("ffmpeg crashed"));
    default:
        break;
    }
    const QString said = lastErrorLine(output);
    if (said.isEmpty())
        return cText::of<cConversion>(QT_TR_NOOP("ffmpeg failed with exit code %1"), {QString::number(code)});
    return cText::of<cConversion>(QT_TR_NOOP("ffmpeg failed with exit code %1: %2"), {QString::number(code), said});
}
