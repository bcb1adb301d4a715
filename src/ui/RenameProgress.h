#pragma once
// The window's side of one rename run, alive for the length of the run. While it lives the window
// takes no input but the answers to the run's own questions: its controls and menus are disabled and
// it cannot be closed. From the run's first step on, the application shows the hourglass and the
// two progress labels; the label with the entry in hand is repainted at most about 30 times a second,
// and always before a question, so that painting does not slow a long run down. Every message box
// of the run shows the ordinary pointer. Events are let through about a hundred times a second, not
// at every step of the run, which would cost more than the renames. When it ends, everything is put
// back as it was.
#include <QObject>
#include <QPointer>

#include "rename/dialogs.h"
#include "rename/run.h"

class QAbstractButton;
class QLabel;
class QMainWindow;
class QWidget;

class RenameProgress : public QObject, public zelvar::RenameFrontEnd, public zelvar::Dialogs {
public:
    // working: "Pracuji! Čekejte prosím!"; caption: the entry in hand; confirmEach: "Potvrzovat
    // každý soubor"; dialogs: the window's message boxes.
    RenameProgress(QMainWindow& window, QLabel& working, QLabel& caption, const QAbstractButton& confirmEach,
                   zelvar::Dialogs& dialogs);
    ~RenameProgress() override;
    RenameProgress(const RenameProgress&) = delete;
    RenameProgress& operator=(const RenameProgress&) = delete;

    void progress(const zelvar::Text& entry, std::u32string_view step) override;
    void processEvents() override;
    bool confirmEach() override;

    zelvar::Answer messageBox(const zelvar::Text& text, zelvar::BoxStyle style) override;
    void beep() override;

    // The shortest time between two repaints of the caption, in milliseconds.
    static constexpr int kRepaintInterval = 33;
    // The shortest time between two rounds of letting events through, in milliseconds: a round
    // costs more than a rename, and a hundred a second keep the window as alive as one per call.
    static constexpr int kEventInterval = 10;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void start();
    void paintCaption();

    QMainWindow& window_;
    QLabel& working_;
    QLabel& caption_;
    const QAbstractButton& confirmEach_;
    zelvar::Dialogs& dialogs_;

    QPointer<QWidget> focus_;  // where the keyboard was before the controls were disabled
    bool started_ = false;
    zelvar::Text pending_;   // the caption the label is to show
    bool painted_ = true;    // the label shows `pending_`
    qint64 paintedAt_ = -1;  // when the caption was last painted (nowMs), -1 for never
    qint64 eventsAt_ = -1;   // when events were last let through, -1 for never
};
