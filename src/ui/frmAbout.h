#pragma once
// The About box: title, version, description, the usage summary, "OK" (Enter and Esc) and
// "&System Info...", which tells the facts a bug report needs.
#include <QDialog>
#include <string>

#include "rename/dialogs.h"

class QLabel;
class QPushButton;

class frmAbout : public QDialog {
    Q_OBJECT
public:
    // folder: the window's current folder, described by "System Info..."
    frmAbout(zelvar::Dialogs& dialogs, QWidget* parent, std::string folder = std::string());

    QLabel* picIcon;
    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* lblDescription;
    QLabel* lblDisclaimer;
    QPushButton* cmdOK;
    QPushButton* cmdSysInfo;

public slots:
    void cmdOK_Click();
    void cmdSysInfo_Click();

private:
    void StartSysInfo();
    zelvar::Dialogs& dialogs_;
    std::string folder_;
};

// The program's identity texts, shown by the About box.
extern const char* const kAppTitle;
extern const char* const kAppDescription;
extern const char* const kAppComments;
QString versionText();
// Program, Qt and ICU versions, system and kernel, locale, and the file system of `folder`.
zelvar::Text systemInfoText(const std::string& folder);
