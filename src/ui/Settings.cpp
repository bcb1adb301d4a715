#include "ui/Settings.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSettings>
#include <QStandardPaths>
#include <algorithm>
#include <optional>
#include <sys/stat.h>

#include "platform/folderscan.h"
#include "ui/frmMain.h"
#include "ui/windowlogic.h"

namespace {

const QString kGeometry = QStringLiteral("window/geometry");
const QString kLayout = QStringLiteral("window/layout");
const QString kFolder = QStringLiteral("listing/folder");
const QString kFilter = QStringLiteral("listing/filter");
const QString kKind = QStringLiteral("listing/kind");

int intIn(const QSettings& s, const QString& key, int low, int high) {
    bool ok = false;
    const int value = s.value(key).toInt(&ok);
    return ok && value >= low && value <= high ? value : low;
}

// An absolute folder that can be listed, else empty.
std::string usableFolder(const std::string& path) {
    if (path.empty() || path.front() != '/' || path.find('\0') != std::string::npos) return {};
    return zelvar::canOpenFolder(path) ? path : std::string();
}

QLineEdit* filterField(const frmMain& window) { return window.findChild<QLineEdit*>(QStringLiteral("txtVyhlFiltr")); }

}  // namespace

QString settingsPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/zelvar/zelvar.conf");
}

SavedWindow loadSettings(const QString& path) {
    SavedWindow saved;
    if (!QFile::exists(path)) return saved;
    QSettings s(path, QSettings::NativeFormat);
    if (s.status() != QSettings::NoError) return saved;
    saved.geometry = s.value(kGeometry).toByteArray();
    saved.layout = intIn(s, kLayout, 0, 1);
    saved.folder = usableFolder(s.value(kFolder).toByteArray().toStdString());
    const QVariant filter = s.value(kFilter);
    if (filter.typeId() == QMetaType::QString) saved.filter = filter.toString();
    saved.kind = intIn(s, kKind, 0, 2);
    return saved;
}

bool saveSettings(const SavedWindow& saved, const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSettings s(path, QSettings::NativeFormat);
    s.setValue(kGeometry, saved.geometry);
    s.setValue(kLayout, saved.layout);
    s.setValue(kFolder, QByteArray::fromStdString(saved.folder));
    s.setValue(kFilter, saved.filter);
    s.setValue(kKind, saved.kind);
    s.sync();
    return s.status() == QSettings::NoError;
}

SavedWindow captureWindow(const frmMain& window) {
    SavedWindow saved;
    saved.geometry = window.saveGeometry();
    saved.layout = window.layoutMode();
    saved.folder = window.folder();
    saved.filter = filterField(window)->text();
    saved.kind = static_cast<int>(window.options().optFile);
    return saved;
}

void restoreWindow(frmMain& window, const SavedWindow& saved) {
    // A geometry from another screen set-up is put back by Qt onto a screen that exists.
    if (!saved.geometry.isEmpty()) window.restoreGeometry(saved.geometry);
    if (saved.layout != window.layoutMode()) window.mnuFunkce_Click(saved.layout);
    // The simple layout lists files only; the kind counts in the professional one.
    if (saved.layout == 1 && saved.kind != static_cast<int>(window.options().optFile)) {
        if (auto* kind = window.findChild<QButtonGroup*>(QStringLiteral("optFile"))) kind->button(saved.kind)->click();
    }
    if (saved.filter != filterField(window)->text()) filterField(window)->setText(saved.filter);
}

std::string startFolder(const std::optional<std::string>& argument, const std::string& cwd,
                        const std::string& remembered, bool& refused) {
    refused = false;
    if (!argument) return remembered;
    std::string bytes = *argument;
    if (!bytes.empty() && bytes.front() != '/' && bytes.front() != '~') bytes = zelvar::joinPath(cwd, bytes);
    const std::optional<std::string> path =
        zelvar::typedFolderPath(zelvar::fromUtf8(bytes), QFile::encodeName(QDir::homePath()).toStdString());
    std::string usable = path ? usableFolder(*path) : std::string();
    // Any other entry, a link that leads nowhere too, opens the folder that holds it, as a dropped one does.
    struct stat entry {};
    if (usable.empty() && path && *path != "/" && ::lstat(path->c_str(), &entry) == 0)
        usable = usableFolder(path->substr(0, std::max<std::size_t>(path->rfind('/'), 1)));
    refused = usable.empty();
    return usable;
}
