#include <gtest/gtest.h>

#include "engine/counters.h"

using namespace zelvar;

TEST(KeptNumbers, DigitRangesFollowTheRadixUnclamped) {
    struct Case {
        char32_t c;
        int radix, set;
        bool belongs;
    };
    const Case cases[] = {
        {U'5', 10, 0, true},  {U'a', 10, 0, false}, {U'1', 2, 0, true},   {U'2', 2, 0, false}, {U'f', 16, 2, true},
        {U'F', 16, 2, true},  {U'g', 16, 2, false}, {U'9', 16, 2, true},  {U'z', 26, 1, true}, {U'Z', 26, 1, true},
        {U'0', 26, 1, false}, {U'd', 3, 1, false},  {U'b', 10, 2, false}, {U'z', 36, 5, true}, {U'0', 0, 0, false},
        {U':', 11, 0, true},  // the radix is not clamped to the digit set here: 11 with "0-9" reaches ":"
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isKeptDigit(c.c, c.radix, c.set), c.belongs)
            << toUtf8(Text(1, c.c)) << " radix " << c.radix << " set " << c.set;
    }
}

TEST(KeptNumbers, RadixFieldAsSixteenBitNumber) {
    struct Case {
        const char32_t* text;
        std::optional<int> value;
    };
    const Case cases[] = {
        {U"10", 10},
        {U"", 0},
        {U"abc", 0},
        {U"007", 7},
        {U"32767", 32767},
        {U"-32768", -32768},
        {U"32768", std::nullopt},
        {U"2.5", 2},
        {U"3.5", 4},
    };
    for (const auto& c : cases) EXPECT_EQ(radixValue(c.text), c.value) << toUtf8(c.text);
}
