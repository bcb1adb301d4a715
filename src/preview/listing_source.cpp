#include "preview/listing_source.h"

#include <utility>

#include "platform/dates_taken.h"

namespace zelvar {

bool ListingSource::setFolder(const std::string& folder, int folderFd) {
    const bool other = folder != folder_ || folderFd != folderFd_;
    if (other) forget();
    folder_ = folder;
    folderFd_ = folderFd;
    return other;
}

void ListingSource::keep(bool keep) {
    keep_ = keep;
    if (!keep) forget();
}

void ListingSource::forget() {
    cache_.forget();
    stamp_ = FolderStamp();
    listed_ = Listing();
}

SourcedListing ListingSource::list(const ListingRequest& r) {
    SourcedListing out;
    if (folderFd_ >= 0) {
        stamp_ = FolderStamp::take(folderFd_);
        // The build frees the entries as it goes; the names stay for the run.
        listed_ = listFolderAt(folderFd_, folder_, r.masks, r.optFile, kMaxEntries, r.dates);
        if (r.taken) readDatesTaken(listed_, folderFd_);
        out.listing = out.spendable = &listed_;
    } else if (keep_) {
        // A kept listing always has the dates: it must serve whatever the next build asks.
        out.listing = &cache_.list(folder_, r.masks, r.optFile);
        out.servedAgain = cache_.lastKept();
        if (r.taken) out.listing = &cache_.withDatesTaken();
    } else {
        out.own = std::make_unique<Listing>(listFolder(folder_, r.masks, r.optFile, kMaxEntries, r.dates));
        if (r.taken) readDatesTaken(*out.own);
        out.listing = out.spendable = out.own.get();
    }
    return out;
}

const Listing* ListingSource::forRun() {
    const Listing* listing = nullptr;
    if (folderFd_ >= 0) {
        if (stamp_.unchanged(folderFd_)) listing = &listed_;
        stamp_ = FolderStamp();
    } else if (keep_) {
        listing = cache_.unchanged();
        cache_.forget();  // the listing itself stays until the next build reads the folder
    }
    return listing;
}

}  // namespace zelvar
