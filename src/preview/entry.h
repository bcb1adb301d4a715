#pragma once
// One row of the preview list. A row whose new name cannot be used carries a marker text instead;
// on Linux a real name may contain "*", so the flag, not the text, says which it is.
#include <vector>

#include "engine/text.h"

namespace zelvar {

struct PreviewEntry {
    Text oldName;            // the entry's current name (lossless decoding of its bytes)
    Text newName;            // the full new name, or a marker text
    bool marker = false;     // newName is a marker: the row is not renamed

    // The name the entry carries after the renames: its new name, or its old one under a marker.
    const Text& finalName() const { return marker ? oldName : newName; }
};

using PreviewList = std::vector<PreviewEntry>;  // row k of the preview is element k - 1

// Marker texts.
inline const Text kMarkPrazdne = U"* prázdné jméno";
inline const Text kMarkBezeZmeny = U"* beze změny";
Text markVyse(const Text& name);      // "* viz >" + name + "< výše"
Text markNize(const Text& name);      // "* viz >" + name + "< níže"
Text markExistuje(const Text& name);  // "* existuje >" + name + "<"

// The preview text: oldName + " -> " + newName + CR LF for every row.
Text previewText(const PreviewList& rows);

}  // namespace zelvar
