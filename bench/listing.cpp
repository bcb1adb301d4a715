// What listing a folder costs over the system calls it cannot avoid: the floor is readdir plus one
// lstat (fstatat relative to the folder) per entry; the listing adds the filter, the kind, the dates
// and the table of every name. A listing with dates inspects a big folder on one thread per core; the
// one-thread line shows what a single core does. Usage: bench_listing [N [FOLDER]]; FOLDER defaults to the folder of
// this program, so the figures come from the build folder's file system.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "bench_support.h"
#include "platform/listing.h"

using namespace zelvar;
using bench::floorListing;
using bench::median;
namespace fs = std::filesystem;

int main(int argc, char** argv) {
    const int n = argc > 1 ? std::atoi(argv[1]) : static_cast<int>(kMaxEntries);
    const fs::path base = argc > 2 ? fs::path(argv[2]) : bench::programFolder();
    const bench::TempFolder temp(base, "zelvar-bench", n, [](int k) { return bench::cameraName(k + 1); });
    const std::string& folder = temp.path();
    constexpr int kRuns = 9;

    struct Case {
        const char* what;
        std::function<std::size_t()> run;
        std::vector<double> ms;
    };
    std::vector<Case> cases =
        {
            {"floor: readdir + lstat", [&] { return floorListing(folder); }, {}},
            {"files, \"*.*\"", [&] { return listFolder(folder, T("*.*"), File::Soubory).entries.size(); }, {}},
            {"files, \"*.*\", one thread",
             [&] {
        setListingThreads(1);
        const std::size_t listed = listFolder(folder, T("*.*"), File::Soubory).entries.size();
        setListingThreads(0);
        return listed;
             },
             {}},
            {"files, \"*.JPG\"", [&] { return listFolder(folder, T("*.JPG"), File::Soubory).entries.size(); }, {}},
            {"both, \"img_?????.*;*.png\"",
             [&] { return listFolder(folder, T("img_?????.*;*.png"), File::Oboje).entries.size(); },
             {}},
    };
    for (Case& c : cases) c.run();  // warm the caches once
    for (int r = 0; r < kRuns; ++r) {
        for (Case& c : cases) {
            const bench::Stopwatch clock;
            const std::size_t listed = c.run();
            c.ms.push_back(clock.ms());
            if (listed < static_cast<std::size_t>(n)) std::fprintf(stderr, "%s listed only %zu\n", c.what, listed);
        }
    }
    const double floorMs = median(cases[0].ms);
    std::printf("%d entries in %s, median of %d runs\n", n, base.c_str(), kRuns);
    for (const Case& c : cases)
        std::printf("%-30s %8.2f ms  ratio %.2f\n", c.what, median(c.ms), median(c.ms) / floorMs);
    const double dated = median(cases[1].ms) / floorMs;
    std::printf("stretch target (a listing with dates below the single-threaded floor): %s, %.2fx\n",
                dated < 1.0 ? "met" : "missed", dated);
    return 0;
}
