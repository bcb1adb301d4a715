#include <gtest/gtest.h>

#include "engine/counters.h"
#include "engine/pattern.h"

using namespace zelvar;

TEST(KeptNumbers, RunLimitPerRadix) {
    struct Case { int radix, limit; };
    const Case cases[] = {
        {2, 54},  {3, 34},  {4, 27},  {5, 23},  {6, 21},  {7, 19},  {8, 17},  {9, 16},
        {10, 16}, {11, 15}, {13, 15}, {14, 14}, {17, 14}, {18, 13}, {21, 13}, {22, 12},
        {28, 12}, {29, 11}, {36, 11}, {1, 11},  {0, 11},  {40, 11},
    };
    for (const auto& c : cases) EXPECT_EQ(keptRunLimit(c.radix), c.limit) << c.radix;
}

TEST(KeptNumbers, DigitRangesFollowTheRadixUnclamped) {
    struct Case { char32_t c; int radix, set; bool belongs; };
    const Case cases[] = {
        {U'5', 10, 0, true},  {U'a', 10, 0, false}, {U'1', 2, 0, true},   {U'2', 2, 0, false},
        {U'f', 16, 2, true},  {U'F', 16, 2, true},  {U'g', 16, 2, false}, {U'9', 16, 2, true},
        {U'z', 26, 1, true},  {U'Z', 26, 1, true},  {U'0', 26, 1, false}, {U'd', 3, 1, false},
        {U'b', 10, 2, false}, {U'z', 36, 5, true},
        // The radix is not clamped to the digit set here: 11 with "0-9" reaches ":".
        {U':', 11, 0, true},  {U'0', 0, 0, false},  {U'a', 1, 1, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isKeptDigit(c.c, c.radix, c.set), c.belongs)
            << toUtf8(Text(1, c.c)) << " radix " << c.radix << " set " << c.set;
    }
}

TEST(KeptNumbers, RadixFieldAsSixteenBitNumber) {
    struct Case { const char32_t* text; std::optional<int> value; };
    const Case cases[] = {
        {U"10", 10},       {U"", 0},           {U"abc", 0},   {U"007", 7},
        {U"32767", 32767}, {U"-32768", -32768}, {U"32768", std::nullopt},
        {U"99999999", std::nullopt},           {U"2.5", 2},   {U"3.5", 4},
    };
    for (const auto& c : cases) EXPECT_EQ(radixValue(c.text), c.value) << toUtf8(c.text);
}

TEST(KeptNumbers, ExtractionCutsTheFirstRun) {
    RenameOptions o;
    Text text = U"ab0123cd45";
    KeptNumber kept = extractKeptNumber(text, o, false);
    EXPECT_TRUE(kept.found);
    EXPECT_EQ(kept.value, 123);
    EXPECT_EQ(kept.start, 3u);
    EXPECT_EQ(text, Text(U"abcd45"));

    text = U"x21y";  // a mirrored name: the run reads "12"
    kept = extractKeptNumber(text, o, true);
    EXPECT_EQ(kept.value, 12);
    EXPECT_EQ(text, Text(U"xy"));

    text = U"none";
    kept = extractKeptNumber(text, o, false);
    EXPECT_FALSE(kept.found);
    EXPECT_EQ(kept.value, 0);
    EXPECT_EQ(text, Text(U"none"));

    o.txtZachovatCiselnyZaklad = U"40000";  // no usable radix: nothing is a digit
    text = U"a12";
    EXPECT_FALSE(extractKeptNumber(text, o, false).found);
}

TEST(InsertionTracker, MovesOnlyWhileCharactersBeforeTheNumberRemain) {
    InsertionTracker t;
    t.start(4);  // "img|12x": three characters stand before the number
    t.literal();
    EXPECT_EQ(t.position(), 5);
    t.keep();
    t.keep();
    t.drop();
    EXPECT_EQ(t.position(), 4);
    t.date(kMarkRok4);  // one unit of the countdown is left, so the date still counts
    EXPECT_EQ(t.position(), 8);
    t.keep();
    t.literal();
    t.date(kMarkDen);
    EXPECT_EQ(t.position(), 8);

    InsertionTracker first;
    first.start(1);  // the number stood first: the tracker never moves
    first.literal();
    EXPECT_EQ(first.position(), 0);

    InsertionTracker star;
    star.start(3);
    star.date(kMarkMinuta);
    star.star(3);
    star.literal();
    EXPECT_EQ(star.position(), 5);
}
