#include "platform/listing_cache.h"

#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <ctime>

namespace zelvar {

namespace {

// File systems whose changes may come from other machines or from a user-space server: inotify
// sees only what passes through this kernel's own calls.
bool notifiesEveryChange(int fd) {
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
    if (fstatfs(fd, &fs) != 0) return false;
    for (std::uint32_t magic : kRemote)
        if (static_cast<std::uint32_t>(fs.f_type) == magic) return false;
    return true;
}

// The time zone as listFolder will apply it, so that kept dates are not shown in an old zone.
std::string currentZone() {
    tzset();
    return std::string(tzname[0]) + '\n' + tzname[1] + '\n' + std::to_string(timezone) + '\n' +
           std::to_string(daylight);
}

// Facts that can change without an event on the folder itself.
bool holdsUnwatchedFacts(const Listing& listing) {
    if (listing.changesElsewhere) return true;
    for (const ListedEntry& e : listing.entries)
        if (e.isDir) return true;
    return false;
}

}  // namespace

ListingCache::ListingCache() = default;

ListingCache::~ListingCache() {
    if (inotify_ >= 0) close(inotify_);
}

void ListingCache::forget() {
    keep_ = false;
    unwatch();
}

void ListingCache::unwatch() {
    if (watch_ >= 0) inotify_rm_watch(inotify_, watch_);
    watch_ = -1;
    // Whatever the old watch queued is no news about the next folder.
    char buffer[4096];
    while (inotify_ >= 0 && read(inotify_, buffer, sizeof buffer) > 0) {}
}

void ListingCache::watch(const std::string& folder) {
    if (folder.find('\0') != std::string::npos) return;
    if (inotify_ < 0) inotify_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (inotify_ < 0) return;
    constexpr std::uint32_t kEvents = IN_ATTRIB | IN_MODIFY | IN_CLOSE_WRITE | IN_CREATE | IN_DELETE | IN_MOVED_FROM |
                                      IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
    watch_ = inotify_add_watch(inotify_, folder.c_str(), kEvents);
}

bool ListingCache::stillValid(const std::string& folder, const Text& masks, int optFile) {
    if (!keep_ || watch_ < 0 || folder != listing_.folder || masks != masks_ || optFile != optFile_) return false;
    // Any event, whatever it is about, and an overflow alike: the folder is read again.
    char buffer[4096];
    const ssize_t got = read(inotify_, buffer, sizeof buffer);
    if (got > 0 || (got < 0 && errno != EAGAIN)) return false;
    // The watch follows the folder it was put on; the path may meanwhile lead to another one.
    struct stat now;
    if (stat(folder.c_str(), &now) != 0 || EntryId{now.st_dev, now.st_ino} != listing_.folderId) return false;
    return currentZone() == zone_;
}

const Listing& ListingCache::list(const std::string& folder, const Text& masks, int optFile) {
    lastKept_ = stillValid(folder, masks, optFile);
    if (lastKept_) return listing_;

    unwatch();
    keep_ = false;
    // The watch comes first: a change made while the folder is read is then noticed next time.
    watch(folder);
    zone_ = currentZone();
    listing_ = listFolder(folder, masks, optFile);
    masks_ = masks;
    optFile_ = optFile;
    if (watch_ < 0) return listing_;
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const bool local = fd >= 0 && notifiesEveryChange(fd);
    if (fd >= 0) close(fd);
    keep_ = local && !listing_.failed && !listing_.truncated && !holdsUnwatchedFacts(listing_);
    if (!keep_) unwatch();
    return listing_;
}

}  // namespace zelvar
