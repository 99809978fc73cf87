#include "workers/cprocessrun.h"

#include "workers/cprocessgroups.h"
#include "workers/cprocessguard.h"

#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_WIN
const QString converterProgram = QStringLiteral("ffmpeg.exe");
#else
const QString converterProgram = QStringLiteral("ffmpeg");
#endif

#ifdef Q_OS_UNIX
// How much lower than Marrowby's own the converter programs' priority is.
constexpr int backgroundNiceness = 10;
#endif

} // namespace

cProcessRun::cProcessRun(QObject *parent) : QObject(parent), process(this)
{
    process.setProcessChannelMode(QProcess::MergedChannels);
#ifdef Q_OS_UNIX
    cProcessGuard::start();
    process.setChildProcessModifier([parent = ::getpid()] { setUpChild(parent); });
#endif
    connect(&process, &QProcess::finished, this,
            [this](int exitCode, QProcess::ExitStatus status) { end(status == QProcess::NormalExit ? exitCode : -1); });
    connect(&process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        startError = process.errorString();
        // Said from inside start() when the process could not even be made.
        QMetaObject::invokeMethod(
            this,
            [this, run = runs] {
                if (run == runs)
                    end(-2);
            },
            Qt::QueuedConnection);
    });
}

cProcessRun::~cProcessRun()
{
    stop();
}

QString cProcessRun::program()
{
    return converterProgram;
}

bool cProcessRun::programFound()
{
    return !QStandardPaths::findExecutable(converterProgram).isEmpty();
}

void cProcessRun::setUpChild(qint64 parent)
{
#ifdef Q_OS_UNIX
    cProcessGroups::resetInChild();
    // Ends with Marrowby, however Marrowby ends, and so does its group.
    cProcessGuard::endWithParent(parent);
    // In a process group of its own the program does not get the terminal's
    // Ctrl-C, on which it would end early and leave a shortened output that
    // looks finished; the stop request ends its whole group.
    ::setpgid(0, 0);
    cProcessGuard::guardGroupInChild();
    // With one program per core, programs of the same priority would keep the
    // window (and anything else the machine runs, such as calls on a phone
    // server) waiting for a core for up to 100 ms; in the background they
    // still take every core that is free.
    [[maybe_unused]] const int niceness = ::nice(backgroundNiceness);
#else
    Q_UNUSED(parent);
#endif
}

void cProcessRun::start(const QStringList &args)
{
    ++runs;
    running = true;
    said.clear();
    startError.clear();
    process.start(converterProgram, args);
    enterGroup();
}

void cProcessRun::enterGroup()
{
#ifdef Q_OS_UNIX
    // Set from this side too, so that the group exists before a stop can come.
    if (const qint64 pid = process.processId(); pid > 0) {
        ::setpgid(static_cast<pid_t>(pid), static_cast<pid_t>(pid));
        cProcessGroups::add(pid);
        group = pid;
    }
#endif
}

bool cProcessRun::stop()
{
    if (!running)
        return false;
    running = false;
    // A wrapper script's children are in its group and end with it.
    cProcessGroups::kill(group);
    process.kill();
    process.waitForFinished(-1);
    cProcessGroups::remove(group);
    group = 0;
    if (process.isOpen())
        said += process.readAll();
    return true;
}

void cProcessRun::end(int exitCode)
{
    if (!running)
        return;
    running = false;
    cProcessGroups::remove(group);
    group = 0;
    // Not open when the program could not be started.
    if (process.isOpen())
        said += process.readAll();
    emit ended(exitCode);
}
