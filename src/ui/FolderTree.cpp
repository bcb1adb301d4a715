#include "ui/FolderTree.h"

#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <unordered_map>

#include "platform/folderscan.h"

using zelvar::canOpenFolder;
using zelvar::joinPath;
using zelvar::subfolderNames;

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kReadRole = Qt::UserRole + 1;

std::string itemPath(const QTreeWidgetItem* item) { return item->data(0, kPathRole).toByteArray().toStdString(); }

std::string leafName(const QTreeWidgetItem* item) {
    const std::string path = itemPath(item);
    return path.substr(path.rfind('/') + 1);
}

}  // namespace

FolderTree::FolderTree(QWidget* parent) : QTreeWidget(parent) {
    setColumnCount(1);
    header()->hide();
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    header()->setStretchLastSection(false);
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) { populate(item); });
    connect(this, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { onCurrentChanged(current); });
}

void FolderTree::setRoot(const std::string& root) {
    const QSignalBlocker blocker(this);
    clear();
    root_ = root;
    QTreeWidgetItem* top = new QTreeWidgetItem(this);
    top->setText(0, QString::fromUtf8(root));
    top->setData(0, kPathRole, QByteArray::fromStdString(root));
    top->setIcon(0, style()->standardIcon(QStyle::SP_DriveHDIcon));
    makeCurrent(top);
}

bool FolderTree::setPath(const std::string& path) {
    if (root_.empty() || topLevelItemCount() == 0) return false;
    const bool inside =
        path == root_ || root_ == "/" ||
        (path.size() > root_.size() && path.compare(0, root_.size(), root_) == 0 && path[root_.size()] == '/');
    if (!inside || !canOpenFolder(path)) return false;

    QTreeWidgetItem* item = topLevelItem(0);
    std::size_t start = root_ == "/" ? 1 : root_.size() + 1;
    while (start < path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        const std::string name = path.substr(start, end - start);
        populate(item);
        QTreeWidgetItem* child = childNamed(item, name);
        // A folder the parent's listing did not show (no right to list the parent) is still a place.
        if (!child) {
            child = newFolderItem(name, path.substr(0, end));
            item->addChild(child);
        }
        item->setExpanded(true);
        item = child;
        start = end + 1;
    }
    makeCurrent(item);
    return true;
}

void FolderTree::reloadCurrent() {
    if (QTreeWidgetItem* item = currentItem()) {
        const QSignalBlocker blocker(this);
        populate(item, true);
        item->setExpanded(true);
    }
}

void FolderTree::populate(QTreeWidgetItem* item, bool force) {
    if (item->data(0, kReadRole).toBool() && !force) return;
    const std::string folder = itemPath(item);
    const std::vector<std::string> names = subfolderNames(folder);
    // Items that still exist are kept with what was read below them.
    std::unordered_map<std::string, QTreeWidgetItem*> old;
    for (QTreeWidgetItem* child : item->takeChildren()) old.emplace(leafName(child), child);
    QList<QTreeWidgetItem*> fresh;
    fresh.reserve(static_cast<qsizetype>(names.size()));
    for (const std::string& name : names) {
        auto found = old.find(name);
        if (found != old.end()) {
            fresh.append(found->second);
            old.erase(found);
        } else {
            fresh.append(newFolderItem(name, joinPath(folder, name)));
        }
    }
    for (auto& gone : old) delete gone.second;
    item->addChildren(fresh);
    item->setData(0, kReadRole, true);
    item->setChildIndicatorPolicy(item->childCount() ? QTreeWidgetItem::ShowIndicator
                                                     : QTreeWidgetItem::DontShowIndicator);
}

QTreeWidgetItem* FolderTree::childNamed(QTreeWidgetItem* item, const std::string& name) {
    const std::string path = joinPath(itemPath(item), name);
    for (int i = 0; i < item->childCount(); ++i)
        if (itemPath(item->child(i)) == path) return item->child(i);
    return nullptr;
}

QTreeWidgetItem* FolderTree::newFolderItem(const std::string& name, const std::string& path) {
    auto* child = new QTreeWidgetItem;
    child->setText(0, QString::fromUtf8(name));
    child->setData(0, kPathRole, QByteArray::fromStdString(path));
    child->setIcon(0, style()->standardIcon(QStyle::SP_DirIcon));
    child->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    return child;
}

void FolderTree::makeCurrent(QTreeWidgetItem* item) {
    silent_ = true;
    setCurrentItem(item);
    silent_ = false;
    path_ = itemPath(item);
    {
        const QSignalBlocker blocker(this);
        populate(item);
        item->setExpanded(true);
    }
    // Centred, so that the folders inside it show below it.
    scrollTo(indexFromItem(item), QAbstractItemView::PositionAtCenter);
}

void FolderTree::scrollTo(const QModelIndex& index, ScrollHint hint) {
    QScrollBar* across = horizontalScrollBar();
    const int x = across->value();
    QTreeWidget::scrollTo(index, hint);
    across->setValue(x);
}

void FolderTree::onCurrentChanged(QTreeWidgetItem* current) {
    if (silent_ || !current) return;
    const std::string chosen = itemPath(current);
    if (chosen == path_) return;
    path_ = chosen;
    {
        const QSignalBlocker blocker(this);
        populate(current);
        current->setExpanded(true);
    }
    emit folderChosen();
}
