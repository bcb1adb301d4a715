#include "platform/folder_watch.h"

#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace zelvar {

namespace {

// File systems whose changes may come from other machines or from a user-space server: inotify
// sees only what passes through this kernel's own calls.
bool notifiesEveryChange(const std::string& path) {
    static constexpr std::uint32_t kRemote[] = {
        0x6969,      // nfs
        0xFF534D42,  // cifs
        0xFE534D42,  // smb2
        0x517B,      // smb
        0x564c,      // ncp
        0x65735546,  // fuse
        0x00C36400,  // ceph
        0x5346414F,  // afs
        0x6B414653,  // kafs
        0x73757245,  // coda
        0x01021997,  // 9p
        0x01161970,  // gfs2
        0x7461636f,  // ocfs2
        0x47504653,  // gpfs
        0x0BD00BD0,  // lustre
        0x794c7630,  // overlay: its lower layers change unseen
    };
    struct statfs fs;
    if (statfs(path.c_str(), &fs) != 0) return false;
    for (std::uint32_t magic : kRemote)
        if (static_cast<std::uint32_t>(fs.f_type) == magic) return false;
    return true;
}

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

void FolderWatch::start(const std::string& path, Events events) {
    stop();
    if (path.find('\0') != std::string::npos) return;
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || !notifiesEveryChange(path)) return;
    if (inotify_ < 0) inotify_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (inotify_ < 0) return;
    constexpr std::uint32_t kNames =
        IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF;
    constexpr std::uint32_t kEntries = IN_ATTRIB | IN_MODIFY | IN_CLOSE_WRITE;
    watch_ = inotify_add_watch(inotify_, path.c_str(), IN_ONLYDIR | kNames | (events == Events::all ? kEntries : 0));
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
