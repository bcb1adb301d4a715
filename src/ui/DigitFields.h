#pragma once
// The keys of the window's digit fields: the counter start ("Od") judges every typed key as the
// character check of its mode does; a radix field ("Základ", "Původní základ") takes digits, and
// Backspace always takes its last character away. A paste or a drop keeps the digits of what it
// brings; select all, copy, cut, paste, undo and redo are every field's own.
#include <QObject>
#include <functional>

#include "engine/text.h"
#include "rename/dialogs.h"

class QKeyEvent;
class QLineEdit;

class DigitFields : public QObject {
public:
    // write: puts a text into a radix field as a write from code (the options record follows);
    // left: the user left a radix field (which then normalises it).
    DigitFields(QLineEdit* counterStart, QLineEdit* radix, QLineEdit* keptRadix, zelvar::Dialogs& dialogs,
                std::function<void(QLineEdit*, const zelvar::Text&)> write, std::function<void(QLineEdit*)> left,
                QObject* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool counterStartKey(QKeyEvent* event);
    bool radixKey(QLineEdit* field, QKeyEvent* event);

    QLineEdit* counterStart_;
    zelvar::Dialogs& dialogs_;
    std::function<void(QLineEdit*, const zelvar::Text&)> write_;
    std::function<void(QLineEdit*)> left_;
};
