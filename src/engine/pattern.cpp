#include "engine/pattern.h"

#include <algorithm>

namespace zelvar {

namespace {

// The marker a date-code letter after "\" stands for; 0 when the letter is no date code.
char32_t dateMarker(char32_t letter) {
    switch (letter) {
        case U'y': return kMarkRok4;
        case U'r': return kMarkRok2;
        case U'm': return kMarkMesic;
        case U'd': return kMarkDen;
        case U'h': return kMarkHodina;
        case U'n': return kMarkMinuta;
        case U's':
        case U'v': return kMarkSekunda;
        default: return 0;
    }
}

// Replaces each "\" + date letter by its marker. The search goes on right after the "\" just
// examined, so "\\y" yields a backslash and the year marker; a trailing "\" stays.
Text markDateCodes(Text s) {
    std::size_t p = 0;  // 1-based position of the last "\" examined
    for (;;) {
        p = instr(p + 1, s, U'\\');
        if (p == 0 || p == s.size()) break;
        if (const char32_t marker = dateMarker(s[p])) s.replace(p - 1, 2, 1, marker);
    }
    return s;
}

bool isIgnored(char32_t c) { return c == U'\\' || c == U'<' || c == U'>' || c == U'|' || c == U'*' || c == U'"'; }

}  // namespace

int ZpracujFiltrVystupCast(const Text& source, const Text& direction, std::vector<Text>& tokens,
                           std::vector<int>& positions, bool& citac) {
    const Text s = markDateCodes(source);
    tokens.clear();
    positions.clear();
    int consumed = 0;
    const bool backwards = direction == U"r" || direction == U"R";
    // Index of the last colon of the counted run, and of the character visited just before.
    long lastColon = -1;
    long previous = -1;

    const long size = static_cast<long>(s.size());
    for (long step = 0; step < size; ++step) {
        const long i = backwards ? size - 1 - step : step;
        const char32_t x = s[static_cast<std::size_t>(i)];
        if (x == U'?') {
            tokens.emplace_back(U"?");
            positions.push_back(++consumed);
        } else if (x == U'/') {
            ++consumed;  // a dropped character still takes its ordinal number
            tokens.emplace_back(U"/");
            positions.push_back(0);
        } else if (x == U':') {
            citac = true;
            if (lastColon < 0) {
                tokens.emplace_back();
                positions.push_back(-1);
                lastColon = i;
            } else if (lastColon == previous) {
                --positions.back();  // the run goes on: one more digit of width
                lastColon = i;
            }
        } else if (!isIgnored(x)) {
            tokens.emplace_back(1, x);  // literal or date marker
            positions.push_back(0);
        }
        previous = i;
    }
    return consumed;
}

void ZpracujFiltrVystup(const Text& pattern, FiltrVystup& out) {
    const Text p = trimSpaces(pattern);
    Text before = p;
    Text after;
    out.Hvezda = 0;
    if (const auto star = p.find(U'*'); star != Text::npos) {
        out.Hvezda = 1;
        before = p.substr(0, star);
        after = p.substr(star + 1);  // further stars stay and are ignored there
    }
    out.SpotrebaPred = ZpracujFiltrVystupCast(before, U"", out.ZnakyPred, out.PolohyPred, out.Citac);
    out.SpotrebaZa = ZpracujFiltrVystupCast(after, U"r", out.ZnakyZa, out.PolohyZa, out.Citac);
}

CompiledPatterns ZpracujFiltrVystupCely(const RenameOptions& options) {
    CompiledPatterns compiled;
    compiled.jmeno.Citac = false;
    compiled.ext.Citac = false;
    ZpracujFiltrVystup(options.txtJmeno, compiled.jmeno);
    compiled.jmeno.Obratit = options.chkJmeno != 0;
    ZpracujFiltrVystup(options.txtExt, compiled.ext);
    compiled.ext.Obratit = options.chkExt != 0;
    if (options.chkRegVyraz != 0 && !options.txtZamenitCo.empty()) {
        compiled.jmeno.regex = std::make_shared<const CompiledRegex>(options.txtZamenitCo, options.txtZamenitZaCo);
        compiled.ext.regex = compiled.jmeno.regex;
    }
    return compiled;
}

bool writesDates(const CompiledPatterns& patterns) {
    for (const FiltrVystup* f : {&patterns.jmeno, &patterns.ext}) {
        for (const auto* tokens : {&f->ZnakyPred, &f->ZnakyZa})
            if (std::any_of(tokens->begin(), tokens->end(), isDateMarker)) return true;
    }
    return false;
}

}  // namespace zelvar
