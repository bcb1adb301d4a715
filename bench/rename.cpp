// How much the rename run costs over the system calls it cannot avoid: renames N entries through the
// run with every question answered Yes, and N entries of a fresh copy through a bare loop of
// renameat2(RENAME_NOREPLACE). Usage: bench_rename [N [FOLDER]]; FOLDER defaults to the folder of
// this program, so the figures come from the build folder's file system.
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "rename/run.h"

using namespace zelvar;
namespace fs = std::filesystem;

namespace {

struct YesDialogs : Dialogs {
    int messageBox(const Text&, int style) override { return (style & 7) == mb::OK ? mb::AnsOK : mb::AnsYes; }
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

fs::path freshFolder(const fs::path& base, int n) {
    std::string tmpl = (base / "zelvar-bench-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) {
        std::perror("mkdtemp");
        std::exit(1);
    }
    for (int i = 0; i < n; ++i) {
        const int fd = open((tmpl + "/" + oldName(i)).c_str(), O_CREAT | O_WRONLY | O_EXCL, 0644);
        if (fd < 0) {
            std::perror("create");
            std::exit(1);
        }
        close(fd);
    }
    return tmpl;
}

double seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

double timeRun(const fs::path& folder, const PreviewList& rows) {
    YesDialogs dialogs;
    QuietFrontEnd frontEnd;
    const auto start = std::chrono::steady_clock::now();
    const RunResult result = cmdPrejmenovat_Run(folder.string(), rows, U"*", dialogs, frontEnd);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    if (result.failures != 0 || result.attempts != static_cast<int>(rows.size())) {
        std::fprintf(stderr, "run: %d of %d failed\n", result.failures, result.attempts);
        std::exit(1);
    }
    return seconds(elapsed);
}

double timeBare(const fs::path& folder, const std::vector<std::string>& from, const std::vector<std::string>& to) {
    const auto start = std::chrono::steady_clock::now();
    const int dirfd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (std::size_t i = 0; i < from.size(); ++i) {
        if (renameat2(dirfd, from[i].c_str(), dirfd, to[i].c_str(), RENAME_NOREPLACE) != 0) {
            std::perror("renameat2");
            std::exit(1);
        }
    }
    close(dirfd);
    return seconds(std::chrono::steady_clock::now() - start);
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    const int n = argc > 1 ? std::atoi(argv[1]) : 32767;
    const fs::path base = argc > 2 ? fs::path(argv[2]) : fs::read_symlink("/proc/self/exe").parent_path();
    const int rounds = 5;

    PreviewList rows;
    std::vector<std::string> from, to;
    for (int i = 0; i < n; ++i) {
        rows.push_back({fromUtf8(oldName(i)), fromUtf8(newName(i)), false});
        from.push_back(oldName(i));
        to.push_back(newName(i));
    }

    std::vector<double> run, bare;
    for (int r = 0; r < rounds; ++r) {
        // Alternate the two so that neither always meets a warmer cache.
        const fs::path a = freshFolder(base, n);
        const fs::path b = freshFolder(base, n);
        sync();
        if (r % 2 == 0) {
            run.push_back(timeRun(a, rows));
            bare.push_back(timeBare(b, from, to));
        } else {
            bare.push_back(timeBare(b, from, to));
            run.push_back(timeRun(a, rows));
        }
        fs::remove_all(a);
        fs::remove_all(b);
    }
    const double runMedian = median(run), bareMedian = median(bare);
    std::printf("entries %d, rounds %d, folder %s\n", n, rounds, base.c_str());
    std::printf("rename run        median %.1f ms\n", runMedian * 1e3);
    std::printf("bare renameat2    median %.1f ms\n", bareMedian * 1e3);
    std::printf("ratio             %.3f (target <= 1.3)\n", runMedian / bareMedian);
    return 0;
}
