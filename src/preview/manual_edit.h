#pragma once
// Manual editing: line k of the edit box is the new name of preview row k. Each parse strips the
// characters a file name may not hold, marks clashes with earlier and later rows exactly as the
// builder does, and counts the rows that will really be renamed.
#include "preview/entry.h"

namespace zelvar {

struct ManualEditResult {
    Text boxText;      // the box text without forbidden characters (line breaks kept)
    PreviewList rows;  // old names as given, new names from the lines, markers set
    int renameCount = 0;
};

// A line of "." or "..", or one longer than nameMax bytes, gets the marker a pattern name would.
ManualEditResult txtEdit_Parse(const Text& boxText, PreviewList rows, std::size_t nameMax = 255);
// The box filled for a listing: every old name followed by CR LF.
Text editBoxText(const PreviewList& rows);

}  // namespace zelvar
