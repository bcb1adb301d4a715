// What listing a folder costs over the system calls it cannot avoid: the floor is readdir plus one
// lstat (fstatat relative to the folder) per entry; the listing adds the filter, the kind, the dates
// and the table of every name. Usage: bench_listing [N [FOLDER]]; FOLDER defaults to the folder of
// this program, so the figures come from the build folder's file system.
#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/listing.h"

using namespace zelvar;
namespace fs = std::filesystem;

namespace {

std::string makeFolder(const fs::path& base, int n) {
    std::string tmpl = (base / "zelvar-bench-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) {
        std::perror("mkdtemp");
        std::exit(1);
    }
    char name[32];
    for (int i = 1; i <= n; ++i) {
        std::snprintf(name, sizeof name, "/IMG_%05d.jpg", i);
        const int fd = open((tmpl + name).c_str(), O_CREAT | O_WRONLY | O_EXCL, 0644);
        if (fd < 0) {
            std::perror("create");
            std::exit(1);
        }
        close(fd);
    }
    return tmpl;
}

std::size_t floorListing(const std::string& folder) {
    DIR* dir = opendir(folder.c_str());
    std::size_t count = 0;
    while (const dirent* d = readdir(dir)) {
        struct stat st;
        if (fstatat(dirfd(dir), d->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0) ++count;
    }
    closedir(dir);
    return count;
}

double medianMs(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int n = argc > 1 ? std::atoi(argv[1]) : static_cast<int>(kMaxEntries);
    const fs::path base = argc > 2 ? fs::path(argv[2]) : fs::canonical("/proc/self/exe").parent_path();
    const std::string folder = makeFolder(base, n);
    constexpr int kRuns = 9;

    struct Case {
        const char* what;
        std::function<std::size_t()> run;
        std::vector<double> ms;
    };
    std::vector<Case> cases = {
        {"floor: readdir + lstat", [&] { return floorListing(folder); }, {}},
        {"files, \"*.*\"", [&] { return listFolder(folder, T("*.*"), 0).entries.size(); }, {}},
        {"files, \"*.JPG\"", [&] { return listFolder(folder, T("*.JPG"), 0).entries.size(); }, {}},
        {"both, \"img_?????.*;*.png\"",
         [&] { return listFolder(folder, T("img_?????.*;*.png"), 2).entries.size(); },
         {}},
    };
    for (Case& c : cases) c.run();  // warm the caches once
    for (int r = 0; r < kRuns; ++r) {
        for (Case& c : cases) {
            const auto start = std::chrono::steady_clock::now();
            const std::size_t listed = c.run();
            const auto elapsed = std::chrono::steady_clock::now() - start;
            c.ms.push_back(std::chrono::duration<double, std::milli>(elapsed).count());
            if (listed < static_cast<std::size_t>(n))
                std::fprintf(stderr, "%s listed only %zu\n", c.what, listed);
        }
    }
    const double floorMs = medianMs(cases[0].ms);
    std::printf("%d entries in %s, median of %d runs\n", n, base.c_str(), kRuns);
    for (const Case& c : cases)
        std::printf("%-30s %8.2f ms  ratio %.2f\n", c.what, medianMs(c.ms), medianMs(c.ms) / floorMs);

    nftw(folder.c_str(), [](const char* p, const struct stat*, int, struct FTW*) { return remove(p); }, 16,
         FTW_DEPTH | FTW_PHYS);
    return 0;
}
