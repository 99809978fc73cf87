#pragma once

#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

class cPlayer;

// Previews a source file. What the audio layer can't decode itself (M4A,
// Opus, WMA…) but the converter program can, the program first decodes into
// a temporary WAV, which is then played and removed. The decoding runs in
// its own process, so the window never waits for it, and stop() ends it too.
class cPreview : public QObject
{
    Q_OBJECT

public:
    explicit cPreview(QObject *parent = nullptr);
    ~cPreview() override;

    // Ignored while a preview runs; readBack as cPlayer::play takes it (the
    // input options of a file without a header).
    void play(const QString &fn, const QStringList &readBack = QStringList());
    // Ends the running preview, decoding or playing; finished() follows.
    void stop();
    bool isRunning() const { return running; }

signals:
    // Sent just before finished() when the file could not be played, with the
    // audio layer's code for why.
    void failed(int code);
    void finished();

private:
    void playerFinished();
    void decode();
    void decoded(int exitCode, QProcess::ExitStatus status);
    void end();

    cPlayer *const player;
    QProcess decoder;
    std::unique_ptr<QTemporaryDir> decodedDir;
    QString source;
    int failure = 0;
    bool running = false;
    bool stopRequested = false;
};
