// How much the rename run costs over the system calls it cannot avoid: renames N entries through the
// run with every question answered Yes, and N entries of a fresh copy through a bare loop of
// renameat2(RENAME_NOREPLACE). Usage: bench_rename [N [FOLDER]]; FOLDER defaults to the folder of
// this program, so the figures come from the build folder's file system.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_support.h"
#include "rename/run.h"

using namespace zelvar;
using bench::median;
namespace fs = std::filesystem;

namespace {

struct YesDialogs : Dialogs {
    Answer messageBox(const Text&, BoxStyle style) override {
        return style.buttons == Buttons::ok ? Answer::ok : Answer::yes;
    }
    void beep() override {}
};

// Keeps the caption as a label would, and nothing else.
struct QuietFrontEnd : RenameFrontEnd {
    Text caption;
    void progress(const Text& c) override { caption = c; }
    void processEvents() override {}
    bool confirmEach() override { return false; }
};

std::string oldName(int i) { return "IMG_" + std::to_string(100000 + i) + ".jpg"; }
std::string newName(int i) { return "Foto_" + std::to_string(100000 + i) + ".jpg"; }

double timeRun(const std::string& folder, const PreviewList& rows) {
    YesDialogs dialogs;
    QuietFrontEnd frontEnd;
    const bench::Stopwatch clock;
    const RunResult result = cmdPrejmenovat_Run(folder, rows, U"*", dialogs, frontEnd);
    const double elapsed = clock.seconds();
    if (result.failures != 0 || result.attempts != static_cast<int>(rows.size())) {
        std::fprintf(stderr, "run: %d of %d failed\n", result.failures, result.attempts);
        std::exit(1);
    }
    return elapsed;
}

double timeBare(const std::string& folder, const std::vector<std::string>& from,
                const std::vector<std::string>& to) {
    const bench::Stopwatch clock;
    bench::bareRenames(folder, from, to);
    return clock.seconds();
}

}  // namespace

int main(int argc, char** argv) {
    const int n = argc > 1 ? std::atoi(argv[1]) : 32767;
    const fs::path base = argc > 2 ? fs::path(argv[2]) : bench::programFolder();
    const int rounds = 5;

    PreviewList rows;
    std::vector<std::string> from, to;
    for (int i = 0; i < n; ++i) {
        rows.push_back({fromUtf8(oldName(i)), fromUtf8(newName(i)), Verdict::usable});
        from.push_back(oldName(i));
        to.push_back(newName(i));
    }

    std::vector<double> run, bare;
    for (int r = 0; r < rounds; ++r) {
        // Alternate the two so that neither always meets a warmer cache.
        const bench::TempFolder a(base, "zelvar-bench", n, oldName), b(base, "zelvar-bench", n, oldName);
        sync();
        if (r % 2 == 0) {
            run.push_back(timeRun(a.path(), rows));
            bare.push_back(timeBare(b.path(), from, to));
        } else {
            bare.push_back(timeBare(b.path(), from, to));
            run.push_back(timeRun(a.path(), rows));
        }
    }
    const double runMedian = median(run), bareMedian = median(bare);
    std::printf("entries %d, rounds %d, folder %s\n", n, rounds, base.c_str());
    std::printf("rename run        median %.1f ms\n", runMedian * 1e3);
    std::printf("bare renameat2    median %.1f ms\n", bareMedian * 1e3);
    std::printf("ratio             %.3f (target <= 1.3)\n", runMedian / bareMedian);
    return 0;
}
