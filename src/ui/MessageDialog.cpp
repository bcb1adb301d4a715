#include "ui/MessageDialog.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTextDocument>
#include <QTextEdit>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

MessageDialog::MessageDialog(QMessageBox::Icon icon, const QString& title, const QString& text, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      text_(text), icon_(icon) {
    setObjectName(QStringLiteral("MessageDialog"));
    setWindowTitle(title);
    setModal(true);

    auto* iconLabel = new QLabel(this);
    iconLabel->setObjectName(QStringLiteral("icon"));
    if (icon != QMessageBox::NoIcon) {
        const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
        const QStyle::StandardPixmap kind = icon == QMessageBox::Critical   ? QStyle::SP_MessageBoxCritical
                                            : icon == QMessageBox::Question ? QStyle::SP_MessageBoxQuestion
                                            : icon == QMessageBox::Warning  ? QStyle::SP_MessageBoxWarning
                                                                            : QStyle::SP_MessageBoxInformation;
        iconLabel->setPixmap(style()->standardIcon(kind, nullptr, this).pixmap(size, size));
    }
    iconLabel->setAlignment(Qt::AlignTop);
    iconLabel->setVisible(icon != QMessageBox::NoIcon);

    view_ = new QTextEdit(this);
    view_->setObjectName(QStringLiteral("text"));
    view_->setReadOnly(true);
    view_->setAcceptRichText(false);
    view_->setPlainText(text);
    view_->setFrameShape(QFrame::NoFrame);
    view_->setLineWrapMode(QTextEdit::WidgetWidth);
    view_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    view_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // Focus stays on the buttons, so that Enter and Esc answer the box; a click still selects.
    view_->setFocusPolicy(Qt::ClickFocus);
    QPalette p = view_->palette();
    p.setColor(QPalette::Base, p.color(QPalette::Window));
    view_->setPalette(p);
    view_->document()->setDocumentMargin(0);

    buttonRow_ = new QWidget(this);
    auto* row = new QHBoxLayout(buttonRow_);
    row->setContentsMargins(0, 0, 0, 0);
    row->addStretch();

    auto* top = new QHBoxLayout;
    top->addWidget(iconLabel, 0, Qt::AlignTop);
    top->addWidget(view_, 1);
    auto* all = new QVBoxLayout(this);
    all->addLayout(top, 1);
    all->addWidget(buttonRow_);
    all->setSizeConstraint(QLayout::SetFixedSize);
}

QPushButton* MessageDialog::addButton(const QString& caption, QMessageBox::ButtonRole role) {
    auto* button = new QPushButton(caption, buttonRow_);
    button->setProperty("role", int(role));
    button->setAutoDefault(false);
    buttonRow_->layout()->addWidget(button);
    buttons_.push_back(button);
    connect(button, &QPushButton::clicked, this, [this, button] {
        clicked_ = button;
        accept();
    });
    return button;
}

void MessageDialog::setDefaultButton(QPushButton* button) {
    for (QPushButton* b : buttons_) b->setDefault(b == button);
    default_ = button;
    if (button) button->setFocus();
}

void MessageDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (escape_)
            escape_->click();
        else
            reject();
        return;
    }
    QDialog::keyPressEvent(event);
}

void MessageDialog::showEvent(QShowEvent* event) {
    fitToText();
    QDialog::showEvent(event);
    if (default_) default_->setFocus();
}

// As wide as the longest line needs, up to most of the screen; as tall as the wrapped text needs,
// up to what the screen leaves after the title bar and the buttons.
void MessageDialog::fitToText() {
    const QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    const QRect room = screen ? screen->availableGeometry() : QRect(0, 0, 800, 600);
    const QFontMetrics metrics(view_->font());
    int natural = 0;
    for (const QString& line : text_.split(QLatin1Char('\n')))
        natural = std::max(natural, metrics.horizontalAdvance(line) + 2 * metrics.averageCharWidth());
    const int extra = 120;  // the icon, the margins and the window frame
    const int widest = std::max(200, room.width() * 9 / 10 - extra);
    const int width = std::clamp(natural, std::min(260, widest), widest);

    QTextDocument probe;
    probe.setDefaultFont(view_->font());
    probe.setDocumentMargin(view_->document()->documentMargin());
    probe.setDefaultTextOption(view_->document()->defaultTextOption());
    probe.setPlainText(text_);
    probe.setTextWidth(width);
    const int needed = int(std::ceil(probe.size().height())) + 2;
    const int tallest = std::max(metrics.lineSpacing() * 3, room.height() * 9 / 10 - 140);
    const int height = std::min(needed, tallest);
    // Taller than the screen: the text scrolls, and the scroll bar takes its width from the text.
    const int bar = needed > tallest ? view_->verticalScrollBar()->sizeHint().width() : 0;
    view_->setFixedSize(width + bar, height);
}
