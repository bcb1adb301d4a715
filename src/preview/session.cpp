#include "preview/session.h"

#include <utility>

namespace zelvar {

void PreviewSession::setFolder(const std::string& folder, int folderFd) {
    if (source_.setFolder(folder, folderFd)) invalidateListing();
}

void PreviewSession::keepListing(bool keep) {
    source_.keep(keep);
    if (!keep) invalidateListing();
}

void PreviewSession::invalidateListing() {
    source_.forget();
    order_.forget();
    rowsOfKept_ = false;
}

ListingRequest listingRequest(const RenameOptions& options, const CompiledPatterns& patterns) {
    ListingRequest r{options.txtVyhlFiltr, options.optFile};
    // A listing read for this build alone asks for the dates only when something uses them; a
    // kept one must serve whatever the next build asks.
    r.dates = options.optRazeni == Razeni::Datum || writesDates(patterns);
    // The dates taken are read only when they are used.
    r.taken = r.dates && options.optDatum == Datum::Porizeni;
    return r;
}

const PreviewResult& PreviewSession::build(const RenameOptions& options) {
    return build(options, ZpracujFiltrVystupCely(options));
}

// compile -> list -> order, name and verdicts (buildPreview) -> the text shown.
const PreviewResult& PreviewSession::build(const RenameOptions& options, CompiledPatterns patterns) {
    patterns_ = std::move(patterns);
    SourcedListing listed = source_.list(listingRequest(options, patterns_));
    result_ = buildOver(listed, options);
    shownText_.reset();
    return result_;
}

PreviewResult PreviewSession::buildOver(SourcedListing& listed, const RenameOptions& options) {
    const bool rowsOfKept = std::exchange(rowsOfKept_, false);
    if (listed.spendable) return buildPreview(std::move(*listed.spendable), options, patterns_);
    // A listing that serves again keeps its order, and the rows built of it give back their names.
    std::vector<Text> names;
    if (!listed.servedAgain)
        order_.forget();
    else if (rowsOfKept)
        names = takeOldNames();
    rowsOfKept_ = true;
    return buildPreview(*listed.listing, options, patterns_, order_, std::move(names));
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

Text missingTakenNote(int entries) {
    return U"Datum pořízení chybí u " + decimal(entries) + U" položek, použito datum změny.";
}

Text listingNote(const PreviewResult& result) {
    Text note;
    if (result.listingFailure) note = U"Složku se nepodařilo přečíst: " + fromUtf8(failureText(*result.listingFailure));
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
