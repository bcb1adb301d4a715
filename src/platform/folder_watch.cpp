#include "platform/folder_watch.h"

#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "platform/fstype.h"

namespace zelvar {

namespace {

bool leadsTo(const std::string& path, const EntryId& folder) {
    struct stat now;
    return stat(path.c_str(), &now) == 0 && S_ISDIR(now.st_mode) && EntryId{now.st_dev, now.st_ino} == folder;
}

}  // namespace

FolderWatch::~FolderWatch() {
    // Closed with a watch still on it, the kernel waits for a grace period (milliseconds); removing
    // the watch first does not.
    stop();
    if (inotify_ >= 0) close(inotify_);
}

void FolderWatch::stop() {
    if (watch_ >= 0) inotify_rm_watch(inotify_, watch_);
    watch_ = -1;
    // Whatever the old watch queued is no news about the next folder.
    char buffer[4096];
    while (inotify_ >= 0 && read(inotify_, buffer, sizeof buffer) > 0) {}
}

void FolderWatch::start(const std::string& path) {
    stop();
    if (path.find('\0') != std::string::npos) return;
    struct stat st;
    struct statfs fs;
    if (stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || statfs(path.c_str(), &fs) != 0 ||
        !changesOnlyHere(static_cast<std::uint32_t>(fs.f_type)))
        return;
    if (inotify_ < 0) inotify_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (inotify_ < 0) return;
    constexpr std::uint32_t kEvents = IN_ATTRIB | IN_MODIFY | IN_CLOSE_WRITE | IN_CREATE | IN_DELETE | IN_MOVED_FROM |
                                      IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
    watch_ = inotify_add_watch(inotify_, path.c_str(), kEvents);
    path_ = path;
    folder_ = EntryId{st.st_dev, st.st_ino};
    // The path may have led elsewhere by the time the watch was put on it.
    if (watch_ >= 0 && !leadsTo(path, folder_)) stop();
}

bool FolderWatch::quiet() {
    if (watch_ < 0) return false;
    // Any event, whatever it is about, and an overflow alike.
    char buffer[4096];
    const ssize_t got = read(inotify_, buffer, sizeof buffer);
    if (got > 0 || (got < 0 && errno != EAGAIN) || !leadsTo(path_, folder_)) {
        stop();
        return false;
    }
    return true;
}

}  // namespace zelvar
