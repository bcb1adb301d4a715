#include <gtest/gtest.h>

#include "engine/pipeline.h"

using namespace zelvar;

namespace {

using O = RenameOptions&;

struct Call {
    double n = 1;
    bool obracene = false, pocitat = false;
    DateTime d{2024, 3, 7, 9, 5, 2};
};
constexpr Call reversed{.obracene = true};

struct Case {
    const char *pattern, *old;
    void (*tweak)(O);
    Call call;
    const char* expected;
};

void check(std::initializer_list<Case> cases) {
    for (const auto& c : cases) {
        RenameOptions o;
        o.txtJmeno = T(c.pattern);
        if (c.tweak) c.tweak(o);
        const auto& [n, obracene, pocitat, d] = c.call;
        const FiltrVystup filtr = ZpracujFiltrVystupCely(o).jmeno;
        EXPECT_EQ(ZpracJmeno(T(c.old), filtr, {n, obracene, d, pocitat}, o), T(c.expected))
            << c.pattern << " on " << c.old << (obracene ? " reversed" : "");
        // Written behind other text (a name before its extension), the field leaves that text alone.
        Text out = U"n_1.";
        appendZpracJmeno(out, T(c.old), filtr, {n, obracene, d, pocitat}, o);
        EXPECT_EQ(out, U"n_1." + T(c.expected)) << c.pattern << " on " << c.old << " behind other text";
    }
}

void format(O o) { o.optCitac = Citac::Zachovat; }
void abToX(O o) { o.txtZamenitCo = U"ab", o.txtZamenitZaCo = U"x"; }
void everyCharacterStep(O o) {
    o.chkBezDia = 1, o.cboPauzy = Pauzy::ZamenZaPodtrzitko, o.txtOdstranit = U"e", o.txtZamenitCo = U"_",
    o.txtZamenitZaCo = U"+";
}
// Kept numbers moved behind the pattern, read in the radix and digit set (written in decimal for "0-9").
template <int radix, int set>
void moved(O o) {
    o.optCitac = Citac::Zachovat, o.optZachovatCisla = ZachovatCisla::FormatPresun,
    o.optZachovatTypCislovani = o.optTypCislovani = TypCislovani(set);
    o.txtZachovatCiselnyZaklad = decimal(radix), o.txtCiselnyZaklad = decimal(set == 0 ? 10 : radix);
}

}  // namespace

TEST(ZpracJmeno, PatternTokensAndDates) {
    check({
        {"??*??", "abc", nullptr, {}, "abc"},
        {"?\?-*-??", "abcdefg", nullptr, {}, "ab-cde-fg"},
        {"\\y-\\m-\\d_\\h\\n\\s+\\r\\v", "", nullptr, {}, "2024-03-07_090502+2402"},
        {"\\y\\r.\\m\\d\\h", "", nullptr, {.d = {}}, "189999.123000"},
        {"a\037b\031*", "c", nullptr, {}, "a\037b\031c"},  // control characters are no date codes
        // A "\\" escapes the character after it, but never the star; forbidden characters and blanks are ignored.
        {"a\\*y", "bc", nullptr, {}, "abcy"},
        {"\\\\y\\Yb\\", "", nullptr, {}, "2024Yb"},
        {" <a>|\"?? ", "bc", nullptr, {}, "abc"},
        {"a*b*c", "x", nullptr, {}, "axbc"},
        // One counter run per part: the first one, after the star the last; anything between colons ends a run.
        {"::a::", "", nullptr, {.n = 7}, "07a"},
        {"*a::b::", "x", nullptr, {.n = 7}, "xab07"},
        {":<:", "", nullptr, {.n = 7}, "7"},
        {"?:/*/?:", "abcdef", nullptr, {.n = 7}, "a7cdf"},
        // Reversed processing: the pattern runs on the mirrored text, which is turned back;
        // literals and dates are not mirrored in advance, the counter is.
        {"?/*", "abcdef", nullptr, reversed, "abcdf"},
        {"x*?y", "abc", nullptr, reversed, "yabcx"},
        {"\\y*", "abc", nullptr, reversed, "abc4202"},
        {"::*", "ab", nullptr, reversed, "ab01"},
    });
}

TEST(ZpracJmeno, CharacterOptionsAfterTheReversals) {
    check({
        {"*", "abc", [](O o) { o.chkJmeno = 1; }, {}, "cba"},
        {"*", "a b-c_d", [](O o) { o.cboPauzy = Pauzy::OdstranitVsechny; }, {}, "abcd"},
        {"*", "a b-c_d", [](O o) { o.cboPauzy = Pauzy::ZamenZaPodtrzitko; }, {}, "a_b_c_d"},
        {"*", "a b-c_d", [](O o) { o.cboPauzy = Pauzy::ZamenZaPomlcku; }, {}, "a-b-c-d"},
        {"*", "a b-c_d", [](O o) { o.cboPauzy = Pauzy::ZamenZaMezery; }, {}, "a b c d"},
        {"*", "a b-c_d", [](O o) { o.cboPauzy = Pauzy::OdstranitMimoPomlcky; }, {}, "ab-cd"},
        {"*", "abcab", abToX, {}, "xxcxx"},
        {"*", "abcab", [](O o) { abToX(o), o.chkZamenaVse = 1; }, {}, "xcx"},
        // Nothing is replaced while the replacement text is empty, not even whole strings.
        {"*", "abc", [](O o) { o.txtZamenitCo = U"ab", o.chkZamenaVse = 1; }, {}, "abc"},
        // Replacement sees the final orientation: reversed "abc" holds no "ab" any more.
        {"*", "abc", [](O o) { abToX(o), o.chkZamenaVse = 1, o.chkJmeno = 1; }, {}, "cba"},
        // Diacritics, separators, replacement, removal: in that order.
        {"*", "é-é", everyCharacterStep, {}, "+"},
    });
}

TEST(ZpracJmeno, Counters) {
    check({
        {":::*",
         "abc",
         [](O o) { o.txtCiselnyZaklad = U"16", o.optTypCislovani = TypCislovani::CislicePismena; },
         {.n = 255},
         "0ffabc"},
        {"a:b*:c:", "xyz", nullptr, {.n = 7}, "a7bxyzc"},  // a field never gets two counter texts
        {"*:::", "abc", [](O o) { o.optCitac = Citac::JenStejne; }, {.n = 5, .pocitat = true}, "abc005"},
        {":*:", "abc", [](O o) { o.optCitac = Citac::JenStejne; }, {.n = 5}, "abc"},
        // Radix texts clamp into the digit set; one that does not fit 16 bits writes nothing.
        {"*-:", "abc", [](O o) { o.txtCiselnyZaklad = U"1"; }, {.n = 5}, "abc-101"},
        {"*-:", "abc", [](O o) { o.txtCiselnyZaklad = U"32767"; }, {.n = 25}, "abc-25"},
        {"*-:", "abc", [](O o) { o.txtCiselnyZaklad = U"32768"; }, {.n = 25}, "abc-"},
        {"*-:",
         "abc",
         [](O o) { o.optTypCislovani = TypCislovani::Pismena, o.txtCiselnyZaklad = U"30"; },
         {.n = 27},
         "abc-bb"},
    });
}

TEST(ZpracJmeno, KeptNumbers) {
    check({
        {"*-::", "img12x", moved<10, 0>, {.n = 99}, "imgx-12"},
        {"*:::", "img12x", format, {.n = 99}, "img012x"},
        {"X*:", "12abc", format, {}, "12Xabc"},  // a number that stood first stays first
        {"*:::", "abc", [](O o) { o.optCitac = Citac::Zachovat, o.chkCisloNula = 1; }, {.n = 99}, "abc000"},
        {"*:::", "abc", moved<10, 0>, {.n = 99}, "abc000"},
        {"*:", "a1101b", [](O o) { o.optCitac = Citac::Zachovat, o.txtZachovatCiselnyZaklad = U"2"; }, {}, "a13b"},
        {"*-:", "a12", moved<40000, 0>, {}, "a12-0"},
        {"::*:::", "img5x", format, {}, "img05x"},  // the width of the first counter met
        // The insertion point follows tokens that consume characters before the number.
        {"?/*::", "img12x", format, {}, "ig12x"},
        {"?\?-*:", "ab12cd", format, {}, "ab-12cd"},
        {"\\y*::", "img12x", format, {}, "2024img12x"},
        {"?\?/*:", "ab12cd", format, {}, "a12bd"},  // the countdown starts one above the count
        {"?:", "abc12", format, {}, "a12"},         // a point past the field's end puts the number at its end
        // Reversed processing keeps the number in reading order.
        {"?/*::", "img12x", format, reversed, "imx12"},
        {"*-::", "img12x", moved<10, 0>, reversed, "12-imgx"},
        {"*-:", "a1b2", moved<10, 0>, reversed, "2-a1b"},  // the mirror's first number is the last
        // Runs longer than the radix can hold exactly are cut to its limit.
        {"*-:", "a12345678901234567890y", moved<10, 0>, {}, "a7890y-1234567890123456"},
        {"*-:", "x1000000000000000000000000000000000000000000000000000000y", moved<2, 0>, {}, "x0y-9007199254740992"},
        {"*-:", "_1000000000023_", moved<36, 2>, {}, "_23_-10000000000"},
        {"*-:", "gfffffffffffffffg", moved<16, 2>, {}, "gfg-100000000000000"},  // 16^14 - 1 rounds to 2^56
    });
}
