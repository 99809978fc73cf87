#include "core/cbatch.h"

#include "workers/cconverter.h"
#include "workers/ctarget.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>

namespace {

// How often a running batch tells how far it is.
constexpr int progressIntervalMs = 250;

} // namespace

cBatch::cBatch(QObject *parent) : QObject(parent), converter(new cConverter(this))
{
    progressTimer.setInterval(progressIntervalMs);
    connect(&progressTimer, &QTimer::timeout, this, &cBatch::progressChanged);
    connect(converter, &cConverter::fileStarted, this, &cBatch::fileStarted);
    connect(converter, &cConverter::fileFinished, this, [this](const cFileResult &result) {
        if (running)
            tally.fileDone(result.outcome);
        emit fileFinished(result);
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

void cBatch::setOutputFolder(const QString &typed)
{
    converter->setOutputDir(outputFolder(typed));
}

bool cBatch::start(const QList<cSource> &sources, const Options &options, int failedBefore)
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
    converter->setKeepFolders(options.keepFolders);
    converter->setJobs(options.jobs);
    converter->setOneFilePerRun(options.oneFilePerRun);
    converter->setForwardOutput(options.forwardOutput);
    const cTarget &target = cTarget::byId(options.target);
    converter->setTarget(target.id(), options.language);
    converter->setChoices({options.formats.isEmpty() ? target.formats() : options.formats, options.clean,
                           options.loudness, options.trim});

    tally.start(static_cast<int>(sources.size()) + failedBefore);
    for (int i = 0; i < failedBefore; ++i)
        tally.fileDone(cFileResult::Outcome::Failed);
    running = true;
    stopping = false;
    stopped = false;
    converter->convertSources(sources);
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
