// Every rename run writes a journal into $XDG_STATE_HOME/zelvar. Each test program gets a state
// folder of its own, made before main and removed at its end, so a test program started by hand never
// touches the user's journals, and programs run side by side never read or prune each other's.
#include "platform/temp_folder.h"

namespace {

struct StateHome {
    StateHome() { setenv("XDG_STATE_HOME", folder->path().c_str(), 1); }
    // A forked child that exits normally leaves its parent's folder alone.
    ~StateHome() {
        if (getpid() == owner) delete folder;
    }
    zelvar::testing::TempFolder* folder = new zelvar::testing::TempFolder;
    const pid_t owner = getpid();
};

const StateHome stateHome;

}  // namespace
