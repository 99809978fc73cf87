// Figures for listing the sources of a named folder: 10,000 sound files in one
// folder, the same spread over 100 sub-folders, each with as many other files
// beside them; medians of several listings, the page cache warm. Then a tree of
// 100,000 entries listed on the listing thread while a 5 ms timer runs on this
// thread's event loop: the walk's time, the timer's longest gap, and the time
// from a cancel to the cancelled signal, there and in a walk of "/".
//
// Run: bench_sourcelist [rounds, default 9]

#include "core/csourcelist.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int soundFiles = 10000;

// Makes count sound files and as many text files, in one folder or spread over folders.
bool makeTree(const QString &root, int folders, int count = soundFiles)
{
    for (int i = 0; i < count; ++i) {
        const QString folder =
            folders > 1 ? QStringLiteral("%1/d%2").arg(root).arg(i % folders, 3, 10, QLatin1Char('0')) : root;
        if (!QDir().mkpath(folder))
            return false;
        for (const QString &name : {QStringLiteral("prompt %1.wav").arg(i), QStringLiteral("note %1.txt").arg(i)}) {
            QFile file(folder + QLatin1Char('/') + name);
            if (!file.open(QIODevice::WriteOnly))
                return false;
        }
    }
    return true;
}

void measure(const char *what, const QString &root, int rounds)
{
    QList<qint64> times;
    qsizetype listed = 0;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer clock;
        clock.start();
        listed = cSourceList::collect({root}).sources.size();
        times << clock.nsecsElapsed() / 1000;
    }
    std::sort(times.begin(), times.end());
    std::printf("%-40s %6lld files  median %7.1f ms  min %7.1f ms  max %7.1f ms\n", what,
                static_cast<long long>(listed), times.at(times.size() / 2) / 1000.0, times.first() / 1000.0,
                times.last() / 1000.0);
}

double median(QList<qint64> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2) / 1000.0;
}

// Lists paths on the listing thread while a 5 ms timer ticks here; cancels
// after cancelAfterMs unless it is negative. Returns the time from the start
// (or the cancel) to the last signal, in microseconds, and the timer's longest
// gap; walk time -1 when a cancel came too late to stop anything.
struct Walk
{
    qint64 us = -1;
    qint64 longestGapUs = 0;
    qsizetype files = 0;
    int progressReports = 0;
};

Walk walk(const QStringList &paths, int cancelAfterMs = -1)
{
    Walk walk;
    cSourceList sources;
    QEventLoop loop;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(5);
    QElapsedTimer sinceTick;
    QElapsedTimer clock;
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        walk.longestGapUs = std::max(walk.longestGapUs, sinceTick.nsecsElapsed() / 1000);
        sinceTick.start();
    });
    QObject::connect(&sources, &cSourceList::progress, &loop, [&] { ++walk.progressReports; });
    QObject::connect(&sources, &cSourceList::listed, &loop, [&](const cSourceList::Result &result) {
        walk.files = result.sources.size();
        walk.us = cancelAfterMs < 0 ? clock.nsecsElapsed() / 1000 : -1;
        loop.quit();
    });
    QObject::connect(&sources, &cSourceList::cancelled, &loop, [&] {
        walk.us = clock.nsecsElapsed() / 1000;
        loop.quit();
    });
    if (cancelAfterMs >= 0) {
        QTimer::singleShot(cancelAfterMs, Qt::PreciseTimer, &loop, [&] {
            clock.start();
            sources.cancel();
        });
    }
    tick.start();
    sinceTick.start();
    clock.start();
    sources.list(paths);
    loop.exec();
    return walk;
}

void measureThread(const QString &root, int rounds)
{
    QList<qint64> times;
    qint64 longestGap = 0;
    Walk last;
    for (int round = 0; round < rounds; ++round) {
        last = walk({root});
        times << last.us;
        longestGap = std::max(longestGap, last.longestGapUs);
    }
    std::printf("listing thread, 100,000 entries: %lld files in a median %.1f ms (min %.1f, max %.1f), %d progress "
                "reports; the event loop's longest gap %.1f ms (5 ms timer)\n",
                static_cast<long long>(last.files), median(times),
                *std::min_element(times.cbegin(), times.cend()) / 1000.0,
                *std::max_element(times.cbegin(), times.cend()) / 1000.0, last.progressReports, longestGap / 1000.0);
}

void measureCancel(const char *what, const QString &root, int afterMs, int rounds)
{
    QList<qint64> times;
    for (int round = 0; round < rounds; ++round) {
        const Walk cancelled = walk({root}, afterMs);
        if (cancelled.us >= 0)
            times << cancelled.us;
    }
    if (times.isEmpty()) {
        std::printf("%s: the walk ended before the cancel\n", what);
        return;
    }
    std::printf("%s, cancelled after %d ms: cancel to cancelled() median %.3f ms, max %.3f ms (%lld rounds)\n", what,
                afterMs, median(times), *std::max_element(times.cbegin(), times.cend()) / 1000.0,
                static_cast<long long>(times.size()));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    QTemporaryDir flat;
    QTemporaryDir tree;
    if (!flat.isValid() || !tree.isValid() || !makeTree(flat.path(), 1) || !makeTree(tree.path(), 100)) {
        std::fprintf(stderr, "could not make the folders\n");
        return 1;
    }
    measure("one folder (+10,000 other files)", flat.path(), rounds);
    measure("100 sub-folders (+10,000 other files)", tree.path(), rounds);

    // 50,000 sound files and 50,000 others in 500 folders.
    QTemporaryDir large;
    if (!large.isValid() || !makeTree(large.path(), 500, 50000)) {
        std::fprintf(stderr, "could not make the folders\n");
        return 1;
    }
    measureThread(large.path(), rounds);
    measureCancel("listing thread, 100,000 entries", large.path(), 20, rounds);
    measureCancel("listing thread, all of /", QStringLiteral("/"), 100, rounds);
    return 0;
}
