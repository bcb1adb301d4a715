#include "preview/session.h"

#include <utility>

#include "platform/dates_taken.h"

namespace zelvar {

void PreviewSession::setFolder(const std::string& folder, int folderFd) {
    if (folder != folder_ || folderFd != folderFd_) invalidateListing();
    folder_ = folder;
    folderFd_ = folderFd;
}

void PreviewSession::keepListing(bool keep) {
    keepListing_ = keep;
    if (!keep) invalidateListing();
}

const PreviewResult& PreviewSession::build(const RenameOptions& options) {
    patterns_ = ZpracujFiltrVystupCely(options);
    // A listing read for this build alone asks for the dates only when something uses them; a
    // kept one must serve whatever the next build asks.
    const bool dates = options.optRazeni == 2 || writesDates(patterns_);
    // The dates taken are read only when they are used.
    const bool taken = dates && options.optDatum == 1;
    const Text& masks = options.txtVyhlFiltr;
    const bool rowsOfKept = std::exchange(rowsOfKept_, false);
    if (folderFd_ >= 0) {
        stamp_ = FolderStamp::take(folderFd_);
        Listing listing = listFolderAt(folderFd_, folder_, masks, options.optFile, kMaxEntries, dates);
        if (taken) readDatesTaken(listing, folderFd_);
        // The build frees the entries as it goes; the names stay for the run.
        result_ = buildPreview(std::move(listing), options, patterns_);
        listed_ = std::move(listing);
    } else if (keepListing_) {
        const Listing* kept = &cache_.list(folder_, masks, options.optFile);
        if (taken) kept = &cache_.withDatesTaken();
        const Listing& listing = *kept;
        std::vector<Text> names;
        if (!cache_.lastKept())
            order_.forget();
        else if (rowsOfKept)
            names = takeOldNames();
        result_ = buildPreview(listing, options, patterns_, order_, std::move(names));
        rowsOfKept_ = true;
    } else {
        Listing listing = listFolder(folder_, masks, options.optFile, kMaxEntries, dates);
        if (taken) readDatesTaken(listing);
        result_ = buildPreview(std::move(listing), options, patterns_);
    }
    shownText_.reset();
    return result_;
}

std::vector<Text> PreviewSession::takeOldNames() {
    const std::vector<int>& order = order_.order;
    if (order.size() != result_.rows.size()) return {};
    std::vector<Text> names(order.size());
    for (std::size_t k = 0; k < order.size(); ++k)
        names[static_cast<std::size_t>(order[k])] = std::move(result_.rows[k].oldName);
    return names;
}

const PreviewResult& PreviewSession::edit(const Text& box, std::optional<PreviewList> asShown) {
    const bool shownOtherwise = asShown.has_value();
    ManualEditResult parsed = txtEdit_Parse(box, shownOtherwise ? std::move(*asShown) : result_.rows, result_.nameMax);
    shownText_.reset();
    rowsOfKept_ = false;
    if (shownOtherwise) {
        shownText_ = previewText(parsed.rows);
        for (std::size_t k = 0; k < result_.rows.size() && k < parsed.rows.size(); ++k)
            parsed.rows[k].oldName = std::move(result_.rows[k].oldName);
    }
    result_.rows = std::move(parsed.rows);
    const int n = static_cast<int>(result_.rows.size());
    result_.unchanged = n - parsed.renameCount;
    result_.stats = statsText(n, result_.unchanged);
    return result_;
}

PreviewList PreviewSession::takeRows() {
    PreviewList rows = std::move(result_.rows);
    result_.rows.clear();
    rowsOfKept_ = false;
    result_.unchanged = 0;
    shownText_.reset();
    return rows;
}

const Listing* PreviewSession::listingForRun() {
    const Listing* listing = nullptr;
    if (folderFd_ >= 0) {
        if (stamp_.unchanged(folderFd_)) listing = &listed_;
        stamp_ = FolderStamp();
    } else if (keepListing_) {
        listing = cache_.unchanged();
        cache_.forget();  // the listing itself stays until the next build reads the folder
    }
    return listing;
}

Text missingTakenNote(int entries) {
    return U"Datum pořízení chybí u " + decimal(entries) + U" položek, použito datum změny.";
}

Text listingNote(const PreviewResult& result) {
    Text note;
    if (result.listingFailed) note = U"Složku se nepodařilo přečíst: " + fromUtf8(result.listingError);
    if (result.truncated) {
        const Text limit = decimal(static_cast<long long>(kMaxEntries));
        if (!note.empty()) note += U"  ";
        note += U"Složka obsahuje více než " + limit + U" položek; zobrazeno prvních " + limit + U".";
    }
    if (result.missingTaken > 0) {
        if (!note.empty()) note += U"  ";
        note += missingTakenNote(result.missingTaken);
    }
    return note;
}

}  // namespace zelvar
