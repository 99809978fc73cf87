#include "workers/cfileplan.h"

#include "workers/cbatchoutputs.h"
#include "workers/cconversion.h"
#include "workers/coutputformat.h"
#include "workers/cresultcheck.h"
#include "workers/ctarget.h"
#include "workers/debugline.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

cFilePlan::cFilePlan(const cSource &source, const Settings &settings)
    : sourceFile(source), settings(settings), fileTarget(&cTarget::byId(settings.target))
{
    const QString &fn = source.path;
    lines << debugLine("Processing file:", fn);
    cConversionPlan::Choices choices = settings.choices;
    const std::optional<cExistingRule> existing = existingRuleOf(settings.saveType);
    firstFormat = cOutputFormat::byId(choices.formats.value(0)).id();
    if (!existing) {
        refuse(debugLine("Bad fileSaveType"),
               cText("cConverter", QT_TRANSLATE_NOOP("cConverter", "Unknown rule for existing files")));
        return;
    }
    replace = *existing != cExistingRule::Skip;
    update = *existing == cExistingRule::Update;
    const std::optional<cNameRule> nameRule = nameRuleOf(settings.nameType);
    if (!nameRule) {
        refuse(debugLine("Bad fileNameType"),
               cText("cConverter", QT_TRANSLATE_NOOP("cConverter", "Unknown rule for output file names")));
        return;
    }
    if (choices.formats.isEmpty())
        choices.formats = QStringList{QString()};
    const auto stemRule = [this](const QString &stem) {
        return fileTarget->stem(stem);
    };
    for (const QString &id : std::as_const(choices.formats)) {
        const cOutputFormat &format = cOutputFormat::byId(id);
        const QString name =
            cOutputPath::fileName(fn, *nameRule, settings.safeNames, QLatin1Char('.') + fileTarget->ending(format),
                                  fileTarget->isGeneric() ? std::function<QString(const QString &)>() : stemRule);
        QString error;
        const QString folder = folderFor(format, error);
        if (!error.isEmpty()) {
            refuse(debugLine("Not converted, the output's folder can't be made:", error), cText::plain(error));
            return;
        }
        const QString path = QDir(folder).absoluteFilePath(name);
        const cOutputPath::Slot slot = cOutputPath::Slot::of(path);
        // Two formats the target writes into one file are one output.
        if (std::any_of(planned.cbegin(), planned.cend(), [&](const Output &output) { return output.slot == slot; }))
            continue;
        lines << debugLine("Out filename:", path);
        if (firstPath.isEmpty())
            firstPath = path;
        planned.append({&format, path, slot});
    }
}

QString cFilePlan::folderFor(const cOutputFormat &format, QString &error) const
{
    QString sub = settings.keepFolders ? cOutputPath::subFolder(sourceFile.root, sourceFile.path) : QString();
    // A language's folder holds the tree; a rate's folder holds the files.
    if (const QString own = fileTarget->folder(format, settings.language); !own.isEmpty())
        sub = fileTarget->hasLanguageFolders() ? QDir::cleanPath(own + QLatin1Char('/') + sub)
                                               : QDir::cleanPath(sub + QLatin1Char('/') + own);
    if (sub.isEmpty() || sub == QLatin1String("."))
        return settings.outputDir;
    return cOutputPath::makeFolders(settings.outputDir, sub, settings.safeNames, error);
}

void cFilePlan::checkBeforeRun(const cBatchOutputs &batch)
{
    if (refused)
        return;
    const QString &fn = sourceFile.path;
    for (const Output &output : std::as_const(planned)) {
        if (const std::optional<cBatchOutputs::Refusal> refusal = batch.refusal(fn, output.path)) {
            refuse(refusal->logLine, refusal->reason);
            return;
        }
    }
    // Trimmed silence may bring a long source within the limit: its outputs are measured instead.
    if (fileTarget->maxSeconds() && !settings.choices.trim) {
        const std::optional<double> seconds = cResultCheck::soundSeconds(fn);
        if (const cText why = seconds ? fileTarget->lengthRefusal(*seconds) : cText(); !why.isEmpty()) {
            refuse(QStringLiteral("Not converted: ") + why.sourceText(), why);
            return;
        }
    }
    // One that appears while the program runs is not replaced either.
    QList<Output> left;
    std::optional<Refusal> skipped;
    for (const Output &output : std::as_const(planned)) {
        if (!replace && QFileInfo::exists(output.path)) {
            skipped = Refusal{
                debugLine("Not converted, the output file exists and \"Skip existing files\" is chosen:", output.path),
                cConversion::skippedReason(), cFileResult::Outcome::Skipped};
        } else if (update && QFileInfo::exists(output.path) &&
                   QFileInfo(output.path).lastModified() >= QFileInfo(fn).lastModified()) {
            skipped = Refusal{debugLine("Not converted, the output file is not older than its source and \"Update "
                                        "changed files\" is chosen:",
                                        output.path),
                              cConversion::upToDateReason(), cFileResult::Outcome::Skipped};
        } else {
            left.append(output);
            continue;
        }
        if (planned.size() > 1)
            lines << skipped->logLine;
    }
    planned = left;
    if (planned.isEmpty() && skipped) {
        if (lines.constLast() == skipped->logLine)
            lines.removeLast();
        refused = skipped;
    }
}

cConversionPlan cFilePlan::runs() const
{
    cConversionPlan::Choices choices = settings.choices;
    choices.formats.clear();
    for (const Output &output : planned)
        choices.formats << output.format->id();
    return cConversionPlan(replace ? QStringLiteral("-y") : QStringLiteral("-n"), sourceFile.path, choices);
}

cFileResult cFilePlan::refusedResult() const
{
    return {sourceFile, refused ? refused->outcome : cFileResult::Outcome::Failed, firstPath,
            refused ? refused->reason : cText(), firstFormat};
}

void cFilePlan::refuse(const QString &logLine, const cText &reason, cFileResult::Outcome outcome)
{
    refused = Refusal{logLine, reason, outcome};
}
