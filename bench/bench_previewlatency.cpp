// Preview start latency: from cPlayer::play to the first sample that is not
// silent reaching the output device. The device is SDL's disk driver writing
// into a named pipe; a reader thread notes when the first loud byte arrives.
// Also prints how long an unplayable file takes to give playFinished().
#include "workers/cplayer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLoggingCategory>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

qint64 nanosSinceEpoch(Clock::time_point t)
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(t.time_since_epoch()).count();
}

// Reads every device that the layer opens on the pipe, one after the other,
// and keeps the time of the first loud byte since the last reset.
class PipeReader
{
public:
    explicit PipeReader(QByteArray path) : path(std::move(path)), thread([this] { run(); }) {}
    ~PipeReader()
    {
        quit = true;
        // Wakes the reader if it waits in open() for the next writer.
        const int fd = ::open(path.constData(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0)
            ::close(fd);
        thread.join();
    }
    void reset() { firstLoud = 0; }
    qint64 firstLoudNanos() const { return firstLoud; }

private:
    void run()
    {
        std::vector<char> buffer(65536);
        while (!quit) {
            const int fd = ::open(path.constData(), O_RDONLY);
            if (fd < 0)
                return;
            ssize_t got = 0;
            while ((got = ::read(fd, buffer.data(), buffer.size())) > 0) {
                if (firstLoud == 0 && std::any_of(buffer.cbegin(), buffer.cbegin() + got, [](char c) { return c; }))
                    firstLoud = nanosSinceEpoch(Clock::now());
            }
            ::close(fd);
        }
    }

    const QByteArray path;
    std::atomic_bool quit{false};
    std::atomic<qint64> firstLoud{0};
    std::thread thread;
};

bool makeTone(const QString &path, double seconds)
{
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y"), QStringLiteral("-f"),
                  QStringLiteral("lavfi"), QStringLiteral("-i"),
                  QStringLiteral("sine=frequency=440:sample_rate=44100:duration=%1").arg(seconds),
                  QStringLiteral("-ac"), QStringLiteral("2"), path});
    return ffmpeg.waitForFinished(60000) && ffmpeg.exitStatus() == QProcess::NormalExit && ffmpeg.exitCode() == 0;
}

// Plays fn once; returns false if playFinished() did not come within the limit.
bool previewOnce(cPlayer &player, const QString &fn)
{
    QEventLoop loop;
    QTimer::singleShot(30000, &loop, [&loop] { loop.exit(1); });
    QObject::connect(&player, &cPlayer::playFinished, &loop, &QEventLoop::quit);
    player.play(fn);
    const bool finished = loop.exec() == 0;
    while (player.isRunning())
        player.wait(10);
    return finished;
}

void printFigures(const char *what, std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    std::printf("%-44s runs %2zu  min %7.1f  median %7.1f  max %7.1f ms\n", what, ms.size(), ms.front(),
                ms[ms.size() / 2], ms.back());
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 10;
    QTemporaryDir dir;
    const QString wav = dir.filePath(QStringLiteral("tone.wav"));
    const QString mp3 = dir.filePath(QStringLiteral("tone.mp3"));
    const QString longMp3 = dir.filePath(QStringLiteral("long.mp3"));
    if (!dir.isValid() || !makeTone(wav, 1) || !makeTone(mp3, 1) || !makeTone(longMp3, 180)) {
        std::fprintf(stderr, "could not write the test tones with ffmpeg\n");
        return 1;
    }
    const QByteArray pipe = QFile::encodeName(dir.filePath(QStringLiteral("device.pipe")));
    if (::mkfifo(pipe.constData(), 0600) != 0) {
        std::perror("mkfifo");
        return 1;
    }
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILE", pipe);
    // The player's three lines per preview would drown the figures.
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));

    PipeReader reader(pipe);
    cPlayer player;
    std::printf("preview start latency, play() to the first loud sample at the device (SDL disk driver):\n");
    const std::pair<const char *, QString> sources[] = {
        {"1 s WAV, 44.1 kHz stereo", wav}, {"1 s MP3, 44.1 kHz stereo", mp3}, {"3 min MP3, 44.1 kHz stereo", longMp3}};
    for (const auto &[what, file] : sources) {
        std::vector<double> ms;
        const int count = file == longMp3 ? std::min(runs, 3) : runs;
        for (int i = 0; i < count; ++i) {
            reader.reset();
            const qint64 start = nanosSinceEpoch(Clock::now());
            // The long file is stopped by destroying its player once it has started.
            if (file == longMp3) {
                cPlayer cut;
                cut.play(file);
                QElapsedTimer limit;
                limit.start();
                while (reader.firstLoudNanos() == 0 && limit.elapsed() < 30000)
                    QThread::msleep(1);
                if (reader.firstLoudNanos() == 0) {
                    std::fprintf(stderr, "no sound from %s\n", what);
                    return 1;
                }
            } else if (!previewOnce(player, file)) {
                std::fprintf(stderr, "no playFinished() for %s\n", what);
                return 1;
            }
            ms.push_back((reader.firstLoudNanos() - start) / 1e6);
        }
        printFigures(what, ms);
    }

    std::printf("unplayable file, play() to playFinished():\n");
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        if (!previewOnce(player, dir.filePath(QStringLiteral("missing.wav"))))
            return 1;
        ms.push_back(clock.nsecsElapsed() / 1e6);
    }
    printFigures("missing file", ms);
    return 0;
}
