#include "workers/cworkerthread.h"

bool cWorkerThread::readyToStart()
{
    if (isRunning()) {
        if (!endAnnounced)
            return false;
        wait();
    }
    endAnnounced = false;
    return true;
}
