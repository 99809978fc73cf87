#include "workers/cconversion.h"

#include "workers/debugline.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

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

bool cConversion::FileState::operator==(const FileState &other) const
{
    return exists == other.exists && size == other.size && modified == other.modified && changed == other.changed;
}

cConversion::FileState cConversion::fileState(const QString &path)
{
    const QFileInfo info(path);
    return {info.exists(), info.size(), info.lastModified(), info.metadataChangeTime()};
}

cConversion::cConversion(const QString &source, const QString &outPath, const QStringList &args, const QStringList &log,
                         QObject *parent)
    : QObject(parent), sourcePath(source), outputPath(outPath), arguments(args), lines(log), process(this)
{
    process.setProcessChannelMode(QProcess::MergedChannels);
#ifdef Q_OS_UNIX
    process.setChildProcessModifier([] {
        // In a process group of its own the program does not get the
        // terminal's Ctrl-C, on which it would end early and leave a shortened
        // output that looks finished; the stop request ends it and removes that output.
        ::setpgid(0, 0);
        // With one program per core, programs of the same priority would keep
        // the window (and anything else the machine runs, such as calls on a
        // phone server) waiting for a core for up to 100 ms; in the background
        // they still take every core that is free.
        [[maybe_unused]] const int niceness = ::nice(backgroundNiceness);
    });
#endif
    connect(&process, &QProcess::finished, this, [this](int exitCode, QProcess::ExitStatus status) {
        programEnded(status == QProcess::NormalExit ? exitCode : -1);
    });
    connect(&process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            programEnded(-2);
    });
}

void cConversion::start()
{
    before = fileState(outputPath);
    process.start(converterProgram, arguments);
}

bool cConversion::stop()
{
    if (ended)
        return false;
    ended = true;
    process.kill();
    process.waitForFinished(-1);
    programOutput += process.readAll();
    if (removeUnfinishedOutput())
        lines << debugLine("Conversion stopped, unfinished output removed:", outputPath);
    else
        lines << debugLine("Conversion stopped");
    return true;
}

void cConversion::programEnded(int exitCode)
{
    if (ended)
        return;
    ended = true;
    code = exitCode;
    programOutput += process.readAll();
    lines << debugLine("Exit code:", code);
    if (code != 0) {
        failure = failureReason();
        // A failed run leaves what it wrote so far, which would pass for a
        // finished prompt; only a file the program created or changed goes.
        if (removeUnfinishedOutput())
            lines << debugLine("Conversion failed, unfinished output removed:", outputPath);
    }
    QMetaObject::invokeMethod(this, &cConversion::finished, Qt::QueuedConnection);
}

bool cConversion::removeUnfinishedOutput()
{
    return !(fileState(outputPath) == before) && QFile::remove(outputPath);
}

QString cConversion::failureReason() const
{
    switch (code) {
    case -2:
        return tr("ffmpeg could not be started: it is not installed, or not on PATH");
    case -1:
        return tr("ffmpeg crashed");
    default:
        break;
    }
    if (arguments.value(0) == QLatin1String("-n") && before.exists)
        return tr("The output file exists and \"Skip existing files\" is chosen");
    const QString said = lastErrorLine(programOutput);
    if (said.isEmpty())
        return tr("ffmpeg failed with exit code %1").arg(code);
    return tr("ffmpeg failed with exit code %1: %2").arg(code).arg(said);
}
