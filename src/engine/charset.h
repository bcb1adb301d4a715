#pragma once
// Character-set transforms: pure, exact comparisons of code points, no locale rules.
#include "engine/text.h"

namespace zelvar {

// The nine characters a file name may not hold.
inline const Text kZakazaneZnaky = U"/\\<>|\":*?";

// The text without any character that occurs in `set`.
Text OdstranZnaky(Text text, const Text& set);
// Each character of `co` replaced by the character at the same position of `zaCo` (zaCo is lengthened
// with its last character); the pairs act one after another.
Text ZamenZnaky(Text text, const Text& co, Text zaCo);
// Every non-overlapping occurrence of `co` replaced by `zaCo`, left to right; inserted text is not
// searched again.
Text ZamenRetezec(Text text, const Text& co, const Text& zaCo);
// Czech and related accented letters replaced by plain letters.
Text BezDiakritiky(Text text);

}  // namespace zelvar
