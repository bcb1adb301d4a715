#pragma once
// Keys typed while a preview build runs reach the window only after it, all at once; building after
// each of them would queue one whole build per key. A key that waited in the queue (its time stamp
// lies well before its delivery) is such a key: while it and the keys that waited with it are
// delivered, builds asked for with no question are held back, and one build for the newest state
// follows once every waiting key has been delivered. The result is the same as building after every
// key; only the builds in between, which nobody would have seen, are left out.
#include <QObject>
#include <functional>

class TypeAhead : public QObject {
public:
    // build: the build to run once the waiting keys are delivered.
    TypeAhead(QObject* parent, std::function<void()> build);
    ~TypeAhead() override;

    // Whether a build asked for now is to wait for the end of the waiting keys.
    bool postpone();
    // A build of the newest state starts: nothing needs to wait for it any more.
    void building() { postponed_ = false; }

    // How much longer than the quickest key a key must have waited to count as typed ahead.
    static constexpr qint64 kQueuedMs = 8;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void flush();

    std::function<void()> build_;
    qint64 quickest_ = 0;  // the smallest delay seen between a key's stamp and its delivery
    bool seenKey_ = false;
    bool holding_ = false;    // keys that waited are being delivered
    bool postponed_ = false;  // a build was held back
    bool flushQueued_ = false;
};
