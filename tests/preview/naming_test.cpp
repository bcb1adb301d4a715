// Names made from the options, and the naming and clash steps on plain data.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "engine/pattern.h"
#include "preview/builder.h"
#include "platform/listing.h"
#include "preview/compose.h"

using namespace zelvar;
using O = RenameOptions&;

namespace {

std::vector<std::string> named(const std::vector<Text>& names, const RenameOptions& o, const FindEntry& existing,
                               std::size_t nameMax = 255, std::size_t maxPadding = static_cast<std::size_t>(-1)) {
    std::vector<ZaznamSouboru> records(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        records[i].setName(names[i]);
        records[i].id = EntryId{1, static_cast<ino_t>(i + 1)};
    }
    const CompiledPatterns p = ZpracujFiltrVystupCely(o);
    const ComposeName compose = [&](const ZaznamSouboru& r, double N, bool pocitat) {
        Text name;
        NoveJmenoStr(name, r.Jmeno(), r.Pripona(), N, r.Datum, pocitat, o, p, {maxPadding});
        return name;
    };
    const NamedRows got = nameRows(records, o, counterSetup(o, p), compose, existing, nameMax);
    std::vector<std::string> out;
    for (const auto& r : got.rows) out.push_back(toUtf8(r.oldName) + " -> " + toUtf8(shownName(r)));
    return out;
}

const FindEntry nothingElse = [](const Text&) { return std::optional<EntryId>(); };

TEST(NameRows, EveryNameMadeIsCheckedForAnEmptyStemAndItsLength) {
    // options, longest name in bytes, rows
    const std::tuple<void (*)(O), std::size_t, const char*, const char*> cases[] = {
        {[](O o) { o.txtJmeno = U"žž*"; }, 9, "žža.txt", "* příliš dlouhé jméno"},
        // Renumbered past the limit, or a number replaced by a dot.
        {[](O o) { o.txtJmeno = U"xxxx:", o.optCitac = Citac::JenStejne; }, 8, "xxxx.txt", "* příliš dlouhé jméno"},
        {[](O o) { o.txtJmeno = U":x", o.optCitac = Citac::JenStejne, o.txtZamenitCo = U"1", o.txtZamenitZaCo = U"."; },
         255, "x.txt", "* prázdné jméno"},
    };
    for (const auto& [tweak, nameMax, first, second] : cases) {
        RenameOptions o;
        tweak(o);
        EXPECT_EQ(named({U"a.txt", U"bb.txt"}, o, nothingElse, nameMax),
                  (std::vector<std::string>{"a.txt -> " + std::string(first), "bb.txt -> " + std::string(second)}));
    }
}

// A counter far wider than the folder's limit gets only as much padding as the verdict needs; every
// row must come out as with the whole width, also where the character options shorten the name.
TEST(NameRows, AWideCounterIsCutShortOnlyWhereNoNameCanComeBackUnderTheLimit) {
    const auto colons = [](int n) { return Text(static_cast<std::size_t>(n), U':'); };
    const auto swap = [&](O o, int n, const char32_t* what, const char32_t* with, int all = 0) {
        o.txtJmeno = colons(n), o.txtZamenitCo = what, o.txtZamenitZaCo = with, o.chkZamenaVse = all;
    };
    // options, what the second row shows ("usable" for a new name)
    const std::tuple<std::function<void(O)>, std::string> cases[] =
        {
            {[&](O o) { o.txtJmeno = colons(32000); }, "* příliš dlouhé jméno"},
            {[&](O o) { o.txtJmeno = U"x" + colons(32000) + U"*"; }, "* příliš dlouhé jméno"},
            {[&](O o) { o.txtJmeno = U"*", o.txtExt = colons(32000); }, "* příliš dlouhé jméno"},
            {[&](O o) { o.txtJmeno = U"", o.txtExt = colons(32000); }, "* prázdné jméno"},
            {[&](O o) { o.txtJmeno = U"x" + colons(32000), o.chkObratitJm = 1; }, "* příliš dlouhé jméno"},
            {[&](O o) {
        o.txtJmeno = colons(32000), o.optTypCislovani = TypCislovani::Pismena, o.optVelikost = Velikost::Velka;
             },
             "* příliš dlouhé jméno"},
            {[&](O o) { o.txtJmeno = U"-" + colons(32000), o.cboPauzy = Pauzy::OdstranitVsechny; },
             "* příliš dlouhé jméno"},
            {[&](O o) { o.txtJmeno = U"x" + colons(32000), o.optCitac = Citac::JenStejne; }, "* příliš dlouhé jméno"},
            // The padding turned into something else, or removed.
            {[&](O o) { swap(o, 32000, U"0", U"."); }, "* prázdné jméno"},
            {[&](O o) { swap(o, 32000, U"00", U".", 1); }, "* prázdné jméno"},
            {[&](O o) { o.txtJmeno = colons(32000), o.txtOdstranit = U"0"; }, "usable"},
            // Whole strings shorten it four times: 980 digits fit, 2000 do not.
            {[&](O o) { swap(o, 2000, U"0000", U"0", 1); }, "* příliš dlouhé jméno"},
            {[&](O o) { swap(o, 980, U"0000", U"0", 1); }, "usable"},
    };
    const std::vector<Text> names{U"a.txt", U"bb.txt", U"c"};
    for (const auto& [tweak, verdict] : cases) {
        RenameOptions o;
        tweak(o);
        SCOPED_TRACE(toUtf8(o.txtJmeno.substr(0, 3)) + std::to_string(o.txtJmeno.size()) + toUtf8(o.txtZamenitCo));
        const std::size_t maxPadding = counterPadding(o, 255);
        const auto cut = named(names, o, nothingElse, 255, maxPadding);
        EXPECT_EQ(cut, named(names, o, nothingElse, 255));
        const std::string shown = cut[1].substr(cut[1].find(" -> ") + 4);
        EXPECT_EQ(shown.starts_with("* ") ? shown : "usable", verdict);
        // Where it cuts, the composed name stays near the limit.
        const CompiledPatterns p = ZpracujFiltrVystupCely(o);
        Text composed;
        NoveJmenoStr(composed, U"a", U"txt", 1, {}, true, o, p, {maxPadding});
        EXPECT_TRUE(o.txtJmeno.size() < 32000 || !o.txtOdstranit.empty() || composed.size() < 1100u) << composed.size();
    }
}

TEST(NameRows, OwnEntryUnderAnotherNameIsStillATakenName) {
    // Two hard links of one file: renaming one onto the other renames nothing.
    RenameOptions o;
    o.txtJmeno = U"b";
    const FindEntry sameInode = [&](const Text& name) -> std::optional<EntryId> {
        return name == U"b.txt" || name == U"a.txt" ? std::optional(EntryId{1, 1}) : std::nullopt;
    };
    EXPECT_EQ(named({U"a.txt"}, o, sameInode), std::vector<std::string>{"a.txt -> * existuje >b.txt<"});
}

TEST(ZaznamSouboru, SplitAtTheLastDotUnlessFirstOrLast) {
    // name, stem, extension
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {"a.txt", "a", "txt"},       {"archive.tar.gz", "archive.tar", "gz"},
        {"noext", "noext", ""},      {".htaccess", ".htaccess", ""},
        {"abc.", "abc.", ""},        {"..x", ".", "x"},
        {"žluť.kůň", "žluť", "kůň"}, {"cut.\xc5", "cut", "\xc5"},
    };
    for (const auto& [name, jmeno, pripona] : cases) {
        ZaznamSouboru r;
        r.setName(fromUtf8(name));
        EXPECT_EQ(toUtf8(Text(r.Jmeno())) + "|" + toUtf8(Text(r.Pripona())), jmeno + "|" + pripona) << name;
    }
}

TEST(CounterSetup, StartAndStepEachJudgedOnTheirOwn) {
    // start and step as typed, as taken
    const std::tuple<const char*, const char*, int, int> cases[] = {
        {"-5", "2.9", 5, 2}, {"-0.5", "0", 1, 1}, {"abc", "-3", 0, 3}, {"40000", "2", 0, 2}, {"7", "70000", 7, 1},
    };
    RenameOptions o;
    o.txtJmeno = U"*:";
    const CompiledPatterns p = ZpracujFiltrVystupCely(o);
    for (const auto& [od, dif, start, step] : cases) {
        o.txtCisloOd = T(od), o.txtDif = T(dif);
        const CounterSetup s = counterSetup(o, p);
        EXPECT_EQ(std::tuple(s.active, s.start, s.step), std::tuple(true, start, step)) << od << " by " << dif;
    }
    o.optCitac = Citac::Zachovat;
    EXPECT_FALSE(counterSetup(o, p).active);
    o.optCitac = Citac::Citac, o.txtJmeno = U"*";
    EXPECT_FALSE(counterSetup(o, ZpracujFiltrVystupCely(o)).active);
    o.txtExt = U"::";
    EXPECT_TRUE(counterSetup(o, ZpracujFiltrVystupCely(o)).active);
}

TEST(NoveJmeno, ExtensionRulesAndLetterCase) {
    // name, extension, options, new name; without an extension the whole name is split at its last "." first
    const std::tuple<const char*, const char*, void (*)(O), const char*> cases[] = {
        {"README", "", [](O o) { o.txtExt = U"a:"; }, "README.a1"},
        // Spaces and forbidden characters alone are no text either.
        {"README", "", [](O o) { o.txtExt = U" * ?"; }, "README"},
        // Stripping the forbidden "\" leaves the letter of "\y", so it counts as text.
        {"README", "", [](O o) { o.txtExt = U"\\y"; }, "README.1899"},
        {"photo", "jpg", [](O o) { o.txtExt = U"<>"; }, "photo."},
        {"photo", "jpeg", [](O o) { o.txtExt = U"??", o.chkObratitEx = 1; }, "photo.eg"},
        {"photo", "jpg", [](O o) { o.chkExt = 1; }, "photo.gpj"},
        {"photo", "jpg", [](O o) { o.txtJmeno = U"??", o.chkObratitJm = 1; }, "to.jpg"},
        {"žluťoučký kůň", "txt", [](O o) { o.optVelikost = Velikost::Velka; }, "ŽLUŤOUČKÝ KŮŇ.TXT"},
        {"řeka ŠUM", "ďas", [](O o) { o.optVelikost = Velikost::PrvniVelka; }, "Řeka Šum.Ďas"},
        {"abc.", nullptr, nullptr, "abc"},
        {".x", nullptr, [](O o) { o.txtJmeno = U"N*"; }, "N.x"},
        {"a.b.c", nullptr, [](O o) { o.txtJmeno = U"?"; }, "a.c"},
    };
    for (const auto& [name, ext, tweak, expected] : cases) {
        RenameOptions o;
        if (tweak) tweak(o);
        const CompiledPatterns p = ZpracujFiltrVystupCely(o);
        const Text made = ext ? NoveJmenoStr(T(name), T(ext), 1, {}, false, o, p) : NoveJmeno(T(name), 1, false, o, p);
        EXPECT_EQ(made, T(expected)) << name;
    }
}

TEST(ZpracujVzor, BothSamplesWithTheirOwnNumbers) {
    RenameOptions o;
    o.txtJmeno = U"::*", o.cboPauzy = Pauzy::ZamenZaPodtrzitko, o.optVelikost = Velikost::PrvniVelka;
    const Ukazky u = ZpracujVzor(o);
    EXPECT_EQ(toUtf8(u.ukazka1) + " | " + toUtf8(u.ukazka2), "01abcd_Efghij_Klm_Nop.Haf | 02xy.Gh");
}

TEST(PrvniVelka, TitleCase) {
    const std::pair<const char*, const char*> titles[] = {
        {"", ""},       {"o'neil", "O'Neil"}, {"2nd", "2nd"},
        {"x2y", "X2y"}, {"a(b)c", "A(b)c"},   {"ČTVRTEK ŽLUŤOUČKÝ", "Čtvrtek Žluťoučký"},
    };
    for (const auto& [text, expected] : titles) EXPECT_EQ(PrvniVelka(T(text)), T(expected)) << text;
}

}  // namespace

// A big folder's names are composed on several threads, in batches; every row gets the name of its
// own record and counter value, and the verdicts are those of one thread.
TEST(NameRows, ManyRowsComposedOnSeveralThreadsAreThoseOfOne) {
    std::vector<Text> names;
    for (int k = 0; k < 5000; ++k) names.push_back(fromUtf8("f" + std::to_string(k % 1700) + ".t" + std::to_string(k)));
    const std::function<void(O)> cases[] = {
        [](O o) { o.txtJmeno = U"x:::::"; },
        [](O o) { o.txtJmeno = U"*:", o.chkStejnePripony = 1; },
        [](O o) { o.txtJmeno = U"*", o.txtExt = U"", o.optCitac = Citac::JenStejne, o.chkINula = 1; },
    };
    for (const auto& tweak : cases) {
        RenameOptions o;
        tweak(o);
        setListingThreads(1);
        const std::vector<std::string> one = named(names, o, nothingElse);
        setListingThreads(4);
        const std::vector<std::string> four = named(names, o, nothingElse);
        setListingThreads(0);
        EXPECT_EQ(four, one) << toUtf8(o.txtJmeno);
    }
    RenameOptions o;
    o.txtJmeno = U"x:::::";
    setListingThreads(4);
    const std::vector<std::string> rows = named(names, o, nothingElse);
    setListingThreads(0);
    ASSERT_EQ(rows.size(), names.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        char expected[64];
        std::snprintf(expected, sizeof expected, "x%05zu.t%zu", i + 1, i);
        ASSERT_EQ(rows[i], toUtf8(names[i]) + " -> " + expected) << "row " << i;
    }
}
