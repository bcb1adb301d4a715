#include "engine/pipeline.h"

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

#include "engine/charset.h"
#include "engine/counters.h"
#include "engine/numbers.h"

namespace zelvar {

namespace {

Text twoDigits(int value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d", value);
    return T(buffer);
}

Text formatDate(char32_t marker, const DateTime& d) {
    switch (marker) {
        case kMarkRok4: {
            char buffer[16];
            std::snprintf(buffer, sizeof buffer, "%04d", d.year);
            return T(buffer);
        }
        case kMarkRok2: return twoDigits(d.year % 100);
        case kMarkMesic: return twoDigits(d.month);
        case kMarkDen: return twoDigits(d.day);
        case kMarkHodina: return twoDigits(d.hour);
        case kMarkMinuta: return twoDigits(d.minute);
        default: return twoDigits(d.second);
    }
}

// Writes what a literal, date or drop token writes at `at` of `out`; the tracker hears what it did.
void putPlainToken(Text& out, std::size_t at, const Text& token, const DateTime& d, InsertionTracker& tracker) {
    if (isDateMarker(token)) {
        tracker.date(token[0]);
        out.insert(at, formatDate(token[0], d));
    } else if (token.size() == 1 && token[0] == U'/') {
        tracker.drop();
    } else {
        tracker.literal();
        // Most tokens land at the end, where appending spares the shifting an insert prepares for.
        if (at == out.size())
            out += token;
        else
            out.insert(at, token);
    }
}

Text separators(Text text, int item) {
    switch (item) {
        case 1: return OdstranZnaky(std::move(text), U" -_");
        case 2: return ZamenZnaky(std::move(text), U" -", U"__");
        case 3: return ZamenZnaky(std::move(text), U" _", U"--");
        case 4: return ZamenZnaky(std::move(text), U"-_", U"  ");
        case 5: return OdstranZnaky(std::move(text), U" _");
        default: return text;
    }
}

// The character options that act on the finished text of a field.
Text characterOptions(Text result, const RenameOptions& o, const CompiledRegex* regex) {
    if (o.chkBezDia != 0) result = BezDiakritiky(std::move(result));
    result = separators(std::move(result), o.cboPauzy);
    if (o.chkRegVyraz != 0) {
        if (regex) result = regex->replaceAll(result);
    } else if (!o.txtZamenitCo.empty() && !o.txtZamenitZaCo.empty()) {
        result = o.chkZamenaVse != 0 ? ZamenRetezec(std::move(result), o.txtZamenitCo, o.txtZamenitZaCo)
                                     : ZamenZnaky(std::move(result), o.txtZamenitCo, o.txtZamenitZaCo);
    }
    if (!o.txtOdstranit.empty()) result = OdstranZnaky(std::move(result), o.txtOdstranit);
    return result;
}

// Whether any character option can change a text; most builds have none.
bool changesCharacters(const RenameOptions& o) {
    return o.chkBezDia != 0 || (o.cboPauzy >= 1 && o.cboPauzy <= 5) ||
           (!o.txtZamenitCo.empty() && (o.chkRegVyraz != 0 || !o.txtZamenitZaCo.empty())) || !o.txtOdstranit.empty();
}

// A flag of the compiled pattern: "0" or "1" as the compiler writes it, anything else read as a number.
bool isSet(const Text& flag) {
    if (flag.size() == 1 && (flag[0] == U'0' || flag[0] == U'1')) return flag[0] == U'1';
    return numericValue(flag) != 0;
}

}  // namespace

Text ZpracJmeno(std::u32string_view Jm, const FiltrVystup& Filtr, double N, bool Obracene, const DateTime& d,
                bool Pocitat, const RenameOptions& options) {
    Text result;
    result.reserve(Jm.size() + 16);
    appendZpracJmeno(result, Jm, Filtr, N, Obracene, d, Pocitat, options);
    return result;
}

void appendZpracJmeno(Text& out, std::u32string_view Jm, const FiltrVystup& Filtr, double N, bool Obracene,
                      const DateTime& d, bool Pocitat, const RenameOptions& options, std::size_t maxPadding) {
    Numbering numbering(options, N, Obracene, Pocitat, maxPadding);
    // The kept number is cut from the text in the orientation the tokens see, so that its place
    // is tracked on the same characters the pattern consumes. Without either, the name is read as is.
    const bool extracts = Filtr.Citac && options.optCitac == 2;
    Text own;
    if (Obracene || extracts) {
        own = Obracene ? Obrat(Jm) : Text(Jm);
        if (extracts) numbering.extract(own);
    }
    const std::u32string_view J = Obracene || extracts ? std::u32string_view(own) : Jm;

    const long L = static_cast<long>(J.size());
    long a = Filtr.PolohyPred.empty() ? 0 : std::max(Filtr.PolohyPred[0], 0);
    long b = Filtr.PolohyZa.empty() ? 0 : std::max(Filtr.PolohyZa[0], 0);
    std::size_t zbytekAt = 0, zbytekSize = 0;
    if (L < a + b) {
        if (L < a) {
            a = L;
            b = 0;
        } else {
            b = L - a;
        }
    } else if (Filtr.Hvezda != 0 && L - a - b > 0) {
        zbytekAt = static_cast<std::size_t>(a);
        zbytekSize = static_cast<std::size_t>(L - a - b);
    }

    // The field is written after what `out` holds: first the part before the star, then the
    // star's part and the part after it.
    const std::size_t base = out.size();
    bool counted = false;  // the last counter token wrote digits
    const std::size_t predCount = std::min(Filtr.ZnakyPred.size(), Filtr.PolohyPred.size());
    for (std::size_t i = 1; i < predCount; ++i) {
        const int p = Filtr.PolohyPred[i];
        if (p < 0) {
            counted = numbering.putCounter(out, out.size(), -p);
        } else if (p > 0) {
            if (p <= a) out += J[static_cast<std::size_t>(p - 1)];
            numbering.tracker.keep();
        } else {
            putPlainToken(out, out.size(), Filtr.ZnakyPred[i], d, numbering.tracker);
        }
    }

    numbering.tracker.star(zbytekSize);
    out.append(J, zbytekAt, zbytekSize);

    // The part after the star runs from the pattern's end; every piece goes in front of the
    // pieces made before it.
    const std::size_t zaAt = out.size();
    const std::size_t zaCount = std::min(Filtr.ZnakyZa.size(), Filtr.PolohyZa.size());
    for (std::size_t i = 1; i < zaCount; ++i) {
        const int p = Filtr.PolohyZa[i];
        if (p < 0) {
            // A field never receives two counter texts.
            if (!counted) counted = numbering.putCounter(out, zaAt, -p);
        } else if (p > 0) {
            if (p <= b) out.insert(zaAt, 1, J[static_cast<std::size_t>(L - p)]);
            numbering.tracker.keep();
        } else {
            putPlainToken(out, zaAt, Filtr.ZnakyZa[i], d, numbering.tracker);
        }
    }

    numbering.reinsert(out, base);
    // Turned twice is turned back.
    const bool turned = Obracene != (!Filtr.ZnakyPred.empty() && isSet(Filtr.ZnakyPred[0]));
    if (turned) std::reverse(out.begin() + static_cast<std::ptrdiff_t>(base), out.end());
    if (changesCharacters(options)) {
        Text field = out.substr(base);
        out.erase(base);
        out += characterOptions(std::move(field), options, Filtr.regex.get());
    }
}

}  // namespace zelvar
