// What a rename costs through the window: N entries renamed by a click of "Přejmenovat" in the shown
// window (offscreen, every question answered Yes), against a bare loop of renameat2(RENAME_NOREPLACE)
// over a fresh folder of the same names in the same process. The window is timed from the click to
// its report (the run) and to the end of the click (the run and the refresh that closes it); the
// repaints of the progress caption are counted.
// Usage: bench_rename-window [N [ROUNDS]]; N entries (default 32767), ROUNDS (default 5). The folders
// are made next to this program and removed afterwards.
#include <dirent.h>
#include <unistd.h>

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_support.h"
#include "rename/dialogs.h"
#include "ui/frmMain.h"

using bench::median;
namespace fs = std::filesystem;

namespace {

// Yes to every question; notes when the report comes.
struct YesDialogs : zelvar::Dialogs {
    const bench::Stopwatch* clock = nullptr;
    double reportAt = -1;  // seconds from the click
    zelvar::Answer messageBox(const zelvar::Text& text, zelvar::BoxStyle style) override {
        if (style.buttons != zelvar::Buttons::ok) return zelvar::Answer::yes;
        if (text.starts_with(U"Přejmenování ukončeno") && clock) reportAt = clock->seconds();
        return zelvar::Answer::ok;
    }
    void beep() override {}
};

struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

std::string newName(int k) {
    char name[32];
    std::snprintf(name, sizeof name, "Foto_%05d.jpg", k);
    return name;
}

// Every entry renamed, none lost.
void check(const std::string& folder, int n) {
    int renamed = 0, total = 0;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* d = readdir(dir)) {
            const std::string name = d->d_name;
            if (name == "." || name == "..") continue;
            ++total;
            renamed += name.starts_with("Foto_");
        }
        closedir(dir);
    }
    if (renamed != n || total != n) {
        std::fprintf(stderr, "%s: %d of %d entries renamed, %d there\n", folder.c_str(), renamed, n, total);
        std::exit(1);
    }
}

struct WindowTimes {
    double run = 0;    // click to report, seconds
    double click = 0;  // the whole click
    int paints = 0;
};

WindowTimes timeWindow(const std::string& folder, int n) {
    YesDialogs dialogs;
    frmMain window(dialogs, folder);
    window.show();
    window.findChild<QLineEdit*>(QStringLiteral("txtJmeno"))->setText(QStringLiteral("Foto_:::::"));
    QApplication::processEvents();
    auto* rename = window.findChild<QToolButton*>(QStringLiteral("cmdPrejmenovat"));
    if (!rename->isEnabled()) {
        std::fprintf(stderr, "nothing to rename in %s\n", folder.c_str());
        std::exit(1);
    }
    PaintCounter counter;
    window.findChild<QLabel*>(QStringLiteral("lblPrace"))->installEventFilter(&counter);

    const bench::Stopwatch clock;
    dialogs.clock = &clock;
    rename->click();
    WindowTimes t;
    t.click = clock.seconds();
    t.run = dialogs.reportAt;
    t.paints = counter.paints;
    check(folder, n);
    return t;
}

double timeBare(const std::string& folder, int n) {
    std::vector<std::string> from, to;
    for (int k = 1; k <= n; ++k) {
        from.push_back(bench::cameraName(k));
        to.push_back(newName(k));
    }
    const bench::Stopwatch clock;
    bench::bareRenames(folder, from, to);
    const double seconds = clock.seconds();
    check(folder, n);
    return seconds;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int n = argc > 1 ? std::atoi(argv[1]) : 32767;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
    if (n < 1 || n > 32767 || rounds < 1) {
        std::fprintf(stderr, "usage: %s [N (1..32767) [ROUNDS]]\n", argv[0]);
        return 2;
    }
    const fs::path base = bench::programFolder();
    // The journals of the runs go next to the folders, on the same file system, and away when done.
    const bench::TempFolder state(base, "zelvar-bench-state", 0, [](int) { return std::string(); });
    setenv("XDG_STATE_HOME", state.path().c_str(), 1);

    std::vector<double> run, click, bare;
    std::vector<double> paints;
    for (int r = 0; r < rounds; ++r) {
        const auto name = [](int k) { return bench::cameraName(k + 1); };
        const bench::TempFolder a(base, "zelvar-bench-rename-window", n, name);
        const bench::TempFolder b(base, "zelvar-bench-rename-window", n, name);
        bench::settleDisk();
        // Alternate the two so that neither always meets a warmer cache.
        if (r % 2 == 1) bare.push_back(timeBare(b.path(), n));
        const WindowTimes t = timeWindow(a.path(), n);
        if (r % 2 == 0) bare.push_back(timeBare(b.path(), n));
        run.push_back(t.run);
        click.push_back(t.click);
        paints.push_back(t.paints);
    }
    const double runMedian = median(run), clickMedian = median(click), bareMedian = median(bare);
    std::printf("entries %d, rounds %d, folder %s\n", n, rounds, base.c_str());
    std::printf("window, click to report    median %8.1f ms\n", runMedian * 1e3);
    std::printf("window, whole click        median %8.1f ms (with the closing refresh)\n", clickMedian * 1e3);
    std::printf("bare renameat2 loop        median %8.1f ms\n", bareMedian * 1e3);
    std::printf("caption repaints per run   median %8.0f (%.0f per second)\n", median(paints),
                median(paints) / runMedian);
    std::printf("ratio run / bare           %.2f (target <= 1.3)\n", runMedian / bareMedian);
    std::printf("ratio click / bare         %.2f\n", clickMedian / bareMedian);
    return 0;
}
