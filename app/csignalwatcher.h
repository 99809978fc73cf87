#pragma once

#include <QList>
#include <QObject>

class QSocketNotifier;

// Turns Unix signals into a Qt signal on the thread that made it: a handler
// may make async-signal-safe calls only, so it writes the signal's number into
// a socket pair whose other end the event loop reads. A signal the process
// inherited as ignored (nohup, "&" in a script) stays ignored; the earlier
// dispositions come back when the watcher is destroyed. One watcher per signal
// at a time.
class cSignalWatcher final : public QObject
{
    Q_OBJECT

public:
    explicit cSignalWatcher(const QList<int> &numbers, QObject *parent = nullptr);
    ~cSignalWatcher() override;
    Q_DISABLE_COPY_MOVE(cSignalWatcher)

    // The signals a handler was installed for: those asked for, less the ignored ones.
    QList<int> watched() const;

    // Ctrl-C, SIGTERM and SIGHUP: what stops the command and closes the window.
    static QList<int> stopSignals();

signals:
    void arrived(int number);

private:
    void readSignals();

    struct Installed;
    QList<Installed> installed;
    int fds[2] = {-1, -1};
    QSocketNotifier *notifier = nullptr;
};
