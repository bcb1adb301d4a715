#pragma once
// "Spravovat předvolby": the saved presets in a list, to rename or delete. The new name is asked
// for and the deletion confirmed through the window's Dialogs, so that tests can answer them.
#include <QDialog>
#include <string>

#include "rename/dialogs.h"

class QListWidget;
class QPushButton;

class PresetManager : public QDialog {
    Q_OBJECT
public:
    PresetManager(zelvar::Dialogs& dialogs, QWidget* parent = nullptr);

    // Lists the saved presets again, with `select` selected where it is one of them.
    void fill(const std::string& select = std::string());
    // The preset's name of the selected row (bytes), empty without a selection.
    std::string selected() const;
    bool changed() const { return changed_; }

public slots:
    void renameSelected();
    void removeSelected();

private:
    void selectionChanged();

    zelvar::Dialogs& dialogs_;
    QListWidget* list_;
    QPushButton* cmdPrejmenovat_;
    QPushButton* cmdSmazat_;
    bool changed_ = false;
};
