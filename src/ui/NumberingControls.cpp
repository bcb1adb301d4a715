#include "ui/NumberingControls.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>

#include "engine/keyfilter.h"
#include "ui/DigitFields.h"
#include "ui/OptionTable.h"
#include "ui/controls.h"

using namespace zelvar;

NumberingControls::NumberingControls(const Controls& controls, OptionTable& table, const RenameOptions& options,
                                     Dialogs& dialogs, QObject* owner, std::function<void(QLineEdit*)> left)
    : ui_(controls), table_(table), opts_(options) {
    new DigitFields(
        ui_.txtCisloOd, ui_.txtCiselnyZaklad, ui_.txtZachovatCiselnyZaklad, dialogs,
        [this](QLineEdit* field, const Text& text) { table_.write(field, text); }, std::move(left), owner);
}

void NumberingControls::showMode(int mode) {
    for (QWidget* w :
         std::initializer_list<QWidget*>{ui_.lblOd, ui_.txtCisloOd, ui_.lblKrok, ui_.txtDif, ui_.chkStejnePripony})
        w->setVisible(mode == 0);
    ui_.chkINula->setVisible(mode == 1);
    ui_.chkCisloNula->setVisible(mode == 2);
    ui_.fraZachovatCisla->setVisible(mode == 2);
    const bool keep = opts_.optCitac == 2;
    ui_.txtZachovatCiselnyZaklad->setVisible(keep);
    ui_.lblPuvodniZaklad->setVisible(keep);
    ui_.fraZachovatTypCislovani->setVisible(keep);
}

void NumberingControls::keepNumbersChosen() {
    table_.write(ui_.txtCiselnyZaklad, U"10");
    table_.write(ui_.optTypCislovani, 0);
    table_.write(ui_.txtCiselnyZaklad, capRadix(opts_.txtCiselnyZaklad, 0));
}

int NumberingControls::digitSetOf(const QLineEdit* radix) const {
    return radix == ui_.txtCiselnyZaklad ? opts_.optTypCislovani : opts_.optZachovatTypCislovani;
}

void NumberingControls::digitSetChosen(QLineEdit* radix, int digitSet) {
    const Text& now = radix == ui_.txtCiselnyZaklad ? opts_.txtCiselnyZaklad : opts_.txtZachovatCiselnyZaklad;
    table_.write(radix, capRadix(now, digitSet));
}

void NumberingControls::radixLeft(QLineEdit* radix) {
    table_.write(radix, normaliseRadix(ui::fromQ(radix->text()), digitSetOf(radix)));
}

void NumberingControls::simpleLayout() {
    ui_.fraTypCislovani->show();
    table_.write(ui_.optCitac, 0);
    showMode(0);
    ui_.fraZachovatCisla->hide();
}
