#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>

// One run of the converter program for one source file, on the converter's
// thread. It keeps the file's log lines so that they reach the log together
// when the file ends, and the program's own output, to pass it on in one piece.
class cConversion : public QObject
{
    Q_OBJECT

public:
    // log: the lines the converter has already written about the file.
    cConversion(const QString &source, const QString &outPath, const QStringList &args, const QStringList &log,
                QObject *parent);

    void start();
    // Ends the program if it still runs and removes the output it had begun;
    // false when the program had already ended by itself.
    bool stop();

    QString source() const { return sourcePath; }
    QString outPath() const { return outputPath; }
    // The program's exit code, -2 when it could not be started, -1 when it crashed.
    int exitCode() const { return code; }
    QString reason() const { return failure; }
    QStringList log() const { return lines; }
    QByteArray output() const { return programOutput; }

signals:
    // The program has ended and its result is known; always delivered through
    // the event loop, never from inside start().
    void finished();

private:
    struct FileState
    {
        bool exists = false;
        qint64 size = 0;
        QDateTime modified;
        QDateTime changed;

        bool operator==(const FileState &other) const;
    };
    static FileState fileState(const QString &path);

    void programEnded(int exitCode);
    bool removeUnfinishedOutput();
    QString failureReason() const;

    const QString sourcePath;
    const QString outputPath;
    const QStringList arguments;
    QStringList lines;
    QProcess process;
    // The output before the program ran: a file it did not touch is not its work.
    FileState before;
    QByteArray programOutput;
    int code = 0;
    QString failure;
    bool ended = false;
};
