#pragma once
// New names from a list made elsewhere: each line is an old name, a TAB and its new name. Rows are
// matched by their old name, never by position, so a list written by another program cannot shift
// names onto the wrong entries. The list becomes the text of the manual edit box, so its new names
// pass every check of manual editing.
#include <string_view>
#include <vector>

#include "preview/entry.h"

namespace zelvar {

struct RenameList {
    // Line k: the new name of row k, or its old name when the list gives none (no change).
    Text box;
    // One message per line that cannot be used, in the order of the lines: an old name the rows do
    // not hold, one given twice, a line without a TAB.
    std::vector<Text> problems;
    std::size_t matched = 0;  // rows that the list gives a new name
};

// `bytes`: the list as read. A byte-order mark in front is no part of the first name; lines end
// with LF, CR LF or a lone CR; empty lines are skipped. `shown`, when given, are the rows with
// their old names as the edit box shows them, for the lines of the rows the list leaves alone.
RenameList renameListBox(std::string_view bytes, const PreviewList& rows, const PreviewList* shown = nullptr);

}  // namespace zelvar
