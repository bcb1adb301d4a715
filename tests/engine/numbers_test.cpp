#include <gtest/gtest.h>

#include <cmath>

#include "engine/numbers.h"

using namespace zelvar;

TEST(ZbytekDeleni, FloorsAndTakesMagnitudes) {
    struct Case { double a, b, expected; };
    const Case cases[] = {
        {7, 3, 1}, {-7, 3, 1}, {7.9, 3, 1}, {-7.5, 2, 0}, {10, -3, 1}, {0, 5, 0},
        // Past 2^53 the quotient rounds: 2^60 / 10 rounds up and Q x B rounds back to 2^60.
        {std::ldexp(1.0, 60), 10, 0},
        // Q x B can even round above A, leaving a negative remainder of one unit (256 here).
        {1729382256910270720.0, 3, -256},
    };
    for (const auto& c : cases) EXPECT_EQ(ZbytekDeleni(c.a, c.b), c.expected) << c.a << " % " << c.b;
}

TEST(CisloNaText, DigitsWidthsAndClampedRadix) {
    struct Case { double value; int radix, width, set; const char32_t* expected; };
    const Case cases[] = {
        {255, 16, 4, 2, U"00ff"}, {5, 2, 0, 0, U"101"},   {0, 26, 3, 1, U"aaa"},
        {1234, 10, 2, 0, U"1234"}, {0, 10, 0, 0, U"0"},   {0, 10, 3, 0, U"000"},
        {26, 26, 0, 1, U"ba"},    {27, 26, 0, 1, U"bb"},  {25, 26, 3, 1, U"aaz"},
        {5, 1, 0, 0, U"101"},     {5, 0, 0, 0, U"101"},   {5, -4, 0, 0, U"101"},
        {25, 20, 0, 0, U"25"},    {27, 30, 0, 1, U"bb"},  {36, 40, 0, 2, U"10"},
        {35, 36, 0, 7, U"z"},     {5, 10, -2, 0, U"5"},   {7.9, 10, 0, 0, U"7"},
        {35, 36, 3, 2, U"00z"},
        // Each quotient rounds in double: the trailing digits come out as zeros, not 976.
        {std::ldexp(1.0, 60), 10, 0, 0, U"1152921504606847000"},
        {std::ldexp(1.0, 53), 10, 0, 0, U"9007199254740992"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CisloNaText(c.value, c.radix, c.width, c.set), Text(c.expected))
            << c.value << " radix " << c.radix << " set " << c.set;
    }
}

TEST(CisloNaText, DigitOutsideAlphabetIsLeftOut) {
    // Its first remainder is -256: that digit is dropped and the rest is the quotient's digits.
    const double value = 1729382256910270720.0;
    const double quotient = 576460752303423616.0;
    const Text digits = CisloNaText(value, 3, 0, 0);
    EXPECT_EQ(digits, CisloNaText(quotient, 3, 0, 0));
    EXPECT_EQ(digits.size(), 38u);
}

TEST(CisloNaText, InfinityWritesNothing) {
    EXPECT_EQ(CisloNaText(INFINITY, 10, 3, 0), Text());
}

TEST(TextNaCislo, LeadingDigitsOfTheSet) {
    struct Case { const char32_t* text; int radix, set; double expected; };
    const Case cases[] = {
        {U"ff", 16, 0, 0},      {U"Zz", 36, 2, 1295}, {U"b", 26, 1, 1},  {U"FF", 16, 2, 255},
        {U"12x5", 10, 0, 12},   {U"x12", 10, 0, 0},   {U"", 10, 0, 0},   {U"19", 8, 0, 1},
        {U"ff", 40, 2, 555},    {U"101", 1, 0, 5},    {U"ba", 30, 1, 26}, {U"007", 10, 0, 7},
        {U"1a", 10, 2, 1},      {U"1a", 11, 2, 21},   {U"a1", 26, 1, 0},
        // Above 2^53 the sum rounds: 16^14 - 1 becomes 2^56.
        {U"ffffffffffffff", 16, 2, 72057594037927936.0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TextNaCislo(c.text, c.radix, c.set), c.expected)
            << toUtf8(c.text) << " radix " << c.radix << " set " << c.set;
    }
}

TEST(TextNaCislo, ReadBackDropsLeadingZerosUnlessWidthRestoresThem) {
    EXPECT_EQ(CisloNaText(TextNaCislo(U"007", 10, 0), 10, 0, 0), Text(U"7"));
    EXPECT_EQ(CisloNaText(TextNaCislo(U"00FF", 16, 2), 16, 4, 2), Text(U"00ff"));
}

TEST(Obrat, ReversesCodePoints) {
    EXPECT_EQ(Obrat(U"abc"), Text(U"cba"));
    EXPECT_EQ(Obrat(T("kůň")), T("ňůk"));
    EXPECT_EQ(Obrat(U""), Text());
}
