#pragma once

#include "ui/cfilerows.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <functional>

class QAction;
class QTableWidget;

// The file table's "Play result": a row that shows "OK" plays the file it
// wrote, in whatever format, from the context menu or with Shift+Space, so
// that the user hears what callers will hear. The play button stays the
// source's.
class cPlayOutputAction
{
    // The window's own texts.
    Q_DECLARE_TR_FUNCTIONS(cMainWidget)

public:
    // play: starts a preview of the path; readBack as cPlayer::play takes it.
    using Play = std::function<void(const QString &path, const QStringList &readBack)>;

    // The action is the table's, second after Play.
    cPlayOutputAction(QTableWidget *table, const cFileRows &rows, Play play);

    void retranslate();
    // Usable only on a row whose output was written.
    void update();

private:
    QTableWidget *const table;
    const cFileRows &rows;
    QAction *const action;
};
