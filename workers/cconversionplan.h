#pragma once

#include "workers/cevenlevel.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class cOutputFormat;

// What the converter program runs for one file, worked out from the choices
// read for it: the conversion, and with an even level the measuring runs
// before it, whose results set the conversion's gain.
class cConversionPlan
{
public:
    struct Choices
    {
        // IDs of cOutputFormat: the source becomes a file of each, in one
        // run. An unknown one means the standard format; so does none.
        QStringList formats;
        // No tags of the source and no mark of the encoder (always so in the
        // formats but the standard one).
        bool clean = false;
        // The loudness target in LUFS; none: every file keeps its level.
        std::optional<double> loudness;
        // Leading and trailing silence cut to a short pad.
        bool trim = false;
    };

    // existing: "-y" to replace an existing output, "-n" not to.
    cConversionPlan(const QString &existing, const QString &source, const Choices &choices);

    // The outputs' formats, in order; the conversion writes a file of each.
    int outputCount() const { return static_cast<int>(formats.size()); }
    const cOutputFormat &format(int output) const { return *formats.at(output); }
    // The ID of the first output's format.
    QString formatId() const;
    // Whether silence at the ends is cut, which shortens the output on purpose.
    bool trims() const { return trim; }
    // Whether the next run measures; the conversion is the last run.
    bool measuresNext() const { return stage != Stage::Convert; }

    // The next run in parts, in the order the program reads them. A run of
    // the file's own is the three in order, a conversion's output path last; a run
    // shared with other files takes every file's input first, then each output.
    // Before the inputs: "-y" or "-n", or what a measuring run starts with.
    QStringList leadingArgs() const;
    // The input: its options, "-i" and the source.
    QStringList inputArgs() const;
    // The outputs' options, one part for each output of the conversion; the
    // caller's output path comes after each. A measuring run writes no file:
    // its one part ends in its own. sharedInput: the source's number among
    // the inputs of a shared run, which names its meter (a shared run only
    // ever takes the first measurement); none in a run of its own.
    QList<QStringList> outputArgs(std::optional<int> sharedInput = std::nullopt) const;
    // Reads a measuring run's output (in a shared run, the meter of
    // sharedInput) and moves on; what it found, for the log.
    QStringList measured(const QByteArray &output, std::optional<int> sharedInput = std::nullopt);

private:
    enum class Stage
    {
        Measure,
        MeasureLimited,
        Convert,
    };

    // The filters every run of the file starts with: the rate and one
    // channel, then the trimming; empty when nothing is filtered.
    QString firstFilters(int rate) const;
    // The rate the source is measured at: the highest of the outputs'.
    int measuredRate() const;
    // The first measurement's meter, named after the input in a shared run.
    static QString firstMeter(std::optional<int> sharedInput);

    QString existing;
    QString source;
    QList<const cOutputFormat *> formats;
    bool clean;
    bool trim;
    std::optional<cEvenLevel> level;
    Stage stage = Stage::Convert;
};
