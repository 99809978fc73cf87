#include "core/cbatch.h"

#include "workers/cconverter.h"
#include "workers/coutputformat.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>

namespace {

// How often a running batch tells how far it is.
constexpr int progressIntervalMs = 250;

} // namespace

cBatch::cBatch(cConverter *converter, QObject *parent) : QObject(parent), converter(converter)
{
    progressTimer.setInterval(progressIntervalMs);
    connect(&progressTimer, &QTimer::timeout, this, &cBatch::progressChanged);
    connect(converter, &cConverter::fileStarted, this, &cBatch::fileStarted);
    connect(converter, &cConverter::fileResult, this,
            [this](const QString &fn, bool converted, const QString &outPath, const cText &reason, Result::Kind kind) {
                if (running)
                    tally.fileDone(converted, kind == Result::Kind::Skipped, kind == Result::Kind::Warned);
                emit fileFinished({fn, converted, outPath, reason, kind, formatId});
            });
    connect(converter, &cConverter::convertFinished, this, &cBatch::converterFinished);
}

QString cBatch::outputFolder(const QString &typed)
{
    const QString folder = typed.trimmed();
    if (folder == QLatin1String("~"))
        return QDir::homePath();
    if (folder.startsWith(QLatin1String("~/")))
        return QDir::homePath() + folder.mid(1);
    return folder;
}

QString cBatch::storedFolder(const QString &typed)
{
    const QString folder = outputFolder(typed);
    if (folder.isEmpty() || !QDir::isRelativePath(folder) || folder != typed.trimmed())
        return typed;
    return QDir::cleanPath(QDir::current().absoluteFilePath(folder));
}

bool cBatch::start(const QStringList &files, const Options &options, int failedBefore, const QStringList &roots)
{
    if (running)
        return false;
    resolvedFolder = outputFolder(options.outputFolder);
    if (!resolvedFolder.isEmpty() && !QFileInfo(resolvedFolder).isDir()) {
        if (!QDir().mkpath(resolvedFolder)) {
            qDebug() << "Could not create the output folder:" << resolvedFolder;
            return false;
        }
        qDebug() << "Output folder created:" << resolvedFolder;
    }
    converter->setOutputDir(resolvedFolder);
    converter->setFileNameType(static_cast<int>(options.nameRule));
    converter->setFileSaveType(static_cast<int>(options.existingRule));
    converter->setSafeNames(options.safeNames);
    converter->setJobs(options.jobs);
    converter->setOneFilePerRun(options.oneFilePerRun);
    converter->setForwardOutput(options.forwardOutput);
    converter->setChoices({options.format, options.clean, options.loudness, options.trim});
    formatId = cOutputFormat::byId(options.format).id();

    tally.start(static_cast<int>(files.size()) + failedBefore);
    for (int i = 0; i < failedBefore; ++i)
        tally.fileDone(false);
    running = true;
    stopping = false;
    stopped = false;
    QStringList subFolders;
    if (options.keepFolders) {
        for (qsizetype i = 0; i < files.size() && i < roots.size(); ++i) {
            const QString &root = roots.at(i);
            const QString sub = root.isEmpty() ? QString() : QDir(root).relativeFilePath(QFileInfo(files.at(i)).path());
            subFolders.append(sub == QLatin1String(".") ? QString() : sub);
        }
    }
    converter->convertFiles(files, subFolders);
    progressTimer.start();
    return true;
}

void cBatch::stop()
{
    if (!running || stopping)
        return;
    stopping = true;
    converter->stop();
}

void cBatch::converterFinished()
{
    if (!running)
        return;
    running = false;
    stopped = stopping;
    stopping = false;
    progressTimer.stop();
    tally.finish();
    emit finished();
}
