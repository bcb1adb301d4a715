#include "platform/listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>
#include <functional>
#include <stdexcept>

#include "platform/fstype.h"

namespace zelvar {

namespace {

std::string systemMessage(int error) {
    char buffer[256];
    return strerror_r(error, buffer, sizeof buffer);
}

bool isBareName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

FileTime fileTime(const struct timespec& t) {
    return {static_cast<std::int64_t>(t.tv_sec), static_cast<std::int64_t>(t.tv_nsec)};
}

bool civilTime(time_t seconds, DateTime& out) {
    struct tm tm;
    if (!localtime_r(&seconds, &tm)) return false;
    out = DateTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
    return true;
}

// What one entry is, read relative to the open folder.
struct Inspected {
    bool gone = false;      // it vanished since the folder was read
    bool readable = false;  // `self` and `dated` hold its facts
    bool isDir = false;
    struct stat self;   // the entry itself, a link not followed
    struct stat dated;  // what it counts as: a working link's target, else the entry itself
};

Inspected inspect(int folderFd, const char* name, unsigned char type) {
    Inspected facts;
    if (fstatat(folderFd, name, &facts.self, AT_SYMLINK_NOFOLLOW) != 0) {
        facts.gone = errno == ENOENT;
        facts.isDir = type == DT_DIR;
        return facts;
    }
    facts.readable = true;
    facts.dated = facts.self;
    // A dangling or looping link stays what it is: a file with its own date.
    if (S_ISLNK(facts.self.st_mode)) {
        struct stat target;
        if (fstatat(folderFd, name, &target, 0) == 0) facts.dated = target;
    }
    facts.isDir = S_ISDIR(facts.dated.st_mode);
    return facts;
}

// The kind as the folder itself tells it, when it does so without a stat.
std::optional<bool> folderByType(unsigned char type) {
    if (type == DT_UNKNOWN || type == DT_LNK) return std::nullopt;
    return type == DT_DIR;
}

bool kindWanted(int optFile, bool isDir) {
    if (optFile == 1) return isDir;
    if (optFile == 2) return true;
    return !isDir;
}

ListedEntry listedEntry(const char* name, bool isDir, const Inspected& facts, EntryId fallbackId) {
    ListedEntry entry;
    entry.name = name;
    entry.isDir = isDir;
    entry.id = fallbackId;
    if (facts.readable) {
        entry.id = EntryId{facts.self.st_dev, facts.self.st_ino};
        if (civilTime(facts.dated.st_mtim.tv_sec, entry.date))
            entry.mtime = fileTime(facts.dated.st_mtim);
        else
            entry.date = DateTime{};
    }
    return entry;
}

// Reads the open folder to its end into `out`. Every name is collected first and put into the
// table of all names at the end: filling the table between the system calls, with cold caches,
// costs more than the calls themselves.
void readFolder(DIR* dir, std::size_t expected, dev_t folderDev, const NameMask& mask, int optFile, std::size_t limit,
                bool dates, Listing& out) {
    const int fd = dirfd(dir);
    NameTable& all = out.allNames;
    all.reserve(expected);
    out.entries.reserve(std::min(expected, limit));
    bool collecting = true;
    for (;;) {
        errno = 0;
        const dirent* d = readdir(dir);
        if (d == nullptr) {
            if (errno != 0) {
                out.failed = true;
                out.error = systemMessage(errno);
            }
            break;
        }
        const char* name = d->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;
        // Every name counts for the existence test; the folder's d_ino serves where no stat is made.
        all.add(name, EntryId{folderDev, d->d_ino});
        if (!collecting) continue;
        if (!mask.matchesEverything() && !mask.matches(fromUtf8(name))) continue;
        if (d->d_type == DT_LNK) out.changesElsewhere = true;

        Inspected facts;
        bool inspected = false;
        std::optional<bool> isDir = folderByType(d->d_type);
        if (!isDir) {
            facts = inspect(fd, name, d->d_type);
            inspected = true;
            isDir = facts.isDir;
        }
        if (!facts.gone && !kindWanted(optFile, *isDir)) continue;
        if (!facts.gone && out.entries.size() >= limit) {
            out.truncated = true;
            collecting = false;
            continue;
        }
        if (!inspected && dates) facts = inspect(fd, name, d->d_type);
        if (facts.readable &&
            (S_ISLNK(facts.self.st_mode) || (!S_ISDIR(facts.self.st_mode) && facts.self.st_nlink > 1)))
            out.changesElsewhere = true;
        if (facts.gone) {
            all.dropLast();
            continue;
        }
        out.entries.push_back(listedEntry(name, *isDir, facts, all.lastEntry()));
        all.lastEntry() = out.entries.back().id;
    }
    all.index();
}

}  // namespace

std::optional<EntryId> Listing::existing(const std::string& name) const {
    if (const EntryId* id = allNames.find(name)) return *id;
    if (!caseInsensitive || !isBareName(name)) return std::nullopt;
    struct stat st;
    if (fstatat(AT_FDCWD, (folderPrefix(folder) + name).c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return std::nullopt;
    if (const auto it = byFoldedName.find(toUtf8(toLower(fromUtf8(name)))); it != byFoldedName.end()) return it->second;
    return EntryId{st.st_dev, st.st_ino};
}

NameTable::NameTable(std::initializer_list<value_type> names) {
    reserve(names.size());
    for (const auto& [name, id] : names) add(name, id);
    index();
}

void NameTable::reserve(std::size_t names) {
    ends_.reserve(names);
    ids_.reserve(names);
}

void NameTable::add(std::string_view name, EntryId id) {
    text_ += name;
    ends_.push_back(static_cast<std::uint32_t>(text_.size()));
    ids_.push_back(id);
}

void NameTable::dropLast() {
    ends_.pop_back();
    ids_.pop_back();
    text_.resize(ends_.empty() ? 0 : ends_.back());
}

void NameTable::index() {
    std::size_t capacity = 16;
    while (capacity < 2 * ids_.size()) capacity <<= 1;
    slots_.assign(capacity, 0);
    // A name met again is dropped, and the names after it move up over it.
    std::size_t kept = 0, from = 0, to = 0;
    for (std::size_t k = 0; k < ids_.size(); ++k) {
        const std::size_t start = from, end = ends_[k];
        from = end;
        const std::size_t s = slotOf(std::string_view(text_).substr(start, end - start));
        if (slots_[s] != 0) continue;
        if (to != start) std::copy(text_.begin() + start, text_.begin() + end, text_.begin() + to);
        to += end - start;
        ends_[kept] = static_cast<std::uint32_t>(to);
        ids_[kept] = ids_[k];
        slots_[s] = static_cast<std::uint32_t>(++kept);
    }
    text_.resize(to);
    ends_.resize(kept);
    ids_.resize(kept);
    text_.shrink_to_fit();
    ends_.shrink_to_fit();
    ids_.shrink_to_fit();
}

// The slot that holds the name, or the free one where it would go.
std::size_t NameTable::slotOf(std::string_view name) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t s = std::hash<std::string_view>()(name) & mask;; s = (s + 1) & mask) {
        if (slots_[s] == 0 || this->name(slots_[s] - 1) == name) return s;
    }
}

const EntryId* NameTable::find(std::string_view name) const {
    if (slots_.empty()) return nullptr;
    const std::uint32_t at = slots_[slotOf(name)];
    return at == 0 ? nullptr : &ids_[at - 1];
}

const EntryId& NameTable::at(std::string_view name) const {
    if (const EntryId* id = find(name)) return *id;
    throw std::out_of_range("no such name in the folder");
}

std::string folderPrefix(const std::string& folder) {
    if (!folder.empty() && folder.back() == '/') return folder;
    return folder + "/";
}

Listing listFolder(const std::string& folder, const Text& masks, int optFile, std::size_t limit, bool dates) {
    const int fd = folder.find('\0') == std::string::npos ? open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)
                                                          : (errno = EINVAL, -1);
    if (fd < 0) {
        Listing out;
        out.folder = folder;
        out.failed = true;
        out.error = systemMessage(errno);
        return out;
    }
    Listing out = listFolderAt(fd, folder, masks, optFile, limit, dates);
    close(fd);
    return out;
}

bool sameFolder(const std::string& path, const EntryId& listed) {
    struct stat now;
    return path.find('\0') == std::string::npos && stat(path.c_str(), &now) == 0 && S_ISDIR(now.st_mode) &&
           EntryId{now.st_dev, now.st_ino} == listed;
}

Listing listFolderAt(int folderFd, const std::string& folder, const Text& masks, int optFile, std::size_t limit,
                     bool dates) {
    Listing out;
    out.folder = folder;
    // A descriptor of its own, as closedir closes it. An O_PATH one cannot be read: "." opened
    // through it can (that needs search permission, a duplicate does not).
    const int flags = fcntl(folderFd, F_GETFL);
    const int fd = flags < 0          ? -1
                   : (flags & O_PATH) ? openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)
                                      : fcntl(folderFd, F_DUPFD_CLOEXEC, 0);
    DIR* dir = fd >= 0 ? fdopendir(fd) : nullptr;
    if (dir != nullptr) rewinddir(dir);  // a duplicate shares the position of the given descriptor
    if (dir == nullptr) {
        out.failed = true;
        out.error = systemMessage(errno);
        if (fd >= 0) close(fd);
        return out;
    }
    struct stat self {};
    const dev_t folderDev = fstat(fd, &self) == 0 ? self.st_dev : 0;
    out.folderId = EntryId{self.st_dev, self.st_ino};
    // File systems give a folder a size of roughly 16 to 32 bytes per entry; a guess saves regrowing.
    const std::size_t expected = std::min<std::size_t>(self.st_size > 0 ? self.st_size / 16 : 0, 1 << 20);
    out.caseInsensitive = folderFoldsCase(fd);
    if (const long max = fpathconf(fd, _PC_NAME_MAX); max > 0) out.nameMax = static_cast<std::size_t>(max);
    tzset();  // dates follow the time zone in force now, not the one of the first listing
    readFolder(dir, expected, folderDev, NameMask(masks), optFile, limit, dates, out);
    closedir(dir);
    if (out.caseInsensitive) {
        out.byFoldedName.reserve(out.allNames.size());
        for (const auto& [name, id] : out.allNames) out.byFoldedName.emplace(toUtf8(toLower(fromUtf8(name))), id);
    }
    return out;
}

}  // namespace zelvar
