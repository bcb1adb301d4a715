#include <gtest/gtest.h>

#include "engine/charset.h"

using namespace zelvar;

TEST(OdstranZnaky, RemovesEveryListedCharacter) {
    EXPECT_EQ(OdstranZnaky(U"a--b", U"-"), Text(U"ab"));
    EXPECT_EQ(OdstranZnaky(U"Aa", U"a"), Text(U"A"));  // exact, case-sensitive
    EXPECT_EQ(OdstranZnaky(U"a b-c_d", U" -_"), Text(U"abcd"));
    EXPECT_EQ(OdstranZnaky(U"abc", U""), Text(U"abc"));
    EXPECT_EQ(OdstranZnaky(U"", U"abc"), Text());
}

TEST(ZamenZnaky, PairsActOneAfterAnother) {
    struct Case { const char32_t *text, *co, *zaCo, *expected; };
    const Case cases[] = {
        {U"a b-c", U" -", U"__", U"a_b_c"},
        {U"abc", U"abc", U"x", U"xxx"},   // lengthened with its last character
        {U"ab", U"ab", U"bc", U"cc"},     // the second pair rewrites what the first wrote
        {U"abc", U"b", U"xyz", U"axc"},   // surplus replacement characters unused
        {U"aa", U"aa", U"xy", U"xx"},     // a repeated character keeps its first pair
        {U"ABC", U"abc", U"x", U"ABC"},
        {U"", U"a", U"b", U""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ZamenZnaky(c.text, c.co, c.zaCo), Text(c.expected)) << toUtf8(c.text);
    }
}

TEST(ZamenRetezec, LeftToRightWithoutRescanning) {
    struct Case { const char32_t *text, *co, *zaCo, *expected; };
    const Case cases[] = {
        {U"aaa", U"a", U"b", U"bbb"},    {U"abab", U"ab", U"x", U"xx"},
        {U"aa", U"a", U"aa", U"aaaa"},   {U"aaaa", U"aa", U"a", U"aa"},
        {U"aaa", U"aa", U"b", U"ba"},    {U"xyz", U"", U"q", U"xyz"},
        {U"abc", U"bc", U"", U"a"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ZamenRetezec(c.text, c.co, c.zaCo), Text(c.expected)) << toUtf8(c.text);
    }
}

TEST(BezDiakritiky, CzechAndSlovakLettersOnly) {
    struct Case { const char *text, *expected; };
    const Case cases[] = {
        {"Žluťoučký kůň", "Zlutoucky kun"},
        {"Łódź", "Łodź"},
        {"ŘEŘICHA ĽUBOŠ Ô Ď Ť Ň", "RERICHA LUBOS O D T N"},
        {"ÄÖÜ äöü ëË ĺŕś ĹŔŚ ěĚ", "AOU aou eE lrs LRS eE"},
        {"ą ß ę Ń ñ", "ą ß ę Ń ñ"},
    };
    for (const auto& c : cases) EXPECT_EQ(BezDiakritiky(T(c.text)), T(c.expected)) << c.text;
}
