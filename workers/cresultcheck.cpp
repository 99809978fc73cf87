#include "workers/cresultcheck.h"

#include <QFile>
#include <QRegularExpression>

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// The warnings' translation context.
constexpr char context[] = "cResultCheck";

} // namespace

cText cResultCheck::check(const QString &path, std::optional<double> sourceSeconds)
{
    SF_INFO info{};
    SNDFILE *const file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!file)
        return cText();
    // Read as floats, so that every sample format is on one scale; full
    // scale is taken a little below 1, where A-law and u-law end.
    constexpr float fullScale = 0.98F;
    std::vector<float> buffer(4096 * static_cast<size_t>(std::max(1, info.channels)));
    float peak = 0;
    int run = 0;
    int longestRun = 0;
    sf_count_t frames = 0;
    sf_count_t read = 0;
    while ((read = sf_readf_float(file, buffer.data(), 4096)) > 0) {
        frames += read;
        for (size_t i = 0; i < static_cast<size_t>(read * info.channels); ++i) {
            const float level = std::fabs(buffer[i]);
            peak = std::max(peak, level);
            run = level >= fullScale ? run + 1 : 0;
            longestRun = std::max(longestRun, run);
        }
    }
    sf_close(file);

    const double seconds = info.samplerate > 0 ? static_cast<double>(frames) / info.samplerate : 0;
    if (sourceSeconds && *sourceSeconds > 0 && seconds < *sourceSeconds * shortestShare)
        return cText(context,
                     QT_TRANSLATE_NOOP("cResultCheck", "The result is much shorter than its source: %1 s of %2 s"),
                     {QString::number(seconds, 'f', 2), QString::number(*sourceSeconds, 'f', 2)});
    if (peak <= 0 || 20 * std::log10(peak) < silentPeakDb)
        return cText(context, QT_TRANSLATE_NOOP("cResultCheck", "The result is silent or nearly so"));
    if (longestRun >= clippedRun)
        return cText(context,
                     QT_TRANSLATE_NOOP("cResultCheck", "The result is clipped: its loudest stretches are cut off"));
    return cText();
}

std::optional<double> cResultCheck::declaredSeconds(const QByteArray &programOutput)
{
    static const QRegularExpression duration(QStringLiteral("Duration: (\\d+):(\\d\\d):(\\d\\d(?:\\.\\d+)?)"));
    const QRegularExpressionMatch match = duration.match(QString::fromUtf8(programOutput));
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1).toDouble() * 3600 + match.captured(2).toDouble() * 60 + match.captured(3).toDouble();
}

std::optional<double> cResultCheck::soundSeconds(const QString &path)
{
    SF_INFO info{};
    SNDFILE *const file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!file)
        return std::nullopt;
    sf_close(file);
    if (info.samplerate <= 0 || info.frames <= 0 || info.frames == SF_COUNT_MAX)
        return std::nullopt;
    return static_cast<double>(info.frames) / info.samplerate;
}
