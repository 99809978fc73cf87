#include "app/clogmessage.h"

#include <QDateTime>
#include <QDebug>
#include <QMetaType>

#include <QMutexLocker>
#include <QRecursiveMutex>
#include <QTextCodec>

#include <cstdlib>

namespace {
cLogMessage logRelay(nullptr);

// Guards every write to a log file and the registered file itself. Recursive,
// so a fatal message raised while its own thread writes a line cannot hang.
QRecursiveMutex logLock;
QFile *registeredLogFile = nullptr;
} // namespace

cLogMessage::cLogMessage(QObject *parent) : QObject(parent)
{}

void cLogMessage::writeToLog(QtMsgType msgType, const QString &msg)
{
    emit log(msgType, msg);
}

cLogMessage &globalLogMessage()
{
    return logRelay;
}

void logMessageHandler(QtMsgType type, const QMessageLogContext &context, const QString &msg)
{
    Q_UNUSED(context)
    switch (type) {
    case QtDebugMsg:
    case QtWarningMsg:
    case QtCriticalMsg:
    case QtFatalMsg:
        break;
    default:
        return;
    }
    if (type != QtFatalMsg) {
        logRelay.writeToLog(type, msg);
        return;
    }
    {
        const QMutexLocker locker(&logLock);
        if (registeredLogFile)
            appendLogLine(*registeredLogFile, msg);
    }
    std::abort();
}

QString logFileName()
{
    return QStringLiteral("marrowby_log.txt");
}

void appendLogLine(QFile &file, const QString &msg)
{
    const QMutexLocker locker(&logLock);
    if (!file.isOpen())
        return;
    // The log is a stored file in Windows-1251, whatever the locale of the machine.
    static QTextCodec *const codec = QTextCodec::codecForName("Windows-1251");
    const qsizetype nul = msg.indexOf(QChar(u'\0'));
    const QString text = nul < 0 ? msg : msg.left(nul);
    file.write(codec->fromUnicode(text + QLatin1Char('\n')));
    file.flush();
}

void registerLogFile(QFile *file)
{
    const QMutexLocker locker(&logLock);
    registeredLogFile = file;
}

void unregisterLogFile(QFile *file)
{
    const QMutexLocker locker(&logLock);
    if (registeredLogFile == file)
        registeredLogFile = nullptr;
}

void openLogFile(QFile &file)
{
    file.setFileName(logFileName());
    file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text);
    registerLogFile(&file);
    qRegisterMetaType<QtMsgType>("QtMsgType");
}

void startLogging(const QString &title)
{
    qInstallMessageHandler(logMessageHandler);
    qDebug() << title << "application started, build date:" << __DATE__ << __TIME__;
    qDebug() << "Current date:" << QDateTime::currentDateTime();
}

void closeLogFile(QFile &file)
{
    qInstallMessageHandler(nullptr);
    unregisterLogFile(&file);
    file.close();
}
