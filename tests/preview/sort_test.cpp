#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "preview/builder.h"
#include "preview/sort.h"

using namespace zelvar;

namespace {

using Names = std::vector<std::string>;

// The names in the order Serad puts them, each with its modification time (0 where none is given).
Names sorted(const Names& input, int key, bool reverse, bool numeric, const std::vector<FileTime>& times = {}) {
    std::vector<ZaznamSouboru> list(input.size());
    for (std::size_t i = 0; i < input.size(); ++i) {
        splitEntryName(T(input[i]), list[i].Jmeno, list[i].Pripona);
        list[i].mtime = i < times.size() ? times[i] : FileTime{};
    }
    Serad(list, key, reverse, numeric);
    Names out;
    for (const auto& r : list) out.push_back(toUtf8(r.Pripona.empty() ? r.Jmeno : r.Jmeno + U'.' + r.Pripona));
    return out;
}

Names reversed(Names n) {
    std::reverse(n.begin(), n.end());
    return n;
}

const std::string k17a = "x12345678901234567.txt";  // 17 digits: a double cannot tell these apart
const std::string k17b = "x12345678901234568.txt";
const std::string k31 = "y1000000000000000000000000000000.txt";  // 31 significant digits
const std::string k30 = "y999999999999999999999999999999.txt";   // 30 nines

struct SortCase {
    const char* label;
    int key;
    bool numeric;
    Names input, ascending;
};

const SortCase kSortCases[] = {
    {"empty", 0, false, {}, {}},
    {"text order of digits",
     0,
     false,
     {"file10.txt", "file9.txt", "file1.txt"},
     {"file1.txt", "file10.txt", "file9.txt"}},
    {"numeric order", 0, true, {"file10.txt", "file9.txt", "file1.txt"}, {"file1.txt", "file9.txt", "file10.txt"}},
    {"code points, lowered",
     0,
     false,
     {"čaj.txt", "zebra.txt", "a_b.txt", "a.txt", "a-b.txt", "a b.txt"},
     {"a b.txt", "a-b.txt", "a.txt", "a_b.txt", "zebra.txt", "čaj.txt"}},
    {"by extension", 1, false, {"b.doc", "a.txt", "README", "c.doc"}, {"README", "b.doc", "c.doc", "a.txt"}},
    {"by extension, numeric stem", 1, true, {"p10.jpg", "p9.jpg", "a.gif"}, {"a.gif", "p9.jpg", "p10.jpg"}},
    {"equal numeric keys: the name on disk decides", 0, true, {"a7.txt", "a007.txt"}, {"a007.txt", "a7.txt"}},
    {"equal keys differing in case",
     0,
     false,
     {"a.txt", "A.txt", "b.txt", "B.TXT"},
     {"A.txt", "a.txt", "B.TXT", "b.txt"}},
    {"only the first run is a number",
     0,
     true,
     {"a1b10.txt", "a1b9.txt", "a01b2.txt"},
     {"a1b10.txt", "a01b2.txt", "a1b9.txt"}},
    {"runs beyond a double's precision", 0, true, {k17b, "x9.txt", k17a}, {"x9.txt", k17a, k17b}},
    {"runs beyond 30 digits", 0, true, {k31, "y5.txt", k30}, {"y5.txt", k30, k31}},
    {"letters past Latin-1 and a long shared start",
     0,
     false,
     {"žb.txt", "čb.txt", "ča.txt", "same_start_b.txt", "same_start_a.tx", "same_start_a.txt"},
     {"same_start_a.tx", "same_start_a.txt", "same_start_b.txt", "ča.txt", "čb.txt", "žb.txt"}},
    {"a zero run is the value 0", 0, true, {"z1.txt", "z000.txt", "z.txt"}, {"z.txt", "z000.txt", "z1.txt"}},
};

}  // namespace

TEST(Serad, AscendingAndItsExactReverse) {
    for (const auto& c : kSortCases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(sorted(c.input, c.key, false, c.numeric), c.ascending);
        EXPECT_EQ(sorted(c.input, c.key, true, c.numeric), reversed(c.ascending));
        // The result never depends on the listing order.
        EXPECT_EQ(sorted(reversed(c.input), c.key, false, c.numeric), c.ascending);
    }
}

TEST(Serad, ByDateWithTiesByName) {
    // Years past 2262 do not fit in nanoseconds, yet still order by date.
    const Names input{"c.txt", "old.txt", "b.txt", "new.txt", "a.txt", "1960.txt", "a2400.txt", "b2300.txt"};
    const std::vector<FileTime> times{{0, 500}, {0, 100},        {0, 500},         {0, 900},
                                      {0, 500}, {-315619200, 0}, {13569465600, 0}, {10413792000, 999999999}};
    const Names ascending{"1960.txt", "old.txt", "a.txt", "b.txt", "c.txt", "new.txt", "b2300.txt", "a2400.txt"};
    EXPECT_EQ(sorted(input, 2, false, false, times), ascending);
    EXPECT_EQ(sorted(input, 2, true, true, times), reversed(ascending));
}

TEST(Serad, NoSortingKeepsOrReversesTheListing) {
    const Names input{"b.txt", "a.txt", "c.txt", "B.txt"};
    EXPECT_EQ(sorted(input, 3, false, true), input);
    EXPECT_EQ(sorted(input, 3, true, false), reversed(input));
}
