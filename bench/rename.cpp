// How much the rename run costs over the system calls it cannot avoid: renames N entries through the
// run with every question answered Yes, and N entries of a fresh copy through a bare loop of
// renameat2(RENAME_NOREPLACE). Then what the run journal takes of the run: the plan (the folder read
// once, the file written and synced) and the final record, on a third copy. The journal must be on
// disk before the first rename, so a file of its size written, synced, renamed and its folder synced
// is its floor: that part is the disk's, the rest is the journal's own work.
// Usage: bench_rename [N [FOLDER]]; FOLDER defaults to the folder of this program, so the figures
// come from the build folder's file system.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_support.h"
#include "platform/saferename.h"
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

double timeBare(const std::string& folder, const std::vector<std::string>& from, const std::vector<std::string>& to) {
    const bench::Stopwatch clock;
    bench::bareRenames(folder, from, to);
    return clock.seconds();
}

// Everything the run does for its journal, with every row marked renamed as after a full run.
double timeJournal(const std::string& folder, const PreviewList& rows) {
    RenameFolder dir(folder);
    const bench::Stopwatch clock;
    std::vector<JournalRow> planned;
    planned.reserve(rows.size());
    for (const PreviewEntry& row : rows)
        planned.push_back({.oldName = toUtf8(row.oldName), .newName = toUtf8(row.newName)});
    RunRecorder journal;
    const std::string error = journal.begin(dir, folder, RunRecorder::planRows(folder, dir, std::move(planned)));
    for (std::size_t k = 0; k < rows.size(); ++k) journal.markRenamed(k);
    if (!error.empty() || !journal.finish().empty()) {
        std::fprintf(stderr, "journal: %s\n", error.c_str());
        std::exit(1);
    }
    return clock.seconds();
}

// The newest journal's size; journal names begin with their time, so the greatest name is the newest.
std::uintmax_t newestJournalSize(const fs::path& folder) {
    fs::path newest;
    for (const auto& e : fs::directory_iterator(folder))
        if (e.path().extension() == ".journal" && e.path().filename() > newest.filename()) newest = e.path();
    return newest.empty() ? 0 : fs::file_size(newest);
}

// A file of `size` bytes made durable the way the journal is: written, synced, renamed into place and
// its folder synced; then removed.
double timeDurableWrite(const fs::path& folder, std::uintmax_t size) {
    const std::string data(size, 'x'), temporary = folder / ".floor.tmp", final = folder / "floor.bin";
    const bench::Stopwatch clock;
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0 || folderFd < 0 || ::write(fd, data.data(), data.size()) != static_cast<ssize_t>(data.size()) ||
        ::fsync(fd) != 0 || ::rename(temporary.c_str(), final.c_str()) != 0 || ::fsync(folderFd) != 0) {
        std::perror("floor");
        std::exit(1);
    }
    ::close(fd);
    ::close(folderFd);
    const double elapsed = clock.seconds();
    fs::remove(final);
    return elapsed;
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

    std::vector<double> run, bare, journal, durable;
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
        const bench::TempFolder c(base, "zelvar-bench", n, oldName);
        sync();
        journal.push_back(timeJournal(c.path(), rows));
        const fs::path journals = fs::path(state.path()) / "zelvar";
        sync();
        durable.push_back(timeDurableWrite(journals, newestJournalSize(journals)));
    }
    const double runMedian = median(run), bareMedian = median(bare);
    std::printf("entries %d, rounds %d, folder %s\n", n, rounds, base.c_str());
    std::printf("rename run        median %.1f ms\n", runMedian * 1e3);
    std::printf("bare renameat2    median %.1f ms\n", bareMedian * 1e3);
    std::printf("ratio             %.3f (target <= 1.3)\n", runMedian / bareMedian);
    const double journalMedian = median(journal);
    std::printf("journal           median %.1f ms\n", journalMedian * 1e3);
    std::printf("journal share     %.1f %% of the run (target <= 5 %%)\n", 100 * journalMedian / runMedian);
    const double durableMedian = median(durable);
    std::printf("  of which disk   %.1f ms: a file of its size written, synced and renamed into place\n",
                durableMedian * 1e3);
    std::printf("  own work        %.1f ms, %.1f %% of the run\n", (journalMedian - durableMedian) * 1e3,
                100 * (journalMedian - durableMedian) / runMedian);
    // On a busy machine the one-off journal is often preempted; the best rounds show its own cost.
    const double journalBest = *std::min_element(journal.begin(), journal.end());
    const double runBest = *std::min_element(run.begin(), run.end());
    std::printf("best rounds       journal %.1f ms, run %.1f ms, share %.1f %%\n", journalBest * 1e3, runBest * 1e3,
                100 * journalBest / runBest);
    return 0;
}
