#include "ui/FolderNav.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>
#include <optional>

#include "platform/folderscan.h"
#include "ui/FolderTree.h"
#include "ui/controls.h"
#include "ui/windowlogic.h"

using namespace zelvar;

namespace {
bool isEnter(const QKeyEvent* e) { return e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter; }
}  // namespace

FolderNav::FolderNav(const Controls& controls, Dialogs& dialogs, QObject* parent)
    : QObject(parent), ui_(controls), dialogs_(dialogs) {
    ui_.txtCesta->installEventFilter(this);
    ui_.drvDisk->installEventFilter(this);
}

bool FolderNav::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui_.drvDisk) {
        if (event->type() == QEvent::MouseButtonPress) reloadVolumes();
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const bool altArrow =
                (key->modifiers() & Qt::AltModifier) && (key->key() == Qt::Key_Down || key->key() == Qt::Key_Up);
            if (key->key() == Qt::Key_F4 || key->key() == Qt::Key_Space || altArrow) reloadVolumes();
        }
        return false;
    }
    if (event->type() == QEvent::KeyPress && isEnter(static_cast<QKeyEvent*>(event))) enterDown_ = true;
    if (event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        // Only an Enter pressed here counts: the one that closed a message box does not.
        if (isEnter(key) && !key->isAutoRepeat() && enterDown_) {
            enterDown_ = false;
            emit pathKeyUp(13);
        }
    }
    if (ui::leftByUser(watched, event)) emit pathLeft();
    return false;
}

void FolderNav::start(const std::string& startFolder) {
    home_ = QFile::encodeName(QDir::homePath()).toStdString();
    const std::string start = typedFolderPath(fromUtf8(startFolder), home_)
                                  .value_or(typedFolderPath(fromUtf8(home_), home_).value_or(std::string("/")));
    reloadVolumes();
    if (volumeIndexOf(volumes_, start) < 0) {
        volumes_.insert(volumes_.begin(), Volume{"/", "", "", ""});
        setVolumes(volumes_);
    }
    selectDriveOf(start);
    ui_.dirD->setRoot(volumes_[std::size_t(volumeIndexOf(volumes_, start))].root);
    ui_.dirD->setPath(start);  // a start folder that cannot be opened leaves the tree at the volume's root
}

const std::string& FolderNav::folder() const { return ui_.dirD->path(); }

void FolderNav::reloadVolumes() {
    std::vector<Volume> volumes = listVolumes();
    // The list must hold the volume of the current folder, whatever the mount table says.
    if (!folder().empty() && volumeIndexOf(volumes, folder()) < 0)
        volumes.insert(volumes.begin(), Volume{"/", "", "", ""});
    setVolumes(std::move(volumes));
}

void FolderNav::setVolumes(std::vector<Volume> volumes) {
    volumes_ = std::move(volumes);
    const QSignalBlocker blocker(ui_.drvDisk);
    ui_.drvDisk->clear();
    for (const Volume& v : volumes_) {
        QString item = QString::fromUtf8(v.root);
        if (!v.label.empty()) item += QStringLiteral("  [") + QString::fromUtf8(v.label) + QStringLiteral("]");
        ui_.drvDisk->addItem(item);
    }
    if (!folder().empty()) ui_.drvDisk->setCurrentIndex(volumeIndexOf(volumes_, folder()));
}

void FolderNav::selectDriveOf(const std::string& path) {
    const QSignalBlocker blocker(ui_.drvDisk);
    ui_.drvDisk->setCurrentIndex(volumeIndexOf(volumes_, path));
}

void FolderNav::driveChosen() {
    const int index = ui_.drvDisk->currentIndex();
    if (index < 0 || index >= int(volumes_.size())) return;
    const std::string& root = volumes_[std::size_t(index)].root;
    if (const std::optional<Failure> failure = folderOpenFailure(root)) {
        if (isUnavailableDevice(*failure))
            dialogs_.messageBox(T("S diskem nelze pracovat"), box::exclamation);
        else
            dialogs_.messageBox(fromUtf8(failureText(*failure)), box::critical);
        // Back to the drive of the tree, which keeps its folder.
        selectDriveOf(folder());
        emit relist(false);
        return;
    }
    ui_.dirD->setRoot(root);
    emit moved();
}

void FolderNav::pathEntered() {
    if (checkingPath_) return;
    checkingPath_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{checkingPath_};

    const QString typed = ui_.txtCesta->text();
    const std::optional<std::string> path = typedFolderPath(ui::fromField(typed), home_);
    const int volume = path ? volumeIndexOf(volumes_, *path) : -1;
    if (volume < 0 || !canOpenFolder(volumes_[std::size_t(volume)].root)) {
        dialogs_.messageBox(T("Adresa není v pořádku"), box::information);
        ui_.txtCesta->setText(ui::nativeToQ(folder()));
        return;
    }

    bool moved = false;
    if (volume != ui_.drvDisk->currentIndex()) {
        // The drive goes first, and the tree with it to that volume's root.
        selectDriveOf(*path);
        ui_.dirD->setRoot(volumes_[std::size_t(volume)].root);
        emit this->moved();
        moved = true;
    }
    if (*path != folder()) {
        if (!ui_.dirD->setPath(*path)) {
            dialogs_.messageBox(T("Adresa není v pořádku"), box::information);
            ui_.txtCesta->setText(typed);
            return;
        }
        emit this->moved();
        moved = true;
    }
    if (!moved) emit relist(true);
}

void FolderNav::showFolder(const Text& filter) {
    // The tree may walk into a volume mounted inside its own: the drive shown is the folder's.
    selectDriveOf(folder());
    ui_.txtCesta->setText(ui::nativeToQ(folder()));
    ui_.dirD->reloadCurrent();
    const std::vector<std::string> names = matchingFileNames(folder(), filter);
    QStringList items;
    items.reserve(static_cast<qsizetype>(names.size()));
    for (const std::string& n : names) items.append(QString::fromUtf8(n));
    ui_.filD->clear();
    ui_.filD->addItems(items);
}
