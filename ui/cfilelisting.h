#pragma once

#include "core/csourcelist.h"
#include "ui/cstatusmessage.h"

#include <QObject>
#include <QStringList>

class cFileListModel;

// Fills the file list from the paths a user names: in place of its rows
// (Select files) or adding the files not listed yet (a drop, Add files).
// Files named one by one are listed at once; folders are walked on the
// listing's own thread, so that a large tree never freezes the window.
class cFileListing : public QObject
{
    Q_OBJECT

public:
    cFileListing(cFileListModel *rows, QObject *parent);

    // leftOut names the files a drop left out as not sound files, for the status line.
    void list(const QStringList &paths, bool adding, const QStringList &leftOut = {});
    // Empties the list; listed() follows.
    void clear();
    void cancel() { sourceList->cancel(); }
    bool isListing() const { return sourceList->isListing(); }
    // Files found so far by the walk under way.
    int found() const { return foundSoFar; }

signals:
    void progress();
    // The rows are in the list; folder is where the first file listed lies,
    // empty when none was.
    void listed(const cStatusMessage &message, const QString &folder);
    void cancelled();

private:
    void show(const cSourceList::Result &result);

    cFileListModel *const rows;
    cSourceList *const sourceList;
    int foundSoFar = 0;
    bool adding = false;
    QStringList leftOut;
};
