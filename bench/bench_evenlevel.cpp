// What the even level and the trim cost against a plain conversion: converts
// one corpus again and again through cConverter (automatic jobs) plainly, with
// the even level, with the trim and with both, and prints the median times
// against the plain one's and how the files were levelled.
//
//   bench_evenlevel CORPUS_DIR [ROUNDS]

#include "corpus.h"
#include "workers/cconverter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <cstdio>

namespace {

// Log lines of the converter, counted by what they say of the level.
std::atomic_int plainGains{0};
std::atomic_int limitedGains{0};
std::atomic_int unmeasured{0};

void countLevels(QtMsgType, const QMessageLogContext &, const QString &message)
{
    if (message.startsWith(QLatin1String("Gain: ")))
        ++(message.contains(QLatin1String("limited")) ? limitedGains : plainGains);
    else if (message.contains(QLatin1String("too short or too quiet")))
        ++unmeasured;
}

double convertOnce(const QStringList &sources, const QString &outDir, const cConversionPlan::Choices &choices)
{
    for (const QFileInfo &file : QDir(outDir).entryInfoList(QDir::Files))
        QFile::remove(file.absoluteFilePath());
    cConverter converter;
    converter.setOutputDir(outDir);
    converter.setFileSaveType(0);
    converter.setChoices(choices);
    converter.setForwardOutput(false);
    QEventLoop loop;
    QObject::connect(&converter, &cConverter::convertFinished, &loop, &QEventLoop::quit);
    QElapsedTimer timer;
    timer.start();
    converter.convertFiles(sources);
    loop.exec();
    converter.wait();
    return timer.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    int rounds = 0;
    const QStringList sources = Corpus::read(args, "bench_evenlevel", 3, rounds);
    if (sources.isEmpty())
        return 2;
    const QTemporaryDir work;
    qInstallMessageHandler(countLevels);

    const QList<std::pair<const char *, cConversionPlan::Choices>> ways{
        {"plain", {}},
        {"even level", {QStringList(), false, -18.0, false}},
        {"trim", {QStringList(), false, std::nullopt, true}},
        {"even level and trim", {QStringList(), false, -18.0, true}},
    };
    std::printf("corpus: %d files; %d rounds; jobs auto (%d)\n", static_cast<int>(sources.size()), rounds,
                cConverter().jobs());
    // One pass first, so that every way finds the corpus and ffmpeg in the page cache.
    convertOnce(sources, work.path(), {});
    QHash<int, QList<double>> walls;
    for (int round = 1; round <= rounds; ++round) {
        // Each round starts with another way, so that a drift in machine load falls on all.
        for (qsizetype k = 0; k < ways.size(); ++k) {
            const int way = static_cast<int>((k + round) % ways.size());
            if (round == 1 && way == 1)
                plainGains = limitedGains = unmeasured = 0;
            walls[way] << convertOnce(sources, work.path(), ways.at(way).second);
            if (round == 1 && way == 1)
                std::printf("even level: %d files by a plain gain, %d with the limiter, %d left as they were\n",
                            plainGains.load(), limitedGains.load(), unmeasured.load());
            std::printf("round %d: %-20s %.3f s\n", round, ways.at(way).first, walls[way].constLast());
            std::fflush(stdout);
        }
    }
    const double plain = Corpus::median(walls.value(0));
    for (int way = 0; way < ways.size(); ++way)
        std::printf("median %-20s %.3f s, %.2f of plain\n", ways.at(way).first, Corpus::median(walls.value(way)),
                    Corpus::median(walls.value(way)) / plain);
    return 0;
}
