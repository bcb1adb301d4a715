#pragma once
// Taking back a run of a folder from its journal (runs.h says which), for an undo and for a redo,
// which takes back the undo. Rows go
// in reverse run order, so chains and swaps come back right. An entry is known by its device and
// inode, and where the file system keeps birth times also by having been born before the run began:
// what sits under the run's new name (or its temporary name) is moved back to its old name with the
// safe rename, which never replaces anything; what is still under its old name stays; anything else
// (renamed again, deleted, replaced, the old name taken meanwhile) is left alone and reported with its
// reason. What a killed run may have left is put right: a second name of the entry (an interrupted
// link-then-unlink) goes, and so does the empty placeholder it reserved at the row it was killed at,
// never a file that holds anything or that the journal knows; a finished run leaves no placeholder.
// The placeholder of a killed undo or redo goes the same way, before the step that finishes it or
// takes it back moves anything, and so does the killed run's until a step of its rename finishes.
// Each step is journaled like any run, so it can be
// taken back in its turn.
#include <string>
#include <vector>

#include "rename/dialogs.h"
#include "rename/journal.h"
#include "rename/run.h"
#include "rename/runs.h"

namespace zelvar {

struct SysCalls;

enum class UndoEnd {
    NothingToUndo,  // nothing for the step in this folder, or the run asked for cannot be taken back (a message said so)
    Unreadable,     // the journal to take back cannot be read: a message said why, nothing renamed
    Declined,       // No to the question
    NotStarted,     // the undo's own journal could not be written, or another run holds the folder: a message said so
    Finished,       // the rows were gone through and the report was shown
};

struct UndoResult {
    UndoEnd end = UndoEnd::NothingToUndo;
    int returned = 0;  // entries given back their old name (by a redo: their new name again)
    int failures = 0;  // entries that could not be
    Text report;
    BoxStyle reportStyle;
};

// The run an undo or a redo of `folder` would act on, for enabling a command: the question it would
// ask, or nullopt when there is nothing to do (also where a journal that cannot be read stands in the
// way: the step itself then says so).
std::optional<Text> nextStep(const std::string& folder, Step step);

// Asks which run it takes back ("Opravdu chcete vrátit přejmenování z ...?", with the count and the
// first entry), then takes it back showing progress through `frontEnd` (confirmEach is not asked)
// and ends with a report box. Repeated, it goes back run by run.
UndoResult undoLastRun(const std::string& folder, Dialogs& dialogs, RenameFrontEnd& frontEnd);
UndoResult undoLastRun(const std::string& folder, Dialogs& dialogs, RenameFrontEnd& frontEnd, SysCalls& sys);
// The same for the newest run taken back: it is carried out again (the rename's own report).
UndoResult redoLastRun(const std::string& folder, Dialogs& dialogs, RenameFrontEnd& frontEnd);
UndoResult redoLastRun(const std::string& folder, Dialogs& dialogs, RenameFrontEnd& frontEnd, SysCalls& sys);
// The undo of the rename that journal `id` belongs to, also an older one, unless a later run still
// in force renamed one of the same entries or names (a message then says which must go first).
UndoResult undoRun(const std::string& folder, const std::string& id, Dialogs& dialogs, RenameFrontEnd& frontEnd,
                   SysCalls& sys);

// The journaled runs of `folder`, newest first: time, renamed of planned, kind and state, one a line.
struct HistoryLine {
    std::string id;    // what --undo ID takes
    std::string time;  // "2026-12-07 03:00:00 UTC"
    std::int64_t seconds = 0;
    RunKind kind = RunKind::rename;
    // Rows renamed; for a killed run, which recorded none, the entries still under the names it gave
    // (or those the undo that took it back returned); -1 where that is not known.
    int renamed = 0;
    std::size_t planned = 0;
    bool finished = false;
    bool takenBack = false;
    bool undoable = false;  // undoRun of its id has something to take back
    std::string folder;     // its bytes: see escapeJournalText for showing it on one line
};
// `skipped`, when given, gets a line for each journal that may be one of the folder's but cannot be
// read: its path and why.
std::vector<HistoryLine> runHistory(const std::string& folder, std::vector<std::string>* skipped = nullptr);

}  // namespace zelvar
