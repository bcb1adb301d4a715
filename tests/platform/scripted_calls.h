#pragma once
// A seam double over the real system calls: every call is logged, and any can be made to fail.
#include <cerrno>
#include <functional>
#include <string>
#include <vector>

#include "platform/saferename.h"

namespace zelvar::testing {

// The real calls, each logged, any of them failing on demand: `fault` gets the call's name and its
// one or two names and returns the errno to fail with, or 0 to let the call run.
struct ScriptedCalls : SysCalls {
    std::vector<std::string> log;
    std::function<int(const std::string& call, const std::string& from, const std::string& to)> fault;

    bool failed(const std::string& call, const char* from, const char* to = "") {
        log.push_back(call + " " + from + (*to ? std::string(">") + to : ""));
        const int error = fault ? fault(call, from, to) : 0;
        if (error != 0) errno = error;
        return error != 0;
    }
    int renameat2(int ofd, const char* from, int nfd, const char* to, unsigned flags) override {
        return failed("renameat2", from, to) ? -1 : SysCalls::renameat2(ofd, from, nfd, to, flags);
    }
    int renameat(int ofd, const char* from, int nfd, const char* to) override {
        return failed("renameat", from, to) ? -1 : SysCalls::renameat(ofd, from, nfd, to);
    }
    int linkat(int ofd, const char* from, int nfd, const char* to, int flags) override {
        return failed("linkat", from, to) ? -1 : SysCalls::linkat(ofd, from, nfd, to, flags);
    }
    int unlinkat(int fd, const char* path, int flags) override {
        return failed("unlinkat", path) ? -1 : SysCalls::unlinkat(fd, path, flags);
    }
    int fstatat(int fd, const char* path, struct stat* st, int flags) override {
        return failed("fstatat", path) ? -1 : SysCalls::fstatat(fd, path, st, flags);
    }
};

// The three ways a rename can go: renameat2 with RENAME_NOREPLACE; where the flag is refused, link
// and unlink; where links are refused too, a check and a plain renameat.
enum class Route { NoReplace, LinkUnlink, CheckRename };
inline constexpr Route kRoutes[] = {Route::NoReplace, Route::LinkUnlink, Route::CheckRename};

inline void forceRoute(ScriptedCalls& calls, Route route) {
    calls.fault = [route](const std::string& call, const std::string&, const std::string&) {
        if (call == "renameat2" && route != Route::NoReplace) return EINVAL;
        if (call == "linkat" && route == Route::CheckRename) return EPERM;
        return 0;
    };
}

inline const char* routeName(Route r) {
    return r == Route::NoReplace ? "renameat2" : r == Route::LinkUnlink ? "link+unlink" : "check+renameat";
}

}  // namespace zelvar::testing
