#include "core/cbatchprogress.h"

namespace {

// Files that must be done before the time left is estimated: the first few
// carry the start-up of the batch and say little about the rest.
constexpr int filesBeforeEstimate = 3;

} // namespace

void cBatchProgress::start(int total)
{
    totalFiles = total;
    doneFiles = 0;
    failedFiles = 0;
    skippedFiles = 0;
    warnedFiles = 0;
    frozenMs = -1;
    clock.start();
}

void cBatchProgress::fileDone(cFileResult::Outcome outcome)
{
    ++doneFiles;
    switch (outcome) {
    case cFileResult::Outcome::Converted:
        break;
    case cFileResult::Outcome::Warned:
        ++warnedFiles;
        break;
    case cFileResult::Outcome::Skipped:
        ++skippedFiles;
        break;
    case cFileResult::Outcome::Failed:
        ++failedFiles;
        break;
    }
    if (doneFiles >= totalFiles)
        frozenMs = clock.elapsed();
}

void cBatchProgress::finish()
{
    if (frozenMs < 0)
        frozenMs = elapsedMs();
}

qint64 cBatchProgress::elapsedMs() const
{
    if (frozenMs >= 0)
        return frozenMs;
    return clock.isValid() ? clock.elapsed() : 0;
}

std::optional<qint64> cBatchProgress::remainingMs() const
{
    if (doneFiles < filesBeforeEstimate || doneFiles >= totalFiles)
        return std::nullopt;
    return elapsedMs() * (totalFiles - doneFiles) / doneFiles;
}

QString cBatchProgress::others() const
{
    QString text;
    if (skippedFiles > 0)
        text += tr(", %n skipped", nullptr, skippedFiles);
    if (warnedFiles > 0)
        text += tr(", %n with a warning", nullptr, warnedFiles);
    return text;
}

QString cBatchProgress::runningText() const
{
    QString text = others().isEmpty() ? tr("Converting: %1 of %2 done, %n failed, %3 elapsed", nullptr, failedFiles)
                                            .arg(doneFiles)
                                            .arg(totalFiles)
                                            .arg(duration(elapsedMs()))
                                      : tr("Converting: %1 of %2 done, %n failed%3, %4 elapsed", nullptr, failedFiles)
                                            .arg(doneFiles)
                                            .arg(totalFiles)
                                            .arg(others(), duration(elapsedMs()));
    if (const std::optional<qint64> left = remainingMs())
        text += tr(", about %1 left").arg(duration(*left));
    return text;
}

QString cBatchProgress::finishedText() const
{
    if (others().isEmpty())
        return tr("%n file(s): ", nullptr, totalFiles) +
               tr("%1 converted, %n failed, in %2", nullptr, failedFiles).arg(converted()).arg(duration(elapsedMs()));
    return tr("%n file(s): ", nullptr, totalFiles) + tr("%1 converted, %n failed%2, in %3", nullptr, failedFiles)
                                                         .arg(converted())
                                                         .arg(others(), duration(elapsedMs()));
}

QString cBatchProgress::stoppedText() const
{
    if (!others().isEmpty())
        return tr("Stopped: %1 of %2 done, %n failed%3, in %4", nullptr, failedFiles)
            .arg(doneFiles)
            .arg(totalFiles)
            .arg(others(), duration(elapsedMs()));
    return tr("Stopped: %1 of %2 done, %n failed, in %3", nullptr, failedFiles)
        .arg(doneFiles)
        .arg(totalFiles)
        .arg(duration(elapsedMs()));
}

QString cBatchProgress::duration(qint64 ms)
{
    const qint64 seconds = (ms + 500) / 1000;
    const qint64 hours = seconds / 3600;
    const QString secondsText = QStringLiteral("%1").arg(seconds % 60, 2, 10, QLatin1Char('0'));
    if (hours == 0)
        return QStringLiteral("%1:%2").arg(seconds / 60).arg(secondsText);
    return QStringLiteral("%1:%2:%3").arg(hours).arg(seconds / 60 % 60, 2, 10, QLatin1Char('0')).arg(secondsText);
}
