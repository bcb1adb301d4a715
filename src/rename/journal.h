#pragma once
// The run journal: every rename run (and every undo, which is a run too) leaves one file that says
// which entry was to get which name, so the run can be taken back later, also after a crash or a
// kill in the middle of it. The plan is written atomically before the first rename and once more,
// with what was renamed, after the last one. Entries are known by device and inode, so the state of a
// killed run can be read from the folder itself and no rename needs its own fsync.
//
// Files live in $XDG_STATE_HOME/zelvar/ (~/.local/state/zelvar/ without it), one per run named
// "<id>.journal", where the id (UTC time to the microsecond, then the process id) sorts oldest first.
// The newest 100 are kept. The text is UTF-8, one record a line:
//
//   zelvar-journal 1
//   id 20261207-030000-123456-4242
//   time 1796612400 2026-12-07 03:00:00 UTC      (seconds since 1970, then readable)
//   started 1796612400.123456789                 (when the plan was made, to the nanosecond; an
//                                                 entry born later is none the run moved)
//   folder /home/eva/Fotky                       (the folder's real path)
//   folder-id 2049 1311745                       (its device and inode; every entry is on that device)
//   undoes -                                     (or the id of the run this one takes back)
//   temporary .zelvar-5f1a2b3c4d5e6-4242-        (row k's temporary name: this, then k)
//   rows 2
//   1311790<TAB>IMG_0001.jpg<TAB>Foto_0001.jpg   (inode, 0 when unknown; old name; new name)
//   1311791<TAB>IMG_0002.jpg<TAB>Foto_0002.jpg
//   end
//   finished 1                                   (appended after the run in one write: how many
//   renamed 0                                     rows were renamed, and which, as "0-5 7 9-12";
//   end                                           a row left under its temporary name counts)
//
// Rows are in run order, numbered from 0. In names, the folder and the prefix, a backslash is
// written "\\", and a control character or a byte that is not part of valid UTF-8 "\xHH", so every
// name keeps its exact bytes and every line stays one line. A name is one entry of the folder: one
// holding "/" or a NUL, "." or "..", or longer than 255 bytes makes the journal unreadable. A run
// without the last three lines was killed (or its end could not be recorded); anything else in a
// journal makes it unreadable. Journals written before "started" existed lack that line and are read
// all the same.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/failure.h"

namespace zelvar {

class RenameFolder;
struct Listing;
struct FolderIdentity;

struct JournalRow {
    std::uint64_t dev = 0, ino = 0;  // 0 0: the entry did not exist when the run was planned
    bool renamed = false;
    std::string oldName, newName;
};

struct Journal {
    std::string id;
    std::int64_t time = 0;     // seconds since 1970, UTC
    std::int64_t started = 0;  // nanoseconds since 1970 when the plan was made; 0 when not recorded
    std::string folder;
    std::uint64_t folderDev = 0, folderIno = 0;
    std::string undoes;           // id of the run this one takes back, empty for a rename run
    std::string temporaryPrefix;  // row k's temporary name is this followed by k
    bool finished = false;
    int renamedCount = 0;
    std::size_t rowCount = 0;  // as the header says; rows stays empty when only the header was read
    std::vector<JournalRow> rows;
    // The name row k passes through where a change of letter case alone needs a temporary name.
    std::string temporary(std::size_t k) const { return temporaryPrefix + std::to_string(k); }
};

inline constexpr std::size_t kJournalsKept = 100;
// A run renames at most what one listing holds; a journal of more rows is none of ours.
inline constexpr std::size_t kMaxJournalRows = 32767;
inline const Failure kJournalTooBig{0, "záznam je příliš velký"};

// The folder the journals live in; empty when neither $XDG_STATE_HOME nor a home folder is known.
std::string journalFolder();

// A name or path written as the journal writes it: "\\" for a backslash and "\xHH" for a control
// character (TAB and newline too) or a byte that is not valid UTF-8, so it takes one field of a line.
std::string escapeJournalText(std::string_view text);
// A run's time as its journal and --history write it, "2026-12-07 03:00:00 UTC", and as the window
// shows it, "2026-12-07 04:00:00" in local time.
std::string utcTimeText(std::int64_t seconds);
std::string localTimeText(std::int64_t seconds);

std::string formatJournal(const Journal& journal);
// The same text in pieces, each handed to `put`, which returns false to stop: false when it did.
bool formatJournal(const Journal& journal, const std::function<bool(std::string_view)>& put);
// The lines a finished run appends: how many rows were renamed and which.
std::string formatJournalResult(const Journal& journal);
// Reads a journal; with headerOnly the rows are not read (nor checked). A failure (its reason in
// Czech, for the user) when the text is not a whole journal.
Result<Journal> parseJournal(std::string_view text, bool headerOnly);
// Only a regular file is read (a FIFO or a device named like a journal would never end), and only
// up to the size its rows can take: at most kMaxJournalRows rows; with headerOnly, only its start.
Result<Journal> readJournal(const std::string& path, bool headerOnly);
// Whether the journal at `path`, though its header cannot be read as a whole, names another folder
// than `folder` there: then it stands in the way of nothing in `folder`.
bool journalOfAnotherFolder(const std::string& path, const FolderIdentity& folder);
// What the header lines "folder" and "folder-id" of a damaged journal's text still say; false when
// its folder-id cannot be read whole.
bool salvageJournalFolder(std::string_view text, Journal& journal);

// Writes the journal as "<id>.journal" in `dir` (made when missing) through a temporary file, fsync,
// rename and fsync of `dir`: nothing, or why it could not.
std::optional<Failure> writeJournal(const std::string& dir, const Journal& journal);
// Removes all but the newest `keep` journals of `dir`, and the temporary file of a journal whose
// writing was cut short over an hour ago.
void pruneJournals(const std::string& dir, std::size_t keep = kJournalsKept);

// The journal files of `dir`, newest first.
std::vector<std::string> journalFiles(const std::string& dir);

// What a journal knows a folder by: its real path and its device and inode.
struct FolderIdentity {
    std::string path;
    std::uint64_t dev = 0, ino = 0;
};
Result<FolderIdentity> identifyFolder(const std::string& folder);
bool sameFolder(const Journal& journal, const FolderIdentity& folder);

// One run's journal from the plan to the end: begin() before the first rename, markRenamed() for each
// row done, finish() once after the last.
class RunRecorder {
public:
    // A rename run: `rows` hold the old and new names in run order and get the device and inode of
    // their entries, following chains within the run (a row that renames the new name of an earlier
    // row renames the entry that row moved there). `listing`, when given, is a listing of the folder
    // known to hold for its names still: its entries' inodes spare reading the folder once more.
    static std::vector<JournalRow> planRows(const std::string& folder, RenameFolder& dir, std::vector<JournalRow> rows,
                                            const Listing* listing = nullptr);

    // Writes the plan: nothing, or why the run must not start.
    std::optional<Failure> begin(RenameFolder& dir, const std::string& folder, std::vector<JournalRow> rows,
                                 const std::string& undoes = {});
    const JournalRow& row(std::size_t k) const { return journal_.rows[k]; }
    // Row k's temporary name, made when asked: the plan holds no name that is almost never needed.
    std::string temporary(std::size_t k) const { return journal_.temporary(k); }
    void markRenamed(std::size_t k);
    // Records which rows were renamed: nothing, or why it could not (the plan stays and still serves).
    std::optional<Failure> finish();
    const Journal& journal() const { return journal_; }

private:
    Journal journal_;
    std::string dir_;
};

}  // namespace zelvar
