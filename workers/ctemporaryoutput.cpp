#include "workers/ctemporaryoutput.h"

#include "workers/cprivatefolder.h"
#include "workers/debugline.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#endif

cTemporaryOutput::cTemporaryOutput(const QString &outPath) : output(outPath)
{}

cTemporaryOutput::~cTemporaryOutput()
{
    discard();
}

bool cTemporaryOutput::create(QSet<QString> *clearedFolders)
{
    const QString dir = QFileInfo(output).absolutePath();
    if (clearedFolders && !clearedFolders->contains(dir)) {
        clearedFolders->insert(dir);
        for (const QString &left : cPrivateFolder::clearLeftovers(dir))
            qDebug().noquote() << debugLine("Removed a private folder left by a run that ended:", left);
    }
    // QTemporaryDir makes a new folder of a random name, on Unix for its owner alone.
    auto made = std::make_unique<QTemporaryDir>(QDir(dir).filePath(cPrivateFolder::nameTemplate()));
    if (!made->isValid()) {
        error = made->errorString();
        return false;
    }
#ifdef Q_OS_WIN
    // A leading dot hides nothing there.
    SetFileAttributesW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(made->path()).utf16()),
                       FILE_ATTRIBUTE_HIDDEN);
#endif
    // Told from a killed run's leftover for as long as it is in use.
    lock = cPrivateFolder::mark(made->path());
    folder = std::move(made);
    return true;
}

QString cTemporaryOutput::path() const
{
    return folder ? folder->filePath(QFileInfo(output).fileName()) : QString();
}

cTemporaryOutput::Commit cTemporaryOutput::commit(bool replace)
{
    if (!folder)
        return Commit::Failed;
#ifdef Q_OS_WIN
    const QString from = QDir::toNativeSeparators(path());
    const QString to = QDir::toNativeSeparators(output);
    if (!MoveFileExW(reinterpret_cast<const wchar_t *>(from.utf16()), reinterpret_cast<const wchar_t *>(to.utf16()),
                     replace ? MOVEFILE_REPLACE_EXISTING : 0)) {
        const DWORD code = GetLastError();
        error = qt_error_string(static_cast<int>(code));
        return !replace && (code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS) ? Commit::Exists
                                                                                       : Commit::Failed;
    }
#else
    const QByteArray from = QFile::encodeName(path());
    const QByteArray to = QFile::encodeName(output);
    int result = 0;
    if (replace) {
        result = ::rename(from.constData(), to.constData());
    } else {
        result = ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE);
        // A file system without that flag: a hard link refuses to replace too.
        if (result != 0 && (errno == EINVAL || errno == ENOSYS)) {
            result = ::link(from.constData(), to.constData());
            if (result == 0)
                ::unlink(from.constData());
        }
    }
    if (result != 0) {
        const int code = errno;
        error = qt_error_string(code);
        return !replace && code == EEXIST ? Commit::Exists : Commit::Failed;
    }
#endif
    release();
    return Commit::Written;
}

bool cTemporaryOutput::discard()
{
    if (!folder)
        return false;
    const bool written = QFileInfo::exists(path());
    release();
    return written;
}

void cTemporaryOutput::release()
{
    folder.reset();
    // Only once the folder is gone: until then it is this run's.
    cPrivateFolder::unmark(lock);
    lock = -1;
}
