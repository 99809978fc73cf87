#include "core/csourcelist.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMutexLocker>
#include <QSet>

#include <algorithm>
#include <functional>
#include <utility>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#endif

namespace {

// Longest time between two progress reports while files are found.
constexpr qint64 progressIntervalMs = 250;

// Extensions of the sound formats ffmpeg reads that voice prompts come in,
// the most common first: the file dialog's filter shows them in this order.
const QStringList soundSuffixList{
    QStringLiteral("wav"), QStringLiteral("mp3"),  QStringLiteral("flac"), QStringLiteral("ogg"),
    QStringLiteral("m4a"), QStringLiteral("opus"), QStringLiteral("wma"),  QStringLiteral("aac"),
    QStringLiteral("oga"), QStringLiteral("aif"),  QStringLiteral("aiff"), QStringLiteral("aifc"),
    QStringLiteral("au"),  QStringLiteral("snd"),  QStringLiteral("amr"),  QStringLiteral("gsm"),
    QStringLiteral("mp2"), QStringLiteral("ac3"),  QStringLiteral("caf"),  QStringLiteral("wv"),
    QStringLiteral("spx"), QStringLiteral("mka"),  QStringLiteral("vox"),  QStringLiteral("3gp"),
};
const QSet<QString> soundSuffixes(soundSuffixList.cbegin(), soundSuffixList.cend());

// The suffixes are ASCII, so a name's bytes need no decoding to be matched.
bool isSoundName(const QByteArray &name)
{
    const qsizetype dot = name.lastIndexOf('.');
    return dot >= 0 && soundSuffixes.contains(QString::fromLatin1(name.mid(dot + 1)).toLower());
}

bool isUtf8(const QByteArray &bytes)
{
    return QString::fromUtf8(bytes).toUtf8() == bytes;
}

// Paths are walked as the system's bytes, which need not be UTF-8: Qt would
// decode such a name lossily, and the path it gave would name no file. Each
// byte that is not part of a UTF-8 character is shown as \xNN, so the path
// stays one readable line and tells which name to change.
QString shown(const QByteArray &path)
{
    if (isUtf8(path))
        return QString::fromUtf8(path);
    QString text;
    for (qsizetype at = 0; at < path.size();) {
        qsizetype length = 1;
        while (length <= 4 && at + length <= path.size() && !isUtf8(path.mid(at, length)))
            ++length;
        if (length <= 4 && at + length <= path.size()) {
            text += QString::fromUtf8(path.mid(at, length));
            at += length;
        } else {
            text += QStringLiteral("\\x%1").arg(static_cast<uchar>(path.at(at)), 2, 16, QLatin1Char('0'));
            ++at;
        }
    }
    return text;
}

QByteArray childPath(const QByteArray &folder, const QByteArray &name)
{
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

struct Entry
{
    QByteArray name;
    bool folder = false; // else a sound file
};

// The sub-folders and sound files of folder, without hidden ones and without
// links to folders; a link to a file counts as the file. Stops early when
// cancelled. Returns the system's reason when the folder can't be read.
QString readFolder(const QByteArray &folder, const std::atomic_bool *cancel, QList<Entry> &entries)
{
#ifdef Q_OS_UNIX
    DIR *const dir = ::opendir(folder.constData());
    // A folder removed since it was seen (as under /proc) holds nothing to list.
    if (!dir)
        return errno == ENOENT ? QString() : qt_error_string(errno);
    const int fd = ::dirfd(dir);
    QString error;
    while (!cancel || !cancel->load(std::memory_order_relaxed)) {
        errno = 0;
        const dirent *const entry = ::readdir(dir);
        if (!entry) {
            if (errno != 0)
                error = qt_error_string(errno);
            break;
        }
        const QByteArray name(entry->d_name);
        if (name.startsWith('.'))
            continue;
        unsigned char type = entry->d_type;
        struct stat info;
        if (type == DT_UNKNOWN) {
            if (::fstatat(fd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0)
                continue;
            type = S_ISDIR(info.st_mode) ? DT_DIR : S_ISLNK(info.st_mode) ? DT_LNK : S_ISREG(info.st_mode) ? DT_REG : 0;
        }
        if (type == DT_DIR) {
            entries.append({name, true});
        } else if ((type == DT_REG || type == DT_LNK) && isSoundName(name)) {
            // A broken link, or one to a folder or a device, is no file.
            if (type == DT_REG || (::fstatat(fd, entry->d_name, &info, 0) == 0 && S_ISREG(info.st_mode)))
                entries.append({name, false});
        }
    }
    ::closedir(dir);
    return error;
#else
    const QDir dir(QString::fromUtf8(folder));
    if (!dir.exists() || !dir.isReadable())
        return cSourceList::tr("The folder can't be read");
    const QFileInfoList infos = dir.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Unsorted);
    for (const QFileInfo &info : infos) {
        if (cancel && cancel->load(std::memory_order_relaxed))
            break;
        const QByteArray name = info.fileName().toUtf8();
        if (name.startsWith('.'))
            continue;
        if (info.isDir() ? !info.isSymLink() : isSoundName(name))
            entries.append({name, info.isDir()});
    }
    return QString();
#endif
}

// A named path: a folder or not, or why it can't be told (empty reason and
// not found: missing).
struct Named
{
    bool found = false;
    bool folder = false;
    QString reason;
};

Named lookUp(const QByteArray &path)
{
#ifdef Q_OS_UNIX
    struct stat info;
    if (::stat(path.constData(), &info) == 0)
        return {true, S_ISDIR(info.st_mode), QString()};
    return {false, false, errno == ENOENT || errno == ENOTDIR ? QString() : qt_error_string(errno)};
#else
    const QFileInfo info(QString::fromUtf8(path));
    return {info.exists(), info.isDir(), QString()};
#endif
}

// One listing: the cancel flag it obeys and the progress it reports.
class Listing
{
public:
    Listing(const std::atomic_bool *cancel, std::function<void(int)> progress)
        : cancel(cancel), progress(std::move(progress))
    {}

    cSourceList::Result run(const QStringList &paths, const QString &base);
    bool cancelled() const { return cancel && cancel->load(std::memory_order_relaxed); }
    int found() const { return files; }

private:
    void fail(const QString &path, const QString &reason);
    void foundFile();
    void walk(const QByteArray &top, QStringList &inside);

    const std::atomic_bool *const cancel;
    const std::function<void(int)> progress;
    QElapsedTimer sinceProgress;
    int files = 0;
    // Failures but missing paths, each path once (named folders may overlap).
    QList<cSourceList::Failure> failures;
    QSet<QString> failed;
};

void Listing::fail(const QString &path, const QString &reason)
{
    if (failed.contains(path))
        return;
    failed.insert(path);
    failures.append({path, reason});
}

void Listing::foundFile()
{
    ++files;
    if (progress && (files == 1 || sinceProgress.elapsed() >= progressIntervalMs)) {
        sinceProgress.start();
        progress(files);
    }
}

// The sound files below top, unsorted; what can't be listed there goes to the
// failures, sorted by path. Folders are walked one at a time from a list
// rather than by recursion, so a deep tree needs no deep stack.
void Listing::walk(const QByteArray &top, QStringList &inside)
{
    QList<cSourceList::Failure> here;
    QList<QByteArray> folders{top};
    QList<Entry> entries;
    while (!folders.isEmpty() && !cancelled()) {
        const QByteArray folder = folders.takeLast();
        entries.clear();
        const QString error = readFolder(folder, cancel, entries);
        if (!error.isEmpty()) {
            qDebug() << "Folder not readable, skipped:" << shown(folder) << error;
            here.append({shown(folder), error});
        }
        for (const Entry &entry : std::as_const(entries)) {
            if (cancelled())
                break;
            const QByteArray path = childPath(folder, entry.name);
            if (entry.folder) {
                folders.append(path);
                continue;
            }
            const QString text = QString::fromUtf8(path);
            if (text.toUtf8() == path) {
                inside.append(text);
                foundFile();
            } else {
                qDebug() << "Name not valid UTF-8, not listed:" << shown(path);
                here.append({shown(path), isUtf8(entry.name) ? cSourceList::tr("The name of a folder on its path is "
                                                                               "not valid UTF-8: rename the folder")
                                                             : cSourceList::tr("The name is not valid UTF-8: rename "
                                                                               "the file")});
            }
        }
    }
    std::sort(here.begin(), here.end(),
              [](const cSourceList::Failure &a, const cSourceList::Failure &b) { return a.path < b.path; });
    for (const cSourceList::Failure &failure : std::as_const(here))
        fail(failure.path, failure.reason);
}

cSourceList::Result Listing::run(const QStringList &paths, const QString &base)
{
    cSourceList::Result result;
    const QDir baseDir(base);
    // Files brought by a named folder: each is listed once, however many
    // named folders hold it and whether or not it is named itself.
    QSet<QString> fromFolders;
    QSet<QString> listed;
    for (const QString &named : paths) {
        if (cancelled())
            break;
        if (named.isEmpty())
            continue;
        const QString path = QDir::cleanPath(baseDir.absoluteFilePath(named));
        const QByteArray bytes = path.toUtf8();
        const Named what = lookUp(bytes);
        if (!what.found && what.reason.isEmpty()) {
            qDebug() << "Not found:" << named;
            result.missing.append(named);
            continue;
        }
        if (!what.found) {
            qDebug() << "Not readable:" << path << what.reason;
            fail(path, what.reason);
            continue;
        }
        if (!what.folder) {
            if (!fromFolders.contains(path)) {
                result.sources.append({path, QString(), result.sources.size()});
                listed.insert(path);
                foundFile();
            }
            continue;
        }
        QStringList inside;
        walk(bytes, inside);
        if (cancelled())
            break;
        std::sort(inside.begin(), inside.end());
        for (const QString &file : std::as_const(inside)) {
            if (listed.contains(file) || fromFolders.contains(file))
                continue;
            fromFolders.insert(file);
            result.sources.append({file, path, result.sources.size()});
        }
    }
    for (const QString &named : std::as_const(result.missing))
        result.failures.append({named, cSourceList::tr("No such file or folder")});
    result.failures += failures;
    return result;
}

} // namespace

QStringList cSourceList::Result::paths() const
{
    QStringList list;
    list.reserve(sources.size());
    for (const cSource &source : sources)
        list.append(source.path);
    return list;
}

cSourceList::cSourceList(QObject *parent) : QThread(parent)
{
    // Queued to this object's thread: the listing thread has ended when the
    // result is delivered, so a new listing may start from its receiver.
    connect(this, &QThread::finished, this, &cSourceList::ended);
}

cSourceList::~cSourceList()
{
    cancelRequested = true;
    wait();
}

bool cSourceList::list(const QStringList &paths, const QString &base)
{
    if (listing)
        return false;
    {
        const QMutexLocker locker(&mutex);
        namedPaths = paths;
        baseDir = base;
    }
    cancelRequested = false;
    listing = true;
    start();
    return true;
}

void cSourceList::cancel()
{
    cancelRequested = true;
}

void cSourceList::run()
{
    QStringList paths;
    QString base;
    {
        const QMutexLocker locker(&mutex);
        paths = namedPaths;
        base = baseDir;
    }
    Listing sources(&cancelRequested, [this](int found) { emit progress(found); });
    Result result = sources.run(paths, base);
    if (sources.cancelled())
        qDebug() << "Listing cancelled, files found so far:" << sources.found();
    const QMutexLocker locker(&mutex);
    walked = std::move(result);
}

void cSourceList::ended()
{
    Result result;
    {
        const QMutexLocker locker(&mutex);
        result = std::exchange(walked, Result());
    }
    listing = false;
    // A cancel that came after the walk still delivers no result.
    if (cancelRequested)
        emit cancelled();
    else
        emit listed(result);
}

cSourceList::Result cSourceList::collect(const QStringList &paths, const QString &base)
{
    return Listing(nullptr, nullptr).run(paths, base);
}

QStringList cSourceList::soundExtensions()
{
    return soundSuffixList;
}

bool cSourceList::isSoundFile(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot >= 0 && soundSuffixes.contains(name.mid(dot + 1).toLower());
}
