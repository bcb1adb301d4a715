// What a rename costs through the window: N entries renamed by a click of "Přejmenovat" in the shown
// window (offscreen, every question answered Yes), against a bare loop of renameat2(RENAME_NOREPLACE)
// over a fresh folder of the same names in the same process. The window is timed from the click to
// its report (the run) and to the end of the click (the run and the refresh that closes it); the
// repaints of the progress caption are counted.
// Usage: bench_rename-window [N [ROUNDS]]; N entries (default 32767), ROUNDS (default 5). The folders
// are made next to this program and removed afterwards.
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "rename/dialogs.h"
#include "ui/frmMain.h"

namespace fs = std::filesystem;

namespace {

// Yes to every question; notes when the report comes.
struct YesDialogs : zelvar::Dialogs {
    QElapsedTimer* clock = nullptr;
    qint64 reportAt = -1;
    int messageBox(const zelvar::Text& text, int style) override {
        if ((style & 7) != zelvar::mb::OK) return zelvar::mb::AnsYes;
        if (text.starts_with(U"Přejmenování ukončeno") && clock) reportAt = clock->nsecsElapsed();
        return zelvar::mb::AnsOK;
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

std::string oldName(int k) {
    char name[32];
    std::snprintf(name, sizeof name, "IMG_%05d.jpg", k);
    return name;
}
std::string newName(int k) {
    char name[32];
    std::snprintf(name, sizeof name, "Foto_%05d.jpg", k);
    return name;
}

std::string makeFolder(const fs::path& base, int n) {
    std::string folder = (base / "zelvar-bench-rename-window-XXXXXX").string();
    if (!mkdtemp(folder.data())) {
        std::perror("mkdtemp");
        std::exit(1);
    }
    for (int k = 1; k <= n; ++k) {
        const int fd = open((folder + "/" + oldName(k)).c_str(), O_CREAT | O_WRONLY | O_EXCL, 0644);
        if (fd < 0) {
            std::perror("create");
            std::exit(1);
        }
        close(fd);
    }
    return folder;
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
    window.txtJmeno->setText(QStringLiteral("Foto_:::::"));
    QApplication::processEvents();
    if (!window.cmdPrejmenovat->isEnabled()) {
        std::fprintf(stderr, "nothing to rename in %s\n", folder.c_str());
        std::exit(1);
    }
    PaintCounter counter;
    window.lblPrace->installEventFilter(&counter);

    QElapsedTimer clock;
    dialogs.clock = &clock;
    clock.start();
    window.cmdPrejmenovat->click();
    WindowTimes t;
    t.click = double(clock.nsecsElapsed()) / 1e9;
    t.run = double(dialogs.reportAt) / 1e9;
    t.paints = counter.paints;
    check(folder, n);
    return t;
}

double timeBare(const std::string& folder, int n) {
    std::vector<std::string> from, to;
    for (int k = 1; k <= n; ++k) {
        from.push_back(oldName(k));
        to.push_back(newName(k));
    }
    QElapsedTimer clock;
    clock.start();
    const int dirfd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (int i = 0; i < n; ++i) {
        const std::size_t k = std::size_t(i);
        if (renameat2(dirfd, from[k].c_str(), dirfd, to[k].c_str(), RENAME_NOREPLACE) != 0) {
            std::perror("renameat2");
            std::exit(1);
        }
    }
    close(dirfd);
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    check(folder, n);
    return seconds;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
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
    const fs::path base = fs::read_symlink("/proc/self/exe").parent_path();

    std::vector<double> run, click, bare;
    std::vector<double> paints;
    for (int r = 0; r < rounds; ++r) {
        const std::string a = makeFolder(base, n);
        const std::string b = makeFolder(base, n);
        sync();
        // Alternate the two so that neither always meets a warmer cache.
        if (r % 2 == 1) bare.push_back(timeBare(b, n));
        const WindowTimes t = timeWindow(a, n);
        if (r % 2 == 0) bare.push_back(timeBare(b, n));
        run.push_back(t.run);
        click.push_back(t.click);
        paints.push_back(t.paints);
        fs::remove_all(a);
        fs::remove_all(b);
    }
    const double runMedian = median(run), clickMedian = median(click), bareMedian = median(bare);
    std::printf("entries %d, rounds %d, folder %s\n", n, rounds, base.c_str());
    std::printf("window, click to report    median %8.1f ms\n", runMedian * 1e3);
    std::printf("window, whole click        median %8.1f ms (with the closing refresh)\n", clickMedian * 1e3);
    std::printf("bare renameat2 loop        median %8.1f ms\n", bareMedian * 1e3);
    std::printf("caption repaints per run   median %8.0f (%.0f per second)\n", median(paints),
                median(paints) / runMedian);
    std::printf("ratio run / bare           %.2f (target <= 2)\n", runMedian / bareMedian);
    std::printf("ratio click / bare         %.2f\n", clickMedian / bareMedian);
    return 0;
}
