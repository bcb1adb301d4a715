#include "ui/FolderDrop.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

FolderDrop::FolderDrop(QWidget* window, std::function<void(const QString&)> open)
    : QObject(window), open_(std::move(open)) {
    window->setAcceptDrops(true);
    window->installEventFilter(this);
}

QString FolderDrop::folderOf(const QMimeData* data) {
    if (!data || !data->hasUrls()) return {};
    // Of several dropped entries the first one decides: they come from one folder in practice.
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) continue;
        const QFileInfo info(url.toLocalFile());
        if (info.isDir()) return info.absoluteFilePath();
        if (info.exists() || info.isSymLink()) return info.absolutePath();
        return {};
    }
    return {};
}

bool FolderDrop::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (folderOf(drag->mimeData()).isEmpty()) {
                drag->ignore();
            } else {
                drag->setDropAction(Qt::LinkAction);
                drag->accept();
            }
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const QString folder = folderOf(drop->mimeData());
            if (folder.isEmpty()) {
                drop->ignore();
                return true;
            }
            drop->setDropAction(Qt::LinkAction);
            drop->accept();
            // Opened once the drop is over: the file manager waits for its answer, and opening may
            // ask a question.
            QMetaObject::invokeMethod(
                this, [this, folder] { open_(folder); }, Qt::QueuedConnection);
            return true;
        }
        default: return QObject::eventFilter(watched, event);
    }
}
