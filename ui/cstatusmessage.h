#pragma once

#include "core/cbatchprogress.h"
#include "workers/ctext.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

class QFontMetrics;

// What the window's status line says about something that happened: what it
// was and its counts, worded only when shown, so a change of language
// rewords it.
class cStatusMessage
{
    Q_DECLARE_TR_FUNCTIONS(cStatusMessage)

public:
    cStatusMessage() = default;

    // Files listed, named paths that were not found, and other paths that
    // could not be listed (a folder that can't be read, a name that is not UTF-8).
    static cStatusMessage listed(int files, int missing, int unlisted = 0);
    // Files added to the list; files already listed; the names of the files
    // left out as not sound files; named paths not found and not listed.
    static cStatusMessage added(int files, int already, const QStringList &leftOut, int missing, int unlisted);
    static cStatusMessage listingCancelled();
    static cStatusMessage nothingToConvert();
    static cStatusMessage folderNotMade(const QString &folder);
    // A batch ended, by itself or stopped; the tally as it was then.
    static cStatusMessage batchEnded(const cBatchProgress &tally, bool stopped);
    // A preview could not play, with the audio layer's error code.
    static cStatusMessage playFailed(int code, const QString &name);
    static cStatusMessage playing(const QString &name);
    // Why the file of the current row failed.
    static cStatusMessage rowFailed(const QString &name, const cText &reason, bool warned = false);

    bool isEmpty() const { return kind == Kind::None; }
    bool isAboutARow() const { return kind == Kind::RowFailed; }
    QString text() const { return worded(name); }
    // The text with its file name shortened in the middle as far as needed
    // to fit the width.
    QString fitted(const QFontMetrics &metrics, int width) const;

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
        Added,
        Playing,
        RowFailed,
    };

    QString worded(const QString &shownName) const;
    // The counts of paths that could not be listed, after text.
    QString withUnlisted(QString text) const;

    Kind kind = Kind::None;
    int count = 0;
    int otherCount = 0;
    int thirdCount = 0;
    int alreadyCount = 0;
    int leftOut = 0;
    QString name;
    cText reason;
    cBatchProgress tally;
    bool stopped = false; // a stopped batch; a row with a warning
};
