#include "ui/cstatusmessage.h"

#include "workers/cplayer.h"

cStatusMessage cStatusMessage::listed(int files, int missing)
{
    cStatusMessage message;
    message.kind = Kind::Listed;
    message.count = files;
    message.otherCount = missing;
    return message;
}

cStatusMessage cStatusMessage::nothingToConvert()
{
    cStatusMessage message;
    message.kind = Kind::NothingToConvert;
    return message;
}

cStatusMessage cStatusMessage::folderNotMade(const QString &folder)
{
    cStatusMessage message;
    message.kind = Kind::FolderNotMade;
    message.name = folder;
    return message;
}

cStatusMessage cStatusMessage::batchEnded(const cBatchProgress &tally, bool stopped)
{
    cStatusMessage message;
    message.kind = Kind::BatchEnded;
    message.tally = tally;
    message.stopped = stopped;
    return message;
}

cStatusMessage cStatusMessage::playFailed(int code, const QString &name)
{
    cStatusMessage message;
    message.kind = Kind::PlayFailed;
    message.count = code;
    message.name = name;
    return message;
}

QString cStatusMessage::text() const
{
    switch (kind) {
    case Kind::None:
        break;
    case Kind::Listed: {
        const QString files = count > 0 ? tr("%n file(s) listed", nullptr, count) : tr("No sound files found");
        if (otherCount == 0)
            return files;
        return tr("%1, %n named path(s) not found", nullptr, otherCount).arg(files);
    }
    case Kind::NothingToConvert:
        return tr("Nothing to convert: select files or drop them here first");
    case Kind::FolderNotMade:
        return tr("The output folder %1 could not be created").arg(name);
    case Kind::BatchEnded:
        return stopped ? tally.stoppedText() : tally.finishedText();
    case Kind::PlayFailed:
        // The reason first: a long name would push it out of the status line.
        return tr("Could not play, %1: %2").arg(cPlayer::errorText(count), name);
    }
    return QString();
}
