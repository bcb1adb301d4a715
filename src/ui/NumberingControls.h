#pragma once
// The numbering controls of the main window: which of them the numbering mode shows, and the two
// radix fields, which follow their digit sets and are normalised when the user leaves them. Values
// are written through the option table, as writes from code; the window refreshes afterwards.
#include <QLineEdit>
#include <functional>

#include "engine/options.h"
#include "rename/dialogs.h"

class OptionTable;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;

class NumberingControls {
public:
    // left: the user left a radix field (the window's LostFocus handler of that field).
    // The controls it shows, hides and writes.
    struct Controls {
        QLabel* lblOd;
        QLineEdit* txtCisloOd;
        QLabel* lblKrok;
        QLineEdit* txtDif;
        QCheckBox* chkStejnePripony;
        QCheckBox* chkINula;
        QCheckBox* chkCisloNula;
        QGroupBox* fraZachovatCisla;
        QGroupBox* fraZachovatTypCislovani;
        QLabel* lblPuvodniZaklad;
        QLineEdit* txtZachovatCiselnyZaklad;
        QGroupBox* fraTypCislovani;
        QButtonGroup* optTypCislovani;
        QLineEdit* txtCiselnyZaklad;
        QButtonGroup* optCitac;
    };
    NumberingControls(const Controls& controls, OptionTable& table, const zelvar::RenameOptions& options,
                      zelvar::Dialogs& dialogs, QObject* owner, std::function<void(QLineEdit*)> left);

    // Shows the controls of that numbering mode.
    void showMode(zelvar::Citac mode);
    // Kept numbers are written in decimal to begin with.
    void keepNumbersChosen();
    // The radix field of a digit set, once that set is chosen, is capped to what the set can write.
    void digitSetChosen(QLineEdit* radix);
    // Leaving a radix field normalises it for its digit set.
    void radixLeft(QLineEdit* radix);
    // The simple layout shows counter numbering only (the window hides the numbering frame).
    void simpleLayout();

private:
    int digitSetOf(const QLineEdit* radix) const;

    Controls ui_;
    OptionTable& table_;
    const zelvar::RenameOptions& opts_;
};
