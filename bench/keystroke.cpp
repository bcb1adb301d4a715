// What a keystroke in the name pattern costs in the window: the time from a key typed into txtJmeno
// until the preview text and both samples show the new pattern and the window has painted them,
// against the floor of the listing that every build must do (readdir plus one lstat per entry),
// measured in the same process on the same folder.
// Usage: bench_keystroke [N [RUNS]]; N entries (default 32767), RUNS keystrokes (default 15).
// The window runs offscreen; the folder is made next to this program and removed afterwards.
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_support.h"
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

}  // namespace

int main(int argc, char** argv) {
    const int n = argc > 1 ? std::atoi(argv[1]) : 32767;
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 15;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    const bench::TempFolder temp(bench::programFolder(), "zelvar-bench-keystroke", n,
                                 [](int k) { return bench::cameraName(k + 1); });
    const std::string& folder = temp.path();
    SilentDialogs dialogs;
    frmMain window(dialogs, folder);
    window.show();
    QApplication::processEvents();

    auto* pattern = window.findChild<QLineEdit*>(QStringLiteral("txtJmeno"));
    auto* preview = window.findChild<PreviewView*>(QStringLiteral("txtTest"));
    auto* sample = window.findChild<QLabel*>(QStringLiteral("lblUkazka1"));
    pattern->setText(QStringLiteral("Foto_:::::"));
    pattern->setFocus();
    QApplication::processEvents();

    // The floor and the keystrokes take turns, so that both see the same load of a shared machine.
    std::vector<double> floors, keystrokes;
    for (int r = 0; r < runs; ++r) {
        const bench::Stopwatch floorClock;
        if (bench::floorListing(folder) < std::size_t(n)) {
            std::fprintf(stderr, "listing floor saw too few entries\n");
            return 1;
        }
        floors.push_back(floorClock.ms());

        // Alternately type "x" after the pattern and take it back again.
        const bool add = r % 2 == 0;
        const QString expectedFirst = add ? QStringLiteral("IMG_00001.jpg -> Foto_00001x.jpg")
                                          : QStringLiteral("IMG_00001.jpg -> Foto_00001.jpg");
        const QString expectedSample = add ? QStringLiteral("Foto_00001x.HAF") : QStringLiteral("Foto_00001.HAF");
        const bench::Stopwatch clock;
        if (add)
            type(pattern, Qt::Key_X, QStringLiteral("x"));
        else
            type(pattern, Qt::Key_Backspace, QStringLiteral("\b"));
        QApplication::processEvents();
        keystrokes.push_back(clock.ms());
        const QString first = preview->line(0);
        if (first != expectedFirst || sample->text() != expectedSample || preview->lineCount() < n) {
            std::fprintf(stderr, "the window does not show the pattern: %s / %s\n", qPrintable(first),
                         qPrintable(sample->text()));
            return 1;
        }
    }

    const double floorMs = median(floors);
    const double keyMs = median(keystrokes);
    std::printf("keystroke N=%d runs=%d: median %.1f ms, listing floor %.1f ms, ratio %.2f (target <= 0.5)\n", n, runs,
                keyMs, floorMs, keyMs / floorMs);

    window.close();
    return 0;
}
