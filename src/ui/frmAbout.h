#pragma once
// The About box: title, version, description, the usage summary that stands in for the help file,
// "OK" (Enter and Esc) and "&System Info...".
#include <QDialog>

#include "rename/dialogs.h"

class QLabel;
class QPushButton;

class frmAbout : public QDialog {
    Q_OBJECT
public:
    frmAbout(zelvar::Dialogs& dialogs, QWidget* parent);

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
};

// The program's identity texts, shown by the About box.
extern const char* const kAppTitle;
extern const char* const kAppDescription;
extern const char* const kAppComments;
QString versionText();
