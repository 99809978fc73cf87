#pragma once

#include "workers/clockedvalue.h"

#include <QSemaphore>
#include <QString>
#include <QThread>

#include <atomic>

// Previews one sound file through the audio layer on a thread of its own.
class cPlayer : public QThread
{
    Q_OBJECT

public:
    explicit cPlayer(QObject *parent = nullptr);
    ~cPlayer() override;

    void play(const QString &fn);

signals:
    void playFinished();

protected:
    void run() override;

private:
    cLockedValue<QString> fileName;
    // Set by the destructor: the preview ends at once, without playFinished().
    std::atomic_bool stopRequested{false};
    // Released by the destructor to cut the 500 ms pause between tests short.
    QSemaphore stopSignal;
    // Set just before playFinished(): the preview is over and the thread only
    // has to return, so a new request waits for it instead of being lost.
    std::atomic_bool finishing{false};
};
