#pragma once
// The preview pipeline that both front ends drive: options and folder in; the patterns compiled,
// the folder listed, the rows built, an edit box laid over them, and rows, counts, texts and
// listing notes out. Nothing here touches the disk but the listing.
#include <optional>
#include <string>

#include "engine/options.h"
#include "engine/pattern.h"
#include "platform/listing.h"
#include "preview/builder.h"
#include "preview/listing_source.h"
#include "preview/manual_edit.h"

namespace zelvar {

class PreviewSession {
public:
    // folder: path as bytes. folderFd, when given, is that folder open, and the listing reads it
    // rather than whatever the path leads to by then; the caller keeps it open.
    void setFolder(const std::string& folder, int folderFd = -1);

    // Kept, the listing serves every later build with the same filter and kind for as long as the
    // kernel vouches that the folder has not changed (ListingCache), until the caller invalidates
    // it. Not kept, every build reads the folder.
    void keepListing(bool keep);
    void invalidateListing();
    // Whether the last build used a kept listing.
    bool listingKept() const { return source_.lastKept(); }

    // Builds the preview of the folder with the options' patterns, compiled here or, by a caller
    // that has compiled them already for the same options, given.
    const PreviewResult& build(const RenameOptions& options);
    const PreviewResult& build(const RenameOptions& options, CompiledPatterns patterns);
    // Manual editing: line k of the box names row k of the last build (or of the last edit, whose
    // old names are the same). `asShown`, when given, are those rows with the old names as the box
    // shows them; the preview text shows them so too, while the rows keep their real old names.
    const PreviewResult& edit(const Text& box, std::optional<PreviewList> asShown = std::nullopt);

    const PreviewResult& result() const { return result_; }
    const CompiledPatterns& patterns() const { return patterns_; }
    // What the preview shows: one CR LF ended line per row.
    Text text() const { return shownText_ ? *shownText_ : previewText(result_.rows); }
    // The rows for a run; the session is left without rows.
    PreviewList takeRows();
    // For a run about to make its plan: the listing the last build read, while it is sure that no
    // name of the folder changed since (the run then need not read the folder again to know its
    // entries); null otherwise. A folder given open is vouched for by its change time, a kept
    // listing by its watch. The vouching ends here, as the run changes the folder: a watch would
    // queue an event for every rename, and the next build reads the folder again.
    const Listing* listingForRun() { return source_.forRun(); }

private:
    PreviewResult buildOver(SourcedListing& listed, const RenameOptions& options);
    std::vector<Text> takeOldNames();

    ListingSource source_;
    KeptOrder order_;  // of the kept listing's entries
    // The rows were built from the kept listing in order_, untouched since: the next build of the
    // same listing takes their old names back rather than decoding the names again.
    bool rowsOfKept_ = false;
    CompiledPatterns patterns_;
    PreviewResult result_;
    std::optional<Text> shownText_;  // the text of an edit whose box shows old names otherwise
};

// What a build with these options and patterns needs listed.
ListingRequest listingRequest(const RenameOptions& options, const CompiledPatterns& patterns);

// The note under the preview about a listing that failed or was cut short, and about entries that
// had no date taken where it was asked for; empty when none of these.
Text listingNote(const PreviewResult& result);
// Its part about the entries without a date taken.
Text missingTakenNote(int entries);

}  // namespace zelvar
