#include "ui/cstatusline.h"

#include <QFontMetrics>
#include <QWidget>

void cStatusLine::setMessage(const cStatusMessage &said)
{
    message = said;
    note = cStatusMessage();
}

bool cStatusLine::update(const QString &running, const cStatusMessage &playing, bool canStop, const QWidget *widget)
{
    QString text = running;
    const cStatusMessage &shownNote = playing.isEmpty() ? note : playing;
    if (!shownNote.isEmpty()) {
        const QString separator = text.isEmpty() ? QString() : QStringLiteral(" \u00b7 ");
        // The line has the widget's width less the Stop button beside it and the margins.
        const QFontMetrics metrics = widget->fontMetrics();
        const int reserve = (canStop ? metrics.horizontalAdvance(tr("Stop")) + 60 : 0) + 30;
        text += separator +
                shownNote.fitted(metrics, widget->width() - reserve - metrics.horizontalAdvance(text + separator));
    } else if (text.isEmpty()) {
        text = message.text();
    }
    if (text == shown && canStop == shownStoppable)
        return false;
    shown = text;
    shownStoppable = canStop;
    return true;
}
