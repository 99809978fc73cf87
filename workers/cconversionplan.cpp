#include "workers/cconversionplan.h"

#include "workers/coutputformat.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

// Silence is what stays under -50 dBFS; what leads or trails a prompt is cut
// to 0.1 s. The end is trimmed as the start of the reversed sound, so that
// nothing inside the prompt is touched. ffmpeg 5.1's silenceremove drops the
// whole sound when it is loud from its very first sample (a prompt cut
// without a pause, or one that ends abruptly, reversed): 20 ms of silence put
// before it, one window of its meter, keep it from that.
const QString trimStart =
    QStringLiteral("adelay=delays=20:all=1,silenceremove=start_periods=1:start_threshold=-50dB:start_silence=0.1");

} // namespace

cConversionPlan::cConversionPlan(const QString &existing, const QString &source, const Choices &choices)
    : existing(existing), source(source), clean(choices.clean), trim(choices.trim)
{
    for (const QString &id : choices.formats)
        formats.append(&cOutputFormat::byId(id));
    if (formats.isEmpty())
        formats.append(&cOutputFormat::standard());
    if (choices.loudness) {
        // One gain for every output: peaks are kept low enough for the codec that lifts them most.
        double margin = 0;
        for (const cOutputFormat *const format : std::as_const(formats))
            margin = std::max(margin, format->peakMargin());
        level.emplace(*choices.loudness, margin);
        stage = Stage::Measure;
    }
}

QString cConversionPlan::formatId() const
{
    return formats.constFirst()->id();
}

int cConversionPlan::measuredRate() const
{
    int rate = 0;
    for (const cOutputFormat *const format : formats)
        rate = std::max(rate, format->rate());
    return rate;
}

QString cConversionPlan::firstFilters(int rate) const
{
    if (!level && !trim)
        return QString();
    // At the output's rate and on one channel, the meter measures what the
    // output will hold, and reversing the sound for the trim costs little.
    QString filters = QStringLiteral("aformat=sample_rates=%1:channel_layouts=mono").arg(rate);
    if (trim)
        filters +=
            QLatin1Char(',') + trimStart + QStringLiteral(",areverse,") + trimStart + QStringLiteral(",areverse");
    return filters;
}

QString cConversionPlan::firstMeter(std::optional<int> sharedInput)
{
    return cEvenLevel::firstMeter() + (sharedInput ? QString::number(*sharedInput) : QString());
}

QStringList cConversionPlan::leadingArgs() const
{
    if (measuresNext())
        return {QStringLiteral("-hide_banner"), QStringLiteral("-nostats")};
    return {existing};
}

QStringList cConversionPlan::inputArgs() const
{
    return {QStringLiteral("-i"), source};
}

QList<QStringList> cConversionPlan::outputArgs(std::optional<int> sharedInput) const
{
    const QStringList toNothing{QStringLiteral("-f"), QStringLiteral("null"), QStringLiteral("-")};
    switch (stage) {
    case Stage::Measure:
        return {
            QStringList{QStringLiteral("-vn"), QStringLiteral("-af"),
                        firstFilters(measuredRate()) + QLatin1Char(',') + cEvenLevel::meter(firstMeter(sharedInput))} +
            toNothing};
    case Stage::MeasureLimited:
        return {QStringList{QStringLiteral("-vn"), QStringLiteral("-filter_complex"),
                            firstFilters(measuredRate()) + QLatin1Char(',') + level->candidatesGraph(),
                            QStringLiteral("-map"), QStringLiteral("[out]")} +
                toNothing};
    case Stage::Convert:
        break;
    }
    // Each output filters at its own rate, as a run for it alone would.
    QList<QStringList> outputs;
    for (const cOutputFormat *const format : formats) {
        QStringList args;
        QString filters = firstFilters(format->rate());
        if (level && !level->filters().isEmpty())
            filters += QLatin1Char(',') + level->filters();
        if (!filters.isEmpty())
            args << QStringLiteral("-af") << filters;
        outputs.append(args + format->outputArgs(clean));
    }
    return outputs;
}

QStringList cConversionPlan::measured(const QByteArray &output, std::optional<int> sharedInput)
{
    const QHash<QString, cEvenLevel::Level> meters = cEvenLevel::readMeters(output);
    if (stage == Stage::Measure) {
        const auto found = meters.constFind(firstMeter(sharedInput));
        const bool again = level->measured(found == meters.cend() ? std::nullopt : std::make_optional(*found)) ==
                           cEvenLevel::Step::MeasureLimited;
        stage = again ? Stage::MeasureLimited : Stage::Convert;
    } else {
        level->measuredLimited(meters);
        stage = Stage::Convert;
    }
    return level->takeLogLines();
}
