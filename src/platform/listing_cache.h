#pragma once
// The listing of one folder kept between preview builds, so that a keystroke in a pattern does not
// read a folder that has not changed. A kept listing is used only while the kernel vouches for it:
// an inotify watch on the folder is set up before the folder is read, and every later use first
// drains the watch; any event at all, an overflow, a changed time zone or another folder, filter or
// kind reads the folder again. The kernel queues an event before the call that changed the folder
// returns, so a change made before a build starts is always seen by that build.
//
// Some listings are never kept, as their facts can change without an event on the folder: those on
// network and FUSE file systems, those holding a symbolic link (its date is its target's) or a
// folder (its date changes with its own contents), and listings that failed or were cut short.
#include <optional>
#include <string>

#include "platform/dates_taken.h"
#include "platform/folder_watch.h"
#include "platform/listing.h"

namespace zelvar {

class ListingCache {
public:
    ListingCache() = default;
    ListingCache(const ListingCache&) = delete;
    ListingCache& operator=(const ListingCache&) = delete;

    // What listFolder(folder, masks, optFile) gives now.
    const Listing& list(const std::string& folder, const Text& masks, File optFile);
    // The next list() reads the folder whatever happened.
    void forget();
    // Whether the last list() used the kept listing (for tests and benchmarks).
    bool lastKept() const { return lastKept_; }
    // The kept listing, when the kernel still vouches that no name of its folder changed since it
    // was read; null otherwise (and then the next list() reads the folder).
    const Listing* unchanged();
    // The listing the last list() gave, with the dates taken of its entries: read now for the
    // entries that no listing before it dated as they are.
    const Listing& withDatesTaken();

private:
    bool stillValid(const std::string& folder, const Text& masks, File optFile);

    FolderWatch watch_;
    bool keep_ = false;  // `listing_` may serve again
    bool lastKept_ = false;
    Listing listing_;
    Text masks_;
    File optFile_ = File::Soubory;
    std::string zone_;  // the time zone the dates were made in
    // The entries and dates taken of the last listing that had them, for the next one to take over.
    Listing dated_;
    std::string datedZone_;
};

}  // namespace zelvar
