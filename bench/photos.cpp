// zelvar-cli naming photos by when they were taken, as a whole process, against the floor of a reader
// of dates taken and against the tools that rename photos by their EXIF date today:
//   preview: bench_floor read (open, read the first 64 KB, close each file, one thread) and
//            zelvar-cli --date taken --sort date --name '\y\m\d_\h\n\s_:::', interleaved
//   apply:   the same with --apply, exiftool '-FileName<DateTimeOriginal' -d '%Y%m%d_%H%M%S%%-c.%%e' and
//            exiv2 -r '%Y%m%d_%H%M%S' rename, each on a fresh copy of the photos, in a rotating order
// The photos are N JPEGs of 20 KB, one second apart and shuffled against their names; the names every
// renamer gives are checked after each run. Medians of wall-clock time, CPU time and peak memory.
// Usage: bench_photos [N [ROUNDS [APPLY_ROUNDS [FOLDER]]]]; N defaults to 32767, ROUNDS (of the preview)
// to 7, APPLY_ROUNDS to 1 (exiftool takes about a minute a round), FOLDER to the folder of this program.
#include <dirent.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "bench_support.h"

using bench::median;
using bench::PhotoFolder;
namespace fs = std::filesystem;

namespace {

struct Tool {
    const char* label;
    std::vector<std::string> (*argv)(const std::string& folder);
    bench::Figures figures = {};
};

std::string here() { return bench::programFolder().string(); }
std::string cli() { return (bench::programFolder().parent_path() / "zelvar-cli").string(); }

std::vector<std::string> zelvarArgs(const std::string& folder) {
    return {cli(), "--date", "taken", "--sort", "date", "--name", "\\y\\m\\d_\\h\\n\\s_:::", folder};
}

// The names each renamer must leave, from the dates the folder was made with.
std::set<std::string> expectedNames(const PhotoFolder& photos, bool counter) {
    std::set<std::string> names;
    for (int k = 0; k < photos.size(); ++k) {
        const int rank = photos.rank(k);
        char number[16] = "";
        if (counter) std::snprintf(number, sizeof number, "_%03d", rank + 1);
        names.insert(PhotoFolder::stampOfRank(rank) + number + ".jpg");
    }
    return names;
}

void checkNames(const std::string& folder, const std::set<std::string>& expected, const char* who) {
    std::set<std::string> found;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* d = readdir(dir))
            if (d->d_name[0] != '.') found.insert(d->d_name);
        closedir(dir);
    }
    if (found != expected) {
        std::size_t good = 0;
        for (const auto& name : found) good += expected.count(name);
        std::fprintf(stderr, "%s: %zu of %zu photos named by their date, %zu entries there\n", who, good,
                     expected.size(), found.size());
        std::exit(1);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const int n = argc > 1 ? std::atoi(argv[1]) : 32767;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 7;
    const int applyRounds = argc > 3 ? std::atoi(argv[3]) : 1;
    const fs::path base = argc > 4 ? fs::path(argv[4]) : bench::programFolder();
    if (n < 1 || n > 99999 || rounds < 1 || applyRounds < 0) {
        std::fprintf(stderr, "usage: bench_photos [N [ROUNDS [APPLY_ROUNDS [FOLDER]]]]\n");
        return 2;
    }
    // zelvar-cli's journals go next to the folders, on the same file system, and away when done.
    const bench::TempFolder state(base, "zelvar-bench-state", 0, [](int) { return std::string(); });
    setenv("XDG_STATE_HOME", state.path().c_str(), 1);

    std::vector<Tool> preview{
        {"floor: open + read 64 KB + close, 1 thread",
         [](const std::string& f) {
        return std::vector<std::string>{here() + "/bench_floor", "read", f};
         }},
        {"zelvar-cli --date taken --sort date", zelvarArgs},
        };
    std::vector<Tool> apply{
        {"zelvar-cli --date taken ... --apply",
         [](const std::string& f) {
        auto a = zelvarArgs(f);
        a.push_back("--apply");
        return a;
         }},
        {"exiftool '-FileName<DateTimeOriginal'",
         [](const std::string&) {
        return std::vector<std::string>{"exiftool", "-q", "-FileName<DateTimeOriginal", "-d", "%Y%m%d_%H%M%S%%-c.%%e",
                                        "."};
         }},
        {"exiv2 -r '%Y%m%d_%H%M%S' rename",
         [](const std::string& f) {
        // exiv2 takes its files from the command line, named from the folder it runs in.
        std::vector<std::string> a{"exiv2", "-r", "%Y%m%d_%H%M%S", "rename"};
        DIR* dir = opendir(f.c_str());
        while (const dirent* d = dir ? readdir(dir) : nullptr)
            if (d->d_name[0] != '.') a.push_back(d->d_name);
        if (dir) closedir(dir);
        return a;
         }},
        };

    const PhotoFolder photos(base, "zelvar-photos", n);
    const std::set<std::string> counted = expectedNames(photos, true), plain = expectedNames(photos, false);
    for (Tool& t : preview) bench::runChild(t.argv(photos.path()), photos.path());  // warm the caches once
    for (int r = 0; r < rounds; ++r)
        for (std::size_t i = 0; i < preview.size(); ++i) {
            Tool& t = preview[(i + r) % preview.size()];
            t.figures.add(bench::runChild(t.argv(photos.path()), photos.path()));
        }
    std::printf("%d photos of 20 KB in %s, median of %d rounds, interleaved\n", n, base.c_str(), rounds);
    bench::printTable("preview (whole process)", preview, 42);
    const double ratio = median(preview[1].figures.wall) / median(preview[0].figures.wall);
    std::printf("dated preview target (wall <= 1.0x the floor of reading each file): %s, %.2fx\n",
                ratio <= 1.0 ? "met" : "missed", ratio);
    std::fflush(stdout);
    if (applyRounds == 0) return 0;

    for (int r = 0; r < applyRounds; ++r) {
        std::vector<std::unique_ptr<PhotoFolder>> fresh;
        for (std::size_t i = 0; i < apply.size(); ++i)
            fresh.push_back(std::make_unique<PhotoFolder>(base, "zelvar-photos-apply", n));
        for (std::size_t i = 0; i < apply.size(); ++i) {
            const std::size_t k = (i + r) % apply.size();
            Tool& t = apply[k];
            const std::string& folder = fresh[k]->path();
            bench::floorListing(folder);  // every tool starts from the same warm folder
            bench::settleDisk();          // and a disk that is done with the tool before it
            t.figures.add(bench::runChild(t.argv(folder), folder));
            checkNames(folder, k == 0 ? counted : plain, t.label);
        }
    }
    std::printf("apply, median of %d rounds on fresh copies, rotating order\n", applyRounds);
    bench::printTable("apply (whole process; × against zelvar-cli)", apply, 42);
    const double z = median(apply[0].figures.wall);
    std::printf("dated apply target (faster than exiftool and exiv2): %s, %.1fx and %.1fx faster\n",
                z < median(apply[1].figures.wall) && z < median(apply[2].figures.wall) ? "met" : "missed",
                median(apply[1].figures.wall) / z, median(apply[2].figures.wall) / z);
    return 0;
}
