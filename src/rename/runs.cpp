#include "rename/runs.h"

#include <unistd.h>

#include <cerrno>
#include <unordered_map>
#include <unordered_set>

namespace zelvar {

namespace {

// Where the head leaves its rename: an undo that ended has nothing more to take back, and only
// redo has something to do; a rename or a redo that ended is in force.
bool undoable(const RunEntry& head) { return head.kind != RunKind::undo || !head.finished; }
bool redoable(const RunEntry& head) {
    return (head.kind == RunKind::undo && (!head.finished || head.renamed > 0)) ||
           (head.kind == RunKind::redo && !head.finished);
}

// Names compared without letter case, as a folder on a file system that folds case sees them.
std::string folded(std::string name) {
    for (char& c : name) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return name;
}

// The rows a journal moved or may have moved: the renamed ones of a finished one, all of a killed one.
template <class Each>
void movedRows(const Journal& journal, Each each) {
    for (const JournalRow& row : journal.rows) {
        if (!journal.finished || row.renamed) each(row);
    }
}

// The same for the rows a step takes back.
template <class Each>
void movedRows(const StepSource& source, Each each) {
    for (std::size_t k = 0; k < source.journal.rows.size(); ++k) {
        if (source.moves[k]) each(source.journal.rows[k]);
    }
}

Result<Journal> readWhole(const std::string& path) { return readJournal(path, false); }

// Joins each journal to its rename and marks what the heads leave taken back.
void joinChains(FolderRuns& out) {
    // Oldest first, each journal joins the rename of the journal it takes back. One whose target has
    // been pruned starts a rename of its own, keyed by the id it names, and counts as an undo.
    std::unordered_map<std::string, std::size_t> byId, chainOfMissing;
    for (std::size_t k = out.runs.size(); k-- > 0;) {
        RunEntry& run = out.runs[k];
        if (run.undoes.empty()) {
            run.chain = out.chains.size();
            out.chains.push_back({.root = k, .head = std::nullopt});
        } else if (const auto target = byId.find(run.undoes); target != byId.end()) {
            const RunEntry& taken = out.runs[target->second];
            run.chain = taken.chain;
            run.kind = taken.kind == RunKind::undo ? RunKind::redo : RunKind::undo;
        } else {
            const auto [at, added] = chainOfMissing.emplace(run.undoes, out.chains.size());
            if (added) out.chains.push_back({});
            run.chain = at->second;
            run.kind = RunKind::undo;
        }
        byId.emplace(run.id, k);
        if (run.counts()) out.chains[run.chain].head = k;
    }
    // From the head back along what each journal took back, every second one is taken back: an
    // undo takes back the rename, a redo the undo, which puts the rename in force again.
    for (RunEntry& run : out.runs) {
        const auto head = out.chains[run.chain].head;
        run.undoable = head && undoable(out.runs[*head]);
    }
    for (const FolderRuns::Chain& chain : out.chains) {
        bool taken = false;
        for (std::optional<std::size_t> at = chain.head; at;) {
            RunEntry& run = out.runs[*at];
            run.takenBack = taken;
            taken = !taken;
            const auto target = run.undoes.empty() ? byId.end() : byId.find(run.undoes);
            at = target == byId.end() ? std::nullopt : std::optional<std::size_t>(target->second);
        }
    }
}

}  // namespace

FolderRuns folderRuns(const std::string& folder) {
    FolderRuns out;
    const Result<FolderIdentity> identity = identifyFolder(folder);
    if (!identity) return out;
    out.folderKnown = true;
    for (const std::string& path : journalFiles(journalFolder())) {
        Result<Journal> journal = readJournal(path, true);
        if (journal && !sameFolder(*journal, *identity)) continue;
        if (journal) journal = readWhole(path);
        if (!journal) {
            // Another Zelvar may have pruned it since the folder was read: then it is simply not there.
            if (::access(path.c_str(), F_OK) != 0 && errno == ENOENT) continue;
            // A damaged journal that still names another folder is that folder's trouble.
            if (journalOfAnotherFolder(path, *identity)) continue;
            out.unreadable.emplace_back(path, journal.failure());
            continue;
        }
        RunEntry run;
        run.path = path;
        run.id = journal->id;
        run.undoes = journal->undoes;
        run.time = journal->time;
        run.finished = journal->finished;
        run.renamed = journal->renamedCount;
        run.planned = journal->rowCount;
        run.folder = journal->folder;
        for (const JournalRow& row : journal->rows) run.inForce += row.ino != 0;
        out.runs.push_back(std::move(run));
    }

    joinChains(out);
    return out;
}

namespace {

std::optional<std::size_t> targetOf(const FolderRuns& runs, const RunEntry& run) {
    if (run.undoes.empty()) return std::nullopt;
    for (std::size_t k = 0; k < runs.runs.size(); ++k) {
        if (runs.runs[k].id == run.undoes) return k;
    }
    return std::nullopt;
}

StepPlan planFor(const FolderRuns& runs, Step step, std::size_t head) {
    StepPlan plan;
    plan.step = step;
    plan.head = head;
    plan.subject = runs.chains[runs.runs[head].chain].root;
    const RunEntry& h = runs.runs[head];
    // A killed step of the same direction is finished: what it was taking back is taken back again.
    const bool finishing = !h.finished && ((step == Step::undo && h.kind == RunKind::undo) ||
                                           (step == Step::redo && h.kind == RunKind::redo));
    plan.finishing = finishing;
    if (!finishing) {
        plan.source = head;
        plan.undoes = h.id;
        return plan;
    }
    plan.undoes = h.undoes;
    if (const auto target = targetOf(runs, h)) {
        plan.source = *target;
    } else {
        plan.source = head;
        plan.turnRound = true;
    }
    return plan;
}

// "z 2026-12-07 04:00:00 (3 souborů)": when a run was made and how many entries it renamed.
Text describe(const RunEntry& run) {
    const std::size_t count = run.finished ? static_cast<std::size_t>(run.renamed) : run.planned;
    return U"z " + fromUtf8(localTimeText(run.time)) + U" (" + decimal(static_cast<int>(count)) + U" souborů)";
}

// Whether a step and a journal move any one entry or use any one name.
bool overlap(const StepSource& a, const Journal& b) {
    std::unordered_set<std::string> names;
    std::unordered_set<std::uint64_t> inodes;
    movedRows(a, [&](const JournalRow& row) {
        names.insert(folded(row.oldName));
        names.insert(folded(row.newName));
        if (row.ino != 0) inodes.insert(row.ino);
    });
    bool found = false;
    movedRows(b, [&](const JournalRow& row) {
        found = found || names.count(folded(row.oldName)) || names.count(folded(row.newName)) ||
                (row.ino != 0 && inodes.count(row.ino));
    });
    return found;
}

// The head of the newest rename that has something for the step.
std::optional<std::size_t> newestHead(const FolderRuns& runs, Step step) {
    // No redo reaches back past the newest rename run that changed anything.
    std::size_t barrier = runs.runs.size();
    for (std::size_t k = 0; k < runs.runs.size() && step == Step::redo; ++k) {
        if (runs.runs[k].kind == RunKind::rename && runs.runs[k].counts()) {
            barrier = k;
            break;
        }
    }
    std::optional<std::size_t> head;
    for (const FolderRuns::Chain& chain : runs.chains) {
        if (!chain.head || (head && *chain.head > *head)) continue;
        const RunEntry& h = runs.runs[*chain.head];
        if (step == Step::undo ? undoable(h) : (redoable(h) && *chain.head < barrier)) head = chain.head;
    }
    return head;
}

// The head of the rename journal `id` belongs to, when an undo has something to take back there;
// else nullopt and why not.
std::optional<std::size_t> namedHead(const FolderRuns& runs, const std::string& id, StepRefusal& refusal) {
    std::optional<std::size_t> named;
    for (std::size_t k = 0; k < runs.runs.size(); ++k) {
        if (runs.runs[k].id == id) named = k;
    }
    if (!named && !runs.unreadable.empty()) {
        refusal.kind = StepRefusal::unreadable;
        std::tie(refusal.path, refusal.failure) = runs.unreadable.front();
        return std::nullopt;
    }
    if (!named) {
        refusal.kind = StepRefusal::refused;
        refusal.message = U"V této složce není přejmenování >" + fromUtf8(id) + U"<.";
        return std::nullopt;
    }
    const std::optional<std::size_t> head = runs.chains[runs.runs[*named].chain].head;
    if (!head || !undoable(runs.runs[*head])) {
        refusal.kind = StepRefusal::refused;
        refusal.message = head ? U"Přejmenování >" + fromUtf8(id) + U"< je již vráceno."
                               : U"Přejmenování >" + fromUtf8(id) + U"< nic nepřejmenovalo.";
        return std::nullopt;
    }
    return head;
}

}  // namespace

std::optional<StepPlan> planStep(const FolderRuns& runs, Step step, const std::string& id, StepRefusal& refusal) {
    refusal = {};
    std::optional<std::size_t> head;
    if (id.empty()) {
        head = newestHead(runs, step);
    } else if (head = namedHead(runs, id, refusal); !head) {
        return std::nullopt;
    }
    // A journal that cannot be read may be this folder's newest: acting on an older one instead
    // would not be what the user asked for.
    if (!runs.unreadable.empty() && (!head || runs.unreadable.front().first > runs.runs[*head].path)) {
        refusal.kind = StepRefusal::unreadable;
        std::tie(refusal.path, refusal.failure) = runs.unreadable.front();
        return std::nullopt;
    }
    if (!head) return std::nullopt;
    StepPlan plan = planFor(runs, step, *head);
    if (id.empty()) return plan;

    // A later rename still in force that moved one of the same entries, or used one of the same
    // names, has to be taken back first: the newest of them is named.
    std::optional<Result<StepSource>> mine;
    for (std::size_t k = 0; k < *head; ++k) {
        const RunEntry& other = runs.runs[k];
        const FolderRuns::Chain& chain = runs.chains[other.chain];
        if (other.chain == runs.runs[*head].chain || chain.head != k || !undoable(other)) continue;
        if (!mine) mine = stepSource(runs, plan);
        const Result<Journal> theirs = readWhole(other.path);
        if (!*mine || !theirs) {
            refusal.kind = StepRefusal::unreadable;
            // The path and the reason of the same journal: its own first, where both cannot be read.
            refusal.path = *mine ? other.path : runs.runs[plan.source].path;
            refusal.failure = *mine ? theirs.failure() : mine->failure();
            return std::nullopt;
        }
        if (!overlap(**mine, *theirs)) continue;
        const RunEntry& blocker = chain.root ? runs.runs[*chain.root] : other;
        const RunEntry& wanted = plan.subject ? runs.runs[*plan.subject] : runs.runs[plan.source];
        refusal.kind = StepRefusal::refused;
        refusal.message = U"Přejmenování " + describe(wanted) +
                          U" nelze vrátit: tytéž soubory či jména mění pozdější přejmenování " + describe(blocker) +
                          U", které je třeba vrátit nejdříve.";
        return std::nullopt;
    }
    return plan;
}

namespace {

// Which rows of `journal` stand for its rename, and whether that is known rather than guessed. A
// finished journal says which it renamed. An undo or a redo journals the entry of the rows it is to
// move only (the others with inode 0), so a killed one still tells them; a killed rename run may
// have renamed any of its rows.
std::pair<std::vector<bool>, bool> rowsInForce(const Journal& journal, RunKind kind) {
    std::vector<bool> rows(journal.rows.size());
    for (std::size_t r = 0; r < rows.size(); ++r)
        rows[r] = journal.finished ? journal.rows[r].renamed : journal.rows[r].ino != 0;
    return {rows, journal.finished || kind != RunKind::rename};
}

}  // namespace

Result<StepSource> stepSource(const FolderRuns& runs, const StepPlan& plan) {
    Result<Journal> journal = readWhole(runs.runs[plan.source].path);
    if (!journal) return journal.failure();
    StepSource source;
    if (plan.turnRound) {
        // The killed step's rows name the same entries and names as the journal it was taking back.
        Journal& back = source.journal;
        back = *journal;
        back.id = journal->undoes;
        back.undoes.clear();
        back.finished = false;
        back.renamedCount = 0;
        back.rows.clear();
        for (auto it = journal->rows.rbegin(); it != journal->rows.rend(); ++it) {
            JournalRow row = *it;
            std::swap(row.oldName, row.newName);
            row.renamed = false;
            back.rows.push_back(std::move(row));
        }
        source.moves = rowsInForce(back, RunKind::undo).first;
        source.killed = std::move(*journal);
        return source;
    }
    const RunEntry& run = runs.runs[plan.source];
    bool known = false;
    std::tie(source.moves, known) = rowsInForce(*journal, run.kind);
    if (plan.finishing) {
        // The killed step that is finished knew which rows it was to move: those, turned round.
        Result<Journal> killed = readWhole(runs.runs[plan.head].path);
        if (!killed) return killed.failure();
        const auto [rows, killedKnows] = rowsInForce(*killed, runs.runs[plan.head].kind);
        if (rows.size() == source.moves.size()) {
            for (std::size_t r = 0; r < rows.size(); ++r) source.moves[r] = rows[rows.size() - 1 - r];
            known = killedKnows;
            source.killed = std::move(*killed);
        }
    }
    source.claimsWhatIsThere = known && (plan.finishing || (!run.finished && run.kind != RunKind::rename));
    source.guessed = !known;
    source.journal = std::move(*journal);
    return source;
}

}  // namespace zelvar
