#include "app/clogmessage.h"

#include "app/cterminaloutput.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDebug>
#include <QEvent>
#include <QMetaType>

#include <QMutexLocker>
#include <QRecursiveMutex>
#include <QTextCodec>

#include <cerrno>
#include <cstdlib>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

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
    const qsizetype nul = msg.indexOf(QChar(u'\0'));
    const QString text = nul < 0 ? msg : msg.left(nul);
#ifdef Q_OS_WIN
    // On Windows the log stays in Windows-1251, whatever the locale of the machine.
    static QTextCodec *const codec = QTextCodec::codecForName("Windows-1251");
    file.write(codec->fromUnicode(text + QLatin1Char('\n')));
#else
    // UTF-8 keeps every name, as the system's own tools show them.
    file.write((text + QLatin1Char('\n')).toUtf8());
#endif
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

namespace {

// Opens the log without emptying anything that is not the log's own: in a
// folder others can write to, a link by its name (the next run's, root's
// cron job's included) would have any file the user may write emptied and
// overwritten. So: no symbolic link followed, a regular file with no other
// name, and only then emptied. Why it can't, otherwise.
QString openLogSafely(QFile &file)
{
#ifdef Q_OS_UNIX
    // Non-blocking, so a FIFO in its place can't hold the start; a regular file ignores it.
    const int fd = ::open(QFile::encodeName(logFileName()).constData(),
                          O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0)
        return qt_error_string(errno);
    struct stat status = {};
    QString reason;
    if (::fstat(fd, &status) != 0)
        reason = qt_error_string(errno);
    else if (!S_ISREG(status.st_mode))
        reason = cLogMessage::tr("not a regular file");
    else if (status.st_nlink != 1)
        reason = cLogMessage::tr("the file has other names (hard links)");
    else if (::ftruncate(fd, 0) != 0)
        reason = qt_error_string(errno);
    else if (!file.open(fd, QIODevice::WriteOnly | QIODevice::Text, QFileDevice::AutoCloseHandle))
        reason = file.errorString();
    else
        return QString();
    ::close(fd);
    return reason;
#else
    file.setFileName(logFileName());
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text) ? QString() : file.errorString();
#endif
}

} // namespace

bool openLogFile(QFile &file)
{
    const QString reason = openLogSafely(file);
    if (!reason.isEmpty()) {
        cTerminalOutput::printError(
            cLogMessage::tr("marrowby: running without a log: %1: %2").arg(logFileName(), reason));
    }
    registerLogFile(&file);
    qRegisterMetaType<QtMsgType>("QtMsgType");
    return reason.isEmpty();
}

void startLogging(const QString &title)
{
    qInstallMessageHandler(logMessageHandler);
    qDebug() << title << "application started, build date:" << __DATE__ << __TIME__;
    qDebug() << "Current date:" << QDateTime::currentDateTime();
}

void closeLogFile(QFile &file, QObject *writer)
{
    qInstallMessageHandler(nullptr);
    // The messages still on their way to the file.
    QCoreApplication::sendPostedEvents(writer, QEvent::MetaCall);
    unregisterLogFile(&file);
    file.close();
}
