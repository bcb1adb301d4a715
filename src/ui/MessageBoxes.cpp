#include "ui/MessageBoxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <vector>

namespace {

struct ButtonKind {
    const char* caption;
    QMessageBox::ButtonRole role;
    int answer;
};

// Buttons of each style in their order on screen; the first one is the default.
std::vector<ButtonKind> buttonsOf(int style) {
    using R = QMessageBox::ButtonRole;
    switch (style & 7) {
        case 1: return {{"OK", R::AcceptRole, 1}, {"Storno", R::RejectRole, 2}};
        case 2:
            return {{"Přerušit", R::RejectRole, 3}, {"Opakovat", R::AcceptRole, 4},
                    {"Ignorovat", R::AcceptRole, 5}};
        case 3: return {{"Ano", R::YesRole, 6}, {"Ne", R::NoRole, 7}, {"Storno", R::RejectRole, 2}};
        case 4: return {{"Ano", R::YesRole, 6}, {"Ne", R::NoRole, 7}};
        case 5: return {{"Opakovat", R::AcceptRole, 4}, {"Storno", R::RejectRole, 2}};
        default: return {{"OK", R::AcceptRole, 1}};
    }
}

QMessageBox::Icon iconOf(int style) {
    switch (style & 0x70) {
        case 16: return QMessageBox::Critical;
        case 32: return QMessageBox::Question;
        case 48: return QMessageBox::Warning;
        case 64: return QMessageBox::Information;
        default: return QMessageBox::NoIcon;
    }
}

}  // namespace

int MessageBoxes::show(QWidget* parent, const QString& title, const zelvar::Text& text, int style) {
    QString body = QString::fromUtf8(zelvar::toUtf8(text));
    body.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QMessageBox box(iconOf(style), title, body, QMessageBox::NoButton, parent);
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    const std::vector<ButtonKind> kinds = buttonsOf(style);
    std::vector<QPushButton*> buttons;
    for (const ButtonKind& kind : kinds) buttons.push_back(box.addButton(QString::fromUtf8(kind.caption), kind.role));
    box.setDefaultButton(buttons.front());
    // Esc answers Cancel where there is one, OK where it is the only button, and otherwise No.
    QPushButton* escape = buttons.back();
    for (std::size_t i = 0; i < kinds.size(); ++i)
        if (kinds[i].answer == 2) escape = buttons[i];
    box.setEscapeButton(escape);
    box.exec();
    for (std::size_t i = 0; i < kinds.size(); ++i)
        if (box.clickedButton() == buttons[i]) return kinds[i].answer;
    return kinds.size() == 1 ? kinds.front().answer : 2;
}

int MessageBoxes::messageBox(const zelvar::Text& text, int style) {
    return show(parent_, QStringLiteral("Zelvar"), text, style);
}

void MessageBoxes::beep() { QApplication::beep(); }
