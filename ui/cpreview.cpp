#include "ui/cpreview.h"

#include "workers/cplayer.h"
#include "workers/cprocessguard.h"
#include "workers/cprocessrun.h"

#include <QDebug>

cPreview::cPreview(QObject *parent) : QObject(parent), player(new cPlayer(this))
{
    // Not left running when Marrowby is killed.
    cProcessGuard::endWithParent(decoder);
    connect(player, &cPlayer::playFailed, this, [this](int code) { failure = code; });
    connect(player, &cPlayer::playFinished, this, &cPreview::playerFinished);
    connect(&decoder, &QProcess::finished, this, &cPreview::decoded);
    connect(&decoder, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            qDebug() << "Preview: the decoder could not be started:" << decoder.errorString();
            end();
        }
    });
}

cPreview::~cPreview()
{
    decoder.disconnect(this);
    if (decoder.state() != QProcess::NotRunning) {
        decoder.kill();
        decoder.waitForFinished();
    }
}

void cPreview::play(const QString &fn, const QStringList &readBack)
{
    if (running)
        return;
    running = true;
    stopRequested = false;
    failure = 0;
    source = fn;
    player->play(fn, readBack);
}

void cPreview::stop()
{
    if (!running)
        return;
    stopRequested = true;
    if (decoder.state() != QProcess::NotRunning)
        decoder.kill();
    else
        player->stop();
}

// A format the audio layer can't read is worth one try through the
// converter program; any other failure (no sound output, a file that can't
// be opened) would fail the same way again.
void cPreview::playerFinished()
{
    if (cPlayer::isFormatError(failure) && !decodedDir && !stopRequested)
        decode();
    else
        end();
}

void cPreview::decode()
{
    decodedDir = std::make_unique<QTemporaryDir>();
    if (!decodedDir->isValid()) {
        qDebug() << "Preview: no temporary folder to decode into:" << decodedDir->errorString();
        end();
        return;
    }
    qDebug() << "Preview: decoding with" << cProcessRun::program() << source;
    decoder.setProcessChannelMode(QProcess::MergedChannels);
    decoder.start(cProcessRun::program(),
                  {QStringLiteral("-nostdin"), QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"),
                   source, QStringLiteral("-f"), QStringLiteral("wav"), QStringLiteral("-acodec"),
                   QStringLiteral("pcm_s16le"), decodedDir->filePath(QStringLiteral("preview.wav"))});
}

void cPreview::decoded(int exitCode, QProcess::ExitStatus status)
{
    const QByteArray said = decoder.readAll().trimmed();
    qDebug() << "Preview: decoder exit code:" << exitCode << said;
    if (stopRequested) {
        failure = 0;
        end();
    } else if (status == QProcess::NormalExit && exitCode == 0) {
        failure = 0;
        player->play(decodedDir->filePath(QStringLiteral("preview.wav")));
    } else {
        end();
    }
}

void cPreview::end()
{
    decodedDir.reset();
    running = false;
    // A preview stopped before it could fail, or be decoded, just ends.
    if (failure != 0 && !stopRequested)
        emit failed(failure);
    emit finished();
}
