#include "ui/cstatusmessage.h"

#include "workers/cplayer.h"

#include <QFontMetrics>

#include <algorithm>

cStatusMessage cStatusMessage::listed(int files, int missing, int unlisted)
{
    cStatusMessage message;
    message.kind = Kind::Listed;
    message.count = files;
    message.otherCount = missing;
    message.thirdCount = unlisted;
    return message;
}

cStatusMessage cStatusMessage::added(int files, int already, const QStringList &leftOut, int missing, int unlisted)
{
    cStatusMessage message = listed(files, missing, unlisted);
    message.kind = Kind::Added;
    message.alreadyCount = already;
    message.leftOut = static_cast<int>(leftOut.size());
    message.name = leftOut.value(0);
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

cStatusMessage cStatusMessage::playing(const QString &name)
{
    cStatusMessage message;
    message.kind = Kind::Playing;
    message.name = name;
    return message;
}

cStatusMessage cStatusMessage::rowFailed(const QString &name, const cText &reason, bool warned)
{
    cStatusMessage message;
    message.kind = Kind::RowFailed;
    message.stopped = warned;
    message.name = name;
    message.reason = reason;
    return message;
}

QString cStatusMessage::fitted(const QFontMetrics &metrics, int width) const
{
    const QString whole = text();
    if (name.isEmpty() || metrics.horizontalAdvance(whole) <= width)
        return whole;
    // Some of the name stays, however narrow the window.
    const int room = std::max(width - metrics.horizontalAdvance(worded(QString())), 8 * metrics.averageCharWidth());
    return worded(metrics.elidedText(name, Qt::ElideMiddle, room));
}

QString cStatusMessage::withUnlisted(QString text) const
{
    if (otherCount > 0)
        text = tr("%1, %n named path(s) not found", nullptr, otherCount).arg(text);
    if (thirdCount > 0)
        text = tr("%1, %n could not be read (see the log)", nullptr, thirdCount).arg(text);
    return text;
}

QString cStatusMessage::worded(const QString &shownName) const
{
    switch (kind) {
    case Kind::None:
        break;
    case Kind::Listed:
        return withUnlisted(count > 0 ? tr("%n file(s) listed", nullptr, count) : tr("No sound files found"));
    case Kind::Added: {
        QString text = count > 0 ? tr("%n file(s) added", nullptr, count) : tr("No files added");
        if (alreadyCount > 0)
            text = tr("%1, %n already listed", nullptr, alreadyCount).arg(text);
        text = withUnlisted(text);
        if (leftOut == 1)
            text = tr("%1; %2 is not a sound file").arg(text, shownName);
        else if (leftOut > 1)
            text = tr("%1; %n file(s) left out: not sound files", nullptr, leftOut).arg(text);
        return text;
    }
    case Kind::ListingCancelled:
        return tr("Listing cancelled: the list is as it was");
    case Kind::NothingToConvert:
        return tr("Nothing to convert: select files or drop them here first");
    case Kind::FolderNotMade:
        return tr("The output folder %1 could not be created").arg(shownName);
    case Kind::BatchEnded:
        return stopped ? tally.stoppedText() : tally.finishedText();
    case Kind::PlayFailed:
        // The reason first: a long name would push it out of the status line.
        return tr("Could not play, %1: %2").arg(cPlayer::errorText(count), shownName);
    case Kind::Playing:
        return tr("Playing %1").arg(shownName);
    case Kind::RowFailed:
        return (stopped ? tr("%1 converted with a warning: %2") : tr("%1 failed: %2"))
            .arg(shownName, reason.toString());
    }
    return QString();
}
