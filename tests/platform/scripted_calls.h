#pragma once
// System calls that log every call and fail any of them on demand, on a real folder that can also
// behave like a file system that folds letter case. Shared by the tests of every folder that renames.
#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>

#include <cerrno>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/saferename.h"

namespace zelvar::testing {

// A call ("linkat") or a call on its names ("unlinkat a", "renameat2 a>b") and the errno it fails with.
using Faults = std::map<std::string, int>;

// The real calls, each logged, any of them failing on demand: first by `faults`, then by `fault`,
// which gets the call's name and its one or two names and returns the errno to fail with, or 0.
// With `folds` it behaves like a file system that folds letter case (vfat, exfat, a casefolded ext4
// folder) on top of a real folder that does not: a name reaches the entry of exactly that name, else
// the first whose name equals it ignoring ASCII case; new entries keep the letters they were given.
// With `freshInodes` as well, like FUSE without inode numbers of its own, a name reached by folding
// reports an inode number of its own.
struct ScriptedCalls : SysCalls {
    explicit ScriptedCalls(bool folding = false, Faults f = {}) : faults(std::move(f)), folds(folding) {}
    std::vector<std::string> log;
    Faults faults;
    std::function<int(const std::string& call, const std::string& from, const std::string& to)> fault;
    bool folds = false;
    bool freshInodes = false;
    int coarseTimes = 0;
    bool hiddenLinks = false;  // like bindfs --hide-hard-links: every entry shows one link
    mode_t fixedMode = 0;      // like FAT: every entry shows these permission bits, whatever it was made with

    std::optional<std::string> reach(int fd, const char* name) const {
        struct stat st;
        if (::fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) == 0) return std::string(name);
        DIR* dir = folds ? fdopendir(::openat(fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)) : nullptr;
        std::optional<std::string> found;
        while (const dirent* d = dir && !found ? readdir(dir) : nullptr)
            if (strcasecmp(d->d_name, name) == 0) found = d->d_name;
        if (dir) closedir(dir);
        return found;
    }
    std::string real(int fd, const char* name) const { return reach(fd, name).value_or(name); }
    bool failed(const std::string& call, const char* from, const char* to = "") {
        log.push_back(call + " " + from + (*to ? std::string(">") + to : ""));
        int error = faults.count(log.back()) ? faults[log.back()] : faults.count(call) ? faults[call] : 0;
        if (error == 0 && fault) error = fault(call, from, to);
        if (error != 0) errno = error;
        return error != 0;
    }
    bool taken(int fd, const char* name) const { return folds && reach(fd, name) && (errno = EEXIST); }

    int renameat2(int ofd, const char* from, int nfd, const char* to, unsigned flags) override {
        if (failed("renameat2", from, to) || ((flags & RENAME_NOREPLACE) && taken(nfd, to))) return -1;
        return SysCalls::renameat2(ofd, real(ofd, from).c_str(), nfd, to, flags);
    }
    // Like every POSIX rename, one that finds the same entry under both names does nothing at all.
    int renameat(int ofd, const char* from, int nfd, const char* to) override {
        if (failed("renameat", from, to)) return -1;
        const std::string source = real(ofd, from), target = real(nfd, to);
        struct stat a, b;
        if (::fstatat(ofd, source.c_str(), &a, AT_SYMLINK_NOFOLLOW) == 0 &&
            ::fstatat(nfd, target.c_str(), &b, AT_SYMLINK_NOFOLLOW) == 0 && a.st_ino == b.st_ino)
            return 0;
        return SysCalls::renameat(ofd, source.c_str(), nfd, target.c_str());
    }
    int linkat(int ofd, const char* from, int nfd, const char* to, int flags) override {
        if (failed("linkat", from, to) || taken(nfd, to)) return -1;
        return SysCalls::linkat(ofd, real(ofd, from).c_str(), nfd, to, flags);
    }
    int unlinkat(int fd, const char* path, int flags) override {
        return failed("unlinkat", path) ? -1 : SysCalls::unlinkat(fd, real(fd, path).c_str(), flags);
    }
    int fstatat(int fd, const char* path, struct stat* st, int flags) override {
        if (failed("fstatat", path)) return -1;
        const std::string target = real(fd, path);
        const int result = SysCalls::fstatat(fd, target.c_str(), st, flags);
        if (result == 0 && freshInodes && target != path) st->st_ino ^= 0x4000000;
        if (result == 0 && hiddenLinks) st->st_nlink = 1;
        if (result == 0 && fixedMode != 0) st->st_mode = (st->st_mode & S_IFMT) | fixedMode;
        if (result == 0 && coarseTimes > 0) {
            for (struct timespec* t : {&st->st_atim, &st->st_mtim, &st->st_ctim}) {
                t->tv_sec -= t->tv_sec % coarseTimes;
                t->tv_nsec = 0;
            }
        }
        return result;
    }
    int openat(int fd, const char* path, int flags, mode_t mode) override {
        if (failed("openat", path) || ((flags & O_EXCL) && taken(fd, path))) return -1;
        return SysCalls::openat(fd, path, flags, mode);
    }
    int mkdirat(int fd, const char* path, mode_t mode) override {
        if (failed("mkdirat", path) || taken(fd, path)) return -1;
        return SysCalls::mkdirat(fd, path, mode);
    }
    // With `coarseTimes` set, like FAT: every time is cut to that many seconds, and no birth time.
    int statx(int fd, const char* path, int flags, unsigned mask, struct statx* sx) override {
        if (failed("statx", path)) return -1;
        const int result = SysCalls::statx(fd, real(fd, path).c_str(), flags, mask, sx);
        if (result == 0 && coarseTimes > 0) sx->stx_mask &= ~unsigned{STATX_BTIME};
        return result;
    }
    bool foldsCase(int) override { return folds; }
    bool keepsModes(int fd) override { return fixedMode == 0 && SysCalls::keepsModes(fd); }
    bool countsLinks(int fd) override { return !hiddenLinks && SysCalls::countsLinks(fd); }
};

}  // namespace zelvar::testing
