#include "platform/saferename.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

#include "engine/text.h"
#include "platform/fstype.h"

namespace zelvar {

namespace {

constexpr int kTemporaryAttempts = 32;

RenameOutcome outcomeOf(int error) {
    RenameOutcome outcome;
    outcome.failure.error = error;
    switch (error) {
        case 0: return outcome;
        case EEXIST:
        case ENOTEMPTY: outcome.kind = RenameErrorKind::TargetExists; return outcome;
        case EINVAL:
        case EILSEQ:
        case ENAMETOOLONG: outcome.kind = RenameErrorKind::NameNotAccepted; return outcome;
        default: outcome.kind = RenameErrorKind::Other; return outcome;
    }
}

RenameOutcome refused(RenameErrorKind kind) {
    RenameOutcome outcome;
    outcome.kind = kind;
    return outcome;
}

bool acceptableName(const std::string& name, long nameMax) {
    return !name.empty() && name != "." && name != ".." && static_cast<long>(name.size()) <= nameMax &&
           std::none_of(name.begin(), name.end(), [](char c) { return c == '/' || c == '\0'; });
}

// A name of one entry of the folder, or "." for the folder itself where that is asked for: never a
// path that leads out of it.
bool entryOrFolder(const std::string& name, bool folderToo) {
    if (name == ".") return folderToo;
    return !name.empty() && name != ".." && name.find_first_of(std::string_view("/\0", 2)) == std::string::npos;
}

// Errors of renameat2 that say the flag is not understood, not that the rename is wrong.
bool noReplaceUnsupported(int error) { return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP; }

// Errors of linkat that say this entry cannot get a second name here (a folder, FAT, some FUSE).
bool linkRefused(int error) { return error == EPERM || error == EOPNOTSUPP || error == ENOSYS || error == EMLINK; }

// Errors of a rename onto an existing empty folder that say the file system does not replace one.
bool replaceRefused(int error) { return error == EPERM || error == EEXIST || error == ENOTEMPTY || error == EBUSY; }

std::string temporaryName(int attempt) {
    static std::atomic<unsigned> serial{0};
    char name[64];
    std::snprintf(name, sizeof name, ".zelvar-%ld-%u-%d.tmp", static_cast<long>(getpid()), serial.fetch_add(1),
                  attempt);
    return name;
}

}  // namespace

int SysCalls::renameat2(int olddirfd, const char* oldpath, int newdirfd, const char* newpath, unsigned flags) {
    return ::renameat2(olddirfd, oldpath, newdirfd, newpath, flags);
}
int SysCalls::renameat(int olddirfd, const char* oldpath, int newdirfd, const char* newpath) {
    return ::renameat(olddirfd, oldpath, newdirfd, newpath);
}
int SysCalls::linkat(int olddirfd, const char* oldpath, int newdirfd, const char* newpath, int flags) {
    return ::linkat(olddirfd, oldpath, newdirfd, newpath, flags);
}
int SysCalls::unlinkat(int dirfd, const char* path, int flags) { return ::unlinkat(dirfd, path, flags); }
int SysCalls::fstatat(int dirfd, const char* path, struct stat* st, int flags) {
    return ::fstatat(dirfd, path, st, flags);
}
int SysCalls::openat(int dirfd, const char* path, int flags, mode_t mode) { return ::openat(dirfd, path, flags, mode); }
int SysCalls::mkdirat(int dirfd, const char* path, mode_t mode) { return ::mkdirat(dirfd, path, mode); }
int SysCalls::statx(int dirfd, const char* path, int flags, unsigned mask, struct statx* sx) {
#ifdef STATX_BTIME
    return ::statx(dirfd, path, flags, mask, sx);
#else
    (void)dirfd, (void)path, (void)flags, (void)mask, (void)sx;
    errno = ENOSYS;
    return -1;
#endif
}
bool SysCalls::foldsCase(int dirfd) { return folderFoldsCase(dirfd); }
bool SysCalls::keepsModes(int dirfd) { return folderKeepsModes(dirfd); }
bool SysCalls::countsLinks(int dirfd) { return folderCountsLinks(dirfd); }

SysCalls& realSysCalls() {
    static SysCalls calls;
    return calls;
}

RenameFolder::RenameFolder(const std::string& path, SysCalls& sys) : sys_(sys) {
    // O_PATH: renaming needs write and search permission on the folder, not read permission.
    if (path.find('\0') != std::string::npos) {
        openError_ = Failure{EINVAL};
        return;
    }
    fd_ = ::open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0) {
        openError_ = Failure{errno};
        return;
    }
    learnFolder();
}

RenameFolder::RenameFolder(int folderFd, SysCalls& sys) : sys_(sys) {
    fd_ = ::fcntl(folderFd, F_DUPFD_CLOEXEC, 0);
    if (fd_ < 0) {
        openError_ = Failure{errno};
        return;
    }
    learnFolder();
}

void RenameFolder::learnFolder() {
    const long max = fpathconf(fd_, _PC_NAME_MAX);
    if (max > 0) nameMax_ = max;
    foldsCase_ = sys_.foldsCase(fd_);
}

RenameFolder::~RenameFolder() {
    if (lockFd_ >= 0) ::close(lockFd_);
    if (fd_ >= 0) ::close(fd_);
}

bool RenameFolder::lockRun() {
    if (fd_ < 0 || lockFd_ >= 0) return true;
    // A descriptor of its own: fd_ is O_PATH, which flock refuses, and may share its open file with
    // the caller's listing descriptor.
    lockFd_ = ::openat(fd_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (lockFd_ < 0) return true;
    if (::flock(lockFd_, LOCK_EX | LOCK_NB) == 0) return true;
    const bool busy = errno == EWOULDBLOCK;
    ::close(lockFd_);
    lockFd_ = -1;
    return !busy;
}

RenameOutcome RenameFolder::rename(const std::string& oldName, const std::string& newName,
                                   const TemporaryName& temporary) {
    if (!acceptableName(oldName, nameMax_) || !acceptableName(newName, nameMax_))
        return refused(RenameErrorKind::NameNotAccepted);
    if (oldName == newName) return refused(RenameErrorKind::TargetExists);
    if (!isOpen()) {
        // Whatever kept the folder closed concerns the folder, not the names.
        RenameOutcome outcome;
        outcome.kind = RenameErrorKind::Other;
        outcome.failure = closedFolder();
        return outcome;
    }

    if (!foldsCase_ && takenByCaseVariant(oldName, newName)) return outcomeOf(EEXIST);
    const int error = renameNoReplace(oldName.c_str(), newName.c_str());
    if (error == 0) noteRenamed(oldName, newName);
    if (error == EEXIST && (sameEntryByFolding(oldName, newName) || sameNameByFolding(oldName, newName))) {
        const std::string chosen = temporary ? temporary() : std::string();
        if (!chosen.empty() && !acceptableName(chosen, nameMax_)) return refused(RenameErrorKind::NameNotAccepted);
        return renameThroughTemporary(oldName, newName, chosen);
    }
    return outcomeOf(error);
}

Failure RenameFolder::closedFolder() const { return openError_.value_or(Failure{EBADF}); }

Result<struct stat> RenameFolder::identify(const std::string& name) {
    if (!isOpen()) return closedFolder();
    if (!entryOrFolder(name, true)) return Failure{EINVAL};
    struct stat st;
    if (sys_.fstatat(fd_, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return Failure{errno};
    return st;
}

std::int64_t RenameFolder::birthTime(const std::string& name) {
#ifdef STATX_BTIME
    struct statx sx;
    if (isOpen() && entryOrFolder(name, true) &&
        sys_.statx(fd_, name.c_str(), AT_SYMLINK_NOFOLLOW, STATX_BTIME, &sx) == 0 && (sx.stx_mask & STATX_BTIME) != 0)
        return static_cast<std::int64_t>(sx.stx_btime.tv_sec) * 1000000000 + sx.stx_btime.tv_nsec;
#else
    (void)name;
#endif
    return 0;
}

std::optional<Failure> RenameFolder::removeName(const std::string& name, bool folder) {
    if (!isOpen()) return closedFolder();
    if (!entryOrFolder(name, false)) return Failure{EINVAL};
    if (sys_.unlinkat(fd_, name.c_str(), folder ? AT_REMOVEDIR : 0) != 0) return Failure{errno};
    return std::nullopt;
}

// One rename that never replaces an entry: 0 or the errno of the call that decided.
int RenameFolder::renameNoReplace(const char* from, const char* to) {
    if (sys_.renameat2(fd_, from, fd_, to, RENAME_NOREPLACE) == 0) return 0;
    const int renameError = errno;
    if (!noReplaceUnsupported(renameError)) return renameError;

    // A link fails when the target exists, so link-then-unlink cannot replace anything.
    if (sys_.linkat(fd_, from, fd_, to, 0) == 0) {
        if (sys_.unlinkat(fd_, from, 0) == 0) return 0;
        const int unlinkError = errno;
        sys_.unlinkat(fd_, to, 0);  // back to the one old name
        return unlinkError;
    }
    const int linkError = errno;
    if (!linkRefused(linkError)) return linkError;
    return reserveThenRename(from, to);
}

// The last resort, where neither a refusing rename nor a link is to be had (FAT through FUSE,
// folders on most FUSE file systems): the new name is taken first by a placeholder that only this
// call can have made (created exclusively), and the plain rename replaces nothing but that
// placeholder, checked right before to be still the same empty entry. Whatever fails after it was
// made removes it again, as long as it is still ours. What remains open: a program that, in the
// instant between the last check and the rename, writes into the placeholder or removes it and
// puts an entry of its own there loses what it wrote (one system call wide, and only by using or
// deleting a file it did not make); a folder placeholder swapped for another empty folder right after it was made counts as
// ours, and an empty folder is all such a swap can lose.
int RenameFolder::reserveThenRename(const char* from, const char* to) {
    struct stat source;
    if (sys_.fstatat(fd_, from, &source, AT_SYMLINK_NOFOLLOW) != 0) return errno;
    const bool folder = S_ISDIR(source.st_mode);

    struct stat mine;
    if (folder) {
        if (sys_.mkdirat(fd_, to, 0700) != 0) return errno;
        if (sys_.fstatat(fd_, to, &mine, AT_SYMLINK_NOFOLLOW) != 0) {
            const int error = errno;
            sys_.unlinkat(fd_, to, AT_REMOVEDIR);  // removes nothing but an empty folder
            return error;
        }
    } else {
        const int fd = sys_.openat(fd_, to, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) return errno;
        const int statResult = ::fstat(fd, &mine);
        const int error = errno;
        ::close(fd);
        if (statResult != 0) {
            // Unknown which entry is ours: an empty file of that name is at most our own.
            struct stat now;
            if (sys_.fstatat(fd_, to, &now, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(now.st_mode) && now.st_size == 0)
                sys_.unlinkat(fd_, to, 0);
            return error;
        }
    }

    int error = EEXIST;  // the placeholder is no longer ours: someone else holds the name
    if (stillPlaceholder(to, mine, folder)) {
        if (sys_.renameat(fd_, from, fd_, to) == 0) return 0;
        error = errno;
        if (stillPlaceholder(to, mine, folder)) {
            if (folder && replaceRefused(error)) return renameWithoutPlaceholder(from, to);
            sys_.unlinkat(fd_, to, folder ? AT_REMOVEDIR : 0);
        }
    }
    return error;
}

// Some file systems (FAT through FUSE) refuse to rename a folder onto an existing one, even an empty
// one: the own placeholder goes again, and the folder is renamed once the name is seen to be free.
// What remains open: an empty folder another program makes under the new name between that check
// and the rename is replaced (a folder with entries, a file or a link makes the rename fail), so an
// empty folder is all this window of one system call can lose. Only folders go this way: a file
// renamed so would replace a file made in that window, and what it held.
int RenameFolder::renameWithoutPlaceholder(const char* from, const char* to) {
    if (sys_.unlinkat(fd_, to, AT_REMOVEDIR) != 0) return errno;  // removes nothing but an empty folder
    struct stat now;
    if (sys_.fstatat(fd_, to, &now, AT_SYMLINK_NOFOLLOW) == 0) return EEXIST;
    if (errno != ENOENT) return errno;
    return sys_.renameat(fd_, from, fd_, to) == 0 ? 0 : errno;
}

// The entry under `name` is the placeholder made as `mine`, and nothing was written into it.
bool RenameFolder::stillPlaceholder(const char* name, const struct stat& mine, bool folder) {
    struct stat now;
    if (sys_.fstatat(fd_, name, &now, AT_SYMLINK_NOFOLLOW) != 0) return false;
    if (now.st_dev != mine.st_dev || now.st_ino != mine.st_ino) return false;
    // A folder that got entries meanwhile is refused by the rename itself.
    return folder ? S_ISDIR(now.st_mode) : S_ISREG(now.st_mode) && now.st_size == 0;
}

// True when `newName` reached the very entry of `oldName` only because the file system folds case:
// the same device and inode, and no entry of the folder carries exactly the new bytes.
bool RenameFolder::sameEntryByFolding(const std::string& oldName, const std::string& newName) {
    struct stat oldStat, newStat;
    if (sys_.fstatat(fd_, oldName.c_str(), &oldStat, AT_SYMLINK_NOFOLLOW) != 0 ||
        sys_.fstatat(fd_, newName.c_str(), &newStat, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    if (oldStat.st_dev != newStat.st_dev || oldStat.st_ino != newStat.st_ino) return false;
    // A folder has one name, and so has a file with one link where the count can be trusted. Else
    // the file may have a second name of exactly the new bytes: the folder's own entries tell, not
    // the link count, which FUSE may show stale or hide (bindfs --hide-hard-links). Reading the
    // folder for every rename would make renaming a big folder quadratic on FAT or exFAT.
    if (S_ISDIR(oldStat.st_mode)) return true;
    if (!countsLinks_) countsLinks_ = sys_.countsLinks(fd_);
    if (oldStat.st_nlink <= 1 && *countsLinks_) return true;
    return !hasExactEntry(newName);
}

// Where the file system folds case but names its entries differently on each lookup (FUSE file
// systems without inode numbers of their own), the names alone tell: they differ only in letter
// case and no entry carries exactly the new bytes. Two temporary steps cannot replace anything
// if this guess is wrong.
bool RenameFolder::sameNameByFolding(const std::string& oldName, const std::string& newName) {
    return foldsCase_ && toLower(fromUtf8(oldName)) == toLower(fromUtf8(newName)) && !hasExactEntry(newName);
}

// Where letter case matters, a name that differs from an entry only in case would still make two
// names nobody can tell apart (nor copy to a folding file system), so it counts as taken, except by
// the entry that is renamed. The folder is read once, at the first rename, and the renames made
// through this object are kept up with; a variant is asked for again before it refuses a rename, as
// another program may have removed it since. One that another program makes meanwhile is not seen.
// An entry of exactly the new bytes is left to the rename itself, which refuses it without a race.
bool RenameFolder::takenByCaseVariant(const std::string& oldName, const std::string& newName) {
    if (!folded_) {
        folded_.emplace();
        const int fd = ::openat(fd_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        DIR* dir = fd >= 0 ? fdopendir(fd) : nullptr;
        if (dir == nullptr) {
            if (fd >= 0) ::close(fd);
            return false;
        }
        while (const dirent* d = readdir(dir)) {
            const std::string_view name = d->d_name;
            if (name != "." && name != "..") (*folded_)[lowered(std::string(name))].emplace_back(name);
        }
        closedir(dir);
    }
    const auto it = folded_->find(lowered(newName));
    if (it == folded_->end()) return false;
    struct stat st;
    return std::ranges::any_of(it->second, [&](const std::string& name) {
        return name != newName && name != oldName && sys_.fstatat(fd_, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
    });
}

// Keeps the names read for the case check up with a rename made through this object.
void RenameFolder::noteRenamed(const std::string& oldName, const std::string& newName) {
    if (!folded_) return;
    if (const auto it = folded_->find(lowered(oldName)); it != folded_->end()) {
        std::erase(it->second, oldName);
        if (it->second.empty()) folded_->erase(it);
    }
    (*folded_)[lowered(newName)].push_back(newName);
}

std::string RenameFolder::lowered(const std::string& name) { return toUtf8(toLower(fromUtf8(name))); }

bool RenameFolder::keepsModes() {
    if (!keepsModes_) keepsModes_ = !isOpen() || sys_.keepsModes(fd_);
    return *keepsModes_;
}

bool RenameFolder::isEmptyFolder(const std::string& name) const {
    if (!isOpen() || !entryOrFolder(name, false)) return false;
    const int fd = ::openat(fd_, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    DIR* dir = fd >= 0 ? fdopendir(fd) : nullptr;
    if (dir == nullptr) {
        if (fd >= 0) ::close(fd);
        return false;
    }
    bool empty = true;
    while (const dirent* d = readdir(dir)) {
        const std::string_view entry = d->d_name;
        if (entry != "." && entry != "..") {
            empty = false;
            break;
        }
    }
    closedir(dir);
    return empty;
}

bool RenameFolder::hasExactEntry(const std::string& name) const {
    const int fd = ::openat(fd_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = fd >= 0 ? fdopendir(fd) : nullptr;
    if (dir == nullptr) {
        if (fd >= 0) ::close(fd);
        return true;  // unknown: treat the name as taken
    }
    bool found = false;
    while (const dirent* d = readdir(dir)) {
        if (name == d->d_name) {
            found = true;
            break;
        }
    }
    closedir(dir);
    return found;
}

// Both steps refuse to replace, so a name that appears meanwhile stops the change, never the entry.
// A caller-chosen temporary name gets one attempt: the caller recorded that name and no other.
RenameOutcome RenameFolder::renameThroughTemporary(const std::string& oldName, const std::string& newName,
                                                   const std::string& chosen) {
    std::string temporary;
    int error = EEXIST;
    const int attempts = chosen.empty() ? kTemporaryAttempts : 1;
    for (int attempt = 0; attempt < attempts && error == EEXIST; ++attempt) {
        temporary = chosen.empty() ? temporaryName(attempt) : chosen;
        error = renameNoReplace(oldName.c_str(), temporary.c_str());
    }
    if (error == EEXIST) {
        RenameOutcome outcome = outcomeOf(EEXIST);
        outcome.kind = RenameErrorKind::Other;  // only temporary names were taken, not the new name
        return outcome;
    }
    if (error != 0) return outcomeOf(error);

    error = renameNoReplace(temporary.c_str(), newName.c_str());
    if (error == 0) return outcomeOf(0);
    RenameOutcome outcome = outcomeOf(error);
    if (renameNoReplace(temporary.c_str(), oldName.c_str()) != 0) outcome.leftAs = temporary;
    return outcome;
}

}  // namespace zelvar
