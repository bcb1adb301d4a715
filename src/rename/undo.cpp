#include "rename/undo.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <unordered_set>

#include "platform/saferename.h"
#include "rename/rename_loop.h"
#include "rename/run.h"

namespace zelvar {

namespace {

const Text kCrLf = U"\r\n";

struct Found {
    bool exists = false;
    struct stat st {};
};

Found look(RenameFolder& dir, const std::string& name) {
    Found f;
    if (name.empty()) return f;
    const Result<struct stat> st = dir.identify(name);
    f.exists = bool(st);
    if (st) f.st = *st;
    return f;
}

bool isEntry(const Found& f, const JournalRow& row) {
    return f.exists && row.ino != 0 && f.st.st_dev == row.dev && f.st.st_ino == row.ino;
}

// The row's entry is under its new name. Where letter case folds, the new name of a change of case
// reaches the entry under its old one too; then only an entry of exactly the new bytes counts.
bool underNewName(RenameFolder& dir, const JournalRow& row) {
    return isEntry(look(dir, row.newName), row) &&
           (!isEntry(look(dir, row.oldName), row) || dir.hasExactEntry(row.newName));
}

bool sameLetters(const std::string& a, const std::string& b) { return toLower(fromUtf8(a)) == toLower(fromUtf8(b)); }

// Why a safe rename back did not happen, in a few words.
Text reasonOf(const RenameOutcome& outcome, const std::string& oldName) {
    Text reason;
    switch (outcome.kind) {
        case RenameErrorKind::TargetExists: reason = U"jméno >" + fromUtf8(oldName) + U"< je obsazeno"; break;
        case RenameErrorKind::NameNotAccepted: reason = U"jméno >" + fromUtf8(oldName) + U"< není povoleno"; break;
        case RenameErrorKind::Other:
        case RenameErrorKind::None: reason = fromUtf8(failureText(outcome.failure)); break;
    }
    if (!outcome.leftAs.empty()) reason += U", nyní se jmenuje >" + fromUtf8(outcome.leftAs) + U"<";
    return reason;
}

// A redo reports as the rename it carries out again does.
Text reportText(Step step, int returned, const std::vector<Text>& failureList, const std::vector<Text>& notes = {}) {
    const int failures = static_cast<int>(failureList.size());
    const bool undo = step == Step::undo;
    Text report = (undo ? U"Vrácení ukončeno" : U"Přejmenování ukončeno") + kCrLf + kCrLf +
                  (undo ? U"Vráceno " : U"Přejmenováno ") + decimal(returned) + U" souborů" + kCrLf;
    if (failures >= 1) {
        report += (undo ? U"Nevráceno " : U"Nepřejmenováno ") + decimal(failures) + U" souborů" + kCrLf;
        for (const auto& line : failureList) report += kCrLf + line;
    }
    if (!notes.empty()) report += kCrLf;
    for (const auto& line : notes) report += line + kCrLf;
    return report;
}

class Undoer {
public:
    // `killed`: the killed step this one finishes, whose rows are `run`'s turned round.
    Undoer(RenameFolder& dir, const Journal& run, const Journal* killed) : dir_(dir), run_(run), killed_(killed) {
        for (const JournalRow& row : run.rows) {
            if (row.ino != 0) journaled_.insert(row.ino);
        }
    }

    // Takes one row back: true when the entry got its old name again; `failure` says why not when it
    // could not; neither when there is nothing to do.
    // `runTemporary` is the row's temporary name in the run, `temporary` the one of this undo.
    bool takeBack(const JournalRow& row, const std::string& runTemporary, const std::string& temporary, Text& failure) {
        leftUnderTemporary = false;
        if (row.ino == 0) return false;  // the entry was not there when the run began
        const Text taken = U"jméno >" + fromUtf8(row.oldName) + U"< mezitím dostal jiný soubor";
        // The row of the killed step this one finishes, and the name that step passed it through.
        const std::size_t j = run_.rows.size() - 1 - index(row);
        const std::string killedTemporary = killed_ ? killed_->temporary(j) : std::string();
        const Found underNew = look(dir_, row.newName), underOld = look(dir_, row.oldName);
        if (isEntry(underNew, row)) {
            if (isEntry(underOld, row) && hasTwoNames(underNew.st, row)) return drop(row, failure);
            if (underOld.exists && !isEntry(underOld, row) && !foldedOntoNew(row)) return fail(failure, taken);
            return moveBack(row.newName, row, temporary, failure);
        }
        if (isEntry(underOld, row)) {
            // Only a killed run can have left a placeholder, under the new or the temporary name.
            if (!run_.finished) {
                for (const std::string* name : {&row.newName, &runTemporary}) {
                    if (const Found left = look(dir_, *name); left.exists) settlePlaceholder(row, *name, left.st);
                }
            }
            return false;
        }
        for (const std::string* name : {&runTemporary, &killedTemporary}) {
            if (!isEntry(look(dir_, *name), row)) continue;
            if (underOld.exists) return fail(failure, taken);
            return moveBack(*name, row, temporary, failure);
        }
        if (underNew.exists) return fail(failure, U"pod jménem >" + fromUtf8(row.newName) + U"< je nyní jiný soubor");
        return fail(failure, U"soubor či složka nebyl nalezen");
    }

    // Whether the killed run this takes back moved row `row` (or lost track of its entry): not
    // when its entry is under its old name alone, which is all an undo finds of a row the run did not
    // reach. Asked before the undo moves anything.
    bool movedByRun(const JournalRow& row, const std::string& runTemporary) const {
        if (row.ino == 0) return false;
        if (!isEntry(look(dir_, row.oldName), row)) return true;
        // Where letter case folds, the new name of a change of case reaches the entry under its old.
        return (isEntry(look(dir_, row.newName), row) && dir_.hasExactEntry(row.newName)) ||
               isEntry(look(dir_, runTemporary), row);
    }

    // A row the killed run did not move: only the placeholder it may have reserved for it goes.
    void settle(const JournalRow& row, const std::string& runTemporary) {
        if (run_.finished || !isEntry(look(dir_, row.oldName), row)) return;
        for (const std::string* name : {&row.newName, &runTemporary}) {
            if (const Found left = look(dir_, *name); left.exists && !isEntry(left, row))
                settlePlaceholder(row, *name, left.st);
        }
    }

    // A killed run or step reserves a placeholder only at the first row whose entry it had not moved
    // yet (still under its old name, or half-way under its temporary one): an empty entry there that
    // it can have made goes before anything moves, so that a kill of this step cannot leave it to
    // steps that know nothing of it.
    void settleKilled(const Journal& killed) {
        for (const JournalRow& row : killed.rows) {
            if (row.ino != 0) journaled_.insert(row.ino);  // no entry it knows is a placeholder
        }
        for (std::size_t k = 0; k < killed.rows.size(); ++k) {
            const JournalRow& row = killed.rows[k];
            if (row.ino == 0 || underNewName(dir_, row)) continue;
            const std::string temporary = killed.temporary(k);
            if (!isEntry(look(dir_, row.oldName), row) && !isEntry(look(dir_, temporary), row)) return;
            for (const std::string* name : {&row.newName, &temporary}) {
                const Found left = look(dir_, *name);
                if (left.exists && !isEntry(left, row) && reservedBy(killed, row, *name, left.st))
                    dir_.removeName(*name, S_ISDIR(left.st.st_mode));
            }
            return;
        }
    }

    // Set when the last move back was cut half-way through a change of case: the entry is under the
    // undo's own temporary name.
    bool leftUnderTemporary = false;

private:
    static bool fail(Text& failure, Text reason) {
        failure = std::move(reason);
        return false;
    }

    // Both names lead to the entry. On a file system that folds case that is one name seen twice;
    // a second real name is left only by a link-then-unlink rename cut between its two steps. The
    // folder's own entries tell, not the link count: FUSE file systems may show a stale count for
    // one of the names, or hide links altogether (bindfs --hide-hard-links gives every name 1).
    bool hasTwoNames(const struct stat& st, const JournalRow& row) const {
        return !S_ISDIR(st.st_mode) && dir_.hasExactEntry(row.oldName) && dir_.hasExactEntry(row.newName);
    }

    bool drop(const JournalRow& row, Text& failure) {
        if (const std::optional<Failure> removed = dir_.removeName(row.newName, false))
            return fail(failure, fromUtf8(failureText(*removed)));
        return true;
    }

    bool moveBack(const std::string& from, const JournalRow& row, const std::string& temporary, Text& failure) {
        // Its inode number may have gone to an entry made after the run's entry was deleted; where the
        // file system keeps birth times, one born after the run began is another entry.
        if (run_.started > 0 && dir_.birthTime(from) > run_.started)
            return fail(failure, U"pod jménem >" + fromUtf8(from) + U"< je nyní jiný soubor");
        const RenameOutcome outcome = dir_.rename(from, row.oldName, [&temporary] { return temporary; });
        leftUnderTemporary = !outcome.leftAs.empty();
        if (outcome.ok()) return true;
        return fail(failure, reasonOf(outcome, row.oldName));
    }

    // What the no-hard-link rename reserves before it moves an entry: an empty file of mode 0600 or
    // an empty folder of mode 0700 (or less, by the umask), and no entry the journal knows.
    // Where the file system keeps no permission bits (FAT), every entry shows the mount's mode.
    bool looksLikePlaceholder(const struct stat& st) const {
        const bool modes = dir_.keepsModes();
        const bool file =
            S_ISREG(st.st_mode) && st.st_size == 0 && st.st_nlink == 1 && (!modes || (st.st_mode & 07777 & ~0600) == 0);
        const bool folder = S_ISDIR(st.st_mode) && (!modes || (st.st_mode & 07777 & ~0700) == 0);
        return (file || folder) && journaled_.count(st.st_ino) == 0;
    }

    std::size_t index(const JournalRow& row) const { return static_cast<std::size_t>(&row - run_.rows.data()); }

    // Where letter case folds, the old name of a change of case reaches the entry under its new one;
    // a file system that numbers each spelling afresh (FAT through FUSE) shows it as another entry.
    // No entry of exactly the old bytes means it is the row's own.
    bool foldedOntoNew(const JournalRow& row) const {
        return sameLetters(row.oldName, row.newName) && !dir_.hasExactEntry(row.oldName);
    }

    // Whether the entry under `name` can be the placeholder `killed` reserved for `row` there.
    bool reservedBy(const Journal& killed, const JournalRow& row, const std::string& name,
                    const struct stat& st) const {
        return empty(name, st) && !foldedOnto(name, row) && madeAfterStart(killed, name, st) &&
               looksLikePlaceholder(st);
    }

    // The name reaches the row's own entry only because letter case folds (numbered afresh).
    bool foldedOnto(const std::string& name, const JournalRow& row) const {
        return sameLetters(name, row.oldName) && !dir_.hasExactEntry(name);
    }

    bool empty(const std::string& name, const struct stat& st) const {
        return (S_ISREG(st.st_mode) && st.st_size == 0) || (S_ISDIR(st.st_mode) && dir_.isEmptyFolder(name));
    }

    // An empty entry under a name the killed run was to give row `row`, whose entry is still under
    // its old name: removed when it is the run's placeholder, else left and noted. The run renames in
    // order, so it can have been killed with a placeholder made only at the first row whose entry it
    // had not moved yet; an entry made after the run began under a later row's name is the user's.
    void settlePlaceholder(const JournalRow& row, const std::string& name, const struct stat& st) {
        if (!empty(name, st) || journaled_.count(st.st_ino) != 0 || !madeAfterStart(run_, name, st)) return;
        if (foldedOnto(name, row)) return;
        const std::size_t k = index(row);
        if (looksLikePlaceholder(st) && firstNotMoved() >= k && !dir_.removeName(name, S_ISDIR(st.st_mode))) return;
        notes.push_back(
            S_ISDIR(st.st_mode)
                ? U"ponechána prázdná složka >" + fromUtf8(name) + U"<: není jisté, že ji vytvořilo přejmenování"
                : U"ponechán prázdný soubor >" + fromUtf8(name) + U"<: není jisté, že jej vytvořilo přejmenování");
    }

    // The first row (in run order) whose entry is under its old name as the undo began, or SIZE_MAX.
    // Asked first at the undo's first placeholder, which it meets last in run order: the rows
    // before it are untouched by the undo then.
    std::size_t firstNotMoved() {
        if (!firstNotMoved_) {
            firstNotMoved_ = SIZE_MAX;
            for (std::size_t j = 0; j < run_.rows.size() && *firstNotMoved_ == SIZE_MAX; ++j) {
                const JournalRow& r = run_.rows[j];
                if (r.ino != 0 && isEntry(look(dir_, r.oldName), r)) firstNotMoved_ = j;
            }
        }
        return *firstNotMoved_;
    }

    // The kernel stamps entries with a clock that may trail the one the run's start was read from by
    // a tick (10 ms at most), so a placeholder made right after the start, at the turn of a second,
    // can carry the second before. A file system that keeps coarser times cuts that trailing stamp to
    // its own step, which the stamp shows: whole seconds are FAT's two (22.000 for a start at 22.513,
    // and 20.000 for one at 22.004), whole hundredths exFAT's and FAT's birth times. Its birth time,
    // where the file system keeps one, says when it was made; else its change time, no earlier.
    bool madeAfterStart(const Journal& run, const std::string& name, const struct stat& st) const {
        constexpr std::int64_t kTick = 10000000, kSecond = 1000000000;
        if (run.started <= 0) return st.st_ctime >= run.time;  // a journal without "started"
        std::int64_t made = dir_.birthTime(name);
        if (made == 0) made = static_cast<std::int64_t>(st.st_ctim.tv_sec) * kSecond + st.st_ctim.tv_nsec;
        const std::int64_t step = made % kSecond == 0 ? 2 * kSecond : made % kTick == 0 ? kTick : 1;
        const std::int64_t earliest = run.started - kTick;
        return made >= earliest - earliest % step;
    }

public:
    std::vector<Text> notes;  // what was left as it is though it may be what the run left

private:
    RenameFolder& dir_;
    const Journal& run_;
    const Journal* killed_;
    std::unordered_set<std::uint64_t> journaled_;
    std::optional<std::size_t> firstNotMoved_;
};

// The rows of a killed run whose entry is under the new name (or the temporary name) the run gave
// it: what an undo would find to take back.
int renamedFound(RenameFolder& dir, const Journal& run) {
    if (!dir.isOpen()) return -1;
    int found = 0;
    for (std::size_t k = 0; k < run.rows.size(); ++k) {
        const JournalRow& row = run.rows[k];
        if (row.ino == 0) continue;
        if (underNewName(dir, row) || isEntry(look(dir, run.temporary(k)), row)) ++found;
    }
    return found;
}

// The question before a step: which run, when, how many entries, and the first of them as it moves.
Text question(const FolderRuns& runs, const StepPlan& plan, const StepSource& step) {
    const Journal& source = step.journal;
    const RunEntry& named = runs.runs[plan.subject ? *plan.subject : plan.source];
    std::size_t count = 0;
    const JournalRow* first = nullptr;
    for (const bool moves : step.moves) count += moves;
    Text text = plan.step == Step::undo ? U"Opravdu chcete vrátit " : U"Opravdu chcete znovu provést ";
    text += (source.finished ? U"přejmenování z " : U"přerušené přejmenování z ") +
            fromUtf8(localTimeText(named.time)) + U"?" + kCrLf + decimal(static_cast<long long>(count)) + U" souborů";
    // The entry the step moves first is the last row of the source it takes back.
    for (std::size_t k = source.rows.size(); k-- > 0 && !first;) {
        if (step.moves[k]) first = &source.rows[k];
    }
    if (first) text += U", první >" + fromUtf8(first->newName) + U"< na >" + fromUtf8(first->oldName) + U"<";
    return text + U".";
}

Text nothingText(Step step) {
    return step == Step::undo ? U"V této složce není žádné přejmenování, které by šlo vrátit."
                              : U"V této složce není žádné vrácené přejmenování, které by šlo znovu provést.";
}

Text unreadableText(const std::string& path, const Failure& failure, Step step) {
    return U"Záznam přejmenování >" + fromUtf8(path) + U"< nelze přečíst:" + kCrLf + fromUtf8(failureText(failure)) +
           kCrLf + (step == Step::undo ? U"Nic nebylo vráceno." : U"Nic nebylo přejmenováno.");
}

// The killed rename run a step's rename began with, as long as no step of that rename has finished:
// the first to finish settled what the run left.
std::optional<Journal> killedRoot(const FolderRuns& runs, const StepPlan& plan) {
    if (!plan.subject || runs.runs[*plan.subject].finished) return std::nullopt;
    const std::size_t chain = runs.runs[*plan.subject].chain;
    for (const RunEntry& run : runs.runs) {
        if (run.chain == chain && run.finished) return std::nullopt;
    }
    Result<Journal> root = readJournal(runs.runs[*plan.subject].path, false);
    return root ? std::optional<Journal>(std::move(*root)) : std::nullopt;
}

// The rows of a step's journal: those of the run it takes back, last first and turned round; only
// the rows in force know their entry.
std::vector<JournalRow> stepRows(const Journal& run, const std::vector<bool>& inForce) {
    std::vector<JournalRow> rows;
    rows.reserve(run.rows.size());
    for (std::size_t j = run.rows.size(); j-- > 0;) {
        const JournalRow& row = run.rows[j];
        JournalRow back;
        if (inForce[j]) back.dev = row.dev, back.ino = row.ino;
        back.oldName = row.newName;
        back.newName = row.oldName;
        rows.push_back(std::move(back));
    }
    return rows;
}

// One entry the step could not move: its box, and its line of the report.
RowOutcome reportFailure(Step step, const JournalRow& row, const Text& failure) {
    const Text oldName = fromUtf8(row.oldName), newName = fromUtf8(row.newName);
    if (step == Step::undo) {
        return RowOutcome::failure(
            U"Soubor či složku >" + newName + U"< nelze vrátit na >" + oldName + U"<:" + kCrLf + failure,
            newName + U" nevrácen na " + oldName + U": " + failure);
    }
    return RowOutcome::failure(
        U"Soubor či složku >" + newName + U"< nelze znovu přejmenovat na >" + oldName + U"<:" + kCrLf + failure,
        newName + U" nepřejmenován na " + oldName + U": " + failure);
}

// The step's journal could not be written: nothing is moved.
UndoResult notStarted(Step step, const Failure& failure, Dialogs& dialogs) {
    dialogs.messageBox((step == Step::undo ? U"Vrácení nelze začít:" : U"Přejmenování nelze začít:") + kCrLf +
                           fromUtf8(failureText(failure)) + kCrLf +
                           (step == Step::undo ? U"Nic nebylo vráceno." : U"Nic nebylo přejmenováno."),
                       box::critical);
    UndoResult result;
    result.end = UndoEnd::NotStarted;
    return result;
}

// What killed runs or steps left in the way goes first: the step this one finishes or takes back,
// and the run its rename began with.
void settleKilledOnes(Undoer& undoer, const FolderRuns& runs, const StepPlan& plan, const StepSource& source) {
    const Journal* const killed = source.killed ? &*source.killed : source.journal.finished ? nullptr : &source.journal;
    if (killed) undoer.settleKilled(*killed);
    if (const std::optional<Journal> root = killedRoot(runs, plan); root && (!killed || root->id != killed->id))
        undoer.settleKilled(*root);
}

// The step's part of each row, the run's last row first: the row taken back, journaled. Row k of the
// step is row n-1-k of the run.
class StepAction final : public RowAction {
public:
    StepAction(RenameFolder& dir, Step step, const Journal& run, const std::vector<bool>& inForce,
               bool claimsWhatIsThere, Undoer& undoer, RunRecorder& journal)
        : dir_(dir), step_(step), run_(run), inForce_(inForce), claimsWhatIsThere_(claimsWhatIsThere), undoer_(undoer),
          journal_(journal) {}

    std::optional<Text> entry(std::size_t k) override {
        if (!inForce_[runRow(k)]) return std::nullopt;
        return fromUtf8(run_.rows[runRow(k)].oldName);
    }

    // A finished run says which rows it renamed; the others were never its to take back. Of a
    // killed run's, the one it was killed at may hold its placeholder.
    void passBy(std::size_t k) override { undoer_.settle(run_.rows[runRow(k)], run_.temporary(runRow(k))); }

    RowOutcome act(std::size_t k, const Text& /*entry*/) override {
        const JournalRow& row = run_.rows[runRow(k)];
        Text failure;
        if (undoer_.takeBack(row, run_.temporary(runRow(k)), journal_.temporary(k), failure)) {
            journal_.markRenamed(k);
            return RowOutcome::Kind::renamed;
        }
        if (!failure.empty()) {
            // Under this step's temporary name now: the step that takes it back in turn finds it there.
            if (undoer_.leftUnderTemporary) journal_.markRenamed(k);
            return reportFailure(step_, row, failure);
        }
        if (claimsWhatIsThere_ && isEntry(look(dir_, row.oldName), row)) {
            // Moved by the killed step this one finishes (or left by the one it takes back): not moved
            // now, yet this step's to take back when it is undone in its turn.
            journal_.markRenamed(k);
        }
        return RowOutcome::Kind::leftAsIs;
    }

private:
    std::size_t runRow(std::size_t k) const { return run_.rows.size() - 1 - k; }

    RenameFolder& dir_;
    Step step_;
    const Journal& run_;
    const std::vector<bool>& inForce_;
    bool claimsWhatIsThere_;
    Undoer& undoer_;
    RunRecorder& journal_;
};

// The step once asked for: journaled, then row by row, then the report.
UndoResult carryOut(RenameFolder& dir, const std::string& folder, const FolderRuns& runs, const StepPlan& plan,
                    const StepSource& source, Dialogs& dialogs, RenameFrontEnd& frontEnd) {
    UndoResult result;
    const Step step = plan.step;
    const Journal* const run = &source.journal;
    Undoer undoer(dir, *run, source.killed ? &*source.killed : nullptr);
    const std::size_t n = run->rows.size();
    // The rows this step is to move; its journal knows the entries of those alone, so that a step
    // that takes it back, or finishes it after a kill, moves no entry it would not have moved.
    std::vector<bool> inForce = source.moves;
    for (std::size_t j = 0; j < n && source.guessed; ++j)
        inForce[j] = inForce[j] && undoer.movedByRun(run->rows[j], run->temporary(j));

    RunRecorder journal;
    const std::optional<Failure> failure =
        dir.isOpen() ? journal.begin(dir, folder, stepRows(*run, inForce), plan.undoes) : dir.openError();
    if (failure) return notStarted(step, *failure, dialogs);

    settleKilledOnes(undoer, runs, plan, source);
    StepAction action(dir, step, *run, inForce, source.claimsWhatIsThere, undoer, journal);
    const LoopEnd end = renameLoop(n, action, frontEnd, dialogs);
    journal.finish();

    result.end = UndoEnd::Finished;
    result.returned = end.renamed;
    result.failures = static_cast<int>(end.failures.size());
    result.report = reportText(step, result.returned, end.failures, undoer.notes);
    result.reportStyle = result.failures >= 1 ? box::exclamation : box::information;
    dialogs.messageBox(result.report, result.reportStyle);
    return result;
}

UndoResult runStep(const std::string& folder, Step step, const std::string& id, Dialogs& dialogs,
                   RenameFrontEnd& frontEnd, SysCalls& sys) {
    UndoResult result;
    const Text nothingDone = step == Step::undo ? U"Nic nebylo vráceno." : U"Nic nebylo přejmenováno.";
    if (const Result<FolderIdentity> identity = identifyFolder(folder); !identity) {
        dialogs.messageBox(U"Složku >" + fromUtf8(folder) + U"< nelze otevřít:" + kCrLf +
                               fromUtf8(failureText(identity.failure())) + kCrLf + nothingDone,
                           box::critical);
        result.end = UndoEnd::NothingToUndo;
        return result;
    }
    // Locked before the journals are read: a run still going has an unfinished journal that only
    // its lock tells from one a killed run left.
    RenameFolder dir(folder, sys);
    if (!dir.lockRun()) {
        dialogs.messageBox(kFolderBusy, box::exclamation);
        result.end = UndoEnd::NotStarted;
        return result;
    }
    const FolderRuns runs = folderRuns(folder);
    StepRefusal refusal;
    const std::optional<StepPlan> plan = planStep(runs, step, id, refusal);
    std::optional<Result<StepSource>> read;
    if (plan) read = stepSource(runs, *plan);
    if (read && !*read) refusal = {StepRefusal::unreadable, runs.runs[plan->source].path, read->failure(), {}};
    const StepSource* const source = read && *read ? &**read : nullptr;
    if (!source && refusal.kind == StepRefusal::unreadable) {
        dialogs.messageBox(unreadableText(refusal.path, refusal.failure, step), box::critical);
        result.end = UndoEnd::Unreadable;
        return result;
    }
    if (!source) {
        dialogs.messageBox(refusal.kind == StepRefusal::refused ? refusal.message : nothingText(step),
                           refusal.kind == StepRefusal::refused ? box::exclamation : box::information);
        result.end = UndoEnd::NothingToUndo;
        return result;
    }
    if (dialogs.messageBox(question(runs, *plan, *source), box::yesNo) != Answer::yes) {
        result.end = UndoEnd::Declined;
        return result;
    }
    return carryOut(dir, folder, runs, *plan, *source, dialogs, frontEnd);
}

}  // namespace

std::optional<Text> nextStep(const std::string& folder, Step step) {
    const FolderRuns runs = folderRuns(folder);
    StepRefusal refusal;
    const std::optional<StepPlan> plan = planStep(runs, step, {}, refusal);
    if (!plan) return std::nullopt;
    const Result<StepSource> source = stepSource(runs, *plan);
    if (!source) return std::nullopt;
    return question(runs, *plan, *source);
}

UndoResult undoLastRun(const std::string& folder, Dialogs& dialogs, RenameFrontEnd& frontEnd) {
    return runStep(folder, Step::undo, {}, dialogs, frontEnd, realSysCalls());
}

UndoResult undoLastRun(const std::string& folder, Dialogs& dialogs, RenameFrontEnd& frontEnd, SysCalls& sys) {
    return runStep(folder, Step::undo, {}, dialogs, frontEnd, sys);
}

UndoResult redoLastRun(const std::string& folder, Dialogs& dialogs, RenameFrontEnd& frontEnd) {
    return runStep(folder, Step::redo, {}, dialogs, frontEnd, realSysCalls());
}

UndoResult redoLastRun(const std::string& folder, Dialogs& dialogs, RenameFrontEnd& frontEnd, SysCalls& sys) {
    return runStep(folder, Step::redo, {}, dialogs, frontEnd, sys);
}

UndoResult undoRun(const std::string& folder, const std::string& id, Dialogs& dialogs, RenameFrontEnd& frontEnd,
                   SysCalls& sys) {
    return runStep(folder, Step::undo, id, dialogs, frontEnd, sys);
}

namespace {

int killedRunCount(const FolderRuns& runs, const RunEntry& run, RenameFolder& dir) {
    if (run.takenBack) {
        for (const RunEntry& newer : runs.runs) {
            if (&newer == &run) break;
            if (newer.undoes == run.id) return newer.finished ? newer.renamed : -1;
        }
        return -1;
    }
    const Result<Journal> whole = readJournal(run.path, false);
    return whole ? renamedFound(dir, *whole) : -1;
}

}  // namespace

std::vector<HistoryLine> runHistory(const std::string& folder, std::vector<std::string>* skipped) {
    std::vector<HistoryLine> lines;
    const FolderRuns runs = folderRuns(folder);
    // Any of them may be one of this folder's runs: passed over, but not in silence.
    if (skipped) {
        for (const auto& [path, failure] : runs.unreadable) skipped->push_back(path + ": " + failureText(failure));
    }
    RenameFolder dir(folder);
    for (const RunEntry& run : runs.runs) {
        HistoryLine line;
        line.id = run.id;
        line.time = utcTimeText(run.time);
        line.kind = run.kind;
        line.renamed = run.renamed;
        line.planned = run.planned;
        line.finished = run.finished;
        line.takenBack = run.takenBack;
        line.undoable = run.undoable;
        line.seconds = run.time;
        line.folder = run.folder;
        // A killed journal recorded nothing of what it renamed: while it stands, what is still under
        // the names it gave; once taken back, what the newest journal that took it back counted.
        if (!run.finished) line.renamed = killedRunCount(runs, run, dir);
        lines.push_back(std::move(line));
    }
    return lines;
}

}  // namespace zelvar
