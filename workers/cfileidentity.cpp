#include "workers/cfileidentity.h"

#include <QDir>
#include <QFile>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <sys/stat.h>
#endif

cFileIdentity cFileIdentity::of(const QString &path)
{
    cFileIdentity identity;
#ifdef Q_OS_WIN
    // From the file's handle; backup semantics open folders too.
    const HANDLE handle = CreateFileW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(path).utf16()), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return identity;
    BY_HANDLE_FILE_INFORMATION info;
    const bool known = GetFileInformationByHandle(handle, &info) != 0;
    CloseHandle(handle);
    if (!known)
        return identity;
    identity.valid = true;
    identity.device = info.dwVolumeSerialNumber;
    identity.file = (quint64(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
#else
    struct stat info;
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0)
        return identity;
    identity.valid = true;
    identity.device = static_cast<quint64>(info.st_dev);
    identity.file = static_cast<quint64>(info.st_ino);
#endif
    return identity;
}
