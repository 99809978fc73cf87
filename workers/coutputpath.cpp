#include "workers/coutputpath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <unicode/translit.h>
#include <unicode/unistr.h>

#include <cerrno>
#include <cstring>
#include <memory>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

namespace {

// The transliterators are costly to make and not safe to share between
// threads: one of each per thread that names outputs.
QString transliterated(const QString &text, bool lower)
{
    thread_local std::unique_ptr<icu::Transliterator> latin[2];
    thread_local bool tried[2] = {false, false};
    const int kind = lower ? 1 : 0;
    if (!tried[kind]) {
        tried[kind] = true;
        UErrorCode status = U_ZERO_ERROR;
        latin[kind].reset(icu::Transliterator::createInstance(
            lower ? "Any-Latin; Latin-ASCII; Lower" : "Any-Latin; Latin-ASCII", UTRANS_FORWARD, status));
        if (U_FAILURE(status))
            latin[kind].reset();
    }
    icu::UnicodeString unicode(reinterpret_cast<const UChar *>(text.utf16()), static_cast<int32_t>(text.size()));
    if (latin[kind])
        latin[kind]->transliterate(unicode);
    const QString result(reinterpret_cast<const QChar *>(unicode.getBuffer()), unicode.length());
    return lower ? result.toLower() : result;
}

} // namespace

cOutputPath::Slot cOutputPath::Slot::of(const QString &outPath)
{
    const QFileInfo info(outPath);
    Slot slot{cFileIdentity::of(info.absolutePath()), info.fileName().toCaseFolded()};
    // A folder that does not exist is known by its path.
    if (!slot.folder.isValid())
        slot.name = info.absoluteFilePath().toCaseFolded();
    return slot;
}

QString cOutputPath::fileName(const QString &source, cNameRule nameRule, bool safe, const QString &ending,
                              const std::function<QString(const QString &)> &stemRule)
{
    const QString name = QFileInfo(source).fileName();
    const auto made = [&](const QString &stem) {
        const QString kept = safe ? safeName(stem) : stem;
        return stemRule ? stemRule(kept) : kept;
    };
    // A dot and a run of ASCII letters and digits up to the very end of the
    // name; "\z", unlike "$", does not match before a trailing line break.
    static const QRegularExpression extension(QStringLiteral("\\.[a-zA-Z0-9]+\\z"));
    switch (nameRule) {
    case cNameRule::ChangeExtension: {
        // A name without such an extension is kept as it is.
        const QRegularExpressionMatch match = extension.match(name);
        if (!match.hasMatch())
            return made(name);
        return made(name.left(match.capturedStart())) + ending;
    }
    case cNameRule::AppendExtension:
        break;
    }
    return made(name) + ending;
}

QString cOutputPath::subFolder(const QString &root, const QString &source)
{
    if (root.isEmpty())
        return QString();
    const QString sub = QDir(root).relativeFilePath(QFileInfo(source).path());
    return sub == QLatin1String(".") ? QString() : sub;
}

QString cOutputPath::safeName(const QString &name)
{
    static const QRegularExpression unsafe(QStringLiteral("[^a-z0-9._]+"));
    static const QRegularExpression repeats(QStringLiteral("([._-])[._-]+"));
    static const QRegularExpression front(QStringLiteral("^[._-]+"));
    QString safe = transliterated(name, true);
    safe.replace(unsafe, QStringLiteral("-"));
    safe.replace(repeats, QStringLiteral("\\1"));
    safe.remove(front);
    while (safe.endsWith(QLatin1Char('-')))
        safe.chop(1);
    return safe.isEmpty() ? QStringLiteral("sound") : safe;
}

QString cOutputPath::asciiName(const QString &name)
{
    return transliterated(name, false);
}

QString cOutputPath::makeFolders(const QString &folder, const QString &subPath, bool safe, QString &error)
{
    QString path = QDir(folder).absolutePath();
    for (QString part : subPath.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (safe)
            part = safeName(part);
        if (part == QLatin1String(".") || part == QLatin1String("..")) {
            error = QStringLiteral("%1: not a folder name").arg(part);
            return QString();
        }
        path += QLatin1Char('/') + part;
#ifdef Q_OS_WIN
        if (!QDir().mkpath(path) || QFileInfo(path).isSymLink()) {
            error = QStringLiteral("%1: not a folder").arg(QDir::toNativeSeparators(path));
            return QString();
        }
#else
        const QByteArray bytes = QFile::encodeName(path);
        if (::mkdir(bytes.constData(), 0777) == 0)
            continue;
        if (errno != EEXIST) {
            error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path),
                                                 QString::fromLocal8Bit(std::strerror(errno)));
            return QString();
        }
        // A link is not followed, so that nothing is written outside the output folder.
        struct stat info;
        if (::lstat(bytes.constData(), &info) != 0 || !S_ISDIR(info.st_mode)) {
            error = QStringLiteral("%1: not a folder").arg(QDir::toNativeSeparators(path));
            return QString();
        }
#endif
    }
    return path;
}
