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
Text characterOptions(Text result, const RenameOptions& o) {
    if (o.chkBezDia != 0) result = BezDiakritiky(std::move(result));
    result = separators(std::move(result), o.cboPauzy);
    if (!o.txtZamenitCo.empty() && !o.txtZamenitZaCo.empty()) {
        result = o.chkZamenaVse != 0 ? ZamenRetezec(std::move(result), o.txtZamenitCo, o.txtZamenitZaCo)
                                     : ZamenZnaky(std::move(result), o.txtZamenitCo, o.txtZamenitZaCo);
    }
    if (!o.txtOdstranit.empty()) result = OdstranZnaky(std::move(result), o.txtOdstranit);
    return result;
}

// A flag of the compiled pattern: "0" or "1" as the compiler writes it, anything else read as a number.
bool isSet(const Text& flag) {
    if (flag.size() == 1 && (flag[0] == U'0' || flag[0] == U'1')) return flag[0] == U'1';
    return numericValue(flag) != 0;
}

}  // namespace

Text ZpracJmeno(std::u32string_view Jm, const FiltrVystup& Filtr, double N, bool Obracene, const DateTime& d,
                bool Pocitat, const RenameOptions& options) {
    Numbering numbering(options, N, Obracene, Pocitat);
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

    Text counter;  // the last counter text made in this call
    Text result;   // the part before the star; the star's part and the part after it follow
    result.reserve(J.size() + 16);
    const std::size_t predCount = std::min(Filtr.ZnakyPred.size(), Filtr.PolohyPred.size());
    for (std::size_t i = 1; i < predCount; ++i) {
        const int p = Filtr.PolohyPred[i];
        if (p < 0) {
            counter = numbering.counterText(-p);
            result += counter;
        } else if (p > 0) {
            if (p <= a) result += J[static_cast<std::size_t>(p - 1)];
            numbering.tracker.keep();
        } else {
            putPlainToken(result, result.size(), Filtr.ZnakyPred[i], d, numbering.tracker);
        }
    }

    numbering.tracker.star(zbytekSize);
    result.append(J, zbytekAt, zbytekSize);

    // The part after the star runs from the pattern's end; every piece goes in front of the
    // pieces made before it.
    const std::size_t zaAt = result.size();
    const std::size_t zaCount = std::min(Filtr.ZnakyZa.size(), Filtr.PolohyZa.size());
    for (std::size_t i = 1; i < zaCount; ++i) {
        const int p = Filtr.PolohyZa[i];
        if (p < 0) {
            // A field never receives two counter texts.
            if (counter.empty()) {
                counter = numbering.counterText(-p);
                result.insert(zaAt, counter);
            }
        } else if (p > 0) {
            if (p <= b) result.insert(zaAt, 1, J[static_cast<std::size_t>(L - p)]);
            numbering.tracker.keep();
        } else {
            putPlainToken(result, zaAt, Filtr.ZnakyZa[i], d, numbering.tracker);
        }
    }

    result = numbering.reinsert(std::move(result));
    // Turned twice is turned back.
    const bool turned = Obracene != (!Filtr.ZnakyPred.empty() && isSet(Filtr.ZnakyPred[0]));
    if (turned) std::reverse(result.begin(), result.end());
    return characterOptions(std::move(result), options);
}

}  // namespace zelvar
