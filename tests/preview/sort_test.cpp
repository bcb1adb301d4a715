#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "preview/builder.h"
#include "preview/sort.h"
#include "support/split.h"

using namespace zelvar;
using zelvar::testing::split;

namespace {

using Names = std::vector<std::string>;

// The names in the order Serad puts them, each with its modification time (0 where none is given).
Names sorted(const Names& input, int key, bool reverse, bool numeric, const std::vector<FileTime>& times = {}) {
    std::vector<ZaznamSouboru> list(input.size());
    for (std::size_t i = 0; i < input.size(); ++i) {
        list[i].setName(T(input[i]));
        list[i].mtime = i < times.size() ? times[i] : FileTime{};
    }
    Serad(list, Razeni(key), reverse, numeric);
    Names out;
    for (const auto& r : list) out.push_back(toUtf8(r.name));
    return out;
}

Names reversed(const Names& n) { return {n.rbegin(), n.rend()}; }

}  // namespace

TEST(Serad, AscendingAndItsExactReverse) {
    // key, numeric, the input and its ascending order
    const std::tuple<int, bool, const char*, const char*> cases[] = {
        {0, false, "file10.txt|file9.txt|file1.txt", "file1.txt|file10.txt|file9.txt"},
        {0, true, "file10.txt|file9.txt|file1.txt", "file1.txt|file9.txt|file10.txt"},
        // Letters past Latin-1, and a name that is the start of another.
        {0, false, "čaj.txt|žb.txt|Zebra.txt|a_b.txt|a.txt|a-b.txt|a b.txt|a.tx",
         "a b.txt|a-b.txt|a.tx|a.txt|a_b.txt|Zebra.txt|čaj.txt|žb.txt"},
        {1, false, "b.doc|a.txt|README|c.doc", "README|b.doc|c.doc|a.txt"},
        // Equal keys: the name on disk decides.
        {0, true, "a7.txt|a007.txt", "a007.txt|a7.txt"},
        {0, false, "a.txt|A.txt|b.txt|B.TXT", "A.txt|a.txt|B.TXT|b.txt"},
        // Only the first run is a number; a run of zeros is the value 0.
        {0, true, "a1b10.txt|a1b9.txt|a01b2.txt", "a1b10.txt|a01b2.txt|a1b9.txt"},
        {0, true, "z1.txt|z000.txt|z.txt", "z.txt|z000.txt|z1.txt"},
        // Runs beyond a double's precision and beyond 30 digits.
        {0, true, "x12345678901234568.txt|x9.txt|x12345678901234567.txt",
         "x9.txt|x12345678901234567.txt|x12345678901234568.txt"},
        {0, true, "y1000000000000000000000000000000.txt|y5.txt|y999999999999999999999999999999.txt",
         "y5.txt|y999999999999999999999999999999.txt|y1000000000000000000000000000000.txt"},
        // No sorting: the listing as it came, or its reverse.
        {3, true, "b.txt|a.txt|c.txt|B.txt", "b.txt|a.txt|c.txt|B.txt"},
    };
    for (const auto& [key, numeric, inputText, ascendingText] : cases) {
        SCOPED_TRACE(inputText);
        const Names input = split(inputText), ascending = split(ascendingText);
        EXPECT_EQ(sorted(input, key, false, numeric), ascending);
        EXPECT_EQ(sorted(input, key, true, numeric), reversed(ascending));
        // The result never depends on the listing order, unless it is the listing order.
        EXPECT_EQ(sorted(key == 3 ? input : reversed(input), key, false, numeric), ascending);
    }
}

TEST(Serad, ByDateWithTiesByTheNameOnDisk) {
    // Nanoseconds order within a second, the last one of a second before the next, equal times by name; years past 2262 do not fit in
    // nanoseconds, yet still order by date, and so do times centuries apart.
    const Names input = split("c.txt|old.txt|b.txt|new.txt|a.txt|early.txt|a2400.txt|b2300.txt|0late.txt");
    const Names ascending = split("early.txt|old.txt|a.txt|b.txt|c.txt|0late.txt|new.txt|b2300.txt|a2400.txt");
    const std::int64_t span = std::int64_t{1} << 34;
    const std::int64_t earliest[] = {-315619200, -62135596800, 10413792000 - span, 13569465600 - span};
    for (const std::int64_t early : earliest) {
        SCOPED_TRACE(early);
        const std::vector<FileTime> times{{0, 500}, {early + 1, 0},     {0, 500},         {0, 900},
                                          {0, 500}, {early, 999999999}, {13569465600, 0}, {10413792000, 999999999},
                                          {0, 700}};
        EXPECT_EQ(sorted(input, 2, false, false, times), ascending);
        EXPECT_EQ(sorted(input, 2, true, true, times), reversed(ascending));
    }
    // Files made in one burst share their time: the names decide, code point by code point, past a
    // long shared start, past eight characters, and past letters beyond Latin-1.
    const Names burst = split(
        "IMG_|IMG_0001.JPG|IMG_0001.jpeg|IMG_0001.jpg|IMG_0001.jpg.bak|IMG_0001.jpg.bal|IMG_00010.jpg|"
        "IMG_0001111111111|IMG_00011111111111|IMG_a|IMG_č.jpg|IMG_Ž.jpg|IMG_ž.jpg");
    Names shuffled = burst;
    std::rotate(shuffled.begin(), shuffled.begin() + 5, shuffled.end());
    std::swap(shuffled[1], shuffled[8]);
    for (const FileTime same : {FileTime{1700000000, 123456789}, FileTime{}}) {
        const std::vector<FileTime> times(burst.size(), same);
        EXPECT_EQ(sorted(shuffled, 2, false, false, times), burst);
        EXPECT_EQ(sorted(reversed(shuffled), 2, true, false, times), reversed(burst));
    }
}
