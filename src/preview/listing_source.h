#pragma once
// Where a preview session's listings come from. A folder given open is read through its
// descriptor, with its stamp taken first; a kept listing serves later builds for as long as its
// watch vouches for it (ListingCache); otherwise every build reads the folder. Whichever way
// answers, a build gets one SourcedListing and a run one vouched-for listing or none.
#include <memory>
#include <string>

#include "engine/options.h"
#include "platform/folder_stamp.h"
#include "platform/listing.h"
#include "platform/listing_cache.h"

namespace zelvar {

// What a build needs listed.
struct ListingRequest {
    Text masks;                    // txtVyhlFiltr
    File optFile = File::Soubory;  // which kinds of entry
    bool dates = false;            // the entries' dates are used
    bool taken = false;            // and their dates taken
};

// One build's listing.
struct SourcedListing {
    const Listing* listing = nullptr;
    // The same listing when nothing reads its entries after the build, which may then free them as
    // it goes; null when it serves later builds too.
    Listing* spendable = nullptr;
    // The kept listing of the last build served again: the order and names made of it still fit.
    bool servedAgain = false;
    std::unique_ptr<Listing> own;  // a listing no one keeps lives as long as its answer
};

class ListingSource {
public:
    // folder: path as bytes; folderFd, when given, is that folder open (the caller keeps it open).
    // Whether it is another folder than before, in which case nothing read of the old one serves.
    bool setFolder(const std::string& folder, int folderFd);
    // Kept, a listing serves later builds with the same filter and kind until forget().
    void keep(bool keep);
    bool keeps() const { return keep_; }
    void forget();

    SourcedListing list(const ListingRequest& request);
    // Whether the last list() served a kept listing again.
    bool lastKept() const { return keep_ && cache_.lastKept(); }
    // The listing the last build read, while it is sure that no name of the folder changed since;
    // null otherwise. The vouching ends here, as the run about to come changes the folder.
    const Listing* forRun();

private:
    std::string folder_;
    int folderFd_ = -1;
    bool keep_ = false;
    ListingCache cache_;
    // A listing of a folder given open is kept for no later build, but for a run: the names and
    // their entries, with the folder's stamp from before it was read. (A short-lived process cannot
    // afford a watch: dropping one makes the kernel wait for milliseconds.)
    FolderStamp stamp_;
    Listing listed_;
};

}  // namespace zelvar
