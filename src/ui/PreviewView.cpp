#include "ui/PreviewView.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace {

constexpr int kMargin = 4;
// Lines measured for the horizontal scroll range: the longest ones by characters.
constexpr std::size_t kMeasured = 64;

}  // namespace

PreviewView::PreviewView(QWidget* parent) : QAbstractScrollArea(parent) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    viewport()->setCursor(Qt::IBeamCursor);
}

void PreviewView::setText(zelvar::Text text) {
    text_ = std::move(text);
    starts_.clear();
    ends_.clear();
    std::size_t start = 0;
    while (start < text_.size()) {
        std::size_t end = text_.find(U'\n', start);
        const std::size_t next = end == zelvar::Text::npos ? text_.size() : end + 1;
        if (end == zelvar::Text::npos) end = text_.size();
        if (end > start && text_[end - 1] == U'\r') --end;
        starts_.push_back(start);
        ends_.push_back(end);
        start = next;
    }

    std::vector<std::size_t> order(starts_.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    const std::size_t measured = std::min(kMeasured, order.size());
    std::partial_sort(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(measured), order.end(),
                      [this](std::size_t a, std::size_t b) { return ends_[a] - starts_[a] > ends_[b] - starts_[b]; });
    widest_ = 0;
    const QFontMetrics metrics = fontMetrics();
    for (std::size_t i = 0; i < measured; ++i)
        widest_ = std::max(widest_, metrics.horizontalAdvance(line(static_cast<int>(order[i]))));
    // Shorter lines of wider letters may still be a little wider than the ones measured.
    if (measured < order.size()) widest_ += 2 * metrics.averageCharWidth();

    updateScrollBars();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    viewport()->update();
}

QString PreviewView::line(int index) const {
    const std::size_t i = static_cast<std::size_t>(index);
    return QString::fromUcs4(text_.data() + starts_[i], static_cast<qsizetype>(ends_[i] - starts_[i]));
}

QString PreviewView::toPlainText() const {
    zelvar::Text text = text_;
    text.erase(std::remove(text.begin(), text.end(), U'\r'), text.end());
    return QString::fromUcs4(text.data(), static_cast<qsizetype>(text.size()));
}

int PreviewView::lineHeight() const { return fontMetrics().lineSpacing(); }

void PreviewView::updateScrollBars() {
    const int height = lineHeight();
    const int visible = std::max(1, (viewport()->height() - kMargin) / height);
    QScrollBar* v = verticalScrollBar();
    v->setRange(0, std::max(0, lineCount() - visible));
    v->setPageStep(visible);
    v->setSingleStep(1);
    QScrollBar* h = horizontalScrollBar();
    h->setRange(0, std::max(0, widest_ + 2 * kMargin - viewport()->width()));
    h->setPageStep(viewport()->width());
    h->setSingleStep(std::max(1, fontMetrics().averageCharWidth() * 2));
}

void PreviewView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
    const QFontMetrics metrics = fontMetrics();
    const int height = lineHeight();
    const int x = kMargin - horizontalScrollBar()->value();
    int y = kMargin + metrics.ascent();
    for (int i = verticalScrollBar()->value(); i < lineCount() && y - metrics.ascent() < viewport()->height(); ++i) {
        painter.drawText(x, y, line(i));
        y += height;
    }
}

void PreviewView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void PreviewView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        setText(std::move(text_));
    }
}

void PreviewView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        copyAll();
        return;
    }
    if (event->key() == Qt::Key_Home && (event->modifiers() & Qt::ControlModifier)) {
        verticalScrollBar()->setValue(0);
        return;
    }
    if (event->key() == Qt::Key_End && (event->modifiers() & Qt::ControlModifier)) {
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void PreviewView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* copy = menu.addAction(QStringLiteral("Kopírovat vše"));
    copy->setEnabled(!text_.empty());
    if (menu.exec(event->globalPos()) == copy) copyAll();
}

void PreviewView::copyAll() const { QApplication::clipboard()->setText(toPlainText()); }
