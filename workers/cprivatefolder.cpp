#include "workers/cprivatefolder.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QSysInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// Hidden, and named so that nobody takes it for a prompt.
const QByteArray prefix = QByteArrayLiteral(".marrowby-");
constexpr int randomLength = 6;
// No output is named so: every output's name ends in its format's ending.
const char lockName[] = ".lock";
const QByteArray ownerWord = QByteArrayLiteral("marrowby");

#ifdef Q_OS_UNIX
bool isPrivateName(const QByteArray &name)
{
    if (name.size() != prefix.size() + randomLength || !name.startsWith(prefix))
        return false;
    for (const char c : name.mid(prefix.size())) {
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

// "marrowby <process id> <host>", whole: a line still being written proves nothing.
bool isOwnerLine(const QByteArray &text)
{
    if (!text.endsWith('\n') || text.count('\n') != 1)
        return false;
    const QList<QByteArray> words = text.trimmed().split(' ');
    bool number = false;
    return words.size() == 3 && words.at(0) == ownerWord && words.at(1).toLongLong(&number) > 0 && number &&
           !words.at(2).isEmpty();
}

bool isOwn(const struct stat &info)
{
    return info.st_uid == ::geteuid();
}

// The names in an open folder, read through a copy of its descriptor
// (closedir closes the one it reads); false when it can't be read whole.
bool entries(int folder, QList<QByteArray> &names)
{
    const int listing = ::fcntl(folder, F_DUPFD_CLOEXEC, 0);
    if (listing < 0)
        return false;
    DIR *const dir = ::fdopendir(listing);
    if (!dir) {
        ::close(listing);
        return false;
    }
    errno = 0;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            names << name;
    }
    const bool whole = errno == 0;
    ::closedir(dir);
    return whole;
}

// Removes the private folder of that name in the open folder parent when it
// is a leftover of Marrowby's own; never follows a link.
bool removeIfLeftover(int parent, const QByteArray &name)
{
    const int folder = ::openat(parent, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (folder < 0)
        return false;
    struct stat info = {};
    int lock = -1;
    const auto done = [&](bool removed) {
        if (lock >= 0)
            ::close(lock);
        ::close(folder);
        return removed;
    };
    if (::fstat(folder, &info) != 0 || !isOwn(info) || (info.st_mode & 07777) != 0700)
        return done(false);
    // Nobody holds the lock: the run that made the folder has ended.
    lock = ::openat(folder, lockName, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    struct stat lockInfo = {};
    if (lock < 0 || ::fstat(lock, &lockInfo) != 0 || !S_ISREG(lockInfo.st_mode) || !isOwn(lockInfo) ||
        ::flock(lock, LOCK_EX | LOCK_NB) != 0)
        return done(false);
    char owner[256];
    const ssize_t got = ::pread(lock, owner, sizeof owner, 0);
    if (got <= 0 || !isOwnerLine(QByteArray(owner, static_cast<int>(got))))
        return done(false);
    QList<QByteArray> names;
    if (!entries(folder, names))
        return done(false);
    for (const QByteArray &entry : std::as_const(names)) {
        struct stat entryInfo = {};
        if (::fstatat(folder, entry.constData(), &entryInfo, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(entryInfo.st_mode) ||
            !isOwn(entryInfo))
            return done(false);
    }
    // The lock file last, while it is locked.
    names.removeOne(QByteArray(lockName));
    names << lockName;
    for (const QByteArray &entry : std::as_const(names))
        ::unlinkat(folder, entry.constData(), 0);
    // Still the folder that was checked; one that has taken in a new file meanwhile stays.
    struct stat now = {};
    return done(::fstatat(parent, name.constData(), &now, AT_SYMLINK_NOFOLLOW) == 0 && now.st_dev == info.st_dev &&
                now.st_ino == info.st_ino && ::unlinkat(parent, name.constData(), AT_REMOVEDIR) == 0);
}
#endif

} // namespace

QString cPrivateFolder::nameTemplate()
{
    return QString::fromLatin1(prefix) + QString(randomLength, QLatin1Char('X'));
}

int cPrivateFolder::mark(const QString &folder)
{
#ifdef Q_OS_UNIX
    const QByteArray path = QFile::encodeName(QDir(folder).filePath(QString::fromLatin1(lockName)));
    const int lock = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (lock < 0)
        return -1;
    // Locked before the owner line is written: a run that clears leftovers
    // and gets the lock first finds no whole line, and leaves the folder alone.
    int locked = 0;
    do
        locked = ::flock(lock, LOCK_EX);
    while (locked != 0 && errno == EINTR);
    const QByteArray owner = ownerWord + ' ' + QByteArray::number(::getpid()) + ' ' +
                             QSysInfo::machineHostName().toUtf8().replace(' ', '_').replace('\n', '_') + '\n';
    if (locked != 0 || ::write(lock, owner.constData(), static_cast<size_t>(owner.size())) != owner.size()) {
        ::close(lock);
        return -1;
    }
    return lock;
#else
    Q_UNUSED(folder);
    return -1;
#endif
}

void cPrivateFolder::unmark(int lock)
{
#ifdef Q_OS_UNIX
    if (lock >= 0)
        ::close(lock);
#else
    Q_UNUSED(lock);
#endif
}

QStringList cPrivateFolder::clearLeftovers(const QString &dir)
{
    QStringList removed;
#ifdef Q_OS_UNIX
    const int parent = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC);
    if (parent < 0)
        return removed;
    QList<QByteArray> names;
    entries(parent, names);
    for (const QByteArray &name : std::as_const(names)) {
        if (isPrivateName(name) && removeIfLeftover(parent, name))
            removed << QDir(dir).filePath(QFile::decodeName(name));
    }
    ::close(parent);
#else
    Q_UNUSED(dir);
#endif
    return removed;
}
