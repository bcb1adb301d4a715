#pragma once
// Renaming one entry inside an open folder without ever replacing an existing entry. Plain POSIX
// rename() replaces its target silently, so it is only used after every safer way was refused, and
// then right after checking that the target is absent.
#include <sys/stat.h>

#include <string>

namespace zelvar {

enum class RenameErrorKind {
    None,             // renamed
    NameNotAccepted,  // the file system does not accept the new name (or the old one)
    TargetExists,     // an entry of the new name exists
    Other,            // anything else; `message` holds the system's description
};

struct RenameOutcome {
    RenameErrorKind kind = RenameErrorKind::None;
    int error = 0;        // errno of the failing call, 0 when renamed or refused before any call
    std::string message;  // strerror(error) for Other
    bool ok() const { return kind == RenameErrorKind::None; }
};

// The system calls the safe rename uses; tests replace them to inject faults or to behave like a
// case-insensitive file system. Each returns 0 or -1 with errno set, as the real calls do.
struct SysCalls {
    virtual ~SysCalls() = default;
    virtual int renameat2(int olddirfd, const char* oldpath, int newdirfd, const char* newpath,
                          unsigned flags);
    virtual int renameat(int olddirfd, const char* oldpath, int newdirfd, const char* newpath);
    virtual int linkat(int olddirfd, const char* oldpath, int newdirfd, const char* newpath, int flags);
    virtual int unlinkat(int dirfd, const char* path, int flags);
    virtual int fstatat(int dirfd, const char* path, struct stat* st, int flags);
};
SysCalls& realSysCalls();

// An open folder that entries are renamed in.
class RenameFolder {
public:
    explicit RenameFolder(const std::string& path, SysCalls& sys = realSysCalls());
    ~RenameFolder();
    RenameFolder(const RenameFolder&) = delete;
    RenameFolder& operator=(const RenameFolder&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    int openError() const { return openError_; }

    // Renames oldName to newName (both bare names, bytes on disk) without replacing anything.
    RenameOutcome rename(const std::string& oldName, const std::string& newName);

private:
    int fd_ = -1;
    int openError_ = 0;
    SysCalls& sys_;
};

}  // namespace zelvar
