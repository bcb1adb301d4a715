#pragma once
// The listing filter, matched the way Windows matches its wildcards, with letter case ignored code
// point by code point: "*" matches any run, "?" exactly one character, anything else itself. A mask
// ending in ".*" also matches a name that ends where that dot stands ("*.*" lists every name,
// "readme.*" lists "readme"); a mask ending in "." matches only names without a dot. Several masks are
// separated by ";", blanks around each are ignored, and a name matching any of them matches. A filter
// that holds no mask at all matches every name, as listing the bare folder does.
#include <vector>

#include "engine/text.h"

namespace zelvar {

class NameMask {
public:
    explicit NameMask(const Text& masks);

    bool matches(const Text& name) const;
    // True when no name can fail, so a listing need not decode names to filter them.
    bool matchesEverything() const { return everything_; }

private:
    struct Piece {
        Text lowered;               // the mask in lower case, without a final "." of noDot
        bool noDot = false;         // the mask ended in "."
        bool dotStarAtEnd = false;  // the mask ends in ".*"
    };
    std::vector<Piece> pieces_;
    bool everything_ = false;
};

// The same for one name, the masks compiled on the spot.
bool matchesMask(const Text& masks, const Text& name);

}  // namespace zelvar
