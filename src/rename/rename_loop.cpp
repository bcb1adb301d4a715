#include "rename/rename_loop.h"

#include "rename/run.h"

namespace zelvar {

LoopEnd renameLoop(std::size_t count, RowAction& action, RenameFrontEnd& frontEnd, Dialogs& dialogs) {
    LoopEnd end;
    for (std::size_t k = 0; k < count; ++k) {
        const std::optional<Text> entry = action.entry(k);
        if (!entry) {
            action.passBy(k);
            continue;
        }
        frontEnd.progress(*entry, U"");
        frontEnd.processEvents();
        RowOutcome outcome = action.act(k, *entry);
        if (outcome.kind == RowOutcome::Kind::stop) break;
        if (outcome.kind == RowOutcome::Kind::declined) continue;
        if (outcome.kind == RowOutcome::Kind::renamed) ++end.renamed;
        if (outcome.kind == RowOutcome::Kind::failed) {
            frontEnd.processEvents();
            dialogs.beep();
            end.failures.push_back(std::move(outcome.line));
            dialogs.messageBox(outcome.box, box::exclamation);
        }
        frontEnd.progress(*entry, U" A B");
        frontEnd.processEvents();
    }
    return end;
}

}  // namespace zelvar
