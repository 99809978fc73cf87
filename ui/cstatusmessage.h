#pragma once

#include "core/cbatchprogress.h"

#include <QCoreApplication>
#include <QString>

// What the window's status line says about something that happened: what it
// was and its counts, worded only when shown, so a change of language
// rewords it.
class cStatusMessage
{
    // The window's own texts.
    Q_DECLARE_TR_FUNCTIONS(cMainWidget)

public:
    cStatusMessage() = default;

    // Files listed, named paths that were not found, and other paths that
    // could not be listed (a folder that can't be read, a name that is not UTF-8).
    static cStatusMessage listed(int files, int missing, int unlisted = 0);
    static cStatusMessage listingCancelled();
    static cStatusMessage nothingToConvert();
    static cStatusMessage folderNotMade(const QString &folder);
    // A batch ended, by itself or stopped; the tally as it was then.
    static cStatusMessage batchEnded(const cBatchProgress &tally, bool stopped);
    // A preview could not play, with the audio layer's error code.
    static cStatusMessage playFailed(int code, const QString &name);

    bool isEmpty() const { return kind == Kind::None; }
    QString text() const;

private:
    enum class Kind
    {
        None,
        Listed,
        ListingCancelled,
        NothingToConvert,
        FolderNotMade,
        BatchEnded,
        PlayFailed,
    };

    Kind kind = Kind::None;
    int count = 0;
    int otherCount = 0;
    int thirdCount = 0;
    QString name;
    cBatchProgress tally;
    bool stopped = false;
};
