#include "rename/journal.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <unordered_map>

#include "platform/listing.h"
#include "platform/saferename.h"

namespace zelvar {

namespace {

constexpr std::string_view kSuffix = ".journal";

const Failure kNotAFile{0, "záznam není obyčejný soubor"};

// The longest a journal of `rows` rows can be: its header (a folder path up to PATH_MAX bytes written
// four to a byte), each row an inode number and two names of 255 bytes written four to a byte, and
// the result appended after the run (a number of at most six bytes per row renamed).
constexpr std::size_t kHeaderBytes = 4 * PATH_MAX + 1024;
constexpr std::size_t kMaxRowBytes = 20 + 1 + 4 * 255 + 1 + 4 * 255 + 1;
constexpr std::size_t maxJournalBytes(std::size_t rows) { return kHeaderBytes + rows * (kMaxRowBytes + 6) + 64; }

// An open regular file, read in bounded pieces.
class JournalFile {
public:
    explicit JournalFile(const std::string& path) {
        // Never blocks on a FIFO or a device, and a link named like a journal is none.
        fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
        if (fd_ < 0) {
            error_ = errno == ELOOP ? kNotAFile : Failure{errno};
            return;
        }
        struct stat st;
        if (::fstat(fd_, &st) != 0) {
            error_ = Failure{errno};
        } else if (!S_ISREG(st.st_mode)) {
            error_ = kNotAFile;
        } else {
            size_ = static_cast<std::size_t>(st.st_size);
        }
    }
    ~JournalFile() {
        if (fd_ >= 0) ::close(fd_);
    }
    JournalFile(const JournalFile&) = delete;
    JournalFile& operator=(const JournalFile&) = delete;

    const std::optional<Failure>& error() const { return error_; }
    std::size_t size() const { return size_; }
    // Appends to `data` until it holds `limit` bytes or the file ends: false with error() set when
    // reading fails.
    bool readUpTo(std::string& data, std::size_t limit) {
        char buffer[65536];
        while (data.size() < limit) {
            const ssize_t got = ::read(fd_, buffer, std::min(sizeof buffer, limit - data.size()));
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) {
                error_ = Failure{errno};
                return false;
            }
            if (got == 0) break;
            data.append(buffer, static_cast<std::size_t>(got));
        }
        return true;
    }

private:
    int fd_ = -1;
    std::size_t size_ = 0;
    std::optional<Failure> error_;
};

int makeFolders(const std::string& path) {
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return errno;
        if (slash == std::string::npos) return 0;
    }
}

bool writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t put = ::write(fd, data.data(), data.size());
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        data.remove_prefix(static_cast<std::size_t>(put));
    }
    return true;
}

}  // namespace

std::string journalFolder() {
    // A relative $XDG_STATE_HOME is to be ignored, as the base directory rules say.
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/') return std::string(state) + "/zelvar";
    const char* home = std::getenv("HOME");
    std::string base = home && home[0] == '/' ? home : "";
    if (base.empty()) {
        if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir && pw->pw_dir[0] == '/') base = pw->pw_dir;
    }
    return base.empty() ? std::string() : base + "/.local/state/zelvar";
}

Result<Journal> readJournal(const std::string& path, bool headerOnly) {
    JournalFile file(path);
    std::string text;
    if (!file.error()) file.readUpTo(text, kHeaderBytes);
    if (file.error()) return *file.error();
    // The header is whole within its bytes, or the file is nonsense: cut at the last whole line.
    const bool all = text.size() < kHeaderBytes;
    auto header =
        parseJournal(all ? std::string_view(text) : std::string_view(text).substr(0, text.rfind('\n') + 1), true);
    if (!header || headerOnly) return header;
    // Checked before the rest is read: a huge file, or one that says it holds more rows than any run
    // renames, costs no more than its header.
    if (header->rowCount > kMaxJournalRows || file.size() > maxJournalBytes(header->rowCount)) return kJournalTooBig;
    // It may grow while it is read; what goes beyond the size its rows allow is not read.
    const std::size_t limit = maxJournalBytes(header->rowCount);
    if (!all && !file.readUpTo(text, limit + 1)) return *file.error();
    if (text.size() > limit) return kJournalTooBig;
    return parseJournal(text, false);
}

bool journalOfAnotherFolder(const std::string& path, const FolderIdentity& folder) {
    JournalFile file(path);
    std::string text;
    if (file.error() || !file.readUpTo(text, kHeaderBytes)) return false;
    Journal named;
    if (!salvageJournalFolder(text, named)) return false;
    return named.folderDev != folder.dev || named.folderIno != folder.ino ||
           (!named.folder.empty() && named.folder != folder.path);
}

std::optional<Failure> writeJournal(const std::string& dir, const Journal& journal) {
    if (dir.empty()) return Failure{0, "není známa domovská složka"};
    if (const int error = makeFolders(dir); error != 0) return Failure{error};
    const std::string temporary = dir + "/." + journal.id + ".tmp";
    const std::string final = dir + "/" + journal.id + std::string(kSuffix);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return Failure{errno};
    int error = 0;
    errno = 0;
    if (!formatJournal(journal, [fd](std::string_view piece) { return writeAll(fd, piece); }) || ::fsync(fd) != 0)
        error = errno != 0 ? errno : EIO;
    if (::close(fd) != 0 && error == 0) error = errno;
    // The journal file is ours alone, so replacing the plan by the finished record is meant.
    if (error == 0 && ::rename(temporary.c_str(), final.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        return Failure{error};
    }
    const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0) return Failure{errno};
    error = ::fsync(dirFd) == 0 ? 0 : errno;
    ::close(dirFd);
    if (error != 0) return Failure{error};
    return std::nullopt;
}

namespace {

std::optional<Failure> appendResult(const std::string& dir, const Journal& journal) {
    const std::string path = dir + "/" + journal.id + std::string(kSuffix);
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0) return Failure{errno};
    // Not synced: lost in a crash, the record leaves a journal that reads as a run that was killed, and
    // taking that back finds every entry by its inode just the same.
    int error = writeAll(fd, formatJournalResult(journal)) ? 0 : (errno != 0 ? errno : EIO);
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error != 0) return Failure{error};
    return std::nullopt;
}

}  // namespace

std::vector<std::string> journalFiles(const std::string& dir) {
    std::vector<std::string> files;
    DIR* d = dir.empty() ? nullptr : ::opendir(dir.c_str());
    while (const dirent* e = d ? ::readdir(d) : nullptr) {
        const std::string_view name = e->d_name;
        if (name.size() > kSuffix.size() && name[0] != '.' && name.ends_with(kSuffix)) files.emplace_back(name);
    }
    if (d) ::closedir(d);
    std::sort(files.begin(), files.end(), std::greater<>());
    for (auto& name : files) name = dir + "/" + name;
    return files;
}

void pruneJournals(const std::string& dir, std::size_t keep) {
    const auto files = journalFiles(dir);
    for (std::size_t k = keep; k < files.size(); ++k) ::unlink(files[k].c_str());
    // A crash while a journal was written leaves its temporary file behind. One untouched for an hour
    // is nobody's to finish; a younger one may be another Zelvar's journal in the making.
    DIR* d = dir.empty() ? nullptr : ::opendir(dir.c_str());
    const std::time_t stale = std::time(nullptr) - 3600;
    while (const dirent* e = d ? ::readdir(d) : nullptr) {
        const std::string_view name = e->d_name;
        struct stat st;
        if (name.size() > 5 && name[0] == '.' && name.ends_with(".tmp") &&
            ::fstatat(::dirfd(d), e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
            st.st_mtime < stale)
            ::unlinkat(::dirfd(d), e->d_name, 0);
    }
    if (d) ::closedir(d);
}

Result<FolderIdentity> identifyFolder(const std::string& folder) {
    FolderIdentity id;
    struct stat st;
    if (::stat(folder.c_str(), &st) != 0) return Failure{errno};
    id.dev = st.st_dev;
    id.ino = st.st_ino;
    char* real = ::realpath(folder.c_str(), nullptr);
    id.path = real ? real : folder;
    std::free(real);
    return id;
}

// A folder is known by both: a path alone may name another folder by now, and an inode number may
// have been given to a new folder after the old one went.
bool sameFolder(const Journal& journal, const FolderIdentity& folder) {
    return journal.folderDev == folder.dev && journal.folderIno == folder.ino && journal.folder == folder.path;
}

namespace {

// A name missing when the run began can only hold an entry an earlier row moved there.
bool followChain(std::vector<JournalRow>& rows, std::size_t k) {
    for (std::size_t e = k; e-- > 0;) {
        if (rows[e].newName == rows[k].oldName) {
            rows[k].dev = rows[e].dev;
            rows[k].ino = rows[e].ino;
            return true;
        }
    }
    return false;
}

// The rows by one of their names: an open-addressed table of twice as many slots as rows, each slot
// a row number and a part of its name's hash, so that a name that is no row's is mostly turned away
// without a look at any row.
class RowsByName {
public:
    RowsByName(const std::vector<JournalRow>& rows, std::string JournalRow::*name) : rows_(rows), name_(name) {
        std::size_t size = 16;
        while (size < 2 * rows.size()) size *= 2;
        mask_ = size - 1;
        slots_.assign(size, Slot{kEmpty, 0});
        for (std::size_t k = 0; k < rows.size(); ++k) {
            const std::size_t hash = hashOf(rows[k].*name);
            std::size_t at = hash & mask_;
            while (slots_[at].row != kEmpty) at = (at + 1) & mask_;
            slots_[at] = {static_cast<std::uint32_t>(k), tagOf(hash)};
        }
    }

    static std::size_t hashOf(std::string_view name) { return std::hash<std::string_view>()(name); }

    // Calls found(k) for every row k of that name; `hash` is hashOf(name).
    template <class Found>
    void forEach(std::string_view name, std::size_t hash, Found found) const {
        for (std::size_t at = hash & mask_; slots_[at].row != kEmpty; at = (at + 1) & mask_) {
            const Slot slot = slots_[at];
            if (slot.tag == tagOf(hash) && rows_[slot.row].*name_ == name) found(slot.row);
        }
    }

private:
    static constexpr std::uint32_t kEmpty = UINT32_MAX;
    struct Slot {
        std::uint32_t row, tag;
    };
    static std::uint32_t tagOf(std::size_t hash) { return static_cast<std::uint32_t>(std::uint64_t{hash} >> 32); }

    const std::vector<JournalRow>& rows_;
    std::string JournalRow::*name_;
    std::vector<Slot> slots_;
    std::size_t mask_ = 0;
};

// Gives each row the inode listed under its old name (by `listing`, else by reading the folder), 0
// for none. Returns for each row whether its new name held, when the run began, an entry that a row
// renames: only then can a later row of that name be given the entry this row moves there.
std::vector<bool> listInodes(const std::string& folder, std::vector<JournalRow>& rows, const Listing* listing) {
    std::vector<bool> takenAtStart(rows.size(), false);
    const RowsByName byOld(rows, &JournalRow::oldName);
    if (listing) {
        for (JournalRow& row : rows) {
            if (const EntryId* id = listing->allNames.find(row.oldName)) row.ino = id->ino;
        }
    } else if (DIR* d = ::opendir(folder.c_str())) {
        while (const dirent* e = ::readdir(d)) {
            const std::string_view name = e->d_name;
            byOld.forEach(name, RowsByName::hashOf(name), [&](std::size_t k) { rows[k].ino = e->d_ino; });
        }
        ::closedir(d);
    }
    for (std::size_t k = 0; k < rows.size(); ++k) {
        byOld.forEach(rows[k].newName, RowsByName::hashOf(rows[k].newName),
                      [&](std::size_t other) { takenAtStart[k] = takenAtStart[k] || rows[other].ino != 0; });
    }
    return takenAtStart;
}

}  // namespace

std::vector<JournalRow> RunRecorder::planRows(const std::string& folder, RenameFolder& dir,
                                              std::vector<JournalRow> rows, const Listing* listing) {
    // One pass over the folder (or the listing of it that still holds) gives every inode far cheaper
    // than an lstat per entry, which would cost a good part of what the renames themselves cost. Each
    // name read is matched against the rows' old names, so the folder's names need not be kept; until
    // the rows are gone through below, a row's inode is the one listed under its old name, 0 for none.
    for (JournalRow& row : rows) row.dev = row.ino = 0;
    const Result<struct stat> folderStat = dir.identify(".");
    const bool folderKnown = bool(folderStat);
    const std::uint64_t dev = folderKnown ? folderStat->st_dev : 0;
    // A listing serves only for the very folder open here, and only a whole one.
    const bool fromListing = listing && folderKnown && !listing->failure && !listing->truncated &&
                             listing->folderId == EntryId{folderStat->st_dev, folderStat->st_ino};
    const std::vector<bool> takenAtStart = listInodes(folder, rows, fromListing ? listing : nullptr);

    // Where the folder's own listing does not give the inode that lstat gives (an overlay, a mount
    // point), every entry is asked on its own.
    bool trustListing = true, verified = false;
    // Names an earlier row moved an entry to, where that name was taken when the run began.
    std::unordered_map<std::string_view, std::pair<std::uint64_t, std::uint64_t>> movedOnto;
    for (std::size_t k = 0; k < rows.size(); ++k) {
        JournalRow& row = rows[k];
        const std::uint64_t listed = row.ino;
        row.ino = 0;
        const auto earlier = movedOnto.empty() ? movedOnto.end() : movedOnto.find(row.oldName);
        if (earlier != movedOnto.end()) {
            std::tie(row.dev, row.ino) = earlier->second;
        } else if (listed != 0 && trustListing && verified) {
            row.dev = dev;
            row.ino = listed;
        } else if (listed == 0 && !followChain(rows, k)) {
            if (const Result<struct stat> st = dir.identify(row.oldName)) row.dev = st->st_dev, row.ino = st->st_ino;
        } else if (listed != 0) {
            if (const Result<struct stat> st = dir.identify(row.oldName)) {
                row.dev = st->st_dev;
                row.ino = st->st_ino;
                trustListing = trustListing && st->st_ino == listed && st->st_dev == dev;
                verified = true;
            }
        }
        if (takenAtStart[k]) movedOnto[row.newName] = {row.dev, row.ino};
    }
    return rows;
}

std::optional<Failure> RunRecorder::begin(RenameFolder& dir, const std::string& folder, std::vector<JournalRow> rows,
                                          const std::string& undoes) {
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    char id[64];
    std::tm tm{};
    gmtime_r(&now.tv_sec, &tm);
    const int n =
        std::snprintf(id, sizeof id, "%04d%02d%02d-%02d%02d%02d-%06ld-%ld", tm.tm_year + 1900, tm.tm_mon + 1,
                      tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, now.tv_nsec / 1000, static_cast<long>(getpid()));
    journal_ = Journal{};
    journal_.id.assign(id, static_cast<std::size_t>(n));
    journal_.time = now.tv_sec;
    journal_.started = static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
    journal_.undoes = undoes;
    const Result<FolderIdentity> identity = identifyFolder(folder);
    journal_.folder = identity ? identity->path : folder;
    const Result<struct stat> st = dir.identify(".");
    if (!st) return st.failure();
    journal_.folderDev = st->st_dev;
    journal_.folderIno = st->st_ino;
    // Unique to this run, so nothing else can already carry it when a change of case needs it.
    char prefix[64];
    std::snprintf(
        prefix, sizeof prefix, ".zelvar-%llx-%ld-",
        static_cast<unsigned long long>(now.tv_sec) * 1000000ULL + static_cast<unsigned long long>(now.tv_nsec / 1000),
        static_cast<long>(getpid()));
    journal_.temporaryPrefix = prefix;
    for (JournalRow& row : rows) row.renamed = false;
    journal_.rows = std::move(rows);
    dir_ = journalFolder();
    if (std::optional<Failure> failure = writeJournal(dir_, journal_)) return failure;
    pruneJournals(dir_);
    return std::nullopt;
}

void RunRecorder::markRenamed(std::size_t k) {
    if (!journal_.rows[k].renamed) ++journal_.renamedCount;
    journal_.rows[k].renamed = true;
}

std::optional<Failure> RunRecorder::finish() {
    journal_.finished = true;
    return appendResult(dir_, journal_);
}

}  // namespace zelvar
