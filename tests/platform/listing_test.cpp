#include <sys/stat.h>

#include <climits>
#include <cstring>
#include <ctime>
#include <set>
#include <tuple>

#include <gtest/gtest.h>

#include "platform/listing.h"
#include "temp_folder.h"

namespace zelvar {
namespace {

using namespace testing;
using Names = std::multiset<std::string>;  // an entry listed twice would show

Names namesOf(const Listing& listing) {
    Names names;
    for (const ListedEntry& e : listing.entries) names.insert(e.name);
    return names;
}

const ListedEntry* entryNamed(const Listing& listing, const std::string& name) {
    for (const ListedEntry& e : listing.entries)
        if (e.name == name) return &e;
    return nullptr;
}

time_t utc(int year, int month, int day, int hour, int minute, int second) {
    struct tm tm {};
    tm.tm_year = year - 1900, tm.tm_mon = month - 1, tm.tm_mday = day;
    tm.tm_hour = hour, tm.tm_min = minute, tm.tm_sec = second;
    return timegm(&tm);
}

// Puts a time zone in force for one scope and the tests' own, UTC, back after it.
struct ScopedTimeZone {
    explicit ScopedTimeZone(const char* zone) { setenv("TZ", zone, 1), tzset(); }
    ~ScopedTimeZone() { setenv("TZ", "UTC", 1), tzset(); }
};

TEST(Listing, ListsTheKindAndMaskAskedForButSeesEveryEntryAsItself) {
    TempFolder dir;
    dir.fill({{"a.txt", "a"},
              {".hidden", ""},
              {"dir", "<folder>"},
              {".hdir", "<folder>"},
              {"to_file", "-> a.txt"},
              {"to_dir", "-> dir"},
              {"dangling", "-> nowhere"},
              {"loop", "-> loop"},
              {"star*name", ""},
              {"bad\xff.txt", ""}});
    mkfifo((dir / "pipe").c_str(), 0644);
    const Names files{"a.txt", ".hidden", "to_file", "dangling", "loop", "star*name", "bad\xff.txt", "pipe"};
    const Names folders{"dir", ".hdir", "to_dir"};
    Names all = files;
    all.insert(folders.begin(), folders.end());
    struct Case {
        const char* mask;
        int optFile;
        Names expected;
    };
    const Case cases[] = {
        {"*.*", 0, files},
        {"*.*", 1, folders},
        {"*", 2, all},
        {"*.TXT", 0, {"a.txt", "bad\xff.txt"}},
        {"star?name;*.hdir", 2, {"star*name", ".hdir"}},
        {".h*", 2, {".hidden", ".hdir"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.mask) + " kind " + std::to_string(c.optFile));
        const Listing listing = listFolder(dir.path(), T(c.mask), c.optFile);
        EXPECT_FALSE(listing.failed || listing.truncated) << listing.error;
        EXPECT_EQ(namesOf(listing), c.expected);
        Names seen;
        for (const auto& [name, id] : listing.allNames) seen.insert(name);
        EXPECT_EQ(seen, all) << "the existence test must see every entry";
        for (const ListedEntry& e : listing.entries) {
            struct stat st {};
            lstat((dir / e.name).c_str(), &st);  // a link is identified as itself, never as its target
            EXPECT_EQ(e.isDir, folders.count(e.name) == 1) << e.name;
            EXPECT_EQ(e.id, (EntryId{st.st_dev, st.st_ino})) << e.name;
            EXPECT_EQ(listing.allNames.at(e.name), e.id) << e.name;
        }
    }
}

TEST(Listing, ExistingAsksTheFileSystemOnlyWhenItFoldsCase) {
    TempFolder dir;
    dir.file("a");
    Listing listing = listFolder(dir.path(), T("*"), 0);
    dir.file("later");  // not in the listing, but on disk
    EXPECT_EQ(listing.existing("a"), listing.allNames.at("a"));
    EXPECT_FALSE(listing.existing("later") || listing.existing("A") || listing.existing("absent"));
    listing.caseInsensitive = true;
    EXPECT_TRUE(listing.existing("later"));
    // A hit whose folded name was listed is that listed entry, whatever number the lookup reports.
    listing.byFoldedName.emplace("later", EntryId{1, 2});
    EXPECT_EQ(listing.existing("LATER"), std::nullopt) << "only when the file system reaches it";
    EXPECT_EQ(listing.existing("later"), (EntryId{1, 2}));
    for (const char* name : {"", ".", "..", "a/.", "../a"}) EXPECT_FALSE(listing.existing(name)) << '"' << name << '"';
}

// A folder's path that no longer leads to the folder listed: the window renames nothing then.
TEST(Listing, TellsWhetherAPathStillLeadsToTheFolderListed) {
    // Where the folder listed moves to, what takes its path then, and whether the path still leads to it.
    const std::tuple<const char*, std::vector<std::pair<std::string, std::string>>, bool> cases[] = {
        {"", {{"f/new", ""}}, true},          {"real", {{"f", "-> real"}}, true}, {"away", {{"f", "-> g"}}, false},
        {"away", {{"f", "<folder>"}}, false}, {"away", {{"f", "file"}}, false},   {"away", {}, false},
    };
    for (const auto& [movedTo, then, same] : cases) {
        TempFolder dir;
        dir.fill({{"f", "<folder>"}, {"f/a", ""}, {"g", "<folder>"}, {"g/a", ""}});
        const Listing listing = listFolder(dir / "f", T("*"), 0);
        ASSERT_TRUE(sameFolder(dir / "f", listing.folderId));
        if (*movedTo) std::rename((dir / "f").c_str(), (dir / movedTo).c_str());
        dir.fill(then);
        EXPECT_EQ(sameFolder(dir / "f", listing.folderId), same) << movedTo << " " << then.size();
    }
}

TEST(Listing, DatesAreModificationTimesInLocalCivilTime) {
    TempFolder dir;
    dir.fill({{"f", ""},
              {"link", "-> f"},
              {"dangling", "-> nowhere"},
              {"old", "<folder>"},
              {"far", ""},
              {"summer", ""},
              {"winter", ""}});
    const time_t f = utc(2021, 3, 4, 5, 6, 7), far = utc(2400, 1, 1, 0, 0, 0);
    const char* const cet = "CET-1CEST,M3.5.0,M10.5.0/3";
    // ns: the mtimeNs expected, 0 for the entry's own time
    struct Case {
        const char* zone;
        const char* name;
        time_t mtime;
        long nano;
        DateTime date;
        int64_t ns;
    };
    const Case cases[] = {
        {"UTC", "f", f, 123456789, {2021, 3, 4, 5, 6, 7}, 0},
        {"UTC", "link", utc(2000, 1, 1, 0, 0, 0), 0, {2021, 3, 4, 5, 6, 7}, f * 1000000000LL + 123456789},
        {"UTC", "dangling", utc(1999, 12, 31, 23, 59, 59), 0, {1999, 12, 31, 23, 59, 59}, 0},
        {"UTC", "old", utc(1950, 6, 15, 12, 0, 0), 0, {1950, 6, 15, 12, 0, 0}, 0},
        {"UTC", "far", far, 7, {2400, 1, 1, 0, 0, 0}, 0},
        {cet, "summer", utc(2021, 7, 1, 10, 0, 0), 0, {2021, 7, 1, 12, 0, 0}, 0},
        {cet, "winter", utc(2021, 1, 1, 23, 30, 0), 0, {2021, 1, 2, 0, 30, 0}, 0},
    };
    for (const auto& c : cases) dir.mtime(c.name, c.mtime, c.nano);
    struct stat st;
    const bool farKept = stat((dir / "far").c_str(), &st) == 0 && st.st_mtim.tv_sec == far;
    for (const auto& c : cases) {
        if (c.mtime == far && !farKept) continue;  // a file system that cannot store the year 2400
        const ScopedTimeZone zone(c.zone);
        const Listing listing = listFolder(dir.path(), T("*"), 2);
        const ListedEntry* e = entryNamed(listing, c.name);
        ASSERT_NE(e, nullptr) << c.name;
        EXPECT_EQ(e->date, c.date) << c.name;
        if (c.mtime == far)
            EXPECT_EQ(e->mtime, (FileTime{far, 7}));
        else
            EXPECT_EQ(e->mtime.sec * 1000000000LL + e->mtime.nsec, c.ns ? c.ns : c.mtime * 1000000000LL + c.nano)
                << c.name;
    }
}

TEST(Listing, StopsAtTheLimitAndSaysWhenMoreMatch) {
    TempFolder dir;
    dir.fill({{"f1", ""}, {"f2", ""}, {"f3", ""}, {"f4", ""}, {"f5", ""}, {"d1", "<folder>"}});
    dir.folder("d2");
    struct Case {
        std::size_t limit;
        int optFile;
        const char* mask;
        std::size_t listed;
        bool truncated;
    };
    const Case cases[] = {
        {3, 0, "*", 3, true}, {5, 0, "*", 5, false},  {6, 0, "*", 5, false},           {2, 1, "*", 2, false},
        {1, 1, "*", 1, true}, {0, 0, "*", 0, true},   {4, 0, "f1;f2;f3;f4", 4, false}, {7, 2, "*", 7, false},
        {6, 2, "*", 6, true}, {0, 0, "x*", 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.limit) + " of kind " + std::to_string(c.optFile) + " " + c.mask);
        const Listing listing = listFolder(dir.path(), T(c.mask), c.optFile, c.limit);
        EXPECT_EQ(listing.entries.size(), c.listed);
        EXPECT_EQ(listing.truncated, c.truncated);
        EXPECT_FALSE(listing.failed);
        EXPECT_EQ(listing.allNames.size(), 7u) << "the folder is read to its end";
    }
}

TEST(Listing, AFolderThatCannotBeOpenedFailsWithTheSystemsReason) {
    TempFolder dir;
    dir.file("plain");
    for (const auto& [path, error] :
         {std::pair{dir / "missing", ENOENT}, {dir / "plain", ENOTDIR}, {dir.path() + std::string("\0x", 2), EINVAL}}) {
        const Listing listing = listFolder(path, T("*"), 2);
        EXPECT_TRUE(listing.failed) << path;
        EXPECT_EQ(listing.error, std::strerror(error)) << path;
        EXPECT_TRUE(listing.entries.empty() && listing.allNames.empty());
    }
}

// "*" and "*.*" list every name; case is ignored beyond ASCII; "?" is one code point; "*" and "?" in
// a name on disk are plain characters and brackets no classes; a final ".*" also matches no dot at
// all, a final "." only names without one; ";" separates masks, blanks around them ignored.
TEST(NameMask, MatchesLikeWindowsIgnoringCase) {
    using Names = std::vector<std::string>;  // bytes on disk
    const std::tuple<const char*, Names, Names> cases[] = {
        // mask(s), names it matches, names it does not
        {"*", {".hidden"}, {}},
        {"*.*", {"abc", ".hidden"}, {}},
        {"*.TXT", {"readme.txt", ".txt"}, {"a.txt.bak"}},
        {"ŽLUŤOUČKÝ.*", {"žluťoučký.kůň"}, {}},  // case ignored beyond ASCII
        {"a?c", {"abc"}, {"ac", "abbc"}},
        {"?", {"č"}, {"ab"}},  // one code point, not one byte
        {"bad?.txt", {"bad\xff.txt"}, {}},
        {"a*b*c", {"aXbYc"}, {"aXbY"}},
        {"*ab*ab", {"xabyab"}, {"xab"}},
        {"a?b", {"a*b"}, {}},  // "*" and "?" in a name on disk are plain characters
        {"[ab]*", {"[ab]x"}, {"ax"}},
        {"readme.*", {"readme", "readme.md"}, {"readm"}},  // a final ".*" also matches no dot at all
        {"*.", {"readme"}, {"readme.txt", "readme.", ".hidden"}},
        {" *.jpg ;  *.PNG ;;", {"x.png", "x.jpg"}, {"x.gif"}},
        {" ; ", {"x.y"}, {}},
    };
    for (const auto& [masks, matching, other] : cases) {
        for (const bool expected : {true, false})
            for (const std::string& name : expected ? matching : other) {
                SCOPED_TRACE("mask \"" + std::string(masks) + "\" name \"" + name + "\"");
                EXPECT_EQ(matchesMask(T(masks), fromUtf8(name)), expected);
                EXPECT_EQ(NameMask(T(masks)).matches(fromUtf8(name)), expected);
            }
    }
}

TEST(NameMask, KnowsWhenEveryNameMatches) {
    for (const char* everything : {"*", "*.*", "*.jpg; *.*", ""})
        EXPECT_TRUE(NameMask(T(everything)).matchesEverything()) << everything;
    for (const char* some : {"*.", "*.jpg", "?*"}) EXPECT_FALSE(NameMask(T(some)).matchesEverything());
}

}  // namespace
}  // namespace zelvar
