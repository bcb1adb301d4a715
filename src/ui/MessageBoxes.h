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

    zelvar::Answer messageBox(const zelvar::Text& text, zelvar::BoxStyle style) override;
    void beep() override;
    std::optional<zelvar::Text> askText(const zelvar::Text& prompt, const zelvar::Text& start) override;
    std::string chooseFile(const zelvar::Text& title) override;

    // The same box under another title.
    static zelvar::Answer show(QWidget* parent, const QString& title, const zelvar::Text& text, zelvar::BoxStyle style);

private:
    QPointer<QWidget> parent_;
};
