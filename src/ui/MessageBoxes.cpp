#include "ui/MessageBoxes.h"

#include <QApplication>
#include <QInputDialog>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <vector>

#include "ui/MessageDialog.h"
#include "ui/controls.h"

namespace {

using zelvar::Answer;
using zelvar::Buttons;
using zelvar::Icon;

struct ButtonKind {
    const char* caption;
    QMessageBox::ButtonRole role;
    Answer answer;
};

// Buttons of each set in their order on screen; the first one is the default.
std::vector<ButtonKind> buttonsOf(Buttons buttons) {
    using R = QMessageBox::ButtonRole;
    switch (buttons) {
        case Buttons::yesNoCancel:
            return {{"Ano", R::YesRole, Answer::yes},
                    {"Ne", R::NoRole, Answer::no},
                    {"Storno", R::RejectRole, Answer::cancel}};
        case Buttons::yesNo: return {{"Ano", R::YesRole, Answer::yes}, {"Ne", R::NoRole, Answer::no}};
        case Buttons::ok: break;
    }
    return {{"OK", R::AcceptRole, Answer::ok}};
}

QMessageBox::Icon iconOf(Icon icon) {
    switch (icon) {
        case Icon::critical: return QMessageBox::Critical;
        case Icon::question: return QMessageBox::Question;
        case Icon::exclamation: return QMessageBox::Warning;
        case Icon::information: return QMessageBox::Information;
        case Icon::none: break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

Answer MessageBoxes::show(QWidget* parent, const QString& title, const zelvar::Text& text, zelvar::BoxStyle style) {
    QString body = QString::fromUtf8(zelvar::toUtf8(text));
    body.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    MessageDialog box(iconOf(style.icon), title, body, parent);
    box.setWindowModality(Qt::ApplicationModal);
    const std::vector<ButtonKind> kinds = buttonsOf(style.buttons);
    std::vector<QPushButton*> buttons;
    for (const ButtonKind& kind : kinds) buttons.push_back(box.addButton(QString::fromUtf8(kind.caption), kind.role));
    box.setDefaultButton(buttons.front());
    // Esc answers Cancel where there is one, OK where it is the only button, and otherwise No.
    QPushButton* escape = buttons.back();
    for (std::size_t i = 0; i < kinds.size(); ++i)
        if (kinds[i].answer == Answer::cancel) escape = buttons[i];
    box.setEscapeButton(escape);
    box.exec();
    for (std::size_t i = 0; i < kinds.size(); ++i)
        if (box.clickedButton() == buttons[i]) return kinds[i].answer;
    return kinds.size() == 1 ? kinds.front().answer : Answer::cancel;
}

Answer MessageBoxes::messageBox(const zelvar::Text& text, zelvar::BoxStyle style) {
    return show(parent_, QStringLiteral("Zelvar"), text, style);
}

void MessageBoxes::beep() { QApplication::beep(); }

std::optional<zelvar::Text> MessageBoxes::askText(const zelvar::Text& prompt, const zelvar::Text& start) {
    QInputDialog input(parent_);
    input.setWindowTitle(QStringLiteral("Zelvar"));
    input.setLabelText(zelvar::ui::toQ(prompt));
    input.setTextValue(zelvar::ui::toField(start));
    input.setOkButtonText(QStringLiteral("OK"));
    input.setCancelButtonText(QStringLiteral("Storno"));
    input.setWindowModality(Qt::ApplicationModal);
    if (input.exec() != QDialog::Accepted) return std::nullopt;
    return zelvar::ui::fromField(input.textValue());
}

std::string MessageBoxes::chooseFile(const zelvar::Text& title) {
    const QString path = QFileDialog::getOpenFileName(parent_, QString::fromUtf8(zelvar::toUtf8(title)));
    return QFile::encodeName(path).toStdString();
}
