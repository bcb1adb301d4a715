#include "preview/compose.h"

#include <algorithm>

#include "engine/charset.h"
#include "engine/pipeline.h"

namespace zelvar {

namespace {

// Whether the new name gets an extension. An entry without one gets it only from a pattern that
// writes literal text: "*" or "?" alone give it nothing, "txt" does.
// Asked for every row, so it looks at the pattern without copying it.
bool getsExtension(bool hasOwn, const Text& txtExt) {
    if (txtExt.find_first_not_of(U' ') == Text::npos) return false;
    return hasOwn || std::any_of(txtExt.begin(), txtExt.end(),
                                 [](char32_t c) { return c != U' ' && kZakazaneZnaky.find(c) == Text::npos; });
}

void letterCase(Text& name, Velikost optVelikost) {
    switch (optVelikost) {
        case Velikost::Mala:
            for (char32_t& c : name) c = lowerChar(c);
            return;
        case Velikost::Velka:
            for (char32_t& c : name) c = upperChar(c);
            return;
        case Velikost::PrvniVelka: name = PrvniVelka(name); return;
        case Velikost::Zachovat: return;
    }
}

// `call` without the field's own "Obrácené zpracování", which comes from the options.
void compose(Text& out, std::u32string_view Jm, std::u32string_view Ex, bool hasOwnExtension, ZpracVolani call,
             const RenameOptions& options, const CompiledPatterns& patterns) {
    out.clear();
    call.Obracene = options.chkObratitJm != 0;
    appendZpracJmeno(out, Jm, patterns.jmeno, call, options);
    // A name part already past the limit makes the name too long whatever follows, and its first
    // character alone tells an empty stem.
    if (out.size() <= call.nameMax && getsExtension(hasOwnExtension, options.txtExt)) {
        out += U'.';
        call.Obracene = options.chkObratitEx != 0;
        appendZpracJmeno(out, Ex, patterns.ext, call, options);
    }
    letterCase(out, options.optVelikost);
}

}  // namespace

Text NoveJmenoStr(std::u32string_view Jm, std::u32string_view Ex, double N, const DateTime& d, bool Pocitat,
                  const RenameOptions& options, const CompiledPatterns& patterns) {
    Text out;
    NoveJmenoStr(out, Jm, Ex, N, d, Pocitat, options, patterns);
    return out;
}

void NoveJmenoStr(Text& out, std::u32string_view Jm, std::u32string_view Ex, double N, const DateTime& d, bool Pocitat,
                  const RenameOptions& options, const CompiledPatterns& patterns, const NameLimits& limits) {
    compose(out, Jm, Ex, !Ex.empty(), {N, false, d, Pocitat, limits.maxPadding, limits.nameMax}, options, patterns);
}

NameLimits nameLimits(const RenameOptions& options, std::size_t nameMax) {
    return {counterPadding(options, nameMax), nameMax};
}

// A counter of width 32000 writes 32000 digits into every name, for a name that is "too long" from
// its 256th byte on. Its padding is one run of one digit ("0" or "a"); cutting that run short
// changes the verdict of no name, as long as the steps after the pattern cannot bring the name back
// under the limit:
// - the letter case maps each character to one character, and the joining of escaped bytes keeps
//   the bytes; a name has at least as many bytes as characters;
// - removing diacritics, the separator items and "Záměna" of single characters map each character
//   to one character; the separator items that remove characters remove no digit or letter;
// - "Záměna" of whole strings ("Celé") writes a non-empty replacement for each match, so the text
//   keeps at least |Čím| / |Co| of its characters;
// - "Odstranit znaky" can remove any character, the padding too: no limit then.
// So P padding digits give the field at least P * |Čím| / |Co| characters at the end, past the limit
// once P > nameMax * |Co| / |Čím|. The name's verdict can still be "prázdné jméno", which only its
// first character decides: the run is cut at least |Co| characters after its start, so the start of
// the name, and any whole-string match that reaches into the run, comes out the same.
std::size_t counterPadding(const RenameOptions& options, std::size_t nameMax) {
    if (!options.txtOdstranit.empty()) return static_cast<std::size_t>(-1);
    const bool strings = options.chkZamenaVse != 0 && !options.txtZamenitCo.empty() && !options.txtZamenitZaCo.empty();
    const std::size_t co = strings ? options.txtZamenitCo.size() : 1,
                      zaCo = strings ? options.txtZamenitZaCo.size() : 1;
    return (zaCo >= co ? nameMax : nameMax * co / zaCo) + co + 1;
}

Text NoveJmeno(const Text& Jm, double N, bool Pocitat, const RenameOptions& options, const CompiledPatterns& patterns) {
    const std::size_t p = PosledniTecka(Jm);
    Text name = Jm;
    Text ext;
    bool hasOwn = false;
    if (p == Jm.size() && p > 0) {
        name = Jm.substr(0, p - 1);  // a trailing "." ends the name; no extension of its own
    } else if (p > 0) {
        // Unlike a listed entry, a leading "." leaves an empty name part here.
        name = Jm.substr(0, p - 1);
        ext = Jm.substr(p);
        hasOwn = true;
    }
    Text out;
    compose(out, name, ext, hasOwn, {N, false, DateTime{}, Pocitat}, options, patterns);
    return out;
}

Ukazky ZpracujVzor(const RenameOptions& options) {
    Ukazky ukazky;
    ukazky.patterns = ZpracujFiltrVystupCely(options);
    ukazky.ukazka1 = NoveJmeno(kVzor1, 1, false, options, ukazky.patterns);
    ukazky.ukazka2 = NoveJmeno(kVzor2, 2, false, options, ukazky.patterns);
    return ukazky;
}

std::size_t PosledniTecka(const Text& text) {
    const auto p = text.rfind(U'.');
    return p == Text::npos ? 0 : p + 1;
}

Text PrvniVelka(const Text& text) {
    Text result = toLower(text);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i == 0 || kOddelovace.find(text[i - 1]) != Text::npos) result[i] = upperChar(text[i]);
    }
    return result;
}

std::size_t NajdiOddelovac(std::size_t start, const Text& text, const Text& set) {
    if (start < 1) start = 1;
    if (start > text.size()) return 0;
    const auto p = text.find_first_of(set, start - 1);
    return p == Text::npos ? 0 : p + 1;
}

Text BezZakazanychZnaku(const Text& text) { return OdstranZnaky(text, kZakazaneZnaky); }

}  // namespace zelvar
