#include "bass.h"
#include "support/testsupport.h"
#include "workers/cplayer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <optional>

// The player on SDL's disk driver: what is played lands in a capture file as
// raw 16-bit samples in the source file's own rate and channel count.
using TestSupport::loudFrames;
using Clock = std::chrono::steady_clock;

class tst_cPlayer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void previewPlaysTheFile_data();
    void previewPlaysTheFile();
    void previewThatCannotPlayEndsAtOnce_data();
    void previewThatCannotPlayEndsAtOnce();
    void playDuringPreviewIsIgnored();
    void playRightAfterTheEndIsNotLost();
    void twoPreviewsInARow();
    void destroyingThePlayerStopsThePreview();
    void stopEndsThePreviewAtOnce();
    void previewThroughASoundServer();

private:
    QString path(const QString &name) const { return dir.filePath(name); }
    QString shortTone() const { return path(QStringLiteral("short.wav")); }

    QTemporaryDir dir;
    QString capture;
    std::optional<TestSupport::DebugMessages> debug;
};

void tst_cPlayer::initTestCase()
{
    debug.emplace();
    QVERIFY(dir.isValid());
    capture = path(QStringLiteral("capture.raw"));
    QVERIFY(TestSupport::makeTone(shortTone(), 0.2));
}

void tst_cPlayer::init()
{
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(capture));
    qunsetenv("AUDIODEV");
    QFile::remove(capture);
    debug->clear();
}

void tst_cPlayer::cleanupTestCase()
{
    debug.reset();
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
    QSignalSpy failed(&player, &cPlayer::playFailed);
    player.play(file);
    QVERIFY(finished.wait(10000));
    QCOMPARE(finished.count(), 1);
    QCOMPARE(failed.count(), 0);

    const QStringList lines = debug->lines();
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

void tst_cPlayer::previewThatCannotPlayEndsAtOnce_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content"); // written to the file unless null
    QTest::addColumn<bool>("outputOpens");
    // The codes the player logs for the layer's Init, StreamCreateFile and ChannelPlay.
    QTest::addColumn<QList<int>>("errors");
    const QList<int> cannotOpen{MB_AUDIO_OK, MB_AUDIO_ERR_FILE_OPEN, MB_AUDIO_ERR_BAD_HANDLE};
    const QList<int> cannotDecode{MB_AUDIO_OK, MB_AUDIO_ERR_FILE_FORMAT, MB_AUDIO_ERR_BAD_HANDLE};
    QTest::newRow("missing") << "missing.wav" << QByteArray() << true << cannotOpen;
    QTest::newRow("empty name") << "" << QByteArray() << true << cannotOpen;
    QTest::newRow("empty file") << "empty.mp3" << QByteArray("") << true << cannotDecode;
    QTest::newRow("corrupt") << "corrupt.wav" << QByteArray("RIFF but nothing a decoder could use").repeated(20) << true
                             << cannotDecode;
    // No sound server and no card: the widget must still get its controls back.
    QTest::newRow("no output device") << "short.wav" << QByteArray() << false
                                      << QList<int>{MB_AUDIO_ERR_NO_OUTPUT, MB_AUDIO_ERR_NOT_INITIALISED,
                                                    MB_AUDIO_ERR_NOT_INITIALISED};
}

void tst_cPlayer::previewThatCannotPlayEndsAtOnce()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(bool, outputOpens);
    QFETCH(QList<int>, errors);
    const QString file = name.isEmpty() ? QString() : path(name);
    if (!content.isNull())
        QVERIFY(TestSupport::writeFile(file, content));
    if (!outputOpens) {
        qputenv("SDL_AUDIODRIVER", "alsa");
        qputenv("AUDIODEV", "marrowby-no-such-device");
    }

    // The player waits for the end of a sound in pauses of 500 ms. Once the
    // layer has refused to play, it only frees the layer and signals: timed on
    // its own thread from its last line to its signal, so neither the sound
    // system's start nor the test's event loop counts, any such pause makes
    // that time 500 ms or more, and none leaves it a few milliseconds.
    cPlayer player;
    std::atomic<Clock::time_point> signalledAt{};
    connect(
        &player, &cPlayer::playFinished, this, [&signalledAt] { signalledAt = Clock::now(); }, Qt::DirectConnection);
    QSignalSpy finished(&player, &cPlayer::playFinished);
    QSignalSpy failed(&player, &cPlayer::playFailed);
    player.play(file);
    QVERIFY(finished.wait(10000));
    QTRY_VERIFY(player.isFinished());
    QCOMPARE(finished.count(), 1);
    // The widget learns the first failure, the cause of the others.
    QCOMPARE(failed.count(), 1);
    QCOMPARE(failed.at(0).at(0).toInt(), errors.at(0) ? errors.at(0) : errors.at(1));
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(signalledAt.load() - debug->timeOf(2)).count();
    QVERIFY2(ms < 500, qPrintable(QString::number(ms)));
    const QStringList expected{QStringLiteral("BASS_Init: %1").arg(errors.at(0)),
                               QStringLiteral("0 %1").arg(errors.at(1)),
                               QStringLiteral("BASS_ChannelPlay: %1").arg(errors.at(2))};
    QCOMPARE(debug->lines(), expected);
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
    const QStringList lines = debug->lines();
    QCOMPARE(lines.size(), 3);
    QVERIFY2(lines.at(1).endsWith(QLatin1String(" 0")) && !lines.at(1).startsWith(QLatin1String("0 ")),
             qPrintable(lines.at(1)));
    QVERIFY(loudFrames(capture, 2) > 0);
}

// Each preview initialises and frees the layer: a layer left initialised by
// the first would make the second Init fail.
void tst_cPlayer::playRightAfterTheEndIsNotLost()
{
    cPlayer player;
    QSignalSpy finished(&player, &cPlayer::playFinished);
    TestSupport::HoldFirstEmission hold(&player, &cPlayer::playFinished);
    player.play(path(QStringLiteral("missing.wav")));
    QVERIFY(hold.waitUntilHeld(10000));
    QVERIFY(player.isRunning());

    // The thread ends only a while after the new request came in, so a request
    // that is dropped because the thread still runs shows as a missing preview.
    hold.releaseLater(200);
    player.play(shortTone());
    QVERIFY(QTest::qWaitFor([&] { return finished.count() == 2; }, 10000));
    QTRY_VERIFY(player.isFinished());
    QCOMPARE(debug->lines().size(), 6);
    QVERIFY(loudFrames(capture, 2) > 0);
}

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

    const QStringList lines = debug->lines();
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
    QVERIFY(!TestSupport::isOpenInThisProcess(capture));
    QVERIFY(!TestSupport::isOpenInThisProcess(longTone));
    QVERIFY(loudFrames(capture, 2) < seconds * 44100);
    QCOMPARE(BASS_Init(1, 8000, 0, nullptr, nullptr), 1);
    QCOMPARE(BASS_Free(), 1);
}

// Users hear previews through a sound server: one of the test's own takes
// them through its real client path (SDL's own pick of driver), and its
// sink's monitor must carry the tone at its pitch and for its length.
void tst_cPlayer::previewThroughASoundServer()
{
    const TestSupport::SoundServer server;
    if (!server.error().isEmpty())
        QSKIP(qPrintable(QStringLiteral("cannot start a PulseAudio server of the test's own: ") + server.error()));
    const double seconds = 2;
    const int frequency = 1000;
    const QString tone = path(QStringLiteral("kilohertz.wav"));
    QVERIFY(TestSupport::makeTone(tone, seconds, 44100, 2, frequency));
    qunsetenv("SDL_AUDIODRIVER");
    server.useInThisProcess(true);
    const auto restore = qScopeGuard([&server] { server.useInThisProcess(false); });

    QProcess recorder;
    QVERIFY(server.startRecorder(recorder, 10));
    cPlayer player;
    QSignalSpy finished(&player, &cPlayer::playFinished);
    player.play(tone);
    QVERIFY(finished.wait(20000));
    QCOMPARE(debug->lines().value(2), QStringLiteral("BASS_ChannelPlay: 0"));
    recorder.terminate();
    QVERIFY(recorder.waitForFinished(10000));

    // The monitor runs at 48 kHz. The tone is every loud stretch of it: a
    // server still in a long render block when the preview starts may hold it
    // back after its first buffer, which delays frames but loses none. Its
    // pitch is the count of upward zero crossings per second of tone.
    const QByteArray raw = recorder.readAllStandardOutput();
    QList<qint16> samples(raw.size() / 2);
    qFromLittleEndian<qint16>(raw.constData(), samples.size(), samples.data());
    qsizetype toneSamples = 0;
    qsizetype quiet = -1; // quiet samples since the last loud one; -1 before the first
    int crossings = 0;
    for (qsizetype i = 0; i < samples.size(); ++i) {
        if (qAbs(samples.at(i)) < 1000) {
            quiet += quiet >= 0;
            continue;
        }
        // A 1 kHz tone is quiet for a few samples around each zero crossing.
        if (quiet >= 0 && quiet < 48) {
            toneSamples += quiet + 1;
            crossings += samples.at(i - quiet - 1) < 0 && samples.at(i) >= 0;
        } else {
            ++toneSamples;
        }
        quiet = 0;
    }
    const double heard = toneSamples / 48000.0;
    const QString figures = QStringLiteral("%1 s at %2 Hz").arg(heard).arg(crossings / heard);
    QVERIFY2(qAbs(heard - seconds) <= seconds / 10, qPrintable(figures));
    QVERIFY2(qAbs(crossings / heard - frequency) <= frequency / 50.0, qPrintable(figures));
}

QTEST_GUILESS_MAIN(tst_cPlayer)
#include "tst_cplayer.moc"

// Stopped by the user, the preview falls silent and says it has ended; the
// next preview plays in full.
void tst_cPlayer::stopEndsThePreviewAtOnce()
{
    const int seconds = 20;
    const QString longTone = path(QStringLiteral("long.wav"));
    QVERIFY(TestSupport::makeTone(longTone, seconds, 44100, 2));

    cPlayer player;
    QSignalSpy finished(&player, &cPlayer::playFinished);
    QSignalSpy failed(&player, &cPlayer::playFailed);
    player.play(longTone);
    QTRY_VERIFY_WITH_TIMEOUT(loudFrames(capture, 2) > 0, 8000);
    player.stop();
    QVERIFY(finished.wait(8000));
    QTRY_VERIFY(player.isFinished());
    QCOMPARE(failed.count(), 0);
    QVERIFY(!TestSupport::isOpenInThisProcess(capture));
    QVERIFY(!TestSupport::isOpenInThisProcess(longTone));
    QVERIFY(loudFrames(capture, 2) < seconds * 44100 / 2);

    // A stop with nothing playing is not kept for the next preview.
    player.stop();
    player.play(shortTone());
    QVERIFY(finished.wait(10000));
    QCOMPARE(finished.count(), 2);
    QVERIFY(loudFrames(capture, 2) > 0);
}
