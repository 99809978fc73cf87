#pragma once

#include "core/cbatchprogress.h"
#include "workers/cconverter.h"
#include "workers/ctext.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <optional>

class cConverter;

// One batch of conversions as both front ends run it: the options, the
// output folder, start and stop, the tally, a progress signal a few times a
// second, and each file's result with its reason. The window and the command
// line only present what it says.
class cBatch : public QObject
{
    Q_OBJECT

public:
    // How an output file is named from its source.
    enum class NameRule
    {
        ChangeExtension = 0, // hello.mp3 becomes hello.wav
        AppendExtension = 1, // hello.mp3 becomes hello.mp3.wav
    };
    // What happens to an output file that is already there.
    enum class ExistingRule
    {
        Overwrite = 0,
        Skip = 1,
        Update = 2, // overwritten when older than its source, else left alone
    };

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
        // The output format's ID (see cOutputFormat); empty or unknown: the standard one.
        QString format{};
        // No tags of the source and no mark of the encoder in the standard
        // format too (the others never carry them).
        bool clean = false;
        // The loudness every output is brought to, in LUFS; none: each keeps its own.
        std::optional<double> loudness{};
        // Leading and trailing silence cut to a short pad.
        bool trim = false;
    };

    struct Result
    {
        // Converted and Warned files are written; a warned one has something
        // wrong with its result. A skipped file was left alone by the rule
        // for existing files.
        using Kind = cConverter::Outcome;

        QString source;
        bool converted = false; // written: Converted or Warned
        QString output;         // the file written, or the one that would have been
        cText reason;           // the warning, or why it was skipped or failed, in words for people
        Kind kind = Kind::Failed;
        QString format; // the ID of the output's format
    };

    // Works through the converter, which the caller owns.
    explicit cBatch(cConverter *converter, QObject *parent = nullptr);

    // The folder the user's text names: blanks around it ignored, "~" and a
    // leading "~/" taken as the home folder; empty for the working directory.
    static QString outputFolder(const QString &typed);
    // The user's text as it is kept for the next start: a relative folder made
    // absolute against the working directory, which may differ then; any
    // other text (empty, absolute, in the home folder) as it was typed.
    static QString storedFolder(const QString &typed);

    // Makes the output folder if it is missing, then converts the files with
    // the options. failedBefore counts files that failed before the batch
    // (named paths not found): they are part of the tally. roots: for each
    // file, the named folder it was found in, empty for a file named itself
    // (see Options::keepFolders). False, with nothing started, when the output
    // folder can't be made (see folder()).
    bool start(const QStringList &files, const Options &options, int failedBefore = 0, const QStringList &roots = {});
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
    void fileStarted(const QString &fn);
    void fileFinished(const cBatch::Result &result);
    // The tally has moved on; sent at most a few times a second while the batch runs.
    void progressChanged();
    void finished();

private:
    void converterFinished();

    cConverter *const converter;
    cBatchProgress tally;
    QTimer progressTimer;
    QString resolvedFolder;
    QString formatId;
    bool running = false;
    bool stopping = false;
    bool stopped = false;
};
