#include "platform/folder_stamp.h"

#include <sys/stat.h>
#include <sys/vfs.h>

#include <cstdint>
#include <ctime>

#include "platform/fstype.h"

namespace zelvar {

namespace {

// How long ago the folder's last change must lie: more than a tick of the kernel's clock and than
// the step of any file system that keeps times finer than seconds.
constexpr std::int64_t kSettledNs = 1000000000;

std::int64_t nanoseconds(const struct timespec& t) {
    return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

}  // namespace

FolderStamp FolderStamp::take(int folderFd) {
    FolderStamp stamp;
    struct timespec now;
    struct stat st;
    struct statfs fs;
    if (clock_gettime(CLOCK_REALTIME, &now) != 0 || fstat(folderFd, &st) != 0 || fstatfs(folderFd, &fs) != 0)
        return stamp;
    // A time of whole seconds may come from a file system that keeps no finer ones.
    stamp.vouches_ = changesOnlyHere(static_cast<std::uint32_t>(fs.f_type)) && st.st_ctim.tv_nsec != 0 &&
                     nanoseconds(st.st_ctim) <= nanoseconds(now) - kSettledNs;
    stamp.changed_ = st.st_ctim;
    return stamp;
}

bool FolderStamp::unchanged(int folderFd) const {
    struct stat st;
    return vouches_ && fstat(folderFd, &st) == 0 && st.st_ctim.tv_sec == changed_.tv_sec &&
           st.st_ctim.tv_nsec == changed_.tv_nsec;
}

}  // namespace zelvar
