#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "preview/manual_edit.h"
#include "preview/rename_list.h"

using namespace zelvar;

namespace {

PreviewList listing(const std::vector<std::string>& oldNames) {
    PreviewList rows;
    for (const auto& n : oldNames) rows.push_back({T(n), T("composed-" + n), Verdict::usable});
    return rows;
}

// What the preview shows for each row once the box is parsed, as manual editing parses it.
std::vector<std::string> shown(const RenameList& list, const PreviewList& rows) {
    std::vector<std::string> out;
    for (const PreviewEntry& row : txtEdit_Parse(list.box, rows).rows) out.push_back(toUtf8(shownName(row)));
    return out;
}

std::vector<std::string> utf8(const std::vector<Text>& texts) {
    std::vector<std::string> out;
    for (const Text& t : texts) out.push_back(toUtf8(t));
    return out;
}

}  // namespace

TEST(RenameList, MatchesByOldNameWhateverTheOrder) {
    // what, old names, the list, what the preview shows, problems
    const std::tuple<const char*, std::vector<std::string>, std::string, std::vector<std::string>,
                     std::vector<std::string>>
        cases[] = {
            {"in another order",
             {"a.jpg", "b.jpg", "c.jpg"},
             "c.jpg\tC.jpg\na.jpg\tA1.jpg\n",
             {"A1.jpg", "* beze změny", "C.jpg"},
             {}},
            {"CR LF, a lone CR, no end, a BOM",
             {"a", "b", "c"},
             "\xEF\xBB\xBF"
             "a\tx\r\nb\ty\rc\tz",
             {"x", "y", "z"},
             {}},
            {"empty lines are skipped", {"a"}, "\n\na\tx\n\n", {"x"}, {}},
            {"an old name must be exact",
             {"Foto.JPG"},
             "foto.jpg\tx\n",
             {"* beze změny"},
             {"řádek 1: >foto.jpg< ve složce není"}},
            {"a name not in the folder",
             {"a", "b"},
             "a\tx\nzz\ty\n",
             {"x", "* beze změny"},
             {"řádek 2: >zz< ve složce není"}},
            {"an old name twice",
             {"a", "b"},
             "a\tx\nb\ty\na\tz\n",
             {"x", "y"},
             {"řádek 3: >a< je v seznamu už na řádku 1"}},
            {"a line without a TAB",
             {"a"},
             "a x\n",
             {"* beze změny"},
             {"řádek 1: chybí tabulátor mezi starým a novým jménem"}},
            // The new names are checked as typed names are.
            {"forbidden characters and blanks", {"a"}, "a\t  x:y?  \n", {"xy"}, {}},
            {"an empty new name changes nothing", {"a"}, "a\t\n", {"* beze změny"}, {}},
            {"onto a later old name", {"a", "b"}, "a\tb\n", {"* viz >b< níže", "* beze změny"}, {}},
            {"two onto one", {"a", "b"}, "a\tx\nb\tX\n", {"x", "* viz >x< výše"}, {}},
            {"a TAB in the new name stays", {"a", "b"}, "a\tb\tc\n", {"b\tc", "* beze změny"}, {}},
            {"an old name with blanks and a colon", {" a:b ", "c"}, " a:b \tnew\n", {"new", "* beze změny"}, {}},
            {"undecodable bytes in an old name", {"\xff.txt"}, "\xff.txt\tok.txt\n", {"ok.txt"}, {}},
        };
    for (const auto& [what, oldNames, text, expected, problems] : cases) {
        SCOPED_TRACE(what);
        const PreviewList rows = listing(oldNames);
        const RenameList list = renameListBox(text, rows);
        EXPECT_EQ(shown(list, rows), expected);
        EXPECT_EQ(utf8(list.problems), problems);
    }
}

TEST(RenameList, CountsTheRowsItNames) {
    const PreviewList rows = listing({"a", "b", "c"});
    EXPECT_EQ(renameListBox("b\tx\nq\ty\nc\tc\n", rows).matched, 2u);
    EXPECT_EQ(renameListBox("", rows).matched, 0u);
    EXPECT_EQ(renameListBox("", rows).box, U"a\r\nb\r\nc\r\n");
    EXPECT_TRUE(renameListBox("a\tx\n", {}).problems.size() == 1);
}
