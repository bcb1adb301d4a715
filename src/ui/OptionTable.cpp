#include "ui/OptionTable.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <algorithm>

#include "engine/charset.h"
#include "preview/compose.h"
#include "ui/controls.h"
#include "ui/frmMain.h"

using namespace zelvar;
using zelvar::ui::fromQ;
using zelvar::ui::toQ;

const OptionTable::Row& OptionTable::row(const QObject* control) const {
    return *std::find_if(rows_.begin(), rows_.end(), [&](const Row& r) { return r.control == control; });
}

OptionTable::Refresh OptionTable::read(const QObject* control) {
    const Row& r = row(control);
    if (auto* field = qobject_cast<QLineEdit*>(r.control)) {
        if (r.refresh == Refresh::Pair) {
            // Characters a name may not hold are taken out where they stand; the caret keeps its place.
            // An expression needs all of them, its replacement \ and $ (groups); what the replacement
            // writes loses them later, in the name.
            const bool expression = opts_.chkRegVyraz != 0;
            const auto strip = [&](const Text& t) {
                if (!expression) return BezZakazanychZnaku(t);
                return r.text == &RenameOptions::txtZamenitCo ? t : OdstranZnaky(t, U"/<>|\":*?");
            };
            const QString typed = field->text();
            const Text clean = strip(fromQ(typed));
            if (toQ(clean) != typed) {
                const int caret = field->cursorPosition();
                const int removed = int(caret - toQ(strip(fromQ(typed.left(caret)))).size());
                const QSignalBlocker blocker(field);
                field->setText(toQ(clean));
                field->setCursorPosition(caret - removed);
            }
            opts_.*r.text = clean;
        } else {
            opts_.*r.text = fromQ(field->text());
        }
    } else if (auto* box = qobject_cast<QCheckBox*>(r.control)) {
        opts_.*r.value = box->isChecked();
    } else if (auto* group = qobject_cast<QButtonGroup*>(r.control)) {
        opts_.*r.value = group->checkedId();
    } else if (auto* list = qobject_cast<QComboBox*>(r.control)) {
        // An item counts only when it was picked from the list: typed text selects none (-1), also
        // when it equals an item's caption.
        const bool picked = !list->lineEdit()->isModified() && list->currentIndex() >= 0 &&
                            list->currentText() == list->itemText(list->currentIndex());
        opts_.*r.value = picked ? list->currentIndex() : -1;
    }
    return r.refresh;
}

void OptionTable::write(const QObject* control, const Text& text) {
    const Row& r = row(control);
    auto* field = static_cast<QLineEdit*>(r.control);
    const QSignalBlocker blocker(field);
    field->setText(toQ(text));
    opts_.*r.text = text;
}

void OptionTable::write(const QObject* control, int value) {
    const Row& r = row(control);
    const QSignalBlocker blocker(r.control);
    if (auto* box = qobject_cast<QCheckBox*>(r.control)) box->setChecked(value != 0);
    if (auto* group = qobject_cast<QButtonGroup*>(r.control)) group->button(value)->setChecked(true);
    if (auto* list = qobject_cast<QComboBox*>(r.control)) list->setCurrentIndex(value);
    opts_.*r.value = value;
}

void OptionTable::resetForSimpleLayout() {
    const RenameOptions start;
    for (const Row& r : rows_) {
        if (!r.simpleResets) continue;
        if (r.text)
            write(r.control, start.*r.text);
        else
            write(r.control, start.*r.value);
    }
}

void OptionTable::connectTo(frmMain* window, const std::function<void(const QObject*)>& changed) const {
    for (const Row& b : rows_) {
        if (auto* field = qobject_cast<QLineEdit*>(b.control)) {
            if (b.changed)
                QObject::connect(field, &QLineEdit::textChanged, window, b.changed);
            else
                QObject::connect(field, &QLineEdit::textChanged, window, [changed, field] { changed(field); });
        } else if (auto* box = qobject_cast<QCheckBox*>(b.control)) {
            QObject::connect(box, &QCheckBox::toggled, window, b.changed);
        } else if (auto* group = qobject_cast<QButtonGroup*>(b.control)) {
            QObject::connect(group, &QButtonGroup::idToggled, window, [window, handler = b.chosen](int id, bool on) {
                if (on) (window->*handler)(id);
            });
        }
    }
}

std::vector<OptionTable::Row> mainWindowOptions(const frmMainUi& u) {
    using O = RenameOptions;
    using R = OptionTable::Refresh;
    const auto text = [](QObject* c, Text O::*f, R r, bool resets, void (frmMain::*h)()) {
        return OptionTable::Row{c, f, nullptr, r, resets, h, nullptr};
    };
    const auto flag = [](QObject* c, int O::*f, R r, bool resets, void (frmMain::*h)()) {
        return OptionTable::Row{c, nullptr, f, r, resets, h, nullptr};
    };
    const auto choice = [](QObject* c, int O::*f, R r, bool resets, void (frmMain::*h)(int)) {
        return OptionTable::Row{c, nullptr, f, r, resets, nullptr, h};
    };
    return {
        text(u.txtJmeno, &O::txtJmeno, R::Pattern, false, &frmMain::txtJmeno_Change),
        text(u.txtExt, &O::txtExt, R::Full, false, &frmMain::txtExt_Change),
        flag(u.chkObratitJm, &O::chkObratitJm, R::Full, false, &frmMain::chkObratitJm_Click),
        flag(u.chkObratitEx, &O::chkObratitEx, R::Full, false, &frmMain::chkObratitEx_Click),
        choice(u.optVelikost, &O::optVelikost, R::Full, false, &frmMain::optVelikost_Click),
        choice(u.optCitac, &O::optCitac, R::None, true, &frmMain::optCitac_Click),
        text(u.txtCisloOd, &O::txtCisloOd, R::Full, true, &frmMain::txtCisloOd_Change),
        text(u.txtDif, &O::txtDif, R::Full, true, &frmMain::txtDif_Change),
        flag(u.chkStejnePripony, &O::chkStejnePripony, R::Preview, false, &frmMain::chkStejnePripony_Click),
        flag(u.chkINula, &O::chkINula, R::Preview, true, &frmMain::chkINula_Click),
        flag(u.chkCisloNula, &O::chkCisloNula, R::Preview, true, &frmMain::chkCisloNula_Click),
        choice(u.optZachovatCisla, &O::optZachovatCisla, R::Plain, true, &frmMain::optZachovatCisla_Click),
        choice(u.optZachovatTypCislovani, &O::optZachovatTypCislovani, R::None, false,
               &frmMain::optZachovatTypCislovani_Click),
        // The radix fields have no change handler: the record follows them as they are typed.
        text(u.txtZachovatCiselnyZaklad, &O::txtZachovatCiselnyZaklad, R::None, false, nullptr),
        choice(u.optTypCislovani, &O::optTypCislovani, R::None, true, &frmMain::optTypCislovani_Click),
        text(u.txtCiselnyZaklad, &O::txtCiselnyZaklad, R::None, true, nullptr),
        flag(u.chkBezDia, &O::chkBezDia, R::Full, true, &frmMain::chkBezDia_Click),
        flag(u.cboPauzy, &O::cboPauzy, R::Full, true, &frmMain::cboPauzy_Click),
        text(u.txtZamenitCo, &O::txtZamenitCo, R::Pair, true, &frmMain::txtZamenitCo_Change),
        text(u.txtZamenitZaCo, &O::txtZamenitZaCo, R::Pair, true, &frmMain::txtZamenitZaCo_Change),
        flag(u.chkZamenaVse, &O::chkZamenaVse, R::Full, false, &frmMain::chkZamenaVse_Click),
        text(u.txtOdstranit, &O::txtOdstranit, R::Full, true, &frmMain::txtOdstranit_Change),
        flag(u.chkJmeno, &O::chkJmeno, R::Full, true, &frmMain::chkJmeno_Click),
        flag(u.chkExt, &O::chkExt, R::Full, true, &frmMain::chkExt_Click),
        choice(u.optRazeni, &O::optRazeni, R::Plain, true, &frmMain::optRazeni_Click),
        flag(u.chkCisla, &O::chkCisla, R::Plain, true, &frmMain::chkCisla_Click),
        flag(u.chkObracene, &O::chkObracene, R::Preview, true, &frmMain::chkObracene_Click),
        // Read by the rename run only.
        flag(u.chkKazdy, &O::chkKazdy, R::None, false, &frmMain::chkKazdy_Click),
        // The listing: its handlers list again themselves.
        text(u.txtVyhlFiltr, &O::txtVyhlFiltr, R::None, false, &frmMain::txtVyhlFiltr_Change),
        choice(u.optFile, &O::optFile, R::None, true, &frmMain::optFile_Click),
        // Its handler filters the replacement fields anew and refreshes.
        flag(u.chkRegVyraz, &O::chkRegVyraz, R::None, true, &frmMain::chkRegVyraz_Click),
        choice(u.optDatum, &O::optDatum, R::Full, true, &frmMain::optDatum_Click),
    };
}
