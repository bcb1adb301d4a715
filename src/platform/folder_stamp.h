#pragma once
// Whether a name of a folder changed since a moment, told by the folder's change time: every entry
// made, removed or renamed in a folder sets it to the clock of that moment. A stamp vouches only
// where a change is sure to show: on a file system whose changes all pass through this kernel and
// that keeps times finer than seconds, and for a folder whose last change lay a second or more
// before the stamp (a change within the same tick of the clock could leave the time as it was).
// Unlike a watch it costs nothing to set up or to drop, which matters to a short-lived process.
#include <ctime>

namespace zelvar {

class FolderStamp {
public:
    // Taken before the folder, open as `folderFd`, is read.
    static FolderStamp take(int folderFd);
    // Whether the folder open as `folderFd` (the one stamped) holds the names it held when the stamp
    // was taken.
    bool unchanged(int folderFd) const;

private:
    bool vouches_ = false;
    struct timespec changed_ {};
};

}  // namespace zelvar
