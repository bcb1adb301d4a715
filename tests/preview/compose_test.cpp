#include <gtest/gtest.h>

#include "preview/compose.h"

using namespace zelvar;

using O = RenameOptions&;

TEST(NoveJmeno, ExtensionRulesAndLetterCase) {
    // Without ext the whole name is split at its last "." first.
    struct Case {
        const char *name, *ext;
        void (*tweak)(O);
        const char* expected;
    };
    const Case cases[] = {
        {"photo", "jpg", [](O o) { o.txtExt = U"   "; }, "photo"},
        {"README", "", nullptr, "README"},
        {"README", "", [](O o) { o.txtExt = U"txt"; }, "README.txt"},
        {"README", "", [](O o) { o.txtExt = U"a:"; }, "README.a1"},
        // Stripping the forbidden "\" leaves the letter of "\y", so it counts as text.
        {"README", "", [](O o) { o.txtExt = U"\\y"; }, "README.1899"},
        {"photo", "jpg", [](O o) { o.txtExt = U"<>"; }, "photo."},
        {"photo", "jpeg", [](O o) { o.txtExt = U"??", o.chkObratitEx = 1; }, "photo.eg"},
        {"photo", "jpg", [](O o) { o.chkExt = 1; }, "photo.gpj"},
        {"photo", "jpg", [](O o) { o.txtJmeno = U"??", o.chkObratitJm = 1; }, "to.jpg"},
        {"žluťoučký kůň", "txt", [](O o) { o.optVelikost = 2; }, "ŽLUŤOUČKÝ KŮŇ.TXT"},
        {"řeka ŠUM", "ďas", [](O o) { o.optVelikost = 3; }, "Řeka Šum.Ďas"},
        {"abc.", nullptr, nullptr, "abc"},
        {".x", nullptr, [](O o) { o.txtJmeno = U"N*"; }, "N.x"},
        {"a.b.c", nullptr, [](O o) { o.txtJmeno = U"?"; }, "a.c"},
    };
    for (const auto& c : cases) {
        RenameOptions o;
        if (c.tweak) c.tweak(o);
        const CompiledPatterns p = ZpracujFiltrVystupCely(o);
        const Text name =
            c.ext ? NoveJmenoStr(T(c.name), T(c.ext), 1, {}, false, o, p) : NoveJmeno(T(c.name), 1, false, o, p);
        EXPECT_EQ(name, T(c.expected)) << c.name;
    }
}

TEST(ZpracujVzor, BothSamplesWithTheirOwnNumbers) {
    RenameOptions o;
    o.txtJmeno = U"::*", o.cboPauzy = 2, o.optVelikost = 3;
    const Ukazky u = ZpracujVzor(o);
    EXPECT_EQ(toUtf8(u.ukazka1) + " | " + toUtf8(u.ukazka2), "01abcd_Efghij_Klm_Nop.Haf | 02xy.Gh");
}

TEST(NameHelpers, TitleCaseAndForbiddenCharacters) {
    const std::pair<const char*, const char*> titles[] = {
        {"", ""},
        {"o'neil", "O'Neil"},
        {"2nd", "2nd"},
        {"x2y", "X2y"},
        {"a(b)c", "A(b)c"},
        {"ČTVRTEK ŽLUŤOUČKÝ", "Čtvrtek Žluťoučký"},
        {"a@b#c$d%e^f&g!h=i+j;k,l.m", "A@B#C$D%E^F&G!H=I+J;K,L.M"},
    };
    for (const auto& [text, expected] : titles) EXPECT_EQ(PrvniVelka(T(text)), T(expected)) << text;
    EXPECT_EQ(BezZakazanychZnaku(T("a/b\\c<d>e|f\"g:h*i?j.ů")), T("abcdefghij.ů"));
}
