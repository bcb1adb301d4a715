// What a whole preview build costs over the system calls it cannot avoid. The floor is readdir plus
// one lstat (fstatat relative to the folder) per entry; a build adds the filter, kinds and dates of
// the listing, the ordering, every new name, the clash and existence checks and the preview text.
// Usage: bench_preview [N [FOLDER]]; N defaults to 32767, FOLDER (where the test folder is made)
// to the folder of this program, so the figures come from the build folder's file system.
#include <dirent.h>
#include <fcntl.h>
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

#include "engine/pattern.h"
#include "preview/builder.h"

using namespace zelvar;
namespace fs = std::filesystem;

namespace {

constexpr int kRuns = 9;

// n entries: "IMG_00001.jpg" and on, every tenth one a ".raw" beside the ".jpg" of the same stem.
std::string makeFolder(const fs::path& base, int n) {
    std::string tmpl = (base / "zelvar-bench-preview-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) {
        std::perror("mkdtemp");
        std::exit(1);
    }
    char name[32];
    int stem = 0;
    for (int k = 0; k < n; ++k) {
        if (k % 10 == 9) {
            std::snprintf(name, sizeof name, "/IMG_%05d.raw", stem);
        } else {
            std::snprintf(name, sizeof name, "/IMG_%05d.jpg", ++stem);
        }
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
    if (!dir) return 0;
    std::size_t count = 0;
    while (const dirent* d = readdir(dir)) {
        struct stat st;
        if (fstatat(dirfd(dir), d->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0) ++count;
    }
    closedir(dir);
    return count;
}

double medianMs(const std::function<void()>& run) {
    run();  // warm the caches
    std::vector<double> samples;
    for (int i = 0; i < kRuns; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        run();
        const auto t1 = std::chrono::steady_clock::now();
        samples.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    }
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

struct Case {
    const char* label;
    const char32_t* pattern;
    int optCitac;
};

}  // namespace

int main(int argc, char** argv) {
    const int n = argc > 1 ? std::atoi(argv[1]) : static_cast<int>(kMaxEntries);
    const fs::path base = argc > 2 ? fs::path(argv[2]) : fs::read_symlink("/proc/self/exe").parent_path();
    if (n < 1) {
        std::fprintf(stderr, "usage: bench_preview [N [FOLDER]]\n");
        return 2;
    }
    const std::string folder = makeFolder(base, n);
    std::printf("%d entries in %s, median of %d runs\n", n, folder.c_str(), kRuns);

    std::size_t listed = 0;
    const double floorMs = medianMs([&] { listed = floorListing(folder); });
    std::printf("%-28s %9.2f ms\n", "floor (readdir + lstat)", floorMs);

    const Case cases[] = {
        {"\"*\"", U"*", 0},
        {"\"Foto_:::\" Čítač", U"Foto_:::", 0},
        {"\"x\" Jen stejné", U"x", 1},
    };
    bool met = true;
    for (const auto& c : cases) {
        RenameOptions o;
        o.txtJmeno = c.pattern;
        o.optCitac = c.optCitac;
        const CompiledPatterns patterns = ZpracujFiltrVystupCely(o);
        PreviewResult r;
        const double ms = medianMs([&] { r = Test(folder, o, patterns, false); });
        const double ratio = ms / floorMs;
        met = met && ratio <= 2.0;
        // The label holds multi-byte letters: pad by characters, not bytes.
        const std::string label = c.label;
        const auto chars = static_cast<int>(std::count_if(label.begin(), label.end(),
                                                          [](char ch) { return (ch & 0xC0) != 0x80; }));
        std::printf("%s%*s %9.2f ms  ratio %.2f  (%zu rows, %d renames, %zu characters of text)\n",
                    label.c_str(), 28 - chars, "", ms, ratio, r.rows.size(), r.renameCount(),
                    r.text.size());
        if (r.rows.size() + 2 != listed) std::printf("  row count differs from the floor's entries\n");
    }
    std::printf("target (every ratio <= 2.0): %s\n", met ? "met" : "missed");

    std::error_code ec;
    fs::remove_all(folder, ec);
    return 0;
}
