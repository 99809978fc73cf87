#include "workers/cconversion.h"

#include "workers/cgrouprun.h"
#include "workers/coutputformat.h"
#include "workers/cresultcheck.h"
#include "workers/ctarget.h"
#include "workers/ctemporaryoutput.h"
#include "workers/debugline.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace {

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

} // namespace

cConversion::cConversion(const cSource &source, Outputs outputs, bool replace, const cConversionPlan &plan,
                         const QStringList &log, QObject *parent)
    : QObject(parent), sourceFile(source), temporaries(std::move(outputs)), replaceExisting(replace), runs(plan),
      lines(log), run(this)
{
    connect(&run, &cProcessRun::ended, this, &cConversion::programEnded);
}

cConversion::~cConversion() = default;

QString cConversion::outPath() const
{
    return temporaries.front()->outPath();
}

QStringList cConversion::outPaths() const
{
    QStringList paths;
    for (const auto &temporary : temporaries)
        paths << temporary->outPath();
    return paths;
}

std::optional<double> cConversion::expectedSeconds() const
{
    if (runs.trims())
        return std::nullopt;
    return cResultCheck::declaredSeconds(groupListing.isNull() ? output : groupListing);
}

cText cConversion::programMissingReason()
{
    return cText::of<cConversion>(QT_TR_NOOP("ffmpeg could not be started: it is not installed, or not on PATH"));
}

QString cConversion::temporaryPath(int output) const
{
    return temporaries.at(static_cast<size_t>(output))->path();
}

bool cConversion::hasOutput() const
{
    return std::all_of(temporaries.cbegin(), temporaries.cend(),
                       [](const auto &temporary) { return QFileInfo(temporary->path()).isFile(); });
}

// What a failed or stopped run wrote so far would pass for a finished prompt.
void cConversion::discardAll(const char *removed)
{
    for (const auto &temporary : temporaries) {
        const QString partial = temporary->path();
        if (temporary->discard() && removed)
            lines << debugLine(removed, partial);
    }
}

void cConversion::groupEnded(const QString &commandLine, const QByteArray &programOutput, const QByteArray &listing)
{
    lines << commandLine;
    output = programOutput;
    groupListing = listing;
    programEnded(0);
}

bool cConversion::groupMeasured(const QString &commandLine, const QByteArray &output, int input)
{
    lines << commandLine << debugLine("Exit code:", 0);
    lines << runs.measured(output, input);
    return !runs.measuresNext();
}

void cConversion::startAlone()
{
    if (ended)
        return;
    // What the group's run left of this file must not be taken for its own.
    for (const auto &temporary : temporaries) {
        temporary->discard();
        if (!temporary->create()) {
            ended = true;
            code = -2;
            failure = cText::plain(temporary->errorString());
            lines << QStringLiteral("Reason: ") + failure.sourceText();
            discardAll(nullptr);
            QMetaObject::invokeMethod(this, &cConversion::finished, Qt::QueuedConnection);
            return;
        }
    }
    start();
}

void cConversion::start()
{
    // A stop may come between a measuring run and the next.
    if (ended)
        return;
    QStringList args = runs.leadingArgs() + runs.inputArgs();
    const QList<QStringList> outputs = runs.outputArgs();
    measuring = runs.measuresNext();
    if (measuring) {
        args << outputs.constFirst();
        lines << debugLine("Measuring loudness with args:") + QLatin1Char(' ') + debugList(args);
    } else {
        for (qsizetype i = 0; i < outputs.size(); ++i)
            args << outputs.at(i) << temporaryPath(static_cast<int>(i));
        lines << debugLine("Running ffmpeg with args:") + QLatin1Char(' ') + debugList(args);
    }
    runStart = output.size();
    run.start(args);
}

bool cConversion::stop()
{
    if (ended)
        return false;
    ended = true;
    if (groupRun)
        groupRun->stop();
    if (run.stop())
        output += run.output();
    const qsizetype before = lines.size();
    discardAll("Conversion stopped, unfinished output removed:");
    if (lines.size() == before)
        lines << debugLine("Conversion stopped");
    return true;
}

// Each output on its own: one that could not take its name leaves the others
// written, and the file fails naming the format.
bool cConversion::commit()
{
    bool failed = false;
    bool skippedAll = true;
    for (size_t i = 0; i < temporaries.size(); ++i) {
        cTemporaryOutput &temporary = *temporaries.at(i);
        const QString name = temporaries.size() > 1 ? runs.format(static_cast<int>(i)).name() : QString();
        switch (temporary.commit(replaceExisting)) {
        case cTemporaryOutput::Commit::Written:
            writtenPaths << temporary.outPath();
            skippedAll = false;
            break;
        case cTemporaryOutput::Commit::Exists:
            lines << debugLine("Not written, the output file appeared meanwhile and \"Skip existing files\" is chosen:",
                               temporary.outPath());
            if (!failed)
                failure = skippedReason();
            break;
        case cTemporaryOutput::Commit::Failed: {
            lines << debugLine("Not written:", temporary.outPath()) + QLatin1Char(' ') + temporary.errorString();
            const cText why = cText::of<cConversion>(QT_TR_NOOP("The output file could not be written: %1"),
                                                     {temporary.errorString()});
            failure = name.isEmpty() ? why : cText::of<cConversion>(QT_TR_NOOP("%1: %2"), {name, why.toString()});
            failed = true;
            skippedAll = false;
            break;
        }
        }
    }
    ending = failed       ? cFileResult::Outcome::Failed
             : skippedAll ? cFileResult::Outcome::Skipped
                          : cFileResult::Outcome::Converted;
    if (ending == cFileResult::Outcome::Converted)
        failure = cText();
    return ending == cFileResult::Outcome::Converted;
}

bool cConversion::passesReadBack(const cTarget &target)
{
    if (target.isGeneric())
        return true;
    for (size_t i = 0; i < temporaries.size(); ++i) {
        const cOutputFormat &format = runs.format(static_cast<int>(i));
        const cText why = target.refusal(temporaries.at(i)->path(), format);
        if (why.isEmpty())
            continue;
        refuse(debugLine("Not written, its system would refuse it:", temporaries.at(i)->outPath()) + QLatin1Char(' ') +
                   why.sourceText(),
               temporaries.size() > 1 ? cText::of<cConversion>(QT_TR_NOOP("%1: %2"), {format.name(), why.toString()})
                                      : why);
        return false;
    }
    return true;
}

void cConversion::refuse(const QString &logLine, const cText &reason)
{
    discardAll(nullptr);
    lines << logLine;
    failure = reason;
}

cText cConversion::skippedReason()
{
    return cText::of<cConversion>(QT_TR_NOOP("The output file exists and \"Skip existing files\" is chosen"));
}

cText cConversion::upToDateReason()
{
    return cText::of<cConversion>(
        QT_TR_NOOP("The output file is not older than its source and \"Update changed files\" is chosen"));
}

void cConversion::programEnded(int exitCode)
{
    if (ended)
        return;
    // Nothing ran when a group's run converted the file.
    output += run.output();
    if (measuring && exitCode == 0) {
        lines << debugLine("Exit code:", exitCode);
        lines << runs.measured(output.mid(runStart));
        // Started from the event loop, once this run's process is wholly done with.
        QMetaObject::invokeMethod(this, &cConversion::start, Qt::QueuedConnection);
        return;
    }
    ended = true;
    code = exitCode;
    lines << debugLine("Exit code:", code);
    if (code != 0) {
        failure = failureReason();
        lines << QStringLiteral("Reason: ") + failure.sourceText();
        discardAll("Conversion failed, unfinished output removed:");
    }
    QMetaObject::invokeMethod(this, &cConversion::finished, Qt::QueuedConnection);
}

cText cConversion::failureReason() const
{
    switch (code) {
    case -2:
        // Not found: said in words of ours; any other cause (too many open
        // files, say) in the system's own.
        if (!cProcessRun::programFound())
            return programMissingReason();
        return cText::of<cConversion>(QT_TR_NOOP("ffmpeg could not be started: %1"), {run.errorString()});
    case -1:
        return cText::of<cConversion>(QT_TR_NOOP("ffmpeg crashed"));
    default:
        break;
    }
    const QString said = lastErrorLine(output);
    if (said.isEmpty())
        return cText::of<cConversion>(QT_TR_NOOP("ffmpeg failed with exit code %1"), {QString::number(code)});
    return cText::of<cConversion>(QT_TR_NOOP("ffmpeg failed with exit code %1: %2"), {QString::number(code), said});
}
