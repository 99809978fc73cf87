#include "app/clogmessage.h"

#include <QTextCodec>

#include <cstdlib>

namespace {
cLogMessage logRelay(nullptr);
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
    logRelay.writeToLog(type, msg);
    if (type == QtFatalMsg)
        std::abort();
}

QString logFileName()
{
    return QStringLiteral("marrowby_log.txt");
}

void appendLogLine(QFile &file, const QString &msg)
{
    if (!file.isOpen())
        return;
    // The log is a stored file in Windows-1251, whatever the locale of the machine.
    static QTextCodec *const codec = QTextCodec::codecForName("Windows-1251");
    const qsizetype nul = msg.indexOf(QChar(u'\0'));
    const QString text = nul < 0 ? msg : msg.left(nul);
    file.write(codec->fromUnicode(text + QLatin1Char('\n')));
    file.flush();
}
