#include "engine/text.h"

#include <unicode/uchar.h>

#include <cmath>

namespace zelvar {

namespace {

// Length of the sequence that starts with lead byte b, 0 when b cannot start one.
int sequenceLength(unsigned char b) {
    if (b < 0x80) return 1;
    if (b >= 0xC2 && b <= 0xDF) return 2;
    if (b >= 0xE0 && b <= 0xEF) return 3;
    if (b >= 0xF0 && b <= 0xF4) return 4;
    return 0;
}

bool isContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

}  // namespace

Text fromUtf8(std::string_view s) {
    // Never more code points than bytes: sized once, written in place, cut to what was written.
    Text out(s.size(), U'\0');
    char32_t* o = out.data();
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b0 = static_cast<unsigned char>(s[i]);
        if (b0 < 0x80) {
            *o++ = b0;
            ++i;
            continue;
        }
        const int len = sequenceLength(b0);
        bool ok = len > 0 && i + len <= s.size();
        char32_t cp = 0;
        if (ok) {
            cp = b0 & (0x7F >> len);
            for (int k = 1; k < len && ok; ++k) {
                const auto b = static_cast<unsigned char>(s[i + k]);
                ok = isContinuation(b);
                cp = (cp << 6) | (b & 0x3F);
            }
            // Reject overlong forms, surrogates and values past U+10FFFF, so that every
            // accepted sequence is the one and only encoding of its code point.
            if (ok) {
                if (len == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ok = false;
                if (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ok = false;
            }
        }
        if (ok) {
            *o++ = cp;
            i += len;
        } else {
            *o++ = 0xDC00 + b0;
            ++i;
        }
    }
    out.resize(static_cast<std::size_t>(o - out.data()));
    return out;
}

std::string toUtf8(const Text& text) {
    std::string out;
    appendUtf8(out, text);
    return out;
}

void appendUtf8(std::string& out, const Text& text) {
    // Sized once and written in place: names are converted several times per entry of a listing.
    const std::size_t start = out.size();
    // Most names are ASCII, a byte a character, which needs no counting. The text is read through
    // plain locals: a store through char* may alias anything, so the compiler would otherwise read
    // the string's size and data again after every byte.
    const char32_t* const from = text.data();
    const std::size_t n = text.size();
    char32_t all = 0;
    for (std::size_t i = 0; i < n; ++i) all |= from[i];
    if (all < 0x80) {
        out.resize(start + n);
        char* const p = out.data() + start;
        for (std::size_t i = 0; i < n; ++i) p[i] = static_cast<char>(from[i]);
        return;
    }
    out.resize(start + utf8Size(text));
    char* p = out.data() + start;
    for (const char32_t c : text) {
        if (c < 0x80) {
            *p++ = static_cast<char>(c);
        } else if (c >= 0xDC80 && c <= 0xDCFF) {
            *p++ = static_cast<char>(c - 0xDC00);
        } else if (c < 0x800) {
            *p++ = static_cast<char>(0xC0 | (c >> 6));
            *p++ = static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            *p++ = static_cast<char>(0xE0 | (c >> 12));
            *p++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            *p++ = static_cast<char>(0x80 | (c & 0x3F));
        } else {
            *p++ = static_cast<char>(0xF0 | (c >> 18));
            *p++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            *p++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            *p++ = static_cast<char>(0x80 | (c & 0x3F));
        }
    }
}

Text Obrat(std::u32string_view text) { return Text(text.rbegin(), text.rend()); }

std::size_t utf8Size(const Text& text) {
    // Without branches, so that the loop vectorises: a byte escaped as U+DC80..U+DCFF is one byte.
    std::size_t size = 0;
    for (const char32_t c : text)
        size += 1 + (c >= 0x80) + (c >= 0x800) + (c >= 0x10000) - 2 * (c >= 0xDC80 && c <= 0xDCFF);
    return size;
}

void canonicalise(Text& text) {
    // Only a text holding escaped bytes can change; most names hold none.
    const auto escaped = [](char32_t c) { return c >= 0xDC80 && c <= 0xDCFF; };
    for (const char32_t c : text) {
        if (escaped(c)) {
            text = fromUtf8(toUtf8(text));
            return;
        }
    }
}

char32_t lowerBeyondAscii(char32_t c) {
    // The escaped bytes of an invalid name are no letters and must come back unchanged.
    if (c >= 0xDC80 && c <= 0xDCFF) return c;
    return static_cast<char32_t>(u_tolower(static_cast<UChar32>(c)));
}

char32_t upperBeyondAscii(char32_t c) {
    if (c >= 0xDC80 && c <= 0xDCFF) return c;
    return static_cast<char32_t>(u_toupper(static_cast<UChar32>(c)));
}

Text toLower(Text text) {
    for (auto& c : text) c = lowerChar(c);
    return text;
}

Text toUpper(Text text) {
    for (auto& c : text) c = upperChar(c);
    return text;
}

Text trimSpaces(const Text& text) {
    const auto first = text.find_first_not_of(U' ');
    if (first == Text::npos) return {};
    const auto last = text.find_last_not_of(U' ');
    return text.substr(first, last - first + 1);
}

double numericValue(const Text& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == U' ' || text[i] == U'\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == U'+' || text[i] == U'-')) {
        negative = text[i] == U'-';
        ++i;
    }
    double value = 0;
    bool digits = false;
    while (i < text.size() && text[i] >= U'0' && text[i] <= U'9') {
        value = value * 10 + (text[i] - U'0');
        digits = true;
        ++i;
    }
    if (i < text.size() && text[i] == U'.') {
        double scale = 0.1;
        for (++i; i < text.size() && text[i] >= U'0' && text[i] <= U'9'; ++i) {
            value += (text[i] - U'0') * scale;
            scale /= 10;
            digits = true;
        }
    }
    if (!digits) return 0;
    return negative ? -value : value;
}

Text decimal(long long value) {
    const std::string s = std::to_string(value);
    return Text(s.begin(), s.end());
}

std::size_t instr(std::size_t from, const Text& text, char32_t what) {
    if (from < 1) from = 1;
    if (from > text.size()) return 0;
    const auto p = text.find(what, from - 1);
    return p == Text::npos ? 0 : p + 1;
}

std::size_t instr(std::size_t from, const Text& text, const Text& what) {
    if (from < 1) from = 1;
    if (from > text.size() + 1) return 0;
    const auto p = text.find(what, from - 1);
    return p == Text::npos ? 0 : p + 1;
}

}  // namespace zelvar
