#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>

#include "engine/keyfilter.h"

using namespace zelvar;

namespace {

// A verdict whose code is kSelf lets the typed key itself through.
constexpr char32_t kSelf = 1;
constexpr KeyVerdict self{kSelf}, beep{0, true}, message{0, true, true}, quiet{};

}  // namespace

TEST(KontrolaZnaku, VerdictPerModeListAndKey) {
    // mode, list, keys typed, the verdict on each
    const std::tuple<const char32_t*, const char32_t*, const char32_t*, KeyVerdict> cases[] = {
        // Backspace and Tab pass in every mode, Enter becomes Tab.
        {U"x", U"", U"\b\t", self},
        {U"", U"", U"\r", {U'\t'}},
        // Digits only.
        {U"C", U"", U"09\b\t", self},
        {U"c", U"", U"/:a \x16\u0663", beep},
        // Whole numbers: a sign only where the list starts with it.
        {U"Z", U"-+", U"5-", self},
        {U"Z", U"", U"-,.", beep},
        {U"Z", U"+-", U"-", beep},
        // Real numbers: a sign as above, "." is written as "," unless that very key is in the list.
        {U"r", U"-", U"-7", self},
        {U"r", U"12", U".,", {U','}},
        {U"R", U"1.5", U".e", beep},
        // Amounts: no sign, one decimal comma.
        {U"K", U"12", U".,", {U','}},
        {U"K", U"1,5", U".,", beep},
        {U"K", U"-", U"-", beep},
        // Allowed list: an empty one allows nothing and says so; exact, case-sensitive members.
        {U"p", U"", U"a1", message},
        {U"P", U"abč", U"bč", self},
        {U"P", U"abč", U"d5Bc", beep},
        // Forbidden list.
        {U"n", U"", U"5*", self},
        {U"N", U"ab1", U"a1", beep},
        // Long file names refuse the nine forbidden characters and ignore the list.
        {U"f", U"", U"/\\<>|:*?\"", beep},
        {U"win", U"", U"<?", beep},
        {U"f", U"a", U"ař", self},
        // Old short names refuse blanks, some punctuation and everything outside ASCII; no list either.
        {U"F", U"", U" !;=\x7f€č\u00A0\u3042", beep},
        {U"dos", U"", U"`", beep},
        {U"F", U"a", U"Z5\"&[_~a", self},
        // Modes are compared whole and case-sensitively; an unknown one swallows keys silently.
        {U"", U"", U"a5", quiet},
        {U"c ", U"", U"5", quiet},
    };
    for (const auto& [mode, list, keys, expected] : cases)
        for (const char32_t key : Text(keys)) {
            SCOPED_TRACE(toUtf8(mode) + " [" + toUtf8(list) + "] key " + std::to_string(key));
            const KeyVerdict v = KontrolaZnaku(key, mode, list);
            const char32_t want = expected.code == kSelf ? key : expected.code;
            EXPECT_EQ(std::tuple(std::uint32_t(v.code), v.beep, v.message),
                      std::tuple(std::uint32_t(want), expected.beep, expected.message));
        }
}

TEST(RadixField, NormaliseAndCap) {
    // text, digit set, normalised, capped
    const std::tuple<const char*, int, const char*, const char*> cases[] = {
        {"", 0, "2", ""},         {"1", 2, "2", "1"},     {"007", 0, "7", "007"},
        {"40", 0, "10", "10"},    {"40", 2, "36", "36"},  {"0036", 2, "36", "0036"},
        {"12abc", 0, "10", "10"}, {"abc", 1, "2", "abc"}, {"99999999999999999999", 1, "26", "26"},
    };
    for (const auto& [text, digitSet, normalised, capped] : cases) {
        SCOPED_TRACE(std::string(text) + " set " + std::to_string(digitSet));
        EXPECT_EQ(toUtf8(normaliseRadix(T(text), digitSet)), normalised);
        EXPECT_EQ(toUtf8(capRadix(T(text), digitSet)), capped);
    }
}
