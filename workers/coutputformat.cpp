#include "workers/coutputformat.h"

#include "workers/ctablerows.h"

namespace {

// Names a tagged source must not pass into a prompt, and a header without the
// encoder's name: a 16-bit PCM WAV then has the plain 44-byte header.
const QStringList cleanArgs{QStringLiteral("-map_metadata"), QStringLiteral("-1"), QStringLiteral("-fflags"),
                            QStringLiteral("+bitexact")};

} // namespace

const QList<cOutputFormat> &cOutputFormat::all()
{
    // The encoders and muxers are those of Debian's ffmpeg. Raw files carry no
    // header, so the muxer is always named: the temporary output's name need
    // not end as the output's does.
    static const QList<cOutputFormat> formats{
        {"wav8", "wav", 8000, nullptr, nullptr, nullptr, 0.0, QT_TR_NOOP("WAV, 8 kHz 16-bit PCM"),
         QT_TR_NOOP("the default; what most phone systems play")},
        {"wav8-ulaw", "wav", 8000, "pcm_mulaw", "wav", nullptr, 0.0, QT_TR_NOOP("WAV, 8 kHz µ-law (G.711)"),
         QT_TR_NOOP("voice mail, contact centres, VoiceXML IVRs, music on hold")},
        {"wav8-alaw", "wav", 8000, "pcm_alaw", "wav", nullptr, 0.0, QT_TR_NOOP("WAV, 8 kHz A-law (G.711)"),
         QT_TR_NOOP("the same outside North America")},
        {"wav16", "wav", 16000, "pcm_s16le", "wav", nullptr, 0.0, QT_TR_NOOP("WAV, 16 kHz 16-bit PCM"),
         QT_TR_NOOP("wideband (HD voice) phones; Asterisk wants them named .wav16 (target asterisk)")},
        {"wav32", "wav", 32000, "pcm_s16le", "wav", nullptr, 0.0, QT_TR_NOOP("WAV, 32 kHz 16-bit PCM"),
         QT_TR_NOOP("super-wideband calls")},
        {"wav48", "wav", 48000, "pcm_s16le", "wav", nullptr, 0.0, QT_TR_NOOP("WAV, 48 kHz 16-bit PCM"),
         QT_TR_NOOP("full-band calls")},
        {"ulaw", "ulaw", 8000, "pcm_mulaw", "mulaw", "-f mulaw -ar 8000 -ac 1", 0.0,
         QT_TR_NOOP("Raw µ-law, 8 kHz (.ulaw)"), QT_TR_NOOP("open-source PBXs play it without transcoding")},
        {"alaw", "alaw", 8000, "pcm_alaw", "alaw", "-f alaw -ar 8000 -ac 1", 0.0,
         QT_TR_NOOP("Raw A-law, 8 kHz (.alaw)"), QT_TR_NOOP("the same for A-law lines")},
        {"sln", "sln", 8000, "pcm_s16le", "s16le", "-f s16le -ar 8000 -ac 1", 0.0,
         QT_TR_NOOP("Raw 16-bit, 8 kHz (.sln)"), QT_TR_NOOP("signed linear, an open-source PBX's own format")},
        {"sln16", "sln16", 16000, "pcm_s16le", "s16le", "-f s16le -ar 16000 -ac 1", 0.0,
         QT_TR_NOOP("Raw 16-bit, 16 kHz (.sln16)"), QT_TR_NOOP("the same for wideband calls")},
        {"g722", "g722", 16000, "g722", "g722", "-f g722", 0.0, QT_TR_NOOP("G.722 wideband (.g722)"),
         QT_TR_NOOP("wideband calls without transcoding")},
        // GSM's coarse coding lifts peaks by about half a decibel more than the others.
        {"gsm", "gsm", 8000, "libgsm", "gsm", "-f gsm -ar 8000 -ac 1", 0.5, QT_TR_NOOP("GSM 06.10 (.gsm)"),
         QT_TR_NOOP("small files for older PBXs and gateways")},
    };
    return formats;
}

const cOutputFormat &cOutputFormat::standard()
{
    return all().first();
}

const cOutputFormat *cOutputFormat::find(const QString &id)
{
    return cTableRows::find(all(), id);
}

const cOutputFormat &cOutputFormat::byId(const QString &id)
{
    const cOutputFormat *const format = find(id);
    return format ? *format : standard();
}

QString cOutputFormat::idList()
{
    return cTableRows::idList(all());
}

bool cOutputFormat::isStandard() const
{
    return this == &standard();
}

QString cOutputFormat::name() const
{
    return tr(nameText);
}

QString cOutputFormat::purpose() const
{
    return tr(purposeText);
}

QStringList cOutputFormat::outputArgs(bool clean) const
{
    QStringList args{QStringLiteral("-ar"), QString::number(sampleRate), QStringLiteral("-ac"), QStringLiteral("1")};
    if (codec)
        args << QStringLiteral("-c:a") << QLatin1String(codec);
    if (clean || !isStandard())
        args << cleanArgs;
    if (muxer)
        args << QStringLiteral("-f") << QLatin1String(muxer);
    return args;
}

QStringList cOutputFormat::inputArgs() const
{
    return readBack ? QString::fromLatin1(readBack).split(QLatin1Char(' ')) : QStringList();
}
