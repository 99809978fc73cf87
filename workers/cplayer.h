#pragma once

#include "workers/clockedvalue.h"
#include "workers/cworkerthread.h"

#include <QSemaphore>
#include <QString>
#include <QStringList>

#include <atomic>

// Previews one sound file through the audio layer on a thread of its own.
class cPlayer : public cWorkerThread
{
    Q_OBJECT

public:
    explicit cPlayer(QObject *parent = nullptr);
    ~cPlayer() override;

    // readBack: how the converter program reads a file without a header (see
    // cOutputFormat::inputArgs); such a file is decoded into a WAV file first,
    // which the audio layer plays.
    void play(const QString &fn, const QStringList &readBack = QStringList());
    // Ends the running preview at once; playFinished() follows as usual.
    void stop();

    // The reason, in words for people, for an error code of the audio layer.
    static QString errorText(int code);
    // Whether the code says the layer opened the file but can't decode its
    // format (another decoder may still read it).
    static bool isFormatError(int code);

signals:
    void playFinished();
    // Sent just before playFinished() when the file could not be played, with
    // the audio layer's code of the first call that failed.
    void playFailed(int code);

protected:
    void run() override;

private:
    // The decoded file, in a folder of its own; empty when it could not be made.
    QString decode(const QString &fn, const QStringList &readBack, const QString &folder);

    cLockedValue<QString> fileName;
    cLockedValue<QStringList> fileReadBack;
    // Set by the destructor: the preview ends at once, without playFinished().
    std::atomic_bool stopRequested{false};
    // Set by stop(): the preview ends at once, with playFinished().
    std::atomic_bool userStopRequested{false};
    // Released by stop() and the destructor to cut the 500 ms pause between tests short.
    QSemaphore stopSignal;
};
