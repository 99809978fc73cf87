#pragma once

#include "workers/coutputformat.h"
#include "workers/ctext.h"

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <optional>

// The phone system the outputs are made for: which formats each source
// becomes, how the files are named and laid out, the limits the system puts
// on a file, and how it reads a file back. Every target is one row of a table
// in the source file; the generic one writes exactly what Marrowby always did.
class cTarget
{
    Q_DECLARE_TR_FUNCTIONS(cTarget)

public:
    // Every target, the generic one first.
    static const QList<cTarget> &all();
    // Any system: the format chosen, named as always, no limits.
    static const cTarget &generic();
    // The target of that ID; nullptr for none.
    static const cTarget *find(const QString &id);
    // The target of that ID; the generic one for an unknown or empty ID.
    static const cTarget &byId(const QString &id);
    // Every ID, in the table's order, separated by ", ".
    static QString idList();
    // Whether code names a language folder ("en", "fr_CA", "pt_BR").
    static bool isLanguage(const QString &code);

    QString id() const { return QLatin1String(idText); }
    // The product's name as reasons name it ("Amazon Connect"); empty for
    // the generic target.
    QString platform() const { return QString::fromUtf8(platformText); }
    bool isGeneric() const;
    // Its short name, for a menu, and what it is for, in the language installed.
    QString name() const;
    QString purpose() const;

    // The IDs of the formats each source becomes unless the user narrows the
    // set, in the table's order; empty for the generic target, which writes
    // the format chosen.
    QStringList formats() const;
    // Whether the user may choose that format for this target: one its
    // system plays as written. The generic target takes every format.
    bool takes(const QString &formatId) const;

    // The ending, without the dot, of an output in that format: lower-case,
    // and for Asterisk "wav16" for a 16 kHz WAV file, which its ".wav" reader
    // refuses.
    QString ending(const cOutputFormat &format) const;
    // The folder inside the output folder that an output in that format goes
    // to: the rate for FreeSWITCH ("16000"), the language for Asterisk when
    // one is given and valid ("en"); empty for none.
    QString folder(const cOutputFormat &format, const QString &language = QString()) const;
    // Whether outputs in the two formats would be one file: the same ending
    // in the same folder.
    bool writesOneFile(const cOutputFormat &first, const cOutputFormat &second) const;
    // Whether the target lays out its files in language folders.
    bool hasLanguageFolders() const;

    // The output's name without its ending as the target takes it. The
    // generic target keeps it as it is. Every other one spells it in ASCII,
    // other scripts transliterated as safe names are, drops what has no ASCII
    // spelling, what Windows refuses in a file name ("*:<>?\|) and blanks at
    // the ends, then applies its own rule: no blanks (each run one "_"), only
    // letters, digits and "_" (every other run one "_", none at the ends), a
    // letter first ("sound_" put in front), or a longest name (cut there).
    // Case is kept. "sound" when nothing is left.
    QString stem(const QString &stem) const;

    // The longest sound and the largest file the target takes; none for no
    // limit. Some platforms take only what stays under a limit: the refusals
    // below are what compares.
    std::optional<double> maxSeconds() const;
    std::optional<qint64> maxBytes() const;
    // Why a sound of that length, or a file of that size, is refused ("Longer
    // than Amazon Connect takes: 6:12, at most 5:00"); empty when it is taken.
    cText lengthRefusal(double seconds) const;
    cText sizeRefusal(qint64 bytes) const;

    // Opens a written output in that format as the target's system reads it
    // and says why the system would refuse it: a WAV header that is not what
    // the format and target want (coding, bits, mono, rate), a data size
    // never filled in or past the end of the file, a raw file cut short in a
    // frame, a size or length beyond the limits. Empty when it would be taken.
    cText refusal(const QString &path, const cOutputFormat &format) const;

private:
    // How the name is brought into the target's alphabet.
    enum class NameRule
    {
        Kept,       // as it is
        Ascii,      // spelt in ASCII
        NoBlanks,   // and no blanks
        Word,       // and only letters, digits and "_"
        LetterWord, // and a letter first
    };
    // Where the files go and which ending they get.
    enum class Layout
    {
        Flat,
        Asterisk,    // endings by rate, language folders
        RateFolders, // a folder per rate
    };

    cTarget(const char *id, const char *platform, const char *formats, const char *taken, Layout layout,
            NameRule nameRule, int maxNameLength, int maxSeconds, qint64 maxBytes, bool under, const char *name,
            const char *purpose)
        : idText(id), platformText(platform), defaultFormats(formats), takenFormats(taken), layout(layout),
          nameRule(nameRule), maxNameLength(maxNameLength), secondsLimit(maxSeconds), bytesLimit(maxBytes),
          under(under), nameText(name), purposeText(purpose)
    {}

    const char *idText;
    const char *platformText;
    const char *defaultFormats; // format IDs separated by blanks
    const char *takenFormats;   // the same; nullptr for every format
    Layout layout;
    NameRule nameRule;
    int maxNameLength;       // 0 for none
    int secondsLimit;        // 0 for none
    qint64 bytesLimit;       // 0 for none
    bool under;              // a file must stay under the limits, not reach them
    const char *nameText;    // marked with QT_TR_NOOP
    const char *purposeText; // marked with QT_TR_NOOP
};
