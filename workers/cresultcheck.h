#pragma once

#include "workers/ctext.h"

#include <QByteArray>
#include <QString>

#include <optional>

// Looks at a finished output, read in-process, for what a successful run of
// the converter program does not say: a silent result, one much shorter than
// its source, one with clipped stretches. Outputs in a format that can't be
// read here are taken as they are.
class cResultCheck
{
public:
    // The peak below which a result counts as silent, in dB of full scale.
    static constexpr double silentPeakDb = -50.0;
    // A result shorter than this share of its source's length is cut short.
    static constexpr double shortestShare = 0.7;
    // Samples in a row at full scale that make a result clipped.
    static constexpr int clippedRun = 4;

    // The warning for the output, empty when nothing is wrong with it.
    // sourceSeconds: the source's length as the converter program reported
    // it, none when it did not say.
    static cText check(const QString &path, std::optional<double> sourceSeconds);
    // The length of the first input as the converter program reports it in
    // its output ("Duration: 00:01:02.50"); none for "N/A" or no such line.
    static std::optional<double> declaredSeconds(const QByteArray &programOutput);
    // The length of a sound file as read here from its header; none when it
    // can't be read here or does not say.
    static std::optional<double> soundSeconds(const QString &path);
};
