#pragma once
// ZpracJmeno: one part of an old name (name without extension, or extension without the dot) becomes
// the same part of the new name under its compiled pattern and the character options, in fifteen
// fixed stages. Pure: it reads its arguments and the options, changes nothing, never throws, and
// always returns a text. Letter case is not its business (new-name composition applies it).
#include "engine/datetime.h"
#include "engine/options.h"
#include "engine/pattern.h"

namespace zelvar {

inline constexpr std::size_t kNoLimit = static_cast<std::size_t>(-1);

// What one call knows besides the old text, its pattern and the options.
struct ZpracVolani {
    double N = 0;           // the counter value
    bool Obracene = false;  // "Obrácené zpracování" of the field
    DateTime d{};           // the entry's date for the date codes
    bool Pocitat = false;   // a "Jen stejné" number is written
    // The most padding digits a number gets (see counterPadding).
    std::size_t maxPadding = kNoLimit;
    // The folder's limit on a name, in bytes. A field that already has more characters than that
    // makes a name that is too long, so it stops growing where nothing after the cut could
    // shorten it again: the text then ends early, while its start and its verdict stay the same.
    std::size_t nameMax = kNoLimit;
};

Text ZpracJmeno(std::u32string_view Jm, const FiltrVystup& Filtr, const ZpracVolani& call,
                const RenameOptions& options);
// The same appended to `out`, which it leaves as it is before the end; a whole new name is written
// into one buffer this way.
void appendZpracJmeno(Text& out, std::u32string_view Jm, const FiltrVystup& Filtr, const ZpracVolani& call,
                      const RenameOptions& options);

}  // namespace zelvar
