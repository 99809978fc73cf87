#include "workers/ctarget.h"

#include "workers/coutputpath.h"
#include "workers/ctablerows.h"
#include "workers/cwavheader.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <cmath>

namespace {

// The reasons' translation context.
constexpr char context[] = "cTarget";

// How an encoder's output is laid out: its WAV format tag (0 for none), its
// bits a sample in a WAV file, and its frames: so many bytes for so many samples.
struct Coding
{
    const char *encoder;
    quint16 tag;
    quint16 bits;
    int frameBytes;
    int frameSamples;
};

const Coding codings[]{
    {"pcm_s16le", cWavHeader::pcm, 16, 2, 1},
    {"pcm_mulaw", cWavHeader::muLaw, 8, 1, 1},
    {"pcm_alaw", cWavHeader::aLaw, 8, 1, 1},
    {"g722", 0, 0, 1, 2},
    {"libgsm", 0, 0, 33, 160},
};

const Coding &codingOf(const cOutputFormat &format)
{
    for (const Coding &coding : codings) {
        if (format.encoder() == QLatin1String(coding.encoder))
            return coding;
    }
    return codings[0];
}

// A WAV coding as a header names it; the same words in every language.
QString codingName(quint16 tag)
{
    switch (tag) {
    case cWavHeader::pcm:
        return QStringLiteral("PCM");
    case cWavHeader::muLaw:
        return QStringLiteral("µ-law");
    case cWavHeader::aLaw:
        return QStringLiteral("A-law");
    default:
        return QStringLiteral("0x%1").arg(tag, 4, 16, QLatin1Char('0'));
    }
}

// A length as a platform states its limit, in whole seconds rounded up so
// that a sound past the limit never reads as within it: "6:12", "1:02:03".
QString clock(double seconds)
{
    const qint64 whole = static_cast<qint64>(std::ceil(seconds));
    const QString minutes = QStringLiteral("%1:%2")
                                .arg(whole / 60 % 60, whole >= 3600 ? 2 : 1, 10, QLatin1Char('0'))
                                .arg(whole % 60, 2, 10, QLatin1Char('0'));
    return whole >= 3600 ? QString::number(whole / 3600) + QLatin1Char(':') + minutes : minutes;
}

} // namespace

const QList<cTarget> &cTarget::all()
{
    // The formats and limits are those the platforms publish; a megabyte is
    // taken as 1,000,000 bytes, the smaller reading, so that a file taken
    // here is taken there.
    static const QList<cTarget> targets{
        {"generic", "", "", nullptr, Layout::Flat, NameRule::Kept, 0, 0, 0, false, QT_TR_NOOP("Any system"),
         QT_TR_NOOP("the format chosen, named as always")},
        {"asterisk", "Asterisk", "ulaw alaw g722 sln16", "wav8 wav16 ulaw alaw sln sln16 g722 gsm", Layout::Asterisk,
         NameRule::Ascii, 0, 0, 0, false, QT_TR_NOOP("Asterisk"),
         QT_TR_NOOP("Asterisk and the PBXs built on it: each prompt in several codecs side by side")},
        {"freeswitch", "FreeSWITCH", "wav8 wav16", "wav8 wav16 wav32 wav48", Layout::RateFolders, NameRule::Ascii, 0, 0,
         0, false, QT_TR_NOOP("FreeSWITCH"), QT_TR_NOOP("FreeSWITCH: 16-bit WAV in a folder per rate")},
        {"cisco-ucm-moh", "Cisco Unified CM", "wav8", "wav8", Layout::Flat, NameRule::NoBlanks, 0, 0, 0, false,
         QT_TR_NOOP("Cisco Unified CM music on hold"), QT_TR_NOOP("music on hold in Cisco Unified CM")},
        {"cisco-uccx", "Cisco UCCX", "wav8-ulaw", "wav8-ulaw wav8-alaw", Layout::Flat, NameRule::Word, 0, 0, 0, false,
         QT_TR_NOOP("Cisco UCCX and Unity Connection"), QT_TR_NOOP("Cisco contact-centre and voice-mail prompts")},
        {"avaya-aura", "Avaya Aura", "wav8-ulaw", "wav8-ulaw wav8-alaw", Layout::Flat, NameRule::Ascii, 27, 0, 0, false,
         QT_TR_NOOP("Avaya Aura"), QT_TR_NOOP("Avaya Aura announcements")},
        {"amazon-connect", "Amazon Connect", "wav8-ulaw", "wav8-ulaw", Layout::Flat, NameRule::Ascii, 0, 5 * 60,
         50'000'000, true, QT_TR_NOOP("Amazon Connect"), QT_TR_NOOP("Amazon Connect prompts")},
        {"genesys-cloud", "Genesys Cloud", "wav8-ulaw", "wav8-ulaw wav8 wav8-alaw wav16", Layout::Flat,
         NameRule::LetterWord, 0, 0, 25'000'000, false, QT_TR_NOOP("Genesys Cloud"),
         QT_TR_NOOP("Genesys Cloud prompts")},
        {"teams", "Microsoft Teams", "wav16", "wav16 wav8", Layout::Flat, NameRule::Ascii, 0, 0, 5'000'000, false,
         QT_TR_NOOP("Microsoft Teams"), QT_TR_NOOP("Microsoft Teams auto attendants and call queues")},
        {"3cx", "3CX", "wav8", "wav8", Layout::Flat, NameRule::Ascii, 0, 0, 0, false, QT_TR_NOOP("3CX"),
         QT_TR_NOOP("3CX prompts and music on hold")},
    };
    return targets;
}

const cTarget &cTarget::generic()
{
    return all().first();
}

const cTarget *cTarget::find(const QString &id)
{
    return cTableRows::find(all(), id);
}

const cTarget &cTarget::byId(const QString &id)
{
    const cTarget *const target = find(id);
    return target ? *target : generic();
}

QString cTarget::idList()
{
    return cTableRows::idList(all());
}

bool cTarget::isLanguage(const QString &code)
{
    static const QRegularExpression language(QStringLiteral("\\A[a-z]{2,3}(_[A-Za-z0-9]{2,8})?\\z"));
    return language.match(code).hasMatch();
}

bool cTarget::isGeneric() const
{
    return this == &generic();
}

QString cTarget::name() const
{
    return tr(nameText);
}

QString cTarget::purpose() const
{
    return tr(purposeText);
}

QStringList cTarget::formats() const
{
    return QString::fromLatin1(defaultFormats).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

bool cTarget::takes(const QString &formatId) const
{
    if (!cOutputFormat::find(formatId))
        return false;
    return !takenFormats || QString::fromLatin1(takenFormats).split(QLatin1Char(' ')).contains(formatId);
}

QString cTarget::ending(const cOutputFormat &format) const
{
    // Asterisk picks its reader by the ending: ".wav" is 8 kHz only.
    if (layout == Layout::Asterisk && format.ending() == QLatin1String("wav") && format.rate() == 16000)
        return QStringLiteral("wav16");
    return format.ending().toLower();
}

QString cTarget::folder(const cOutputFormat &format, const QString &language) const
{
    switch (layout) {
    case Layout::Asterisk:
        return isLanguage(language) ? language : QString();
    case Layout::RateFolders:
        return QString::number(format.rate());
    case Layout::Flat:
        break;
    }
    return QString();
}

bool cTarget::writesOneFile(const cOutputFormat &first, const cOutputFormat &second) const
{
    return ending(first) == ending(second) && folder(first) == folder(second);
}

bool cTarget::hasLanguageFolders() const
{
    return layout == Layout::Asterisk;
}

QString cTarget::stem(const QString &stem) const
{
    if (nameRule == NameRule::Kept)
        return stem;
    // What no ASCII spelling has, and what a file name on Windows can't hold.
    static const QRegularExpression unspellable(QStringLiteral("[^\\x20-\\x7e]|[\"*:<>?\\\\|]"));
    static const QRegularExpression blanks(QStringLiteral(" +"));
    static const QRegularExpression otherAtEnds(QStringLiteral("\\A[^A-Za-z0-9_]+|[^A-Za-z0-9_]+\\z"));
    static const QRegularExpression other(QStringLiteral("[^A-Za-z0-9_]+"));
    // Blanks at the ends of a name are an accident, or what dropping left.
    QString name = cOutputPath::asciiName(stem).remove(unspellable).trimmed();
    switch (nameRule) {
    case NameRule::Kept:
    case NameRule::Ascii:
        break;
    case NameRule::NoBlanks:
        name.replace(blanks, QStringLiteral("_"));
        break;
    case NameRule::Word:
    case NameRule::LetterWord:
        name.remove(otherAtEnds).replace(other, QStringLiteral("_"));
        if (nameRule == NameRule::LetterWord && !name.isEmpty() && !name.at(0).isLetter())
            name.prepend(QStringLiteral("sound_"));
        break;
    }
    if (maxNameLength > 0) {
        name.truncate(maxNameLength);
        // A blank the cut leaves at the end would not be seen.
        while (name.endsWith(QLatin1Char(' ')))
            name.chop(1);
    }
    return name.isEmpty() ? QStringLiteral("sound") : name;
}

std::optional<double> cTarget::maxSeconds() const
{
    return secondsLimit > 0 ? std::make_optional<double>(secondsLimit) : std::nullopt;
}

std::optional<qint64> cTarget::maxBytes() const
{
    return bytesLimit > 0 ? std::make_optional(bytesLimit) : std::nullopt;
}

cText cTarget::lengthRefusal(double seconds) const
{
    if (secondsLimit <= 0 || (under ? seconds < secondsLimit : seconds <= secondsLimit))
        return cText();
    return cText(context, QT_TRANSLATE_NOOP("cTarget", "Longer than %1 takes: %2, at most %3"),
                 {platform(), clock(seconds), clock(secondsLimit)});
}

cText cTarget::sizeRefusal(qint64 bytes) const
{
    if (bytesLimit <= 0 || (under ? bytes < bytesLimit : bytes <= bytesLimit))
        return cText();
    // Rounded up to a tenth, so that a file past the limit never reads as within it.
    const double megabytes = std::ceil(static_cast<double>(bytes) / 100'000) / 10;
    return cText(context, QT_TRANSLATE_NOOP("cTarget", "Larger than %1 takes: %2 MB, at most %3 MB"),
                 {platform(), QString::number(megabytes, 'f', 1), QString::number(bytesLimit / 1'000'000)});
}

cText cTarget::refusal(const QString &path, const cOutputFormat &format) const
{
    const QFileInfo info(path);
    // An upload is refused by its size before anything looks inside.
    if (const cText tooLarge = sizeRefusal(info.size()); !tooLarge.isEmpty())
        return tooLarge;
    const Coding &coding = codingOf(format);
    qint64 soundBytes = info.size();
    quint32 rate = format.rate();
    if (format.inputArgs().isEmpty()) {
        const cWavHeader header = cWavHeader::read(path);
        if (!header.valid)
            return cText(context, QT_TRANSLATE_NOOP("cTarget", "Not a WAV file: its header is missing or damaged"));
        // Asterisk reads ".wav" and ".wav16" as 16-bit PCM at one rate each.
        const QString suffix = info.suffix();
        const bool asteriskWav =
            layout == Layout::Asterisk && (suffix == QLatin1String("wav") || suffix == QLatin1String("wav16"));
        if (asteriskWav)
            rate = suffix == QLatin1String("wav16") ? 16000 : 8000;
        if (asteriskWav && header.tag != cWavHeader::pcm)
            return cText(context,
                         QT_TRANSLATE_NOOP("cTarget", "Coded as %1, but Asterisk plays a .%2 file only as 16-bit PCM"),
                         {codingName(header.tag), suffix});
        if (header.tag != coding.tag)
            return cText(context, QT_TRANSLATE_NOOP("cTarget", "Coded as %1, not %2 as its format says"),
                         {codingName(header.tag), codingName(coding.tag)});
        if (header.bits != coding.bits)
            return cText(context, QT_TRANSLATE_NOOP("cTarget", "Holds %1-bit samples, not %2-bit ones"),
                         {QString::number(header.bits), QString::number(coding.bits)});
        if (header.channels != 1)
            return cText(context, QT_TRANSLATE_NOOP("cTarget", "Not mono: it has %1 channels"),
                         {QString::number(header.channels)});
        if (header.rate != rate && asteriskWav)
            return cText(context,
                         QT_TRANSLATE_NOOP("cTarget", "Sampled at %1 Hz, but Asterisk plays a .%2 file only at %3 Hz"),
                         {QString::number(header.rate), suffix, QString::number(rate)});
        if (header.rate != rate)
            return cText(context, QT_TRANSLATE_NOOP("cTarget", "Sampled at %1 Hz, not %2 Hz as its format says"),
                         {QString::number(header.rate), QString::number(rate)});
        const qint64 following = header.fileBytes - header.dataOffset;
        // A writer that could not go back to its header leaves 0 or all ones there.
        if (header.dataBytes == 0xFFFFFFFFU || (header.dataBytes == 0 && following > 0))
            return cText(context, QT_TRANSLATE_NOOP("cTarget", "Unfinished: its data size was never filled in"));
        if (header.dataBytes > following)
            return cText(context,
                         QT_TRANSLATE_NOOP("cTarget", "Cut short: its header promises %1 bytes of sound, the file "
                                                      "holds %2"),
                         {QString::number(header.dataBytes), QString::number(following)});
        soundBytes = header.dataBytes;
    }
    if (soundBytes == 0)
        return cText(context, QT_TRANSLATE_NOOP("cTarget", "The file holds no sound"));
    if (soundBytes % coding.frameBytes != 0)
        return cText(context,
                     QT_TRANSLATE_NOOP("cTarget", "Cut short: %1 bytes of sound are not a whole number of %2-byte "
                                                  "frames"),
                     {QString::number(soundBytes), QString::number(coding.frameBytes)});
    return lengthRefusal(static_cast<double>(soundBytes) * coding.frameSamples / coding.frameBytes / rate);
}
