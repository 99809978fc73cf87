#pragma once

#include <QThread>

#include <atomic>

// A worker thread whose work ends with a signal that announces it, sent from
// the thread just before it returns. A start request that comes in between
// waits for the thread to return instead of being dropped: its caller, told
// the work is over, would otherwise wait for an end that never comes.
class cWorkerThread : public QThread
{
    Q_OBJECT

public:
    using QThread::QThread;

protected:
    // For the start operation: true when the thread may be started now (after
    // waiting for one that has announced its end), false while work runs.
    bool readyToStart();
    // In run(), just before the signal that announces the end.
    void announceEnd() { endAnnounced = true; }
    // Work runs and has not announced its end.
    bool isWorking() const { return isRunning() && !endAnnounced; }

private:
    std::atomic_bool endAnnounced{false};
};
