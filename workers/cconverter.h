#pragma once

#include "workers/cconversionplan.h"
#include "workers/cfileplan.h"
#include "workers/cfileresult.h"
#include "workers/clockedvalue.h"
#include "workers/csource.h"
#include "workers/ctext.h"
#include "workers/cworkerthread.h"

#include <QMutex>
#include <QStringList>

#include <atomic>
#include <optional>

class cConversion;

// Runs the converter program for each queued source file on a thread of its
// own, up to jobs() files at a time; reports each file and the end of the batch.
class cConverter : public cWorkerThread
{
    Q_OBJECT

public:
    explicit cConverter(QObject *parent = nullptr);
    ~cConverter() override;

    void setOutputDir(const QString &dir);
    // The naming rule's number (see cNameRule).
    void setFileNameType(int type);
    // The existing-file rule's number (see cExistingRule): 0 overwrites an
    // existing output, 1 skips it, 2 overwrites it only when it is older than
    // its source.
    void setFileSaveType(int type);
    // Whether the outputs' names, and the sub-folders made for them, are
    // lower-case ASCII (see cOutputPath::safeName).
    void setSafeNames(bool safe);
    // Whether a source found in a named folder goes to its path relative to
    // that folder inside the output folder, made as needed.
    void setKeepFolders(bool keep);
    // The formats, the level and the trim of the outputs.
    void setChoices(const cConversionPlan::Choices &choices);
    // The phone system the outputs are for (see cTarget), and the language
    // whose folder they go to where it keeps one.
    void setTarget(const QString &target, const QString &language = QString());
    // How many converter programs may run at once; 0 or less means one per
    // logical processor. Read when a batch starts.
    void setJobs(int jobs);
    int jobs() const;
    // Whether each file gets a converter program run of its own; otherwise
    // small files are converted several in one run (see cGroupRun). Read
    // when a batch starts.
    void setOneFilePerRun(bool one);
    bool isOneFilePerRun() const { return oneFilePerRun; }
    // Whether small files share runs unless told otherwise.
    static constexpr bool groupsByDefault = true;
    // Whether the converter program's own output goes on to standard error,
    // one file's output in one piece when that file ends (on by default).
    void setForwardOutput(bool forward);
    // The paths as sources named one by one, each its place in the list.
    void convertFiles(const QStringList &files);
    // Each source's result comes back with the source as it was handed over.
    void convertSources(const QList<cSource> &sources);
    // Ends the running batch: no further file starts, running converter
    // programs are ended with their whole process groups and their unfinished
    // outputs removed; files not done get no report, and convertFinished()
    // follows. A file whose program had already ended is reported as it ended.
    void stop();

signals:
    void convertFinished();
    void fileProcessed(const QString &fn, bool result);
    // A file's converter program is about to run (not sent for a file that is
    // refused before it runs).
    void fileStarted(const cSource &source);
    // Sent just before fileProcessed(fn, result) for the same file.
    void fileFinished(const cFileResult &result);

protected:
    void run() override;

private:
    struct Batch;
    bool stopping() const;
    void startMore(Batch &batch);
    bool planNext(Batch &batch);
    cConversion *startPlanned(Batch &batch);
    static int runCount(const Batch &batch);
    void fileEnded(Batch &batch, cConversion *conversion);
    // Reports a file that is not converted, for the plan's own refusal unless another is given.
    void refuse(const cFilePlan &plan, std::optional<cFilePlan::Refusal> refusal = std::nullopt);
    void report(const cFileResult &result);

    // Raised by the destructor: no further file is started, running converter
    // programs are ended and nothing more is reported.
    std::atomic_bool stopRequested{false};
    QList<cSource> fileQueue;
    QMutex queueMutex;
    cLockedValue<QString> outputDir;
    cLockedValue<int> fileNameType;
    cLockedValue<int> fileSaveType;
    std::atomic_bool safeNames{false};
    std::atomic_bool keepFolders{false};
    cLockedValue<cConversionPlan::Choices> fileChoices;
    cLockedValue<QString> fileTarget;
    cLockedValue<QString> fileLanguage;
    std::atomic_int jobCount{0};
    std::atomic_bool oneFilePerRun{!groupsByDefault};
    std::atomic_bool forwardOutput{true};
    // Raised by stop(): the batch ends early but still announces its end.
    std::atomic_bool batchStopRequested{false};
};
