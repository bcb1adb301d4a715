// zelvar-cli as a whole process against the floor and against the tools people rename with today.
// Each round makes fresh folders of N empty files "IMG_00001.jpg" .. and runs, in a rotating order:
//   preview: bench_floor list, zelvar-cli --name 'Foto_:::', the same sorted by date
//   apply:   bench_floor rename, zelvar-cli --name 'Foto_:::::' --apply, rename (Perl) 's/^IMG_/Foto_/',
//            mmv 'IMG_*.jpg' 'Foto_#1.jpg'
// The four renamers give the same names ("Foto_00001.jpg" ..), which is checked after every run.
// Medians of wall-clock time, CPU time (user + system) and peak memory of the child processes.
// Usage: bench_peers [N [ROUNDS [FOLDER]]]; N defaults to 32767, ROUNDS to 7, FOLDER (where the test
// folders are made) to the folder of this program. stdout of every child goes to /dev/null.
#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bench_support.h"

using bench::median;
namespace fs = std::filesystem;

namespace {

using bench::runChild;
using bench::Sample;

std::string fotoName(int k) {
    char name[32];
    std::snprintf(name, sizeof name, "Foto_%05d.jpg", k);
    return name;
}

// Every entry carries its new name, none is lost.
void checkRenamed(const std::string& folder, int n, const std::string& who) {
    std::vector<bool> seen(n + 1);
    int total = 0;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* d = readdir(dir)) {
            const std::string name = d->d_name;
            if (name == "." || name == "..") continue;
            ++total;
            int k = 0;
            if (std::sscanf(name.c_str(), "Foto_%5d.jpg", &k) == 1 && k >= 1 && k <= n && name == fotoName(k))
                seen[k] = true;
        }
        closedir(dir);
    }
    int good = 0;
    for (int k = 1; k <= n; ++k) good += seen[k];
    if (good != n || total != n) {
        std::fprintf(stderr, "%s: %d of %d entries renamed, %d there\n", who.c_str(), good, n, total);
        std::exit(1);
    }
}

struct Tool {
    const char* label;
    std::function<std::vector<std::string>(const std::string& folder)> argv;
    bool renames;
    bench::Figures figures = {};
};

}  // namespace

int main(int argc, char** argv) {
    const int n = argc > 1 ? std::atoi(argv[1]) : 32767;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 7;
    const fs::path base = argc > 3 ? fs::path(argv[3]) : bench::programFolder();
    // zelvar-cli's journals go next to the folders, on the same file system, and away when done.
    const bench::TempFolder state(base, "zelvar-bench-state", 0, [](int) { return std::string(); });
    setenv("XDG_STATE_HOME", state.path().c_str(), 1);
    if (n < 1 || n > 99999 || rounds < 1) {
        std::fprintf(stderr, "usage: bench_peers [N [ROUNDS [FOLDER]]]\n");
        return 2;
    }
    const std::string here = bench::programFolder().string();
    const std::string floorProgram = here + "/bench_floor";
    const std::string cli = (bench::programFolder().parent_path() / "zelvar-cli").string();
    std::vector<std::string> imgNames;
    for (int k = 1; k <= n; ++k) imgNames.push_back(bench::cameraName(k));

    std::vector<Tool> preview =
        {
            {"floor: readdir + lstat",
             [&](const std::string& f) {
        return std::vector<std::string>{floorProgram, "list", f};
             },
             false},
            {"zelvar-cli --name 'Foto_:::'",
             [&](const std::string& f) {
        return std::vector<std::string>{cli, "--name", "Foto_:::", f};
             },
             false},
                      {"zelvar-cli ... --sort date",
                       [&](const std::string& f) {
        return std::vector<std::string>{cli, "--name", "Foto_:::", "--sort", "date", f};
                       },
                       false},
        };
    std::vector<Tool> apply =
        {
            {"floor: readdir + lstat + renameat2",
             [&](const std::string& f) {
        return std::vector<std::string>{floorProgram, "rename", f};
             },
             true},
            {"zelvar-cli --apply",
             [&](const std::string& f) {
        return std::vector<std::string>{cli, "--name", "Foto_:::::", "--apply", f};
             },
             true},
                      {"rename (Perl)",
                       [&](const std::string&) {
        std::vector<std::string> a{"rename", "s/^IMG_/Foto_/"};
        a.insert(a.end(), imgNames.begin(), imgNames.end());
        return a;
                       },
                       true},
        {"mmv",
         [&](const std::string&) {
        return std::vector<std::string>{"mmv", "IMG_*.jpg", "Foto_#1.jpg"};
         },
         true},
        };

    const bench::TempFolder listed(base, "zelvar-peers", n, [](int k) { return bench::cameraName(k + 1); });
    for (Tool& t : preview) runChild(t.argv(listed.path()), listed.path());  // warm the caches once
    for (int r = 0; r < rounds; ++r) {
        for (std::size_t i = 0; i < preview.size(); ++i) {
            Tool& t = preview[(i + r) % preview.size()];
            const Sample s = runChild(t.argv(listed.path()), listed.path());
            t.figures.add(s);
        }
        std::vector<std::unique_ptr<bench::TempFolder>> fresh;
        for (std::size_t i = 0; i < apply.size(); ++i)
            fresh.push_back(std::make_unique<bench::TempFolder>(base, "zelvar-peers-apply", n,
                                                                [](int k) { return bench::cameraName(k + 1); }));
        for (std::size_t i = 0; i < apply.size(); ++i) {
            const std::size_t k = (i + r) % apply.size();
            Tool& t = apply[k];
            const std::string& folder = fresh[k]->path();
            bench::floorListing(folder);  // every tool starts from the same warm folder
            bench::settleDisk();          // and a disk that is done with the tool before it
            const Sample s = runChild(t.argv(folder), folder);
            checkRenamed(folder, n, t.label);
            t.figures.add(s);
        }
    }
    std::printf("%d entries in %s, median of %d rounds, interleaved\n", n, base.c_str(), rounds);
    bench::printTable("preview (whole process)", preview, 34);
    bench::printTable("apply (whole process, fresh copies)", apply, 34);
    const double z = median(apply[1].figures.wall);
    std::printf("preview target (wall <= 1.5x floor): %s\n",
                median(preview[1].figures.wall) <= 1.5 * median(preview[0].figures.wall) ? "met" : "missed");
    // Sorting by date stats every entry, on several threads where there are cores for them.
    std::printf("dated preview, stretch target (wall < floor): %s, %.2fx\n",
                median(preview[2].figures.wall) < median(preview[0].figures.wall) ? "met" : "missed",
                median(preview[2].figures.wall) / median(preview[0].figures.wall));
    // 32.7 MB was the preview's peak at 32767 entries of 13-byte names when the target was set.
    if (n == 32767) {
        const double peak = median(preview[1].figures.peak);
        std::printf("preview memory target (peak <= 16.4 MB, half of 32.7): %s, %.1f MB = %.2f of 32.7\n",
                    peak <= 16.35 ? "met" : "missed", peak, peak / 32.7);
    }
    std::printf("apply target (wall <= 1.2x floor, faster than rename and mmv): %s\n",
                z <= 1.2 * median(apply[0].figures.wall) && z < median(apply[2].figures.wall) &&
                        z < median(apply[3].figures.wall)
                    ? "met"
                    : "missed");
    return 0;
}
