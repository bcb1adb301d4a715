#include "preview/name_ids.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace zelvar;

// Names equal apart from letter case (Czech letters too) share an id; any other name, also one of
// the same length or one that only starts the same, gets its own. An absent name is -1.
TEST(NameIds, OneIdPerNameApartFromLetterCase) {
    std::vector<Text> names;
    NameIds ids(4, [&](std::uint32_t where) { return std::u32string_view(names[where]); });
    const auto add = [&](const Text& name) {
        names.push_back(name);
        return ids.intern(names.back(), static_cast<std::uint32_t>(names.size() - 1));
    };
    // name, id it gets
    const std::vector<std::pair<Text, int>> cases = {
        {U"abc.txt", 0}, {U"ABC.TXT", 0},  {U"abd.txt", 1}, {U"Čáp", 2},     {U"čÁP", 2},
        {U"abc.tx", 3},  {U"abc.txt ", 4}, {U"", 5},        {U"aBc.Txt", 0},
    };
    names.reserve(cases.size());  // the views the table is given must stay where they are
    for (const auto& [name, id] : cases) EXPECT_EQ(add(name), id) << toUtf8(name);
    EXPECT_EQ(ids.size(), 6u);
    for (const Text absent : {U"abe.txt", U"čap", U"abc"})
        EXPECT_EQ(ids.find(absent, NameIds::hash(absent)), -1) << toUtf8(absent);
    EXPECT_EQ(ids.find(U"ČÁP", NameIds::hash(U"ČÁP")), 2);
}

// Ids outgrow the slots reserved for them many times over; every name keeps its id through each
// rehash, and the names are told apart although their slots collide in the small tables.
TEST(NameIds, GrowthKeepsEveryId) {
    std::vector<Text> names;
    const int count = 5000;
    for (int k = 0; k < count; ++k) names.push_back(fromUtf8("IMG_" + std::to_string(k) + ".jpg"));
    NameIds ids(1, [&](std::uint32_t where) { return std::u32string_view(names[where]); });
    for (int k = 0; k < count; ++k) ASSERT_EQ(ids.intern(names[k], std::uint32_t(k)), k);
    for (int k = 0; k < count; ++k) {
        const Text lower = fromUtf8("img_" + std::to_string(k) + ".JPG");
        EXPECT_EQ(ids.find(lower, NameIds::hash(lower)), k);
    }
    EXPECT_EQ(ids.find(U"IMG_5000.jpg", NameIds::hash(U"IMG_5000.jpg")), -1);
}
