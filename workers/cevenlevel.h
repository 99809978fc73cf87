#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

// Brings one file to a loudness target (ITU-R BS.1770, as the converter
// program's meter measures it) with one linear gain, keeping its true peak at
// or below a ceiling so that no phone codec clips. Only where that gain would
// push peaks past the ceiling does a limiter hold them, and then the gain is
// raised by what the limiter takes off the loudness, found by measuring a few
// gains with the limiter at once. The dynamics of the prompt stay as they are.
class cEvenLevel
{
public:
    struct Level
    {
        double loudness = 0.0; // LUFS
        double truePeak = 0.0; // dBTP
    };

    enum class Step
    {
        Done,           // the gain is known, or the level stays as it is
        MeasureLimited, // the gain needs the limiter: measure candidates
    };

    static constexpr double defaultTarget = -18.0;
    // The targets a prompt may be given.
    static constexpr double minTarget = -40.0;
    static constexpr double maxTarget = -6.0;
    // The highest true peak an output may have.
    static constexpr double peakCeiling = -3.0;

    // codecMargin: decibels kept free beyond the usual for a codec that lifts peaks.
    cEvenLevel(double target, double codecMargin);

    // A meter at the end of a filter chain; its report carries the name.
    static QString meter(const QString &name);
    // The last report of each named meter in the converter program's output.
    static QHash<QString, Level> readMeters(const QByteArray &output);

    // The name of the meter of the first measurement.
    static QString firstMeter() { return QStringLiteral("level"); }
    // The first measurement has been read (nothing if its meter did not report).
    Step measured(const std::optional<Level> &level);
    // A filter graph that measures the candidate gains with the limiter, fed
    // by the chain's output and ending in the label "[out]".
    QString candidatesGraph() const;
    // The candidates have been measured.
    void measuredLimited(const QHash<QString, Level> &meters);

    // The filters that apply the gain; empty when the level stays.
    QString filters() const;
    // What was measured and done since the last call, for the log.
    QStringList takeLogLines() { return std::exchange(lines, QStringList()); }

private:
    double limit() const { return peakCeiling - limiterMargin - codecMargin; }

    // How far under the ceiling a plain gain keeps the measured true peak, for
    // what encoding adds; a limiter's peaks overshoot its sample limit a little more.
    static constexpr double plainMargin = 0.5;
    static constexpr double limiterMargin = 1.5;

    double target;
    double codecMargin;
    std::optional<double> gain;
    bool limited = false;
    QStringList lines;
};
