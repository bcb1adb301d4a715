#include <gtest/gtest.h>

#include <chrono>

#include "engine/pipeline.h"
#include "engine/regex.h"

using namespace zelvar;

namespace {

struct Case {
    const char *co, *cim, *old, *expected;
    int whole = 0, regex = 1;
};

Text run(const Text& co, const Text& cim, const Text& old, int whole = 0, int regex = 1) {
    RenameOptions o;
    o.chkRegVyraz = regex, o.txtZamenitCo = co, o.txtZamenitZaCo = cim, o.chkZamenaVse = whole;
    const CompiledPatterns patterns = ZpracujFiltrVystupCely(o);
    return ZpracJmeno(old, patterns.jmeno, {.N = 1}, o);
}

}  // namespace

TEST(RegexReplace, GroupsCaseAndWhatTheOptionsLeave) {
    const Case cases[] = {
        {"(\\d+)-(\\d+)", "$2-$1", "img 12-34 x", "img 34-12 x"},
        {"(?<rok>\\d{4})_(?<mes>\\d\\d)", "${mes}.${rok}", "foto 2024_03", "foto 03.2024"},
        {"(?i)abc", "x", "ABC abc AbC", "x x x"},
        {"abc", "x", "ABC abc", "ABC x"},
        {"\\s+", "", "a  b   c", "abc"},  // empty replacement removes the matches
        {"^", "pre_", "name", "pre_name"},
        {"x", "a/b:c", "x", "abc"},         // forbidden characters written by the replacement go
        {"x", "y", "a:x b?", "a:y b?"},     // those of the old name stay, as without the expression
        {"(.)x", "$1", "a:x b:", "a b:"},   // a group the replacement writes is what it writes
        {"b", "\\\\$0\\$", "a?b", "a?b$"},  // an escaped \ is written and goes, an escaped $ stays
        {"nomatch", "y", "name", "name"},
        {"č(.)", "$1", "kočka", "koka"},  // letters beyond ASCII
        // A group the expression does not have leaves the name.
        {"(a)", "$5", "abc", "abc"},
        {"(a)", "${nic}", "abc", "abc"},
        // Off, "Co" is a set of characters; on, the same text is an expression and "Celé" changes nothing.
        {"a.", "xy", "a.b", "xyb", 0, 0},
        {"a.", "X", "a.b", "Xb", 1},
        // With an empty "Čím" the plain replacement does nothing, the expression removes.
        {"a", "", "aba", "aba", 0, 0},
        {"a", "", "aba", "b"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(run(T(c.co), T(c.cim), T(c.old), c.whole, c.regex), T(c.expected))
            << c.co << " -> " << c.cim << " on " << c.old << " whole " << c.whole << " regex " << c.regex;
}

TEST(RegexReplace, CompiledOncePerOptionsAndSharedByBothFields) {
    RenameOptions o;
    o.chkRegVyraz = 1, o.txtZamenitCo = U"a";
    const CompiledPatterns p = ZpracujFiltrVystupCely(o);
    ASSERT_NE(p.regex(), nullptr);
    EXPECT_EQ(p.jmeno.regex, p.ext.regex);
    o.txtZamenitCo.clear();
    EXPECT_EQ(ZpracujFiltrVystupCely(o).regex(), nullptr);  // empty "Co": nothing to do
    o.txtZamenitCo = U"a", o.chkRegVyraz = 0;
    EXPECT_EQ(ZpracujFiltrVystupCely(o).regex(), nullptr);
}

TEST(RegexReplace, InvalidExpressionReplacesNothingAndSaysWhere) {
    const struct {
        const char* co;
        int position;
    } cases[] = {{"(ab", 4}, {"a[", 3}, {"\U0001F600(", 2}, {"(?<x>a", 7}};
    for (const auto& c : cases) {
        const CompiledRegex regex(T(c.co), U"x");
        EXPECT_FALSE(regex.valid()) << c.co;
        EXPECT_EQ(regex.errorPosition(), c.position) << c.co;
        const Text note = regexNote(&regex);
        EXPECT_EQ(note.rfind(U"Chybný regulární výraz: U_REGEX_", 0), 0u) << c.co;
        EXPECT_NE(note.find(U" (znak " + decimal(c.position) + U")"), Text::npos) << c.co;
        EXPECT_EQ(run(T(c.co), U"x", U"(abc[č"), U"(abc[č") << c.co;
    }
    const CompiledRegex good(U"a+", U"b");
    EXPECT_EQ(regexNote(&good), U"");
    EXPECT_EQ(regexNote(nullptr), U"");
}

TEST(RegexReplace, PathologicalExpressionStopsQuicklyAndLeavesTheName) {
    const CompiledRegex regex(U"(a+)+b", U"x");
    ASSERT_TRUE(regex.valid());
    const Text name(40, U'a');
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(regex.replaceAll(name), name);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_TRUE(regex.tooComplex());
    EXPECT_EQ(regexNote(&regex), kRegexTooComplex);
    // A name it can handle is still replaced.
    EXPECT_EQ(regex.replaceAll(U"aab"), U"x");
}

TEST(RegexReplace, UndecodableBytesSurvive) {
    const Text old = Text(U"ab") + char32_t(0xDC80) + U"c";
    EXPECT_EQ(run(U"b", U"B", old), Text(U"aB") + char32_t(0xDC80) + U"c");
}
