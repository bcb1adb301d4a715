#pragma once
// "Historie přejmenování": the journaled runs of the window's folder, newest first, each with its
// time, kind, renamed of planned entries and state. "Vrátit vybrané přejmenování" takes back the rename
// of the chosen line, also an older one; the core refuses it, with a message saying which run must
// go first, when a later run still in force renamed the same entries or names.
#include <QDialog>
#include <functional>
#include <string>

class QLabel;
class QPushButton;
class QTreeWidget;

class frmHistorie : public QDialog {
    Q_OBJECT
public:
    // undo: takes back the rename of the journal id given (the window's own step, with its progress).
    frmHistorie(const std::string& folder, std::function<void(const std::string& id)> undo, QWidget* parent);

    // Reads the journals again.
    void reload();

    QLabel* lblSlozka;
    QTreeWidget* lstHistorie;
    QPushButton* cmdVratit;
    QPushButton* cmdZavrit;

public slots:
    void cmdVratit_Click();

private:
    void chosen();
    std::string folder_;
    std::function<void(const std::string&)> undo_;
};
