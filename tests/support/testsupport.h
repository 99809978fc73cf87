#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSemaphore>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>
#include <QtGlobal>

#include <atomic>
#include <chrono>
#include <thread>
#include <utility>

namespace TestSupport {

// Sets the application identity the program uses and points the per-user
// settings store at dir, so a test never touches the real store.
void useScratchSettings(const QString &dir);

// Writes a sine tone with the real ffmpeg; returns false if that failed.
bool makeTone(const QString &path, double seconds, int sampleRate = 44100, int channels = 2, int frequency = 440);

// Writes an executable shell script called like the converter program into
// dir, for faults ffmpeg won't produce on demand (a crash, a hang, an exit code).
QString writeFakeConverter(const QString &dir, const QByteArray &body);

// Puts dir first on PATH for the rest of the process; returns the old PATH.
QByteArray prependToPath(const QString &dir);

// A small file's whole content; empty when it can't be read.
QByteArray readFile(const QString &path);
// Replaces the file's content; false unless all of it was written.
bool writeFile(const QString &path, const QByteArray &content);

// Collects the debug messages raised on any thread while it exists; every
// other message goes on to the handler it replaced (QtTest's), which is put
// back when it is destroyed. QtTest installs its handler when the tests start:
// make the collector in initTestCase() or in a test, and one at a time.
class DebugMessages
{
public:
    DebugMessages();
    ~DebugMessages();
    Q_DISABLE_COPY_MOVE(DebugMessages)

    QStringList lines() const;
    // When the line of that index was raised; a default time for none.
    std::chrono::steady_clock::time_point timeOf(qsizetype line) const;
    void clear();
};

// The debug stream's quoting of a string, for texts without backslashes.
QString debugQuoted(QString text);

// SDL's disk driver writes what is played to a file as raw 16-bit
// little-endian samples; these read such a capture.
QList<qint16> readSamples(const QString &capture);
// The frames from the first to the last one that holds a non-zero sample.
QList<qint16> withoutSilence(const QList<qint16> &samples, int channels);
// How many frames lie from the first sound of a capture to its last.
qsizetype loudFrames(const QString &capture, int channels);

// Whether this process holds a descriptor open on path, and how many it holds.
bool isOpenInThisProcess(const QString &path);
qsizetype openDescriptors();

// The format chunk and the size of the data chunk of a WAV file; zeros and a
// dataBytes of -1 for what could not be read.
struct WavHeader
{
    quint16 format = 0;
    quint16 channels = 0;
    quint32 rate = 0;
    quint16 bits = 0;
    qint64 dataBytes = -1;
};
WavHeader readWavHeader(const QString &path);

// Writes interleaved 16-bit samples as a PCM WAV file.
bool writeWav(const QString &path, int rate, int channels, const QList<qint16> &samples);

// Mono 16-bit samples that meter like a spoken prompt: voiced syllables, four
// a second, on a gliding pitch with speech formants, and a pause after every
// third; peaks stand some 16 dB above the loudness, as a voice's do.
// amplitude 1.0 puts the peaks near full scale.
QList<qint16> speechLike(int rate, double seconds, double amplitude);

// Integrated loudness (LUFS) and true peak (dBTP) of a file as ffmpeg's meter
// measures them; readBack as ffmpeg needs it for a file without a header.
// Both NaN when it could not be measured.
std::pair<double, double> loudness(const QString &path, const QStringList &readBack = {});

// Holds the thread that emits a signal inside its first emission, for the
// moment between a worker's last signal and the end of its thread: a test
// acts while the thread is still running, then lets it go on.
class HoldFirstEmission
{
public:
    template <typename Sender, typename Signal>
    HoldFirstEmission(Sender *sender, Signal signal)
    {
        QObject::connect(
            sender, signal, &context,
            [this] {
                if (emissions++ == 0) {
                    held.release();
                    released.acquire();
                }
            },
            Qt::DirectConnection);
    }
    ~HoldFirstEmission()
    {
        if (releaser.joinable())
            releaser.join();
        else
            released.release();
    }
    Q_DISABLE_COPY_MOVE(HoldFirstEmission)

    bool waitUntilHeld(int ms) { return held.tryAcquire(1, ms); }

    // Lets the held thread go on after ms, from a thread of its own, so that
    // the test can block in the meantime.
    void releaseLater(int ms)
    {
        releaser = std::thread([this, ms] {
            QThread::msleep(static_cast<unsigned long>(ms));
            released.release();
        });
    }

private:
    QObject context;
    QSemaphore held;
    QSemaphore released;
    std::atomic_int emissions{0};
    std::thread releaser;
};

// Runs this test program again with the given test function (and data row,
// "function:row") as the unprivileged user and group 65534, where file
// permissions apply as they do to users; the copy it runs and its temporary
// folder lie where that user can reach them. The exit code (-1 when it did not
// run to its end) and the merged output.
struct ChildRun
{
    int exitCode = -1;
    QString output;
};
ChildRun rerunUnprivileged(const QString &testFunction);

// A PulseAudio server of the caller's own, as root and as a normal user: a
// null sink "out" whose monitor "out.monitor" can be recorded, reached through
// a socket in a temporary folder, so the user's own sound and settings stay
// untouched. It is stopped by its process id when this object goes, and it
// ends with the process that started it.
class SoundServer
{
public:
    SoundServer();
    ~SoundServer();
    Q_DISABLE_COPY_MOVE(SoundServer)

    // Empty while the server runs; otherwise why it could not start.
    QString error() const { return failure; }
    // PULSE_SERVER and PULSE_COOKIE for clients of this server.
    QProcessEnvironment clientEnvironment() const;
    // Points this process's own clients (SDL) at the server, or at none.
    void useInThisProcess(bool use) const;

    // Records the sink's monitor as raw 48 kHz mono 16-bit samples on the
    // recorder's standard output, at the given latency (0: the recorder's
    // default); returns once the recording runs.
    bool startRecorder(QProcess &recorder, int latencyMs) const;

private:
    QByteArray runClient(const QString &program, const QStringList &arguments) const;

    QTemporaryDir dir;
    QProcess server;
    QString failure;
};

} // namespace TestSupport
