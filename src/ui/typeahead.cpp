#include "ui/typeahead.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QKeyEvent>

TypeAhead::TypeAhead(QObject* parent, std::function<void()> build) : QObject(parent), build_(std::move(build)) {
    QCoreApplication::instance()->installEventFilter(this);
}

TypeAhead::~TypeAhead() { QCoreApplication::instance()->removeEventFilter(this); }

bool TypeAhead::postpone() {
    if (!holding_) return false;
    postponed_ = true;
    return true;
}

bool TypeAhead::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<const QKeyEvent*>(event);
        // Key stamps count milliseconds on the system's monotonic clock, as the deadline timer does;
        // the quickest delivery seen stands for "not waiting" whatever offset lies between the two.
        if (key->timestamp() != 0) {
            const qint64 delay = QDeadlineTimer::current().deadline() - qint64(key->timestamp());
            if (!seenKey_ || delay < quickest_) quickest_ = delay;
            seenKey_ = true;
            if (delay - quickest_ >= kQueuedMs) {
                holding_ = true;
                // A queued call runs after every window-system event already waiting.
                if (!flushQueued_) {
                    flushQueued_ = true;
                    QMetaObject::invokeMethod(this, &TypeAhead::flush, Qt::QueuedConnection);
                }
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

void TypeAhead::flush() {
    flushQueued_ = false;
    holding_ = false;
    if (!postponed_) return;
    postponed_ = false;
    build_();
}
