#pragma once

#include "workers/clockedvalue.h"

#include <QMutex>
#include <QStringList>
#include <QThread>

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
    QStringList fileQueue;
    QMutex queueMutex;
    cLockedValue<QString> outputDir;
    cLockedValue<int> fileNameType;
    cLockedValue<int> fileSaveType;
};
