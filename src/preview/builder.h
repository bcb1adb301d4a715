#pragma once
// The preview builder: orders the entries of a listing, makes every new name and gives each
// unusable one its verdict, so that renaming the rows in order never aims at a taken name. It
// changes nothing on disk. Front ends drive it through PreviewSession (preview/session.h).
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/options.h"
#include "engine/pattern.h"
#include "platform/listing.h"
#include "preview/entry.h"
#include "preview/sort.h"

namespace zelvar {

struct PreviewResult {
    PreviewList rows;
    int unchanged = 0;                      // rows carrying a marker
    Text stats;                             // "Počet zpracovaných souborů: n" CR LF ... three lines
    std::optional<Text> stepText;           // the step to write back into txtDif, when numbering is active
    bool truncated = false;                 // the folder holds more entries than can be listed
    std::optional<Failure> listingFailure;  // the folder could not be listed (to its end)
    EntryId folderId;                       // the folder listed, to tell later whether its path still leads there
    std::size_t nameMax = 255;              // the longest name in bytes the folder's file system takes
    int missingTaken = 0;                   // with "Datum: pořízení" in use: the entries dated by their last change
    int renameCount() const { return static_cast<int>(rows.size()) - unchanged; }
};

// The preview of a listing. The listing's own notes (failed, truncated) are copied into the result.
PreviewResult buildPreview(const Listing& listing, const RenameOptions& options, const CompiledPatterns& patterns);
// The same over a listing that is not needed afterwards: its entries go as soon as they have been
// copied, so that their memory serves the rows.
PreviewResult buildPreview(Listing&& listing, const RenameOptions& options, const CompiledPatterns& patterns);

// The order of a listing's entries by one choice of the sort options, kept between builds of the
// same listing: a keystroke in a pattern field does not sort an unchanged folder again.
struct KeptOrder {
    std::optional<Razeni> sortKey;  // optRazeni; none: nothing kept
    bool reverse = false;
    bool numeric = false;
    std::vector<int> order;
    bool taken = false;  // by date: the dates taken were the key
    void forget() { *this = KeptOrder(); }
};
// The preview of a listing that `kept` may already have ordered; it keeps the order used. The
// caller forgets the order whenever the listing is another one. `names`, unless empty, holds the
// entries' names as decoded by an earlier build of the same listing, by entry, so that a build
// after a keystroke takes them over rather than decoding every name again.
PreviewResult buildPreview(const Listing& listing, const RenameOptions& options, const CompiledPatterns& patterns,
                           KeptOrder& kept, std::vector<Text> names = {});

// The statistics text for n rows of which `unchanged` are not renamed: three CR LF separated lines,
// the last one without a line end (as the message box shows it).
Text statsText(int n, int unchanged);

// --- The parts of a build, for callers and tests that have no folder. ---

// Whether the counter runs, and from where by how much. A start or a step that does not fit a
// signed 16-bit number after rounding down and dropping its sign is not taken, each on its own:
// the start is then 0, the step 1 (as is every step below 1).
struct CounterSetup {
    bool inPattern = false;  // the name or the extension pattern holds the counter code
    bool active = false;     // inPattern, and mode "Čítač" or "Jen stejné"
    int start = 0;           // 0 when not active
    int step = 0;            // 0 when not active, else at least 1
};
CounterSetup counterSetup(const RenameOptions& options, const CompiledPatterns& patterns);

// The new name of one record for a counter value; `pocitat` makes "Jen stejné" write the number.
// When no pattern holds the counter code, the result must not depend on the value or on pocitat.
// It is called on several threads at once.
using ComposeName = std::function<Text(const ZaznamSouboru& record, double N, bool pocitat)>;
// The entry of the folder that a new name would hit, if any; also called on several threads at once.
using FindEntry = std::function<std::optional<EntryId>(const Text& name)>;

struct NamedRows {
    PreviewList rows;
    int unchanged = 0;
};

// Everything after the ordering: old names, new names with the counter, the clash markers against
// earlier and later rows, the zero for the first of equal names, the names already present in the
// folder (any entry but the row's own one reached through a change of letter case), and a closing
// guard that no usable row is a non-rename or aims at the final name of an earlier row. Each row
// costs a few hash probes (one more per renumbering in "Jen stejné"), with exactly the result of
// the row-by-row scans. `records` is in preview order. A name with nothing before its first "." or
// longer than nameMax bytes is unusable, also when "Jen stejné" or the zero step makes it anew.
NamedRows nameRows(std::vector<ZaznamSouboru> records, const RenameOptions& options, const CounterSetup& counter,
                   const ComposeName& compose, const FindEntry& existing, std::size_t nameMax = 255);

}  // namespace zelvar
