#include "platform/saferename.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

namespace zelvar {

namespace {

constexpr int kTemporaryAttempts = 32;

std::string systemMessage(int error) {
    char buffer[256];
    return strerror_r(error, buffer, sizeof buffer);
}

RenameOutcome outcomeOf(int error) {
    RenameOutcome outcome;
    outcome.error = error;
    switch (error) {
    case 0:
        return outcome;
    case EEXIST:
    case ENOTEMPTY:
        outcome.kind = RenameErrorKind::TargetExists;
        return outcome;
    case EINVAL:
    case EILSEQ:
    case ENAMETOOLONG:
        outcome.kind = RenameErrorKind::NameNotAccepted;
        return outcome;
    default:
        outcome.kind = RenameErrorKind::Other;
        outcome.message = systemMessage(error);
        return outcome;
    }
}

RenameOutcome refused(RenameErrorKind kind) {
    RenameOutcome outcome;
    outcome.kind = kind;
    return outcome;
}

bool acceptableName(const std::string& name, long nameMax) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos && static_cast<long>(name.size()) <= nameMax;
}

// Errors of renameat2 that say the flag is not understood, not that the rename is wrong.
bool noReplaceUnsupported(int error) { return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP; }

// Errors of linkat that say this entry cannot get a second name here (a folder, FAT, some FUSE).
bool linkRefused(int error) {
    return error == EPERM || error == EOPNOTSUPP || error == ENOSYS || error == EMLINK;
}

std::string temporaryName(int attempt) {
    static std::atomic<unsigned> serial{0};
    char name[64];
    std::snprintf(name, sizeof name, ".zelvar-%ld-%u-%d.tmp", static_cast<long>(getpid()),
                  serial.fetch_add(1), attempt);
    return name;
}

}  // namespace

int SysCalls::renameat2(int olddirfd, const char* oldpath, int newdirfd, const char* newpath,
                        unsigned flags) {
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

SysCalls& realSysCalls() {
    static SysCalls calls;
    return calls;
}

RenameFolder::RenameFolder(const std::string& path, SysCalls& sys) : sys_(sys) {
    // O_PATH: renaming needs write and search permission on the folder, not read permission.
    if (path.find('\0') != std::string::npos) {
        openError_ = EINVAL;
        return;
    }
    fd_ = ::open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0) {
        openError_ = errno;
        return;
    }
    const long max = fpathconf(fd_, _PC_NAME_MAX);
    if (max > 0) nameMax_ = max;
}

RenameFolder::~RenameFolder() {
    if (fd_ >= 0) ::close(fd_);
}

RenameOutcome RenameFolder::rename(const std::string& oldName, const std::string& newName,
                                   const std::string& temporary) {
    if (!acceptableName(oldName, nameMax_) || !acceptableName(newName, nameMax_) ||
        (!temporary.empty() && !acceptableName(temporary, nameMax_)))
        return refused(RenameErrorKind::NameNotAccepted);
    if (oldName == newName) return refused(RenameErrorKind::TargetExists);
    if (!isOpen()) {
        // Whatever kept the folder closed concerns the folder, not the names.
        RenameOutcome outcome;
        outcome.kind = RenameErrorKind::Other;
        outcome.error = openError_ != 0 ? openError_ : EBADF;
        outcome.message = systemMessage(outcome.error);
        return outcome;
    }

    const int error = renameNoReplace(oldName.c_str(), newName.c_str());
    if (error == EEXIST && sameEntryByFolding(oldName, newName))
        return renameThroughTemporary(oldName, newName, temporary);
    return outcomeOf(error);
}

int RenameFolder::identify(const std::string& name, struct stat& st) {
    if (!isOpen()) return openError_ != 0 ? openError_ : EBADF;
    return sys_.fstatat(fd_, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 ? 0 : errno;
}

int RenameFolder::removeName(const std::string& name, bool folder) {
    if (!isOpen()) return openError_ != 0 ? openError_ : EBADF;
    return sys_.unlinkat(fd_, name.c_str(), folder ? AT_REMOVEDIR : 0) == 0 ? 0 : errno;
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
    return checkThenRename(from, to);
}

int RenameFolder::checkThenRename(const char* from, const char* to) {
    struct stat st;
    if (sys_.fstatat(fd_, to, &st, AT_SYMLINK_NOFOLLOW) == 0) return EEXIST;
    if (errno != ENOENT) return errno;
    // The last resort replaces whatever appeared under `to` after the check. No call on such a file
    // system closes that gap; nothing runs between the two calls, so it is one system call wide.
    if (sys_.renameat(fd_, from, fd_, to) == 0) return 0;
    return errno;
}

// True when `newName` reached the very entry of `oldName` only because the file system folds case:
// the same device and inode, and no entry of the folder carries exactly the new bytes.
bool RenameFolder::sameEntryByFolding(const std::string& oldName, const std::string& newName) {
    struct stat oldStat, newStat;
    if (sys_.fstatat(fd_, oldName.c_str(), &oldStat, AT_SYMLINK_NOFOLLOW) != 0 ||
        sys_.fstatat(fd_, newName.c_str(), &newStat, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    if (oldStat.st_dev != newStat.st_dev || oldStat.st_ino != newStat.st_ino) return false;
    // An entry with one name cannot have a second one of exactly the new bytes; only files with
    // several hard links need the folder read.
    if (S_ISDIR(oldStat.st_mode) || oldStat.st_nlink <= 1) return true;
    return !hasExactEntry(newName);
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
        outcome.message = systemMessage(EEXIST);
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
