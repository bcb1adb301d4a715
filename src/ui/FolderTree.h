#pragma once
// The folder tree of the main window: the folders of one volume, hidden ones included, read lazily
// one folder at a time when it is opened, so that no part of the tree waits for more than one
// directory listing. Its current folder is the window's current folder; a choice made by the user is
// announced by folderChosen(), a path set from code is not.
#include <QTreeWidget>
#include <string>

class FolderTree : public QTreeWidget {
    Q_OBJECT
public:
    explicit FolderTree(QWidget* parent = nullptr);

    // Shows the volume mounted at root, with root as the current folder.
    void setRoot(const std::string& root);
    const std::string& root() const { return root_; }

    // Makes path, a folder inside the root, the current folder and opens it; false (and nothing
    // changed) when it is outside the root or cannot be opened.
    bool setPath(const std::string& path);
    const std::string& path() const { return path_; }

    // Reads the subfolders of the current folder again.
    void reloadCurrent();

    // Up and down to a folder, never sideways: that would cut the folder names off on the left.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

signals:
    void folderChosen();

private:
    void populate(QTreeWidgetItem* item, bool force = false);
    QTreeWidgetItem* childNamed(QTreeWidgetItem* item, const std::string& name);
    QTreeWidgetItem* newFolderItem(const std::string& name, const std::string& path);
    void makeCurrent(QTreeWidgetItem* item);
    void onCurrentChanged(QTreeWidgetItem* current);

    std::string root_;
    std::string path_;
    bool silent_ = false;
};
