#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "edit_rows.h"
#include "preview/manual_edit.h"

using namespace zelvar;
using namespace zelvar::testing;

namespace {

TEST(ManualEdit, ParsesLinesIntoNewNamesAndMarkers) {
    // what, old names, the box, new names ("=" stands for "* beze změny"), renames
    const std::tuple<const char*, const char*, const char*, const char*, int> cases[] = {
        {"fewer lines than rows", "a|b|c", "x\r\n", "x|=|=", 1},
        {"more lines than rows", "a", "x\r\ny\r\nz\r\n", "x", 1},
        {"empty and blank lines", "a|b|c", "\r\n   \r\nz", "=|=|z", 1},
        {"blanks around a name", "a|b", "  x y  \r\n b ", "x y|=", 1},
        {"a later old name", "a.txt|b.txt", "b.txt\r\nc.txt\r\n", "* viz >b.txt< níže|c.txt", 1},
        {"an earlier old name, freed in time", "a.txt|b.txt", "c.txt\r\na.txt\r\n", "c.txt|a.txt", 2},
        {"an earlier new name in any case", "a|b", "c\r\nC\r\n", "c|* viz >c< výše", 1},
        {"an earlier unchanged row keeps its name", "a|b", "\r\nA\r\n", "=|* viz >a< výše", 0},
        {"a later old name in another case", "a|B", "b\r\n", "* viz >B< níže|=", 0},
        {"the first earlier match is named", "A|a|b", "\r\n\r\na\r\n", "=|=|* viz >A< výše", 0},
        {"old names holding forbidden characters", "what?.txt|a*b", "what.txt\r\nab\r\n", "=|=", 0},
        {"such a name really changed", "what?.txt", "what now.txt\r\n", "what now.txt", 1},
        {"old names with outer blanks", " lead|trail ", " lead\r\ntrail \r\n", "=|=", 0},
        {"two rows swapping", "a|b", "b\r\na\r\n", "* viz >b< níže|* viz >a< výše", 0},
    };
    for (const auto& [what, oldNames, box, newNames, renameCount] : cases) {
        SCOPED_TRACE(what);
        const ManualEditResult r = txtEdit_Parse(T(box), listing(oldNames));
        std::string olds;
        for (const PreviewEntry& row : r.rows) olds += (olds.empty() ? "" : "|") + toUtf8(row.oldName);
        EXPECT_EQ(olds, oldNames);
        EXPECT_EQ(shown(r.rows), newNames);
        EXPECT_EQ(r.renameCount, renameCount);
    }
}

// A line the folder cannot take as a name gets the marker a pattern name would get and renames
// nothing; the run would only fail on it. Lengths count the bytes on disk.
TEST(ManualEdit, MarksLinesTheFolderCannotTakeAsNames) {
    std::string c127;
    for (int i = 0; i < 127; ++i) c127 += "\u010D";  // two bytes each
    const std::string n255(255, 'n');
    // the verdict, the folder's limit in bytes, the lines
    const std::tuple<Verdict, std::size_t, std::vector<std::string>> cases[] = {
        {Verdict::emptyName, 255, {".", ".."}},
        // "..." is a name like any other; a byte that is no UTF-8 is one byte on disk.
        {Verdict::usable, 255, {"...", ".hidden", n255, c127 + "n", std::string(255, '\xFF')}},
        {Verdict::tooLong, 255, {n255 + "n", std::string(300, 'n'), c127 + "\u010D"}},
        {Verdict::usable, 143, {std::string(143, 'n')}},
        {Verdict::tooLong, 143, {std::string(144, 'n')}},
    };
    for (const auto& [verdict, nameMax, lines] : cases) {
        for (const std::string& line : lines) {
            SCOPED_TRACE(line.substr(0, 9) + "... " + std::to_string(line.size()));
            const ManualEditResult r = txtEdit_Parse(fromUtf8(line) + U"\r\n", listing("a"), nameMax);
            ASSERT_EQ(r.rows.size(), 1u);
            EXPECT_EQ(r.rows[0].verdict, verdict);
            EXPECT_EQ(r.renameCount, verdict == Verdict::usable ? 1 : 0);
            EXPECT_TRUE(verdict == Verdict::usable || r.rows[0].newName.empty());
        }
    }
    // A marked row keeps its old name, which a later line then cannot take.
    const ManualEditResult r = txtEdit_Parse(U"..\r\nA\r\n", listing("a|b"));
    EXPECT_EQ(previewText(r.rows), T("a -> * prázdné jméno\r\nb -> * viz >a< výše\r\n"));
    EXPECT_EQ(r.renameCount, 0);
}

TEST(ManualEdit, BoxLosesForbiddenCharactersButKeepsItsLinesAndThePreviewFollows) {
    const ManualEditResult r = txtEdit_Parse(T("a/b\\c<d>e|f\"g:h*i?j\r\n  k \r\n"), listing("1|2|3"));
    EXPECT_EQ(r.boxText, T("abcdefghij\r\n  k \r\n"));
    EXPECT_EQ(previewText(r.rows), T("1 -> abcdefghij\r\n2 -> k\r\n3 -> * beze změny\r\n"));
    const ManualEditResult none = txtEdit_Parse(T("x?\r\ny\r\n"), {});
    EXPECT_TRUE(none.rows.empty() && none.renameCount == 0);
    EXPECT_EQ(none.boxText, T("x\r\ny\r\n"));
}

TEST(ManualEdit, FilledBoxChangesNothing) {
    // Whatever the old names hold, the box as filled must parse to "nothing to rename".
    const PreviewList rows = listing("plain.txt|  padded  |q?.jpg|a\\b|Ünïcode|* beze změny|bad\xFF");
    const Text box = editBoxText(rows);
    EXPECT_EQ(box.substr(0, 11), T("plain.txt\r\n"));
    const ManualEditResult r = txtEdit_Parse(box, rows);
    EXPECT_EQ(r.renameCount, 0);
    for (const auto& row : r.rows) EXPECT_EQ(row.verdict, Verdict::unchanged) << toUtf8(row.oldName);
}

}  // namespace
