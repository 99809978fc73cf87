#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QAbstractItemView;
class QAction;
class cFileListModel;
class cFileTable;

// The file table's "Play result": a row that shows "OK" plays the file it
// wrote, in whatever format, from the context menu or with Shift+Space, so
// that the user hears what callers will hear. The play button stays the
// source's.
class cPlayOutputAction : public QObject
{
    Q_OBJECT

public:
    // play: starts a preview of the path; readBack as cPlayer::play takes it.
    using Play = std::function<void(const QString &path, const QStringList &readBack)>;

    // The action is the view's, second after Play.
    cPlayOutputAction(QAbstractItemView *view, cFileTable *table, const cFileListModel *rows, Play play);

    void retranslate();
    // Usable only on a row whose output was written.
    void update();

private:
    cFileTable *const table;
    const cFileListModel *const rows;
    QAction *const action;
};
