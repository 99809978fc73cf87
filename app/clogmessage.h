#pragma once

#include <QFile>
#include <QObject>
#include <QString>
#include <QtGlobal>

// Relays every diagnostic message of the process, raised on any thread, to
// whoever writes the log; the main window and the command connect to it with
// a queued connection, so the log file is only ever touched by the main thread.
class cLogMessage : public QObject
{
    Q_OBJECT

public:
    explicit cLogMessage(QObject *parent = nullptr);

signals:
    void log(QtMsgType msgType, const QString &msg);

public slots:
    void writeToLog(QtMsgType msgType, const QString &msg);
};

// The one relay of the process; it lives from static initialisation to static
// destruction, so it outlives the time in which the handler is installed.
cLogMessage &globalLogMessage();

// The process-wide message handler: passes debug, warning and critical
// messages to the relay. A fatal message is written to the registered log file
// at once, from whatever thread raised it, and then ends the process: a line
// sent through the relay would never arrive.
void logMessageHandler(QtMsgType type, const QMessageLogContext &context, const QString &msg);

// The log file every diagnostic message of the process goes to: in the working
// directory, emptied at every start, one line per message, in UTF-8 (in
// Windows-1251 on Windows).
QString logFileName();

// Appends one message to the log as one line; a NUL inside the message ends
// its text but not its line. Does nothing when the file is not open. Takes
// the lock the handler writes fatal messages under, so lines never interleave.
void appendLogLine(QFile &file, const QString &msg);

// Names the open log file that fatal messages are written to: whoever writes
// the log registers its file after opening it and unregisters it before
// closing it. Unregistering a file other than the registered one does nothing.
void registerLogFile(QFile *file);
void unregisterLogFile(QFile *file);

// The log's life, for whoever keeps it (the window, or the command without
// one). openLogFile opens the file, never through a link nor when it has
// another name, empties it, registers it and makes QtMsgType travel in queued
// calls: the writer then connects the relay. When the file can't be opened
// so, it says why in one line on standard error and returns false: the
// program runs without a log.
// startLogging installs the handler and writes the two lines every run starts
// with, the first naming title. closeLogFile removes the handler, writes the
// messages still queued for the writer, unregisters and closes the file.
bool openLogFile(QFile &file);
void startLogging(const QString &title);
void closeLogFile(QFile &file, QObject *writer);
