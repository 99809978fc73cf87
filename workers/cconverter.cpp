#include "workers/cconverter.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

#include <algorithm>
#include <filesystem>
#include <system_error>

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

// How often a running converter program is checked for a stop request.
constexpr int stopPollMs = 100;

// Longest wait for a running batch when the converter is destroyed.
constexpr int shutdownWaitMs = 5000;

// The argument list as "(", each element quoted as the debug stream quotes a
// string, ", " between them, ")".
QString debugList(const QStringList &items)
{
    QStringList quoted;
    for (const QString &item : items) {
        QString text;
        QDebug(&text).nospace() << item;
        quoted << text;
    }
    return QLatin1Char('(') + quoted.join(QStringLiteral(", ")) + QLatin1Char(')');
}

// True when both paths name one existing file, however each is spelled:
// relative, through a symbolic link, with "..", or as a hard link.
bool sameFile(const QString &a, const QString &b)
{
    std::error_code error;
    return std::filesystem::equivalent(QFileInfo(a).filesystemFilePath(), QFileInfo(b).filesystemFilePath(), error);
}

// What a file looks like on disk, to tell whether the converter program touched it.
struct FileState
{
    bool exists = false;
    qint64 size = 0;
    QDateTime modified;

    bool operator==(const FileState &other) const
    {
        return exists == other.exists && size == other.size && modified == other.modified;
    }
};

FileState fileState(const QString &path)
{
    const QFileInfo info(path);
    return {info.exists(), info.size(), info.lastModified()};
}

} // namespace

cConverter::cConverter(QObject *parent) : QThread(parent)
{
    fileSaveType.setValue(1);
    fileNameType.setValue(0);
    forwardOutput.setValue(true);
}

cConverter::~cConverter()
{
    stopRequested.setValue(true);
    if (wait(shutdownWaitMs))
        return;
    qDebug() << "Converter thread did not stop, terminating it";
    terminate();
    // terminate() may return before the thread has stopped; the members must outlive it.
    wait();
}

void cConverter::setOutputDir(const QString &dir)
{
    outputDir.setValue(dir);
}

void cConverter::setFileNameType(int type)
{
    fileNameType.setValue(type);
}

void cConverter::setFileSaveType(int type)
{
    fileSaveType.setValue(type);
}

// Paths handed over while a batch runs are dropped. A batch that has already
// announced its end is waited for: its caller, told the batch is over, would
// otherwise wait for a convertFinished() that never comes.
void cConverter::setJobs(int jobs)
{
    jobCount.setValue(jobs);
}

int cConverter::jobs() const
{
    const int jobs = jobCount.value();
    return jobs > 0 ? jobs : std::max(1, QThread::idealThreadCount());
}

void cConverter::setForwardOutput(bool forward)
{
    forwardOutput.setValue(forward);
}

void cConverter::stop()
{
    batchStopRequested.setValue(true);
}

void cConverter::convertFiles(const QStringList &files)
{
    if (isRunning()) {
        if (!finishing)
            return;
        wait();
    }
    finishing = false;
    const QMutexLocker locker(&queueMutex);
    fileQueue += files;
    start();
}

void cConverter::run()
{
    // Outputs written in this run, by canonical path, with the source each came from.
    QHash<QString, QString> writtenBy;
    qsizetype remaining = 0;
    {
        const QMutexLocker locker(&queueMutex);
        remaining = fileQueue.size();
    }
    while (remaining > 0) {
        // The converter is being destroyed: start no further file and report nothing more.
        if (stopRequested.value())
            return;
        QString fn;
        {
            const QMutexLocker locker(&queueMutex);
            fn = fileQueue.takeFirst();
            remaining = fileQueue.size();
        }
        if (fn.isEmpty())
            continue;
        if (!convertFile(fn, writtenBy))
            return;
    }
    finishing = true;
    emit convertFinished();
}

// Converts one source path and reports it; returns false only when a stop
// request ended the conversion, which is then not reported.
bool cConverter::convertFile(const QString &fn, QHash<QString, QString> &writtenBy)
{
    qDebug() << "Processing file:" << fn;
    QString outPath = QDir(outputDir.value()).absoluteFilePath(QFileInfo(fn).fileName());

    QStringList args;
    switch (fileSaveType.value()) {
    case 0:
        args << QStringLiteral("-y");
        break;
    case 1:
        args << QStringLiteral("-n");
        break;
    default:
        qDebug() << "Bad fileSaveType";
        report(fn, false, QString(), tr("Unknown rule for existing files"));
        return true;
    }
    args << QStringLiteral("-i") << fn << QStringLiteral("-ar") << QStringLiteral("8000") << QStringLiteral("-ac")
         << QStringLiteral("1");

    switch (fileNameType.value()) {
    case 0: {
        // A dot and a run of ASCII letters and digits up to the very end of the
        // name; "\z", unlike "$", does not match before a trailing line break.
        static const QRegularExpression extension(QStringLiteral("\\.[a-zA-Z0-9]+\\z"));
        outPath.replace(extension, QStringLiteral(".wav"));
        break;
    }
    case 1:
        outPath += QStringLiteral(".wav");
        break;
    default:
        qDebug() << "Bad fileNameType";
        report(fn, false, QString(), tr("Unknown rule for output names"));
        return true;
    }
    args << outPath;
    qDebug() << "Out filename:" << outPath;

    // The program would truncate its own source when the two paths are spelled differently.
    if (sameFile(fn, outPath)) {
        qDebug() << "Not converted, the output file is the source file itself:" << outPath;
        report(fn, false, outPath, tr("Not converted: the output file would be the source file itself"));
        return true;
    }
    // A second source must not silently replace what an earlier one of this batch wrote.
    const QString outKey = QFileInfo(outPath).canonicalFilePath();
    const auto earlier = writtenBy.constFind(outKey);
    if (!outKey.isEmpty() && earlier != writtenBy.cend() && *earlier != fn && !sameFile(*earlier, fn)) {
        qDebug() << "Not converted, the output file was already written in this batch from:" << *earlier;
        report(fn, false, outPath, tr("Not converted: the output file was already written in this batch from %1").arg(*earlier));
        return true;
    }

    qDebug().noquote() << "Running ffmpeg with args:" << debugList(args);
    emit fileStarted(fn);
    const std::optional<int> exitCode = runConverter(args, outPath);
    if (!exitCode)
        return false;
    qDebug() << "Exit code:" << *exitCode;
    if (*exitCode == 0) {
        const QString written = QFileInfo(outPath).canonicalFilePath();
        if (!written.isEmpty())
            writtenBy.insert(written, fn);
    }
    report(fn, *exitCode == 0, outPath, *exitCode == 0 ? QString() : tr("ffmpeg failed with exit code %1").arg(*exitCode));
    qDebug() << "File done!";
    return true;
}

// Runs the converter program as QProcess::execute does (output forwarded; -2
// when it can't start, -1 when it crashed, else its exit code), but in a
// process of our own, so that a stop request can end it. A stopped run returns
// nothing and removes the output the program had begun to write, so that no
// half-written file looks finished to a later run that skips existing files.
std::optional<int> cConverter::runConverter(const QStringList &args, const QString &outPath)
{
    const FileState before = fileState(outPath);
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
#ifdef Q_OS_UNIX
    // In a process group of its own the program does not get the terminal's
    // Ctrl-C, on which it would end early and leave a shortened output that
    // looks finished; the stop request ends it and removes that output.
    process.setChildProcessModifier([] { ::setpgid(0, 0); });
#endif
    process.start(converterProgram, args);
    if (!process.waitForStarted(-1))
        return -2;
    while (!process.waitForFinished(stopPollMs) && process.state() != QProcess::NotRunning) {
        if (!stopRequested.value())
            continue;
        process.kill();
        process.waitForFinished(-1);
        // Only a file the program created or changed is its own work; one that
        // it left alone (as "-n" does) stays.
        if (!(fileState(outPath) == before) && QFile::remove(outPath))
            qDebug() << "Conversion stopped, unfinished output removed:" << outPath;
        else
            qDebug() << "Conversion stopped";
        return std::nullopt;
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

void cConverter::report(const QString &fn, bool result, const QString &outPath, const QString &reason)
{
    emit fileResult(fn, result, outPath, reason);
    emit fileProcessed(fn, result);
}
