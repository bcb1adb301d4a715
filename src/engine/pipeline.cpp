#include "engine/pipeline.h"

#include <algorithm>
#include <charconv>
#include <utility>
#include <vector>

#include "engine/charset.h"
#include "engine/counters.h"
#include "engine/numbers.h"

namespace zelvar {

namespace {

// As printf's "%0*d" writes it (the width counts the sign); this runs for every date code of
// every name, where printf itself was most of the cost of a long date pattern.
Text padded(int value, int width) {
    char digits[16];
    const long long magnitude = value < 0 ? -static_cast<long long>(value) : value;
    const char* end = std::to_chars(digits, digits + sizeof digits, magnitude).ptr;
    const int count = static_cast<int>(end - digits);
    Text text;
    if (value < 0) text += U'-';
    text.append(static_cast<std::size_t>(std::max(0, width - count - (value < 0 ? 1 : 0))), U'0');
    for (const char* c = digits; c != end; ++c) text += static_cast<char32_t>(*c);
    return text;
}

Text twoDigits(int value) { return padded(value, 2); }

Text formatDate(char32_t marker, const DateTime& d) {
    switch (marker) {
        case kMarkRok4: return padded(d.year, 4);
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

Text separators(Text text, Pauzy item) {
    switch (item) {
        case Pauzy::OdstranitVsechny: return OdstranZnaky(std::move(text), U" -_");
        case Pauzy::ZamenZaPodtrzitko: return ZamenZnaky(std::move(text), U" -", U"__");
        case Pauzy::ZamenZaPomlcku: return ZamenZnaky(std::move(text), U" _", U"--");
        case Pauzy::ZamenZaMezery: return ZamenZnaky(std::move(text), U"-_", U"  ");
        case Pauzy::OdstranitMimoPomlcky: return OdstranZnaky(std::move(text), U" _");
        case Pauzy::Nevybrano:
        case Pauzy::BezeZmeny: break;
    }
    return text;
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
    return o.chkBezDia != 0 || (o.cboPauzy != Pauzy::Nevybrano && o.cboPauzy != Pauzy::BezeZmeny) ||
           (!o.txtZamenitCo.empty() && (o.chkRegVyraz != 0 || !o.txtZamenitZaCo.empty())) || !o.txtOdstranit.empty();
}

// How many characters the field may get before it stops growing: kNoLimit unless nothing after
// the cut can shorten the field or change its start. Every step after the tokens keeps a longer
// text longer: the letter case and the joining of escaped bytes keep the characters (and a name
// has at least as many bytes as characters); removing diacritics, the separator items that replace
// and "Záměna" of single characters map each character to one; "Záměna" of whole strings loses
// none where "Čím" is not shorter than "Co", and its first match is the same once the text holds
// |Co| characters more than the limit. What the field's reversal, a kept number put back, "Odstranit
// znaky", the separator items that remove and a regular expression do depends on the whole text.
std::size_t cutLength(const FiltrVystup& f, const ZpracVolani& call, bool extracts, const RenameOptions& o) {
    if (call.nameMax == kNoLimit || call.Obracene != f.Obratit || extracts) return kNoLimit;
    if (!o.txtOdstranit.empty() || o.cboPauzy == Pauzy::OdstranitVsechny || o.cboPauzy == Pauzy::OdstranitMimoPomlcky ||
        f.regex)
        return kNoLimit;
    std::size_t extra = 0;
    if (o.chkRegVyraz == 0 && o.chkZamenaVse != 0 && !o.txtZamenitCo.empty() && !o.txtZamenitZaCo.empty()) {
        if (o.txtZamenitZaCo.size() < o.txtZamenitCo.size()) return kNoLimit;
        extra = o.txtZamenitCo.size();
    }
    return call.nameMax + extra;
}

// One field being written: the working text, what the two parts consume of it, the numbering.
struct Field {
    std::u32string_view J;
    long L = 0, a = 0, b = 0;
    const DateTime& d;
    Numbering& numbering;
    bool counted = false;  // the last counter token wrote digits
};

// The part after the star in the order the compiler stored it (from the pattern's end): every piece
// goes in front of the pieces made before it, so the pieces are gathered turned and turned back once.
void writeAfterStar(Text& out, const FiltrVystup& Filtr, Field& f) {
    Text turned, piece;
    const std::size_t count = std::min(Filtr.ZnakyZa.size(), Filtr.PolohyZa.size());
    for (std::size_t i = 0; i < count; ++i) {
        const int p = Filtr.PolohyZa[i];
        piece.clear();
        if (p < 0) {
            // A field never receives two counter texts.
            if (!f.counted) f.counted = f.numbering.putCounter(piece, 0, -p);
        } else if (p > 0) {
            if (p <= f.b) piece += f.J[static_cast<std::size_t>(f.L - p)];
            f.numbering.tracker.keep();
        } else {
            putPlainToken(piece, 0, Filtr.ZnakyZa[i], f.d, f.numbering.tracker);
        }
        turned.append(piece.rbegin(), piece.rend());
    }
    out.append(turned.rbegin(), turned.rend());
}

// The same written in pattern order, stopping once the field from `base` on holds more than
// `limit` characters. Only for a field without a kept number, whose tracker follows nothing: the
// counter text is the one the stored order would write.
void writeAfterStarCut(Text& out, std::size_t base, std::size_t limit, const FiltrVystup& Filtr, Field& f) {
    const std::size_t count = std::min(Filtr.ZnakyZa.size(), Filtr.PolohyZa.size());
    Text counter;
    std::size_t counterAt = count;
    for (std::size_t i = 0; i < count && !f.counted; ++i) {
        if (Filtr.PolohyZa[i] < 0 && f.numbering.putCounter(counter, 0, -Filtr.PolohyZa[i])) {
            counterAt = i;
            f.counted = true;
        }
    }
    for (std::size_t i = count; i-- > 0 && out.size() - base <= limit;) {
        const int p = Filtr.PolohyZa[i];
        if (p < 0) {
            if (i == counterAt) out += counter;
        } else if (p > 0) {
            if (p <= f.b) out += f.J[static_cast<std::size_t>(f.L - p)];
        } else {
            putPlainToken(out, out.size(), Filtr.ZnakyZa[i], f.d, f.numbering.tracker);
        }
    }
}

// The part before the star and the star's text, stopping once the field holds more than `limit`.
void writeBeforeStar(Text& out, std::size_t base, std::size_t limit, const FiltrVystup& Filtr, Field& f) {
    const std::size_t count = std::min(Filtr.ZnakyPred.size(), Filtr.PolohyPred.size());
    for (std::size_t i = 0; i < count && out.size() - base <= limit; ++i) {
        const int p = Filtr.PolohyPred[i];
        if (p < 0) {
            f.counted = f.numbering.putCounter(out, out.size(), -p);
        } else if (p > 0) {
            if (p <= f.a) out += f.J[static_cast<std::size_t>(p - 1)];
            f.numbering.tracker.keep();
        } else {
            putPlainToken(out, out.size(), Filtr.ZnakyPred[i], f.d, f.numbering.tracker);
        }
    }
}

}  // namespace

Text ZpracJmeno(std::u32string_view Jm, const FiltrVystup& Filtr, const ZpracVolani& call,
                const RenameOptions& options) {
    Text result;
    result.reserve(Jm.size() + 16);
    appendZpracJmeno(result, Jm, Filtr, call, options);
    return result;
}

void appendZpracJmeno(Text& out, std::u32string_view Jm, const FiltrVystup& Filtr, const ZpracVolani& call,
                      const RenameOptions& options) {
    Numbering numbering(options, call.N, call.Obracene, call.Pocitat, call.maxPadding);
    // The kept number is cut from the text in the orientation the tokens see, so that its place
    // is tracked on the same characters the pattern consumes. Without either, the name is read as is.
    const bool extracts = Filtr.Citac && options.optCitac == Citac::Zachovat;
    Text own;
    if (call.Obracene || extracts) {
        own = call.Obracene ? Obrat(Jm) : Text(Jm);
        if (extracts) numbering.extract(own);
    }
    Field f{call.Obracene || extracts ? std::u32string_view(own) : Jm, 0, 0, 0, call.d, numbering};
    f.L = static_cast<long>(f.J.size());
    f.a = std::max(Filtr.SpotrebaPred, 0);
    f.b = std::max(Filtr.SpotrebaZa, 0);
    std::size_t zbytekAt = 0, zbytekSize = 0;
    if (f.L < f.a + f.b) {
        if (f.L < f.a) {
            f.a = f.L;
            f.b = 0;
        } else {
            f.b = f.L - f.a;
        }
    } else if (Filtr.Hvezda != 0 && f.L - f.a - f.b > 0) {
        zbytekAt = static_cast<std::size_t>(f.a);
        zbytekSize = static_cast<std::size_t>(f.L - f.a - f.b);
    }

    // The field is written after what `out` holds: the part before the star, the star's part and
    // the part after it.
    const std::size_t base = out.size(), limit = cutLength(Filtr, call, extracts, options);
    writeBeforeStar(out, base, limit, Filtr, f);
    numbering.tracker.star(zbytekSize);
    out.append(f.J, zbytekAt, zbytekSize);
    if (limit == kNoLimit)
        writeAfterStar(out, Filtr, f);
    else
        writeAfterStarCut(out, base, limit, Filtr, f);

    numbering.reinsert(out, base);
    // Turned twice is turned back.
    if (call.Obracene != Filtr.Obratit) std::reverse(out.begin() + static_cast<std::ptrdiff_t>(base), out.end());
    if (changesCharacters(options)) {
        Text field = out.substr(base);
        out.erase(base);
        out += characterOptions(std::move(field), options, Filtr.regex.get());
    }
}

}  // namespace zelvar
