#include "ui/PreviewView.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cstring>

namespace {

constexpr int kMargin = 4;
// Lines measured for the horizontal scroll range: the longest ones by characters.
constexpr std::size_t kMeasured = 64;

// The first line feed in [from, end), or end. The text of a big folder is megabytes, searched on
// every keystroke: memchr finds the byte 0x0A many times faster than a loop over the characters,
// and a hit inside some other character (U+0A00..U+0AFF, U+xx0A) is passed over.
const char32_t* findLineFeed(const char32_t* from, const char32_t* end) {
    const char* const start = reinterpret_cast<const char*>(from);
    const char* const stop = reinterpret_cast<const char*>(end);
    for (const char* at = start; at < stop; ++at) {
        at = static_cast<const char*>(std::memchr(at, '\n', static_cast<std::size_t>(stop - at)));
        if (!at) break;
        const char32_t* c = from + (at - start) / static_cast<std::ptrdiff_t>(sizeof(char32_t));
        if (*c == U'\n') return c;
    }
    return end;
}

}  // namespace

PreviewView::PreviewView(QWidget* parent) : QAbstractScrollArea(parent) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    viewport()->setCursor(Qt::IBeamCursor);
}

QColor PreviewView::markerColour() { return QColor(170, 0, 0); }

void PreviewView::setText(zelvar::Text text, std::vector<bool> marked) {
    text_ = std::move(text);
    marked_ = std::move(marked);
    starts_.clear();
    ends_.clear();
    std::size_t start = 0;
    while (start < text_.size()) {
        const char32_t* const data = text_.data();
        std::size_t end = static_cast<std::size_t>(findLineFeed(data + start, data + text_.size()) - data);
        const std::size_t next = end == text_.size() ? end : end + 1;
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

    anchor_ = cursor_ = Position();
    updateScrollBars();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    viewport()->update();
}

QString PreviewView::line(int index) const {
    const std::size_t i = static_cast<std::size_t>(index);
    return QString::fromUcs4(text_.data() + starts_[i], static_cast<qsizetype>(ends_[i] - starts_[i]));
}

bool PreviewView::isMarked(int index) const {
    return index >= 0 && static_cast<std::size_t>(index) < marked_.size() && marked_[std::size_t(index)];
}

int PreviewView::lineLength(int index) const {
    // Characters beyond the BMP take two units of the screen text.
    const std::size_t i = static_cast<std::size_t>(index);
    int length = 0;
    for (std::size_t k = starts_[i]; k < ends_[i]; ++k) length += text_[k] > 0xFFFF ? 2 : 1;
    return length;
}

QString PreviewView::toPlainText() const {
    zelvar::Text text = text_;
    text.erase(std::remove(text.begin(), text.end(), U'\r'), text.end());
    return QString::fromUcs4(text.data(), static_cast<qsizetype>(text.size()));
}

QString PreviewView::selectedText() const {
    if (!hasSelection()) return {};
    const Position from = std::min(anchor_, cursor_), to = std::max(anchor_, cursor_);
    if (from.line == to.line) return line(from.line).mid(from.column, to.column - from.column);
    QString out = line(from.line).mid(from.column);
    for (int i = from.line + 1; i < to.line; ++i) out += QLatin1Char('\n') + line(i);
    out += QLatin1Char('\n') + line(to.line).left(to.column);
    return out;
}

PreviewView::Position PreviewView::clamped(Position p) const {
    if (lineCount() == 0) return {};
    p.line = std::clamp(p.line, 0, lineCount() - 1);
    p.column = std::clamp(p.column, 0, lineLength(p.line));
    // Never between the two halves of a surrogate pair.
    if (p.column > 0 && p.column < lineLength(p.line) && line(p.line).at(p.column).isLowSurrogate()) --p.column;
    return p;
}

void PreviewView::select(Position anchor, Position cursor) {
    anchor_ = clamped(anchor);
    cursor_ = clamped(cursor);
    ensureCursorVisible();
    viewport()->update();
}

void PreviewView::selectAll() {
    if (lineCount() == 0) return;
    anchor_ = Position();
    cursor_ = clamped({lineCount() - 1, lineLength(lineCount() - 1)});
    viewport()->update();
}

int PreviewView::xOf(const Position& p) const {
    if (p.line >= lineCount()) return kMargin;
    return kMargin + fontMetrics().horizontalAdvance(line(p.line).left(p.column));
}

PreviewView::Position PreviewView::positionAt(const QPoint& point) const {
    if (lineCount() == 0) return {};
    const int row = verticalScrollBar()->value() + (point.y() - kMargin) / lineHeight() - (point.y() < kMargin ? 1 : 0);
    if (row < 0) return {};
    if (row >= lineCount()) return clamped({lineCount() - 1, lineLength(lineCount() - 1)});
    const QString text = line(row);
    const QFontMetrics metrics = fontMetrics();
    const int x = point.x() + horizontalScrollBar()->value() - kMargin;
    // The first place whose left edge lies beyond x, less one unless x is past the middle of it.
    int low = 0, high = static_cast<int>(text.size());
    while (low < high) {
        const int mid = (low + high + 1) / 2;
        if (metrics.horizontalAdvance(text.left(mid)) <= x)
            low = mid;
        else
            high = mid - 1;
    }
    if (low < text.size()) {
        const int left = metrics.horizontalAdvance(text.left(low));
        const int right = metrics.horizontalAdvance(text.left(low + 1));
        if (x - left > right - x) ++low;
    }
    return clamped({row, low});
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

void PreviewView::ensureCursorVisible() {
    QScrollBar* v = verticalScrollBar();
    const int visible = std::max(1, v->pageStep());
    if (cursor_.line < v->value())
        v->setValue(cursor_.line);
    else if (cursor_.line >= v->value() + visible)
        v->setValue(cursor_.line - visible + 1);
    QScrollBar* h = horizontalScrollBar();
    const int x = xOf(cursor_);
    const int room = viewport()->width() - kMargin;
    // A line found wider than measured widens the range, so that its end can be reached.
    if (x + kMargin > h->maximum() + viewport()->width()) h->setMaximum(x + kMargin - viewport()->width());
    if (x - kMargin < h->value())
        h->setValue(std::max(0, x - kMargin));
    else if (x > h->value() + room)
        h->setValue(x - room);
}

void PreviewView::moveCursor(Position p, bool extend) {
    cursor_ = clamped(p);
    if (!extend) anchor_ = cursor_;
    ensureCursorVisible();
    viewport()->update();
}

void PreviewView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const QPalette::ColorGroup group = isEnabled() ? QPalette::Active : QPalette::Disabled;
    const QColor plain = palette().color(group, QPalette::Text);
    const QColor marker = isEnabled() ? markerColour() : plain;
    const QFontMetrics metrics = fontMetrics();
    const int height = lineHeight();
    const int x = kMargin - horizontalScrollBar()->value();
    const Position from = std::min(anchor_, cursor_), to = std::max(anchor_, cursor_);
    int top = kMargin;
    for (int i = verticalScrollBar()->value(); i < lineCount() && top < viewport()->height(); ++i) {
        const QString text = line(i);
        const int baseline = top + metrics.ascent();
        painter.setPen(isMarked(i) ? marker : plain);
        painter.drawText(x, baseline, text);
        if (hasSelection() && i >= from.line && i <= to.line) {
            const int left = i == from.line ? metrics.horizontalAdvance(text.left(from.column)) : 0;
            // A selected line break shows as a little room after the line.
            const int right = i == to.line ? metrics.horizontalAdvance(text.left(to.column))
                                           : metrics.horizontalAdvance(text) + metrics.averageCharWidth();
            const QRect band(x + left, top, right - left, height);
            painter.fillRect(band, palette().color(group, QPalette::Highlight));
            painter.save();
            painter.setClipRect(band);
            painter.setPen(palette().color(group, QPalette::HighlightedText));
            painter.drawText(x, baseline, text);
            painter.restore();
        }
        if (i == cursor_.line && hasFocus()) {
            const int cx = x + metrics.horizontalAdvance(text.left(cursor_.column));
            painter.fillRect(QRect(cx, top, 1, height), plain);
        }
        top += height;
    }
}

void PreviewView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void PreviewView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) setText(std::move(text_), std::move(marked_));
}

void PreviewView::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void PreviewView::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

void PreviewView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        copy();
        return;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
        return;
    }
    if (lineCount() == 0) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    const bool control = event->modifiers() & Qt::ControlModifier;
    Position p = cursor_;
    const QString text = line(p.line);
    switch (event->key()) {
        case Qt::Key_Left:
            if (p.column > 0)
                p.column -= (p.column >= 2 && text.at(p.column - 1).isLowSurrogate()) ? 2 : 1;
            else if (p.line > 0)
                p = {p.line - 1, lineLength(p.line - 1)};
            break;
        case Qt::Key_Right:
            if (p.column < text.size())
                p.column += text.at(p.column).isHighSurrogate() ? 2 : 1;
            else if (p.line + 1 < lineCount())
                p = {p.line + 1, 0};
            break;
        // Beyond the first or last line: to its start or end, as text boxes do.
        case Qt::Key_Up: p = p.line > 0 ? Position{p.line - 1, p.column} : Position(); break;
        case Qt::Key_Down:
            p = p.line + 1 < lineCount() ? Position{p.line + 1, p.column} : Position{p.line, lineLength(p.line)};
            break;
        case Qt::Key_PageUp: p.line -= verticalScrollBar()->pageStep(); break;
        case Qt::Key_PageDown: p.line += verticalScrollBar()->pageStep(); break;
        case Qt::Key_Home: p = control ? Position() : Position{p.line, 0}; break;
        case Qt::Key_End:
            p.line = control ? lineCount() - 1 : p.line;
            p.column = lineLength(p.line);
            break;
        default: QAbstractScrollArea::keyPressEvent(event); return;
    }
    moveCursor(p, extend);
}

void PreviewView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    moveCursor(positionAt(event->position().toPoint()), event->modifiers() & Qt::ShiftModifier);
}

void PreviewView::mouseMoveEvent(QMouseEvent* event) {
    // Dragging past an edge scrolls on by one line or a few characters per move.
    if (event->buttons() & Qt::LeftButton) moveCursor(positionAt(event->position().toPoint()), true);
}

void PreviewView::mouseDoubleClickEvent(QMouseEvent* event) {
    // A double click takes the whole line: one old and one new name.
    if (event->button() != Qt::LeftButton || lineCount() == 0) return;
    const Position p = positionAt(event->position().toPoint());
    anchor_ = {p.line, 0};
    moveCursor({p.line, lineLength(p.line)}, true);
}

void PreviewView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* copySelection = menu.addAction(QStringLiteral("Kopírovat"));
    copySelection->setEnabled(hasSelection());
    QAction* copyAll = menu.addAction(QStringLiteral("Kopírovat vše"));
    copyAll->setEnabled(!text_.empty());
    menu.addSeparator();
    QAction* all = menu.addAction(QStringLiteral("Vybrat vše"));
    all->setEnabled(!text_.empty());
    QAction* chosen = menu.exec(event->globalPos());
    if (chosen == copySelection)
        copy();
    else if (chosen == copyAll)
        QApplication::clipboard()->setText(toPlainText());
    else if (chosen == all)
        selectAll();
}

void PreviewView::copy() const { QApplication::clipboard()->setText(hasSelection() ? selectedText() : toPlainText()); }
