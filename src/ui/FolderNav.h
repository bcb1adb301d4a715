#pragma once
// The folder selection of the main window: the drive list, the folder tree, the path field and the
// file list that shows what the listing filter lets through. It moves between folders on the
// user's word and tells the window; the window lists and previews.
#include <QObject>
#include <string>
#include <vector>

#include "engine/text.h"
#include "platform/volumes.h"
#include "rename/dialogs.h"

class FolderTree;
class QComboBox;
class QLineEdit;
class QListWidget;

class FolderNav : public QObject {
    Q_OBJECT
public:
    // The controls it moves and shows with.
    struct Controls {
        QComboBox* drvDisk;
        FolderTree* dirD;
        QLineEdit* txtCesta;
        QListWidget* filD;
    };
    FolderNav(const Controls& controls, zelvar::Dialogs& dialogs, QObject* parent);

    // Opens startFolder (bytes of an absolute path; empty or unusable: the home folder).
    void start(const std::string& startFolder);
    const std::string& folder() const;  // the current folder of the tree

    // The volumes of the drive list; re-read from the mount table whenever the list is opened.
    void setVolumes(std::vector<zelvar::Volume> volumes);
    void reloadVolumes();

    // The drive chosen in the list, the path typed into the field.
    void driveChosen();
    void pathEntered();
    // Shows the current folder in the path field, reads its subfolders again and lists its files
    // that match the filter.
    void showFolder(const zelvar::Text& filter);

protected:
    // Enter released in the path field (pathKeyUp) or the field left (pathLeft); a key or a click that
    // opens the drive list reads the mount table again.
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    void moved();               // to another folder, on the user's word
    void relist(bool retitle);  // the same folder, to be listed again
    void pathKeyUp(int keyCode);
    void pathLeft();

private:
    void selectDriveOf(const std::string& path);

    Controls ui_;
    zelvar::Dialogs& dialogs_;
    std::vector<zelvar::Volume> volumes_;
    std::string home_;
    bool checkingPath_ = false;
    bool enterDown_ = false;
};
