// The main window's presets: saving the options under a name, the menu of saved ones, applying one.
#include "ui/frmMain.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>

#include "platform/presets.h"
#include "ui/NumberingControls.h"
#include "ui/OptionTable.h"
#include "ui/PresetManager.h"
#include "ui/controls.h"

using namespace zelvar;

void frmMain::mnuUlozitPredvolbu_Click() {
    const std::optional<Text> typed = dialogs_.askText(T("Jméno předvolby:"), Text());
    if (!typed) return;
    const std::string name = toUtf8(*typed);
    bool replace = false;
    if (presetExists(name)) {
        const Text question = T("Předvolba „") + *typed + T("“ už existuje.\r\nChcete ji nahradit?");
        if (dialogs_.messageBox(question, box::yesNo) != Answer::yes) return;
        replace = true;
    }
    if (const Text error = savePreset(name, Preset{opts_, layoutMode()}, replace); !error.empty())
        dialogs_.messageBox(error, box::exclamation);
    fillPresetMenu();
}

void frmMain::fillPresetMenu() {
    ui_.mnuPredvolby->clear();
    const std::vector<std::string> names = presetNames();
    for (const std::string& name : names) {
        // "&" would mark an access key.
        QAction* item = ui_.mnuPredvolby->addAction(ui::nativeToQ(name).replace(QLatin1Char('&'), QLatin1String("&&")));
        item->setData(QByteArray::fromStdString(name));
        connect(item, &QAction::triggered, this, [this, name] { mnuPredvolba_Click(name); });
    }
    if (names.empty()) ui_.mnuPredvolby->addAction(QStringLiteral("Žádná uložená předvolba"))->setEnabled(false);
}

void frmMain::mnuPredvolba_Click(const std::string& name) {
    // Not while a rename run holds the window.
    if (state_.renaming || !centralWidget()->isEnabled()) return;
    const PresetRead read = loadPreset(name);
    if (!read.ok()) {
        dialogs_.messageBox(read.error, box::exclamation);
        return;
    }
    applyPreset(read.preset);
}

void frmMain::applyPreset(const Preset& preset) {
    const RenameOptions& o = preset.options;
    const bool relist = o.txtVyhlFiltr != opts_.txtVyhlFiltr || o.optFile != opts_.optFile;
    // Every option as the user could have set it, written from code: no handler refreshes yet.
    for (const OptionTable::Row& row : table_.rows()) {
        if (row.text)
            table_.write(row.control, o.*row.text);
        else
            table_.write(row.control, row.value.get(o));
    }
    numbering_->showMode(opts_.optCitac);
    // A radix as if its field had been left.
    numbering_->radixLeft(ui_.txtCiselnyZaklad);
    numbering_->radixLeft(ui_.txtZachovatCiselnyZaklad);
    // The layout last: the simple one puts back what it does not show, as a switch to it does.
    if (preset.layout == 0)
        setJednoduche(false);
    else
        setProfesionalni();
    // The one refresh of it all.
    ZpracujVzor();
    if (relist)
        Aktualizace();
    else
        previewRefresh();
}

void frmMain::mnuSpravovatPredvolby_Click() {
    PresetManager manager(dialogs_, this);
    manager.exec();
    fillPresetMenu();
}
