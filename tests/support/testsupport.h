#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace TestSupport {

// Sets the application identity the program uses and points the per-user
// settings store at dir, so a test never touches the real store.
void useScratchSettings(const QString &dir);

// Writes a sine tone with the real ffmpeg; returns false if that failed.
bool makeTone(const QString &path, double seconds, int sampleRate = 44100, int channels = 2);

// Writes an executable shell script called like the converter program into
// dir, for faults ffmpeg won't produce on demand (a crash, a hang, an exit code).
QString writeFakeConverter(const QString &dir, const QByteArray &body);

// Puts dir first on PATH for the rest of the process; returns the old PATH.
QByteArray prependToPath(const QString &dir);

} // namespace TestSupport
