#include <gtest/gtest.h>

#include "engine/pattern.h"

using namespace zelvar;

namespace {

// A compiled part: the characters it consumes and its tokens after element 0.
struct Part {
    int consumed;
    std::vector<std::pair<Text, int>> tokens;
};

Part partOf(const std::vector<Text>& texts, const std::vector<int>& positions) {
    Part part{positions.at(0), {}};
    for (std::size_t i = 1; i < texts.size(); ++i) part.tokens.emplace_back(texts[i], positions.at(i));
    return part;
}

bool operator==(const Part& a, const Part& b) { return a.consumed == b.consumed && a.tokens == b.tokens; }

void PrintTo(const Part& part, std::ostream* os) {
    *os << "consumed " << part.consumed << ":";
    for (const auto& [text, position] : part.tokens) {
        *os << " (";
        for (char32_t c : text) *os << (c < 32 ? "#" + std::to_string(c) : toUtf8(Text(1, c)));
        *os << "," << position << ")";
    }
}

const Text Y(1, kMarkRok4);

}  // namespace

TEST(PatternCompiler, Parts) {
    struct Case { const char32_t* pattern; int hvezda; bool citac; Part pred, za; };
    const Case cases[] = {
        {U"*", 1, false, {0, {}}, {0, {}}},
        {U"", 0, false, {0, {}}, {0, {}}},
        {U"??*", 1, false, {2, {{U"?", 1}, {U"?", 2}}}, {0, {}}},
        {U"*??", 1, false, {0, {}}, {2, {{U"?", 1}, {U"?", 2}}}},
        {U"?/?", 0, false, {3, {{U"?", 1}, {U"/", 0}, {U"?", 3}}}, {0, {}}},
        {U"a:::b", 0, true, {0, {{U"a", 0}, {U"", -3}, {U"b", 0}}}, {0, {}}},
        {U"::a::", 0, true, {0, {{U"", -2}, {U"a", 0}}}, {0, {}}},
        // After the star the part is read from its end, so the last run is the counted one.
        {U"*a::b::", 1, true, {0, {}}, {0, {{U"", -2}, {U"b", 0}, {U"a", 0}}}},
        {U"*:::b:", 1, true, {0, {}}, {0, {{U"", -1}, {U"b", 0}}}},
        // Anything visited between two colons ends the run, even an ignored character.
        {U":<:", 0, true, {0, {{U"", -1}}}, {0, {}}},
        {U"\\y-\\m-\\d", 0, false,
         {0, {{Y, 0}, {U"-", 0}, {Text(1, kMarkMesic), 0}, {U"-", 0}, {Text(1, kMarkDen), 0}}}, {0, {}}},
        {U"\\r\\h\\n\\s\\v", 0, false,
         {0, {{Text(1, kMarkRok2), 0}, {Text(1, kMarkHodina), 0}, {Text(1, kMarkMinuta), 0},
              {Text(1, kMarkSekunda), 0}, {Text(1, kMarkSekunda), 0}}}, {0, {}}},
        {U"\\Y", 0, false, {0, {{U"Y", 0}}}, {0, {}}},
        {U"ab\\", 0, false, {0, {{U"a", 0}, {U"b", 0}}}, {0, {}}},
        {U"\\\\y", 0, false, {0, {{Y, 0}}}, {0, {}}},
        {U"ab\\*cd", 1, false, {0, {{U"a", 0}, {U"b", 0}}}, {0, {{U"d", 0}, {U"c", 0}}}},
        // A "\" before the star never joins the letter after it.
        {U"a\\*y", 1, false, {0, {{U"a", 0}}}, {0, {{U"y", 0}}}},
        {U"a*b*c", 1, false, {0, {{U"a", 0}}}, {0, {{U"c", 0}, {U"b", 0}}}},
        {U" ?? ", 0, false, {2, {{U"?", 1}, {U"?", 2}}}, {0, {}}},
        {U"<a>|\"", 0, false, {0, {{U"a", 0}}}, {0, {}}},
        {U"?:/*/?:", 1, true, {2, {{U"?", 1}, {U"", -1}, {U"/", 0}}},
         {2, {{U"", -1}, {U"?", 1}, {U"/", 0}}}},
    };
    for (const auto& c : cases) {
        FiltrVystup f;
        ZpracujFiltrVystup(c.pattern, f);
        SCOPED_TRACE(toUtf8(c.pattern));
        EXPECT_EQ(f.Hvezda, c.hvezda);
        EXPECT_EQ(f.Citac, c.citac);
        EXPECT_EQ(partOf(f.ZnakyPred, f.PolohyPred), c.pred);
        EXPECT_EQ(partOf(f.ZnakyZa, f.PolohyZa), c.za);
    }
}

TEST(PatternCompiler, DirectionAndCounterFlag) {
    std::vector<Text> tokens;
    std::vector<int> positions;
    bool citac = true;
    ZpracujFiltrVystupCast(U"ab?", U"R", tokens, positions, citac);
    EXPECT_TRUE(citac);  // set, never cleared
    EXPECT_EQ(partOf(tokens, positions), (Part{1, {{U"?", 1}, {U"b", 0}, {U"a", 0}}}));

    citac = false;
    ZpracujFiltrVystupCast(U"::x:", U"rr", tokens, positions, citac);  // only "r" means backwards
    EXPECT_TRUE(citac);
    EXPECT_EQ(partOf(tokens, positions), (Part{0, {{U"", -2}, {U"x", 0}}}));

    FiltrVystup f;
    f.Citac = true;
    ZpracujFiltrVystup(U"*", f);
    EXPECT_TRUE(f.Citac);  // resetting is the caller's business
}

TEST(PatternCompiler, BothPatternsCarryTheirReverseFlags) {
    RenameOptions o;
    o.txtJmeno = U"*";
    o.txtExt = U"x:";
    o.chkJmeno = 1;
    const CompiledPatterns c = ZpracujFiltrVystupCely(o);
    EXPECT_EQ(c.jmeno.ZnakyPred[0], Text(U"1"));
    EXPECT_EQ(c.ext.ZnakyPred[0], Text(U"0"));
    EXPECT_FALSE(c.jmeno.Citac);
    EXPECT_TRUE(c.ext.Citac);
}
