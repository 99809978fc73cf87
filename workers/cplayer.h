#pragma once

#include "workers/clockedvalue.h"

#include <QString>
#include <QThread>

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
};
