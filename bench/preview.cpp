// What a whole preview build costs over the system calls it cannot avoid. The floor is readdir plus
// one lstat (fstatat relative to the folder) per entry; a build adds the filter, kinds and dates of
// the listing, the ordering, every new name, the clash and existence checks and the preview text.
// Usage: bench_preview [N [FOLDER]]; N defaults to 32767, FOLDER (where the test folder is made)
// to the folder of this program, so the figures come from the build folder's file system.
#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "bench_support.h"
#include "engine/pattern.h"
#include "preview/builder.h"

using namespace zelvar;
using bench::floorListing;
using bench::median;
namespace fs = std::filesystem;

namespace {

constexpr int kRuns = 11;

// Entry k of n: "IMG_00001.jpg" and on, every tenth one a ".raw" beside the ".jpg" before it.
std::string previewName(int k) {
    const int jpegsBefore = k - k / 10;
    return k % 10 == 9 ? bench::cameraName(jpegsBefore, "raw") : bench::cameraName(jpegsBefore + 1);
}

double cpuMs() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// Wall-clock and CPU time of every run in ms; the CPU time is the process's, of every thread and
// with system time, and stays meaningful while other work shares the cores.
struct Samples {
    std::vector<double> wall, cpu;
    void add(const std::function<void()>& run) {
        const bench::Stopwatch clock;
        const double c0 = cpuMs();
        run();
        cpu.push_back(cpuMs() - c0);
        wall.push_back(clock.ms());
    }
};

struct Case {
    const char* label;
    const char32_t* pattern;
    int optCitac;
    unsigned threads;  // that list the folder; 0: one per core
    RenameOptions options;
    CompiledPatterns patterns;
    PreviewResult result;
    Samples samples;
    double peakGrowth = 0;  // MB
};

double peakMb() {
    rusage use{};
    getrusage(RUSAGE_SELF, &use);
    return use.ru_maxrss / 1024.0;
}

void printLine(const std::string& label, double wall, double cpu) {
    // Labels hold multi-byte letters: pad by characters, not bytes.
    const auto chars =
        static_cast<int>(std::count_if(label.begin(), label.end(), [](char ch) { return (ch & 0xC0) != 0x80; }));
    std::printf("%s%*s %9.2f ms wall %9.2f ms cpu", label.c_str(), 30 - chars, "", wall, cpu);
}

}  // namespace

int main(int argc, char** argv) {
    const int n = argc > 1 ? std::atoi(argv[1]) : static_cast<int>(kMaxEntries);
    const fs::path base = argc > 2 ? fs::path(argv[2]) : bench::programFolder();
    if (n < 1) {
        std::fprintf(stderr, "usage: bench_preview [N [FOLDER]]\n");
        return 2;
    }
    const bench::TempFolder temp(base, "zelvar-bench-preview", n, previewName);
    const std::string& folder = temp.path();
    std::printf("%d entries in %s, median of %d rounds\n", n, folder.c_str(), kRuns);

    // A counter far wider than any name may be: the name is "too long" either way, so composing it
    // must cost about what a plain one does.
    static const std::u32string kWideCounter(32000, U':');
    static const std::u32string kLongLiteral(32000, U'x');
    static std::u32string kManyYears;
    for (int k = 0; k < 8000; ++k) kManyYears += U"\\y";
    Case cases[] = {
        {"\"*\"", U"*", 0, 0, {}, {}, {}, {}},
        {"\"*\", one thread", U"*", 0, 1, {}, {}, {}, {}},
        {"\"Foto_:::\" Čítač", U"Foto_:::", 0, 0, {}, {}, {}, {}},
        {"\"x\" Jen stejné", U"x", 1, 0, {}, {}, {}, {}},
        {"32000 colons", kWideCounter.c_str(), 0, 0, {}, {}, {}, {}},
        {"32000 letters", kLongLiteral.c_str(), 0, 0, {}, {}, {}, {}},
        {"8000 date codes \\y", kManyYears.c_str(), 0, 0, {}, {}, {}, {}},
    };
    for (auto& c : cases) {
        c.options.txtJmeno = c.pattern;
        c.options.optCitac = Citac(c.optCitac);
        c.patterns = ZpracujFiltrVystupCely(c.options);
    }

    // Rounds interleave the floor and the cases, so that a change of load between them shifts
    // every figure alike; the first round only warms the caches.
    std::size_t listed = 0;
    Samples floor;
    for (int round = 0; round <= kRuns; ++round) {
        Samples warm;
        Samples& f = round == 0 ? warm : floor;
        f.add([&] { listed = floorListing(folder); });
        for (auto& c : cases) {
            Samples& s = round == 0 ? warm : c.samples;
            setListingThreads(c.threads);
            const double peakBefore = peakMb();
            s.add([&] {
                c.result =
                    buildPreview(listFolder(folder, c.options.txtVyhlFiltr, c.options.optFile), c.options, c.patterns);
            });
            // The cases run in table order in the first round: what a case adds to the process's
            // peak then is what it needs beyond the plain cases before it.
            if (round == 0) c.peakGrowth = peakMb() - peakBefore;
            setListingThreads(0);
        }
    }

    const double floorWall = median(floor.wall), floorCpu = median(floor.cpu);
    printLine("floor (readdir + lstat)", floorWall, floorCpu);
    std::printf("\n");
    bool met = true;
    for (const auto& c : cases) {
        const double wall = median(c.samples.wall), cpu = median(c.samples.cpu);
        met = met && wall / floorWall <= 2.0;
        printLine(c.label, wall, cpu);
        std::printf("  ratio %.2f wall %.2f cpu  (%zu rows, %d renames, peak +%.1f MB)\n", wall / floorWall,
                    cpu / floorCpu, c.result.rows.size(), c.result.renameCount(), c.peakGrowth);
        if (c.result.rows.size() + 2 != listed) std::printf("  row count differs from the floor's entries\n");
    }
    std::printf("target (every wall-clock ratio <= 2.0): %s\n", met ? "met" : "missed");
    std::printf("peak memory of the process: %.1f MB\n", peakMb());
    // A build reads the folder with its dates, inspected on one thread per core.
    const double plain = median(cases[0].samples.wall) / floorWall;
    std::printf("stretch target (a build of \"*\" below the single-threaded floor): %s, %.2fx\n",
                plain < 1.0 ? "met" : "missed", plain);
    return 0;
}
