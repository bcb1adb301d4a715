#pragma once
// Text as the engine sees it: one char32_t per code point, so no routine can split a character.
// File names cross into the engine losslessly: bytes that are not valid UTF-8 become the code points
// U+DC80..U+DCFF and turn back into the very same bytes, so any name on disk survives a round trip.
#include <cstdint>
#include <string>
#include <string_view>

namespace zelvar {

using Text = std::u32string;

// Decodes UTF-8; every byte of an invalid sequence becomes U+DC00 + byte.
Text fromUtf8(std::string_view bytes);
// Encodes to UTF-8; U+DC80..U+DCFF become their original single bytes again.
std::string toUtf8(const Text& text);
// The same appended to `out`, for writers that fill one buffer with many names.
void appendUtf8(std::string& out, const Text& text);

// The length of toUtf8(text) in bytes, without encoding it.
std::size_t utf8Size(const Text& text);
// The form a text takes on disk and back: escaped bytes that together form valid UTF-8 become the
// characters they encode, so that two texts naming the same bytes are equal.
void canonicalise(Text& text);

// Shorthand for literals in code and tests: T("Přejmenovat").
inline Text T(std::string_view utf8) { return fromUtf8(utf8); }

// Simple per-code-point case mapping (never changes the length). ASCII is mapped here, inline, as
// it is most of every name and the clash checks fold every character of every new name.
char32_t lowerBeyondAscii(char32_t c);
char32_t upperBeyondAscii(char32_t c);
inline char32_t lowerChar(char32_t c) {
    if (c < 0x80) return (c >= U'A' && c <= U'Z') ? c + 32 : c;
    return lowerBeyondAscii(c);
}
inline char32_t upperChar(char32_t c) {
    if (c < 0x80) return (c >= U'a' && c <= U'z') ? c - 32 : c;
    return upperBeyondAscii(c);
}
Text toLower(Text text);
Text toUpper(Text text);

// The text in reverse order of code points.
Text Obrat(std::u32string_view text);

// Removes leading and trailing blanks (U+0020 only).
Text trimSpaces(const Text& text);

// The numeric value of a text: its leading number (optional leading blanks, optional sign, digits,
// optional decimal part); 0 when the text does not begin with one.
double numericValue(const Text& text);

// A whole number in decimal, no leading blank.
Text decimal(long long value);

// 1-based position of the first `what` at or after `from` (1-based), 0 when absent.
std::size_t instr(std::size_t from, const Text& text, char32_t what);
std::size_t instr(std::size_t from, const Text& text, const Text& what);

}  // namespace zelvar
