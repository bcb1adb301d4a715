#pragma once
// The output pattern compiler. A pattern never fails to compile: characters without a meaning are
// literals, forbidden file-name characters are dropped, surplus stars and colon runs are ignored.
// Date codes become marker values past the last Unicode code point, which no decoded text can hold,
// so every character of a pattern, control characters too, stays a literal.
#include <memory>
#include <vector>

#include "engine/options.h"
#include "engine/regex.h"
#include "engine/text.h"

namespace zelvar {

// Marker values of the date codes.
inline constexpr char32_t kMarkSekunda = 0x110000;  // \s, \v  ss
inline constexpr char32_t kMarkMinuta = 0x110001;   // \n  nn
inline constexpr char32_t kMarkHodina = 0x110002;   // \h  hh
inline constexpr char32_t kMarkDen = 0x110003;      // \d  dd
inline constexpr char32_t kMarkMesic = 0x110004;    // \m  mm
inline constexpr char32_t kMarkRok2 = 0x110005;     // \r  yy
inline constexpr char32_t kMarkRok4 = 0x110006;     // \y  yyyy

// A token that writes a part of the entry's date.
inline bool isDateMarker(const Text& token) {
    return token.size() == 1 && token[0] >= kMarkSekunda && token[0] <= kMarkRok4;
}

// The compiled pattern of one field, its tokens in pattern order. Token positions: < 0 counter of
// width -p, > 0 keep the p-th character, 0 literal/date/"/".
struct FiltrVystup {
    std::vector<Text> ZnakyPred;
    std::vector<int> PolohyPred;
    std::vector<Text> ZnakyZa;  // the part after the star, from its last character backwards
    std::vector<int> PolohyZa;
    int SpotrebaPred = 0;  // old characters the part before the star consumes ("?" and "/")
    int SpotrebaZa = 0;    // the same for the part after it
    bool Obratit = false;  // the field's "Obrátit": its result is turned
    int Hvezda = 0;        // the pattern holds "*"
    bool Citac = false;    // the pattern holds ":" anywhere
    // "Záměna" by a regular expression, shared by both fields; null while it is off or "Co" is empty.
    std::shared_ptr<const CompiledRegex> regex;
};

// The two compiled patterns the caller keeps between compiles.
struct CompiledPatterns {
    FiltrVystup jmeno;  // from txtJmeno, reverse flag chkJmeno
    FiltrVystup ext;    // from txtExt, reverse flag chkExt
    const CompiledRegex* regex() const { return jmeno.regex.get(); }
};

// Compiles one part; direction "r"/"R" walks it from its last character. Sets citac, never clears it.
// Returns the number of old characters the part consumes.
int ZpracujFiltrVystupCast(const Text& s, const Text& direction, std::vector<Text>& tokens, std::vector<int>& positions,
                           bool& citac);
// Compiles a whole pattern into tokens, Hvezda and Citac (the caller resets Citac).
void ZpracujFiltrVystup(const Text& pattern, FiltrVystup& out);
// Compiles both patterns of the options with their reverse flags.
CompiledPatterns ZpracujFiltrVystupCely(const RenameOptions& options);
// Whether a new name needs the entries' dates: a date code in either pattern.
bool writesDates(const CompiledPatterns& patterns);

}  // namespace zelvar
