#pragma once

#include <QHashFunctions>
#include <QString>
#include <QtGlobal>

// What tells an existing file apart from every other, however its path is
// spelled: relative, through links, with "..", in another letter case on a
// folder that ignores case, or as a hard link. The converter's one notion of
// "the same file".
class cFileIdentity
{
public:
    // Names no file.
    cFileIdentity() = default;
    // The file or folder the path leads to, links followed; an identity that
    // is not valid when there is none.
    static cFileIdentity of(const QString &path);

    bool isValid() const { return valid; }
    bool operator==(const cFileIdentity &other) const
    {
        return valid == other.valid && device == other.device && file == other.file;
    }
    bool operator!=(const cFileIdentity &other) const { return !(*this == other); }
    friend size_t qHash(const cFileIdentity &key, size_t seed = 0) noexcept
    {
        return qHashMulti(seed, key.device, key.file);
    }

private:
    // The file system (device, or volume on Windows) and the file's number in it.
    quint64 device = 0;
    quint64 file = 0;
    bool valid = false;
};
