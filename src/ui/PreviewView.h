#pragma once
// The preview box: a read-only text of one line per entry, with both scroll bars and no wrapping.
// It keeps the text as the core made it and turns only the lines in view into screen text, so a
// preview of 32767 lines is shown in the time it takes to find its line breaks. Lines whose new name
// is a marker are drawn in their own colour, since a real name may look like one.
//
// Part of the text can be selected with the mouse (drag, Shift+click) and the keyboard (Shift with
// the arrows, Home, End, Page Up, Page Down; Ctrl+A) and copied with Ctrl+C or the context menu;
// without a selection Ctrl+C copies the whole text.
#include <QAbstractScrollArea>
#include <vector>

#include "engine/text.h"

class PreviewView : public QAbstractScrollArea {
    Q_OBJECT
public:
    // A place in the text: a line and a position in its screen text (UTF-16 units).
    struct Position {
        int line = 0;
        int column = 0;
        friend bool operator==(const Position&, const Position&) = default;
        bool operator<(const Position& o) const { return line != o.line ? line < o.line : column < o.column; }
    };

    explicit PreviewView(QWidget* parent = nullptr);

    // Lines end with CR LF (or LF); an empty text shows nothing. marked[k] set: line k is a marker row.
    void setText(zelvar::Text text, std::vector<bool> marked = {});
    void clear() { setText(zelvar::Text()); }

    int lineCount() const { return static_cast<int>(starts_.size()); }
    QString line(int index) const;
    bool isMarked(int index) const;
    // The whole text with "\n" line ends, as a text box would give it.
    QString toPlainText() const;

    // The selection runs from the anchor to the cursor; it is empty when the two are equal.
    Position cursor() const { return cursor_; }
    bool hasSelection() const { return !(anchor_ == cursor_); }
    QString selectedText() const;
    void select(Position anchor, Position cursor);
    void selectAll();
    // The place under a point of the viewport.
    Position positionAt(const QPoint& point) const;

    static QColor markerColour();

public slots:
    // The selection, or the whole text when nothing is selected, goes to the clipboard.
    void copy() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void updateScrollBars();
    int lineHeight() const;
    int lineLength(int index) const;
    int xOf(const Position& p) const;  // in text coordinates, margin included
    Position clamped(Position p) const;
    void moveCursor(Position p, bool extend);
    void ensureCursorVisible();

    zelvar::Text text_;
    std::vector<std::size_t> starts_;  // first character of each line
    std::vector<std::size_t> ends_;    // one past its last character, line break excluded
    std::vector<bool> marked_;
    int widest_ = 0;  // width of the widest line in pixels
    Position anchor_;
    Position cursor_;
};
