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

void NumberingControls::showMode(Citac mode) {
    for (QWidget* w :
         std::initializer_list<QWidget*>{ui_.lblOd, ui_.txtCisloOd, ui_.lblKrok, ui_.txtDif, ui_.chkStejnePripony})
        w->setVisible(mode == Citac::Citac);
    ui_.chkINula->setVisible(mode == Citac::JenStejne);
    ui_.chkCisloNula->setVisible(mode == Citac::Zachovat);
    ui_.fraZachovatCisla->setVisible(mode == Citac::Zachovat);
    const bool keep = opts_.optCitac == Citac::Zachovat;
    ui_.txtZachovatCiselnyZaklad->setVisible(keep);
    ui_.lblPuvodniZaklad->setVisible(keep);
    ui_.fraZachovatTypCislovani->setVisible(keep);
}

void NumberingControls::keepNumbersChosen() {
    table_.write(ui_.txtCiselnyZaklad, U"10");
    table_.write(ui_.optTypCislovani, TypCislovani::Cislice);
    table_.write(ui_.txtCiselnyZaklad, capRadix(opts_.txtCiselnyZaklad, static_cast<int>(TypCislovani::Cislice)));
}

int NumberingControls::digitSetOf(const QLineEdit* radix) const {
    return static_cast<int>(radix == ui_.txtCiselnyZaklad ? opts_.optTypCislovani : opts_.optZachovatTypCislovani);
}

void NumberingControls::digitSetChosen(QLineEdit* radix) {
    const Text& now = radix == ui_.txtCiselnyZaklad ? opts_.txtCiselnyZaklad : opts_.txtZachovatCiselnyZaklad;
    table_.write(radix, capRadix(now, digitSetOf(radix)));
}

void NumberingControls::radixLeft(QLineEdit* radix) {
    table_.write(radix, normaliseRadix(ui::fromQ(radix->text()), digitSetOf(radix)));
}

void NumberingControls::simpleLayout() {
    ui_.fraTypCislovani->show();
    table_.write(ui_.optCitac, Citac::Citac);
    showMode(Citac::Citac);
    ui_.fraZachovatCisla->hide();
}
