#include "platform/name_table.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

using namespace zelvar;

namespace {

std::string listed(const NameTable& table) {
    std::string names;
    for (const auto& [name, id] : table) names += std::string(name) + ":" + std::to_string(id.ino) + "|";
    return names;
}

}  // namespace

// Names are bytes compared exactly. A folder read while it changed can give a name twice: the entry
// read first is kept, and the names after it still find their own entries once it is dropped.
TEST(NameTable, FindsEachNameExactlyAndKeepsTheFirstOfTwo) {
    const NameTable table({{"a", {1, 1}},
                           {"ab", {1, 2}},
                           {"a", {1, 3}},
                           {"b\xff", {1, 4}},
                           {"ab", {1, 5}},
                           {"A", {1, 6}},
                           {"abc", {1, 7}}});
    EXPECT_EQ(listed(table), "a:1|ab:2|b\xff:4|A:6|abc:7|");
    // name, its entry (0: not there)
    const std::vector<std::pair<std::string, ino_t>> cases = {
        {"a", 1}, {"ab", 2}, {"b\xff", 4}, {"A", 6}, {"abc", 7}, {"aB", 0}, {"b", 0}, {"", 0}, {"abcd", 0}, {"bc", 0},
    };
    for (const auto& [name, ino] : cases) {
        const EntryId* id = table.find(name);
        EXPECT_EQ(id ? id->ino : 0, ino) << name;
    }
    EXPECT_THROW(table.at("aB"), std::out_of_range);
    EXPECT_EQ(NameTable().find("a"), nullptr) << "an empty table has no slots to probe";
}

// The slots grow with the names: a folder of many more names than the first capacity keeps every
// name findable, with a name dropped again before the index left out.
TEST(NameTable, GrowsPastItsFirstCapacity) {
    NameTable table;
    const int names = 1000;
    for (int k = 0; k < names; ++k) table.add("n" + std::to_string(k), {2, ino_t(k)});
    table.add("vanished", {2, 9999});
    table.dropLast();
    table.index();
    ASSERT_EQ(table.size(), std::size_t(names));
    for (int k = 0; k < names; ++k) {
        const EntryId* id = table.find("n" + std::to_string(k));
        ASSERT_NE(id, nullptr) << k;
        EXPECT_EQ(id->ino, ino_t(k));
    }
    EXPECT_EQ(table.find("vanished"), nullptr);
    EXPECT_EQ(table.find("n1000"), nullptr);
}
