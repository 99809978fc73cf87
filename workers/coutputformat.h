#pragma once

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>

// One output format a phone system asks for: its stable name (what the
// settings and the command line store), the ending its files get, how the
// converter program writes it and reads it back, and what it is for. Every
// format is one row of a table in the source file.
class cOutputFormat
{
    Q_DECLARE_TR_FUNCTIONS(cOutputFormat)

public:
    // Every format, the standard one first.
    static const QList<cOutputFormat> &all();
    // 8 kHz 16-bit PCM WAV, what Marrowby has always written.
    static const cOutputFormat &standard();
    // The format of that ID; nullptr for none.
    static const cOutputFormat *find(const QString &id);
    // The format of that ID; the standard one for an unknown or empty ID.
    static const cOutputFormat &byId(const QString &id);
    // Every ID, in the table's order, separated by ", ".
    static QString idList();

    QString id() const { return QLatin1String(idText); }
    // Without the dot: "wav", "ulaw".
    QString ending() const { return QLatin1String(endingText); }
    int rate() const { return sampleRate; }
    // The converter program's encoder: "pcm_s16le", "pcm_mulaw", "g722".
    QString encoder() const { return QLatin1String(codec ? codec : "pcm_s16le"); }
    bool isStandard() const;
    // Its short name, for a menu, and what it is for, in the language installed.
    QString name() const;
    QString purpose() const;
    // The converter program's output options. The standard format writes
    // exactly what it always did unless clean files are asked for; the others
    // always carry no tags of the source and no mark of the encoder.
    QStringList outputArgs(bool clean) const;
    // The options that let the converter program read such a file back, put
    // before its "-i": empty for a WAV file, which says its own format.
    QStringList inputArgs() const;
    // Decibels kept below the peak ceiling beyond the usual, for a codec whose
    // coding moves peaks up.
    double peakMargin() const { return codecMargin; }

private:
    cOutputFormat(const char *id, const char *ending, int rate, const char *codec, const char *muxer,
                  const char *readBack, double codecMargin, const char *name, const char *purpose)
        : idText(id), endingText(ending), sampleRate(rate), codec(codec), muxer(muxer), readBack(readBack),
          codecMargin(codecMargin), nameText(name), purposeText(purpose)
    {}

    const char *idText;
    const char *endingText;
    int sampleRate;
    const char *codec;    // nullptr: the one the ending implies
    const char *muxer;    // nullptr: the one the ending implies
    const char *readBack; // input options for a file without a header
    double codecMargin;
    const char *nameText;    // marked with QT_TR_NOOP
    const char *purposeText; // marked with QT_TR_NOOP
};
