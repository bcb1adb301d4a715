#pragma once
// Rows of a preview as the builder leaves them, for the tests of what parses the box over them.
#include <string>
#include <vector>

#include "preview/manual_edit.h"
#include "support/split.h"

namespace zelvar::testing {

// The old names apart by "|". The builder's composed names are still in the rows when the box is
// parsed; none may survive.
inline PreviewList listing(const std::string& oldNames) {
    PreviewList rows;
    for (const auto& n : split(oldNames)) rows.push_back({T(n), T("composed-" + n), Verdict::usable});
    return rows;
}

// What the preview shows for the rows, apart by "|", "=" standing for "* beze změny".
inline std::string shown(const PreviewList& rows) {
    std::string out;
    for (const PreviewEntry& row : rows) {
        const std::string name = toUtf8(shownName(row));
        out += (&row == rows.data() ? "" : "|") + (name == "* beze změny" ? "=" : name);
    }
    return out;
}

}  // namespace zelvar::testing
