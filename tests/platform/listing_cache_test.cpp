#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>

#include <gtest/gtest.h>

#include "platform/listing_cache.h"
#include "temp_folder.h"

namespace zelvar {
namespace {

using namespace testing;

// Everything a build reads of a listing, in order.
std::string facts(const Listing& l) {
    std::string out = l.folder + (l.failed ? " failed " + l.error : "") + (l.truncated ? " truncated" : "") + "\n";
    for (const ListedEntry& e : l.entries) {
        out += e.name + (e.isDir ? "/ " : " ") + std::to_string(e.mtime.sec) + "." + std::to_string(e.mtime.nsec) +
               " " + std::to_string(e.date.year) + "-" + std::to_string(e.date.second) + " " +
               std::to_string(e.id.ino) + "\n";
    }
    std::map<std::string, EntryId> all(l.allNames.begin(), l.allNames.end());
    for (const auto& [name, id] : all) out += "= " + name + " " + std::to_string(id.ino) + "\n";
    return out;
}

void setTime(const std::string& path, time_t seconds) {
    const struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
    utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW);
}

// Every change made behind the cache's back shows in the very next listing, exactly as a fresh
// read gives it; with no change the kept listing serves.
TEST(ListingCache, ChangesBehindItsBackShowInTheNextListing) {
    struct Case {
        const char* what;
        std::function<void(const TempFolder&)> change;
    };
    const Case cases[] =
        {
            {"create", [](const TempFolder& d) { d.file("new.txt"); }},
            {"delete", [](const TempFolder& d) { unlink((d / "b.txt").c_str()); }},
            {"rename", [](const TempFolder& d) { rename((d / "b.txt").c_str(), (d / "c.txt").c_str()); }},
            {"date only", [](const TempFolder& d) { setTime(d / "a.txt", 86400 * 400); }},
            {"content", [](const TempFolder& d) { std::ofstream(d / "a.txt", std::ios::app) << "more"; }},
            {"subfolder", [](const TempFolder& d) { d.folder("sub"); }},
            {"replaced folder",
             [](const TempFolder& d) {
        rename(d.path().c_str(), (d.path() + ".old").c_str());
        mkdir(d.path().c_str(), 0755);
        d.file("other.txt");
             }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder dir;
        dir.file("a.txt", "a");
        dir.file("b.txt", "b");
        setTime(dir / "a.txt", 1000);
        ListingCache cache;
        EXPECT_EQ(facts(cache.list(dir.path(), U"*.*", 0)), facts(listFolder(dir.path(), U"*.*", 0)));
        EXPECT_FALSE(cache.lastKept());
        EXPECT_EQ(facts(cache.list(dir.path(), U"*.*", 0)), facts(listFolder(dir.path(), U"*.*", 0)));
        EXPECT_TRUE(cache.lastKept()) << "nothing changed";
        c.change(dir);
        EXPECT_EQ(facts(cache.list(dir.path(), U"*.*", 0)), facts(listFolder(dir.path(), U"*.*", 0)));
        EXPECT_FALSE(cache.lastKept());
        EXPECT_EQ(facts(cache.list(dir.path(), U"*.*", 0)), facts(listFolder(dir.path(), U"*.*", 0)));
        EXPECT_TRUE(cache.lastKept()) << "the new state is kept in turn";
        std::system(("rm -rf '" + dir.path() + ".old'").c_str());
    }
}

// Listings whose facts can change unseen are read every time; so is any other filter, kind or
// folder, and everything after forget().
TEST(ListingCache, ReadsAgainWhatItCannotVouchFor) {
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, std::string>> entries;
        const char32_t* mask;
        int optFile;
        bool kept;
    };
    const Case cases[] = {
        {"plain files", {{"a.txt", ""}, {"sub", "<folder>"}}, U"*.*", 0, true},
        {"a listed folder", {{"a.txt", ""}, {"sub", "<folder>"}}, U"*.*", 2, false},
        {"a symbolic link", {{"a.txt", ""}, {"l", "-> a.txt"}}, U"*.*", 0, false},
        {"a filtered-out link", {{"a.txt", ""}, {"l", "-> a.txt"}}, U"*.txt", 0, true},
        {"a hard link", {{"a.txt", ""}, {"b.txt", "== a.txt"}}, U"*.*", 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder dir;
        dir.fill(c.entries);
        ListingCache cache;
        cache.list(dir.path(), c.mask, c.optFile);
        cache.list(dir.path(), c.mask, c.optFile);
        EXPECT_EQ(cache.lastKept(), c.kept);
    }
    TempFolder dir, other;
    dir.file("a.txt");
    ListingCache cache;
    const std::function<void()> changes[] = {
        [&] { cache.list(dir.path(), U"*.txt", 0); },
        [&] { cache.list(dir.path(), U"*.*", 1); },
        [&] { cache.list(other.path(), U"*.*", 0); },
        [&] { cache.forget(); },
    };
    for (const auto& change : changes) {
        cache.list(dir.path(), U"*.*", 0);
        change();
        cache.list(dir.path(), U"*.*", 0);
        EXPECT_FALSE(cache.lastKept());
    }
    EXPECT_EQ(facts(cache.list(dir.path() + "/missing", U"*.*", 0)),
              facts(listFolder(dir.path() + "/missing", U"*.*", 0)));
    cache.list(dir.path() + "/missing", U"*.*", 0);
    EXPECT_FALSE(cache.lastKept()) << "a failed listing";
}

}  // namespace
}  // namespace zelvar
