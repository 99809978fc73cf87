#pragma once

#include "workers/cconversionplan.h"
#include "workers/cfileresult.h"
#include "workers/cgrouprun.h"
#include "workers/cprocessrun.h"
#include "workers/ctext.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

class cTarget;
class cTemporaryOutput;

// The converter program's runs for one source file, on the converter's
// thread: measuring runs when the plan has them, then the conversion, which
// writes a file of each of the plan's formats from one reading of the
// source. Each file is written as a temporary output, which takes the
// output's name only once the program has succeeded and the converter has
// agreed; each is whole or not at all on its own. It
// keeps the file's log lines so that they reach the log together when the
// file ends, and the program's own output, to pass it on in one piece.
class cConversion : public QObject
{
    Q_OBJECT

public:
    using Outputs = std::vector<std::unique_ptr<cTemporaryOutput>>;

    // outputs: one for each of the plan's formats, in its order, made
    // already. replace: whether the outputs replace files of their names.
    // log: the lines the converter has already written about the file.
    cConversion(const cSource &source, Outputs outputs, bool replace, const cConversionPlan &plan,
                const QStringList &log, QObject *parent);
    ~cConversion() override;

    void start();
    // In a group, whose run converts this file too (see cGroupRun).
    void setGroup(cGroupRun *run) { groupRun = run; }
    // None once the group's run and its files' runs alone are all over.
    cGroupRun *groupOf() const { return groupRun; }
    // The file's runs, the next one in parts.
    const cConversionPlan &plan() const { return runs; }
    QString temporaryPath(int output) const;
    // Whether the program has written every temporary output.
    bool hasOutput() const;
    // The group's run ended with 0 and wrote this file's output. commandLine:
    // the log line of the group's command; output: what the program said, to
    // pass on; listing: what it said about this file's input.
    void groupEnded(const QString &commandLine, const QByteArray &output, const QByteArray &listing);
    // The group's measuring run ended with 0; output: what the program said,
    // input: this file's number among its inputs. False when the file
    // measures again before its conversion.
    bool groupMeasured(const QString &commandLine, const QByteArray &output, int input);
    // After the group's run: the file runs alone, into a new temporary output.
    void startAlone();
    // Ends the program's whole process group if the program still runs and
    // discards its output; false when the program had already ended by itself.
    bool stop();
    // After a successful run: each output takes its name; false, with the
    // reason, when one could not or a file of its name was not to be replaced.
    bool commit();
    // After a successful run, before the outputs take their names: each is
    // read as the target's system reads it; false, with the outputs
    // discarded and the reason, when the system would refuse one.
    bool passesReadBack(const cTarget &target);
    // After a successful run: the outputs are discarded, for the given reasons.
    void refuse(const QString &logLine, const cText &reason);

    const cSource &source() const { return sourceFile; }
    // The first output's path; every output's, in the plan's order.
    QString outPath() const;
    QStringList outPaths() const;
    // The outputs that took their names.
    QStringList written() const { return writtenPaths; }
    // The program's exit code, -2 when it could not be started, -1 when it crashed.
    int exitCode() const { return code; }
    // Converted once the program succeeded and its outputs have their names;
    // Skipped when they were there and were not to be replaced; else Failed.
    cFileResult::Outcome outcome() const { return ending; }
    // The ID of the output's format.
    QString format() const { return runs.formatId(); }
    cText reason() const { return failure; }
    QStringList log() const { return lines; }
    QByteArray programOutput() const { return output; }
    // The length the output should have: the source's, as the program said
    // it; none when it can't say or silence is trimmed.
    std::optional<double> expectedSeconds() const;

    // Why a file is not written when its output exists and "Skip existing files" is chosen.
    static cText skippedReason();
    // Why a file is not written when its output is not older than it and
    // "Update changed files" is chosen.
    static cText upToDateReason();
    // What to say when PATH has no converter program.
    static cText programMissingReason();

signals:
    // The program has ended and its result is known; always delivered through
    // the event loop, never from inside start().
    void finished();

private:
    void programEnded(int exitCode);
    cText failureReason() const;
    // Discards every temporary output; removed: the log line for each one
    // that had been written, none for no line.
    void discardAll(const char *removed);

    const cSource sourceFile;
    const Outputs temporaries;
    const bool replaceExisting;
    cConversionPlan runs;
    // Whether the run under way measures, and where its output starts.
    bool measuring = false;
    qsizetype runStart = 0;
    QStringList lines;
    QStringList writtenPaths;
    // Declared after the temporary output: the program ends before that goes.
    cProcessRun run;
    QPointer<cGroupRun> groupRun;
    QByteArray groupListing;
    QByteArray output;
    int code = 0;
    cText failure;
    bool ended = false;
    cFileResult::Outcome ending = cFileResult::Outcome::Failed;
};
