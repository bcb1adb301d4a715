#pragma once
// Renaming one entry inside an open folder without ever replacing an existing entry. Plain POSIX
// rename() replaces its target silently, so it is only used after every safer way was refused, and
// then only over a placeholder of our own that holds the new name: an empty regular file (mode
// 0600) for a file or a link, an empty folder (mode 0700) for a folder. A run killed in that
// moment can leave such an empty placeholder under the new name, never anything else.
// A change of letter case alone, on a file system that folds case, goes through a temporary name
// (".zelvar-<pid>-<serial>-<attempt>.tmp") in two steps that each refuse to replace; when the second
// fails the entry gets its old name back. Names are checked before any call.
#include <sys/stat.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/failure.h"

namespace zelvar {

enum class RenameErrorKind {
    None,             // renamed
    NameNotAccepted,  // the file system does not accept the new name (or the old one)
    TargetExists,     // an entry of the new name exists
    Other,            // anything else; `failure` tells what
};

struct RenameOutcome {
    RenameErrorKind kind = RenameErrorKind::None;
    Failure failure;  // errno of the failing call, 0 when renamed or refused before any call
    // Set only when a change of letter case failed half-way and the entry could not get its old name
    // back: the temporary name it now carries, so that the user can be told where it is.
    std::string leftAs;
    bool ok() const { return kind == RenameErrorKind::None; }
};

// The system calls the safe rename uses; tests replace them to inject faults or to behave like a
// case-insensitive file system. Each returns 0 or -1 with errno set, as the real calls do.
struct SysCalls {
    virtual ~SysCalls() = default;
    virtual int renameat2(int olddirfd, const char* oldpath, int newdirfd, const char* newpath, unsigned flags);
    virtual int renameat(int olddirfd, const char* oldpath, int newdirfd, const char* newpath);
    virtual int linkat(int olddirfd, const char* oldpath, int newdirfd, const char* newpath, int flags);
    virtual int unlinkat(int dirfd, const char* path, int flags);
    virtual int fstatat(int dirfd, const char* path, struct stat* st, int flags);
    // Returns the new descriptor or -1.
    virtual int openat(int dirfd, const char* path, int flags, mode_t mode);
    virtual int mkdirat(int dirfd, const char* path, mode_t mode);
    virtual int statx(int dirfd, const char* path, int flags, unsigned mask, struct statx* sx);
    // Not a call but a fact of the folder's file system: whether it folds letter case.
    virtual bool foldsCase(int dirfd);
    // Nor is whether it keeps the permission bits an entry is made with (FAT does not).
    virtual bool keepsModes(int dirfd);
    // Nor whether an entry's link count can be trusted (FUSE may show it stale, or hide links).
    virtual bool countsLinks(int dirfd);
};
SysCalls& realSysCalls();

// An open folder that entries are renamed in.
class RenameFolder {
public:
    explicit RenameFolder(const std::string& path, SysCalls& sys = realSysCalls());
    // The folder of an open descriptor (a duplicate is kept; the caller keeps its own).
    explicit RenameFolder(int folderFd, SysCalls& sys = realSysCalls());
    ~RenameFolder();
    RenameFolder(const RenameFolder&) = delete;
    RenameFolder& operator=(const RenameFolder&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    // Why the folder could not be opened; nothing when it is open.
    const std::optional<Failure>& openError() const { return openError_; }

    // Renames oldName to newName (both bare names, bytes on disk) without replacing anything.
    // `temporary`, when given, makes the name a change of letter case passes through instead of a
    // generated one: the run journal records it beforehand, so an entry left there can be found. It
    // is asked only when such a change happens, which is almost never.
    using TemporaryName = std::function<std::string()>;
    RenameOutcome rename(const std::string& oldName, const std::string& newName, const TemporaryName& temporary = {});

    // lstat of an entry of the folder.
    Result<struct stat> identify(const std::string& name);
    // When the entry came into being, in nanoseconds since 1970; 0 where the file system keeps no such
    // time or the entry cannot be asked.
    std::int64_t birthTime(const std::string& name);
    // Removes one name of the folder (a folder with `folder` set, which must be empty): nothing, or
    // why it could not.
    std::optional<Failure> removeName(const std::string& name, bool folder);
    // True when the entry is a folder (not a link to one) that holds no entry.
    bool isEmptyFolder(const std::string& name) const;
    // True when the folder holds an entry of exactly these bytes (also where the file system folds
    // case), or when the folder cannot be read.
    bool hasExactEntry(const std::string& name) const;
    // Whether the folder's file system keeps the permission bits an entry is made with, so that a
    // placeholder shows the mode it was made with; asked once.
    bool keepsModes();
    // Takes the folder's run lock, held until this object goes: an advisory lock (flock) on a
    // descriptor of the folder itself, so every run and undo of that folder, in any process, meets
    // the same lock, and one a killed process held dies with it. Returns false only when another
    // run holds it; a folder that cannot carry a lock (no read permission, a file system without
    // flock) runs unlocked, as before.
    bool lockRun();

private:
    int renameNoReplace(const char* from, const char* to);
    int reserveThenRename(const char* from, const char* to);
    int renameWithoutPlaceholder(const char* from, const char* to);
    bool stillPlaceholder(const char* name, const struct stat& mine, bool folder);
    void learnFolder();
    bool sameEntryByFolding(const std::string& oldName, const std::string& newName);
    bool sameNameByFolding(const std::string& oldName, const std::string& newName);
    bool takenByCaseVariant(const std::string& oldName, const std::string& newName);
    void noteRenamed(const std::string& oldName, const std::string& newName);
    static std::string lowered(const std::string& name);
    Failure closedFolder() const;
    RenameOutcome renameThroughTemporary(const std::string& oldName, const std::string& newName,
                                         const std::string& chosen);

    int fd_ = -1;
    int lockFd_ = -1;
    std::optional<Failure> openError_;
    long nameMax_ = 255;
    bool foldsCase_ = false;
    std::optional<bool> keepsModes_;
    std::optional<bool> countsLinks_;
    // Where case matters, once a rename asked: the folder's names by their lower-case form.
    std::optional<std::unordered_map<std::string, std::vector<std::string>>> folded_;
    SysCalls& sys_;
};

}  // namespace zelvar
