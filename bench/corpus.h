#pragma once

#include <QDir>
#include <QFileInfo>
#include <QList>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstdio>

// What the converter benchmarks share: their arguments (a corpus folder and a
// number of rounds) and the median of a round's times.
namespace Corpus {

// The files of the corpus folder named by the arguments, by name, and the
// rounds asked for (default: defaultRounds); empty after printing why.
inline QStringList read(const QStringList &args, const char *program, int defaultRounds, int &rounds)
{
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: %s CORPUS_DIR [ROUNDS]\n", program);
        return {};
    }
    rounds = args.size() > 2 ? std::max(1, args.at(2).toInt()) : defaultRounds;
    QStringList sources;
    for (const QFileInfo &info : QDir(args.at(1)).entryInfoList(QDir::Files, QDir::Name))
        sources << info.absoluteFilePath();
    if (sources.isEmpty())
        std::fprintf(stderr, "%s: no files in %s\n", program, qPrintable(args.at(1)));
    return sources;
}

inline double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    const qsizetype middle = values.size() / 2;
    return values.size() % 2 ? values.at(middle) : (values.at(middle - 1) + values.at(middle)) / 2;
}

} // namespace Corpus
