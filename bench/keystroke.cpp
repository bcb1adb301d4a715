// What a keystroke in the name pattern costs in the window: the time from a key typed into txtJmeno
// until the preview text and both samples show the new pattern and the window has painted them,
// against the floor of the listing that every build must do (readdir plus one lstat per entry),
// measured in the same process on the same folder.
// A second case does the same on N photos named by their date taken and sorted by it, the dates kept
// from the listing before, so that a keystroke reads no photo again.
// Usage: bench_keystroke [N [RUNS]]; N entries (default 32767), RUNS keystrokes (default 15).
// The window runs offscreen; the folder is made next to this program and removed afterwards.
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QAbstractButton>
#include <QButtonGroup>
#include <QLineEdit>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_support.h"
#include "platform/dates_taken.h"
#include "rename/dialogs.h"
#include "ui/PreviewView.h"
#include "ui/frmMain.h"

using bench::median;

namespace {

struct SilentDialogs : zelvar::Dialogs {
    zelvar::Answer messageBox(const zelvar::Text&, zelvar::BoxStyle) override { return zelvar::Answer::ok; }
    void beep() override {}
};

void type(QWidget* field, Qt::Key key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(field, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(field, &release);
}

struct Case {
    const char* label;
    std::string folder;
    bool dated;               // "pořízení" and "Řazení: Datum"
    QString pattern;          // the pattern before each keystroke
    QString first, firstAdd;  // the preview's first line before and after the typed "x"
};

// Alternately types "x" after the pattern and takes it back, each keystroke after a listing floor of
// the same folder, and prints the medians; false when the window did not show what it must.
bool measure(const Case& c, int n, int runs) {
    SilentDialogs dialogs;
    frmMain window(dialogs, c.folder);
    window.show();
    QApplication::processEvents();
    auto* pattern = window.findChild<QLineEdit*>(QStringLiteral("txtJmeno"));
    auto* preview = window.findChild<PreviewView*>(QStringLiteral("txtTest"));
    if (c.dated) {
        window.mnuFunkce_Click(1);  // the professional layout shows "Datum"
        window.findChild<QButtonGroup*>(QStringLiteral("optDatum"))->button(1)->click();
        window.findChild<QButtonGroup*>(QStringLiteral("optRazeni"))->button(2)->click();
    }
    pattern->setText(c.pattern);
    pattern->setFocus();
    QApplication::processEvents();
    const std::size_t opened = zelvar::datesTakenOpened();

    // The floor and the keystrokes take turns, so that both see the same load of a shared machine.
    std::vector<double> floors, keystrokes;
    for (int r = 0; r < runs; ++r) {
        const bench::Stopwatch floorClock;
        if (bench::floorListing(c.folder) < std::size_t(n)) {
            std::fprintf(stderr, "listing floor saw too few entries\n");
            return false;
        }
        floors.push_back(floorClock.ms());

        const bool add = r % 2 == 0;
        const bench::Stopwatch clock;
        if (add)
            type(pattern, Qt::Key_X, QStringLiteral("x"));
        else
            type(pattern, Qt::Key_Backspace, QStringLiteral("\b"));
        QApplication::processEvents();
        keystrokes.push_back(clock.ms());
        const QString first = preview->line(0);
        if (first != (add ? c.firstAdd : c.first) || preview->lineCount() < n) {
            std::fprintf(stderr, "%s: the window does not show the pattern: %s\n", c.label, qPrintable(first));
            return false;
        }
    }
    if (c.dated && zelvar::datesTakenOpened() != opened) {
        std::fprintf(stderr, "%s: the keystrokes opened %zu photos again\n", c.label,
                     zelvar::datesTakenOpened() - opened);
        return false;
    }
    const double floorMs = median(floors), keyMs = median(keystrokes);
    std::printf("%s N=%d runs=%d: median %.1f ms, listing floor %.1f ms, ratio %.2f (target <= 0.5)\n", c.label, n,
                runs, keyMs, floorMs, keyMs / floorMs);
    std::fflush(stdout);
    window.close();
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const int n = argc > 1 ? std::atoi(argv[1]) : 32767;
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 15;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    {
        const bench::TempFolder temp(bench::programFolder(), "zelvar-bench-keystroke", n,
                                     [](int k) { return bench::cameraName(k + 1); });
        if (!measure(
                {"keystroke", temp.path(), false, QStringLiteral("Foto_:::::"),
                 QStringLiteral("IMG_00001.jpg -> Foto_00001.jpg"), QStringLiteral("IMG_00001.jpg -> Foto_00001x.jpg")},
                n, runs))
            return 1;
    }
    const bench::PhotoFolder photos(bench::programFolder(), "zelvar-bench-keystroke-photos", n);
    int earliest = 0;  // the photo sorted first
    while (photos.rank(earliest) != 0) ++earliest;
    const QString first = QString::fromStdString(bench::cameraName(earliest + 1) + " -> " +
                                                 bench::PhotoFolder::stampOfRank(0) + "_00001");
    if (!measure({"dated keystroke (dates taken kept)", photos.path(), true,
                  QStringLiteral("\\y\\m\\d_\\h\\n\\s_:::::"), first + ".jpg", first + "x.jpg"},
                 n, runs))
        return 1;
    return 0;
}
