#include <gtest/gtest.h>

#include "engine/charset.h"

using namespace zelvar;

TEST(CharacterSets, RemoveAndReplace) {
    EXPECT_EQ(OdstranZnaky(U"a--b", U"-"), Text(U"ab"));
    EXPECT_EQ(OdstranZnaky(U"Aa", U"a"), Text(U"A"));  // exact, case-sensitive

    struct Case {
        const char32_t *text, *co, *zaCo, *znaky, *retezec;
    };
    const Case cases[] = {
        // text, Co, ZaCo, ZamenZnaky result, ZamenRetezec result
        {U"a b-c", U" -", U"__", U"a_b_c", U"a b-c"},
        {U"abc", U"abc", U"xy", U"xyy", U"xy"},    // ZaCo lengthened with its last character
        {U"ab", U"ab", U"bc", U"cc", U"bc"},       // the second pair rewrites what the first wrote
        {U"abc", U"b", U"xyz", U"axc", U"axyzc"},  // surplus characters unused by pairs
        {U"aa", U"a", U"aa", U"aa", U"aaaa"},      // inserted text is not searched again
        {U"aaa", U"aa", U"b", U"bbb", U"ba"},      // occurrences do not overlap
        {U"abab", U"ab", U"x", U"xxxx", U"xx"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ZamenZnaky(c.text, c.co, c.zaCo), Text(c.znaky)) << toUtf8(c.text);
        EXPECT_EQ(ZamenRetezec(c.text, c.co, c.zaCo), Text(c.retezec)) << toUtf8(c.text);
    }
}

TEST(CharacterSets, BezDiakritiky) {
    EXPECT_EQ(BezDiakritiky(T("Žluťoučký kůň")), T("Zlutoucky kun"));
    EXPECT_EQ(BezDiakritiky(T("ŘEŘICHA ĽUBOŠ ÔĎŤŇ ÄÖÜ äöü ëË ĺŕś ĹŔŚ ěĚ")),
              T("RERICHA LUBOS ODTN AOU aou eE lrs LRS eE"));
    EXPECT_EQ(BezDiakritiky(T("Łódź ą ß ñ")), T("Łodź ą ß ñ"));  // letters outside the table stay
}
