#include <gtest/gtest.h>

#include "engine/pipeline.h"

using namespace zelvar;

namespace {

using Tweak = void (*)(RenameOptions&);

struct Call {
    double n = 1;
    bool obracene = false;
    bool pocitat = false;
    DateTime d{};
};

Text run(const char* pattern, const char* old, Tweak tweak = nullptr, Call call = {}) {
    RenameOptions o;
    o.txtJmeno = T(pattern);
    if (tweak) tweak(o);
    const CompiledPatterns compiled = ZpracujFiltrVystupCely(o);
    return ZpracJmeno(T(old), compiled.jmeno, call.n, call.obracene, call.d, call.pocitat, o);
}

}  // namespace

TEST(ZpracJmeno, PatternTokensAndDates) {
    const DateTime date{2024, 3, 7, 9, 5, 2};
    struct Case { const char *pattern, *old; bool obracene; const char* expected; };
    const Case cases[] = {
        {"*", "abc", false, "abc"},           {"??", "abcdef", false, "ab"},
        {"*??", "abcdef", false, "abcdef"},   {"*?", "a", false, "a"},
        {"????", "abc", false, "abc"},        {"??*??", "abc", false, "abc"},
        {"?/?", "abc", false, "ac"},          {"*/", "abc", false, "ab"},
        {"x?y", "abc", false, "xay"},         {"*?/?", "abcdef", false, "abcdf"},
        {"", "abc", false, ""},               {"x::y", "", false, "x01y"},
        {"?\?-*-??", "abcdefg", false, "ab-cde-fg"},
        {"\\y-\\m-\\d_\\h\\n\\s+\\r\\v", "", false, "2024-03-07_090502+2402"},
        // Reversed processing: the pattern runs on the mirrored text, which is turned back;
        // literals and dates are not mirrored in advance, the counter is.
        {"??", "abcdef", true, "ef"},         {"?/*", "abcdef", true, "abcdf"},
        {"??*", "abcdef", true, "abcdef"},    {"/*/", "abcde", true, "bcd"},
        {"x*?y", "abc", true, "yabcx"},       {"\\y*", "abc", true, "abc4202"},
        {"?:", "abc", true, "1c"},            {"::*", "ab", true, "ab01"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(run(c.pattern, c.old, nullptr, {.obracene = c.obracene, .d = date}), T(c.expected))
            << c.pattern << " on " << c.old << (c.obracene ? " reversed" : "");
    }
    EXPECT_EQ(run("\\y\\r.\\m\\d\\h", ""), T("189999.123000"));  // the zero date-time
}

TEST(ZpracJmeno, CharacterOptionsAfterTheReversals) {
    struct Case { const char* old; Tweak tweak; const char* expected; };
    const Case cases[] = {
        {"abc", [](RenameOptions& o) { o.chkJmeno = 1; }, "cba"},
        {"a b-c_d", [](RenameOptions& o) { o.cboPauzy = 1; }, "abcd"},
        {"a b-c_d", [](RenameOptions& o) { o.cboPauzy = 2; }, "a_b_c_d"},
        {"a b-c_d", [](RenameOptions& o) { o.cboPauzy = 3; }, "a-b-c-d"},
        {"a b-c_d", [](RenameOptions& o) { o.cboPauzy = 4; }, "a b c d"},
        {"a b-c_d", [](RenameOptions& o) { o.cboPauzy = 5; }, "ab-cd"},
        {"a b-c_d", [](RenameOptions& o) { o.cboPauzy = -1; }, "a b-c_d"},
        {"abcab", [](RenameOptions& o) { o.txtZamenitCo = U"ab"; o.txtZamenitZaCo = U"x"; }, "xxcxx"},
        {"abcab", [](RenameOptions& o) { o.txtZamenitCo = U"ab"; o.txtZamenitZaCo = U"x"; o.chkZamenaVse = 1; },
         "xcx"},
        {"abc", [](RenameOptions& o) { o.txtZamenitCo = U"ab"; }, "abc"},
        // Replacement sees the final orientation: reversed "abc" holds no "ab" any more.
        {"abc", [](RenameOptions& o) { o.chkJmeno = 1; o.txtZamenitCo = U"ab"; o.txtZamenitZaCo = U"x";
                                       o.chkZamenaVse = 1; }, "cba"},
        // Diacritics, separators, replacement, removal: in that order.
        {"é-é", [](RenameOptions& o) { o.chkBezDia = 1; o.cboPauzy = 2; o.txtZamenitCo = U"_";
                                       o.txtZamenitZaCo = U"+"; o.txtOdstranit = U"e"; }, "+"},
    };
    for (const auto& c : cases) EXPECT_EQ(run("*", c.old, c.tweak), T(c.expected)) << c.old;
}

TEST(ZpracJmeno, Counters) {
    auto hex = [](RenameOptions& o) { o.txtCiselnyZaklad = U"16"; o.optTypCislovani = 2; };
    auto only = [](RenameOptions& o) { o.optCitac = 1; };
    struct Case { const char *pattern, *old; Tweak tweak; Call call; const char* expected; };
    const Case cases[] = {
        {"*:::", "abc", nullptr, {.n = 7}, "abc007"},
        {"*:", "abc", nullptr, {.n = 123}, "abc123"},
        {":::*", "abc", hex, {.n = 255}, "0ffabc"},
        {":*:", "abc", nullptr, {.n = 5}, "5abc"},  // a field never gets two counter texts
        {"a:b*:c:", "xyz", nullptr, {.n = 7}, "a7bxyzc"},
        {"*_::", "abc", nullptr, {.n = 3}, "abc_03"},
        {"*:::", "abc", only, {.n = 5, .pocitat = true}, "abc005"},
        {":*:", "abc", only, {.n = 5}, "abc"},
        // Radix texts clamp into the digit set; one that does not fit 16 bits writes nothing.
        {"*-:", "abc", [](RenameOptions& o) { o.txtCiselnyZaklad = U"1"; }, {.n = 5}, "abc-101"},
        {"*-:", "abc", [](RenameOptions& o) { o.txtCiselnyZaklad = U""; }, {.n = 5}, "abc-101"},
        {"*-:", "abc", [](RenameOptions& o) { o.txtCiselnyZaklad = U"32767"; }, {.n = 25}, "abc-25"},
        {"*-:", "abc", [](RenameOptions& o) { o.txtCiselnyZaklad = U"32768"; }, {.n = 25}, "abc-"},
        {"*-:", "abc", [](RenameOptions& o) { o.optTypCislovani = 1; o.txtCiselnyZaklad = U"30"; },
         {.n = 27}, "abc-bb"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(run(c.pattern, c.old, c.tweak, c.call), T(c.expected)) << c.pattern << " on " << c.old;
    }
}

TEST(ZpracJmeno, KeptNumbers) {
    auto format = [](RenameOptions& o) { o.optCitac = 2; };
    auto move = [](RenameOptions& o) { o.optCitac = 2; o.optZachovatCisla = 1; };
    struct Case { const char *pattern, *old; Tweak tweak; bool obracene; const char* expected; };
    const Case cases[] = {
        {"*-::", "img12x", move, false, "imgx-12"},
        {"*:::", "img12x", format, false, "img012x"},
        {"X*::", "img12x", format, false, "Ximg12x"},
        {"*::::", "12abc", format, false, "0012abc"},
        {"X*:", "12abc", format, false, "12Xabc"},  // a number that stood first stays first
        {"*:::", "abc", format, false, "abc"},
        {"*:::", "abc", [](RenameOptions& o) { o.optCitac = 2; o.chkCisloNula = 1; }, false, "abc000"},
        {"*:::", "abc", move, false, "abc000"},
        {"*", "img12x", format, false, "img12x"},
        {"*:", "a1101b", [](RenameOptions& o) { o.optCitac = 2; o.txtZachovatCiselnyZaklad = U"2"; },
         false, "a13b"},
        {"*-:", "a12", [](RenameOptions& o) { o.optCitac = 2; o.optZachovatCisla = 1;
                                              o.txtZachovatCiselnyZaklad = U"40000"; }, false, "a12-0"},
        {"::*:::", "img5x", format, false, "img05x"},  // the width of the first counter met
        {"*:::", "img5x", format, false, "img005x"},
        // The insertion point follows tokens that consume characters before the number.
        {"?/*::", "img12x", format, false, "ig12x"},
        {"?\?-*:", "ab12cd", format, false, "ab-12cd"},
        {"\\y*::", "img12x", format, false, "1899img12x"},
        {"\\d*::", "img12x", format, false, "30img12x"},
        {"*X::", "img12x", format, false, "img12xX"},
        {"????????*::", "ab12cd", format, false, "ab12cd"},
        {"?\?/*:", "ab12cd", format, false, "a12bd"},  // the countdown starts one above the count
        // Reversed processing keeps the number in reading order.
        {"*:::", "img12x", format, true, "img012x"},
        {"??*::", "img12x", format, true, "img12x"},
        {"?/*::", "img12x", format, true, "imx12"},
        {"*-::", "img12x", move, true, "12-imgx"},
        {"*-:", "a1b2", move, true, "2-a1b"},  // the first number of the mirrored text is the last one
    };
    for (const auto& c : cases) {
        EXPECT_EQ(run(c.pattern, c.old, c.tweak, {.n = 99, .obracene = c.obracene}), T(c.expected))
            << c.pattern << " on " << c.old << (c.obracene ? " reversed" : "");
    }
}

TEST(ZpracJmeno, KeptRunsAreCutToTheRadixLimit) {
    struct Case { const char* old; const char32_t* radix; int set; const char* expected; };
    const Case cases[] = {
        {"a12345678901234567890y", U"10", 0, "a7890y-1234567890123456"},
        {"q777777777777777777", U"8", 0, "q7-2251799813685247"},
        {"x1000000000000000000000000000000000000000000000000000000y", U"2", 0, "x0y-9007199254740992"},
        {"_1000000000023_", U"36", 2, "_23_-10000000000"},
        {"gfffffffffffffffg", U"16", 2, "gfg-100000000000000"},  // 16^14 - 1 rounds to 2^56
    };
    for (const auto& c : cases) {
        RenameOptions o;
        o.txtJmeno = U"*-:";
        o.optCitac = 2;
        o.optZachovatCisla = 1;
        o.txtZachovatCiselnyZaklad = c.radix;
        o.optZachovatTypCislovani = c.set;
        o.txtCiselnyZaklad = c.set == 0 ? U"10" : c.radix;  // decimal, or read and written alike
        o.optTypCislovani = c.set;
        const FiltrVystup f = ZpracujFiltrVystupCely(o).jmeno;
        EXPECT_EQ(ZpracJmeno(T(c.old), f, 1, false, DateTime{}, false, o), T(c.expected)) << c.old;
    }
}
