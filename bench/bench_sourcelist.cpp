// Figures for listing the sources of a named folder: 10,000 sound files in one
// folder, the same spread over 100 sub-folders, each with as many other files
// beside them; medians of several listings, the page cache warm.
//
// Run: bench_sourcelist [rounds, default 9]

#include "core/csourcelist.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int soundFiles = 10000;

// Makes count sound files and as many text files, in one folder or spread over folders.
bool makeTree(const QString &root, int folders)
{
    for (int i = 0; i < soundFiles; ++i) {
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
        listed = cSourceList::collect({root}).files.size();
        times << clock.nsecsElapsed() / 1000;
    }
    std::sort(times.begin(), times.end());
    std::printf("%-40s %6lld files  median %7.1f ms  min %7.1f ms  max %7.1f ms\n", what,
                static_cast<long long>(listed), times.at(times.size() / 2) / 1000.0, times.first() / 1000.0,
                times.last() / 1000.0);
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
    return 0;
}
