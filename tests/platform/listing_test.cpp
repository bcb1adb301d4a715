#include <sys/stat.h>

#include <climits>
#include <cstring>
#include <ctime>
#include <optional>
#include <set>

#include <gtest/gtest.h>

#include "platform/listing.h"
#include "temp_folder.h"

namespace zelvar {
namespace {

using testing::TempFolder;

std::set<std::string> namesOf(const Listing& listing) {
    std::set<std::string> names;
    for (const ListedEntry& e : listing.entries) names.insert(e.name);
    return names;
}

std::set<std::string> keysOf(const Listing& listing) {
    std::set<std::string> names;
    for (const auto& [name, id] : listing.allNames) names.insert(name);
    return names;
}

const ListedEntry* entryNamed(const Listing& listing, const std::string& name) {
    for (const ListedEntry& e : listing.entries)
        if (e.name == name) return &e;
    return nullptr;
}

time_t utc(int year, int month, int day, int hour, int minute, int second) {
    struct tm tm {};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    return timegm(&tm);
}

// Puts a time zone in force for one test and the previous one back after it.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone) {
        if (const char* old = std::getenv("TZ")) saved_ = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ScopedTimeZone() {
        saved_ ? setenv("TZ", saved_->c_str(), 1) : unsetenv("TZ");
        tzset();
    }

private:
    std::optional<std::string> saved_;
};

// Every kind of entry a folder can hold, hidden ones and awkward names included.
class MixedFolder : public ::testing::Test {
protected:
    void SetUp() override {
        dir.file("a.txt", "a");
        dir.file(".hidden");
        dir.folder("dir");
        dir.folder(".hdir");
        dir.link("a.txt", "to_file");
        dir.link("dir", "to_dir");
        dir.link("nowhere", "dangling");
        dir.link("loop", "loop");
        dir.file("star*name");
        dir.file("bad\xff.txt");
        mkfifo((dir / "pipe").c_str(), 0644);
    }
    TempFolder dir;
    const std::set<std::string> files{"a.txt", ".hidden",   "to_file",     "dangling",
                                      "loop",  "star*name", "bad\xff.txt", "pipe"};
    const std::set<std::string> folders{"dir", ".hdir", "to_dir"};
};

TEST_F(MixedFolder, ListsEachKindAndSeesEveryName) {
    std::set<std::string> both = files;
    both.insert(folders.begin(), folders.end());
    const struct {
        int optFile;
        std::set<std::string> expected;
    } cases[] = {{0, files}, {1, folders}, {2, both}};
    for (const auto& c : cases) {
        const Listing listing = listFolder(dir.path(), T("*.*"), c.optFile);
        EXPECT_FALSE(listing.failed) << listing.error;
        EXPECT_FALSE(listing.truncated);
        EXPECT_EQ(namesOf(listing), c.expected) << "optFile " << c.optFile;
        EXPECT_EQ(listing.entries.size(), c.expected.size());
        for (const ListedEntry& e : listing.entries)
            EXPECT_EQ(e.isDir, folders.count(e.name) == 1) << e.name;
        EXPECT_EQ(keysOf(listing), both) << "the existence test must see every entry";
    }
}

TEST_F(MixedFolder, FiltersByMaskButKeepsEveryNameForTheExistenceTest) {
    const Listing listing = listFolder(dir.path(), T("*.TXT"), 0);
    EXPECT_EQ(namesOf(listing), (std::set<std::string>{"a.txt", "bad\xff.txt"}));
    EXPECT_EQ(keysOf(listing).size(), files.size() + folders.size());
    EXPECT_EQ(namesOf(listFolder(dir.path(), T("star?name;*.hdir"), 2)),
              (std::set<std::string>{"star*name", ".hdir"}));
    EXPECT_EQ(namesOf(listFolder(dir.path(), T(".h*"), 2)), (std::set<std::string>{".hidden", ".hdir"}));
}

TEST_F(MixedFolder, IdentifiesEachEntryByItsOwnInode) {
    const Listing listing = listFolder(dir.path(), T("*"), 2);
    for (const std::string name : {"a.txt", "to_file", "dir", "to_dir", "dangling"}) {
        struct stat st;
        ASSERT_EQ(lstat((dir / name).c_str(), &st), 0);
        const EntryId own{st.st_dev, st.st_ino};
        const ListedEntry* e = entryNamed(listing, name);
        ASSERT_NE(e, nullptr) << name;
        EXPECT_EQ(e->id, own) << name << ": a link is identified as itself, not as its target";
        EXPECT_EQ(listing.allNames.at(name), own) << name;
        EXPECT_EQ(listing.existing(name), own) << name;
    }
    EXPECT_EQ(listing.existing("A.TXT").has_value(), listing.caseInsensitive);
    EXPECT_FALSE(listing.existing("absent"));
}

TEST(Listing, ExistingAsksTheFileSystemOnlyWhenItFoldsCase) {
    TempFolder dir;
    dir.file("a");
    Listing listing = listFolder(dir.path(), T("*"), 0);
    dir.file("later");  // not in the listing, but on disk
    listing.caseInsensitive = false;
    EXPECT_FALSE(listing.existing("later"));
    listing.caseInsensitive = true;
    EXPECT_TRUE(listing.existing("later"));
    for (const char* name : {"", ".", "..", "a/.", "../a"})
        EXPECT_FALSE(listing.existing(name)) << '"' << name << '"';
}

TEST(Listing, DatesAreModificationTimesInLocalCivilTime) {
    TempFolder dir;
    dir.file("f");
    dir.mtime("f", utc(2021, 3, 4, 5, 6, 7), 123456789);
    dir.link("f", "link");
    dir.mtime("link", utc(2000, 1, 1, 0, 0, 0));
    dir.link("nowhere", "dangling");
    dir.mtime("dangling", utc(1999, 12, 31, 23, 59, 59));
    dir.folder("old");
    dir.mtime("old", utc(1950, 6, 15, 12, 0, 0));

    const ScopedTimeZone zone("UTC");
    const Listing listing = listFolder(dir.path(), T("*"), 2);
    const struct {
        const char* name;
        DateTime date;
        std::int64_t ns;
    } cases[] = {
        {"f", {2021, 3, 4, 5, 6, 7}, utc(2021, 3, 4, 5, 6, 7) * 1000000000LL + 123456789},
        {"link", {2021, 3, 4, 5, 6, 7}, utc(2021, 3, 4, 5, 6, 7) * 1000000000LL + 123456789},
        {"dangling", {1999, 12, 31, 23, 59, 59}, utc(1999, 12, 31, 23, 59, 59) * 1000000000LL},
        {"old", {1950, 6, 15, 12, 0, 0}, utc(1950, 6, 15, 12, 0, 0) * 1000000000LL},
    };
    for (const auto& c : cases) {
        const ListedEntry* e = entryNamed(listing, c.name);
        ASSERT_NE(e, nullptr) << c.name;
        EXPECT_EQ(e->date, c.date) << c.name;
        EXPECT_EQ(e->mtimeNs, c.ns) << c.name;
    }
}

TEST(Listing, DatesFollowTheTimeZoneInForce) {
    TempFolder dir;
    dir.file("summer");
    dir.mtime("summer", utc(2021, 7, 1, 10, 0, 0));
    dir.file("winter");
    dir.mtime("winter", utc(2021, 1, 1, 23, 30, 0));
    const ScopedTimeZone zone("CET-1CEST,M3.5.0,M10.5.0/3");
    const Listing listing = listFolder(dir.path(), T("*"), 0);
    EXPECT_EQ(entryNamed(listing, "summer")->date, (DateTime{2021, 7, 1, 12, 0, 0}));
    EXPECT_EQ(entryNamed(listing, "winter")->date, (DateTime{2021, 1, 2, 0, 30, 0}));
}

TEST(Listing, FarFutureDatesKeepTheirOrderAndCivilTime) {
    TempFolder dir;
    dir.file("far");
    const time_t far = utc(2400, 1, 1, 0, 0, 0);
    dir.mtime("far", far);
    const ScopedTimeZone zone("UTC");
    struct stat st;
    ASSERT_EQ(stat((dir / "far").c_str(), &st), 0);
    if (st.st_mtim.tv_sec != far) GTEST_SKIP() << "this file system cannot store the year 2400";
    const Listing listing = listFolder(dir.path(), T("*"), 0);
    ASSERT_EQ(listing.entries.size(), 1u);
    EXPECT_EQ(listing.entries[0].date, (DateTime{2400, 1, 1, 0, 0, 0}));
    EXPECT_EQ(listing.entries[0].mtimeNs, INT64_MAX);
}

TEST(Listing, StopsAtTheLimitAndSaysWhenMoreMatch) {
    TempFolder dir;
    for (const char* name : {"f1", "f2", "f3", "f4", "f5"}) dir.file(name);
    dir.folder("d1");
    dir.folder("d2");
    const struct {
        std::size_t limit;
        int optFile;
        const char* mask;
        std::size_t listed;
        bool truncated;
    } cases[] = {
        {3, 0, "*", 3, true},  {5, 0, "*", 5, false}, {6, 0, "*", 5, false},         {2, 1, "*", 2, false},
        {1, 1, "*", 1, true},  {0, 0, "*", 0, true},  {4, 0, "f1;f2;f3;f4", 4, false}, {7, 2, "*", 7, false},
        {6, 2, "*", 6, true},  {0, 0, "x*", 0, false},
    };
    for (const auto& c : cases) {
        const Listing listing = listFolder(dir.path(), T(c.mask), c.optFile, c.limit);
        const std::string row =
            "limit " + std::to_string(c.limit) + " kind " + std::to_string(c.optFile) + " mask " + c.mask;
        EXPECT_EQ(listing.entries.size(), c.listed) << row;
        EXPECT_EQ(listing.truncated, c.truncated) << row;
        EXPECT_FALSE(listing.failed) << row;
        EXPECT_EQ(listing.allNames.size(), 7u) << row << ": the folder is read to its end";
    }
}

TEST(Listing, AFolderThatCannotBeOpenedFailsWithTheSystemsReason) {
    TempFolder dir;
    dir.file("plain");
    const struct {
        std::string path;
        int error;
    } cases[] = {
        {dir / "missing", ENOENT},
        {dir / "plain", ENOTDIR},
        {dir.path() + std::string("\0x", 2), EINVAL},
    };
    for (const auto& c : cases) {
        const Listing listing = listFolder(c.path, T("*"), 2);
        EXPECT_TRUE(listing.failed) << c.path;
        EXPECT_EQ(listing.error, std::strerror(c.error)) << c.path;
        EXPECT_TRUE(listing.entries.empty());
        EXPECT_TRUE(listing.allNames.empty());
    }
}

TEST(Listing, EntriesWhoseDateCannotBeReadGetTheZeroDate) {
    TempFolder dir;
    chmod(dir.path().c_str(), 0755);
    dir.folder("names-only");
    const std::string folder = dir / "names-only";
    std::ofstream(folder + "/f") << "x";
    mkdir((folder + "/sub").c_str(), 0755);
    chmod(folder.c_str(), 0744);  // others may read the names but not look the entries up
    const auto ok = testing::withoutPrivileges([&] {
        const Listing listing = listFolder(folder, T("*"), 2);
        const ListedEntry* f = entryNamed(listing, "f");
        const ListedEntry* sub = entryNamed(listing, "sub");
        return !listing.failed && listing.entries.size() == 2 && f && !f->isDir && sub && sub->isDir &&
               f->date == DateTime{} && f->mtimeNs == 0 && sub->date == DateTime{1899, 12, 30, 0, 0, 0};
    });
    if (!ok) GTEST_SKIP() << "cannot drop root's privileges here";
    EXPECT_TRUE(*ok);
}

TEST(FolderPrefix, AddsOneSlash) {
    EXPECT_EQ(folderPrefix("/home/u"), "/home/u/");
    EXPECT_EQ(folderPrefix("/"), "/");
    EXPECT_EQ(folderPrefix("/home/u/"), "/home/u/");
}

}  // namespace
}  // namespace zelvar
