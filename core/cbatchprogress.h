#pragma once

#include "workers/cfileresult.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>

#include <optional>

// How far a batch is: counts, time elapsed, an estimate of the time left, and
// the texts that tell them (the window's status line, the command line's
// progress line and summary).
class cBatchProgress
{
    Q_DECLARE_TR_FUNCTIONS(cBatchProgress)

public:
    // Starts the clock for a batch of total files.
    void start(int total);
    // A warned file is a converted one.
    void fileDone(cFileResult::Outcome outcome);
    // Stops the clock: the batch ended before its last file (it was stopped).
    void finish();

    int total() const { return totalFiles; }
    int done() const { return doneFiles; }
    int failed() const { return failedFiles; }
    int skipped() const { return skippedFiles; }
    int warned() const { return warnedFiles; }
    int converted() const { return doneFiles - failedFiles - skippedFiles; }
    qint64 elapsedMs() const;
    // Known once a few files are done: the rate so far times the files left.
    std::optional<qint64> remainingMs() const;

    // "Converting: 37 of 200 done, 2 failed, 0:12 elapsed, about 0:50 left"
    // With files skipped or warned: "…, 2 failed, 5 skipped, 1 with a warning, 0:12 elapsed"
    QString runningText() const;
    // "200 files: 198 converted, 2 failed, in 1:02"
    // With files skipped or warned: "…, 2 failed, 5 skipped, 1 with a warning, in 1:02"
    QString finishedText() const;
    // "Stopped: 37 of 200 done, 2 failed, in 0:12", with the same additions
    QString stoppedText() const;

    // A duration as m:ss, or h:mm:ss from an hour on.
    static QString duration(qint64 ms);

private:
    QElapsedTimer clock;
    qint64 frozenMs = -1; // the batch's time once it has ended
    int totalFiles = 0;
    int doneFiles = 0;
    int failedFiles = 0;
    int skippedFiles = 0;
    int warnedFiles = 0;

    // ", 5 skipped, 1 with a warning"; empty when none was either.
    QString others() const;
};
