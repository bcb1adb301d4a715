#include "ui/OptionTable.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <algorithm>

#include "preview/compose.h"
#include "ui/controls.h"

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
            const QString typed = field->text();
            const Text clean = BezZakazanychZnaku(fromQ(typed));
            if (toQ(clean) != typed) {
                const int caret = field->cursorPosition();
                const int removed = int(caret - toQ(BezZakazanychZnaku(fromQ(typed.left(caret)))).size());
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
