#include "ui/RenameProgress.h"

#include <time.h>

#include <chrono>

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>

namespace {

// A pointer pushed over the application's for as long as it lives.
struct PointerOver {
    explicit PointerOver(Qt::CursorShape shape) { QApplication::setOverrideCursor(shape); }
    ~PointerOver() { QApplication::restoreOverrideCursor(); }
    PointerOver(const PointerOver&) = delete;
    PointerOver& operator=(const PointerOver&) = delete;
};

// Milliseconds of a coarse monotonic clock. The run asks it four times an entry: the coarse clock
// costs a fifth of a precise one, and its grain of a few milliseconds is well below the intervals
// it measures.
qint64 nowMs() {
#ifdef CLOCK_MONOTONIC_COARSE
    timespec now;
    if (clock_gettime(CLOCK_MONOTONIC_COARSE, &now) == 0) return qint64{now.tv_sec} * 1000 + now.tv_nsec / 1000000;
#endif
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

RenameProgress::RenameProgress(QMainWindow& window, QLabel& working, QLabel& caption,
                               const QAbstractButton& confirmEach, zelvar::Dialogs& dialogs)
    : window_(window), working_(working), caption_(caption), confirmEach_(confirmEach), dialogs_(dialogs) {
    focus_ = window.focusWidget();
    window.installEventFilter(this);
    window.centralWidget()->setEnabled(false);
    window.menuBar()->setEnabled(false);
}

RenameProgress::~RenameProgress() {
    if (started_) {
        caption_.clear();
        caption_.hide();
        working_.hide();
        QApplication::restoreOverrideCursor();
    }
    window_.menuBar()->setEnabled(true);
    window_.centralWidget()->setEnabled(true);
    window_.removeEventFilter(this);
    if (focus_ && focus_->isEnabled() && focus_->isVisible()) focus_->setFocus(Qt::OtherFocusReason);
}

void RenameProgress::start() {
    started_ = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    working_.show();
    caption_.show();
    working_.repaint();
    caption_.repaint();
}

void RenameProgress::progress(const zelvar::Text& entry, std::u32string_view step) {
    if (!started_) start();
    pending_.assign(entry).append(step);
    painted_ = false;
    if (paintedAt_ < 0 || nowMs() - paintedAt_ >= kRepaintInterval) paintCaption();
}

void RenameProgress::paintCaption() {
    caption_.setText(QString::fromUtf8(zelvar::toUtf8(pending_)));
    caption_.repaint();
    painted_ = true;
    paintedAt_ = nowMs();
}

void RenameProgress::processEvents() {
    if (eventsAt_ >= 0 && nowMs() - eventsAt_ < kEventInterval) return;
    QCoreApplication::processEvents();
    eventsAt_ = nowMs();
}

bool RenameProgress::confirmEach() { return confirmEach_.isChecked(); }

zelvar::Answer RenameProgress::messageBox(const zelvar::Text& text, zelvar::BoxStyle style) {
    if (!started_) return dialogs_.messageBox(text, style);
    // The box is about the entry in hand, so the label shows it; the box itself waits for the user.
    if (!painted_) paintCaption();
    const PointerOver arrow(Qt::ArrowCursor);
    return dialogs_.messageBox(text, style);
}

void RenameProgress::beep() { dialogs_.beep(); }

bool RenameProgress::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &window_ && event->type() == QEvent::Close) {
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
