#include "workers/cplayer.h"

#include "bass.h"

#include <QDebug>
#include <QFile>

cPlayer::cPlayer(QObject *parent) : QThread(parent)
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
// announced its end is waited for: its caller, told the preview is over, would
// otherwise wait for a playFinished() that never comes.
void cPlayer::play(const QString &fn)
{
    if (isRunning()) {
        if (!finishing)
            return;
        wait();
    }
    finishing = false;
    fileName.setValue(fn);
    start(QThread::InheritPriority);
}

// Every preview makes the same calls in the same order and logs the three
// error codes, whatever fails; a file that can't be played ends at once.
void cPlayer::run()
{
    BASS_Init(1, 8000, 0, nullptr, nullptr);
    qDebug() << "BASS_Init:" << BASS_ErrorGetCode();

    // The name goes to the layer in the file system's own encoding, so names
    // with letters outside ASCII play too.
    const quint32 handle = BASS_StreamCreateFile(0, QFile::encodeName(fileName.value()).constData(), 0, 0, 0);
    qDebug() << static_cast<qint32>(handle) << BASS_ErrorGetCode();

    BASS_ChannelPlay(handle, 0);
    qDebug() << "BASS_ChannelPlay:" << BASS_ErrorGetCode();

    while (BASS_ChannelIsActive(handle) != 0) {
        if (stopSignal.tryAcquire(1, 500))
            break;
    }

    BASS_StreamFree(handle);
    BASS_Free();
    if (!stopRequested) {
        finishing = true;
        emit playFinished();
    }
}
