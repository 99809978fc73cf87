#include "support/widgetdriving.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QLineEdit>
#include <QMimeData>
#include <QSignalBlocker>
#include <QTimer>

namespace WidgetDriving {

// Clicks button and hands the modal file dialog it opens to act, from inside
// the dialog's own event loop. False when no dialog opened, or when a dialog
// was still open 10 s later (it is then rejected, so that the test fails
// instead of hanging).
bool throughDialog(const std::function<void()> &open, const std::function<void(QFileDialog *)> &act)
{
    bool acted = false;
    bool leftOpen = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
        auto *const dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (acted || !dialog)
            return;
        acted = true;
        act(dialog);
    });
    QTimer watchdog;
    QObject::connect(&watchdog, &QTimer::timeout, &watchdog, [&] {
        if (auto *const open = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            leftOpen = true;
            open->reject();
        }
    });
    poll.start(10);
    watchdog.start(10000);
    open();
    return acted && !leftOpen;
}

bool clickThroughDialog(QAbstractButton *button, const std::function<void(QFileDialog *)> &act)
{
    return throughDialog([button] { button->click(); }, act);
}

// Enters the names in the dialog's file name field, in its folder dir, and
// accepts. The field's signals are held back: as they come, the dialog selects
// the names it has already listed in its view and then returns only those,
// and it lists the folder in the background.
void choose(QFileDialog *dialog, const QString &dir, const QStringList &names)
{
    dialog->setDirectory(dir);
    QStringList quoted;
    for (const QString &name : names)
        quoted << QLatin1Char('"') + name + QLatin1Char('"');
    auto *const edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    {
        const QSignalBlocker blocker(edit);
        edit->setText(quoted.join(QLatin1Char(' ')));
    }
    static_cast<QDialog *>(dialog)->accept();
}

void cancel(QFileDialog *dialog)
{
    dialog->reject();
}

// Drags the URLs onto target and drops them there, as a file manager does;
// true when the target took both the drag and the drop.
bool drop(QWidget *target, const QList<QUrl> &urls)
{
    QMimeData mime;
    mime.setUrls(urls);
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &dropped);
    return enter.isAccepted() && dropped.isAccepted();
}

} // namespace WidgetDriving
