// The zelvar executable: the main window on the application's message boxes.
//
// zelvar [FOLDER | FILE] starts in FOLDER or in the folder that holds FILE (relative to the current
// directory), else in the folder of the last session; the window's place, layout, filter and entry
// kind come back from that session too. --help and --version answer without opening a window; any
// other option is a usage error (status 2).
//
// With ZELVAR_SCREENSHOT_DIR set, the window instead saves pictures of itself into that folder
// (simple layout, professional layout with a counter pattern, the About box, a preview with markers
// and a selection, the System Info box, a box with a long name, the menu "Funkce" with its presets
// and the dialog managing them, the help window, the reports of a rename and of its undo) and quits.
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/presets.h"
#include "ui/MessageBoxes.h"
#include "ui/frmHistorie.h"
#include "ui/MessageDialog.h"
#include "ui/PresetManager.h"
#include "ui/PreviewView.h"
#include "ui/Settings.h"
#include "ui/appicon.h"
#include "ui/frmAbout.h"
#include "ui/frmHelp.h"
#include "ui/frmMain.h"
#include "ui/windowlogic.h"
#include "version.h"

namespace {

std::vector<std::string> argumentsOf(int argc, char** argv) { return std::vector<std::string>(argv + 1, argv + argc); }

void settle() {
    QEventLoop loop;
    QTimer::singleShot(200, &loop, &QEventLoop::quit);
    loop.exec();
}

// Each layout at the start size and enlarged, the edit box too; at a device pixel ratio above 1 the
// start size only, the ratio in the file name ("@2x").
void saveScreenshots(frmMain& window, MessageBoxes& dialogs, const QString& dir) {
    QDir().mkpath(dir);
    const qreal ratio = window.devicePixelRatioF();
    const QString scale = ratio > 1 ? QStringLiteral("@%1x").arg(ratio) : QString();
    const QSize start = window.size();
    const auto save = [&](const char* name, bool enlarged) {
        if (enlarged && ratio > 1) return;
        window.resize(enlarged ? QSize(1600, 1000) : start);
        settle();
        window.grab().save(dir + QStringLiteral("/zelvar-%1%2.png").arg(QString::fromLatin1(name), scale));
    };
    save("simple", false);
    save("simple-1600x1000", true);

    window.mnuFunkce_Click(1);
    window.findChild<QLineEdit*>(QStringLiteral("txtJmeno"))->setText(QStringLiteral("Foto_:::"));
    save("professional", false);
    save("professional-1600x1000", true);
    window.findChild<QPushButton*>(QStringLiteral("cmdEdit"))->click();
    save("professional-edit-1600x1000", true);
    window.findChild<QPushButton*>(QStringLiteral("cmdEdit"))->click();
    window.resize(start);

    frmAbout about(dialogs, &window, window.folder());
    about.show();
    settle();
    about.grab().save(dir + QStringLiteral("/zelvar-about%1.png").arg(scale));
    about.close();
    const auto shoot = [&](QWidget& widget, const char* name) {
        settle();
        widget.grab().save(dir + QStringLiteral("/zelvar-%1%2.png").arg(QString::fromLatin1(name), scale));
    };

    // A folder whose preview holds markers beside renames, part of it selected.
    QTemporaryDir sample;
    for (const char* name : {"a.jpg", "b.jpg", "c.png", "foto.jpg"})
        QFile(sample.filePath(QLatin1String(name))).open(QIODevice::WriteOnly);
    window.openFolder(sample.path());
    window.findChild<QLineEdit*>(QStringLiteral("txtJmeno"))->setText(QStringLiteral("foto"));
    auto* preview = window.findChild<PreviewView*>(QStringLiteral("txtTest"));
    preview->setFocus();
    preview->select({0, 4}, {2, 9});
    shoot(window, "markers");

    QString facts = QString::fromStdString(zelvar::toUtf8(systemInfoText(window.folder())));
    facts.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    MessageDialog info(QMessageBox::Information, QStringLiteral("Zelvar"), facts, &window);
    info.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    info.show();
    shoot(info, "sysinfo");
    info.close();

    const QString name = QString(120, QChar(u'ž')) + QStringLiteral("_dlouhé_jméno_bez_mezer_") +
                         QString(100, QLatin1Char('x')) + QStringLiteral(".txt");
    MessageDialog longName(QMessageBox::Warning, QStringLiteral("Zelvar"),
                           QStringLiteral("Soubor či složka >") + name + QStringLiteral("< již existuje"), &window);
    longName.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    longName.show();
    shoot(longName, "longname");
    longName.close();

    // The presets: the menu "Funkce", its submenu with two saved presets and the dialog managing them
    // (scripts/screenshot gives the program a configuration folder of its own).
    for (const char* preset : {"Fotky z dovolené", "Skeny dokumentů"})
        zelvar::savePreset(preset, zelvar::Preset{window.options(), 1}, false);
    auto* functions = window.findChild<QMenu*>(QStringLiteral("mnuFunkceMenu"));
    functions->popup(window.mapToGlobal(QPoint(40, 30)));
    shoot(*functions, "menu-functions");
    window.fillPresetMenu();
    auto* presets = window.findChild<QMenu*>(QStringLiteral("mnuPredvolby"));
    presets->popup(functions->geometry().topRight());
    shoot(*presets, "menu-presets");
    presets->close();
    functions->close();
    PresetManager manager(dialogs, &window);
    manager.show();
    shoot(manager, "presets-manager");
    manager.close();

    frmHelp* help = frmHelp::open(&window);
    help->txtHledat->setText(QStringLiteral("příliš dlouhé"));
    help->find();
    shoot(*help, "help");
    help->close();

    // The sample folder renamed and taken back through the menu, every box answered with its default
    // button; the two reports are kept as pictures.
    QTimer answer;
    answer.setInterval(50);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<MessageDialog*>(QApplication::activeModalWidget());
        if (!box || box->buttons().empty()) return;
        if (box->text().startsWith(QStringLiteral("Přejmenování ukončeno")))
            box->grab().save(dir + QStringLiteral("/zelvar-rename-report%1.png").arg(scale));
        if (box->text().startsWith(QStringLiteral("Vrácení ukončeno")))
            box->grab().save(dir + QStringLiteral("/zelvar-undo-report%1.png").arg(scale));
        if (box->text().startsWith(QStringLiteral("Opravdu chcete vrátit")))
            box->grab().save(dir + QStringLiteral("/zelvar-undo-question%1.png").arg(scale));
        (box->defaultButton() ? box->defaultButton() : box->buttons().front())->click();
    });
    answer.start();
    window.findChild<QLineEdit*>(QStringLiteral("txtJmeno"))->setText(QStringLiteral("Foto_:::"));
    window.cmdPrejmenovat_Click();
    window.mnuVratit_Click();
    answer.stop();

    frmHistorie history(
        window.folder(), [](const std::string&) {}, &window);
    history.show();
    shoot(history, "history");
    history.close();
}

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

    const bool shots = !qEnvironmentVariable("ZELVAR_SCREENSHOT_DIR").isEmpty();
    // Pictures are taken of a clean start, whatever the last session left.
    const SavedWindow saved = shots ? SavedWindow() : loadSettings();
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

    if (shots) {
        QTimer::singleShot(300, &window, [&] {
            saveScreenshots(window, dialogs, qEnvironmentVariable("ZELVAR_SCREENSHOT_DIR"));
            window.close();
        });
    }
    const int status = app.exec();
    if (!shots) saveSettings(captureWindow(window));
    return status;
}
