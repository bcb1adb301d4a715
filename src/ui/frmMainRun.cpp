// The main window's rename runs: a run of the preview, undo, redo and the history.
#include "ui/frmMain.h"

#include <QCheckBox>
#include <QLabel>

#include "platform/saferename.h"
#include "rename/run.h"
#include "rename/undo.h"
#include "ui/RenameProgress.h"
#include "ui/frmHistorie.h"

using namespace zelvar;

void frmMain::cmdPrejmenovat_Click() {
    // The rows name entries of the folder that was listed; its path may lead elsewhere by now.
    if (!sameFolder(filPath_, session_.result().folderId)) {
        dialogs_.messageBox(
            T("Složka >") + fromUtf8(filPath_) + T("< se od načtení změnila.\r\nNic nebylo přejmenováno."),
            box::exclamation);
        Aktualizace();
        return;
    }
    RunEnd end = RunEnd::Declined;
    holdForRun([&](RenameProgress& run) {
        const auto listing = [this] { return session_.listingForRun(); };
        end = cmdPrejmenovat_Run(-1, filPath_, session_.result().rows, opts_.txtExt, run, run, zelvar::realSysCalls(),
                                 listing)
                  .end;
        if (end == RunEnd::Finished) Aktualizace();
    });
    if (end == RunEnd::ExtensionDeclined) applyFix({.txtExt = U"*"});
}

void frmMain::holdForRun(const std::function<void(RenameProgress&)>& run) {
    struct Held {
        bool& renaming;
        ~Held() { renaming = false; }
    } held{state_.renaming};
    state_.renaming = true;
    RenameProgress progress(*this, *ui_.lblPracuji, *ui_.lblPrace, *ui_.chkKazdy, dialogs_);
    run(progress);
}

void frmMain::updateSteps() {
    last_.canUndo = nextStep(filPath_, Step::undo).has_value();
    last_.canRedo = nextStep(filPath_, Step::redo).has_value();
    updateActions();
}

void frmMain::step(Step kind, const std::string& id) {
    UndoEnd end = UndoEnd::Declined;
    holdForRun([&](RenameProgress& run) {
        end = !id.empty()          ? undoRun(filPath_, id, run, run, realSysCalls()).end
              : kind == Step::undo ? undoLastRun(filPath_, run, run).end
                                   : redoLastRun(filPath_, run, run).end;
    });
    if (end != UndoEnd::Declined) Aktualizace();
}

void frmMain::mnuVratit_Click() { step(Step::undo); }
void frmMain::mnuZnovu_Click() { step(Step::redo); }

void frmMain::mnuHistorie_Click() {
    frmHistorie history(
        filPath_, [this](const std::string& id) { step(Step::undo, id); }, this);
    history.exec();
}
