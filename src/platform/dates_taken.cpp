#include "platform/dates_taken.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <unordered_map>
#include <vector>

#include "engine/text.h"
#include "platform/fd.h"
#include "platform/parallel.h"

namespace zelvar {

namespace {

std::atomic<std::size_t> opened{0};

bool sameFile(const ListedEntry& a, const ListedEntry& b) {
    return a.id == b.id && a.size == b.size && a.mtime == b.mtime && a.isDir == b.isDir;
}

}  // namespace

std::size_t datesTakenOpened() { return opened.load(); }

void readDatesTaken(Listing& listing, int folderFd, const Listing* previous) {
    const std::size_t n = listing.entries.size();
    listing.taken.assign(n, std::nullopt);
    listing.takenRead = true;

    // What an earlier listing of this folder read, by inode.
    std::unordered_map<ino_t, std::size_t> before;
    if (previous && previous->takenRead && previous->folderId == listing.folderId &&
        previous->taken.size() == previous->entries.size()) {
        before.reserve(previous->entries.size());
        for (std::size_t k = 0; k < previous->entries.size(); ++k) before.emplace(previous->entries[k].id.ino, k);
    }
    std::vector<std::size_t> toRead;
    toRead.reserve(n);
    for (std::size_t k = 0; k < n; ++k) {
        const ListedEntry& e = listing.entries[k];
        // Opening a FIFO or a device is not harmless: it can release a writer waiting at the FIFO.
        if (!e.regular) continue;
        if (const auto it = before.find(e.id.ino); it != before.end() && sameFile(previous->entries[it->second], e)) {
            listing.taken[k] = previous->taken[it->second];
            continue;
        }
        toRead.push_back(k);
    }
    if (toRead.empty()) return;

    int ownFd = -1;
    if (folderFd < 0) {
        ownFd = open(listing.folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (ownFd < 0) return;
        folderFd = ownFd;
    }
    const Fd closer(ownFd);  // closed however the reading ends
    // A sidecar is opened only under a name the folder has in some letter case; a listing read only
    // in part cannot tell.
    SidecarCheck mayExist;
    if (!listing.failure) {
        mayExist = [&listing](const std::string& candidate) {
            return listing.byFoldedName.find(toUtf8(toLower(fromUtf8(candidate)))) != nullptr;
        };
    }
    // Files are handed out one at a time: a big video costs more than many small photos.
    forEachIndex(toRead.size(), listingThreadsFor(toRead.size(), 64), 1, [&](std::size_t at) {
        opened.fetch_add(1, std::memory_order_relaxed);
        listing.taken[toRead[at]] = readDateTaken(folderFd, listing.entries[toRead[at]].name, mayExist);
    });
}

}  // namespace zelvar
