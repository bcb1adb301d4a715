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
    std::string out =
        l.folder + (l.failure ? " failed " + failureText(*l.failure) : "") + (l.truncated ? " truncated" : "") + "\n";
    for (const ListedEntry& e : l.entries)
        out += e.name + (e.isDir ? "/ " : " ") + std::to_string(e.mtime.sec) + "." + std::to_string(e.mtime.nsec) +
               " " + std::to_string(e.date.second) + " " + std::to_string(e.id.ino) + "\n";
    for (const auto& [name, id] : std::map(l.allNames.begin(), l.allNames.end()))
        out += "= " + std::string(name) + " " + std::to_string(id.ino) + "\n";
    return out;
}

// Every change made behind the cache's back, another filter, kind or folder read in between, a failed
// listing and forget() all show in the very next listing, exactly as a fresh read gives it; with no
// change the kept listing serves.
TEST(ListingCache, ChangesBehindItsBackOrOtherReadsShowInTheNextListing) {
    const std::function<void(const TempFolder&, ListingCache&)> changes[] = {
        [](auto& d, auto&) { d.file("new.txt"); },
        [](auto& d, auto&) { unlink((d / "b.txt").c_str()); },
        [](auto& d, auto&) { rename((d / "b.txt").c_str(), (d / "c.txt").c_str()); },
        [](auto& d, auto&) { d.mtime("a.txt", 86400 * 400); },
        [](auto& d, auto&) { std::ofstream(d / "a.txt", std::ios::app) << "more"; },
        [](auto& d, auto&) { rename(d.path().c_str(), (d.path() + ".old").c_str()), mkdir(d.path().c_str(), 0755); },
        [](auto& d, auto& cache) { cache.list(d.path(), U"*.txt", File::Soubory); },
        [](auto& d, auto& cache) { cache.list(d.path(), U"*.*", File::Slozky); },
        [](auto&, auto& cache) { cache.list(TempFolder().path(), U"*.*", File::Soubory); },
        [](auto& d, auto& cache) { cache.list(d / "missing", U"*.*", File::Soubory); },
        [](auto&, auto& cache) { cache.forget(); },
    };
    for (std::size_t k = 0; k < std::size(changes); ++k) {
        SCOPED_TRACE(k);
        TempFolder dir({{"a.txt", "a"}, {"b.txt", "b"}});
        dir.mtime("a.txt", 1000);
        ListingCache cache;
        for (int read = 0; read < 4; ++read) {
            if (read == 2) changes[k](dir, cache);
            EXPECT_EQ(facts(cache.list(dir.path(), U"*.*", File::Soubory)),
                      facts(listFolder(dir.path(), U"*.*", File::Soubory)));
            EXPECT_EQ(cache.lastKept(), read % 2 == 1) << "read " << read;
        }
        std::system(("rm -rf '" + dir.path() + ".old'").c_str());
    }
}

// Listings whose facts can change unseen are read every time (folders listed too, links, hard links),
// and so is a failed listing.
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
        for (int read = 0; read < 2; ++read) cache.list(dir.path(), mask, File(optFile));
        EXPECT_EQ(cache.lastKept(), kept) << name << " kind " << optFile;
    }
    ListingCache cache;
    const std::string missing = TempFolder() / "missing";
    cache.list(missing, U"*.*", File::Soubory);
    EXPECT_EQ(facts(cache.list(missing, U"*.*", File::Soubory)), facts(listFolder(missing, U"*.*", File::Soubory)));
    EXPECT_FALSE(cache.lastKept()) << "a failed listing";
}

}  // namespace
}  // namespace zelvar
