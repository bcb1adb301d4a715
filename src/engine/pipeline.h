#pragma once
// ZpracJmeno: one part of an old name (name without extension, or extension without the dot) becomes
// the same part of the new name under its compiled pattern and the character options, in fifteen
// fixed stages. Pure: it reads its arguments and the options, changes nothing, never throws, and
// always returns a text. Letter case is not its business (new-name composition applies it).
#include "engine/datetime.h"
#include "engine/options.h"
#include "engine/pattern.h"

namespace zelvar {

Text ZpracJmeno(std::u32string_view Jm, const FiltrVystup& Filtr, double N, bool Obracene, const DateTime& d,
                bool Pocitat, const RenameOptions& options);
// The same appended to `out`, which it leaves as it is before the end; a whole new name is written
// into one buffer this way. `maxPadding` limits the padding digits of a number (see counterPadding).
void appendZpracJmeno(Text& out, std::u32string_view Jm, const FiltrVystup& Filtr, double N, bool Obracene,
                      const DateTime& d, bool Pocitat, const RenameOptions& options,
                      std::size_t maxPadding = static_cast<std::size_t>(-1));

}  // namespace zelvar
