// Every rename run writes a journal into $XDG_STATE_HOME/zelvar. Each test program gets a state
// folder of its own, made before main and removed at its end, so a test program started by hand never
// touches the user's journals, and programs run side by side never read or prune each other's.
#include <ftw.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

namespace {

class StateHome {
public:
    StateHome() {
        const char* base = getenv("TMPDIR");
        path_ = std::string(base && *base ? base : "/tmp") + "/zelvar-state-XXXXXX";
        if (!mkdtemp(path_.data())) {
            perror("zelvar tests: mkdtemp");
            abort();
        }
        setenv("XDG_STATE_HOME", path_.c_str(), 1);
    }
    ~StateHome() {
        // A forked child that exits normally leaves its parent's folder alone.
        if (getpid() != owner_) return;
        nftw(
            path_.c_str(), [](const char* p, const struct stat*, int, struct FTW*) { return remove(p); }, 16,
            FTW_DEPTH | FTW_PHYS);
    }
    StateHome(const StateHome&) = delete;
    StateHome& operator=(const StateHome&) = delete;

private:
    std::string path_;
    pid_t owner_ = getpid();
};

const StateHome stateHome;

}  // namespace
