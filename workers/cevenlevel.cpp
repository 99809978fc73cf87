#include "workers/cevenlevel.h"

#include <QRegularExpression>

#include <cmath>

namespace {

// What the meter reports when no block passed its gate: too short (under
// 0.4 s) or too quiet to measure.
constexpr double meterFloor = -69.5;

// Gains tried with the limiter, in decibels above the plain gain: a limiter
// takes off loudness as it holds peaks, up to several LU where peaks are dense.
constexpr double candidateSteps[] = {0.0, 1.0, 2.0, 3.0, 4.0, 6.0, 8.0};

QString decibels(double value)
{
    return QString::number(value, 'f', 1);
}

QString signedDecibels(double value)
{
    return (value >= 0 ? QStringLiteral("+") : QString()) + decibels(value);
}

QString candidateName(int index)
{
    return QStringLiteral("gain%1").arg(index);
}

} // namespace

cEvenLevel::cEvenLevel(double target, double codecMargin) : target(target), codecMargin(codecMargin)
{}

QString cEvenLevel::meter(const QString &name)
{
    // Frame lines are logged only at verbose level; the summary always.
    return QStringLiteral("ebur128@%1=peak=true:framelog=verbose").arg(name);
}

QHash<QString, cEvenLevel::Level> cEvenLevel::readMeters(const QByteArray &output)
{
    static const QRegularExpression summary(QStringLiteral("^\\[ebur128@(\\w+) @ [^\\]]*\\] Summary:"));
    static const QRegularExpression value(QStringLiteral("^\\s+(I|Peak):\\s+(-?inf|-?[0-9.]+) (LUFS|dBFS)"));
    QHash<QString, Level> meters;
    QString current;
    // A meter may report twice, the first time from a graph that saw no sound.
    const QStringList outputLines = QString::fromUtf8(output).split(QRegularExpression(QStringLiteral("[\r\n]")));
    for (const QString &line : outputLines) {
        if (const QRegularExpressionMatch match = summary.match(line); match.hasMatch()) {
            current = match.captured(1);
            meters[current] = Level{-HUGE_VAL, -HUGE_VAL};
        } else if (const QRegularExpressionMatch match = value.match(line); match.hasMatch() && !current.isEmpty()) {
            const QString number = match.captured(2);
            const double parsed = number.endsWith(QLatin1String("inf")) ? -HUGE_VAL : number.toDouble();
            (match.captured(1) == QLatin1String("I") ? meters[current].loudness : meters[current].truePeak) = parsed;
        }
    }
    return meters;
}

cEvenLevel::Step cEvenLevel::measured(const std::optional<Level> &level)
{
    if (!level || !(level->loudness > meterFloor)) {
        lines << QStringLiteral("Loudness: too short or too quiet to measure, level left as it is");
        return Step::Done;
    }
    lines << QStringLiteral("Loudness: %1 LUFS, true peak %2 dBTP")
                 .arg(decibels(level->loudness), decibels(level->truePeak));
    gain = target - level->loudness;
    if (level->truePeak + *gain <= peakCeiling - plainMargin - codecMargin) {
        lines << QStringLiteral("Gain: %1 dB").arg(signedDecibels(*gain));
        return Step::Done;
    }
    limited = true;
    return Step::MeasureLimited;
}

QString cEvenLevel::candidatesGraph() const
{
    const int count = static_cast<int>(std::size(candidateSteps));
    QString graph = QStringLiteral("asplit=%1").arg(count);
    for (int i = 0; i < count; ++i)
        graph += QStringLiteral("[c%1]").arg(i);
    for (int i = 0; i < count; ++i) {
        graph += QStringLiteral(";[c%1]volume=%2dB,alimiter=limit=%3:level=false:latency=true,%4")
                     .arg(i)
                     .arg(*gain + candidateSteps[i], 0, 'f', 2)
                     .arg(std::pow(10.0, limit() / 20.0), 0, 'f', 4)
                     .arg(meter(candidateName(i)));
        graph += i + 1 < count ? QStringLiteral(",anullsink") : QStringLiteral("[out]");
    }
    return graph;
}

// The gain whose limited loudness meets the target, between the two
// candidates around it; the highest candidate when none reaches it.
void cEvenLevel::measuredLimited(const QHash<QString, Level> &meters)
{
    const double plain = *gain;
    double previousGain = plain;
    double previousLoudness = -HUGE_VAL;
    bool reached = false;
    for (int i = 0; i < static_cast<int>(std::size(candidateSteps)); ++i) {
        const auto found = meters.constFind(candidateName(i));
        if (found == meters.cend())
            continue;
        const double candidate = plain + candidateSteps[i];
        if (found->loudness >= target) {
            const double span = found->loudness - previousLoudness;
            gain = std::isfinite(span) && span > 0
                       ? previousGain + (candidate - previousGain) * (target - previousLoudness) / span
                       : candidate;
            reached = true;
            break;
        }
        previousGain = candidate;
        previousLoudness = found->loudness;
        gain = candidate;
    }
    QString line =
        QStringLiteral("Gain: %1 dB, peaks limited to %2 dBFS").arg(signedDecibels(*gain), decibels(limit()));
    if (!reached)
        line += QStringLiteral("; the limit keeps it at %1 LUFS").arg(decibels(previousLoudness));
    lines << line;
}

QString cEvenLevel::filters() const
{
    if (!gain)
        return QString();
    QString chain = QStringLiteral("volume=%1dB").arg(*gain, 0, 'f', 2);
    if (limited)
        chain += QStringLiteral(",alimiter=limit=%1:level=false:latency=true")
                     .arg(std::pow(10.0, limit() / 20.0), 0, 'f', 4);
    return chain;
}
