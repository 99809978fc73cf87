#include "workers/cconverter.h"

#include "workers/cconversion.h"
#include "workers/debugline.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <system_error>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

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

// What tells an existing file apart from every other, however its path is
// spelled (hard links included); empty for a path that names no file.
QString fileIdentity(const QString &path)
{
#ifdef Q_OS_UNIX
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return QString();
    return QStringLiteral("%1:%2").arg(info.st_dev).arg(info.st_ino);
#else
    return QFileInfo(path).canonicalFilePath();
#endif
}

// The output path with its folder spelled one way, to tell whether two
// conversions would write the same file before either of them has written it.
QString outputKey(const QString &outPath)
{
    const QFileInfo info(outPath);
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? info.absoluteFilePath() : folder + QLatin1Char('/') + info.fileName();
}

} // namespace

// One source file taken from the queue, with its output and arguments worked
// out from the settings as they were when it was taken.
struct cConverter::Plan
{
    QString fn;
    QString outPath;
    QString outKey;
    QStringList args;
    QStringList log;
};

// What one batch knows; used on the converter's thread only.
struct cConverter::Batch
{
    QStringList files;
    qsizetype next = 0;
    int jobs = 1;
    // The identity of every source of the batch, with the first path that has it.
    QHash<QString, QString> sources;
    // Outputs written in this batch, by canonical path, with the source each came from.
    QHash<QString, QString> writtenBy;
    // The next file, taken from the queue and waiting for its turn.
    std::optional<Plan> planned;
    // Conversions whose program runs, with the key of the output each writes.
    QHash<cConversion *, QString> running;
    // Lives on the converter's thread for the batch: owns the conversions and
    // receives their signals there.
    QObject *context = nullptr;

    bool isDone() const { return running.isEmpty() && !planned && next >= files.size(); }
};

cConverter::cConverter(QObject *parent) : QThread(parent)
{
    fileSaveType.setValue(1);
    fileNameType.setValue(0);
    forwardOutput.setValue(true);
}

cConverter::~cConverter()
{
    stopRequested.setValue(true);
    quit();
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

// Paths handed over while a batch runs are dropped. A batch that has already
// announced its end is waited for: its caller, told the batch is over, would
// otherwise wait for a convertFinished() that never comes.
void cConverter::convertFiles(const QStringList &files)
{
    if (isRunning()) {
        if (!finishing)
            return;
        wait();
    }
    finishing = false;
    batchStopRequested.setValue(false);
    const QMutexLocker locker(&queueMutex);
    fileQueue += files;
    start();
}

// Ending the thread's event loop ends the batch; quit() before the loop runs
// makes it return at once.
void cConverter::stop()
{
    batchStopRequested.setValue(true);
    quit();
}

bool cConverter::stopping() const
{
    return stopRequested.value() || batchStopRequested.value();
}

// The thread starts up to jobs() conversions and then waits in its event loop
// for them to end, starting the next file as each one ends.
void cConverter::run()
{
    Batch batch;
    {
        const QMutexLocker locker(&queueMutex);
        batch.files.swap(fileQueue);
    }
    batch.jobs = jobs();
    for (const QString &fn : std::as_const(batch.files)) {
        const QString identity = fileIdentity(fn);
        if (!identity.isEmpty() && !batch.sources.contains(identity))
            batch.sources.insert(identity, fn);
    }
    QObject context;
    batch.context = &context;

    startMore(batch);
    if (!batch.isDone())
        exec();

    // Stopped early: the programs that still run are ended, and those that
    // ended by themselves in the meantime are reported as usual.
    const QList<cConversion *> left = batch.running.keys();
    for (cConversion *const conversion : left) {
        if (conversion->stop()) {
            for (const QString &line : conversion->log())
                qDebug().noquote() << line;
        } else {
            fileEnded(batch, conversion);
        }
    }
    // The converter is being destroyed: nothing more is reported.
    if (stopRequested.value())
        return;
    finishing = true;
    emit convertFinished();
}

void cConverter::startMore(Batch &batch)
{
    while (!stopping() && batch.running.size() < batch.jobs && (batch.planned || planNext(batch))) {
        // Two conversions never write one file at the same time: the later
        // one waits for the earlier, and so does every file after it, which
        // keeps the results the same from run to run.
        if (std::find(batch.running.cbegin(), batch.running.cend(), batch.planned->outKey) != batch.running.cend())
            break;
        startPlanned(batch);
    }
    if (batch.isDone() || stopping())
        quit();
}

// Takes files from the batch until one can be planned; a file whose rules are
// invalid is reported on the way. False when no file is left.
bool cConverter::planNext(Batch &batch)
{
    while (batch.next < batch.files.size()) {
        Plan plan;
        plan.fn = batch.files.at(batch.next++);
        if (plan.fn.isEmpty())
            continue;
        plan.log << debugLine("Processing file:", plan.fn);
        plan.outPath = QDir(outputDir.value()).absoluteFilePath(QFileInfo(plan.fn).fileName());

        switch (fileSaveType.value()) {
        case 0:
            plan.args << QStringLiteral("-y");
            break;
        case 1:
            plan.args << QStringLiteral("-n");
            break;
        default:
            refuse(plan, debugLine("Bad fileSaveType"), tr("Unknown rule for existing files"));
            continue;
        }
        plan.args << QStringLiteral("-i") << plan.fn << QStringLiteral("-ar") << QStringLiteral("8000")
                  << QStringLiteral("-ac") << QStringLiteral("1");

        switch (fileNameType.value()) {
        case 0: {
            // A dot and a run of ASCII letters and digits up to the very end of the
            // name; "\z", unlike "$", does not match before a trailing line break.
            static const QRegularExpression extension(QStringLiteral("\\.[a-zA-Z0-9]+\\z"));
            plan.outPath.replace(extension, QStringLiteral(".wav"));
            break;
        }
        case 1:
            plan.outPath += QStringLiteral(".wav");
            break;
        default:
            refuse(plan, debugLine("Bad fileNameType"), tr("Unknown rule for output file names"));
            continue;
        }
        plan.args << plan.outPath;
        plan.log << debugLine("Out filename:", plan.outPath);
        plan.outKey = outputKey(plan.outPath);
        batch.planned = std::move(plan);
        return true;
    }
    return false;
}

// Starts the planned file's conversion, unless its output would destroy a
// source or replace what another source of this batch has written.
void cConverter::startPlanned(Batch &batch)
{
    Plan plan = std::move(*batch.planned);
    batch.planned.reset();

    // The program would truncate its own source when the two paths are spelled differently.
    if (sameFile(plan.fn, plan.outPath)) {
        refuse(plan, debugLine("Not converted, the output file is the source file itself:", plan.outPath),
               tr("Not converted: the output file would be the source file itself"));
        return;
    }
    const QString outIdentity = fileIdentity(plan.outPath);
    if (!outIdentity.isEmpty() && batch.sources.contains(outIdentity)) {
        refuse(plan, debugLine("Not converted, the output file is another source of this batch:", plan.outPath),
               tr("Not converted: the output file %1 is another source of this batch").arg(plan.outPath));
        return;
    }
    const QString outCanonical = QFileInfo(plan.outPath).canonicalFilePath();
    const auto earlier = batch.writtenBy.constFind(outCanonical);
    if (!outCanonical.isEmpty() && earlier != batch.writtenBy.cend() && *earlier != plan.fn &&
        !sameFile(*earlier, plan.fn)) {
        refuse(plan, debugLine("Not converted, the output file was already written in this batch from:", *earlier),
               tr("Not converted: the output file was already written in this batch from %1").arg(*earlier));
        return;
    }

    plan.log << debugLine("Running ffmpeg with args:") + QLatin1Char(' ') + debugList(plan.args);
    auto *const conversion = new cConversion(plan.fn, plan.outPath, plan.args, plan.log, batch.context);
    connect(conversion, &cConversion::finished, batch.context, [this, &batch, conversion] {
        fileEnded(batch, conversion);
        startMore(batch);
    });
    batch.running.insert(conversion, plan.outKey);
    if (!stopRequested.value())
        emit fileStarted(plan.fn);
    conversion->start();
}

// A file's messages reach the log together, and the program's output reaches
// standard error in one piece, so that files running side by side never mix.
void cConverter::fileEnded(Batch &batch, cConversion *conversion)
{
    batch.running.remove(conversion);
    for (const QString &line : conversion->log())
        qDebug().noquote() << line;
    if (forwardOutput.value()) {
        const QByteArray output = conversion->output();
        std::fwrite(output.constData(), 1, static_cast<size_t>(output.size()), stderr);
        std::fflush(stderr);
    }
    const bool converted = conversion->exitCode() == 0;
    if (converted) {
        const QString written = QFileInfo(conversion->outPath()).canonicalFilePath();
        if (!written.isEmpty())
            batch.writtenBy.insert(written, conversion->source());
    }
    report(conversion->source(), converted, conversion->outPath(), conversion->reason());
    qDebug() << "File done!";
    conversion->deleteLater();
}

void cConverter::refuse(const Plan &plan, const QString &logLine, const QString &reason)
{
    for (const QString &line : plan.log)
        qDebug().noquote() << line;
    qDebug().noquote() << logLine;
    report(plan.fn, false, plan.outPath, reason);
}

void cConverter::report(const QString &fn, bool result, const QString &outPath, const QString &reason)
{
    if (stopRequested.value())
        return;
    emit fileResult(fn, result, outPath, reason);
    emit fileProcessed(fn, result);
}
