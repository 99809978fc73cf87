#include "ui/cstatusmessage.h"

#include "workers/cplayer.h"

cStatusMessage cStatusMessage::listed(int files, int missing, int unlisted)
{
    cStatusMessage message;
    message.kind = Kind::Listed;
    message.count = files;
    message.otherCount = missing;
    message.thirdCount = unlisted;
    return message;
}

cStatusMessage cStatusMessage::listingCancelled()
{
    cStatusMessage message;
    message.kind = Kind::ListingCancelled;
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
        QString text = count > 0 ? tr("%n file(s) listed", nullptr, count) : tr("No sound files found");
        if (otherCount > 0)
            text = tr("%1, %n named path(s) not found", nullptr, otherCount).arg(text);
        if (thirdCount > 0)
            text = tr("%1, %n could not be read (see the log)", nullptr, thirdCount).arg(text);
        return text;
    }
    case Kind::ListingCancelled:
        return tr("Listing cancelled: the list is as it was");
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
