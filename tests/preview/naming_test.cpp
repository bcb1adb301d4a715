// The naming and clash steps on plain data, and a randomised comparison with the row-by-row scans
// written out literally.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "engine/pattern.h"
#include "preview/builder.h"
#include "preview/compose.h"

using namespace zelvar;

namespace {

std::vector<ZaznamSouboru> recordsOf(const std::vector<Text>& names) {
    std::vector<ZaznamSouboru> list(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        splitEntryName(names[i], list[i].Jmeno, list[i].Pripona);
        list[i].id = EntryId{1, static_cast<ino_t>(i + 1)};
    }
    return list;
}

Text wholeName(const ZaznamSouboru& r) { return r.Pripona.empty() ? r.Jmeno : r.Jmeno + U'.' + r.Pripona; }

// The folder as the existence test sees it: the listed records plus other entries, their names
// compared exactly or, where the file system folds case, ignoring case.
FindEntry folderOf(const std::vector<ZaznamSouboru>& records, const std::vector<Text>& others, bool folds) {
    const auto key = [folds](const Text& name) { return folds ? toLower(name) : name; };
    std::map<Text, EntryId> entries;
    for (const auto& r : records) entries.emplace(key(wholeName(r)), r.id);
    ino_t ino = 1000;
    for (const auto& o : others) entries.emplace(key(o), EntryId{1, ++ino});
    return [entries, key](const Text& name) -> std::optional<EntryId> {
        const auto it = entries.find(key(name));
        return it == entries.end() ? std::nullopt : std::optional(it->second);
    };
}

ComposeName composerFor(const RenameOptions& options, const CompiledPatterns& patterns) {
    return [&options, &patterns](const ZaznamSouboru& r, double N, bool pocitat) {
        return NoveJmenoStr(r.Jmeno, r.Pripona, N, r.Datum, pocitat, options, patterns);
    };
}

std::vector<std::string> lines(const PreviewList& rows) {
    std::vector<std::string> out;
    for (const auto& r : rows) out.push_back(toUtf8(r.oldName) + " -> " + toUtf8(shownName(r)));
    return out;
}

// ---- The reference: steps 12 to 15 and the closing guard exactly as the scans read. ----

NamedRows referenceRows(const std::vector<ZaznamSouboru>& rec, const RenameOptions& o, const CounterSetup& counter,
                        const ComposeName& compose, const FindEntry& existing, std::size_t nameMax = 255) {
    const int n = static_cast<int>(rec.size());
    const auto refused = [&](const Text& name) -> std::optional<Verdict> {
        const std::size_t q = instr(1, name, U'.');
        if ((q == 0 && name.empty()) || q == 1) return Verdict::emptyName;
        if (utf8Size(name) > nameMax) return Verdict::tooLong;
        return std::nullopt;
    };
    PreviewList rows(n);
    int unchanged = 0;
    auto setMarker = [&](int i, Verdict verdict, Text involved = Text()) {
        rows[i].newName = std::move(involved), rows[i].verdict = verdict, ++unchanged;
    };
    for (int i = 0; i < n; ++i) rows[i].oldName = wholeName(rec[i]);
    struct Skupina {
        Text Jmeno;
        int Prvni;
        long long Pocet;
    };
    std::vector<Skupina> skupiny;
    int k = 0;
    for (int i = 0; i < n; ++i) {
        if (o.optCitac == 0 && counter.inPattern && i > 0 && o.chkStejnePripony != 0 &&
            rec[i - 1].Jmeno == rec[i].Jmeno)
            ++k;
        const long long N = counter.start + static_cast<long long>(counter.step) * (i - k);
        if (N <= 32767) rows[i].newName = compose(rec[i], static_cast<double>(N), false);
        if (const auto v = refused(rows[i].newName)) setMarker(i, *v);
        if (!rows[i].marker() && rows[i].newName == rows[i].oldName) setMarker(i, Verdict::unchanged);
        for (int j = 0; j < i && !rows[i].marker(); ++j) {
            if (toLower(rows[i].newName) != toLower(rows[j].finalName())) continue;
            if (o.optCitac == 1) {
                Skupina* g = nullptr;
                for (auto& s : skupiny)
                    if (!g && toLower(s.Jmeno) == toLower(rows[i].newName)) g = &s;
                if (g)
                    ++g->Pocet;
                else
                    g = &skupiny.emplace_back(Skupina{rows[j].finalName(), j, 1});
                rows[i].newName = compose(rec[i], static_cast<double>(g->Pocet), true);
                if (const auto v = refused(rows[i].newName)) setMarker(i, *v);
            } else {
                setMarker(i, Verdict::clashAbove, rows[j].finalName());
            }
        }
        for (int j = i + 1; j < n && !rows[i].marker(); ++j)
            if (toLower(rows[i].newName) == toLower(rows[j].oldName))
                setMarker(i, Verdict::clashBelow, rows[j].oldName);
    }
    if (o.optCitac == 1 && counter.inPattern && o.chkINula != 0) {
        for (const auto& s : skupiny) {
            if (rows[s.Prvni].marker()) --unchanged;
            rows[s.Prvni].newName = compose(rec[s.Prvni], 0, true), rows[s.Prvni].verdict = Verdict::usable;
            if (const auto v = refused(rows[s.Prvni].newName)) setMarker(s.Prvni, *v);
        }
    }
    for (int i = 0; i < n; ++i) {
        if (rows[i].marker()) continue;
        const auto hit = existing(rows[i].newName);
        if (hit && (*hit != rec[i].id || toLower(rows[i].oldName) != toLower(rows[i].newName)))
            setMarker(i, Verdict::exists, rows[i].newName);
    }
    for (int i = 0; i < n; ++i) {
        if (!rows[i].marker() && rows[i].newName == rows[i].oldName) setMarker(i, Verdict::unchanged);
        for (int j = 0; j < i && !rows[i].marker(); ++j)
            if (toLower(rows[i].newName) == toLower(rows[j].finalName()))
                setMarker(i, Verdict::clashAbove, rows[j].finalName());
    }
    return {rows, unchanged};
}

TEST(NameRows, EveryNameMadeIsCheckedForAnEmptyStemAndItsLength) {
    using O = RenameOptions&;
    struct Case {
        const char* label;
        std::vector<Text> names;
        void (*tweak)(O);
        std::size_t nameMax;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"longer than the limit in bytes",
         {U"a.txt", U"bb.txt"},
         [](O o) { o.txtJmeno = U"žž*"; },
         9,
         {"a.txt -> žža.txt", "bb.txt -> * příliš dlouhé jméno"}},
        {"renumbered past the limit",
         {U"a.txt", U"b.txt"},
         [](O o) { o.txtJmeno = U"xxxx:", o.optCitac = 1; },
         8,
         {"a.txt -> xxxx.txt", "b.txt -> * příliš dlouhé jméno"}},
        {"a number replaced by a dot",
         {U"a.txt", U"b.txt"},
         [](O o) { o.txtJmeno = U":x", o.optCitac = 1, o.txtZamenitCo = U"1", o.txtZamenitZaCo = U"."; },
         255,
         {"a.txt -> x.txt", "b.txt -> * prázdné jméno"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        RenameOptions o;
        c.tweak(o);
        const CompiledPatterns p = ZpracujFiltrVystupCely(o);
        const auto records = recordsOf(c.names);
        const FindEntry none = [](const Text&) { return std::optional<EntryId>(); };
        const CounterSetup counter = counterSetup(o, p);
        const NamedRows got = nameRows(records, o, counter, composerFor(o, p), none, c.nameMax);
        EXPECT_EQ(lines(got.rows), c.expected);
        for (const auto& row : got.rows) EXPECT_TRUE(row.verdict != Verdict::tooLong || row.newName.empty());
        const NamedRows ref = referenceRows(records, o, counter, composerFor(o, p), none, c.nameMax);
        EXPECT_EQ(lines(ref.rows), c.expected);
    }
}

TEST(NameRows, OwnEntryUnderAnotherNameIsStillATakenName) {
    // Two hard links of one file: renaming one onto the other renames nothing.
    RenameOptions o;
    o.txtJmeno = U"b";
    const CompiledPatterns p = ZpracujFiltrVystupCely(o);
    const auto records = recordsOf({U"a.txt"});
    const FindEntry sameInode = [&](const Text& name) -> std::optional<EntryId> {
        return name == U"b.txt" || name == U"a.txt" ? std::optional(records[0].id) : std::nullopt;
    };
    const NamedRows got = nameRows(records, o, counterSetup(o, p), composerFor(o, p), sameInode);
    EXPECT_EQ(lines(got.rows), std::vector<std::string>{"a.txt -> * existuje >b.txt<"});
}

TEST(SplitEntryName, LastDotUnlessFirstOrLast) {
    struct Case {
        std::string name, jmeno, pripona;
    };
    const Case cases[] = {
        {"a.txt", "a", "txt"},         {"archive.tar.gz", "archive.tar", "gz"},
        {"noext", "noext", ""},        {".htaccess", ".htaccess", ""},
        {"abc.", "abc.", ""},          {"..x", ".", "x"},
        {"my.photos", "my", "photos"}, {"žluť.kůň", "žluť", "kůň"},
        {"\xff.\xfe", "\xff", "\xfe"}, {"cut.\xc5", "cut", "\xc5"},
        {"\xc5.txt", "\xc5", "txt"},
    };
    for (const auto& c : cases) {
        Text j1, p1, j2, p2;  // from decoded text and from the bytes on disk
        splitEntryName(fromUtf8(c.name), j1, p1);
        splitEntryName(std::string_view(c.name), j2, p2);
        EXPECT_EQ(toUtf8(j1) + "|" + toUtf8(p1), c.jmeno + "|" + c.pripona) << c.name;
        EXPECT_TRUE(j2 == j1 && p2 == p1) << c.name;
    }
}

TEST(CounterSetup, StartAndStepEachJudgedOnTheirOwn) {
    struct Case {
        const char* od;
        const char* dif;
        int start;
        int step;
    };
    const Case cases[] = {
        {"1", "1", 1, 1},
        {"-5", "2.9", 5, 2},
        {"-0.5", "0", 1, 1},
        {"abc", "-3", 0, 3},
        {"40000", "2", 0, 2},
        {"7", "70000", 7, 1},
        {"1e9", "99999999999999999999", 1, 1},
    };
    RenameOptions o;
    o.txtJmeno = U"*:";
    const CompiledPatterns p = ZpracujFiltrVystupCely(o);
    for (const auto& c : cases) {
        o.txtCisloOd = T(c.od);
        o.txtDif = T(c.dif);
        const CounterSetup s = counterSetup(o, p);
        EXPECT_TRUE(s.active);
        EXPECT_EQ(std::pair(s.start, s.step), std::pair(c.start, c.step)) << c.od << " by " << c.dif;
    }
    o.optCitac = 2;
    EXPECT_FALSE(counterSetup(o, p).active);
    o.optCitac = 0;
    o.txtJmeno = U"*";
    EXPECT_FALSE(counterSetup(o, ZpracujFiltrVystupCely(o)).active);
    o.txtExt = U"::";
    EXPECT_TRUE(counterSetup(o, ZpracujFiltrVystupCely(o)).active);
}

// ---- The hash-map build against the scans, on many random folders. ----

struct RandomFolder {
    std::vector<ZaznamSouboru> records;
    FindEntry existing;
};

RandomFolder randomFolder(std::mt19937& rng) {
    static const std::vector<Text> stems{U"a",  U"A",  U"b",  U"B",  U"x",  U"X", U"a1", U"A1", U"a2",
                                         U"x1", U"x2", U"x0", U"ab", U".h", U"c", U"1",  U"2"};
    static const std::vector<Text> exts{U"", U"txt", U"TXT", U"jpg", U"Jpg"};
    std::uniform_int_distribution<int> count(0, 24);
    const int n = count(rng);
    std::vector<Text> names;
    for (int i = 0; i < n; ++i) {
        Text name = stems[rng() % stems.size()];
        const Text& e = exts[rng() % exts.size()];
        if (!e.empty()) name += U"." + e;
        if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    }
    const auto records = recordsOf(names);
    const bool folds = rng() % 4 == 0;
    std::vector<Text> others;
    for (int i = rng() % 4; i > 0; --i) others.push_back(stems[rng() % stems.size()] + U".txt");
    return {records, folderOf(records, others, folds)};
}

RenameOptions randomOptions(std::mt19937& rng) {
    static const std::vector<Text> namePatterns{U"*", U"x", U"X", U"?", U"x:", U"*:", U"?:", U":", U"a", U"/*", U"*/"};
    static const std::vector<Text> extPatterns{U"*", U"txt", U":", U"*", U"TXT"};
    static const std::vector<Text> starts{U"0", U"1", U"2", U"32766", U"40000"};
    static const std::vector<Text> steps{U"1", U"2", U"0", U"16000"};
    RenameOptions o;
    o.txtJmeno = namePatterns[rng() % namePatterns.size()];
    o.txtExt = extPatterns[rng() % extPatterns.size()];
    o.optCitac = rng() % 3, o.chkStejnePripony = rng() % 2, o.chkINula = rng() % 2, o.optVelikost = rng() % 3;
    o.txtCisloOd = starts[rng() % starts.size()];
    o.txtDif = steps[rng() % steps.size()];
    return o;
}

// A composer that aims at few distinct names, so that clashes, chains of renumbered names and empty
// names are common. It honours the rule that without a counter the number changes nothing.
ComposeName tightComposer(const CounterSetup& counter, int optCitac, unsigned salt) {
    return [counter, optCitac, salt](const ZaznamSouboru& r, double N, bool pocitat) {
        static const std::vector<Text> outs{U"a", U"A",  U"a1",    U"A1",    U"b",     U"",     U".h",
                                            U"x", U"x1", U"a.txt", U"A.TXT", U"b.txt", U"x.jpg"};
        const std::size_t h = std::hash<Text>{}(wholeName(r)) ^ salt;
        Text out = outs[h % outs.size()];
        const bool writes = counter.inPattern && (optCitac == 0 || (optCitac == 1 && pocitat));
        if (writes) out += decimal(static_cast<long long>(N));
        if ((h >> 8) % 3 == 0 && !r.Pripona.empty()) out += U"." + r.Pripona;
        return out;
    };
}

// The rows with their marker flags, and the count of rows not renamed.
std::vector<std::string> shown(const NamedRows& named) {
    std::vector<std::string> out = lines(named.rows);
    for (std::size_t i = 0; i < out.size(); ++i) out[i] += named.rows[i].marker() ? " (marker)" : "";
    out.push_back("unchanged " + std::to_string(named.unchanged));
    return out;
}

// What the closing guard promises, checked independently of both builds.
void expectUsableRowsAreRenames(const NamedRows& got) {
    int markers = 0;
    for (std::size_t i = 0; i < got.rows.size(); ++i) {
        const auto& row = got.rows[i];
        markers += row.marker();
        if (row.marker()) continue;
        EXPECT_NE(row.newName, row.oldName);
        for (std::size_t j = 0; j < i; ++j)
            EXPECT_NE(toLower(row.newName), toLower(got.rows[j].finalName())) << j + 1 << " and " << i + 1;
    }
    EXPECT_EQ(got.unchanged, markers);
}

TEST(NameRows, MatchesTheScansOnRandomFolders) {
    std::mt19937 rng(20240611);
    int renamed = 0, marked = 0;
    for (int round = 0; round < 4000; ++round) {
        const RandomFolder f = randomFolder(rng);
        const RenameOptions o = randomOptions(rng);
        const CompiledPatterns p = ZpracujFiltrVystupCely(o);
        const CounterSetup counter = counterSetup(o, p);
        const ComposeName compose =
            round % 2 == 0 ? composerFor(o, p) : tightComposer(counter, o.optCitac, unsigned(rng()));
        const NamedRows fast = nameRows(f.records, o, counter, compose, f.existing);
        const NamedRows ref = referenceRows(f.records, o, counter, compose, f.existing);
        SCOPED_TRACE("round " + std::to_string(round) + ", name " + toUtf8(o.txtJmeno) + ", mode " +
                     std::to_string(o.optCitac));
        EXPECT_EQ(shown(fast), shown(ref));
        expectUsableRowsAreRenames(fast);
        if (HasFailure()) return;
        renamed += static_cast<int>(fast.rows.size()) - fast.unchanged;
        marked += fast.unchanged;
    }
    // Both kinds of row must be common, or the comparison proves little.
    EXPECT_GT(renamed, 5000);
    EXPECT_GT(marked, 5000);
}

}  // namespace
