#pragma once
// The numbering controls of the main window: which of them the numbering mode shows, and the two
// radix fields, which follow their digit sets and are normalised when the user leaves them. Values
// are written through the option table, as writes from code; the window refreshes afterwards.
#include <QLineEdit>
#include <functional>

#include "engine/options.h"
#include "rename/dialogs.h"

struct frmMainUi;
class OptionTable;

class NumberingControls {
public:
    // left: the user left a radix field (the window's LostFocus handler of that field).
    NumberingControls(frmMainUi& ui, OptionTable& table, const zelvar::RenameOptions& options, zelvar::Dialogs& dialogs,
                      QObject* owner, std::function<void(QLineEdit*)> left);

    // Mode 0 counter, 1 only equal, 2 keep numbers: shows the controls of that mode.
    void showMode(int mode);
    // Kept numbers are written in decimal to begin with.
    void keepNumbersChosen();
    // The radix field of a digit set is capped to what the set can write.
    void digitSetChosen(QLineEdit* radix, int digitSet);
    // Leaving a radix field normalises it for its digit set.
    void radixLeft(QLineEdit* radix);
    // The simple layout shows counter numbering only.
    void simpleLayout();

private:
    int digitSetOf(const QLineEdit* radix) const;

    frmMainUi& ui_;
    OptionTable& table_;
    const zelvar::RenameOptions& opts_;
};
