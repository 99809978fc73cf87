#include "support/testsupport.h"
#include "workers/coutputformat.h"
#include "workers/ctarget.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

using namespace TestSupport;

namespace {

// A mono WAV file whose format chunk is WAVE_FORMAT_EXTENSIBLE with the given
// sub-format, holding a second of 8 kHz samples of that coding.
QByteArray extensibleWav(quint16 subFormat, quint16 bits)
{
    const quint32 dataBytes = 8000 * bits / 8;
    QByteArray format(40, '\0');
    char *const at = format.data();
    qToLittleEndian<quint16>(0xFFFE, at);
    qToLittleEndian<quint16>(1, at + 2);
    qToLittleEndian<quint32>(8000, at + 4);
    qToLittleEndian<quint32>(8000 * bits / 8, at + 8);
    qToLittleEndian<quint16>(bits / 8, at + 12);
    qToLittleEndian<quint16>(bits, at + 14);
    qToLittleEndian<quint16>(22, at + 16);
    qToLittleEndian<quint16>(bits, at + 18);
    qToLittleEndian<quint32>(4, at + 20);
    // The sub-format GUID: the coding's tag, then the standard tail.
    qToLittleEndian<quint16>(subFormat, at + 24);
    format.replace(28, 12, QByteArray::fromHex("00001000800000aa00389b71"));
    QByteArray sizes(8, '\0');
    qToLittleEndian<quint32>(4 + 8 + 40 + 8 + dataBytes, sizes.data());
    qToLittleEndian<quint32>(dataBytes, sizes.data() + 4);
    return "RIFF" + sizes.left(4) + "WAVEfmt " + QByteArray::fromHex("28000000") + format + "data" + sizes.mid(4) +
           QByteArray(static_cast<int>(dataBytes), '\x7f');
}

// Writes seconds of a tone with the real ffmpeg through the output options.
bool makeWithFfmpeg(const QString &path, double seconds, const QStringList &outputArgs)
{
    return QProcess::execute(QStringLiteral("ffmpeg"), QStringList{"-v", "error", "-y", "-f", "lavfi", "-i",
                                                                   QStringLiteral("sine=duration=%1").arg(seconds)} +
                                                           outputArgs + QStringList{path}) == 0;
}

} // namespace

// The phone systems' presets as values: names, endings, folders and limits
// without running anything; the read-back on files ffmpeg wrote and on files
// made wrong by hand.
class tst_cTarget : public QObject
{
    Q_OBJECT

private slots:
    void table();
    void stem_data();
    void stem();
    void layout_data();
    void layout();
    void takes_data();
    void takes();
    void limits_data();
    void limits();
    void readsBackWhatFfmpegWrites_data();
    void readsBackWhatFfmpegWrites();
    void refusesWrongFiles_data();
    void refusesWrongFiles();

private:
    QTemporaryDir work;
};

void tst_cTarget::table()
{
    QCOMPARE(cTarget::idList(), "generic, asterisk, freeswitch, cisco-ucm-moh, cisco-uccx, avaya-aura, amazon-connect, "
                                "genesys-cloud, teams, 3cx");
    QVERIFY(cTarget::byId(QString()).isGeneric());
    QVERIFY(cTarget::byId(QStringLiteral("pbx")).isGeneric());
    QVERIFY(!cTarget::find(QStringLiteral("pbx")));
    QVERIFY(cTarget::generic().formats().isEmpty());
    for (const cTarget &target : cTarget::all()) {
        QVERIFY2(!target.name().isEmpty() && !target.purpose().isEmpty(), qPrintable(target.id()));
        QCOMPARE(target.platform().isEmpty(), target.isGeneric());
        // What a target writes by default, it takes.
        for (const QString &format : target.formats())
            QVERIFY2(target.takes(format), qPrintable(target.id() + QLatin1Char(' ') + format));
        QVERIFY2(target.isGeneric() || !target.formats().isEmpty(), qPrintable(target.id()));
    }
    QCOMPARE(cTarget::byId(QStringLiteral("asterisk")).formats(), (QStringList{"ulaw", "alaw", "g722", "sln16"}));
    QCOMPARE(cTarget::byId(QStringLiteral("freeswitch")).formats(), (QStringList{"wav8", "wav16"}));
}

void tst_cTarget::stem_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("stem");
    QTest::addColumn<QString>("expected");

    QTest::newRow("generic keeps every name") << "generic"
                                              << "Запись: номер 1 "
                                              << "Запись: номер 1 ";
    QTest::newRow("asterisk: Cyrillic spelt in ASCII, case kept") << "asterisk"
                                                                  << "Запись номер 1"
                                                                  << "Zapis' nomer 1";
    QTest::newRow("freeswitch: what Windows refuses dropped") << "freeswitch"
                                                              << "Объявление"
                                                              << "Obavlenie";
    QTest::newRow("3cx: no ASCII spelling, dropped with the blank") << "3cx"
                                                                    << "naïve café 😀"
                                                                    << "naive cafe";
    QTest::newRow("teams: punctuation Windows takes is kept") << "teams"
                                                              << "Hold (v2) - final"
                                                              << "Hold (v2) - final";
    QTest::newRow("cisco-ucm-moh: each run of blanks one _") << "cisco-ucm-moh"
                                                             << " Hold  music 2024-1 "
                                                             << "Hold_music_2024-1";
    QTest::newRow("cisco-uccx: other runs one _, none at the ends") << "cisco-uccx"
                                                                    << "(Main menu) - day!"
                                                                    << "Main_menu_day";
    QTest::newRow("cisco-uccx: the name's own _ kept") << "cisco-uccx"
                                                       << "_intro_"
                                                       << "_intro_";
    QTest::newRow("cisco-uccx: Cyrillic") << "cisco-uccx"
                                          << "Приветствие, день"
                                          << "Privetstvie_den";
    QTest::newRow("avaya-aura: cut at 27, no blank left at the end") << "avaya-aura"
                                                                     << "Welcome to the after hours message"
                                                                     << "Welcome to the after hours";
    QTest::newRow("avaya-aura: 27 kept whole") << "avaya-aura"
                                               << "abcdefghijklmnopqrstuvwxyz1"
                                               << "abcdefghijklmnopqrstuvwxyz1";
    QTest::newRow("avaya-aura: German") << "avaya-aura"
                                        << "Größe"
                                        << "Grosse";
    QTest::newRow("genesys-cloud: a letter first") << "genesys-cloud"
                                                   << "1st greeting"
                                                   << "sound_1st_greeting";
    QTest::newRow("genesys-cloud: _ first is not a letter") << "genesys-cloud"
                                                            << "_a"
                                                            << "sound__a";
    QTest::newRow("genesys-cloud: Chinese") << "genesys-cloud"
                                            << "你好"
                                            << "ni_hao";
    QTest::newRow("genesys-cloud: nothing left") << "genesys-cloud"
                                                 << "😀"
                                                 << "sound";
    QTest::newRow("amazon-connect: nothing left") << "amazon-connect"
                                                  << " ?*"
                                                  << "sound";
}

void tst_cTarget::stem()
{
    QFETCH(QString, target);
    QFETCH(QString, stem);
    QFETCH(QString, expected);
    QCOMPARE(cTarget::byId(target).stem(stem), expected);
}

void tst_cTarget::layout_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("ending");
    QTest::addColumn<QString>("folder");

    QTest::newRow("generic: the format's own") << "generic"
                                               << "wav16"
                                               << "en"
                                               << "wav" << QString();
    QTest::newRow("asterisk: 16 kHz WAV is .wav16") << "asterisk"
                                                    << "wav16" << QString() << "wav16" << QString();
    QTest::newRow("asterisk: 8 kHz WAV is .wav") << "asterisk"
                                                 << "wav8" << QString() << "wav" << QString();
    QTest::newRow("asterisk: a language folder") << "asterisk"
                                                 << "ulaw"
                                                 << "en"
                                                 << "ulaw"
                                                 << "en";
    QTest::newRow("asterisk: a regional language") << "asterisk"
                                                   << "sln16"
                                                   << "fr_CA"
                                                   << "sln16"
                                                   << "fr_CA";
    QTest::newRow("asterisk: no folder out of the output folder") << "asterisk"
                                                                  << "g722"
                                                                  << "../en"
                                                                  << "g722" << QString();
    QTest::newRow("freeswitch: 8000/") << "freeswitch"
                                       << "wav8" << QString() << "wav"
                                       << "8000";
    QTest::newRow("freeswitch: 48000/, no language") << "freeswitch"
                                                     << "wav48"
                                                     << "en"
                                                     << "wav"
                                                     << "48000";
    QTest::newRow("teams: flat") << "teams"
                                 << "wav16"
                                 << "en"
                                 << "wav" << QString();
}

void tst_cTarget::layout()
{
    QFETCH(QString, target);
    QFETCH(QString, format);
    QFETCH(QString, language);
    QFETCH(QString, ending);
    QFETCH(QString, folder);
    const cOutputFormat *const written = cOutputFormat::find(format);
    QVERIFY(written);
    QCOMPARE(cTarget::byId(target).ending(*written), ending);
    QCOMPARE(cTarget::byId(target).folder(*written, language), folder);
}

void tst_cTarget::takes_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("format");
    QTest::addColumn<bool>("taken");

    QTest::newRow("generic: any format") << "generic"
                                         << "gsm" << true;
    QTest::newRow("generic: no unknown one") << "generic"
                                             << "mp3" << false;
    QTest::newRow("asterisk: raw µ-law") << "asterisk"
                                         << "ulaw" << true;
    QTest::newRow("asterisk: 16 kHz WAV") << "asterisk"
                                          << "wav16" << true;
    QTest::newRow("asterisk: never a µ-law WAV") << "asterisk"
                                                 << "wav8-ulaw" << false;
    QTest::newRow("asterisk: never an A-law WAV") << "asterisk"
                                                  << "wav8-alaw" << false;
    QTest::newRow("freeswitch: 32 kHz WAV") << "freeswitch"
                                            << "wav32" << true;
    QTest::newRow("freeswitch: no raw file") << "freeswitch"
                                             << "ulaw" << false;
    QTest::newRow("cisco-uccx: A-law WAV") << "cisco-uccx"
                                           << "wav8-alaw" << true;
    QTest::newRow("cisco-uccx: no PCM WAV") << "cisco-uccx"
                                            << "wav8" << false;
    QTest::newRow("avaya-aura: A-law WAV") << "avaya-aura"
                                           << "wav8-alaw" << true;
    QTest::newRow("amazon-connect: µ-law only") << "amazon-connect"
                                                << "wav8" << false;
    QTest::newRow("cisco-ucm-moh: 8 kHz only") << "cisco-ucm-moh"
                                               << "wav16" << false;
}

void tst_cTarget::takes()
{
    QFETCH(QString, target);
    QFETCH(QString, format);
    QFETCH(bool, taken);
    QCOMPARE(cTarget::byId(target).takes(format), taken);
}

void tst_cTarget::limits_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<double>("seconds"); // -1: only the size is asked
    QTest::addColumn<qint64>("bytes");   // -1: only the length is asked
    QTest::addColumn<QString>("reason");

    QTest::newRow("amazon-connect: 6:12")
        << "amazon-connect" << 372.0 << qint64(-1) << "Longer than Amazon Connect takes: 6:12, at most 5:00";
    QTest::newRow("amazon-connect: just under 5:00") << "amazon-connect" << 299.9 << qint64(-1) << QString();
    QTest::newRow("amazon-connect: 5:00 is not under 5 minutes")
        << "amazon-connect" << 300.0 << qint64(-1) << "Longer than Amazon Connect takes: 5:00, at most 5:00";
    QTest::newRow("amazon-connect: a fraction over reads as over")
        << "amazon-connect" << 300.2 << qint64(-1) << "Longer than Amazon Connect takes: 5:01, at most 5:00";
    QTest::newRow("amazon-connect: hours")
        << "amazon-connect" << 3723.0 << qint64(-1) << "Longer than Amazon Connect takes: 1:02:03, at most 5:00";
    QTest::newRow("amazon-connect: 50 MB is not under 50 MB")
        << "amazon-connect" << -1.0 << qint64(50'000'000) << "Larger than Amazon Connect takes: 50.0 MB, at most 50 MB";
    QTest::newRow("genesys-cloud: 31.2 MB")
        << "genesys-cloud" << -1.0 << qint64(31'200'000) << "Larger than Genesys Cloud takes: 31.2 MB, at most 25 MB";
    QTest::newRow("genesys-cloud: 25 MB is at most 25 MB")
        << "genesys-cloud" << -1.0 << qint64(25'000'000) << QString();
    QTest::newRow("genesys-cloud: a byte over reads as over")
        << "genesys-cloud" << -1.0 << qint64(25'000'001) << "Larger than Genesys Cloud takes: 25.1 MB, at most 25 MB";
    QTest::newRow("genesys-cloud: no length limit") << "genesys-cloud" << 7200.0 << qint64(-1) << QString();
    QTest::newRow("teams: 5 MB") << "teams" << -1.0 << qint64(6'000'000)
                                 << "Larger than Microsoft Teams takes: 6.0 MB, at most 5 MB";
    QTest::newRow("generic: no limits") << "generic" << 36000.0 << qint64(4'000'000'000) << QString();
}

void tst_cTarget::limits()
{
    QFETCH(QString, target);
    QFETCH(double, seconds);
    QFETCH(qint64, bytes);
    QFETCH(QString, reason);
    const cTarget &chosen = cTarget::byId(target);
    if (seconds >= 0)
        QCOMPARE(chosen.lengthRefusal(seconds).toString(), reason);
    if (bytes >= 0)
        QCOMPARE(chosen.sizeRefusal(bytes).toString(), reason);
    if (target == QLatin1String("amazon-connect"))
        QCOMPARE(chosen.maxSeconds(), std::optional<double>(300));
}

void tst_cTarget::readsBackWhatFfmpegWrites_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("format");
    for (const cTarget &target : cTarget::all()) {
        for (const cOutputFormat &format : cOutputFormat::all()) {
            if (target.takes(format.id()))
                QTest::addRow("%s %s", qPrintable(target.id()), qPrintable(format.id())) << target.id() << format.id();
        }
    }
}

// Every format a target takes, as the converter writes it (tags and the
// encoder's mark in the header, unlike clean files), is read back as taken.
void tst_cTarget::readsBackWhatFfmpegWrites()
{
    QFETCH(QString, target);
    QFETCH(QString, format);
    const cTarget &chosen = cTarget::byId(target);
    const cOutputFormat &written = cOutputFormat::byId(format);
    const QString folder = work.filePath(target + QLatin1Char('/') + chosen.folder(written, QStringLiteral("en")));
    QVERIFY(QDir().mkpath(folder));
    const QString output = folder + QLatin1Char('/') + chosen.stem(QStringLiteral("Главное меню")) + QLatin1Char('.') +
                           chosen.ending(written);
    QVERIFY(makeWithFfmpeg(output, 1.5, written.outputArgs(false)));
    QCOMPARE(chosen.refusal(output, written).toString(), QString());
}

void tst_cTarget::refusesWrongFiles_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("ffmpeg"); // output options for a second of a tone; empty: content is the file
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<qint64>("resize"); // cut or stretched (sparse) to so many bytes; -1: as it is
    QTest::addColumn<int>("patchAt");   // where patch overwrites the file
    QTest::addColumn<QByteArray>("patch");
    QTest::addColumn<QString>("reason");

    const QStringList pcm8{"-ar", "8000", "-ac", "1", "-fflags", "+bitexact"};
    const QByteArray none;
    const QByteArray ones("\xff\xff\xff\xff");
    QTest::newRow("16 kHz PCM as an Asterisk .wav")
        << "asterisk"
        << "wav8"
        << "a.wav" << QStringList{"-ar", "16000", "-ac", "1"} << none << qint64(-1) << 0 << none
        << "Sampled at 16000 Hz, but Asterisk plays a .wav file only at 8000 Hz";
    QTest::newRow("8 kHz PCM as an Asterisk .wav16")
        << "asterisk"
        << "wav16"
        << "a.wav16" << pcm8 + QStringList{"-f", "wav"} << none << qint64(-1) << 0 << none
        << "Sampled at 8000 Hz, but Asterisk plays a .wav16 file only at 16000 Hz";
    QTest::newRow("µ-law as an Asterisk .wav")
        << "asterisk"
        << "wav8"
        << "a.wav" << QStringList{"-ar", "8000", "-ac", "1", "-c:a", "pcm_mulaw"} << none << qint64(-1) << 0 << none
        << "Coded as µ-law, but Asterisk plays a .wav file only as 16-bit PCM";
    QTest::newRow("extensible µ-law as an Asterisk .wav")
        << "asterisk"
        << "wav8"
        << "a.wav" << QStringList() << extensibleWav(7, 8) << qint64(-1) << 0 << none
        << "Coded as µ-law, but Asterisk plays a .wav file only as 16-bit PCM";
    QTest::newRow("extensible PCM is PCM")
        << "asterisk"
        << "wav8"
        << "a.wav" << QStringList() << extensibleWav(1, 16) << qint64(-1) << 0 << none << QString();
    QTest::newRow(".sln of an odd size") << "asterisk"
                                         << "sln"
                                         << "a.sln" << QStringList{"-ar", "8000", "-ac", "1", "-f", "s16le"} << none
                                         << qint64(16001) << 0 << none
                                         << "Cut short: 16001 bytes of sound are not a whole number of 2-byte frames";
    QTest::newRow(".gsm of 40 bytes") << "asterisk"
                                      << "gsm"
                                      << "a.gsm" << QStringList() << QByteArray(40, 'x') << qint64(-1) << 0 << none
                                      << "Cut short: 40 bytes of sound are not a whole number of 33-byte frames";
    QTest::newRow("an empty .ulaw") << "asterisk"
                                    << "ulaw"
                                    << "a.ulaw" << QStringList() << none << qint64(-1) << 0 << none
                                    << "The file holds no sound";
    QTest::newRow("PCM where µ-law is asked")
        << "cisco-uccx"
        << "wav8-ulaw"
        << "a.wav" << pcm8 << none << qint64(-1) << 0 << none << "Coded as PCM, not µ-law as its format says";
    QTest::newRow("µ-law where A-law is asked")
        << "avaya-aura"
        << "wav8-alaw"
        << "a.wav" << QStringList{"-ar", "8000", "-ac", "1", "-c:a", "pcm_mulaw"} << none << qint64(-1) << 0 << none
        << "Coded as µ-law, not A-law as its format says";
    QTest::newRow("8 kHz in the 16000 folder")
        << "freeswitch"
        << "wav16"
        << "a.wav" << pcm8 << none << qint64(-1) << 0 << none << "Sampled at 8000 Hz, not 16000 Hz as its format says";
    QTest::newRow("stereo") << "3cx"
                            << "wav8"
                            << "a.wav" << QStringList{"-ar", "8000", "-ac", "2"} << none << qint64(-1) << 0 << none
                            << "Not mono: it has 2 channels";
    QTest::newRow("8-bit PCM") << "teams"
                               << "wav16"
                               << "a.wav" << QStringList{"-ar", "16000", "-ac", "1", "-c:a", "pcm_u8"} << none
                               << qint64(-1) << 0 << none << "Holds 8-bit samples, not 16-bit ones";
    QTest::newRow("a data size left as all ones")
        << "3cx"
        << "wav8"
        << "a.wav" << pcm8 << none << qint64(-1) << 40 << ones << "Unfinished: its data size was never filled in";
    QTest::newRow("a data size left at 0") << "generic"
                                           << "wav8"
                                           << "a.wav" << pcm8 << none << qint64(-1) << 40 << QByteArray(4, '\0')
                                           << "Unfinished: its data size was never filled in";
    QTest::newRow("cut short in its data")
        << "cisco-ucm-moh"
        << "wav8"
        << "a.wav" << pcm8 << none << qint64(44 + 15900) << 0 << none
        << "Cut short: its header promises 16000 bytes of sound, the file holds 15900";
    QTest::newRow("not a WAV file") << "generic"
                                    << "wav8"
                                    << "a.wav" << QStringList() << QByteArray(400, '\x55') << qint64(-1) << 0 << none
                                    << "Not a WAV file: its header is missing or damaged";
    QTest::newRow("over the size limit, sparse") << "genesys-cloud"
                                                 << "wav8-ulaw"
                                                 << "a.wav" << QStringList() << none << qint64(31'200'000) << 0 << none
                                                 << "Larger than Genesys Cloud takes: 31.2 MB, at most 25 MB";
    QTest::newRow("over the length limit, declared in the header")
        << "amazon-connect"
        << "wav8-ulaw"
        << "a.wav" << QStringList{"-ar", "8000", "-ac", "1", "-c:a", "pcm_mulaw", "-fflags", "+bitexact"} << none
        << qint64(58 + 372 * 8000) << 54 << QByteArray::fromHex("00692d00")
        << "Longer than Amazon Connect takes: 6:12, at most 5:00";
}

// Each file is made as a faulty writer, a wrong choice or a damaged disk
// would leave it, then read back as the target's system would read it.
void tst_cTarget::refusesWrongFiles()
{
    QFETCH(QString, target);
    QFETCH(QString, format);
    QFETCH(QString, name);
    QFETCH(QStringList, ffmpeg);
    QFETCH(QByteArray, content);
    QFETCH(qint64, resize);
    QFETCH(int, patchAt);
    QFETCH(QByteArray, patch);
    QFETCH(QString, reason);
    const QString path = work.filePath(QStringLiteral("wrong-") + QTest::currentDataTag() + QLatin1Char('/') + name);
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    if (ffmpeg.isEmpty())
        QVERIFY(writeFile(path, content));
    else
        QVERIFY(makeWithFfmpeg(path, 1, ffmpeg));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    if (resize >= 0)
        QVERIFY(file.resize(resize));
    if (!patch.isEmpty())
        QVERIFY(file.seek(patchAt) && file.write(patch) == patch.size());
    file.close();
    QCOMPARE(cTarget::byId(target).refusal(path, cOutputFormat::byId(format)).toString(), reason);
}

QTEST_GUILESS_MAIN(tst_cTarget)
#include "tst_ctarget.moc"
