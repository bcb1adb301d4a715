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
    for (const ListedEntry& e : l.entries)
        out += e.name + (e.isDir ? "/ " : " ") + std::to_string(e.mtime.sec) + "." + std::to_string(e.mtime.nsec) +
               " " + std::to_string(e.date.second) + " " + std::to_string(e.id.ino) + "\n";
    for (const auto& [name, id] : std::map(l.allNames.begin(), l.allNames.end()))
        out += "= " + std::string(name) + " " + std::to_string(id.ino) + "\n";
    return out;
}

// Every change made behind the cache's back shows in the very next listing, exactly as a fresh read
// gives it; with no change the kept listing serves.
TEST(ListingCache, ChangesBehindItsBackShowInTheNextListing) {
    const std::function<void(const TempFolder&)> changes[] = {
        [](auto& d) { d.file("new.txt"); },
        [](auto& d) { unlink((d / "b.txt").c_str()); },
        [](auto& d) { rename((d / "b.txt").c_str(), (d / "c.txt").c_str()); },
        [](auto& d) { d.mtime("a.txt", 86400 * 400); },
        [](auto& d) { std::ofstream(d / "a.txt", std::ios::app) << "more"; },
        [](auto& d) { rename(d.path().c_str(), (d.path() + ".old").c_str()), mkdir(d.path().c_str(), 0755); },
    };
    for (std::size_t k = 0; k < std::size(changes); ++k) {
        SCOPED_TRACE(k);
        TempFolder dir({{"a.txt", "a"}, {"b.txt", "b"}});
        dir.mtime("a.txt", 1000);
        ListingCache cache;
        for (int read = 0; read < 4; ++read) {
            if (read == 2) changes[k](dir);
            EXPECT_EQ(facts(cache.list(dir.path(), U"*.*", 0)), facts(listFolder(dir.path(), U"*.*", 0)));
            EXPECT_EQ(cache.lastKept(), read % 2 == 1) << "read " << read;
        }
        std::system(("rm -rf '" + dir.path() + ".old'").c_str());
    }
}

// Listings whose facts can change unseen are read every time (folders listed too, links, hard links);
// so is any other filter, kind or folder, a failed listing, and everything after forget().
TEST(ListingCache, ReadsAgainWhatItCannotVouchFor) {
    // beside "a.txt": the second entry, what it holds; the filter, the kind listed, whether kept
    const std::tuple<const char*, const char*, const char32_t*, int, bool> cases[] = {
        {"sub", "<folder>", U"*.*", 0, true},    {"sub", "<folder>", U"*.*", 2, false},
        {"l", "-> a.txt", U"*.*", 0, false},     {"l", "-> a.txt", U"*.txt", 0, true},
        {"b.txt", "== a.txt", U"*.*", 0, false},
    };
    for (const auto& [name, holds, mask, optFile, kept] : cases) {
        TempFolder dir({{"a.txt", ""}, {name, holds}});
        ListingCache cache;
        cache.list(dir.path(), mask, optFile);
        cache.list(dir.path(), mask, optFile);
        EXPECT_EQ(cache.lastKept(), kept) << name << " kind " << optFile;
    }
    TempFolder dir(Entries{{"a.txt", ""}}), other;
    ListingCache cache;
    const std::function<void()> changes[] = {[&] { cache.list(dir.path(), U"*.txt", 0); },
                                             [&] { cache.list(dir.path(), U"*.*", 1); },
                                             [&] { cache.list(other.path(), U"*.*", 0); }, [&] { cache.forget(); },
                                             [&] { cache.list(dir / "missing", U"*.*", 0); }};
    for (const auto& change : changes) {
        cache.list(dir.path(), U"*.*", 0);
        change();
        cache.list(dir.path(), U"*.*", 0);
        EXPECT_FALSE(cache.lastKept());
    }
    cache.list(dir / "missing", U"*.*", 0);
    EXPECT_EQ(facts(cache.list(dir / "missing", U"*.*", 0)), facts(listFolder(dir / "missing", U"*.*", 0)));
    EXPECT_FALSE(cache.lastKept()) << "a failed listing";
}

}  // namespace
}  // namespace zelvar
