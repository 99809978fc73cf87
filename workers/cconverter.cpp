#include "workers/cconverter.h"

cConverter::cConverter(QObject *parent) : QThread(parent)
{
    fileSaveType.setValue(1);
    fileNameType.setValue(0);
}

cConverter::~cConverter()
{
    wait();
}

void cConverter::setOutputDir(const QString &dir)
{
    outputDir.setValue(dir);
}

void cConverter::setFileNameType(int type)
{
    fileNameType.setValue(type);
}

void cConverter::setFileSaveType(int type)
{
    fileSaveType.setValue(type);
}

void cConverter::convertFiles(const QStringList &files)
{
    if (isRunning())
        return;
    const QMutexLocker locker(&queueMutex);
    fileQueue += files;
    start();
}

void cConverter::run()
{
    emit convertFinished();
}
