#pragma once

#include <QPointer>
#include <QWidget>

// Where the keyboard focus was when a widget locked its controls, and where
// locking them moved it, so that it can go back when they are given back.
class cFocusMemo
{
public:
    // Before the controls are locked.
    void lock(const QWidget *window) { before = window->focusWidget(); }
    // Once they are.
    void locked(const QWidget *window) { after = window->focusWidget(); }
    // Focus goes back where it was, unless the user has put it somewhere else
    // inside owner in the meantime.
    void restore(const QWidget *owner) const;

private:
    QPointer<QWidget> before;
    QPointer<QWidget> after;
};
