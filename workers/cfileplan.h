#pragma once

#include "workers/cconversionplan.h"
#include "workers/cfileresult.h"
#include "workers/coutputpath.h"
#include "workers/csource.h"
#include "workers/ctext.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class cBatchOutputs;
class cOutputFormat;
class cTarget;

// One source file taken from the batch, worked out from the settings as they
// were when it was taken: where each of its outputs goes (a file of each
// format, named and laid out as its target takes them), the rule for files
// already there, and its converter runs. Or why it is not converted.
class cFilePlan
{
public:
    // The converter's settings, read once for the file.
    struct Settings
    {
        QString outputDir;
        int nameType = 0;
        int saveType = 1;
        bool safeNames = false;
        bool keepFolders = false;
        cConversionPlan::Choices choices;
        QString target;
        QString language;
    };

    struct Output
    {
        const cOutputFormat *format;
        QString path;
        cOutputPath::Slot slot;
    };

    // Why the file is not converted: a line for the log, words for people and
    // how it ended.
    struct Refusal
    {
        QString logLine;
        cText reason;
        cFileResult::Outcome outcome = cFileResult::Outcome::Failed;
    };

    // Works out the outputs; refusal() says why there are none (a rule is
    // unknown, a folder can't be made).
    cFilePlan(const cSource &source, const Settings &settings);

    const cSource &source() const { return sourceFile; }
    const cTarget &target() const { return *fileTarget; }
    const std::optional<Refusal> &refusal() const { return refused; }
    const QList<Output> &outputs() const { return planned; }
    // Whether the outputs replace files of their names ("Overwrite existing files").
    bool replaces() const { return replace; }
    // What the log says of the file so far.
    const QStringList &log() const { return lines; }

    // Right before the file's run: refused when an output would replace the
    // source itself, another source of the batch or what another file wrote,
    // or the source is longer than the target takes; the outputs that the
    // rule for existing files leaves alone go, and when all go the file is
    // skipped.
    void checkBeforeRun(const cBatchOutputs &batch);
    // The converter runs that write the outputs left.
    cConversionPlan runs() const;

    // The file's result when it is not converted.
    cFileResult refusedResult() const;

private:
    void refuse(const QString &logLine, const cText &reason,
                cFileResult::Outcome outcome = cFileResult::Outcome::Failed);
    // The folder an output in the format goes to, made as needed; error says
    // why when it can't be.
    QString folderFor(const cOutputFormat &format, QString &error) const;

    const cSource sourceFile;
    const Settings settings;
    const cTarget *fileTarget;
    QList<Output> planned;
    QStringList lines;
    std::optional<Refusal> refused;
    // The first output planned, for the result of a file that is not converted.
    QString firstPath;
    QString firstFormat;
    bool replace = false;
    // Replaced only when older than the source ("Update changed files").
    bool update = false;
};
