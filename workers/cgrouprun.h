#pragma once

#include "workers/cprocessrun.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

class cConversion;
class cConversionPlan;

// One run of the converter program for several small files: every source is
// an input, and each file's output, with its own options, takes that input's
// first audio stream into its own temporary output. Starting the program
// costs more than converting a short prompt, so one run for many saves most
// of a batch's time. Each file still ends as a run of its own would: when the
// run fails, or a file's output may differ from what a run of its own writes
// (a source with several audio streams, an output missing), those files run
// again one by one, one after another in the group's place.
class cGroupRun : public QObject
{
    Q_OBJECT

public:
    // The most files one run converts: its files all end when it ends, and
    // results keep coming.
    static constexpr int maxFiles = 8;
    // The largest source a run takes; a larger one runs alone.
    static constexpr qint64 maxSourceBytes = 2 * 1024 * 1024;

    explicit cGroupRun(QObject *parent);

    // Whether a source may share a run: a plain file (a pipe or a device
    // could hold up every file of the run) no larger than maxSourceBytes.
    static bool takes(const QString &source);

    // Whether a file whose runs are these may join: its next run starts as
    // the others' do ("-y" or "-n", or measuring), and there is room left.
    bool accepts(const cConversionPlan &plan) const;
    void add(cConversion *member);
    int size() const { return static_cast<int>(members.size()); }
    // With a single file, that file's own run, as without groups.
    void start();
    // Ends the run's whole process group; no file starts after it.
    void stop();

    // The part of the program's output about input number index (from its
    // "Input #index" line to the next input or output), and how many audio
    // streams that input has.
    static QByteArray inputListing(const QByteArray &output, int index);
    static int audioStreams(const QByteArray &listing, int index);

private:
    void programEnded(int exitCode);
    void runNextAlone();

    QList<QPointer<cConversion>> members;
    QList<QPointer<cConversion>> alone;
    // What the members' runs start with, before their inputs.
    QStringList leading;
    QString commandLine;
    cProcessRun run;
    bool measuring = false;
    // The run has run again without a source that could not be opened.
    bool retriedWithout = false;
    bool stopped = false;
};
