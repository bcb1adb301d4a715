#include "platform/listing_cache.h"

#include <ctime>

namespace zelvar {

namespace {

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

void ListingCache::forget() {
    keep_ = false;
    watch_.stop();
}

bool ListingCache::stillValid(const std::string& folder, const Text& masks, File optFile) {
    if (!keep_ || folder != listing_.folder || masks != masks_ || optFile != optFile_) return false;
    return unchanged() && currentZone() == zone_;
}

const Listing* ListingCache::unchanged() {
    // The watch follows the folder it was put on, which must be the one read.
    keep_ = keep_ && watch_.quiet() && watch_.folder() == listing_.folderId;
    return keep_ ? &listing_ : nullptr;
}

const Listing& ListingCache::list(const std::string& folder, const Text& masks, File optFile) {
    lastKept_ = stillValid(folder, masks, optFile);
    if (lastKept_) return listing_;

    keep_ = false;
    if (listing_.takenRead) {
        dated_ = Listing();
        dated_.folderId = listing_.folderId;
        dated_.entries = std::move(listing_.entries);
        dated_.taken = std::move(listing_.taken);
        dated_.takenRead = true;
        datedZone_ = zone_;
    }
    // The watch comes first: a change made while the folder is read is then noticed next time.
    watch_.start(folder);
    zone_ = currentZone();
    listing_ = listFolder(folder, masks, optFile);
    masks_ = masks;
    optFile_ = optFile;
    keep_ = watch_.on() && !listing_.failure && !listing_.truncated && !holdsUnwatchedFacts(listing_);
    if (!keep_) watch_.stop();
    return listing_;
}

const Listing& ListingCache::withDatesTaken() {
    if (!listing_.takenRead) {
        // A video's date follows the time zone; one read in another zone is read again.
        const bool sameZone = dated_.takenRead && datedZone_ == zone_;
        readDatesTaken(listing_, -1, sameZone ? &dated_ : nullptr);
        dated_ = Listing();
    }
    return listing_;
}

}  // namespace zelvar
