// Converts one corpus, again and again, through a plain shell loop that runs
// ffmpeg with the same arguments one file after another, and through
// cConverter with 1, 2 and automatic jobs; prints the median times against the
// loop's and whether every way wrote the same files. Then measures what the
// scheduling alone allows, with a converter that only sleeps. ffmpeg's own
// output goes to stderr; the figures to stdout.
//
//   bench_converter CORPUS_DIR [ROUNDS]

#include "corpus.h"
#include "workers/cconverter.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

#include <sys/resource.h>

namespace {

// The output paths the converter gives under "replace the extension".
QStringList outputPaths(const QStringList &sources, const QString &outDir)
{
    const QRegularExpression extension(QStringLiteral("\\.[a-zA-Z0-9]+\\z"));
    QStringList outputs;
    for (const QString &source : sources)
        outputs
            << QDir(outDir).absoluteFilePath(QFileInfo(source).fileName()).replace(extension, QStringLiteral(".wav"));
    return outputs;
}

// CPU seconds used so far by this process and by its ended child processes.
double cpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The largest resident size (KiB) any ended child process has had, ffmpeg
// runs under the shell loop's shell among them.
long peakChildMemory()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_maxrss;
}

void emptyFolder(const QString &dir)
{
    for (const QFileInfo &file : QDir(dir).entryInfoList(QDir::Files))
        QFile::remove(file.absoluteFilePath());
}

// One hash over every output file, to show that both ways wrote the same.
QByteArray folderHash(const QString &dir)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const QFileInfo &info : QDir(dir).entryInfoList(QDir::Files, QDir::Name)) {
        QFile file(info.absoluteFilePath());
        if (file.open(QIODevice::ReadOnly)) {
            hash.addData(info.fileName().toUtf8());
            hash.addData(&file);
        }
    }
    return hash.result().toHex().left(12);
}

// Wall time of one pass, and the CPU time this process and its children spent on it.
struct Pass
{
    double wall = 0;
    double ownCpu = 0;
    double childCpu = 0;
};

template <typename Work>
Pass measure(Work work)
{
    const double own = cpuSeconds(RUSAGE_SELF);
    const double children = cpuSeconds(RUSAGE_CHILDREN);
    QElapsedTimer timer;
    timer.start();
    work();
    return {timer.nsecsElapsed() / 1e9, cpuSeconds(RUSAGE_SELF) - own, cpuSeconds(RUSAGE_CHILDREN) - children};
}

Pass shellLoop(const QStringList &sources, const QStringList &outputs)
{
    QStringList args{
        QStringLiteral("-c"),
        QStringLiteral("while [ \"$#\" -gt 0 ]; do ffmpeg -y -i \"$1\" -ar 8000 -ac 1 \"$2\"; shift 2; done"),
        QStringLiteral("sh")};
    for (qsizetype i = 0; i < sources.size(); ++i)
        args << sources.at(i) << outputs.at(i);
    QProcess shell;
    shell.setProcessChannelMode(QProcess::ForwardedChannels);
    return measure([&] {
        shell.start(QStringLiteral("sh"), args);
        shell.waitForFinished(-1);
    });
}

// grouped: small files share runs. results: each file's result and reason, sorted.
// formats: each source becomes a file of each (none: the standard one).
Pass throughConverter(const QStringList &sources, const QString &outDir, int jobs, int *converted, bool grouped = false,
                      QStringList *results = nullptr, const QStringList &formats = {})
{
    cConverter converter;
    converter.setOneFilePerRun(!grouped);
    converter.setChoices({formats, false, std::nullopt, false});
    if (results) {
        results->clear();
        QObject::connect(&converter, &cConverter::fileFinished, &converter, [results](const cFileResult &result) {
            *results << result.source.path +
                            (result.isWritten() ? QStringLiteral(" ok ") : QStringLiteral(" failed ")) +
                            result.reason.sourceText();
        });
    }
    converter.setOutputDir(outDir);
    converter.setFileNameType(0);
    converter.setFileSaveType(0);
    converter.setJobs(jobs);
    QEventLoop loop;
    *converted = 0;
    QObject::connect(&converter, &cConverter::fileProcessed, &loop,
                     [converted](const QString &, bool result) { *converted += result ? 1 : 0; });
    QObject::connect(&converter, &cConverter::convertFinished, &loop, &QEventLoop::quit);
    return measure([&] {
        converter.convertFiles(sources);
        loop.exec();
        converter.wait();
        if (results)
            results->sort();
    });
}

// Files per second through a stand-in converter that only sleeps 100 ms: what
// the scheduling itself allows, whatever the machine's cores.
double sleepingThroughput(int jobs, int files)
{
    const QTemporaryDir fake;
    QFile script(fake.filePath(QStringLiteral("ffmpeg")));
    script.open(QIODevice::WriteOnly);
    script.write("#!/bin/sh\nexec sleep 0.1\n");
    script.close();
    script.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(fake.path()) + ':' + path);
    QStringList sources;
    for (int k = 0; k < files; ++k)
        sources << fake.filePath(QStringLiteral("prompt-%1.mp3").arg(k));
    int converted = 0;
    const Pass pass = throughConverter(sources, fake.path(), jobs, &converted);
    qputenv("PATH", path);
    return files / pass.wall;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    int rounds = 0;
    const QStringList sources = Corpus::read(args, "bench_converter", 3, rounds);
    if (sources.isEmpty())
        return 2;
    const QTemporaryDir work;
    const QString outDir = work.path();
    const QStringList outputs = outputPaths(sources, outDir);

    const int automatic = cConverter().jobs();
    std::printf("corpus: %d files; %d rounds, each converts it once in every way; automatic jobs: %d\n",
                static_cast<int>(sources.size()), rounds, automatic);
    // One pass first, so that every way finds the corpus and ffmpeg in the page cache.
    shellLoop(sources, outputs);
    const long loneRunPeak = peakChildMemory();

    // The ways: the bare shell loop (jobs 0 here), then cConverter with 1, 2 and
    // automatic jobs, one file a run, and with 2 jobs of grouped runs.
    const int groupedWay = 102;
    const QList<int> ways{0, 1, 2, -1, groupedWay};
    const auto name = [&](int way) {
        return way == 0            ? QStringLiteral("shell loop")
               : way == groupedWay ? QStringLiteral("cConverter, jobs 2, grouped")
               : way < 0           ? QStringLiteral("cConverter, jobs auto (%1)").arg(automatic)
                                   : QStringLiteral("cConverter, jobs %1").arg(way);
    };
    QHash<int, QList<double>> walls;
    QHash<int, QByteArray> hashes;
    QHash<int, double> ownCpu;
    int converted = 0;
    for (int round = 1; round <= rounds; ++round) {
        // Each round starts with another way, so that a drift in machine load falls on all.
        for (qsizetype k = 0; k < ways.size(); ++k) {
            const int way = ways.at((k + round) % ways.size());
            emptyFolder(outDir);
            const Pass pass = way == 0 ? shellLoop(sources, outputs)
                                       : throughConverter(sources, outDir, way % 100, &converted, way == groupedWay);
            walls[way] << pass.wall;
            ownCpu[way] += pass.ownCpu;
            hashes[way] = folderHash(outDir);
            std::printf("round %d: %-28s %.3f s\n", round, qPrintable(name(way)), pass.wall);
            std::fflush(stdout);
        }
    }
    const double loopMedian = Corpus::median(walls.value(0));
    for (const int way : ways) {
        std::printf("median %-28s %.3f s, %.3f of the loop; outputs %s the loop's", qPrintable(name(way)),
                    Corpus::median(walls.value(way)), Corpus::median(walls.value(way)) / loopMedian,
                    hashes.value(way) == hashes.value(0) ? "identical to" : "DIFFER from");
        if (way != 0)
            std::printf("; this process's CPU %.3f s a round", ownCpu.value(way) / rounds);
        std::printf("\n");
    }
    std::printf("converted %d of %d files in the last pass\n", converted, static_cast<int>(sources.size()));
    std::printf("peak memory of one ffmpeg run: one file %.1f MiB, any run %.1f MiB\n", loneRunPeak / 1024.0,
                peakChildMemory() / 1024.0);

    // A damaged file after every seventh: each group's run fails and its files run again alone.
    const QTemporaryDir damagedDir;
    QStringList damaged;
    for (qsizetype i = 0; i < sources.size(); ++i) {
        damaged << sources.at(i);
        if (i % 7 == 6) {
            damaged << QDir(damagedDir.path()).filePath(QStringLiteral("damaged-%1.mp3").arg(i));
            QFile file(damaged.last());
            if (file.open(QIODevice::WriteOnly))
                file.write(QByteArray(3000, 'x'));
        }
    }
    QList<double> damagedWalls[2];
    QStringList damagedResults[2];
    QByteArray damagedHashes[2];
    for (int round = 1; round <= rounds; ++round) {
        for (const int grouped : {round % 2, 1 - round % 2}) {
            emptyFolder(outDir);
            damagedWalls[grouped]
                << throughConverter(damaged, outDir, 2, &converted, grouped != 0, &damagedResults[grouped]).wall;
            damagedHashes[grouped] = folderHash(outDir);
        }
    }
    std::printf("with %d damaged files among them, jobs 2: one file a run %.3f s, grouped %.3f s (%.3f of the "
                "loop); results and reasons %s, outputs %s\n",
                static_cast<int>(damaged.size() - sources.size()), Corpus::median(damagedWalls[0]),
                Corpus::median(damagedWalls[1]), Corpus::median(damagedWalls[1]) / loopMedian,
                damagedResults[0] == damagedResults[1] ? "identical" : "DIFFER",
                damagedHashes[0] == damagedHashes[1] ? "identical" : "DIFFER");

    // Four formats from one reading of each source, against one format, and
    // against four batches of one format each: for the short prompts alone,
    // and for the whole corpus with its long recordings.
    const QStringList four{QStringLiteral("ulaw"), QStringLiteral("alaw"), QStringLiteral("g722"),
                           QStringLiteral("sln16")};
    const QStringList prompts = sources.filter(QStringLiteral("/prompt-"));
    for (const QStringList *const set : {&prompts, &sources}) {
        QList<double> formatWalls[3];
        for (int round = 1; round <= rounds; ++round) {
            for (int k = 0; k < 3; ++k) {
                const int way = (k + round) % 3;
                emptyFolder(outDir);
                double wall = 0;
                for (const QStringList &formats :
                     way == 0   ? QList<QStringList>{four.mid(0, 1)}
                     : way == 1 ? QList<QStringList>{four}
                                : QList<QStringList>{{four.at(0)}, {four.at(1)}, {four.at(2)}, {four.at(3)}})
                    wall += throughConverter(*set, outDir, 2, &converted, true, nullptr, formats).wall;
                formatWalls[way] << wall;
            }
        }
        const double one = Corpus::median(formatWalls[0]);
        std::printf("%d files, jobs 2, grouped: one format (.ulaw) %.3f s; four formats (.ulaw .alaw .g722 .sln16) "
                    "from one run a source %.3f s (%.2fx); the four one batch after another %.3f s (%.2fx)\n",
                    static_cast<int>(set->size()), one, Corpus::median(formatWalls[1]),
                    Corpus::median(formatWalls[1]) / one, Corpus::median(formatWalls[2]),
                    Corpus::median(formatWalls[2]) / one);
    }

    const int files = 48;
    const double one = sleepingThroughput(1, files);
    const double eight = sleepingThroughput(8, files);
    std::printf("scheduling, %d files through a converter that sleeps 100 ms: jobs 1 %.1f files/s, jobs 8 %.1f "
                "files/s, %.2fx\n",
                files, one, eight, eight / one);
    return 0;
}
