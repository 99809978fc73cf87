#include "bass.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <sys/stat.h>

// The audio layer on SDL's disk driver: what is played lands in a capture file
// as raw 16-bit samples in the format the device was opened with.
namespace {

// A sample pattern with no zero in it, so that leading and trailing silence
// can be cut off the capture exactly.
QList<qint16> testSamples(int frames, int channels)
{
    QList<qint16> samples;
    for (int i = 0; i < frames; ++i) {
        for (int c = 0; c < channels; ++c) {
            const int v = 500 + (i * 7 + c * 3001) % 15000;
            samples.append(static_cast<qint16>(i % 2 == 0 ? v : -v));
        }
    }
    return samples;
}

} // namespace

using TestSupport::isOpenInThisProcess;
using TestSupport::loudFrames;
using TestSupport::openDescriptors;
using TestSupport::readSamples;
using TestSupport::withoutSilence;

class tst_AudioLayer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void playsEveryFrameUnchanged_data();
    void playsEveryFrameUnchanged();
    void rejectsFilesItCannotPlay_data();
    void rejectsFilesItCannotPlay();
    void invalidHandlesAndDoubleFreesFail();
    void initArguments_data();
    void initArguments();
    void streamArgumentsAndBusy();
    void errorCodeIsPerThread();
    void freeStopsTheSoundAndReleasesEverything();
    void noOutputDevice_data();
    void noOutputDevice();

private:
    QString path(const QString &name) const { return dir.filePath(name); }
    QString toneWav() const { return path(QStringLiteral("tone.wav")); }

    QTemporaryDir dir;
    QString capture;
};

void tst_AudioLayer::initTestCase()
{
    QVERIFY(dir.isValid());
    QVERIFY(TestSupport::makeTone(toneWav(), 0.3));
    capture = path(QStringLiteral("capture.raw"));
}

void tst_AudioLayer::init()
{
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(capture));
    QFile::remove(capture);
}

// Leaves the layer free for the next test whatever failed.
void tst_AudioLayer::cleanup()
{
    BASS_Free();
}

void tst_AudioLayer::playsEveryFrameUnchanged_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("channels");
    // The disk driver writes through a stdio stream, which holds back writes
    // smaller than a 4 KiB block; device buffers of whole blocks reach the file
    // at once, so there the file shows what the device has got.
    QTest::addColumn<bool>("wholeBlocks");
    QTest::newRow("44.1 kHz stereo") << 44100 << 2 << true;
    QTest::newRow("8 kHz mono, the device's first format") << 8000 << 1 << false;
    QTest::newRow("48 kHz, six channels") << 48000 << 6 << true;
}

void tst_AudioLayer::playsEveryFrameUnchanged()
{
    QFETCH(int, rate);
    QFETCH(int, channels);
    QFETCH(bool, wholeBlocks);
    const QList<qint16> samples = testSamples(rate / 4, channels);
    const QString wav = path(QStringLiteral("frames.wav"));
    QVERIFY(TestSupport::writeWav(wav, rate, channels, samples));

    QCOMPARE(BASS_Init(1, 8000, 0, nullptr, nullptr), 1);
    const quint32 handle = BASS_StreamCreateFile(0, QFile::encodeName(wav).constData(), 0, 0, 0);
    QVERIFY(handle != 0);
    QCOMPARE(BASS_ChannelIsActive(handle), quint32{MB_AUDIO_INACTIVE});
    QCOMPARE(BASS_ChannelPlay(handle, 0), 1);
    QCOMPARE(BASS_ErrorGetCode(), MB_AUDIO_OK);
    QCOMPARE(BASS_ChannelIsActive(handle), quint32{MB_AUDIO_PLAYING});
    QTRY_COMPARE_WITH_TIMEOUT(BASS_ChannelIsActive(handle), quint32{MB_AUDIO_INACTIVE}, 8000);
    QCOMPARE(BASS_ErrorGetCode(), MB_AUDIO_OK);
    if (wholeBlocks)
        QCOMPARE(withoutSilence(readSamples(capture), channels).size(), samples.size());
    QCOMPARE(BASS_StreamFree(handle), 1);
    QCOMPARE(BASS_Free(), 1);

    // Every frame arrived, in order and unchanged, and nothing else but silence.
    QCOMPARE(withoutSilence(readSamples(capture), channels), samples);
}

void tst_AudioLayer::rejectsFilesItCannotPlay_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("error");
    const QByteArray none;
    QTest::newRow("missing") << "missing.wav" << none << int{MB_AUDIO_ERR_FILE_OPEN};
    QTest::newRow("empty name") << "" << none << int{MB_AUDIO_ERR_FILE_OPEN};
    QTest::newRow("a folder") << "folder" << none << int{MB_AUDIO_ERR_FILE_OPEN};
    QTest::newRow("named pipe, no writer") << "pipe.wav" << none << int{MB_AUDIO_ERR_FILE_OPEN};
    QTest::newRow("empty file") << "empty.wav" << QByteArray("") << int{MB_AUDIO_ERR_FILE_FORMAT};
    QTest::newRow("text called .mp3") << "text.mp3" << QByteArray("not a sound at all\n").repeated(50)
                                      << int{MB_AUDIO_ERR_FILE_FORMAT};
    QTest::newRow("WAV cut inside its header")
        << "cut.wav" << QByteArray("RIFF\x24\x10\0\0WAVEfmt \x10\0", 18) << int{MB_AUDIO_ERR_FILE_FORMAT};
}

void tst_AudioLayer::rejectsFilesItCannotPlay()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(int, error);
    const QString file = name.isEmpty() ? QString() : path(name);
    if (name == QLatin1String("folder"))
        QVERIFY(QDir(dir.path()).mkpath(name));
    if (name == QLatin1String("pipe.wav"))
        QVERIFY(QFile::exists(file) || ::mkfifo(QFile::encodeName(file).constData(), 0600) == 0);
    if (!content.isNull())
        QVERIFY(TestSupport::writeFile(file, content));

    QCOMPARE(BASS_Init(1, 8000, 0, nullptr, nullptr), 1);
    const qsizetype descriptors = openDescriptors();
    QCOMPARE(BASS_StreamCreateFile(0, QFile::encodeName(file).constData(), 0, 0, 0), quint32{0});
    QCOMPARE(BASS_ErrorGetCode(), error);
    QCOMPARE(openDescriptors(), descriptors);
    QCOMPARE(BASS_Free(), 1);
}

void tst_AudioLayer::invalidHandlesAndDoubleFreesFail()
{
    const auto expectFailure = [](qint64 result, qint64 failed, int error) {
        return result == failed && BASS_ErrorGetCode() == error;
    };
    const QByteArray wav = QFile::encodeName(toneWav());
    QCOMPARE(BASS_Init(1, 8000, 0, nullptr, nullptr), 1);
    const quint32 handle = BASS_StreamCreateFile(0, wav.constData(), 0, 0, 0);
    QVERIFY(handle != 0);

    for (const quint32 wrong : {quint32{0}, handle + 1, ~handle}) {
        QVERIFY(expectFailure(BASS_ChannelPlay(wrong, 0), 0, MB_AUDIO_ERR_BAD_HANDLE));
        QVERIFY(expectFailure(BASS_ChannelIsActive(wrong), MB_AUDIO_INACTIVE, MB_AUDIO_ERR_BAD_HANDLE));
        QVERIFY(expectFailure(BASS_StreamFree(wrong), 0, MB_AUDIO_ERR_BAD_HANDLE));
    }

    QCOMPARE(BASS_ChannelPlay(handle, 0), 1);
    QCOMPARE(BASS_StreamFree(handle), 1);
    QVERIFY(!isOpenInThisProcess(toneWav()));
    QVERIFY(expectFailure(BASS_StreamFree(handle), 0, MB_AUDIO_ERR_BAD_HANDLE));
    QVERIFY(expectFailure(BASS_ChannelPlay(handle, 1), 0, MB_AUDIO_ERR_BAD_HANDLE));
    QVERIFY(expectFailure(BASS_ChannelIsActive(handle), MB_AUDIO_INACTIVE, MB_AUDIO_ERR_BAD_HANDLE));

    // A freed handle is not handed out again.
    const quint32 next = BASS_StreamCreateFile(0, wav.constData(), 0, 0, 0);
    QVERIFY(next != 0);
    QVERIFY(next != handle);
    QVERIFY(expectFailure(BASS_StreamFree(handle), 0, MB_AUDIO_ERR_BAD_HANDLE));

    // Free releases the stream left open, and a second Free fails.
    QCOMPARE(BASS_Free(), 1);
    QVERIFY(!isOpenInThisProcess(toneWav()));
    QVERIFY(expectFailure(BASS_Free(), 0, MB_AUDIO_ERR_NOT_INITIALISED));
    QVERIFY(expectFailure(BASS_StreamFree(next), 0, MB_AUDIO_ERR_NOT_INITIALISED));
    QVERIFY(expectFailure(BASS_ChannelPlay(next, 0), 0, MB_AUDIO_ERR_NOT_INITIALISED));
    QVERIFY(expectFailure(BASS_ChannelIsActive(next), MB_AUDIO_INACTIVE, MB_AUDIO_ERR_NOT_INITIALISED));
    QVERIFY(expectFailure(BASS_StreamCreateFile(0, wav.constData(), 0, 0, 0), 0, MB_AUDIO_ERR_NOT_INITIALISED));
}

void tst_AudioLayer::initArguments_data()
{
    QTest::addColumn<int>("device");
    QTest::addColumn<uint>("freq");
    QTest::addColumn<uint>("flags");
    QTest::addColumn<int>("error");
    QTest::newRow("default device 1") << 1 << 8000u << 0u << int{MB_AUDIO_OK};
    QTest::newRow("default device -1") << -1 << 44100u << 0u << int{MB_AUDIO_OK};
    QTest::newRow("device 0") << 0 << 8000u << 0u << int{MB_AUDIO_ERR_BAD_DEVICE};
    QTest::newRow("device 2") << 2 << 8000u << 0u << int{MB_AUDIO_ERR_BAD_DEVICE};
    QTest::newRow("rate 0") << 1 << 0u << 0u << int{MB_AUDIO_ERR_BAD_ARGUMENT};
    QTest::newRow("rate too high") << 1 << 400000u << 0u << int{MB_AUDIO_ERR_BAD_ARGUMENT};
    QTest::newRow("unknown flags") << 1 << 8000u << 4u << int{MB_AUDIO_ERR_BAD_ARGUMENT};
}

void tst_AudioLayer::initArguments()
{
    QFETCH(int, device);
    QFETCH(uint, freq);
    QFETCH(uint, flags);
    QFETCH(int, error);
    QCOMPARE(BASS_Init(device, freq, flags, nullptr, nullptr), error == MB_AUDIO_OK ? 1 : 0);
    QCOMPARE(BASS_ErrorGetCode(), error);
    // Initialised once, a second Init fails; after a failure a valid Init works.
    QCOMPARE(BASS_Init(1, 8000, 0, nullptr, nullptr), error == MB_AUDIO_OK ? 0 : 1);
    QCOMPARE(BASS_ErrorGetCode(), error == MB_AUDIO_OK ? int{MB_AUDIO_ERR_ALREADY_INITIALISED} : int{MB_AUDIO_OK});
    QCOMPARE(BASS_Free(), 1);
}

void tst_AudioLayer::streamArgumentsAndBusy()
{
    const QByteArray wav = QFile::encodeName(toneWav());
    QCOMPARE(BASS_Init(1, 8000, 0, nullptr, nullptr), 1);
    const auto expectRejected = [](quint32 handle, int error) {
        return handle == 0 && BASS_ErrorGetCode() == error;
    };
    QVERIFY(expectRejected(BASS_StreamCreateFile(1, wav.constData(), 0, 0, 0), MB_AUDIO_ERR_UNSUPPORTED));
    QVERIFY(expectRejected(BASS_StreamCreateFile(0, wav.constData(), 44, 0, 0), MB_AUDIO_ERR_UNSUPPORTED));
    QVERIFY(expectRejected(BASS_StreamCreateFile(0, wav.constData(), 0, 1000, 0), MB_AUDIO_ERR_UNSUPPORTED));
    QVERIFY(expectRejected(BASS_StreamCreateFile(0, wav.constData(), 0, 0, 0x80000000u), MB_AUDIO_ERR_UNSUPPORTED));
    QVERIFY(expectRejected(BASS_StreamCreateFile(0, nullptr, 0, 0, 0), MB_AUDIO_ERR_BAD_ARGUMENT));

    const quint32 handle = BASS_StreamCreateFile(0, wav.constData(), 0, 0, 0);
    QVERIFY(handle != 0);
    QVERIFY(expectRejected(BASS_StreamCreateFile(0, wav.constData(), 0, 0, 0), MB_AUDIO_ERR_BUSY));
    QCOMPARE(BASS_StreamFree(handle), 1);
    QVERIFY(BASS_StreamCreateFile(0, wav.constData(), 0, 0, 0) != 0);
    QCOMPARE(BASS_Free(), 1);
}

void tst_AudioLayer::errorCodeIsPerThread()
{
    QCOMPARE(BASS_StreamFree(0), 0);
    QCOMPARE(BASS_ErrorGetCode(), MB_AUDIO_ERR_NOT_INITIALISED);

    int before = -1;
    int after = -1;
    QThread *const other = QThread::create([&before, &after] {
        before = BASS_ErrorGetCode();
        BASS_Init(7, 8000, 0, nullptr, nullptr);
        after = BASS_ErrorGetCode();
    });
    other->start();
    QVERIFY(other->wait(8000));
    delete other;
    QCOMPARE(before, MB_AUDIO_OK);
    QCOMPARE(after, MB_AUDIO_ERR_BAD_DEVICE);
    QCOMPARE(BASS_ErrorGetCode(), MB_AUDIO_ERR_NOT_INITIALISED);
}

void tst_AudioLayer::freeStopsTheSoundAndReleasesEverything()
{
    const QString longTone = path(QStringLiteral("long.wav"));
    QVERIFY(TestSupport::makeTone(longTone, 20, 44100, 2));
    QCOMPARE(BASS_Init(1, 8000, 0, nullptr, nullptr), 1);
    const quint32 handle = BASS_StreamCreateFile(0, QFile::encodeName(longTone).constData(), 0, 0, 0);
    QVERIFY(handle != 0);
    QCOMPARE(BASS_ChannelPlay(handle, 0), 1);
    QTRY_VERIFY_WITH_TIMEOUT(loudFrames(capture, 2) > 0, 8000);

    QCOMPARE(BASS_Free(), 1);
    // The device is closed and the file released: nothing can be played any more.
    QVERIFY(!isOpenInThisProcess(capture));
    QVERIFY(!isOpenInThisProcess(longTone));
    QVERIFY(loudFrames(capture, 2) < 20 * 44100);
    // The next Init starts afresh.
    QCOMPARE(BASS_Init(1, 8000, 0, nullptr, nullptr), 1);
    QCOMPARE(BASS_Free(), 1);
}

void tst_AudioLayer::noOutputDevice_data()
{
    QTest::addColumn<QByteArray>("driver");
    QTest::addColumn<int>("error");
    QTest::newRow("no such sound system") << QByteArray("marrowby-none") << int{MB_AUDIO_ERR_NO_DRIVER};
    QTest::newRow("output device can't be opened") << QByteArray("alsa") << int{MB_AUDIO_ERR_NO_OUTPUT};
}

void tst_AudioLayer::noOutputDevice()
{
    QFETCH(QByteArray, driver);
    QFETCH(int, error);
    const QByteArray wav = QFile::encodeName(toneWav());
    qputenv("SDL_AUDIODRIVER", driver);
    qputenv("AUDIODEV", "marrowby-no-such-device");
    QCOMPARE(BASS_Init(1, 8000, 0, nullptr, nullptr), 0);
    QCOMPARE(BASS_ErrorGetCode(), error);
    qunsetenv("AUDIODEV");

    // The player's remaining calls all fail cleanly.
    QCOMPARE(BASS_StreamCreateFile(0, wav.constData(), 0, 0, 0), quint32{0});
    QCOMPARE(BASS_ErrorGetCode(), MB_AUDIO_ERR_NOT_INITIALISED);
    QCOMPARE(BASS_ChannelPlay(0, 0), 0);
    QCOMPARE(BASS_ChannelIsActive(0), quint32{MB_AUDIO_INACTIVE});
    QCOMPARE(BASS_StreamFree(0), 0);
    QCOMPARE(BASS_Free(), 0);
    QCOMPARE(BASS_ErrorGetCode(), MB_AUDIO_ERR_NOT_INITIALISED);

    // Nothing was left half open: with a working driver Init succeeds.
    qputenv("SDL_AUDIODRIVER", "disk");
    QCOMPARE(BASS_Init(1, 8000, 0, nullptr, nullptr), 1);
    QCOMPARE(BASS_Free(), 1);
}

QTEST_GUILESS_MAIN(tst_AudioLayer)
#include "tst_audiolayer.moc"
