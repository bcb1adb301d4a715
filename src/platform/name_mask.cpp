#include "platform/name_mask.h"

#include "platform/listing.h"

namespace zelvar {

namespace {

// Wildcard match of the first `length` code points of a lower-case mask against a whole name. A "*"
// remembers where it stood; on a mismatch the last "*" takes one more character. That single
// backtrack point suffices because a later "*" can absorb whatever an earlier one would have.
bool wildcardMatch(const Text& mask, std::size_t length, const Text& name) {
    constexpr std::size_t none = Text::npos;
    std::size_t m = 0, n = 0, starAt = none, starName = 0;
    while (n < name.size()) {
        if (m < length && mask[m] == U'*') {
            starAt = m++;
            starName = n;
        } else if (m < length && (mask[m] == U'?' || mask[m] == lowerChar(name[n]))) {
            ++m;
            ++n;
        } else if (starAt != none) {
            m = starAt + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < length && mask[m] == U'*') ++m;
    return m == length;
}

bool onlyStars(const Text& text) { return text.find_first_not_of(U'*') == Text::npos; }

}  // namespace

NameMask::NameMask(const Text& masks) {
    std::size_t from = 0;
    while (from <= masks.size()) {
        std::size_t end = masks.find(U';', from);
        if (end == Text::npos) end = masks.size();
        Text mask = trimSpaces(masks.substr(from, end - from));
        from = end + 1;
        if (mask.empty()) continue;

        Piece piece;
        if (mask.back() == U'.') {
            piece.noDot = true;
            mask.pop_back();
        }
        piece.lowered = toLower(std::move(mask));
        const Text& m = piece.lowered;
        piece.dotStarAtEnd = m.size() >= 2 && m[m.size() - 2] == U'.' && m.back() == U'*';
        const bool matchesAny =
            (!m.empty() && onlyStars(m)) || (piece.dotStarAtEnd && onlyStars(m.substr(0, m.size() - 2)));
        if (matchesAny && !piece.noDot) everything_ = true;
        pieces_.push_back(std::move(piece));
    }
    if (pieces_.empty()) everything_ = true;
}

bool NameMask::matches(const Text& name) const {
    if (everything_) return true;
    const bool hasDot = name.find(U'.') != Text::npos;
    for (const Piece& piece : pieces_) {
        if (piece.noDot && hasDot) continue;
        const Text& m = piece.lowered;
        if (wildcardMatch(m, m.size(), name)) return true;
        // The dot of a final ".*" may also stand at the very end of the name.
        if (piece.dotStarAtEnd && wildcardMatch(m, m.size() - 2, name)) return true;
    }
    return false;
}

bool matchesMask(const Text& masks, const Text& name) { return NameMask(masks).matches(name); }

}  // namespace zelvar
