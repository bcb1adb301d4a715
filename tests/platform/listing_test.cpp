#include <sys/stat.h>

#include <cstring>
#include <ctime>
#include <set>
#include <sstream>
#include <tuple>

#include <gtest/gtest.h>

#include "platform/listing.h"
#include "temp_folder.h"

namespace zelvar {
namespace {

using namespace testing;
using Names = std::multiset<std::string>;  // an entry listed twice would show

TEST(Listing, ListsTheKindAndMaskAskedForButSeesEveryEntryAsItself) {
    const Entries entries = {
        {"a.txt", "a"},          {".hidden", ""},      {"dir", "<folder>"},        {".hdir", "<folder>"},
        {"to_file", "-> a.txt"}, {"to_dir", "-> dir"}, {"dangling", "-> nowhere"}, {"bad\xff.txt", ""}};
    TempFolder dir(entries);
    mkfifo((dir / "pipe").c_str(), 0644);
    const Names files{"a.txt", ".hidden", "to_file", "dangling", "bad\xff.txt", "pipe"},
        folders{"dir", ".hdir", "to_dir"};
    const std::tuple<const char*, int, Names> cases[] = {{"*.*", 0, files},
                                                         {"*.*", 1, folders},
                                                         {"*.TXT", 0, {"a.txt", "bad\xff.txt"}},
                                                         {".h*", 2, {".hidden", ".hdir"}}};
    for (const auto& [mask, optFile, expected] : cases) {
        SCOPED_TRACE(std::string(mask) + " kind " + std::to_string(optFile));
        const Listing listing = listFolder(dir.path(), T(mask), File(optFile));
        EXPECT_FALSE(listing.failure || listing.truncated) << failureText(listing.failure.value_or(Failure{}));
        // The existence test sees every entry; each listed one is there under its exact bytes.
        EXPECT_EQ(listing.allNames.size(), files.size() + folders.size());
        Names listed;
        for (const ListedEntry& e : listing.entries) {
            listed.insert(e.name);
            struct stat st {};
            lstat((dir / e.name).c_str(), &st);  // a link is identified as itself, never as its target
            EXPECT_EQ(e.isDir, folders.count(e.name) == 1) << e.name;
            EXPECT_EQ(e.id, (EntryId{st.st_dev, st.st_ino})) << e.name;
            EXPECT_EQ(listing.allNames.at(e.name), e.id) << e.name;
        }
        EXPECT_EQ(listed, expected);
    }
}

// The clash checks ignore letter case everywhere, so the names the filter hides are found in any
// case too. Two names that differ only in case stand for no entry in particular: each is in the
// way even of the other's own change of case. The file system is asked only where it folds case.
TEST(Listing, FindsCaseVariantsOfTheNamesTheFilterHidesAndAsksTheFileSystemOnlyWhereItFolds) {
    TempFolder dir(Entries{{"a.txt", ""}, {"B.JPG", ""}, {"c.txt", ""}, {"C.Txt", ""}, {"\u010Cesky", ""}});
    Listing listing = listFolder(dir.path(), T("a*"), File::Soubory);
    ASSERT_FALSE(listing.caseInsensitive) << "the test folder must tell case apart";
    ASSERT_EQ(listing.entries.size(), 1u);
    // exact bytes first
    for (const auto& [name, entry] :
         {std::pair{"b.jpg", "B.JPG"}, {"\u010Desky", "\u010Cesky"}, {"A.TXT", "a.txt"}, {"c.txt", "c.txt"}})
        EXPECT_EQ(listing.existing(name), listing.allNames.at(entry)) << name;
    const auto either = listing.existing("C.TXT");
    ASSERT_TRUE(either);
    EXPECT_TRUE(*either != listing.allNames.at("c.txt") && *either != listing.allNames.at("C.Txt"));
    EXPECT_EQ(listing.existing("d.txt"), std::nullopt);
    dir.file("later");  // not in the listing, but on disk
    EXPECT_FALSE(listing.existing("later"));
    listing.caseInsensitive = true;
    EXPECT_TRUE(listing.existing("later"));
    // A hit whose folded name was listed is that listed entry, whatever number the lookup reports.
    listing.byFoldedName = NameTable({{"later", EntryId{1, 2}}});
    EXPECT_EQ(listing.existing("LATER"), std::nullopt) << "only when the file system reaches it";
    EXPECT_EQ(listing.existing("later"), (EntryId{1, 2}));
    for (const char* name : {"", ".", "..", "../a"}) EXPECT_FALSE(listing.existing(name)) << '"' << name << '"';
}

// A folder's path that no longer leads to the folder listed: the window renames nothing then.
TEST(Listing, TellsWhetherAPathStillLeadsToTheFolderListed) {
    // Where the folder listed moves to, what takes its path then, whether the path still leads to it.
    const std::tuple<const char*, Entries, bool> cases[] = {{"", {{"f/new", ""}}, true},
                                                            {"real", {{"f", "-> real"}}, true},
                                                            {"away", {{"f", "-> g"}}, false},
                                                            {"away", {{"f", "<folder>"}}, false},
                                                            {"away", {}, false}};
    for (const auto& [movedTo, then, same] : cases) {
        TempFolder dir({{"f", "<folder>"}, {"g", "<folder>"}});
        const Listing listing = listFolder(dir / "f", T("*"), File::Soubory);
        if (*movedTo) std::rename((dir / "f").c_str(), (dir / movedTo).c_str());
        dir.fill(then);
        EXPECT_EQ(sameFolder(dir / "f", listing.folderId), same) << movedTo << " " << then.size();
    }
}

TEST(Listing, DatesAreModificationTimesInLocalCivilTime) {
    TempFolder dir({{"f", ""}, {"link", "-> f"}, {"old", "<folder>"}, {"summer", ""}, {"winter", ""}});
    const time_t f = 1614834360, summer = 1625133600, winter = 1609543800, old = -616852800;
    const char* const cet = "CET-1CEST,M3.5.0,M10.5.0/3";
    // A link's time is its target's; summer and winter differ in offset, winter's crosses midnight.
    const std::tuple<const char*, const char*, time_t, DateTime, FileTime> cases[] = {
        {"UTC", "f", f, {2021, 3, 4, 5, 6, 0}, {f, 123456789}},
        {"UTC", "link", 946684800, {2021, 3, 4, 5, 6, 0}, {f, 123456789}},
        {"UTC", "old", old, {1950, 6, 15, 12, 0, 0}, {old, 0}},
        {cet, "summer", summer, {2021, 7, 1, 12, 0, 0}, {summer, 0}},
        {cet, "winter", winter, {2021, 1, 2, 0, 30, 0}, {winter, 0}},
    };
    for (const auto& [zone, name, mtime, date, time] : cases) {  // "f" first: the link's target
        dir.mtime(name, mtime, name == std::string("f") ? 123456789 : 0);
        setenv("TZ", zone, 1), tzset();
        const Listing listing = listFolder(dir.path(), T(name), File::Oboje);
        setenv("TZ", "UTC", 1), tzset();
        ASSERT_EQ(listing.entries.size(), 1u) << name;
        EXPECT_EQ(listing.entries[0].date, date) << name;
        EXPECT_EQ(listing.entries[0].mtime, time) << name;
    }
}

// Everything a listing holds, in its order.
std::string describe(const Listing& l) {
    std::ostringstream out;
    out << l.failure.has_value() << l.truncated << l.changesElsewhere << " " << l.folderId.ino << "\n";
    for (const ListedEntry& e : l.entries)
        out << e.name << (e.isDir ? "/ " : " ") << e.mtime.sec << "." << e.mtime.nsec << " " << e.date.year << "-"
            << e.date.month << "-" << e.date.day << " " << e.date.hour << ":" << e.date.minute << ":" << e.date.second
            << " " << e.id.ino << "\n";
    for (const auto& [name, id] : l.allNames) out << "= " << name << " " << id.ino << "\n";
    return out.str();
}

// A big folder's entries are inspected on several threads; the listing must be the one a single
// thread gives, up to the limit and the order. The listing stops at the limit and says when more match,
// but the folder is read to its end.
TEST(Listing, StopsAtTheLimitAndIsTheSameOnOneThreadAndOnSeveral) {
    TempFolder dir;
    // files, folders, links to a file and to a folder, dangling links, second hard links
    for (int k = 0; k < 400; ++k) {
        const std::string name = "fdlmxh"[k % 6] + std::to_string(k), back2 = std::to_string(k - 2);
        const std::string holds[] = {name,           "<folder>",   "-> f" + back2,
                                     "-> d" + back2, "-> nowhere", "== f" + std::to_string(k - 5)};
        dir.fill({{name, holds[k % 6]}});
        if (k % 6 < 2 || k % 6 == 5) dir.mtime(name, 1600000000 + 3607 * k, k);
    }
    // mask, kind, limit; entries listed, cut short
    const std::size_t all = kMaxEntries;
    const std::tuple<const char*, int, std::size_t, std::size_t, bool> cases[] = {
        {"*", 0, all, 266, false}, {"*", 1, all, 134, false}, {"f*;d*", 2, all, 134, false},
        {"*", 1, 134, 134, false}, {"*", 1, 133, 133, true},  {"*", 2, 7, 7, true},
        {"?1*", 1, 20, 20, true},  {"x*", 0, 0, 0, true},     {"y*", 0, 0, 0, false}};
    for (const auto& [mask, optFile, limit, listed, truncated] : cases) {
        SCOPED_TRACE(std::string(mask) + " kind " + std::to_string(optFile) + " limit " + std::to_string(limit));
        setListingThreads(1);
        const Listing listing = listFolder(dir.path(), T(mask), File(optFile), limit);
        EXPECT_EQ(listing.entries.size(), listed);
        EXPECT_EQ(listing.truncated, truncated);
        EXPECT_EQ(listing.allNames.size(), 400u);
        // threads, entries per thread (a quarter of it per batch handed out)
        for (const auto& [threads, perThread] : {std::pair{2u, 1u}, {4u, 16u}}) {
            setListingThreads(threads, perThread);
            EXPECT_EQ(describe(listFolder(dir.path(), T(mask), File(optFile), limit)), describe(listing)) << threads;
        }
    }
    setListingThreads(0);
}

TEST(Listing, AFolderThatCannotBeOpenedFailsWithTheSystemsReason) {
    TempFolder dir(Entries{{"plain", ""}});
    for (const auto& [path, error] :
         {std::pair{dir / "missing", ENOENT}, {dir / "plain", ENOTDIR}, {dir.path() + std::string("\0x", 2), EINVAL}}) {
        const Listing listing = listFolder(path, T("*"), File::Oboje);
        EXPECT_EQ(listing.failure, Failure{error}) << path;
    }
}

// Case is ignored beyond ASCII; "?" is one code point; "*" and "?" in a name on disk are plain
// characters and brackets no classes; a final ".*" also matches no dot at all, a final "." only names
// without one; ";" separates masks, blanks around them ignored.
TEST(NameMask, MatchesLikeWindowsIgnoringCase) {
    using Names = std::vector<std::string>;  // bytes on disk
    // mask(s), names it matches, names it does not
    const std::tuple<const char*, Names, Names> cases[] = {
        {"*.TXT", {"readme.txt", ".txt"}, {"a.txt.bak"}},
        {"ŽLUŤOUČKÝ.*", {"žluťoučký.kůň"}, {}},
        {"?", {"č"}, {"ab"}},
        {"bad?.txt", {"bad\xff.txt"}, {}},
        {"*ab*ab", {"xabyab"}, {"xab"}},
        {"a?b", {"a*b"}, {}},
        {"[ab]*", {"[ab]x"}, {"ax"}},
        {"readme.*", {"readme", "readme.md"}, {"readm"}},
        {"*.", {"readme"}, {"readme.txt", "readme.", ".hidden"}},
        {" *.jpg ;  *.PNG ;;", {"x.png", "x.jpg"}, {"x.gif"}},
    };
    for (const auto& [masks, matching, other] : cases)
        for (const bool expected : {true, false})
            for (const std::string& name : expected ? matching : other)
                EXPECT_EQ(NameMask(T(masks)).matches(fromUtf8(name)), expected) << masks << " " << name;
    for (const char* everything : {"*", "*.*", "*.jpg; *.*", ""})
        EXPECT_TRUE(NameMask(T(everything)).matchesEverything()) << everything;
    for (const char* some : {"*.", "*.jpg", "?*"}) EXPECT_FALSE(NameMask(T(some)).matchesEverything()) << some;
}

}  // namespace
}  // namespace zelvar
