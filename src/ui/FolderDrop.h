#pragma once
// Lets a window take a folder dropped from a file manager: a dropped folder is opened, a dropped
// file opens the folder that holds it. Only local paths count; anything else is not accepted, so
// the pointer shows that the drop would do nothing.
#include <QObject>
#include <QString>
#include <functional>

class QMimeData;

class FolderDrop : public QObject {
public:
    // Watches `window` (and makes it accept drops); `open` gets the folder path of each drop.
    FolderDrop(QWidget* window, std::function<void(const QString&)> open);

    // The folder a drop of these data means; empty when it means none.
    static QString folderOf(const QMimeData* data);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void(const QString&)> open_;
};
