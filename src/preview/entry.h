#pragma once
// One row of the preview list. A row whose new name cannot be used carries a verdict saying why;
// the preview shows a marker text for it. On Linux a real name may contain "*", so the verdict,
// not the text, says which rows are renamed.
#include <cstdint>
#include <vector>

#include "engine/text.h"

namespace zelvar {

enum class Verdict : std::uint8_t {
    usable,      // renamed to newName
    emptyName,   // the new name has nothing before its first "."
    unchanged,   // the new name is the old one
    clashAbove,  // an earlier row ends with the name (newName: that row's final name)
    clashBelow,  // a later row starts with the name (newName: that row's old name)
    exists,      // another entry of the folder has the name (newName: the name)
    tooLong,     // the name is longer than the folder's file system allows
};

struct PreviewEntry {
    Text oldName;  // the entry's current name (lossless decoding of its bytes)
    Text newName;  // usable: the full new name; a clash or an existing entry: the name involved;
                   // otherwise empty
    Verdict verdict = Verdict::usable;

    bool marker() const { return verdict != Verdict::usable; }
    // The name the entry carries after the renames: its new name, or its old one under a marker.
    const Text& finalName() const { return marker() ? oldName : newName; }
};

using PreviewList = std::vector<PreviewEntry>;  // row k of the preview is element k - 1

// What the preview shows right of the arrow: the new name, or the marker text of the verdict.
Text shownName(const PreviewEntry& row);
void appendShownName(Text& out, const PreviewEntry& row);

// The preview text: oldName + " -> " + shown name + CR LF for every row.
Text previewText(const PreviewList& rows);

}  // namespace zelvar
