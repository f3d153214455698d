#include "filedropfilter.h"

#include <QDropEvent>
#include <QMimeData>
#include <QWidget>

namespace {

QList<QUrl> localFiles(const QMimeData *data)
{
    QList<QUrl> files;
    if (!data || !data->hasUrls())
        return files;
    const QList<QUrl> urls = data->urls();
    for (const QUrl &url : urls) {
        if (url.isLocalFile())
            files.append(url);
    }
    return files;
}

} // namespace

FileDropFilter::FileDropFilter(QObject *parent)
    : QObject(parent)
{
}

void FileDropFilter::watch(QWidget *widget)
{
    if (!widget)
        return;
    widget->setAcceptDrops(true);
    widget->installEventFilter(this);
}

bool FileDropFilter::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDragMoveEvent *>(event);
        if (localFiles(drag->mimeData()).isEmpty())
            break;
        drag->setDropAction(Qt::CopyAction);
        drag->accept();
        return true;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        const QList<QUrl> files = localFiles(drop->mimeData());
        if (files.isEmpty())
            break;
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        Q_EMIT filesDropped(files);
        return true;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
