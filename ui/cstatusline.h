#pragma once

#include "ui/cstatusmessage.h"

#include <QCoreApplication>
#include <QString>

class QWidget;

// What the window's status line says: what runs now, and what the list or
// the last batch said. A note (what a preview or a failed row says) stands
// instead of the latter, with its file name shortened rather than cut off.
class cStatusLine
{
    Q_DECLARE_TR_FUNCTIONS(cStatusLine)

public:
    // The note goes with it.
    void setMessage(const cStatusMessage &said);
    void setNote(const cStatusMessage &said) { note = said; }
    const cStatusMessage &currentNote() const { return note; }

    // Words the line again for what runs (empty for nothing) and a running
    // preview's note, to fit widget's width; true when it changed.
    bool update(const QString &running, const cStatusMessage &playing, bool canStop, const QWidget *widget);
    QString text() const { return shown; }
    bool stoppable() const { return shownStoppable; }

private:
    cStatusMessage message;
    cStatusMessage note;
    QString shown;
    bool shownStoppable = false;
};
