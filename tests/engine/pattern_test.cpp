#include <gtest/gtest.h>

#include "engine/pattern.h"

using namespace zelvar;

namespace {

// A compiled part as "consumed: token@position ...", a date marker shown as its code.
std::string show(const std::vector<Text>& tokens, const std::vector<int>& positions) {
    std::string s = std::to_string(positions.at(0)) + ":";
    for (std::size_t i = 1; i < tokens.size(); ++i) {
        Text t = tokens[i];
        const bool marker = t.size() == 1 && t[0] >= kMarkSekunda && t[0] <= kMarkRok4;
        if (marker) t = {U'\\', U"snhdmry"[t[0] - kMarkSekunda]};
        s += " " + toUtf8(t) + "@" + std::to_string(positions.at(i));
    }
    return tokens.size() == positions.size() ? s : s + " (lengths differ)";
}

}  // namespace

TEST(PatternCompiler, Parts) {
    struct Case {
        const char32_t* pattern;
        int hvezda;
        bool citac;
        const char *pred, *za;
    };
    const Case cases[] = {
        {U"*", 1, false, "0:", "0:"},
        {U"??*", 1, false, "2: ?@1 ?@2", "0:"},
        {U"*??", 1, false, "0:", "2: ?@1 ?@2"},
        {U"?/?", 0, false, "3: ?@1 /@0 ?@3", "0:"},
        {U"a:::b", 0, true, "0: a@0 @-3 b@0", "0:"},
        {U"::a::", 0, true, "0: @-2 a@0", "0:"},
        // After the star the part is read from its end, so the last run is the counted one.
        {U"*a::b::", 1, true, "0:", "0: @-2 b@0 a@0"},
        {U"*:::b:", 1, true, "0:", "0: @-1 b@0"},
        // Anything visited between two colons ends the run, even an ignored character.
        {U":<:", 0, true, "0: @-1", "0:"},
        {U"\\y-\\m\\d\\r\\h\\n\\s\\v", 0, false, "0: \\y@0 -@0 \\m@0 \\d@0 \\r@0 \\h@0 \\n@0 \\s@0 \\s@0", "0:"},
        {U"\\Y", 0, false, "0: Y@0", "0:"},
        {U"ab\\", 0, false, "0: a@0 b@0", "0:"},
        {U"\\\\y", 0, false, "0: \\y@0", "0:"},
        {U"ab\\*cd", 1, false, "0: a@0 b@0", "0: d@0 c@0"},
        {U"a\\*y", 1, false, "0: a@0", "0: y@0"},  // a "\" before the star never joins the letter after it
        {U"a*b*c", 1, false, "0: a@0", "0: c@0 b@0"},
        {U" ?? ", 0, false, "2: ?@1 ?@2", "0:"},
        {U"<a>|\"", 0, false, "0: a@0", "0:"},
        {U"?:/*/?:", 1, true, "2: ?@1 @-1 /@0", "2: @-1 ?@1 /@0"},
    };
    for (const auto& c : cases) {
        FiltrVystup f;
        ZpracujFiltrVystup(c.pattern, f);
        SCOPED_TRACE(toUtf8(c.pattern));
        EXPECT_EQ(f.Hvezda, c.hvezda);
        EXPECT_EQ(f.Citac, c.citac);
        EXPECT_EQ(show(f.ZnakyPred, f.PolohyPred), c.pred);
        EXPECT_EQ(show(f.ZnakyZa, f.PolohyZa), c.za);
    }
}
