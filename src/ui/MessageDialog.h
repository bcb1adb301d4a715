#pragma once
// The box that MessageBoxes shows: an icon, the text and a row of buttons, like a QMessageBox, but
// made for texts that hold long names. The text wraps anywhere (a 255-byte name has no blank to wrap
// at), the box grows with it up to the screen (then the text scrolls), and the text can be selected
// and copied.
#include <QDialog>
#include <QMessageBox>
#include <vector>

class QPushButton;
class QTextEdit;

class MessageDialog : public QDialog {
    Q_OBJECT
public:
    MessageDialog(QMessageBox::Icon icon, const QString& title, const QString& text, QWidget* parent);

    QPushButton* addButton(const QString& caption, QMessageBox::ButtonRole role);
    void setDefaultButton(QPushButton* button);
    void setEscapeButton(QPushButton* button) { escape_ = button; }

    QString text() const { return text_; }
    QMessageBox::Icon icon() const { return icon_; }
    QTextEdit* textView() const { return view_; }
    const std::vector<QPushButton*>& buttons() const { return buttons_; }
    QPushButton* defaultButton() const { return default_; }
    QPushButton* clickedButton() const { return clicked_; }

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void fitToText();

    QString text_;
    QMessageBox::Icon icon_;
    QTextEdit* view_;
    QWidget* buttonRow_;
    std::vector<QPushButton*> buttons_;
    QPushButton* default_ = nullptr;
    QPushButton* escape_ = nullptr;
    QPushButton* clicked_ = nullptr;
};
