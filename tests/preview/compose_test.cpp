#include <gtest/gtest.h>

#include "preview/compose.h"

using namespace zelvar;

namespace {

using Tweak = void (*)(RenameOptions&);

RenameOptions options(Tweak setup) {
    RenameOptions o;
    if (setup) setup(o);
    return o;
}

Text newName(const char* name, const char* ext, Tweak setup, double n = 1, DateTime d = {}) {
    const RenameOptions o = options(setup);
    return NoveJmenoStr(T(name), T(ext), n, d, false, o, ZpracujFiltrVystupCely(o));
}

}  // namespace

TEST(NoveJmenoStr, ExtensionRules) {
    struct Case { const char *name, *ext; Tweak setup; const char* expected; };
    const Case cases[] = {
        {"photo", "jpg", nullptr, "photo.jpg"},
        {"photo", "jpg", [](RenameOptions& o) { o.txtExt = U"   "; }, "photo"},
        {"README", "", nullptr, "README"},
        {"README", "", [](RenameOptions& o) { o.txtExt = U"txt"; }, "README.txt"},
        {"README", "", [](RenameOptions& o) { o.txtExt = U" ? "; }, "README"},
        {"README", "", [](RenameOptions& o) { o.txtExt = U":"; }, "README"},
        {"README", "", [](RenameOptions& o) { o.txtExt = U"a:"; }, "README.a1"},
        // "\y" keeps the letter after the forbidden "\" is stripped, so it counts as text.
        {"README", "", [](RenameOptions& o) { o.txtExt = U"\\y"; }, "README.1899"},
        {"photo", "jpg", [](RenameOptions& o) { o.txtExt = U"?"; }, "photo.j"},
        {"photo", "jpg", [](RenameOptions& o) { o.txtExt = U"<>"; }, "photo."},
        {"photo", "jpeg", [](RenameOptions& o) { o.txtExt = U"??"; o.chkObratitEx = 1; }, "photo.eg"},
        {"photo", "jpg", [](RenameOptions& o) { o.chkExt = 1; }, "photo.gpj"},
        {"photo", "jpg", [](RenameOptions& o) { o.txtJmeno = U"??"; o.chkObratitJm = 1; }, "to.jpg"},
        {"a", "b", [](RenameOptions& o) { o.txtJmeno = U"*:"; o.txtExt = U"*:"; }, "a1.b1"},
    };
    for (const auto& c : cases) EXPECT_EQ(newName(c.name, c.ext, c.setup), T(c.expected)) << c.name;
}

TEST(NoveJmenoStr, LetterCaseCoversTheExtension) {
    struct Case { const char *name, *ext; int velikost; const char* expected; };
    const Case cases[] = {
        {"ČTVRTEK", "TXT", 1, "čtvrtek.txt"},
        {"žluťoučký kůň", "txt", 2, "ŽLUŤOUČKÝ KŮŇ.TXT"},
        {"hello world-wide_web", "HTML", 3, "Hello World-Wide_Web.Html"},
        {"řeka ŠUM", "ďas", 3, "Řeka Šum.Ďas"},
        {"MiXeD", "Ext", 0, "MiXeD.Ext"},
    };
    for (const auto& c : cases) {
        RenameOptions o;
        o.optVelikost = c.velikost;
        EXPECT_EQ(NoveJmenoStr(T(c.name), T(c.ext), 1, {}, false, o, ZpracujFiltrVystupCely(o)),
                  T(c.expected));
    }
}

TEST(NoveJmeno, SplitsAtTheLastDot) {
    struct Case { const char* name; Tweak setup; const char* expected; };
    const Case cases[] = {
        {"xY.Gh", nullptr, "xY.Gh"},
        {"abc.", nullptr, "abc"},
        {".x", [](RenameOptions& o) { o.txtJmeno = U"N*"; }, "N.x"},
        {"a.b.c", [](RenameOptions& o) { o.txtJmeno = U"?"; }, "a.c"},
        {"abc", [](RenameOptions& o) { o.txtExt = U"txt"; }, "abc.txt"},
        {"abc.", [](RenameOptions& o) { o.txtExt = U"txt"; }, "abc.txt"},
        {"abc.d", [](RenameOptions& o) { o.txtJmeno = U"*_\\y\\m\\d"; }, "abc_18991230.d"},
    };
    for (const auto& c : cases) {
        const RenameOptions o = options(c.setup);
        EXPECT_EQ(NoveJmeno(T(c.name), 1, false, o, ZpracujFiltrVystupCely(o)), T(c.expected)) << c.name;
    }
}

TEST(ZpracujVzor, BothSamples) {
    struct Case { Tweak setup; const char *first, *second; };
    const Case cases[] = {
        {nullptr, "Abcd efGHij klm NOP.HAF", "xY.Gh"},
        {[](RenameOptions& o) { o.optVelikost = 1; }, "abcd efghij klm nop.haf", "xy.gh"},
        {[](RenameOptions& o) { o.optVelikost = 2; }, "ABCD EFGHIJ KLM NOP.HAF", "XY.GH"},
        {[](RenameOptions& o) { o.optVelikost = 3; }, "Abcd Efghij Klm Nop.Haf", "Xy.Gh"},
        {[](RenameOptions& o) { o.txtJmeno = U"::*"; }, "01Abcd efGHij klm NOP.HAF", "02xY.Gh"},
        {[](RenameOptions& o) { o.txtJmeno = U"?"; }, "A.HAF", "x.Gh"},
        {[](RenameOptions& o) { o.txtJmeno = U"??"; o.chkObratitJm = 1; }, "OP.HAF", "xY.Gh"},
        {[](RenameOptions& o) { o.txtJmeno = U"x*"; o.chkObratitJm = 1; }, "Abcd efGHij klm NOPx.HAF",
         "xYx.Gh"},
        {[](RenameOptions& o) { o.chkJmeno = 1; }, "PON mlk jiHGfe dcbA.HAF", "Yx.Gh"},
        {[](RenameOptions& o) { o.cboPauzy = 1; }, "AbcdefGHijklmNOP.HAF", "xY.Gh"},
        {[](RenameOptions& o) { o.cboPauzy = 2; o.optVelikost = 3; }, "Abcd_Efghij_Klm_Nop.Haf", "Xy.Gh"},
        {[](RenameOptions& o) { o.txtExt = U""; }, "Abcd efGHij klm NOP", "xY"},
        {[](RenameOptions& o) { o.txtExt = U"\\y"; }, "Abcd efGHij klm NOP.1899", "xY.1899"},
        {[](RenameOptions& o) { o.txtZamenitCo = U"Gh"; o.txtZamenitZaCo = U"-"; },
         "Abcd ef-Hij klm NOP.HAF", "xY.--"},
        {[](RenameOptions& o) { o.txtJmeno = U"*:"; o.optCitac = 2; o.chkCisloNula = 1; },
         "Abcd efGHij klm NOP0.HAF", "xY0.Gh"},
    };
    for (const auto& c : cases) {
        const Ukazky u = ZpracujVzor(options(c.setup));
        EXPECT_EQ(u.ukazka1, T(c.first));
        EXPECT_EQ(u.ukazka2, T(c.second));
    }
}

TEST(PrvniVelka, CapitalAfterEverySeparator) {
    struct Case { const char *text, *expected; };
    const Case cases[] = {
        {"", ""},           {"x", "X"},         {"ß", "ß"},        {"o'neil", "O'Neil"},
        {"a--b", "A--B"},   {"2nd", "2nd"},     {"x2y", "X2y"},    {"-x", "-X"},
        {"ab-", "Ab-"},     {"a(b)c", "A(b)c"}, {"[x]{y}", "[X]{Y}"},
        {"a@b#c$d%e^f&g!h=i+j;k,l.m", "A@B#C$D%E^F&G!H=I+J;K,L.M"},
        {"ČTVRTEK ŽLUŤOUČKÝ", "Čtvrtek Žluťoučký"}, {"my file.txt", "My File.Txt"},
    };
    for (const auto& c : cases) EXPECT_EQ(PrvniVelka(T(c.text)), T(c.expected)) << c.text;
}

TEST(NameHelpers, DotsSeparatorsAndForbiddenCharacters) {
    EXPECT_EQ(PosledniTecka(U"a.b.c"), 4u);
    EXPECT_EQ(PosledniTecka(U"abc"), 0u);
    EXPECT_EQ(PosledniTecka(U".x"), 1u);
    EXPECT_EQ(PosledniTecka(U""), 0u);

    EXPECT_EQ(NajdiOddelovac(1, U"ab cd", kOddelovace), 3u);
    EXPECT_EQ(NajdiOddelovac(3, U"ab cd", kOddelovace), 3u);
    EXPECT_EQ(NajdiOddelovac(4, U"ab cd", kOddelovace), 0u);
    EXPECT_EQ(NajdiOddelovac(1, U"a.b-c d", U" -"), 4u);
    EXPECT_EQ(NajdiOddelovac(1, U"a.b", U""), 0u);

    EXPECT_EQ(BezZakazanychZnaku(U"a?b*c:d"), Text(U"abcd"));
    EXPECT_EQ(BezZakazanychZnaku(U"a/b\\c<d>e|f\"g:h*i?j"), Text(U"abcdefghij"));
    EXPECT_EQ(BezZakazanychZnaku(T("Kůň.txt")), T("Kůň.txt"));
}
