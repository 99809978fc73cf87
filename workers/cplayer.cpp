#include "workers/cplayer.h"

#include "bass.h"

#include "workers/cprocessguard.h"
#include "workers/cprocessrun.h"
#include "workers/debugline.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <optional>

cPlayer::cPlayer(QObject *parent) : cWorkerThread(parent)
{}

// A running preview is cut short: the thread frees its stream and the layer,
// so the device falls silent, and returns without playFinished(). Waiting
// here is brief and makes sure nothing is destroyed while the thread runs.
cPlayer::~cPlayer()
{
    stopRequested = true;
    stopSignal.release();
    wait();
}

// A request while a preview runs is ignored, its name too: the running
// preview reads the name only after initialising the layer, so a name stored
// now would replace the file it is about to open. A preview that has already
// announced its end is waited for.
void cPlayer::play(const QString &fn, const QStringList &readBack)
{
    if (!readyToStart())
        return;
    // A stop that came after the last preview had ended must not end this one.
    userStopRequested = false;
    stopSignal.tryAcquire(stopSignal.available());
    fileName.setValue(fn);
    fileReadBack.setValue(readBack);
    start(QThread::InheritPriority);
}

void cPlayer::stop()
{
    if (!isWorking())
        return;
    userStopRequested = true;
    stopSignal.release();
}

QString cPlayer::errorText(int code)
{
    switch (code) {
    case MB_AUDIO_ERR_NO_DRIVER:
        return tr("no sound system could be started");
    case MB_AUDIO_ERR_NO_OUTPUT:
        return tr("the sound output could not be opened (no sound server or sound card)");
    case MB_AUDIO_ERR_FILE_OPEN:
        return tr("the file is missing or can't be read");
    case MB_AUDIO_ERR_FILE_FORMAT:
        return tr("the file is empty, damaged or in a format that can't be played");
    default:
        return tr("the audio layer reported error %1").arg(code);
    }
}

bool cPlayer::isFormatError(int code)
{
    return code == MB_AUDIO_ERR_FILE_FORMAT;
}

// Every preview makes the same calls in the same order and logs the three
// error codes, whatever fails; a file that can't be played ends at once.
void cPlayer::run()
{
    // The decoded copy lives until the preview ends; only a file without a
    // header needs one.
    std::optional<QTemporaryDir> decoded;
    QString fn = fileName.value();
    if (const QStringList readBack = fileReadBack.value(); !readBack.isEmpty())
        fn = decode(fn, readBack, decoded.emplace().path());

    BASS_Init(1, 8000, 0, nullptr, nullptr);
    const int initError = BASS_ErrorGetCode();
    qDebug() << "BASS_Init:" << initError;

    // The name goes to the layer in the file system's own encoding, so names
    // with letters outside ASCII play too.
    const quint32 handle = BASS_StreamCreateFile(0, QFile::encodeName(fn).constData(), 0, 0, 0);
    const int openError = BASS_ErrorGetCode();
    qDebug() << static_cast<qint32>(handle) << openError;

    BASS_ChannelPlay(handle, 0);
    const int playError = BASS_ErrorGetCode();
    qDebug() << "BASS_ChannelPlay:" << playError;

    while (!userStopRequested && BASS_ChannelIsActive(handle) != 0) {
        if (stopSignal.tryAcquire(1, 500))
            break;
    }

    BASS_StreamFree(handle);
    BASS_Free();
    if (stopRequested)
        return;
    // The first failure is the cause; the later calls fail because of it.
    if (const int error = initError ? initError : openError ? openError : playError)
        emit playFailed(error);
    announceEnd();
    emit playFinished();
}

QString cPlayer::decode(const QString &fn, const QStringList &readBack, const QString &folder)
{
    if (folder.isEmpty())
        return QString();
    const QString wav = QDir(folder).filePath(QStringLiteral("preview.wav"));
    const QStringList args = QStringList{QStringLiteral("-nostdin"), QStringLiteral("-v"), QStringLiteral("error")} +
                             readBack + QStringList{QStringLiteral("-i"), fn, QStringLiteral("-y"), wav};
    qDebug().noquote() << debugLine("Decoding for the preview with args:") + QLatin1Char(' ') + debugList(args);
    QProcess program;
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // Not left running when Marrowby is killed; this thread waits for it.
    cProcessGuard::endWithParent(program);
    program.start(cProcessRun::program(), args);
    // A stop ends the decoding too.
    while (!program.waitForFinished(100) && program.state() != QProcess::NotRunning) {
        if (stopRequested || userStopRequested)
            program.kill();
    }
    const int code = program.exitStatus() == QProcess::NormalExit && program.error() != QProcess::FailedToStart
                         ? program.exitCode()
                         : -1;
    qDebug() << "Exit code:" << code;
    return code == 0 ? wav : QString();
}
