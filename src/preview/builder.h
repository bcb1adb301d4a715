#pragma once
// The preview builder: lists a folder, orders the entries, makes every new name and replaces each
// unusable one by its marker, so that renaming the rows in order never aims at a taken name. It
// changes nothing on disk and reports no errors: a folder that cannot be listed gives no rows.
#include <optional>
#include <string>

#include "engine/options.h"
#include "engine/pattern.h"
#include "preview/entry.h"

namespace zelvar {

struct PreviewResult {
    PreviewList rows;
    int unchanged = 0;             // rows carrying a marker
    Text text;                     // what txtTest shows: one CR LF ended line per row
    Text stats;                    // "Počet zpracovaných souborů: n" CR LF ... three lines
    std::optional<Text> stepText;  // the step to write back into txtDif, when numbering is active
    bool truncated = false;        // the folder holds more entries than can be listed
    bool listingFailed = false;    // the folder could not be listed (to its end)
    std::string listingError;
    int renameCount() const { return static_cast<int>(rows.size()) - unchanged; }
};

// folder: path as bytes. rucniEditace: manual editing is on; the caller then parses its edit box
// over the rows (the builder's own closing steps are the caller's business either way).
PreviewResult Test(const std::string& folder, const RenameOptions& options,
                   const CompiledPatterns& patterns, bool rucniEditace);

// The statistics text for n rows of which `unchanged` are not renamed.
Text statsText(int n, int unchanged);

}  // namespace zelvar
