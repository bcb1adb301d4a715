#pragma once
// The help window: the program's Czech help text from its resources, with a search line (Ctrl+F,
// Enter or F3 for the next find, Shift+Enter or Shift+F3 for the previous one). One window per main
// window; asking again brings it to the front.
#include <QDialog>

class QLineEdit;
class QTextBrowser;

class frmHelp : public QDialog {
    Q_OBJECT
public:
    explicit frmHelp(QWidget* parent);

    // Shows the help window of `owner`, made on first use; with `search` the search line has the focus.
    static frmHelp* open(QWidget* owner, bool search = false);

    QTextBrowser* txtNapoveda;
    QLineEdit* txtHledat;

    // Selects the next (or previous) place of the search text, going round at the end; false and a
    // beep when the text is nowhere.
    bool find(bool backwards = false);
};
