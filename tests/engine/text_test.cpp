#include <gtest/gtest.h>

#include <tuple>

#include "engine/charset.h"
#include "engine/text.h"

using namespace zelvar;

TEST(Utf8, DecodesValidSequencesEscapesInvalidBytesAndRoundTrips) {
    const std::pair<std::string, Text> cases[] = {
        {"Žluťoučký kůň.jpg", U"Žluťoučký kůň.jpg"},
        {"emoji \xF0\x9F\x90\xA2", U"emoji \U0001F422"},
        {"bad \xFF\xFE end", U"bad \xDCFF\xDCFE end"},
        {"cut \xC5", U"cut \xDCC5"},                                  // truncated sequence at the end
        {"overlong \xC0\xAF", U"overlong \xDCC0\xDCAF"},              // must not decode to "/"
        {"surrogate \xED\xB2\x80", U"surrogate \xDCED\xDCB2\xDC80"},  // an encoded surrogate is invalid
        {"\x80\x80\x80", U"\xDC80\xDC80\xDC80"},
    };
    for (const auto& [bytes, text] : cases) {
        EXPECT_EQ(fromUtf8(bytes), text) << bytes;
        EXPECT_EQ(toUtf8(text), bytes) << bytes;
        EXPECT_EQ(utf8Size(text), bytes.size()) << bytes;
        Text canonical = text;
        canonicalise(canonical);
        EXPECT_EQ(canonical, text) << bytes;
    }
    // Escaped bytes that were split apart and meet again are the character they encode.
    Text joined = U"\xDCC3\xDCA9x\xDCC3";
    canonicalise(joined);
    EXPECT_EQ(joined, U"\u00E9x\xDCC3");
}

TEST(CaseMapping, CzechLettersAndEscapes) {
    EXPECT_EQ(toUpper(T("čtvrtek žluť az")), T("ČTVRTEK ŽLUŤ AZ"));
    EXPECT_EQ(toLower(T("ČTVRTEK.TXT AZ")), T("čtvrtek.txt az"));
    // ß has no single-character capital: simple mapping keeps it, so lengths never change.
    EXPECT_EQ(toUpper(T("ß")), T("ß"));
    const Text escaped{0xDCC4, 0xDCE4};
    EXPECT_EQ(toUpper(escaped) + toLower(escaped), escaped + escaped);
}

TEST(NumericValue, LeadingNumberOnly) {
    const std::pair<const char*, double> cases[] = {
        {"1", 1}, {"  42abc", 42}, {"-7", -7}, {"+3", 3},    {"2.5x", 2.5}, {"abc", 0},
        {"-", 0}, {".5", 0.5},     {"1e5", 1}, {"0010", 10}, {" - 3", 0},   {"99999999999999999", 1e17},
    };
    for (const auto& [text, value] : cases) EXPECT_DOUBLE_EQ(numericValue(T(text)), value) << text;
}

TEST(CharacterSets, RemoveAndReplace) {
    EXPECT_EQ(OdstranZnaky(U"a--bAa", U"-a"), Text(U"bA"));  // exact, case-sensitive

    // text, Co, ZaCo, ZamenZnaky result, ZamenRetezec result
    const std::tuple<const char32_t*, const char32_t*, const char32_t*, const char32_t*, const char32_t*> cases[] = {
        {U"a b-c", U" -", U"__", U"a_b_c", U"a b-c"},
        {U"abc", U"abc", U"xy", U"xyy", U"xy"},    // ZaCo lengthened with its last character
        {U"ab", U"ab", U"bc", U"cc", U"bc"},       // the second pair rewrites what the first wrote
        {U"abc", U"b", U"xyz", U"axc", U"axyzc"},  // surplus characters unused by pairs
        {U"aa", U"a", U"aa", U"aa", U"aaaa"},      // inserted text is not searched again
        {U"aaa", U"aa", U"b", U"bbb", U"ba"},      // occurrences do not overlap
    };
    for (const auto& [text, co, zaCo, znaky, retezec] : cases) {
        EXPECT_EQ(ZamenZnaky(text, co, zaCo), Text(znaky)) << toUtf8(text);
        EXPECT_EQ(ZamenRetezec(text, co, zaCo), Text(retezec)) << toUtf8(text);
    }
}

TEST(CharacterSets, BezDiakritiky) {
    // Ł, ź, ą, ß and ñ are outside the table and stay.
    EXPECT_EQ(BezDiakritiky(T("Žluťoučký kůň ŘEŘICHA ĽUBOŠ ÔĎŤŇ ÄÖÜ äöü ëË ĺŕś ĹŔŚ ěĚ Łódź ą ß ñ")),
              T("Zlutoucky kun RERICHA LUBOS ODTN AOU aou eE lrs LRS eE Łodź ą ß ñ"));
}
