#pragma once

#include "workers/cevenlevel.h"

#include <QByteArray>
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
        // An ID of cOutputFormat; an unknown one means the standard format.
        QString format;
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

    // The ID of the output's format.
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
    // The output's options; the caller's output path comes after them, but a
    // measuring run writes no file and its part ends in its own. sharedInput:
    // the source's number among the inputs of a shared run, which names its
    // meter (a shared run only ever takes the first measurement); none in a
    // run of its own.
    QStringList outputArgs(std::optional<int> sharedInput = std::nullopt) const;
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

    // The filters every run of the file starts with: the output's rate and one
    // channel, then the trimming; empty when nothing is filtered.
    QString firstFilters() const;
    // The first measurement's meter, named after the input in a shared run.
    static QString firstMeter(std::optional<int> sharedInput);

    QString existing;
    QString source;
    const cOutputFormat *format;
    bool clean;
    bool trim;
    std::optional<cEvenLevel> level;
    Stage stage = Stage::Convert;
};
