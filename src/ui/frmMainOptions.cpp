// The main window's option handlers: the option table reads the control into the record and the
// handler refreshes what the change asks for.
#include "ui/frmMain.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "ui/NumberingControls.h"
#include "ui/OptionTable.h"

using namespace zelvar;

void frmMain::txtJmeno_Change() { optionChanged(ui_.txtJmeno); }
void frmMain::txtExt_Change() { optionChanged(ui_.txtExt); }
void frmMain::chkObratitJm_Click() { optionChanged(ui_.chkObratitJm); }
void frmMain::chkObratitEx_Click() { optionChanged(ui_.chkObratitEx); }
void frmMain::optVelikost_Click(int) { optionChanged(ui_.optVelikost); }
void frmMain::txtCisloOd_Change() { optionChanged(ui_.txtCisloOd); }
void frmMain::txtDif_Change() { optionChanged(ui_.txtDif); }
void frmMain::chkStejnePripony_Click() { optionChanged(ui_.chkStejnePripony); }
void frmMain::chkINula_Click() { optionChanged(ui_.chkINula); }
void frmMain::chkCisloNula_Click() { optionChanged(ui_.chkCisloNula); }
void frmMain::optZachovatCisla_Click(int) { optionChanged(ui_.optZachovatCisla); }
void frmMain::chkBezDia_Click() { optionChanged(ui_.chkBezDia); }
void frmMain::cboPauzy_Click() { optionChanged(ui_.cboPauzy); }
void frmMain::txtZamenitCo_Change() { optionChanged(ui_.txtZamenitCo); }
void frmMain::txtZamenitZaCo_Change() { optionChanged(ui_.txtZamenitZaCo); }
void frmMain::chkZamenaVse_Click() { optionChanged(ui_.chkZamenaVse); }
void frmMain::txtOdstranit_Change() { optionChanged(ui_.txtOdstranit); }
void frmMain::chkJmeno_Click() { optionChanged(ui_.chkJmeno); }
void frmMain::chkExt_Click() { optionChanged(ui_.chkExt); }
void frmMain::optRazeni_Click(int) { optionChanged(ui_.optRazeni); }
void frmMain::chkCisla_Click() { optionChanged(ui_.chkCisla); }
void frmMain::chkObracene_Click() { optionChanged(ui_.chkObracene); }
void frmMain::chkKazdy_Click() { optionChanged(ui_.chkKazdy); }
void frmMain::optDatum_Click(int) { optionChanged(ui_.optDatum); }

void frmMain::chkRegVyraz_Click() {
    optionChanged(ui_.chkRegVyraz);
    // The fields keep their text, filtered as typing into them is filtered now.
    table_.read(ui_.txtZamenitCo);
    table_.read(ui_.txtZamenitZaCo);
    fullRefresh();
}

void frmMain::optCitac_Click(int) {
    optionChanged(ui_.optCitac);
    // Kept numbers start from decimal output; the digit-set handler's full refresh closes this one.
    const bool keep = opts_.optCitac == Citac::Zachovat;
    if (keep) numbering_->keepNumbersChosen();
    numbering_->showMode(opts_.optCitac);
    if (keep)
        fullRefresh();
    else
        previewRefresh();
}

void frmMain::optZachovatTypCislovani_Click(int) {
    optionChanged(ui_.optZachovatTypCislovani);
    numbering_->digitSetChosen(ui_.txtZachovatCiselnyZaklad);
    fullRefresh();
}

void frmMain::txtZachovatCiselnyZaklad_LostFocus() {
    numbering_->radixLeft(ui_.txtZachovatCiselnyZaklad);
    fullRefresh();
}

void frmMain::optTypCislovani_Click(int) {
    optionChanged(ui_.optTypCislovani);
    numbering_->digitSetChosen(ui_.txtCiselnyZaklad);
    fullRefresh();
}

void frmMain::txtCiselnyZaklad_LostFocus() {
    numbering_->radixLeft(ui_.txtCiselnyZaklad);
    fullRefresh();
}
