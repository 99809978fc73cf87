#include "workers/cprocessgroups.h"

#include "workers/cprocessguard.h"

#ifdef Q_OS_UNIX
#include <atomic>
#include <cerrno>
#include <csignal>
#include <sys/types.h>
#endif

#ifdef Q_OS_UNIX
namespace {

// More than a machine runs at once: the open-files limit ends them sooner.
constexpr int capacity = 4096;
static_assert(std::atomic<pid_t>::is_always_lock_free, "a signal handler reads the table");
// Zero marks a free place.
std::atomic<pid_t> groups[capacity];

void installHandler(int signal, void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(signal, &action, nullptr);
}

void continueAll(int)
{
    const int savedErrno = errno;
    cProcessGroups::signalAll(SIGCONT);
    errno = savedErrno;
}

// The converter programs are in groups of their own, which the terminal's
// Ctrl-Z does not reach: they are stopped first, then Marrowby stops as it
// would without a handler, so that the shell sees a stopped job.
void stopAll(int)
{
    const int savedErrno = errno;
    cProcessGroups::signalAll(SIGSTOP);
    installHandler(SIGTSTP, SIG_DFL);
    // Blocked while this handler runs, the signal stops the process once unblocked.
    ::raise(SIGTSTP);
    sigset_t tstp;
    sigemptyset(&tstp);
    sigaddset(&tstp, SIGTSTP);
    ::sigprocmask(SIG_UNBLOCK, &tstp, nullptr);
    // Continued.
    installHandler(SIGTSTP, stopAll);
    errno = savedErrno;
}

bool inheritedAsIgnored(int signal)
{
    struct sigaction before = {};
    return ::sigaction(signal, nullptr, &before) == 0 && before.sa_handler == SIG_IGN;
}

} // namespace
#endif

bool cProcessGroups::add(qint64 group)
{
#ifdef Q_OS_UNIX
    for (std::atomic<pid_t> &place : groups) {
        pid_t free = 0;
        if (place.compare_exchange_strong(free, static_cast<pid_t>(group)))
            return true;
    }
    return false;
#else
    Q_UNUSED(group);
    return true;
#endif
}

void cProcessGroups::remove(qint64 group)
{
    cProcessGuard::release(group);
#ifdef Q_OS_UNIX
    for (std::atomic<pid_t> &place : groups) {
        pid_t expected = static_cast<pid_t>(group);
        if (place.compare_exchange_strong(expected, 0))
            return;
    }
#else
    Q_UNUSED(group);
#endif
}

void cProcessGroups::signalAll(int signal)
{
#ifdef Q_OS_UNIX
    for (const std::atomic<pid_t> &place : groups) {
        if (const pid_t group = place.load(); group > 0)
            ::kill(-group, signal);
    }
#else
    Q_UNUSED(signal);
#endif
}

void cProcessGroups::kill(qint64 group)
{
#ifdef Q_OS_UNIX
    if (group > 0)
        ::kill(-static_cast<pid_t>(group), SIGKILL);
#else
    Q_UNUSED(group);
#endif
}

void cProcessGroups::followJobControl()
{
#ifdef Q_OS_UNIX
    static std::atomic_bool following{false};
    if (following.exchange(true) || inheritedAsIgnored(SIGTSTP))
        return;
    installHandler(SIGCONT, continueAll);
    installHandler(SIGTSTP, stopAll);
#endif
}

void cProcessGroups::resetInChild()
{
#ifdef Q_OS_UNIX
    // Handlers go at the program's start anyway; until then a signal must not
    // run one of Marrowby's in this process. What Marrowby ignored because it
    // was told to at its start stays ignored, but a broken pipe ends the
    // program as it ends any other.
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGTSTP, SIGCONT, SIGPIPE}) {
        if (signal == SIGPIPE || !inheritedAsIgnored(signal))
            installHandler(signal, SIG_DFL);
    }
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
#endif
}
