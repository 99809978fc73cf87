#include "core/csourcelist.h"

#include <QDebug>
#include <QFileInfo>
#include <QSet>

#include <algorithm>

namespace {

// Extensions of the sound formats ffmpeg reads that voice prompts come in.
const QSet<QString> soundSuffixes{
    QStringLiteral("wav"),  QStringLiteral("mp3"),  QStringLiteral("ogg"),  QStringLiteral("oga"),
    QStringLiteral("opus"), QStringLiteral("flac"), QStringLiteral("m4a"),  QStringLiteral("aac"),
    QStringLiteral("wma"),  QStringLiteral("aif"),  QStringLiteral("aiff"), QStringLiteral("aifc"),
    QStringLiteral("au"),   QStringLiteral("snd"),  QStringLiteral("amr"),  QStringLiteral("gsm"),
    QStringLiteral("mp2"),  QStringLiteral("ac3"),  QStringLiteral("caf"),  QStringLiteral("wv"),
    QStringLiteral("spx"),  QStringLiteral("mka"),  QStringLiteral("vox"),  QStringLiteral("3gp"),
};

// The sound files below dir, unsorted. Folders are walked one at a time from
// a list rather than by recursion, so a deep tree needs no deep stack; links
// to folders are not followed.
QStringList soundFilesBelow(const QString &dir)
{
    QStringList found;
    QStringList folders{dir};
    while (!folders.isEmpty()) {
        const QString folder = folders.takeLast();
        const QDir listing(folder);
        if (!QFileInfo(folder).isReadable() || !listing.isReadable()) {
            qDebug() << "Folder not readable, skipped:" << folder;
            continue;
        }
        const QFileInfoList entries =
            listing.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Unsorted);
        for (const QFileInfo &entry : entries) {
            if (entry.isDir()) {
                if (!entry.isSymLink())
                    folders.append(entry.filePath());
            } else if (cSourceList::isSoundFile(entry.fileName())) {
                found.append(entry.filePath());
            }
        }
    }
    return found;
}

} // namespace

bool cSourceList::isSoundFile(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot >= 0 && soundSuffixes.contains(name.mid(dot + 1).toLower());
}

cSourceList::Result cSourceList::collect(const QStringList &paths, const QString &base)
{
    Result result;
    const QDir baseDir(base);
    // Files brought by a named folder: each is listed once, however many
    // named folders hold it and whether or not it is named itself.
    QSet<QString> fromFolders;
    QSet<QString> listed;
    for (const QString &named : paths) {
        if (named.isEmpty())
            continue;
        const QString path = QDir::cleanPath(baseDir.absoluteFilePath(named));
        const QFileInfo info(path);
        if (!info.exists()) {
            qDebug() << "Not found:" << named;
            result.missing.append(named);
            continue;
        }
        if (!info.isDir()) {
            if (!fromFolders.contains(path)) {
                result.files.append(path);
                listed.insert(path);
            }
            continue;
        }
        QStringList inside = soundFilesBelow(path);
        std::sort(inside.begin(), inside.end());
        for (const QString &file : std::as_const(inside)) {
            if (listed.contains(file) || fromFolders.contains(file))
                continue;
            fromFolders.insert(file);
            result.files.append(file);
        }
    }
    return result;
}
