#pragma once

#include "core/cbatchprogress.h"
#include "workers/cconverter.h"
#include "workers/cfileresult.h"
#include "workers/crules.h"
#include "workers/csource.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <optional>

// One batch of conversions as both front ends run it: the options, the
// output folder, start and stop, the tally, a progress signal a few times a
// second, and each file's result with its reason. The window and the command
// line only present what it says.
class cBatch : public QObject
{
    Q_OBJECT

public:
    // How an output file is named from its source.
    using NameRule = cNameRule;
    // What happens to an output file that is already there.
    using ExistingRule = cExistingRule;

    struct Options
    {
        // As the user gave it: blanks around it are ignored, a leading "~/"
        // is the home folder, empty is the working directory.
        QString outputFolder;
        NameRule nameRule = NameRule::ChangeExtension;
        ExistingRule existingRule = ExistingRule::Skip;
        // Each file found in a named folder goes to its path relative to that
        // folder inside the output folder; files named one by one go to the
        // output folder itself.
        bool keepFolders = false;
        // Lower-case ASCII output names, as phone systems take them.
        bool safeNames = false;
        // How many files convert at once; 0 for one per logical processor.
        int jobs = 0;
        // Each file in a converter program run of its own, not several small
        // ones in one run.
        bool oneFilePerRun = !cConverter::groupsByDefault;
        // Whether the converter program's own output goes on to standard error.
        bool forwardOutput = true;
        // The phone system the outputs are for (see cTarget): its formats,
        // names, layout, limits and read-back. Empty or unknown: the generic
        // one, which writes the chosen format as it always did.
        QString target{};
        // The output formats' IDs (see cOutputFormat): each source becomes a
        // file of each, in one converter run. Empty: the target's own (the
        // generic target's is the standard format).
        QStringList formats{};
        // The language's folder, for a target that keeps one (see
        // cTarget::hasLanguageFolders); empty for none.
        QString language{};
        // No tags of the source and no mark of the encoder in the standard
        // format too (the others never carry them).
        bool clean = false;
        // The loudness every output is brought to, in LUFS; none: each keeps its own.
        std::optional<double> loudness{};
        // Leading and trailing silence cut to a short pad.
        bool trim = false;
    };

    // Works through a converter of its own, which nothing else reaches.
    explicit cBatch(QObject *parent = nullptr);

    // The folder the user's text names: blanks around it ignored, "~" and a
    // leading "~/" taken as the home folder; empty for the working directory.
    static QString outputFolder(const QString &typed);
    // The user's text as it is kept for the next start: a relative folder made
    // absolute against the working directory, which may differ then; any
    // other text (empty, absolute, in the home folder) as it was typed.
    static QString storedFolder(const QString &typed);

    // The folder the user's text names becomes the converter's at once, for
    // the files of a running batch not started yet too.
    void setOutputFolder(const QString &typed);
    // Makes the output folder if it is missing, then converts the sources
    // with the options; each result comes with its source as handed over.
    // failedBefore counts files that failed before the batch (named paths
    // not found): they are part of the tally. False, with nothing started,
    // when the output folder can't be made (see folder()).
    bool start(const QList<cSource> &sources, const Options &options, int failedBefore = 0);
    // Ends the batch: no further file starts, running conversions are ended;
    // finished() follows.
    void stop();

    bool isRunning() const { return running; }
    bool isStopping() const { return stopping; }
    // Whether the last batch was stopped before its end.
    bool wasStopped() const { return stopped; }
    // The output folder of the batch last started, as the converter takes it.
    QString folder() const { return resolvedFolder; }
    const cBatchProgress &progress() const { return tally; }

signals:
    void fileStarted(const cSource &source);
    void fileFinished(const cFileResult &result);
    // The tally has moved on; sent at most a few times a second while the batch runs.
    void progressChanged();
    void finished();

private:
    void converterFinished();

    cConverter *const converter;
    cBatchProgress tally;
    QTimer progressTimer;
    QString resolvedFolder;
    bool running = false;
    bool stopping = false;
    bool stopped = false;
};
