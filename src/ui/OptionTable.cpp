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
        r.value.set(opts_, box->isChecked());
    } else if (auto* group = qobject_cast<QButtonGroup*>(r.control)) {
        r.value.set(opts_, group->checkedId());
    } else if (auto* list = qobject_cast<QComboBox*>(r.control)) {
        // An item counts only when it was picked from the list: typed text selects none (-1), also
        // when it equals an item's caption.
        const bool picked = !list->lineEdit()->isModified() && list->currentIndex() >= 0 &&
                            list->currentText() == list->itemText(list->currentIndex());
        r.value.set(opts_, picked ? list->currentIndex() : -1);
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
    r.value.set(opts_, value);
}

void OptionTable::resetForSimpleLayout() {
    const RenameOptions start;
    for (const Row& r : rows_) {
        if (!r.simpleResets) continue;
        if (r.text)
            write(r.control, start.*r.text);
        else
            write(r.control, r.value.get(start));
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

namespace {

using O = RenameOptions;
using R = OptionTable::Refresh;

OptionTable::Row text(QObject* c, Text O::*f, R r, bool resets, void (frmMain::*h)()) {
    return {c, f, {}, r, resets, h, nullptr};
}
template <auto Field>
OptionTable::Row flag(QObject* c, R r, bool resets, void (frmMain::*h)()) {
    return {c, nullptr, numberField<Field>(), r, resets, h, nullptr};
}
template <auto Field>
OptionTable::Row choice(QObject* c, R r, bool resets, void (frmMain::*h)(int)) {
    return {c, nullptr, numberField<Field>(), r, resets, nullptr, h};
}

}  // namespace

std::vector<OptionTable::Row> mainWindowOptions(const frmMainUi& u) {
    return {
        text(u.txtJmeno, &O::txtJmeno, R::Pattern, false, &frmMain::txtJmeno_Change),
        text(u.txtExt, &O::txtExt, R::Full, false, &frmMain::txtExt_Change),
        flag<&O::chkObratitJm>(u.chkObratitJm, R::Full, false, &frmMain::chkObratitJm_Click),
        flag<&O::chkObratitEx>(u.chkObratitEx, R::Full, false, &frmMain::chkObratitEx_Click),
        choice<&O::optVelikost>(u.optVelikost, R::Full, false, &frmMain::optVelikost_Click),
        choice<&O::optCitac>(u.optCitac, R::None, true, &frmMain::optCitac_Click),
        text(u.txtCisloOd, &O::txtCisloOd, R::Full, true, &frmMain::txtCisloOd_Change),
        text(u.txtDif, &O::txtDif, R::Full, true, &frmMain::txtDif_Change),
        flag<&O::chkStejnePripony>(u.chkStejnePripony, R::Preview, false, &frmMain::chkStejnePripony_Click),
        flag<&O::chkINula>(u.chkINula, R::Preview, true, &frmMain::chkINula_Click),
        flag<&O::chkCisloNula>(u.chkCisloNula, R::Preview, true, &frmMain::chkCisloNula_Click),
        choice<&O::optZachovatCisla>(u.optZachovatCisla, R::Plain, true, &frmMain::optZachovatCisla_Click),
        choice<&O::optZachovatTypCislovani>(u.optZachovatTypCislovani, R::None, false,
                                            &frmMain::optZachovatTypCislovani_Click),
        // The radix fields have no change handler: the record follows them as they are typed.
        text(u.txtZachovatCiselnyZaklad, &O::txtZachovatCiselnyZaklad, R::None, false, nullptr),
        choice<&O::optTypCislovani>(u.optTypCislovani, R::None, true, &frmMain::optTypCislovani_Click),
        text(u.txtCiselnyZaklad, &O::txtCiselnyZaklad, R::None, true, nullptr),
        flag<&O::chkBezDia>(u.chkBezDia, R::Full, true, &frmMain::chkBezDia_Click),
        flag<&O::cboPauzy>(u.cboPauzy, R::Full, true, &frmMain::cboPauzy_Click),
        text(u.txtZamenitCo, &O::txtZamenitCo, R::Pair, true, &frmMain::txtZamenitCo_Change),
        text(u.txtZamenitZaCo, &O::txtZamenitZaCo, R::Pair, true, &frmMain::txtZamenitZaCo_Change),
        flag<&O::chkZamenaVse>(u.chkZamenaVse, R::Full, false, &frmMain::chkZamenaVse_Click),
        text(u.txtOdstranit, &O::txtOdstranit, R::Full, true, &frmMain::txtOdstranit_Change),
        flag<&O::chkJmeno>(u.chkJmeno, R::Full, true, &frmMain::chkJmeno_Click),
        flag<&O::chkExt>(u.chkExt, R::Full, true, &frmMain::chkExt_Click),
        choice<&O::optRazeni>(u.optRazeni, R::Plain, true, &frmMain::optRazeni_Click),
        flag<&O::chkCisla>(u.chkCisla, R::Plain, true, &frmMain::chkCisla_Click),
        flag<&O::chkObracene>(u.chkObracene, R::Preview, true, &frmMain::chkObracene_Click),
        // Read by the rename run only.
        flag<&O::chkKazdy>(u.chkKazdy, R::None, false, &frmMain::chkKazdy_Click),
        // The listing: its handlers list again themselves.
        text(u.txtVyhlFiltr, &O::txtVyhlFiltr, R::None, false, &frmMain::txtVyhlFiltr_Change),
        choice<&O::optFile>(u.optFile, R::None, true, &frmMain::optFile_Click),
        // Its handler filters the replacement fields anew and refreshes.
        flag<&O::chkRegVyraz>(u.chkRegVyraz, R::None, true, &frmMain::chkRegVyraz_Click),
        choice<&O::optDatum>(u.optDatum, R::Full, true, &frmMain::optDatum_Click),
    };
}
