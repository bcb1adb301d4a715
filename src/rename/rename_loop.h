#pragma once
// The row loop a rename run and an undo share. For each row in order it shows the entry in hand and
// lets events through, has the caller act on the row, and after a failure beeps and shows the row's
// message box before its last progress step; it gathers the failures' report lines. What is done
// with a row, and what is kept of it, is the caller's: the loop knows no journal and no rename.
#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

#include "rename/dialogs.h"

namespace zelvar {

struct RenameFrontEnd;

// What became of one row.
struct RowOutcome {
    enum class Kind {
        renamed,   // the entry has the name it was to get
        leftAsIs,  // there was nothing to do for it
        failed,    // it could not be renamed: `box` is shown, `line` joins the report
        declined,  // the user said No to it: nothing more is shown of it
        stop,      // no row after it is gone through (Cancel)
    };
    RowOutcome(Kind kind) : kind(kind) {}  // implicit, so that an action can return Kind::stop
    static RowOutcome failure(Text box, Text line) {
        RowOutcome failed(Kind::failed);
        failed.box = std::move(box);
        failed.line = std::move(line);
        return failed;
    }

    Kind kind;
    Text box;
    Text line;
};

// What differs between a run and an undo.
struct RowAction {
    virtual ~RowAction() = default;
    // The entry shown while row k is in hand, or nullopt for a row not gone through at all, which is
    // given to passBy instead.
    virtual std::optional<Text> entry(std::size_t k) = 0;
    virtual void passBy(std::size_t /*k*/) {}
    // Acts on row k once its entry was shown.
    virtual RowOutcome act(std::size_t k, const Text& entry) = 0;
};

struct LoopEnd {
    int renamed = 0;
    std::vector<Text> failures;  // the report lines of the rows that failed, in row order
};

// Goes through rows 0 .. count-1 (or up to a stop).
LoopEnd renameLoop(std::size_t count, RowAction& action, RenameFrontEnd& frontEnd, Dialogs& dialogs);

}  // namespace zelvar
