#pragma once
// The runs of one folder as undo and redo see them. Every journal belongs to one rename: a rename
// run starts it, an undo names the journal it took back ("undoes"), and a redo is an undo of an undo,
// so the journal format needs no word of its own for it. The newest journal of a rename that did
// anything, its head, says where the rename stands: carried out, taken back, or cut short on the way.
// An undo acts on the newest head that has something to take back, so repeated undos go back run by
// run; a redo on the newest head that was taken back, so repeated redos come forward again in the
// order the undos went. A new rename run ends the redo of everything taken back before it, as in
// any editor: the folder it renamed is no longer the one those runs were taken back from.
//
// A step that finds its head cut short finishes it instead: an undo whose head is a killed undo
// takes back once more what that undo was taking back, and a redo does the same for a killed redo.
// Entries the killed step already moved then count as the finishing step's own, so that a later
// redo or undo of it moves them too.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/text.h"
#include "rename/journal.h"

namespace zelvar {

enum class RunKind : std::uint8_t { rename, undo, redo };
enum class Step : std::uint8_t { undo, redo };

// One journal of the folder, without its rows.
struct RunEntry {
    std::string path, id, undoes;
    std::int64_t time = 0;
    bool finished = false;
    int renamed = 0;
    std::size_t planned = 0;
    std::string folder;
    RunKind kind = RunKind::rename;
    std::size_t chain = 0;    // the rename it belongs to, an index into FolderRuns::chains
    bool takenBack = false;   // its effect was taken back by the newer journal of its rename
    bool undoable = false;    // its rename has something an undo takes back (it may still have to wait)
    std::size_t inForce = 0;  // rows that know their entry: for an undo or a redo, those it was to move
    // A finished journal that renamed nothing changed nothing: it is passed over, so that a step
    // that could do nothing can be tried again once its obstacles are gone. An undo or redo that had
    // nothing to move (of a run killed before its first rename) has no obstacle: it took the run back.
    bool counts() const { return !finished || renamed > 0 || (kind != RunKind::rename && inForce == 0); }
};

struct FolderRuns {
    std::vector<RunEntry> runs;  // newest first
    struct Chain {
        std::optional<std::size_t> root;  // the rename run, when its journal is still kept
        std::optional<std::size_t> head;  // its newest journal that counts; none: it changed nothing
    };
    std::vector<Chain> chains;
    // Journals that cannot be read, newest first, with the reason: any of them may be this folder's.
    std::vector<std::pair<std::string, Failure>> unreadable;
    bool folderKnown = false;
};

// Reads the journals of `folder` (whole for this folder's own, the header of the others').
FolderRuns folderRuns(const std::string& folder);

// What one undo or redo does: which journal's rows it takes back and which id its own journal names.
struct StepPlan {
    Step step = Step::undo;
    std::size_t head = 0;                // the head of the rename acted on (an index into runs)
    std::size_t source = 0;              // the journal whose rows are taken back
    bool turnRound = false;              // the source is a killed step whose target is gone: its rows turned round
    bool finishing = false;              // it finishes the killed step that is the head
    std::string undoes;                  // the id the step's journal names
    std::optional<std::size_t> subject;  // the rename run the question names, when still kept
};

// Where a step cannot be planned: nothing to do, a journal that cannot be read stands where the
// journal to take back could be, or (for a given id) why that rename cannot be taken back.
struct StepRefusal {
    enum Kind : std::uint8_t { nothing, unreadable, refused } kind = nothing;
    std::string path;  // unreadable, and why
    Failure failure;
    Text message;  // refused
};

// The step on the newest rename that has something for it; with `id`, the undo of the rename that
// journal belongs to, refused when a later run still in force renamed any of the same entries or
// names (the message says which must go first).
std::optional<StepPlan> planStep(const FolderRuns& runs, Step step, const std::string& id, StepRefusal& refusal);

// The rows a step takes back. A finished journal stands for the rows it renamed. A killed rename run
// may have renamed any of its rows. A killed undo or redo stands for the rows the journal it was taking
// back stood for: its rows are that journal's turned round, so an entry that rename never moved is
// not moved by taking back the step either.
struct StepSource {
    Journal journal;          // read whole, or a killed step's rows turned round
    std::vector<bool> moves;  // per row of the journal: the step takes it back
    // Entries of those rows already where the step puts them count as the step's own: it finishes a
    // killed step, or takes one back, and the rows it stands for are known.
    bool claimsWhatIsThere = false;
    // Which rows the journal stands for is not known (a killed rename run): the folder tells, as the
    // step begins, which of them the run moved.
    bool guessed = false;
    // The killed step it finishes, whose rows are the journal's turned round: the empty placeholder
    // that step reserved may stand under a name this one puts an entry back to.
    std::optional<Journal> killed;
};
Result<StepSource> stepSource(const FolderRuns& runs, const StepPlan& plan);

}  // namespace zelvar
