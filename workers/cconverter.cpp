#include "workers/cconverter.h"

#include "workers/cbatchoutputs.h"
#include "workers/cconversion.h"
#include "workers/cgrouprun.h"
#include "workers/coutputformat.h"
#include "workers/coutputpath.h"
#include "workers/cresultcheck.h"
#include "workers/ctemporaryoutput.h"
#include "workers/debugline.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

// Longest wait for a running batch when the converter is destroyed.
constexpr int shutdownWaitMs = 5000;

} // namespace

// One source file taken from the queue, with its output and arguments worked
// out from the settings as they were when it was taken.
struct cConverter::Plan
{
    cSource source;
    QString outPath;
    cOutputPath::Slot slot;
    // The ID of the output's format.
    QString format;
    // Whether the output replaces a file of its name ("Overwrite existing files").
    bool replace = false;
    // Whether it does so only when that file is older than the source.
    bool update = false;
    std::optional<cConversionPlan> runs;
    QStringList log;
};

// What one batch knows; used on the converter's thread only.
struct cConverter::Batch
{
    QList<cSource> files;
    qsizetype next = 0;
    int jobs = 1;
    bool grouped = false;
    // The sources of the batch and the outputs written so far.
    cBatchOutputs outputs;
    // The next file, taken from the queue and waiting for its turn.
    std::optional<Plan> planned;
    // Conversions whose program runs, with where the output of each goes.
    QHash<cConversion *, cOutputPath::Slot> running;
    // The output folders cleared of what killed runs left there.
    QSet<QString> cleared;
    // Lives on the converter's thread for the batch: owns the conversions and
    // receives their signals there.
    QObject *context = nullptr;

    bool isDone() const { return running.isEmpty() && !planned && next >= files.size(); }
};

cConverter::cConverter(QObject *parent) : cWorkerThread(parent)
{
    fileSaveType.setValue(1);
    fileNameType.setValue(0);
}

cConverter::~cConverter()
{
    stopRequested = true;
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

void cConverter::setSafeNames(bool safe)
{
    safeNames = safe;
}

void cConverter::setKeepFolders(bool keep)
{
    keepFolders = keep;
}

void cConverter::setChoices(const cConversionPlan::Choices &choices)
{
    fileChoices.setValue(choices);
}

void cConverter::setJobs(int jobs)
{
    jobCount = jobs;
}

int cConverter::jobs() const
{
    const int jobs = jobCount;
    return jobs > 0 ? jobs : std::max(1, QThread::idealThreadCount());
}

void cConverter::setOneFilePerRun(bool one)
{
    oneFilePerRun = one;
}

void cConverter::setForwardOutput(bool forward)
{
    forwardOutput = forward;
}

void cConverter::convertFiles(const QStringList &files)
{
    convertSources(cSource::of(files));
}

// Sources handed over while a batch runs are dropped. A batch that has
// already announced its end is waited for.
void cConverter::convertSources(const QList<cSource> &sources)
{
    if (!readyToStart())
        return;
    batchStopRequested = false;
    const QMutexLocker locker(&queueMutex);
    fileQueue += sources;
    start();
}

// Ending the thread's event loop ends the batch; quit() before the loop runs
// makes it return at once.
void cConverter::stop()
{
    batchStopRequested = true;
    quit();
}

bool cConverter::stopping() const
{
    return stopRequested || batchStopRequested;
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
    batch.grouped = !oneFilePerRun && batch.files.size() > 1;
    for (const cSource &source : std::as_const(batch.files))
        batch.outputs.addSource(source.path);
    QObject context;
    batch.context = &context;

    startMore(batch);
    if (!batch.isDone())
        exec();

    // Stopped early: the programs that still run are ended, and those that
    // ended by themselves in the meantime end as usual (under the destructor
    // without a report).
    const QList<cConversion *> left = batch.running.keys();
    for (cConversion *const conversion : left) {
        if (conversion->stop()) {
            for (const QString &line : conversion->log())
                qDebug().noquote() << line;
        } else {
            fileEnded(batch, conversion);
        }
    }
    if (stopRequested)
        return;
    announceEnd();
    emit convertFinished();
}

void cConverter::startMore(Batch &batch)
{
    cGroupRun *group = nullptr;
    // A file is taken from the queue only when it can start (or may join the
    // group being made), so that settings changed meanwhile apply to it.
    while (!stopping() && (group || runCount(batch) < batch.jobs) && (batch.planned || planNext(batch))) {
        // Two conversions never write one file at the same time: the later
        // one waits for the earlier, and so does every file after it, which
        // keeps the results the same from run to run.
        if (std::find(batch.running.cbegin(), batch.running.cend(), batch.planned->slot) != batch.running.cend())
            break;
        // Small files go into one run together.
        const bool small = batch.grouped && cGroupRun::takes(batch.planned->source.path);
        const bool joins = small && group && group->accepts(*batch.planned->runs);
        if (!joins && group) {
            group->start();
            group = nullptr;
        }
        if (!joins && runCount(batch) >= batch.jobs)
            break;
        cConversion *const conversion = startPlanned(batch);
        if (!conversion)
            continue;
        if (small && !group)
            group = new cGroupRun(batch.context);
        if (small)
            group->add(conversion);
        else
            conversion->start();
    }
    if (group)
        group->start();
    if (batch.isDone() || stopping())
        quit();
}

// The converter programs running: a group's files share one.
int cConverter::runCount(const Batch &batch)
{
    QSet<const QObject *> runs;
    for (auto conversion = batch.running.keyBegin(); conversion != batch.running.keyEnd(); ++conversion)
        runs.insert((*conversion)->groupOf() ? static_cast<const QObject *>((*conversion)->groupOf()) : *conversion);
    return static_cast<int>(runs.size());
}

// Takes files from the batch until one can be planned; a file whose rules are
// invalid is reported on the way. False when no file is left.
bool cConverter::planNext(Batch &batch)
{
    while (batch.next < batch.files.size()) {
        Plan plan;
        plan.source = batch.files.at(batch.next++);
        const QString &fn = plan.source.path;
        if (fn.isEmpty())
            continue;
        plan.log << debugLine("Processing file:", fn);
        const cConversionPlan::Choices choices = fileChoices.value();
        plan.format = cOutputFormat::byId(choices.format).id();

        // Read once: the window may change it meanwhile.
        const std::optional<cExistingRule> existing = existingRuleOf(fileSaveType.value());
        if (!existing) {
            refuse(plan, debugLine("Bad fileSaveType"),
                   cText::of<cConverter>(QT_TR_NOOP("Unknown rule for existing files")));
            continue;
        }
        plan.replace = *existing != cExistingRule::Skip;
        plan.update = *existing == cExistingRule::Update;
        plan.runs.emplace(plan.replace ? QStringLiteral("-y") : QStringLiteral("-n"), fn, choices);

        const std::optional<cNameRule> nameRule = nameRuleOf(fileNameType.value());
        if (!nameRule) {
            refuse(plan, debugLine("Bad fileNameType"),
                   cText::of<cConverter>(QT_TR_NOOP("Unknown rule for output file names")));
            continue;
        }
        const QString name = cOutputPath::fileName(fn, *nameRule, safeNames,
                                                   QLatin1Char('.') + cOutputFormat::byId(choices.format).ending());
        QString folder = outputDir.value();
        if (const QString sub = keepFolders ? cOutputPath::subFolder(plan.source.root, fn) : QString();
            !sub.isEmpty()) {
            QString error;
            folder = cOutputPath::makeFolders(folder, sub, safeNames, error);
            if (folder.isEmpty()) {
                refuse(plan, debugLine("Not converted, the output's folder can't be made:", error),
                       cText::plain(error));
                continue;
            }
        }
        plan.outPath = QDir(folder).absoluteFilePath(name);
        plan.log << debugLine("Out filename:", plan.outPath);
        plan.slot = cOutputPath::Slot::of(plan.outPath);
        batch.planned = std::move(plan);
        return true;
    }
    return false;
}

// Makes the planned file's conversion into a temporary output, to be
// started, unless its output must not be written or can't be.
cConversion *cConverter::startPlanned(Batch &batch)
{
    Plan plan = std::move(*batch.planned);
    batch.planned.reset();

    const QString &fn = plan.source.path;
    if (const std::optional<cBatchOutputs::Refusal> refused = batch.outputs.refusal(fn, plan.outPath)) {
        refuse(plan, refused->logLine, refused->reason);
        return nullptr;
    }
    // One that appears while the program runs is not replaced either.
    if (!plan.replace && QFileInfo::exists(plan.outPath)) {
        refuse(plan,
               debugLine("Not converted, the output file exists and \"Skip existing files\" is chosen:", plan.outPath),
               cConversion::skippedReason(), cFileResult::Outcome::Skipped);
        return nullptr;
    }
    if (plan.update && QFileInfo::exists(plan.outPath) &&
        QFileInfo(plan.outPath).lastModified() >= QFileInfo(fn).lastModified()) {
        refuse(plan,
               debugLine("Not converted, the output file is not older than its source and \"Update changed files\" "
                         "is chosen:",
                         plan.outPath),
               cConversion::upToDateReason(), cFileResult::Outcome::Skipped);
        return nullptr;
    }
    auto output = std::make_unique<cTemporaryOutput>(plan.outPath);
    if (!output->create(&batch.cleared)) {
        const QString folder = QFileInfo(plan.outPath).absolutePath();
        refuse(plan,
               debugLine("Not converted, the output folder can't take a file:", folder) + QLatin1Char(' ') +
                   output->errorString(),
               cText::plain(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(folder), output->errorString())));
        return nullptr;
    }

    auto *const conversion =
        new cConversion(plan.source, std::move(output), plan.replace, *plan.runs, plan.log, batch.context);
    connect(conversion, &cConversion::finished, batch.context, [this, &batch, conversion] {
        fileEnded(batch, conversion);
        startMore(batch);
    });
    batch.running.insert(conversion, plan.slot);
    if (!stopRequested)
        emit fileStarted(plan.source);
    return conversion;
}

// A file's messages reach the log together, and the program's output reaches
// standard error in one piece, so that files running side by side never mix.
void cConverter::fileEnded(Batch &batch, cConversion *conversion)
{
    batch.running.remove(conversion);
    cText warning;
    // Checked again right before the output takes its name: under any
    // spelling, another file may have taken that name while the program ran.
    if (conversion->exitCode() == 0) {
        if (const std::optional<cBatchOutputs::Refusal> refused =
                batch.outputs.refusal(conversion->source().path, conversion->outPath())) {
            conversion->refuse(refused->logLine, refused->reason);
        } else if (conversion->commit()) {
            batch.outputs.written(conversion->outPath(), conversion->source().path);
            warning = cResultCheck::check(conversion->outPath(), conversion->expectedSeconds());
        }
    }
    for (const QString &line : conversion->log())
        qDebug().noquote() << line;
    if (forwardOutput) {
        const QByteArray output = conversion->programOutput();
        std::fwrite(output.constData(), 1, static_cast<size_t>(output.size()), stderr);
        std::fflush(stderr);
    }
    if (!warning.isEmpty())
        qDebug().noquote() << QStringLiteral("Warning:") << warning.sourceText();
    cFileResult::Outcome outcome = conversion->outcome();
    if (outcome == cFileResult::Outcome::Converted && !warning.isEmpty())
        outcome = cFileResult::Outcome::Warned;
    report({conversion->source(), outcome, conversion->outPath(),
            outcome == cFileResult::Outcome::Warned ? warning : conversion->reason(), conversion->format()});
    qDebug() << "File done!";
    conversion->deleteLater();
}

void cConverter::refuse(const Plan &plan, const QString &logLine, const cText &reason, cFileResult::Outcome outcome)
{
    for (const QString &line : plan.log)
        qDebug().noquote() << line;
    qDebug().noquote() << logLine;
    report({plan.source, outcome, plan.outPath, reason, plan.format});
}

void cConverter::report(const cFileResult &result)
{
    if (stopRequested)
        return;
    emit fileFinished(result);
    emit fileProcessed(result.source.path, result.isWritten());
}
