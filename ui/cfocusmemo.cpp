#include "ui/cfocusmemo.h"

void cFocusMemo::restore(const QWidget *owner) const
{
    QWidget *const now = owner->window()->focusWidget();
    const bool moved = now && now != after && owner->isAncestorOf(now);
    if (before && !moved && before->isEnabled() && before->isVisible())
        before->setFocus(Qt::OtherFocusReason);
}
