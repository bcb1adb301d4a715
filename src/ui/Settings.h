#pragma once
// What the window remembers from one start to the next: its place and size, the layout, the last
// folder, the listing filter and the entry kind. Patterns and options are not kept: every start is
// a clean one there. The file is ~/.config/zelvar/zelvar.conf (XDG_CONFIG_HOME is honoured); a
// missing, unreadable or damaged file gives the start values without a word.
#include <QByteArray>
#include <QString>
#include <optional>
#include <string>

class frmMain;

struct SavedWindow {
    QByteArray geometry;  // QWidget::saveGeometry; empty: centred at the start size
    int layout = 0;       // 0 simple, 1 professional
    std::string folder;   // bytes of an absolute path; empty: the home folder
    QString filter = QStringLiteral("*.*");
    int kind = 0;  // 0 files, 1 folders, 2 both
};

QString settingsPath();
SavedWindow loadSettings(const QString& path = settingsPath());
bool saveSettings(const SavedWindow& saved, const QString& path = settingsPath());

// What the window shows now, and the same put back into a window (the folder goes to the window's
// constructor instead, so that the first listing is already the right one).
SavedWindow captureWindow(const frmMain& window);
void restoreWindow(frmMain& window, const SavedWindow& saved);

// The folder to start in: the command-line argument (bytes, relative to cwd) when given, else the
// remembered one; an argument that names a file means the folder that holds it. `refused` is set
// when the argument names no folder that can be opened; the answer is then empty, meaning the home
// folder.
std::string startFolder(const std::optional<std::string>& argument, const std::string& cwd,
                        const std::string& remembered, bool& refused);
