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

void letterCase(Text& name, int optVelikost) {
    switch (optVelikost) {
        case 1:
            for (char32_t& c : name) c = lowerChar(c);
            return;
        case 2:
            for (char32_t& c : name) c = upperChar(c);
            return;
        case 3: name = PrvniVelka(name); return;
        default: return;
    }
}

void compose(Text& out, std::u32string_view Jm, std::u32string_view Ex, bool hasOwnExtension, double N,
             const DateTime& d, bool Pocitat, const RenameOptions& options, const CompiledPatterns& patterns) {
    out.clear();
    appendZpracJmeno(out, Jm, patterns.jmeno, N, options.chkObratitJm != 0, d, Pocitat, options);
    if (getsExtension(hasOwnExtension, options.txtExt)) {
        out += U'.';
        appendZpracJmeno(out, Ex, patterns.ext, N, options.chkObratitEx != 0, d, Pocitat, options);
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
                  const RenameOptions& options, const CompiledPatterns& patterns) {
    compose(out, Jm, Ex, !Ex.empty(), N, d, Pocitat, options, patterns);
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
    compose(out, name, ext, hasOwn, N, DateTime{}, Pocitat, options, patterns);
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
