#pragma once
// Counters and kept numbers inside one call of ZpracJmeno: the text a counter token writes, the
// number cut out of an old name and its value, the tracker that follows where that number belongs in
// the new text, and its re-insertion there. Nothing outlives one call, and a radix field whose value
// does not fit a signed 16-bit number makes the step that needs it write nothing.
#include <cstddef>
#include <optional>

#include "engine/options.h"
#include "engine/text.h"

namespace zelvar {

// The numeric value of a radix field as a signed 16-bit whole number (rounded half to even), or
// nothing when it does not fit.
std::optional<int> radixValue(const Text& text);

// The longest digit run kept from an old name for a radix: longer runs are cut to it.
int keptRunLimit(int radix);

// Whether c belongs to a number written with the radix and digit set of the old names. The ranges
// follow the radix as given, without clamping it to the digit set.
bool isKeptDigit(char32_t c, int radix, int digitSet);

struct KeptNumber {
    bool found = false;
    double value = 0;       // 0 when nothing was found
    std::size_t start = 0;  // 1-based position of the cut run in the searched text
};

// Cuts the first number out of `text`. With `mirrored` the text is a mirrored name: the run is
// turned back to reading order before its value is read.
KeptNumber extractKeptNumber(Text& text, const RenameOptions& options, bool mirrored);

// Follows the insertion point P of a cut number through the tokens of the pattern while tokens still
// consume old characters that stood before the number (B counts them down).
class InsertionTracker {
public:
    void start(std::size_t numberStart);
    void keep();                    // "?"
    void drop();                    // "/"
    void literal();                 // one literal character
    void date(char32_t marker);     // a date code
    void star(std::size_t length);  // the text taken by the star
    long position() const { return point_; }

private:
    bool active() const { return point_ >= 1 && before_ >= 1; }
    long point_ = 0;
    long before_ = 0;
};

// Numbering state of one pipeline call.
class Numbering {
public:
    // `maxPadding`: the most padding digits a number gets, whatever its width (see counterPadding).
    Numbering(const RenameOptions& options, double n, bool mirrored, bool pocitat,
              std::size_t maxPadding = static_cast<std::size_t>(-1));

    // Cuts the kept number out of the (possibly mirrored) working text and starts the tracker.
    void extract(Text& text);
    // Writes the text of a counter token of the given width into `out` at `at`; whether it wrote
    // anything (it may write nothing).
    bool putCounter(Text& out, std::size_t at, int width);
    // Writes the kept number back into the field assembled in `out` from `base` on, when it stays
    // in place.
    void reinsert(Text& out, std::size_t base) const;

    InsertionTracker tracker;

private:
    bool inPlace() const;
    // Writes n_ with the width into `out` at `at` (at its end when `at` lies past it); whether it
    // wrote anything.
    bool putNumber(Text& out, std::size_t at, int width) const;

    const RenameOptions& options_;
    double n_;
    bool mirrored_;
    bool pocitat_;
    std::size_t maxPadding_;
    bool found_ = false;
    int keptWidth_ = 0;
};

}  // namespace zelvar
