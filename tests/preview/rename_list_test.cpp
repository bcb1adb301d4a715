#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "edit_rows.h"
#include "preview/manual_edit.h"
#include "preview/rename_list.h"

using namespace zelvar;
using namespace zelvar::testing;

namespace {

TEST(RenameList, MatchesByOldNameWhateverTheOrder) {
    // what, old names, the list, what the preview shows ("=" for "* beze změny"), the problems
    const std::tuple<const char*, const char*, std::string, const char*, const char*> cases[] = {
        {"in another order", "a.jpg|b.jpg|c.jpg", "c.jpg\tC.jpg\na.jpg\tA1.jpg\n", "A1.jpg|=|C.jpg", ""},
        {"CR LF, a lone CR, no end, a BOM", "a|b|c", "\uFEFFa\tx\r\nb\ty\rc\tz", "x|y|z", ""},
        {"empty lines are skipped", "a", "\n\na\tx\n\n", "x", ""},
        {"an old name must be exact", "Foto.JPG", "foto.jpg\tx\n", "=", "řádek 1: >foto.jpg< ve složce není"},
        {"a name not in the folder", "a|b", "a\tx\nzz\ty\n", "x|=", "řádek 2: >zz< ve složce není"},
        {"an old name twice", "a|b", "a\tx\nb\ty\na\tz\n", "x|y", "řádek 3: >a< je v seznamu už na řádku 1"},
        {"a line without a TAB", "a", "a x\n", "=", "řádek 1: chybí tabulátor mezi starým a novým jménem"},
        // The new names are checked as typed names are.
        {"forbidden characters and blanks", "a", "a\t  x:y?  \n", "xy", ""},
        {"an empty new name changes nothing", "a", "a\t\n", "=", ""},
        {"onto a later old name", "a|b", "a\tb\n", "* viz >b< níže|=", ""},
        {"two onto one", "a|b", "a\tx\nb\tX\n", "x|* viz >x< výše", ""},
        {"a TAB in the new name stays", "a|b", "a\tb\tc\n", "b\tc|=", ""},
        {"an old name with blanks and a colon", " a:b |c", " a:b \tnew\n", "new|=", ""},
        {"undecodable bytes in an old name", "\xff.txt", "\xff.txt\tok.txt\n", "ok.txt", ""},
    };
    for (const auto& [what, oldNames, text, expected, problems] : cases) {
        SCOPED_TRACE(what);
        const PreviewList rows = listing(oldNames);
        const RenameList list = renameListBox(text, rows);
        std::string found;
        for (const Text& problem : list.problems) found += (found.empty() ? "" : "|") + toUtf8(problem);
        EXPECT_EQ(shown(txtEdit_Parse(list.box, rows).rows), expected);
        EXPECT_EQ(found, problems);
    }
}

TEST(RenameList, CountsTheRowsItNames) {
    const PreviewList rows = listing("a|b|c");
    EXPECT_EQ(renameListBox("b\tx\nq\ty\nc\tc\n", rows).matched, 2u);
    EXPECT_EQ(renameListBox("", rows).matched, 0u);
    EXPECT_EQ(renameListBox("", rows).box, U"a\r\nb\r\nc\r\n");
    EXPECT_EQ(renameListBox("a\tx\n", {}).problems.size(), 1u);
}

}  // namespace
