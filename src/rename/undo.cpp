#include "rename/undo.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <map>
#include <unordered_set>

#include "platform/saferename.h"
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
    f.exists = !name.empty() && dir.identify(name, f.st) == 0;
    return f;
}

bool isEntry(const Found& f, const JournalRow& row) {
    return f.exists && row.ino != 0 && f.st.st_dev == row.dev && f.st.st_ino == row.ino;
}

// Why a safe rename back did not happen, in a few words.
Text reasonOf(const RenameOutcome& outcome, const std::string& oldName) {
    Text reason;
    switch (outcome.kind) {
        case RenameErrorKind::TargetExists: reason = U"jméno >" + fromUtf8(oldName) + U"< je obsazeno"; break;
        case RenameErrorKind::NameNotAccepted: reason = U"jméno >" + fromUtf8(oldName) + U"< není povoleno"; break;
        case RenameErrorKind::Other:
        case RenameErrorKind::None:
            reason = fromUtf8(outcome.message.empty() ? std::strerror(outcome.error) : outcome.message);
            break;
    }
    if (!outcome.leftAs.empty()) reason += U", nyní se jmenuje >" + fromUtf8(outcome.leftAs) + U"<";
    return reason;
}

Text reportText(int returned, const std::vector<Text>& failureList, const std::vector<Text>& notes = {}) {
    const int failures = static_cast<int>(failureList.size());
    Text report = U"Vrácení ukončeno" + kCrLf + kCrLf + U"Vráceno " + decimal(returned) + U" souborů" + kCrLf;
    if (failures >= 1) {
        report += U"Nevráceno " + decimal(failures) + U" souborů" + kCrLf;
        for (const auto& line : failureList) report += kCrLf + line;
    }
    if (!notes.empty()) report += kCrLf;
    for (const auto& line : notes) report += line + kCrLf;
    return report;
}

// The newest journal of the folder: a run is taken back by a newer journal, an undo, which is then
// the newest itself (taking that back is a redo). A finished run that renamed nothing is passed
// over, so an undo that could return nothing can be tried again once its obstacles are gone.
struct Candidate {
    std::string path;
    std::optional<Journal> header;
    std::string problem;  // a journal that cannot be read stands where the newest one should be
};

// The run a killed undo was taking back: its own journal where it is still kept and readable, else
// the undo's rows turned round, which name the same entries and the same names.
Candidate runOfKilledUndo(const Journal& undo, const FolderIdentity& identity, bool whole) {
    Candidate c;
    for (const std::string& path : journalFiles(journalFolder())) {
        std::string error;
        auto header = readJournal(path, true, error);
        if (!header || header->id != undo.undoes || !sameFolder(*header, identity)) continue;
        if (whole) header = readJournal(path, false, error);
        if (!header) break;
        c.path = path;
        c.header = std::move(header);
        return c;
    }
    Journal run = undo;
    run.id = undo.undoes;
    run.undoes.clear();
    run.finished = false;
    run.rows.clear();
    for (auto it = undo.rows.rbegin(); it != undo.rows.rend(); ++it) {
        JournalRow back = *it;
        std::swap(back.oldName, back.newName);
        back.renamed = false;
        run.rows.push_back(std::move(back));
    }
    c.header = std::move(run);
    return c;
}

// With `whole` the journal is read whole, so that a run that renamed nothing is passed over.
// An undo that was killed is finished rather than taken back: the run it was taking back is the
// candidate again, and its entries already back under their old names stay there.
Candidate findCandidate(const std::string& folder, bool whole) {
    Candidate c;
    const FolderIdentity identity = identifyFolder(folder);
    if (identity.error != 0) return c;
    for (const std::string& path : journalFiles(journalFolder())) {
        std::string error;
        auto header = readJournal(path, true, error);
        if (header && !sameFolder(*header, identity)) continue;
        if (header && whole) header = readJournal(path, false, error);
        // Another Zelvar may have pruned it since the folder was read: then it is simply not there.
        if (!header && ::access(path.c_str(), F_OK) != 0 && errno == ENOENT) continue;
        // A damaged journal that still names another folder is that folder's trouble.
        if (!header && journalOfAnotherFolder(path, identity)) continue;
        if (!header) {
            // It may be the newest run of this very folder: taking back an older one instead would
            // not be what the user asked for.
            c.path = path;
            c.problem = error;
            return c;
        }
        if (header->finished && header->renamedCount == 0) continue;
        if (!header->finished && !header->undoes.empty()) {
            Candidate run = runOfKilledUndo(*header, identity, whole);
            if (run.path.empty()) run.path = path;
            return run;
        }
        c.path = path;
        c.header = std::move(header);
        return c;
    }
    return c;
}

class Undoer {
public:
    Undoer(RenameFolder& dir, const Journal& run) : dir_(dir), run_(run) {
        for (const JournalRow& row : run.rows) {
            if (row.ino != 0) journaled_.insert(row.ino);
        }
    }

    // Takes one row back: true when the entry got its old name again; `failure` says why not when it
    // could not; neither when there is nothing to do.
    // `runTemporary` is the row's temporary name in the run, `temporary` the one of this undo.
    bool takeBack(const JournalRow& row, const std::string& runTemporary, const std::string& temporary, Text& failure) {
        if (row.ino == 0) return false;  // the entry was not there when the run began
        const Found underNew = look(dir_, row.newName), underOld = look(dir_, row.oldName);
        if (isEntry(underNew, row)) {
            if (isEntry(underOld, row) && hasTwoNames(underNew.st, row)) return drop(row, failure);
            if (underOld.exists && !isEntry(underOld, row))
                return fail(failure, U"jméno >" + fromUtf8(row.oldName) + U"< mezitím dostal jiný soubor");
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
        if (const Found underTemporary = look(dir_, runTemporary); isEntry(underTemporary, row)) {
            if (underOld.exists)
                return fail(failure, U"jméno >" + fromUtf8(row.oldName) + U"< mezitím dostal jiný soubor");
            return moveBack(runTemporary, row, temporary, failure);
        }
        if (underNew.exists) return fail(failure, U"pod jménem >" + fromUtf8(row.newName) + U"< je nyní jiný soubor");
        return fail(failure, U"soubor či složka nebyl nalezen");
    }

private:
    static bool fail(Text& failure, Text reason) {
        failure = std::move(reason);
        return false;
    }

    // Both names lead to the entry. On a file system that folds case that is one name seen twice;
    // a second real name is left only by a link-then-unlink rename cut between its two steps.
    bool hasTwoNames(const struct stat& st, const JournalRow& row) const {
        return !S_ISDIR(st.st_mode) && st.st_nlink >= 2 && dir_.hasExactEntry(row.oldName) &&
               dir_.hasExactEntry(row.newName);
    }

    bool drop(const JournalRow& row, Text& failure) {
        if (const int error = dir_.removeName(row.newName, false); error != 0)
            return fail(failure, fromUtf8(std::strerror(error)));
        return true;
    }

    bool moveBack(const std::string& from, const JournalRow& row, const std::string& temporary, Text& failure) {
        // Its inode number may have gone to an entry made after the run's entry was deleted; where the
        // file system keeps birth times, one born after the run began is another entry.
        if (run_.started > 0 && dir_.birthTime(from) > run_.started)
            return fail(failure, U"pod jménem >" + fromUtf8(from) + U"< je nyní jiný soubor");
        const RenameOutcome outcome = dir_.rename(from, row.oldName, [&temporary] { return temporary; });
        if (outcome.ok()) return true;
        return fail(failure, reasonOf(outcome, row.oldName));
    }

    // What the no-hard-link rename reserves before it moves an entry: an empty file of mode 0600 or
    // an empty folder of mode 0700 (or less, by the umask), and no entry the journal knows.
    bool looksLikePlaceholder(const struct stat& st) const {
        const bool file =
            S_ISREG(st.st_mode) && st.st_size == 0 && st.st_nlink == 1 && (st.st_mode & 07777 & ~0600) == 0;
        const bool folder = S_ISDIR(st.st_mode) && (st.st_mode & 07777 & ~0700) == 0;
        return (file || folder) && journaled_.count(st.st_ino) == 0;
    }

    // An empty entry under a name the killed run was to give row `row`, whose entry is still under
    // its old name: removed when it is the run's placeholder, else left and noted. The run renames in
    // order, so it can have been killed with a placeholder made only at the first row whose entry it
    // had not moved yet; an entry made after the run began under a later row's name is the user's.
    void settlePlaceholder(const JournalRow& row, const std::string& name, const struct stat& st) {
        const bool empty =
            (S_ISREG(st.st_mode) && st.st_size == 0) || (S_ISDIR(st.st_mode) && dir_.isEmptyFolder(name));
        if (!empty || journaled_.count(st.st_ino) != 0 || !madeAfterStart(name, st)) return;
        const std::size_t k = static_cast<std::size_t>(&row - run_.rows.data());
        if (looksLikePlaceholder(st) && firstNotMoved() >= k && dir_.removeName(name, S_ISDIR(st.st_mode)) == 0) return;
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
    // can carry the second before. A file system that keeps coarser times cuts the stamp to its own
    // step, which the stamp shows: whole seconds are FAT's two (22.000 for a start at 22.513), whole
    // hundredths exFAT's and FAT's birth times. Its birth time, where the file system keeps one, says
    // when it was made; else its change time, which is no earlier.
    bool madeAfterStart(const std::string& name, const struct stat& st) const {
        constexpr std::int64_t kTick = 10000000, kSecond = 1000000000;
        if (run_.started <= 0) return st.st_ctime >= run_.time;  // a journal without "started"
        std::int64_t made = dir_.birthTime(name);
        if (made == 0) made = static_cast<std::int64_t>(st.st_ctim.tv_sec) * kSecond + st.st_ctim.tv_nsec;
        const std::int64_t step = made % kSecond == 0 ? 2 * kSecond : made % kTick == 0 ? kTick : 1;
        return made >= run_.started - run_.started % step - kTick;
    }

public:
    std::vector<Text> notes;  // what was left as it is though it may be what the run left

private:
    RenameFolder& dir_;
    const Journal& run_;
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
        // Where letter case folds, the new name of a change of case reaches the entry under its old.
        const bool underNew = isEntry(look(dir, row.newName), row) &&
                              (!isEntry(look(dir, row.oldName), row) || dir.hasExactEntry(row.newName));
        if (underNew || isEntry(look(dir, run.temporary(k)), row)) ++found;
    }
    return found;
}

}  // namespace

std::optional<Journal> undoCandidate(const std::string& folder, std::string* problem) {
    Candidate c = findCandidate(folder, false);
    if (problem) *problem = c.problem;
    return c.header;
}

UndoResult undoLastRun(const std::string& folder, Dialogs& dialogs, RenameFrontEnd& frontEnd) {
    return undoLastRun(folder, dialogs, frontEnd, realSysCalls());
}

UndoResult undoLastRun(const std::string& folder, Dialogs& dialogs, RenameFrontEnd& frontEnd, SysCalls& sys) {
    UndoResult result;
    if (const FolderIdentity identity = identifyFolder(folder); identity.error != 0) {
        dialogs.messageBox(U"Složku >" + fromUtf8(folder) + U"< nelze otevřít:" + kCrLf +
                               fromUtf8(std::strerror(identity.error)) + kCrLf + U"Nic nebylo vráceno.",
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
    Candidate candidate = findCandidate(folder, true);
    std::string error = candidate.problem;
    std::optional<Journal> run = std::move(candidate.header);
    if (!run && !candidate.path.empty()) {
        dialogs.messageBox(U"Záznam přejmenování >" + fromUtf8(candidate.path) + U"< nelze přečíst:" + kCrLf +
                               fromUtf8(error) + kCrLf + U"Nic nebylo vráceno.",
                           box::critical);
        result.end = UndoEnd::Unreadable;
        return result;
    }
    if (!run) {
        dialogs.messageBox(U"V této složce není žádné přejmenování, které by šlo vrátit.", box::information);
        result.end = UndoEnd::NothingToUndo;
        return result;
    }
    if (dialogs.messageBox(U"Opravdu chcete vrátit poslední přejmenování v této složce?", box::yesNo) != Answer::yes) {
        result.end = UndoEnd::Declined;
        return result;
    }

    std::vector<JournalRow> rows;
    rows.reserve(run->rows.size());
    for (auto it = run->rows.rbegin(); it != run->rows.rend(); ++it) {
        JournalRow back;
        back.dev = it->dev;
        back.ino = it->ino;
        back.oldName = it->newName;
        back.newName = it->oldName;
        rows.push_back(std::move(back));
    }
    RunRecorder journal;
    error = dir.isOpen() ? journal.begin(dir, folder, std::move(rows), run->id)
                         : std::string(std::strerror(dir.openError()));
    if (!error.empty()) {
        dialogs.messageBox(U"Vrácení nelze začít:" + kCrLf + fromUtf8(error) + kCrLf + U"Nic nebylo vráceno.",
                           box::critical);
        result.end = UndoEnd::NotStarted;
        return result;
    }

    Undoer undoer(dir, *run);
    std::vector<Text> failureList;
    const std::size_t n = run->rows.size();
    for (std::size_t k = 0; k < n; ++k) {
        const JournalRow& row = run->rows[n - 1 - k];
        // A finished run says which rows it renamed; the others were never its to take back.
        if (run->finished && !row.renamed) continue;
        const Text oldName = fromUtf8(row.oldName), newName = fromUtf8(row.newName);
        frontEnd.progress(oldName, U"");
        frontEnd.processEvents();
        Text failure;
        if (undoer.takeBack(row, run->temporary(n - 1 - k), journal.temporary(k), failure)) {
            journal.markRenamed(k);
            ++result.returned;
        } else if (!failure.empty()) {
            frontEnd.processEvents();
            dialogs.beep();
            failureList.push_back(newName + U" nevrácen na " + oldName + U": " + failure);
            dialogs.messageBox(
                U"Soubor či složku >" + newName + U"< nelze vrátit na >" + oldName + U"<:" + kCrLf + failure,
                box::exclamation);
        }
        frontEnd.progress(oldName, U" A B");
        frontEnd.processEvents();
    }
    journal.finish();

    result.end = UndoEnd::Finished;
    result.failures = static_cast<int>(failureList.size());
    result.report = reportText(result.returned, failureList, undoer.notes);
    result.reportStyle = result.failures >= 1 ? box::exclamation : box::information;
    dialogs.messageBox(result.report, result.reportStyle);
    return result;
}

std::vector<HistoryLine> runHistory(const std::string& folder, std::vector<std::string>* skipped) {
    std::vector<HistoryLine> lines;
    const FolderIdentity identity = identifyFolder(folder);
    if (identity.error != 0) return lines;
    // The undos met so far (newer than what they took back) by the id they took back: how many
    // entries each returned, -1 for one that was killed.
    std::map<std::string, int> takenBack;
    RenameFolder dir(folder);
    for (const std::string& path : journalFiles(journalFolder())) {
        std::string error;
        auto header = readJournal(path, true, error);
        if (header ? !sameFolder(*header, identity) : journalOfAnotherFolder(path, identity)) continue;
        const auto whole = header ? readJournal(path, false, error) : std::nullopt;
        if (!whole) {
            // It may be one of this folder's runs: passed over, but not in silence.
            if (skipped && (::access(path.c_str(), F_OK) == 0 || errno != ENOENT))
                skipped->push_back(path + ": " + error);
            continue;
        }
        header = whole;
        HistoryLine line;
        const std::time_t t = static_cast<std::time_t>(header->time);
        std::tm tm{};
        gmtime_r(&t, &tm);
        char text[48];
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &tm);
        line.time = text;
        line.renamed = header->renamedCount;
        line.planned = header->rowCount;
        line.undo = !header->undoes.empty();
        line.finished = header->finished;
        const auto undone = takenBack.find(header->id);
        line.takenBack = undone != takenBack.end();
        // A killed run recorded nothing of what it renamed: what the undo that took it back
        // returned, or while it stands, what is still under the names it gave.
        if (!line.finished) line.renamed = line.takenBack ? undone->second : renamedFound(dir, *header);
        line.folder = header->folder;
        if (!line.takenBack && line.undo) takenBack[header->undoes] = line.renamed;
        lines.push_back(std::move(line));
    }
    return lines;
}

}  // namespace zelvar
