#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

class QAbstractButton;
class QFileDialog;
class QWidget;

// Driving widgets as a user does, for the tests of the window: modal file
// dialogs and drops from a file manager.
namespace WidgetDriving {

// Calls open, which opens a modal file dialog, and hands the dialog to act
// from inside the dialog's own event loop. False when no dialog opened, or
// when a dialog was still open 10 s later (it is then rejected, so that the
// test fails instead of hanging).
bool throughDialog(const std::function<void()> &open, const std::function<void(QFileDialog *)> &act);
// The same, for a dialog that clicking button opens.
bool clickThroughDialog(QAbstractButton *button, const std::function<void(QFileDialog *)> &act);
// Enters the names in the dialog's file name field, in its folder dir, and accepts.
void choose(QFileDialog *dialog, const QString &dir, const QStringList &names = {});
void cancel(QFileDialog *dialog);
// Drags the URLs onto target and drops them there, as a file manager does;
// true when the target took both the drag and the drop.
bool drop(QWidget *target, const QList<QUrl> &urls);

} // namespace WidgetDriving
