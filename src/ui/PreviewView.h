#pragma once
// The preview box: a read-only text of one line per entry, with both scroll bars and no wrapping.
// It keeps the text as the core made it and turns only the lines in view into screen text, so a
// preview of 32767 lines is shown in the time it takes to find its line breaks. Keyboard and wheel
// scroll it; Ctrl+C and its context menu copy the whole text.
#include <QAbstractScrollArea>
#include <vector>

#include "engine/text.h"

class PreviewView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit PreviewView(QWidget* parent = nullptr);

    // Lines end with CR LF (or LF); an empty text shows nothing.
    void setText(zelvar::Text text);
    void clear() { setText(zelvar::Text()); }

    int lineCount() const { return static_cast<int>(starts_.size()); }
    QString line(int index) const;
    // The whole text with "\n" line ends, as a text box would give it.
    QString toPlainText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void updateScrollBars();
    int lineHeight() const;
    void copyAll() const;

    zelvar::Text text_;
    std::vector<std::size_t> starts_;  // first character of each line
    std::vector<std::size_t> ends_;    // one past its last character, line break excluded
    int widest_ = 0;                   // width of the widest line in pixels
};
