#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "engine/counters.h"
#include "engine/numbers.h"

using namespace zelvar;

TEST(CisloNaText, DigitsWidthsAndClampedRadix) {
    // value, radix, width, digit set, text
    const std::tuple<double, int, int, int, const char32_t*> cases[] = {
        {255, 16, 4, 2, U"00ff"}, {5, 2, 0, 0, U"101"},   {0, 26, 3, 1, U"aaa"},  {1234, 10, 2, 0, U"1234"},
        {0, 10, 0, 0, U"0"},      {25, 26, 3, 1, U"aaz"}, {5, -4, 0, 0, U"101"},  {27, 30, 0, 1, U"bb"},
        {36, 40, 0, 2, U"10"},    {35, 36, 3, 7, U"00z"}, {7.9, 10, -2, 0, U"7"}, {INFINITY, 10, 3, 0, U""},
    };
    for (const auto& [value, radix, width, set, expected] : cases)
        EXPECT_EQ(CisloNaText(value, radix, width, set), Text(expected))
            << value << " radix " << radix << " set " << set;
    EXPECT_EQ(CisloNaText(std::ldexp(1.0, 60), 10, 0, 0), U"1152921504606847000");  // quotients round in double
    // A remainder of -256 points outside the alphabet: that digit is left out, the rest are the
    // digits of the quotient 2^59 + 128.
    const Text digits = CisloNaText(1729382256910270720.0, 3, 0, 0);
    EXPECT_EQ(digits, CisloNaText(576460752303423616.0, 3, 0, 0));
    EXPECT_EQ(digits.size(), 38u);
}

TEST(CisloNaText, SmallWholeNumbersAndLargerOnesAgreeAroundTheBoundary) {
    // Small whole numbers take a quicker route than the rest; both must read back to the value in
    // every radix and digit set, on either side of 2^31 and from fractions that floor to it.
    const double values[] = {0,          1,          35,         36,         1295,
                             1296,       32767,      2147483646, 2147483647, 2147483647.5,
                             2147483648, 2147483649, 4294967295, 4294967296, 8589934593};
    for (int set = 0; set <= 2; ++set) {
        for (int radix = 2; radix <= highestRadix(set); ++radix) {
            for (const double value : values) {
                const Text text = CisloNaText(value, radix, 0, set);
                EXPECT_EQ(TextNaCislo(text, radix, set), std::floor(value))
                    << value << " radix " << radix << " set " << set << ": " << toUtf8(text);
            }
        }
    }
    EXPECT_EQ(CisloNaText(2147483647, 36, 0, 2), U"zik0zj");
    EXPECT_EQ(CisloNaText(2147483648, 26, 9, 1), U"aagytisyy");
    EXPECT_EQ(CisloNaText(-0.0, 10, 2, 0), U"00");
}

TEST(TextNaCislo, LeadingDigitsOfTheSet) {
    // text, radix, digit set, value
    const std::tuple<const char32_t*, int, int, double> cases[] = {
        {U"ff", 16, 0, 0}, {U"Zz", 36, 2, 1295}, {U"b", 26, 1, 1},  {U"FF", 16, 2, 255}, {U"12x5", 10, 0, 12},
        {U"19", 8, 0, 1},  {U"ff", 40, 2, 555},  {U"101", 1, 0, 5}, {U"1a", 11, 2, 21},  {U"a1", 26, 1, 0},
    };
    for (const auto& [text, radix, set, expected] : cases)
        EXPECT_EQ(TextNaCislo(text, radix, set), expected) << toUtf8(text) << " radix " << radix;
    EXPECT_EQ(TextNaCislo(U"ffffffffffffff", 16, 2), 72057594037927936.0);  // 16^14 - 1 rounds to 2^56
}

TEST(KeptNumbers, DigitRangesFollowTheRadixUnclamped) {
    // The radix is not clamped to the digit set here: 11 with "0-9" reaches ":".
    const std::tuple<char32_t, int, int, bool> cases[] = {
        {U'2', 2, 0, false}, {U'F', 16, 2, true},  {U'g', 16, 2, false}, {U'9', 16, 2, true},
        {U'Z', 26, 1, true}, {U'0', 26, 1, false}, {U'0', 0, 0, false},  {U':', 11, 0, true},
    };
    for (const auto& [c, radix, set, belongs] : cases)
        EXPECT_EQ(isKeptDigit(c, radix, set), belongs) << char(c) << " radix " << radix << " set " << set;
}

TEST(KeptNumbers, RadixFieldAsSixteenBitNumber) {
    const std::pair<const char32_t*, std::optional<int>> cases[] = {
        {U"", 0},    {U"abc", 0}, {U"007", 7}, {U"32767", 32767}, {U"-32768", -32768}, {U"32768", std::nullopt},
        {U"2.5", 2}, {U"3.5", 4},
    };
    for (const auto& [text, value] : cases) EXPECT_EQ(radixValue(text), value) << toUtf8(text);
}
