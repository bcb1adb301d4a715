// How much the rename run costs over the system calls it cannot avoid: renames N entries through the
// run with every question answered Yes, and N entries of a fresh copy through a bare loop of
// renameat2(RENAME_NOREPLACE). Then what the run journal takes of the run: the plan (the inodes, the
// file written and synced) and the final record, on a third copy. As in the window, the run is
// handed the kept listing its preview read, for as long as the folder's watch vouches for it; that
// listing is the preview's work and not timed.
// Usage: bench_rename [N [FOLDER]]; FOLDER defaults to the folder of this program, so the figures
// come from the build folder's file system.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_support.h"
#include "platform/saferename.h"
#include "preview/session.h"
#include "rename/journal.h"
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
    void progress(const Text& c, std::u32string_view step) override { caption.assign(c).append(step); }
    void processEvents() override {}
    bool confirmEach() override { return false; }
};

// What the window's preview leaves a run: the folder's listing, watched from before it was read.
struct Previewed {
    explicit Previewed(const std::string& folder) {
        session.setFolder(folder);
        session.keepListing(true);
        RenameOptions options;
        options.txtJmeno = Text(1, U'*');  // every name as it is
        session.build(options);
    }
    PreviewSession session;
};

std::string oldName(int i) { return "IMG_" + std::to_string(100000 + i) + ".jpg"; }
std::string newName(int i) { return "Foto_" + std::to_string(100000 + i) + ".jpg"; }

double timeRun(const std::string& folder, const PreviewList& rows) {
    YesDialogs dialogs;
    QuietFrontEnd frontEnd;
    Previewed preview(folder);
    const bench::Stopwatch clock;
    const RunResult result = cmdPrejmenovat_Run(-1, folder, rows, U"*", dialogs, frontEnd, realSysCalls(),
                                                [&preview] { return preview.session.listingForRun(); });
    const double elapsed = clock.seconds();
    if (result.failures != 0 || result.attempts != static_cast<int>(rows.size())) {
        std::fprintf(stderr, "run: %d of %d failed\n", result.failures, result.attempts);
        std::exit(1);
    }
    return elapsed;
}

double timeBare(const std::string& folder, const std::vector<std::string>& from, const std::vector<std::string>& to) {
    const bench::Stopwatch clock;
    bench::bareRenames(folder, from, to);
    return clock.seconds();
}

// Everything the run does for its journal, with every row marked renamed as after a full run. The
// names as bytes are not the journal's cost: the run makes them for its renames either way.
double timeJournal(const std::string& folder, const PreviewList& rows) {
    RenameFolder dir(folder);
    std::vector<JournalRow> planned;
    planned.reserve(rows.size());
    for (const PreviewEntry& row : rows)
        planned.push_back({.oldName = toUtf8(row.oldName), .newName = toUtf8(row.newName)});
    Previewed preview(folder);
    const bench::Stopwatch clock;
    RunRecorder journal;
    std::optional<Failure> failure = journal.begin(
        dir, folder, RunRecorder::planRows(folder, dir, std::move(planned), preview.session.listingForRun()));
    for (std::size_t k = 0; k < rows.size(); ++k) journal.markRenamed(k);
    if (!failure) failure = journal.finish();
    if (failure) {
        std::fprintf(stderr, "journal: %s\n", failureText(*failure).c_str());
        std::exit(1);
    }
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

    // The journals go next to the folders, on the same file system, and away when done.
    const bench::TempFolder state(base, "zelvar-bench-state", 0, oldName);
    setenv("XDG_STATE_HOME", state.path().c_str(), 1);

    std::vector<double> run, bare, journal;
    for (int r = 0; r < rounds; ++r) {
        // Alternate the two so that neither always meets a warmer cache.
        const bench::TempFolder a(base, "zelvar-bench", n, oldName), b(base, "zelvar-bench", n, oldName);
        bench::settleDisk();
        if (r % 2 == 0) {
            run.push_back(timeRun(a.path(), rows));
            bare.push_back(timeBare(b.path(), from, to));
        } else {
            bare.push_back(timeBare(b.path(), from, to));
            run.push_back(timeRun(a.path(), rows));
        }
        const bench::TempFolder c(base, "zelvar-bench", n, oldName);
        bench::settleDisk();
        journal.push_back(timeJournal(c.path(), rows));
    }
    const double runMedian = median(run), bareMedian = median(bare);
    std::printf("entries %d, rounds %d, folder %s\n", n, rounds, base.c_str());
    std::printf("rename run        median %.1f ms\n", runMedian * 1e3);
    std::printf("bare renameat2    median %.1f ms\n", bareMedian * 1e3);
    std::printf("ratio             %.3f (target <= 1.3)\n", runMedian / bareMedian);
    const double journalMedian = median(journal);
    std::printf("journal           median %.1f ms\n", journalMedian * 1e3);
    std::printf("journal share     %.1f %% of the run (target <= 5 %%)\n", 100 * journalMedian / runMedian);
    // On a busy machine the one-off journal is often preempted; the best rounds show its own cost.
    const double journalBest = *std::min_element(journal.begin(), journal.end());
    const double runBest = *std::min_element(run.begin(), run.end());
    std::printf("best rounds       journal %.1f ms, run %.1f ms, share %.1f %%\n", journalBest * 1e3, runBest * 1e3,
                100 * journalBest / runBest);
    return 0;
}
