#include "workers/cplayer.h"

cPlayer::cPlayer(QObject *parent) : QThread(parent)
{
}

cPlayer::~cPlayer()
{
    wait();
}

void cPlayer::play(const QString &fn)
{
    fileName.setValue(fn);
    start();
}

void cPlayer::run()
{
    emit playFinished();
}
