#include <gtest/gtest.h>

#include "platform/listing.h"

namespace zelvar {
namespace {

struct MaskCase {
    const char* masks;
    std::string name;  // bytes on disk
    bool matches;
};

class MaskTable : public ::testing::TestWithParam<MaskCase> {};

TEST_P(MaskTable, MatchesLikeWindowsIgnoringCase) {
    const MaskCase& c = GetParam();
    EXPECT_EQ(matchesMask(T(c.masks), fromUtf8(c.name)), c.matches)
        << "mask \"" << c.masks << "\" name \"" << c.name << "\"";
    EXPECT_EQ(NameMask(T(c.masks)).matches(fromUtf8(c.name)), c.matches);
}

INSTANTIATE_TEST_SUITE_P(
    Wildcards, MaskTable,
    ::testing::Values(
        // "*" and "*.*" list every name, with or without a dot, hidden ones too.
        MaskCase{"*", "abc", true}, MaskCase{"*", ".hidden", true}, MaskCase{"*.*", "abc", true},
        MaskCase{"*.*", "a.b.c", true}, MaskCase{"*.*", ".hidden", true},
        // Extensions, letter case ignored on both sides, beyond ASCII too.
        MaskCase{"*.txt", "README.TXT", true}, MaskCase{"*.TXT", "readme.txt", true},
        MaskCase{"*.txt", "a.txt.bak", false}, MaskCase{"*.txt", ".txt", true},
        MaskCase{"ŽLUŤOUČKÝ.*", "žluťoučký.kůň", true}, MaskCase{"č*", "Čaj", true},
        MaskCase{"*.jpg", "photo.jpeg", false},
        // "?" is exactly one character, a code point and not a byte.
        MaskCase{"a?c", "abc", true}, MaskCase{"a?c", "ac", false}, MaskCase{"a?c", "abbc", false},
        MaskCase{"?", "č", true}, MaskCase{"??", "č", false}, MaskCase{"bad?.txt", "bad\xff.txt", true},
        // Stars anywhere, with backtracking.
        MaskCase{"a*b*c", "aXbYc", true}, MaskCase{"a*b*c", "aXbY", false},
        MaskCase{"*ab*ab", "xabyab", true}, MaskCase{"*ab", "abab", true}, MaskCase{"*a", "b", false},
        MaskCase{"**", "x", true},
        // "*" and "?" inside a name on disk are ordinary characters; brackets are no classes.
        MaskCase{"a?b", "a*b", true}, MaskCase{"a*b", "a*b", true}, MaskCase{"[ab]*", "[ab]x", true},
        MaskCase{"[ab]*", "ax", false},
        // A final ".*" may also stand at the end of a name without that dot.
        MaskCase{"readme.*", "readme", true}, MaskCase{"readme.*", "readme.md", true},
        MaskCase{"readme.*", "readm", false}, MaskCase{"a*.*", "abc", true}, MaskCase{"x.y.*", "x.y", true},
        // A mask ending in "." matches names without a dot only.
        MaskCase{"*.", "readme", true}, MaskCase{"*.", "readme.txt", false}, MaskCase{"*.", "readme.", false},
        MaskCase{"r*.", "readme", true}, MaskCase{"x*.", "readme", false}, MaskCase{"*.", ".hidden", false},
        // Several masks, blanks around them ignored, empty pieces skipped.
        MaskCase{"*.jpg;*.png", "x.png", true}, MaskCase{"*.jpg;*.png", "x.gif", false},
        MaskCase{" *.jpg ;  *.PNG ", "x.png", true}, MaskCase{"*.jpg;;", "x.jpg", true},
        MaskCase{"*.jpg;*", "x.gif", true}, MaskCase{"a b.txt", "a b.txt", true},
        // A filter without any mask lists the bare folder.
        MaskCase{"", "x", true}, MaskCase{" ; ", "x.y", true}));

TEST(NameMask, KnowsWhenEveryNameMatches) {
    EXPECT_TRUE(NameMask(T("*")).matchesEverything());
    EXPECT_TRUE(NameMask(T("*.*")).matchesEverything());
    EXPECT_TRUE(NameMask(T("*.jpg; *.*")).matchesEverything());
    EXPECT_TRUE(NameMask(T("")).matchesEverything());
    EXPECT_FALSE(NameMask(T("*.")).matchesEverything());
    EXPECT_FALSE(NameMask(T("*.jpg")).matchesEverything());
    EXPECT_FALSE(NameMask(T("?*")).matchesEverything());
}

}  // namespace
}  // namespace zelvar
