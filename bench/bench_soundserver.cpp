// Previews through a real PulseAudio server of the benchmark's own, heard at
// its null sink's monitor by a recorder with 10 ms latency: play() to the
// first sound, the last sound to playFinished(), and destroying the player in
// the middle of a preview to silence. Then again with only a recorder at
// its default latency, which makes the sink render in large blocks.
#include "support/testsupport.h"
#include "workers/cplayer.h"

#include <QCoreApplication>
#include <QDir>
#include <QLoggingCategory>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double msBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// When sound last and first came out of the sink, as the recorder delivers it.
class Listener
{
public:
    explicit Listener(QProcess &recorder) : recorder(recorder) {}

    void reset() { first = last = Clock::time_point(); }
    bool heardSomething() const { return first != Clock::time_point(); }
    Clock::time_point firstSound() const { return first; }
    Clock::time_point lastSound() const { return last; }

    // Takes what the recorder has delivered, waiting at most ms for more.
    void listen(int ms)
    {
        recorder.waitForReadyRead(ms);
        pending += recorder.readAllStandardOutput();
        const Clock::time_point now = Clock::now();
        const auto *const samples = reinterpret_cast<const qint16 *>(pending.constData());
        const qsizetype count = pending.size() / 2;
        if (std::any_of(samples, samples + count, [](qint16 s) { return qAbs(s) > 1000; })) {
            if (!heardSomething())
                first = now;
            last = now;
        }
        pending.remove(0, count * 2);
    }

    void listenFor(int ms)
    {
        const Clock::time_point end = Clock::now() + std::chrono::milliseconds(ms);
        while (Clock::now() < end)
            listen(5);
    }

private:
    QProcess &recorder;
    QByteArray pending;
    Clock::time_point first;
    Clock::time_point last;
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

void print(const char *what, const std::vector<double> &ms)
{
    std::printf("  %-46s median %7.1f  min %7.1f  max %7.1f ms\n", what, median(ms),
                *std::min_element(ms.cbegin(), ms.cend()), *std::max_element(ms.cbegin(), ms.cend()));
}

// Short tones of 1 s and a little more, so that the player's checks for the
// end, 500 ms apart, fall at a different point of each tone's last half second.
double toneSeconds(int run)
{
    return 1 + 0.5 * run / 7;
}

QString shortToneName(int run)
{
    return QStringLiteral("short%1.wav").arg(run);
}

// With a listener, what is heard; without one, what the program sees.
bool measure(Listener *listener, const QDir &dir, const QString &longTone, int runs)
{
    std::vector<double> start;
    std::vector<double> end;
    std::vector<double> whole;
    std::vector<double> destroy;
    std::vector<double> silence;
    for (int i = 0; i < runs; ++i) {
        cPlayer player;
        std::atomic<Clock::rep> finishedAt{0};
        QObject::connect(
            &player, &cPlayer::playFinished, &player,
            [&finishedAt] { finishedAt = Clock::now().time_since_epoch().count(); }, Qt::DirectConnection);
        if (listener)
            listener->reset();
        const Clock::time_point pressed = Clock::now();
        player.play(dir.filePath(shortToneName(i % 7)));
        while (finishedAt == 0 && msBetween(pressed, Clock::now()) < 20000) {
            if (listener)
                listener->listen(5);
            else
                player.wait(5);
        }
        if (listener)
            listener->listenFor(500);
        if (finishedAt == 0 || (listener && !listener->heardSomething())) {
            std::fprintf(stderr, "the preview was not heard or did not finish\n");
            return false;
        }
        const Clock::time_point finished{Clock::duration(finishedAt)};
        whole.push_back(msBetween(pressed, finished) - 1000 * toneSeconds(i % 7));
        if (listener) {
            start.push_back(msBetween(pressed, listener->firstSound()));
            end.push_back(msBetween(listener->lastSound(), finished));
        }
        player.wait();
    }
    for (int i = 0; i < runs; ++i) {
        auto player = std::make_unique<cPlayer>();
        if (listener)
            listener->reset();
        player->play(longTone);
        const Clock::time_point pressed = Clock::now();
        // Mid-preview, at a different point of the server's cycle each time.
        const int playFor = 1500 + 100 * i;
        while (msBetween(pressed, Clock::now()) < playFor) {
            if (listener)
                listener->listen(5);
            else
                player->wait(5);
        }
        const Clock::time_point destroyed = Clock::now();
        player.reset();
        destroy.push_back(msBetween(destroyed, Clock::now()));
        if (listener) {
            listener->listenFor(2500);
            silence.push_back(msBetween(destroyed, listener->lastSound()));
        }
    }
    if (listener)
        print("play() to the first sound", start);
    print("play() to playFinished(), beyond the tone", whole);
    if (listener)
        print("last sound to playFinished()", end);
    print("destroying the player mid-preview (blocks)", destroy);
    if (listener)
        print("destroying the player to the last sound", silence);
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    QTemporaryDir dir;
    const QString longTone = dir.filePath(QStringLiteral("long.wav"));
    bool made = dir.isValid() && TestSupport::makeTone(longTone, 10, 44100, 2, 1000);
    for (int i = 0; i < 7 && made; ++i)
        made = TestSupport::makeTone(dir.filePath(shortToneName(i)), toneSeconds(i), 44100, 2, 1000);
    if (!made) {
        std::fprintf(stderr, "could not write the tones with ffmpeg\n");
        return 1;
    }
    const TestSupport::SoundServer server;
    if (!server.error().isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(server.error()));
        return 1;
    }
    server.useInThisProcess(true);
    qunsetenv("SDL_AUDIODRIVER");
    // The player's three lines per preview would drown the figures.
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));

    {
        QProcess recorder;
        if (!server.startRecorder(recorder, 10)) {
            std::fprintf(stderr, "could not record the sink\n");
            return 1;
        }
        Listener listener(recorder);
        std::printf("PulseAudio null sink, heard by a recorder at 10 ms latency, %d runs each:\n", runs);
        if (!measure(&listener, QDir(dir.path()), longTone, runs))
            return 1;
        recorder.terminate();
        recorder.waitForFinished();
    }

    // Only a recorder at its default latency: the sink renders in large
    // blocks, and timing what is heard is not possible at that latency.
    QProcess slowRecorder;
    slowRecorder.setStandardOutputFile(QProcess::nullDevice());
    if (!server.startRecorder(slowRecorder, 0)) {
        std::fprintf(stderr, "could not record the sink at its default latency\n");
        return 1;
    }
    std::printf("the same with only a recorder at its default latency, as the program sees it:\n");
    const bool measured = measure(nullptr, QDir(dir.path()), longTone, runs);
    slowRecorder.terminate();
    slowRecorder.waitForFinished();
    return measured ? 0 : 1;
}
