#pragma once

#include "workers/clockedvalue.h"

#include <QHash>
#include <QMutex>
#include <QStringList>
#include <QThread>

#include <atomic>
#include <optional>

// Runs the converter program once per queued source file, one file after
// another, on a thread of its own; reports each file and the end of the batch.
class cConverter : public QThread
{
    Q_OBJECT

public:
    explicit cConverter(QObject *parent = nullptr);
    ~cConverter() override;

    void setOutputDir(const QString &dir);
    void setFileNameType(int type);
    void setFileSaveType(int type);
    void convertFiles(const QStringList &files);

signals:
    void convertFinished();
    void fileProcessed(const QString &fn, bool result);

protected:
    void run() override;

private:
    bool convertFile(const QString &fn, QHash<QString, QString> &writtenBy);
    std::optional<int> runConverter(const QStringList &args, const QString &outPath);

    // Raised by the destructor: no further file is started, and a running
    // converter program is ended.
    cLockedValue<bool> stopRequested;
    QStringList fileQueue;
    QMutex queueMutex;
    cLockedValue<QString> outputDir;
    cLockedValue<int> fileNameType;
    cLockedValue<int> fileSaveType;
    // Set just before convertFinished(): the batch is over and the thread only
    // has to return, so a new batch waits for it instead of being dropped.
    std::atomic_bool finishing{false};
};
