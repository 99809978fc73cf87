#include "workers/cprocessguard.h"

#include <QProcess>

#ifdef Q_OS_LINUX
#include <atomic>
#include <cerrno>
#include <csignal>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#ifdef Q_OS_LINUX
namespace {

// As many as the process groups of Marrowby's job control (cProcessGroups).
constexpr int capacity = 4096;
// Marrowby's end of the guard's socket, -1 without a guard; read in children.
std::atomic_int guardSocket{-1};
// The guard's own list of groups; filled in the guard process only.
pid_t guarded[capacity];

// The guard: a fork of a process with threads, which never runs a program,
// so it makes only calls that are safe there. One message per group, its id
// to guard it, the negated id to forget it; all of Marrowby's copies of its
// end closed, the socket reads as ended.
[[noreturn]] void guard(int input, int maxDescriptor)
{
    // Out of Marrowby's job and terminal: their signals are for Marrowby alone.
    ::setsid();
    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    for (int signal = 1; signal < NSIG; ++signal)
        ::sigaction(signal, &ignore, nullptr);
    // Holding none of Marrowby's files, pipes and terminals, it keeps nobody
    // waiting for their end (a shell reading Marrowby's output, say).
    if ((input > 0 && ::close_range(0, static_cast<unsigned>(input) - 1, 0) != 0) ||
        ::close_range(static_cast<unsigned>(input) + 1, ~0U, 0) != 0) {
        for (int fd = 0; fd <= maxDescriptor; ++fd) {
            if (fd != input)
                ::close(fd);
        }
    }
    for (;;) {
        qint32 group = 0;
        const ssize_t got = ::recv(input, &group, sizeof group, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        if (got != sizeof group || group == 0)
            continue;
        const pid_t from = group > 0 ? 0 : -group;
        const pid_t to = group > 0 ? group : 0;
        for (pid_t &place : guarded) {
            if (place == from) {
                place = to;
                break;
            }
        }
    }
    for (const pid_t group : guarded) {
        if (group > 0)
            ::kill(-group, SIGKILL);
    }
    ::_exit(0);
}

int startGuard()
{
    // Messages keep their bounds, and a sender never gets SIGPIPE (MSG_NOSIGNAL).
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends) != 0)
        return -1;
    rlimit limit{};
    const int maxDescriptor =
        ::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur < (1 << 20)
            ? static_cast<int>(limit.rlim_cur) - 1
            : (1 << 20) - 1;
    const pid_t pid = ::fork();
    if (pid == 0)
        guard(ends[0], maxDescriptor);
    ::close(ends[0]);
    if (pid < 0) {
        ::close(ends[1]);
        return -1;
    }
    return ends[1];
}

// Never waits: a guard that can't take the message now (stopped by someone)
// must not hold up a conversion.
void tell(qint32 message)
{
    if (const int socket = guardSocket.load(); socket >= 0)
        ::send(socket, &message, sizeof message, MSG_NOSIGNAL | MSG_DONTWAIT);
}

} // namespace
#endif

void cProcessGuard::start()
{
#ifdef Q_OS_LINUX
    static const int socket = startGuard();
    guardSocket = socket;
#endif
}

void cProcessGuard::endWithParent(qint64 parent)
{
#ifdef Q_OS_LINUX
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    // Gone between the fork and the line above: the signal would never come.
    if (::getppid() != static_cast<pid_t>(parent))
        ::_exit(127);
#else
    Q_UNUSED(parent);
#endif
}

void cProcessGuard::guardGroupInChild()
{
#ifdef Q_OS_LINUX
    // Before the program runs, so that no child of it is ever unguarded.
    tell(static_cast<qint32>(::getpid()));
#endif
}

void cProcessGuard::release(qint64 group)
{
#ifdef Q_OS_LINUX
    if (group > 0)
        tell(-static_cast<qint32>(group));
#else
    Q_UNUSED(group);
#endif
}

void cProcessGuard::endWithParent(QProcess &process)
{
#ifdef Q_OS_LINUX
    process.setChildProcessModifier([parent = ::getpid()] { endWithParent(parent); });
#else
    Q_UNUSED(process);
#endif
}
