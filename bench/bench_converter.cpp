// Converts one corpus, again and again, through cConverter and through a plain
// shell loop that runs ffmpeg with the same arguments, and prints both times
// and their ratio. ffmpeg's own output goes to stderr; the figures to stdout.
//
//   bench_converter CORPUS_DIR [ROUNDS]

#include "workers/cconverter.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
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

Pass throughConverter(const QStringList &sources, const QString &outDir, int *converted)
{
    cConverter converter;
    converter.setOutputDir(outDir);
    converter.setFileNameType(0);
    converter.setFileSaveType(0);
    QEventLoop loop;
    *converted = 0;
    QObject::connect(&converter, &cConverter::fileProcessed, &loop,
                     [converted](const QString &, bool result) { *converted += result ? 1 : 0; });
    QObject::connect(&converter, &cConverter::convertFinished, &loop, &QEventLoop::quit);
    return measure([&] {
        converter.convertFiles(sources);
        loop.exec();
        converter.wait();
    });
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: bench_converter CORPUS_DIR [ROUNDS]\n");
        return 2;
    }
    const int rounds = args.size() > 2 ? std::max(1, args.at(2).toInt()) : 3;
    QStringList sources;
    for (const QFileInfo &info : QDir(args.at(1)).entryInfoList(QDir::Files, QDir::Name))
        sources << info.absoluteFilePath();
    if (sources.isEmpty()) {
        std::fprintf(stderr, "bench_converter: no files in %s\n", qPrintable(args.at(1)));
        return 2;
    }
    const QTemporaryDir work;
    const QString outDir = work.path();
    const QStringList outputs = outputPaths(sources, outDir);

    std::printf("corpus: %d files; %d rounds, each converts it once both ways\n", static_cast<int>(sources.size()),
                rounds);
    // One pass first, so that both ways find the corpus and ffmpeg in the page cache.
    shellLoop(sources, outputs);

    Pass loopTotal;
    Pass converterTotal;
    QList<double> ratios;
    QByteArray loopHash;
    QByteArray converterHash;
    int converted = 0;
    for (int round = 1; round <= rounds; ++round) {
        Pass loop;
        Pass conv;
        // Alternate the order, so that a drift in machine load falls on both.
        for (int pass = 0; pass < 2; ++pass) {
            emptyFolder(outDir);
            if ((pass == 0) == (round % 2 == 1)) {
                loop = shellLoop(sources, outputs);
                loopHash = folderHash(outDir);
            } else {
                conv = throughConverter(sources, outDir, &converted);
                converterHash = folderHash(outDir);
            }
        }
        for (auto [total, one] : {std::pair{&loopTotal, loop}, std::pair{&converterTotal, conv}}) {
            total->wall += one.wall;
            total->ownCpu += one.ownCpu;
            total->childCpu += one.childCpu;
        }
        ratios << conv.wall / loop.wall;
        std::printf("round %d: shell loop %.3f s, cConverter %.3f s, ratio %.4f\n", round, loop.wall, conv.wall,
                    conv.wall / loop.wall);
        std::fflush(stdout);
    }
    std::sort(ratios.begin(), ratios.end());
    std::printf("wall:    shell loop %.3f s, cConverter %.3f s, ratio %.4f (median round %.4f), overhead %+.2f%%\n",
                loopTotal.wall, converterTotal.wall, converterTotal.wall / loopTotal.wall, ratios.at(ratios.size() / 2),
                (converterTotal.wall / loopTotal.wall - 1) * 100);
    std::printf(
        "cpu:     ffmpeg and shell %.3f s, ffmpeg %.3f s; this process in the loop %.3f s, with cConverter %.3f s\n",
        loopTotal.childCpu, converterTotal.childCpu, loopTotal.ownCpu, converterTotal.ownCpu);
    std::printf("converted %d of %d files; outputs of both ways %s (%s, %s)\n", converted,
                static_cast<int>(sources.size()), loopHash == converterHash ? "identical" : "DIFFER",
                loopHash.constData(), converterHash.constData());
    return 0;
}
