#include "workers/cconverter.h"

#include "workers/cbatchoutputs.h"
#include "workers/cconversion.h"
#include "workers/cfileplan.h"
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
    std::optional<cFilePlan> planned;
    // Conversions whose program runs, with where their outputs go and the
    // target that reads them.
    struct Running
    {
        QList<cOutputPath::Slot> outputSlots;
        const cTarget *target;
    };
    QHash<cConversion *, Running> running;

    // Whether an output of the planned file goes where a running conversion writes.
    bool plannedWaits() const
    {
        for (const Running &run : running) {
            for (const cFilePlan::Output &output : planned->outputs()) {
                if (run.outputSlots.contains(output.slot))
                    return true;
            }
        }
        return false;
    }
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

void cConverter::setTarget(const QString &target, const QString &language)
{
    fileTarget.setValue(target);
    fileLanguage.setValue(language);
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
        if (batch.plannedWaits())
            break;
        // Small files go into one run together.
        const bool small = batch.grouped && cGroupRun::takes(batch.planned->source().path);
        const bool joins = small && group && group->accepts(batch.planned->runs());
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
        const cSource &source = batch.files.at(batch.next++);
        if (source.path.isEmpty())
            continue;
        // Each setting is read once for the file: the window may change it meanwhile.
        cFilePlan plan(source, {outputDir.value(), fileNameType.value(), fileSaveType.value(), safeNames, keepFolders,
                                fileChoices.value(), fileTarget.value(), fileLanguage.value()});
        if (plan.refusal()) {
            refuse(plan);
            continue;
        }
        batch.planned.emplace(std::move(plan));
        return true;
    }
    return false;
}

// Makes the planned file's conversion into temporary outputs, to be
// started, unless its outputs must not be written or can't be.
cConversion *cConverter::startPlanned(Batch &batch)
{
    cFilePlan plan = std::move(*batch.planned);
    batch.planned.reset();

    plan.checkBeforeRun(batch.outputs);
    if (plan.refusal()) {
        refuse(plan);
        return nullptr;
    }
    cConversion::Outputs outputs;
    QList<cOutputPath::Slot> outputSlots;
    for (const cFilePlan::Output &planned : plan.outputs()) {
        auto output = std::make_unique<cTemporaryOutput>(planned.path);
        if (!output->create(&batch.cleared)) {
            const QString folder = QFileInfo(planned.path).absolutePath();
            refuse(plan, cFilePlan::Refusal{debugLine("Not converted, the output folder can't take a file:", folder) +
                                                QLatin1Char(' ') + output->errorString(),
                                            cText::plain(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(folder),
                                                                                      output->errorString()))});
            return nullptr;
        }
        outputs.push_back(std::move(output));
        outputSlots << planned.slot;
    }

    auto *const conversion =
        new cConversion(plan.source(), std::move(outputs), plan.replaces(), plan.runs(), plan.log(), batch.context);
    connect(conversion, &cConversion::finished, batch.context, [this, &batch, conversion] {
        fileEnded(batch, conversion);
        startMore(batch);
    });
    batch.running.insert(conversion, {outputSlots, &plan.target()});
    if (!stopRequested)
        emit fileStarted(plan.source());
    return conversion;
}

// A file's messages reach the log together, and the program's output reaches
// standard error in one piece, so that files running side by side never mix.
void cConverter::fileEnded(Batch &batch, cConversion *conversion)
{
    const Batch::Running run = batch.running.take(conversion);
    const QString &fn = conversion->source().path;
    cText warning;
    // Checked again right before the outputs take their names: under any
    // spelling, another file may have taken one while the program ran.
    if (conversion->exitCode() == 0) {
        std::optional<cBatchOutputs::Refusal> refused;
        for (const QString &outPath : conversion->outPaths()) {
            if (!refused)
                refused = batch.outputs.refusal(fn, outPath);
        }
        if (refused)
            conversion->refuse(refused->logLine, refused->reason);
        else if (conversion->passesReadBack(*run.target))
            conversion->commit();
        for (const QString &outPath : conversion->written()) {
            batch.outputs.written(outPath, fn);
            if (warning.isEmpty())
                warning = cResultCheck::check(outPath, conversion->expectedSeconds());
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
            outcome == cFileResult::Outcome::Warned ? warning : conversion->reason(), conversion->format(),
            conversion->written()});
    qDebug() << "File done!";
    conversion->deleteLater();
}

void cConverter::refuse(const cFilePlan &plan, std::optional<cFilePlan::Refusal> refusal)
{
    if (!refusal)
        refusal = plan.refusal();
    for (const QString &line : plan.log())
        qDebug().noquote() << line;
    qDebug().noquote() << refusal->logLine;
    cFileResult result = plan.refusedResult();
    result.outcome = refusal->outcome;
    result.reason = refusal->reason;
    report(result);
}

void cConverter::report(const cFileResult &result)
{
    if (stopRequested)
        return;
    emit fileFinished(result);
    emit fileProcessed(result.source.path, result.isWritten());
}
