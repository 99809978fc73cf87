#pragma once

#include <QByteArray>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>

// One run of the converter program at a time: in a process group of its own,
// at a lower priority, its standard output and error read as one. A stop ends
// the whole group, so that a wrapper script's children end with it.
class cProcessRun final : public QObject
{
    Q_OBJECT

public:
    explicit cProcessRun(QObject *parent);
    // Stops a run still under way.
    ~cProcessRun() override;

    // The converter program, found through PATH.
    static QString program();
    // Whether PATH has the converter program.
    static bool programFound();

    // Starts the program with these arguments; ended() follows, also when it
    // could not be started.
    void start(const QStringList &args);
    // Between start() and ended() or stop().
    bool isRunning() const { return running; }
    // Ends the program's whole process group and waits for it; ended() does
    // not follow. False when no run was under way.
    bool stop();
    // What the last run wrote, all of it once it has ended or was stopped.
    QByteArray output() const { return said; }
    // Why the last run could not be started, in the system's words.
    QString errorString() const { return startError; }

signals:
    // The program's exit code, -2 when it could not be started, -1 when it
    // crashed; once a run, always through the event loop, never from inside
    // start().
    void ended(int exitCode);

private:
    // In the program's process, before the program starts; parent: Marrowby's
    // process id, taken before the fork.
    static void setUpChild(qint64 parent);
    void enterGroup();
    void end(int exitCode);

    QProcess process;
    bool running = false;
    // Counts the runs, so that a late report of a run that was stopped is not
    // taken for the next one's.
    quint64 runs = 0;
    // The program's process group while it runs, or 0.
    qint64 group = 0;
    QByteArray said;
    QString startError;
};
