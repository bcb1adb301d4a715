#include "engine/keyfilter.h"

#include "engine/charset.h"
#include "engine/numbers.h"

namespace zelvar {

namespace {

bool isDigit(char32_t c) { return c >= U'0' && c <= U'9'; }
bool contains(const Text& text, char32_t c) { return text.find(c) != Text::npos; }

KeyVerdict accept(char32_t c) { return {c, false, false}; }
KeyVerdict reject() { return {0, true, false}; }
KeyVerdict acceptIf(bool ok, char32_t c) { return ok ? accept(c) : reject(); }

// A sign is accepted only where the list starts with that very sign.
bool signAllowed(char32_t c, const Text& seznam) { return !seznam.empty() && seznam.front() == c; }

// Characters that an old short file name may not hold. The code page 1250 fills its upper half
// (codes 128 to 255) with every non-ASCII character it knows, and a character it lacks reaches a
// code-page text box as "?", which the set holds as well: so every non-ASCII character is out.
bool inShortNameSet(char32_t c) {
    static const Text ascii = U" !'()*+,-./:;<=>?\\`|";
    return c >= 127 || contains(ascii, c);
}

bool isMode(const Text& rezim, std::initializer_list<const char32_t*> names) {
    for (const char32_t* n : names)
        if (rezim == n) return true;
    return false;
}

}  // namespace

KeyVerdict KontrolaZnaku(char32_t znak, const Text& rezim, const Text& seznam) {
    if (znak == kKeyBackspace) return accept(znak);
    if (znak == kKeyTab || znak == kKeyEnter) return accept(kKeyTab);

    if (isMode(rezim, {U"C", U"c"})) return acceptIf(isDigit(znak), znak);
    if (isMode(rezim, {U"Z", U"z"})) {
        if (isDigit(znak)) return accept(znak);
        if (znak == U'-' || znak == U'+') return acceptIf(signAllowed(znak, seznam), znak);
        return reject();
    }
    if (isMode(rezim, {U"R", U"r"})) {
        if (isDigit(znak)) return accept(znak);
        if (znak == U'-' || znak == U'+') return acceptIf(signAllowed(znak, seznam), znak);
        if (znak == U',' || znak == U'.') return acceptIf(!contains(seznam, znak), U',');
        return reject();
    }
    if (isMode(rezim, {U"K", U"k", U"+"})) {
        if (isDigit(znak)) return accept(znak);
        if (znak == U',' || znak == U'.') return acceptIf(!contains(seznam, U','), U',');
        return reject();
    }
    if (isMode(rezim, {U"P", U"p"})) {
        if (seznam.empty()) return {0, true, true};
        return acceptIf(contains(seznam, znak), znak);
    }
    if (isMode(rezim, {U"N", U"n"})) return acceptIf(!contains(seznam, znak), znak);
    if (isMode(rezim, {U"f", U"WIN", U"win"})) return acceptIf(!contains(kZakazaneZnaky, znak), znak);
    if (isMode(rezim, {U"F", U"DOS", U"dos"})) return acceptIf(!inShortNameSet(znak), znak);
    return {0, false, false};
}

RadixKey radixKeyPress(const Text& text, char32_t key) {
    if (isDigit(key)) return {true, text};
    if (key == kKeyBackspace && !text.empty()) return {false, text.substr(0, text.size() - 1)};
    return {false, text};
}

Text normaliseRadix(const Text& text, int digitSet) {
    const double value = numericValue(text);
    const int limit = highestRadix(digitSet);
    if (value < 2) return U"2";
    if (value > limit) return decimal(limit);
    return decimal(static_cast<long long>(value));
}

Text capRadix(const Text& text, int digitSet) {
    const int limit = highestRadix(digitSet);
    return numericValue(text) > limit ? decimal(limit) : text;
}

}  // namespace zelvar
