// The zelvar executable: the main window on the application's message boxes.
//
// zelvar [FOLDER | FILE] starts in FOLDER or in the folder that holds FILE (relative to the current
// directory), else in the folder of the last session; the window's place, layout, filter and entry
// kind come back from that session too. --help and --version answer without opening a window; any
// other option is a usage error (status 2).
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTimer>
#include <cstdio>
#include <string>
#include <vector>

#include "ui/MessageBoxes.h"
#include "ui/Settings.h"
#include "ui/appicon.h"
#include "ui/frmMain.h"
#include "ui/windowlogic.h"
#include "version.h"

namespace {

std::vector<std::string> argumentsOf(int argc, char** argv) { return std::vector<std::string>(argv + 1, argv + argc); }

}  // namespace

int main(int argc, char** argv) {
    // Help and version need no display: they are answered before Qt looks for one.
    const zelvar::WindowArguments early = zelvar::parseWindowArguments(argumentsOf(argc, argv));
    if (early.action == zelvar::WindowArguments::Action::Help) {
        std::fputs(zelvar::windowUsageText().c_str(), stdout);
        return 0;
    }
    if (early.action == zelvar::WindowArguments::Action::Version) {
        std::printf("zelvar %s\n", zelvar::kVersion);
        return 0;
    }

    // Qt takes its own options (-style, -platform, ...) out of argv; what is left is the program's.
    QApplication app(argc, argv);
    const zelvar::WindowArguments arguments = zelvar::parseWindowArguments(argumentsOf(argc, argv));
    if (arguments.action != zelvar::WindowArguments::Action::Open) {
        std::fputs(zelvar::windowUsageError(arguments.error).c_str(), stderr);
        return 2;
    }
    QApplication::setApplicationName(QStringLiteral("Zelvar"));
    // Desktops match the window to its desktop entry, and so to its name and icon, by this id.
    QApplication::setDesktopFileName(QStringLiteral("io.github.zelvar.Zelvar"));
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setWindowIcon(zelvarIcon());

    const SavedWindow saved = loadSettings();
    bool refused = false;
    const std::string folder =
        startFolder(arguments.path, QFile::encodeName(QDir::currentPath()).toStdString(), saved.folder, refused);

    MessageBoxes dialogs;
    frmMain window(dialogs, folder);
    dialogs.setParent(&window);
    window.show();
    // After show: showing centres a window on its first appearance.
    restoreWindow(window, saved);
    if (refused) {
        QTimer::singleShot(0, &window,
                           [&] { dialogs.messageBox(zelvar::T("Adresa není v pořádku"), zelvar::box::information); });
    }
    const int status = app.exec();
    saveSettings(captureWindow(window));
    return status;
}
