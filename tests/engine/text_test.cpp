#include <gtest/gtest.h>

#include "engine/text.h"

using namespace zelvar;

TEST(Utf8, RoundTripsEveryByteString) {
    const std::string cases[] = {
        "plain.txt",
        "Žluťoučký kůň.jpg",
        "emoji \xF0\x9F\x90\xA2",
        std::string("bad \xFF\xFE end"),
        std::string("cut \xC5"),                 // truncated two-byte sequence at the end
        std::string("overlong \xC0\xAF"),        // overlong "/" must not decode to "/"
        std::string("surrogate \xED\xB2\x80"),   // an encoded surrogate is invalid UTF-8
        std::string("\x80\x80\x80"),
    };
    for (const auto& bytes : cases) {
        EXPECT_EQ(toUtf8(fromUtf8(bytes)), bytes) << bytes;
    }
}

TEST(Utf8, InvalidBytesBecomeEscapesAndValidOnesDecode) {
    EXPECT_EQ(fromUtf8("\xC5\xBE"), Text(U"ž"));
    EXPECT_EQ(fromUtf8(std::string("a\xFF")), (Text{U'a', 0xDCFF}));
    EXPECT_EQ(fromUtf8(std::string("\xC0\xAF")), (Text{0xDCC0, 0xDCAF}));
    EXPECT_EQ(fromUtf8(std::string("\xED\xB2\x80")), (Text{0xDCED, 0xDCB2, 0xDC80}));
}

TEST(CaseMapping, CzechLettersAndEscapes) {
    EXPECT_EQ(toUpper(T("čtvrtek žluť")), T("ČTVRTEK ŽLUŤ"));
    EXPECT_EQ(toLower(T("ČTVRTEK.TXT")), T("čtvrtek.txt"));
    // ß has no single-character capital: simple mapping keeps it, so lengths never change.
    EXPECT_EQ(toUpper(T("ß")), T("ß"));
    const Text escaped{0xDCC4, 0xDCE4};
    EXPECT_EQ(toUpper(escaped), escaped);
    EXPECT_EQ(toLower(escaped), escaped);
}

TEST(NumericValue, LeadingNumberOnly) {
    struct Case { const char* text; double value; };
    const Case cases[] = {
        {"1", 1},     {"  42abc", 42}, {"-7", -7},   {"+3", 3},  {"2.5x", 2.5}, {"abc", 0},
        {"", 0},      {"-", 0},        {".5", 0.5},  {"1e5", 1}, {"0010", 10},  {" - 3", 0},
        {"99999999999999999", 1e17},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(numericValue(T(c.text)), c.value) << c.text;
}

TEST(Trim, OnlyBlanks) {
    EXPECT_EQ(trimSpaces(T("  a b  ")), T("a b"));
    EXPECT_EQ(trimSpaces(T("   ")), T(""));
    EXPECT_EQ(trimSpaces(T("\ta\t")), T("\ta\t"));
}
