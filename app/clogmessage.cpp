#include "app/clogmessage.h"

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
