#pragma once
// The program's real message boxes: modal, titled "Zelvar", with the icon of the style and Czech
// buttons, the first button being the default. The beep is the application's.
#include <QPointer>
#include <QWidget>

#include "rename/dialogs.h"

class MessageBoxes : public zelvar::Dialogs {
public:
    explicit MessageBoxes(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    int messageBox(const zelvar::Text& text, int style) override;
    void beep() override;

    // The same box under another title.
    static int show(QWidget* parent, const QString& title, const zelvar::Text& text, int style);

private:
    QPointer<QWidget> parent_;
};
