#include "app/csignalwatcher.h"

#include <QDebug>
#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <csignal>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#include <unistd.h>
#endif

#ifdef Q_OS_UNIX

struct cSignalWatcher::Installed
{
    int number;
    struct sigaction before;
};

namespace {

// The end each caught signal is written to; read by the handler, so atomic.
std::atomic_int writeEnds[NSIG];

void handler(int number)
{
    const int savedErrno = errno;
    const char byte = static_cast<char>(number);
    // When the socket is full, the watcher has signals enough to read.
    [[maybe_unused]] const ssize_t written = ::write(writeEnds[number].load(), &byte, 1);
    errno = savedErrno;
}

} // namespace

cSignalWatcher::cSignalWatcher(const QList<int> &numbers, QObject *parent) : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, fds) != 0) {
        qDebug() << "Signals not caught, no socket pair:" << qt_error_string(errno);
        return;
    }
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : numbers) {
        Installed entry{number, {}};
        if (::sigaction(number, nullptr, &entry.before) != 0 || entry.before.sa_handler == SIG_IGN)
            continue;
        writeEnds[number] = fds[0];
        if (::sigaction(number, &action, nullptr) == 0)
            installed.append(entry);
    }
    notifier = new QSocketNotifier(fds[1], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &cSignalWatcher::readSignals);
}

cSignalWatcher::~cSignalWatcher()
{
    for (const Installed &entry : std::as_const(installed)) {
        ::sigaction(entry.number, &entry.before, nullptr);
        writeEnds[entry.number] = -1;
    }
    if (fds[0] >= 0) {
        ::close(fds[0]);
        ::close(fds[1]);
    }
}

QList<int> cSignalWatcher::watched() const
{
    QList<int> numbers;
    for (const Installed &entry : installed)
        numbers.append(entry.number);
    return numbers;
}

QList<int> cSignalWatcher::stopSignals()
{
    return {SIGINT, SIGTERM, SIGHUP};
}

void cSignalWatcher::readSignals()
{
    char byte = 0;
    while (::read(fds[1], &byte, 1) == 1)
        emit arrived(byte);
}

#else

// Elsewhere the console's signals are left to their defaults.
struct cSignalWatcher::Installed
{
    int number;
};

cSignalWatcher::cSignalWatcher(const QList<int> &numbers, QObject *parent) : QObject(parent)
{
    Q_UNUSED(numbers)
}

cSignalWatcher::~cSignalWatcher() = default;

QList<int> cSignalWatcher::watched() const
{
    return {};
}

QList<int> cSignalWatcher::stopSignals()
{
    return {};
}

void cSignalWatcher::readSignals()
{}

#endif
