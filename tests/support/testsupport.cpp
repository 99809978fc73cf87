#include "support/testsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>

namespace TestSupport {

void useScratchSettings(const QString &dir)
{
    QCoreApplication::setOrganizationName(QStringLiteral("Varnholt"));
    QCoreApplication::setApplicationName(QStringLiteral("Marrowby"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir);
}

bool makeTone(const QString &path, double seconds, int sampleRate, int channels)
{
    const QString source = QStringLiteral("sine=frequency=440:sample_rate=%1:duration=%2").arg(sampleRate).arg(seconds);
    QProcess ffmpeg;
    ffmpeg.setProcessChannelMode(QProcess::MergedChannels);
    ffmpeg.start(QStringLiteral("ffmpeg"), {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y"),
                                            QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"), source,
                                            QStringLiteral("-ac"), QString::number(channels), path});
    return ffmpeg.waitForFinished(60000) && ffmpeg.exitStatus() == QProcess::NormalExit && ffmpeg.exitCode() == 0;
}

QString writeFakeConverter(const QString &dir, const QByteArray &body)
{
    const QString path = QDir(dir).filePath(QStringLiteral("ffmpeg"));
    QFile script(path);
    if (!script.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QString();
    script.write("#!/bin/sh\n" + body + "\n");
    script.close();
    script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return path;
}

QByteArray prependToPath(const QString &dir)
{
    const QByteArray old = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(dir) + ':' + old);
    return old;
}

} // namespace TestSupport
