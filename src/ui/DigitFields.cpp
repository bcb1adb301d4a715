#include "ui/DigitFields.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QValidator>

#include "engine/keyfilter.h"
#include "ui/controls.h"

using namespace zelvar;

namespace {

// The character a key types, as a code-page text box reports it: Ctrl with a letter gives the
// control code (Ctrl+V is 22); 0 for a key that types nothing (arrows, Delete, function keys).
char32_t typedCode(const QKeyEvent* e) {
    const Qt::KeyboardModifiers mods = e->modifiers();
    if ((mods & Qt::ControlModifier) && !(mods & Qt::AltModifier) && e->key() >= Qt::Key_A && e->key() <= Qt::Key_Z)
        return char32_t(e->key() - Qt::Key_A + 1);
    const QList<uint> codes = e->text().toUcs4();
    if (codes.isEmpty() || codes.front() == 127) return 0;
    return char32_t(codes.front());
}

bool isEditingShortcut(const QKeyEvent* e) {
    for (const QKeySequence::StandardKey k : {QKeySequence::SelectAll, QKeySequence::Copy, QKeySequence::Cut,
                                              QKeySequence::Paste, QKeySequence::Undo, QKeySequence::Redo})
        if (e->matches(k)) return true;
    return false;
}

// Whatever gets in by a paste or a drop keeps its digits only; `refused` says that something did not.
class DigitsOnly : public QValidator {
public:
    DigitsOnly(QObject* parent, std::function<void()> refused) : QValidator(parent), refused_(std::move(refused)) {}
    State validate(QString& input, int& pos) const override {
        qsizetype removedBeforeCaret = 0;
        QString digits;
        for (qsizetype i = 0; i < input.size(); ++i) {
            if (input[i] >= QLatin1Char('0') && input[i] <= QLatin1Char('9'))
                digits.append(input[i]);
            else if (i < pos)
                ++removedBeforeCaret;
        }
        if (digits.size() != input.size()) {
            input = digits;
            pos -= int(removedBeforeCaret);
            if (refused_) refused_();
        }
        return Acceptable;
    }

private:
    std::function<void()> refused_;
};

}  // namespace

DigitFields::DigitFields(QLineEdit* counterStart, QLineEdit* radix, QLineEdit* keptRadix, Dialogs& dialogs,
                         std::function<void(QLineEdit*, const Text&)> write, std::function<void(QLineEdit*)> left,
                         QObject* parent)
    : QObject(parent), counterStart_(counterStart), dialogs_(dialogs), write_(std::move(write)),
      left_(std::move(left)) {
    // The counter start beeps at what it cannot take, as for a typed key; a radix field drops it silently.
    counterStart->setValidator(new DigitsOnly(counterStart, [this] { dialogs_.beep(); }));
    for (QLineEdit* field : {radix, keptRadix}) field->setValidator(new DigitsOnly(field, nullptr));
    for (QLineEdit* field : {counterStart, radix, keptRadix}) field->installEventFilter(this);
}

bool DigitFields::eventFilter(QObject* watched, QEvent* event) {
    if (watched != counterStart_ && ui::leftByUser(watched, event)) left_(static_cast<QLineEdit*>(watched));
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (isEditingShortcut(key)) return false;
    if (watched == counterStart_) return counterStartKey(key);
    return radixKey(static_cast<QLineEdit*>(watched), key);
}

bool DigitFields::counterStartKey(QKeyEvent* event) {
    const char32_t code = typedCode(event);
    if (code == 0) return false;
    const KeyVerdict verdict = KontrolaZnaku(code, U"c");
    if (verdict.beep) dialogs_.beep();
    if (verdict.message) dialogs_.messageBox(kKontrolaZprava, box::exclamation);
    if (verdict.code == code || verdict.code == kKeyBackspace) return false;
    // Swallowed, or turned into a Tab, which a one-line field does not insert.
    if (verdict.code == 0 || verdict.code == kKeyTab) return true;
    counterStart_->insert(QString::fromUcs4(&verdict.code, 1));
    return true;
}

bool DigitFields::radixKey(QLineEdit* field, QKeyEvent* event) {
    const char32_t code = typedCode(event);
    if (code == 0 || code == kKeyTab) return false;  // Tab moves on to the next control
    const Text before = ui::fromQ(field->text());
    const RadixKey key = radixKeyPress(before, code);
    if (key.insert) return false;
    if (key.text != before) {
        write_(field, key.text);
        field->setCursorPosition(0);
    }
    return true;
}
