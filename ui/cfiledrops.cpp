#include "ui/cfiledrops.h"

#include "core/csoundfilecheck.h"

#include <QDebug>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace {

// The local files and folders of a drop; other URLs are left out.
QStringList localPaths(const QMimeData *mime)
{
    QStringList paths;
    if (!mime || !mime->hasUrls())
        return paths;
    const QList<QUrl> urls = mime->urls();
    for (const QUrl &url : urls) {
        if (url.isLocalFile())
            paths << url.toLocalFile();
    }
    return paths;
}

} // namespace

cFileDrops::cFileDrops(QWidget *target, std::function<bool()> accepts) : QObject(target), accepts(std::move(accepts))
{
    target->setAcceptDrops(true);
    target->installEventFilter(this);
}

bool cFileDrops::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::DragEnter) {
        auto *const enter = static_cast<QDragEnterEvent *>(event);
        if (accepts() && !localPaths(enter->mimeData()).isEmpty())
            enter->acceptProposedAction();
        else
            enter->ignore();
        return true;
    }
    if (event->type() != QEvent::Drop)
        return QObject::eventFilter(watched, event);

    auto *const drop = static_cast<QDropEvent *>(event);
    const QStringList paths = localPaths(drop->mimeData());
    if (!accepts() || paths.isEmpty()) {
        drop->ignore();
        return true;
    }
    drop->acceptProposedAction();
    QStringList taken;
    QStringList leftOut;
    for (const QString &path : paths) {
        const QFileInfo info(path);
        // A missing path is taken, so that the list says it was not found.
        if (info.isDir() || !info.exists() || cSoundFileCheck::isSound(path)) {
            taken << path;
        } else {
            qDebug() << "Not a sound file, left out:" << path;
            leftOut << info.fileName();
        }
    }
    emit dropped(taken, leftOut);
    return true;
}
