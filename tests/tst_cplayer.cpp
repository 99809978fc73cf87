#include "bass.h"
#include "support/testsupport.h"
#include "workers/cplayer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMutex>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

// The player on SDL's disk driver: what is played lands in a capture file as
// raw 16-bit samples in the source file's own rate and channel count.
namespace {

QMutex messagesMutex;
QStringList debugMessages;
QtMessageHandler previousHandler = nullptr;

// Collects the debug lines raised on any thread; everything else goes on to QtTest.
void collectDebugMessages(QtMsgType type, const QMessageLogContext &context, const QString &msg)
{
    if (type == QtDebugMsg) {
        const QMutexLocker locker(&messagesMutex);
        debugMessages.append(msg);
        return;
    }
    previousHandler(type, context, msg);
}

QStringList messages()
{
    const QMutexLocker locker(&messagesMutex);
    return debugMessages;
}

// Frames from the first to the last one that is not silent.
qsizetype loudFrames(const QString &capture, int channels)
{
    QFile file(capture);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray bytes = file.readAll();
    QList<qint16> samples(bytes.size() / 2);
    if (samples.isEmpty())
        return 0;
    qFromLittleEndian<qint16>(bytes.constData(), samples.size(), samples.data());
    const auto loud = [](qint16 s) {
        return s != 0;
    };
    const auto first = std::find_if(samples.cbegin(), samples.cend(), loud);
    if (first == samples.cend())
        return 0;
    const auto last = std::find_if(samples.crbegin(), samples.crend(), loud).base();
    return (last - samples.cbegin() + channels - 1) / channels - (first - samples.cbegin()) / channels;
}

bool isOpenInThisProcess(const QString &path)
{
    const QDir fds(QStringLiteral("/proc/self/fd"));
    const QStringList entries = fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &fd : entries) {
        if (QFile::symLinkTarget(fds.filePath(fd)) == path)
            return true;
    }
    return false;
}

} // namespace

class tst_cPlayer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void previewPlaysTheFile_data();
    void previewPlaysTheFile();
    void unplayableFileEndsAtOnce_data();
    void unplayableFileEndsAtOnce();
    void noOutputDeviceEndsAtOnce();
    void playDuringPreviewIsIgnored();
    void twoPreviewsInARow();
    void destroyingThePlayerStopsThePreview();

private:
    QString path(const QString &name) const { return dir.filePath(name); }
    QString shortTone() const { return path(QStringLiteral("short.wav")); }

    QTemporaryDir dir;
    QString capture;
};

void tst_cPlayer::initTestCase()
{
    QVERIFY(dir.isValid());
    capture = path(QStringLiteral("capture.raw"));
    QVERIFY(TestSupport::makeTone(shortTone(), 0.2));
    previousHandler = qInstallMessageHandler(collectDebugMessages);
}

void tst_cPlayer::init()
{
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(capture));
    QFile::remove(capture);
    const QMutexLocker locker(&messagesMutex);
    debugMessages.clear();
}

void tst_cPlayer::cleanupTestCase()
{
    qInstallMessageHandler(previousHandler);
}

void tst_cPlayer::previewPlaysTheFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("channels");
    QTest::newRow("WAV") << "tone.wav" << 44100 << 2;
    QTest::newRow("MP3") << "tone.mp3" << 44100 << 2;
    QTest::newRow("mono WAV at 22.05 kHz") << "mono.wav" << 22050 << 1;
    QTest::newRow("Cyrillic letters and spaces") << "Звук для проверки.wav" << 44100 << 2;
}

void tst_cPlayer::previewPlaysTheFile()
{
    QFETCH(QString, name);
    QFETCH(int, rate);
    QFETCH(int, channels);
    const double seconds = 0.5;
    const QString file = path(name);
    QVERIFY(TestSupport::makeTone(file, seconds, rate, channels));

    cPlayer player;
    QSignalSpy finished(&player, &cPlayer::playFinished);
    player.play(file);
    QVERIFY(finished.wait(10000));
    QCOMPARE(finished.count(), 1);

    const QStringList lines = messages();
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines.at(0), QStringLiteral("BASS_Init: 0"));
    const QStringList stream = lines.at(1).split(QLatin1Char(' '));
    QCOMPARE(stream.size(), 2);
    QVERIFY2(stream.at(0).toInt() != 0, qPrintable(lines.at(1)));
    QCOMPARE(stream.at(1), QStringLiteral("0"));
    QCOMPARE(lines.at(2), QStringLiteral("BASS_ChannelPlay: 0"));

    // About its length reached the device (an MP3 decoder may add or drop a few frames).
    const qsizetype expected = qRound(seconds * rate);
    const qsizetype played = loudFrames(capture, channels);
    QVERIFY2(qAbs(played - expected) <= expected / 50, qPrintable(QString::number(played)));
}

void tst_cPlayer::unplayableFileEndsAtOnce_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("error");
    QTest::newRow("missing") << "missing.wav" << QByteArray() << int{MB_AUDIO_ERR_FILE_OPEN};
    QTest::newRow("empty name") << "" << QByteArray() << int{MB_AUDIO_ERR_FILE_OPEN};
    QTest::newRow("empty file") << "empty.mp3" << QByteArray("") << int{MB_AUDIO_ERR_FILE_FORMAT};
    QTest::newRow("corrupt") << "corrupt.wav" << QByteArray("RIFF but nothing a decoder could use").repeated(20)
                             << int{MB_AUDIO_ERR_FILE_FORMAT};
}

void tst_cPlayer::unplayableFileEndsAtOnce()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(int, error);
    const QString file = name.isEmpty() ? QString() : path(name);
    if (!content.isNull()) {
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(out.write(content), content.size());
    }

    cPlayer player;
    QSignalSpy finished(&player, &cPlayer::playFinished);
    player.play(file);
    QVERIFY(finished.wait(5000));
    QCOMPARE(finished.count(), 1);
    const QStringList expected{QStringLiteral("BASS_Init: 0"), QStringLiteral("0 %1").arg(error),
                               QStringLiteral("BASS_ChannelPlay: %1").arg(MB_AUDIO_ERR_BAD_HANDLE)};
    QCOMPARE(messages(), expected);
}

// No sound server and no card: the device can't be opened, the preview ends
// at once and the widget gets its controls back.
void tst_cPlayer::noOutputDeviceEndsAtOnce()
{
    qputenv("SDL_AUDIODRIVER", "alsa");
    qputenv("AUDIODEV", "marrowby-no-such-device");
    cPlayer player;
    QSignalSpy finished(&player, &cPlayer::playFinished);
    player.play(shortTone());
    const bool ended = finished.wait(5000);
    QTRY_VERIFY(player.isFinished());
    qunsetenv("AUDIODEV");
    QVERIFY(ended);
    QCOMPARE(finished.count(), 1);
    const QStringList expected{QStringLiteral("BASS_Init: %1").arg(MB_AUDIO_ERR_NO_OUTPUT),
                               QStringLiteral("0 %1").arg(MB_AUDIO_ERR_NOT_INITIALISED),
                               QStringLiteral("BASS_ChannelPlay: %1").arg(MB_AUDIO_ERR_NOT_INITIALISED)};
    QCOMPARE(messages(), expected);
}

void tst_cPlayer::playDuringPreviewIsIgnored()
{
    cPlayer player;
    QSignalSpy finished(&player, &cPlayer::playFinished);
    player.play(shortTone());
    player.play(path(QStringLiteral("missing.wav")));
    QVERIFY(finished.wait(10000));
    QTRY_VERIFY(player.isFinished());
    QCoreApplication::processEvents();
    QCOMPARE(finished.count(), 1);

    // One preview, and it played the first file.
    const QStringList lines = messages();
    QCOMPARE(lines.size(), 3);
    QVERIFY2(lines.at(1).endsWith(QLatin1String(" 0")) && !lines.at(1).startsWith(QLatin1String("0 ")),
             qPrintable(lines.at(1)));
    QVERIFY(loudFrames(capture, 2) > 0);
}

// Each preview initialises and frees the layer: a layer left initialised by
// the first would make the second Init fail.
void tst_cPlayer::twoPreviewsInARow()
{
    cPlayer player;
    QSignalSpy finished(&player, &cPlayer::playFinished);
    player.play(shortTone());
    QVERIFY(finished.wait(10000));
    QTRY_VERIFY(player.isFinished());
    player.play(shortTone());
    QVERIFY(finished.wait(10000));
    QCOMPARE(finished.count(), 2);

    const QStringList lines = messages();
    QCOMPARE(lines.size(), 6);
    for (const int first : {0, 3}) {
        QCOMPARE(lines.at(first), QStringLiteral("BASS_Init: 0"));
        QVERIFY(lines.at(first + 1).endsWith(QLatin1String(" 0")));
        QCOMPARE(lines.at(first + 2), QStringLiteral("BASS_ChannelPlay: 0"));
    }
}

void tst_cPlayer::destroyingThePlayerStopsThePreview()
{
    const int seconds = 20;
    const QString longTone = path(QStringLiteral("long.wav"));
    QVERIFY(TestSupport::makeTone(longTone, seconds, 44100, 2));

    auto *player = new cPlayer;
    QSignalSpy finished(player, &cPlayer::playFinished);
    player->play(longTone);
    QTRY_VERIFY_WITH_TIMEOUT(loudFrames(capture, 2) > 0, 8000);

    QElapsedTimer clock;
    clock.start();
    delete player;
    // Far less than the sound still to come: the preview did not run to its end.
    QVERIFY2(clock.elapsed() < 8000, qPrintable(QString::number(clock.elapsed())));
    QCoreApplication::processEvents();
    QCOMPARE(finished.count(), 0);

    // The device is closed, so the sound has stopped for good, and the layer
    // was freed: it can be initialised again.
    QVERIFY(!isOpenInThisProcess(capture));
    QVERIFY(!isOpenInThisProcess(longTone));
    QVERIFY(loudFrames(capture, 2) < seconds * 44100);
    QCOMPARE(BASS_Init(1, 8000, 0, nullptr, nullptr), 1);
    QCOMPARE(BASS_Free(), 1);
}

QTEST_GUILESS_MAIN(tst_cPlayer)
#include "tst_cplayer.moc"
