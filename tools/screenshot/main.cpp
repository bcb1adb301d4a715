// zelvar-screenshot: pictures of the real window for the README and for checking the layout by eye.
// It is a developer's tool (scripts/screenshot runs it under a virtual X server) and not installed.
//
// zelvar-screenshot OUTDIR
//     Pictures of the window alone, as grab() draws it: both layouts at the start size and enlarged,
//     the edit box, the About box, a preview with markers and a selection, System Info, a box with a
//     long name, the menu "Funkce" with its presets and their dialog, the help, the reports of a rename
//     and of its undo, the history. At a device pixel ratio above 1 the names carry it ("@2x").
// zelvar-screenshot --screen NAME OUTDIR
//     The whole screen, window manager and all, as the window opens on it: the simple layout, the
//     professional one, the edit box and the first question of a rename (zelvar-screen-NAME-*.png,
//     taken by ImageMagick's `import -window root`). Says where the window sits and exits 1 when its
//     frame leaves the free area of the screen.
//
// The window starts in the home folder with start values; the caller picks HOME and the XDG folders.
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "platform/presets.h"
#include "ui/MessageBoxes.h"
#include "ui/MessageDialog.h"
#include "ui/PresetManager.h"
#include "ui/PreviewView.h"
#include "ui/appicon.h"
#include "ui/frmAbout.h"
#include "ui/frmHelp.h"
#include "ui/frmHistorie.h"
#include "ui/frmMain.h"
#include "ui/windowlogic.h"

namespace {

void settle(int ms = 200) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

template <class T>
T* part(frmMain& window, const char* name) {
    return window.findChild<T*>(QString::fromLatin1(name));
}

// Each layout at the start size and enlarged, the edit box too; at a device pixel ratio above 1 the
// start size only, the ratio in the file name ("@2x").
void windowPictures(frmMain& window, MessageBoxes& dialogs, const QString& dir) {
    const qreal ratio = window.devicePixelRatioF();
    const QString scale = ratio > 1 ? QStringLiteral("@%1x").arg(ratio) : QString();
    const QSize start = window.size();
    const auto file = [&](const char* name) {
        return dir + QStringLiteral("/zelvar-%1%2.png").arg(QString::fromLatin1(name), scale);
    };
    const auto save = [&](const char* name, bool enlarged) {
        if (enlarged && ratio > 1) return;
        window.resize(enlarged ? QSize(1600, 1000) : start);
        settle();
        window.grab().save(file(name));
    };
    save("simple", false);
    save("simple-1600x1000", true);

    window.mnuFunkce_Click(1);
    part<QLineEdit>(window, "txtJmeno")->setText(QStringLiteral("Foto_:::"));
    save("professional", false);
    save("professional-1600x1000", true);
    part<QPushButton>(window, "cmdEdit")->click();
    save("professional-edit-1600x1000", true);
    part<QPushButton>(window, "cmdEdit")->click();
    window.resize(start);

    const auto shoot = [&](QWidget& widget, const char* name) {
        settle();
        widget.grab().save(file(name));
    };
    frmAbout about(dialogs, &window, window.folder());
    about.show();
    shoot(about, "about");
    about.close();

    // A folder whose preview holds markers beside renames, part of it selected.
    QTemporaryDir sample;
    for (const char* name : {"a.jpg", "b.jpg", "c.png", "foto.jpg"})
        QFile(sample.filePath(QLatin1String(name))).open(QIODevice::WriteOnly);
    window.openFolder(sample.path());
    part<QLineEdit>(window, "txtJmeno")->setText(QStringLiteral("foto"));
    auto* preview = part<PreviewView>(window, "txtTest");
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
    // (the caller gives the program a configuration folder of its own).
    for (const char* preset : {"Fotky z dovolené", "Skeny dokumentů"})
        zelvar::savePreset(preset, zelvar::Preset{window.options(), 1}, false);
    auto* functions = part<QMenu>(window, "mnuFunkceMenu");
    functions->popup(window.mapToGlobal(QPoint(40, 30)));
    shoot(*functions, "menu-functions");
    window.fillPresetMenu();
    auto* presets = part<QMenu>(window, "mnuPredvolby");
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
    // button; the two reports and the undo's question are kept as pictures.
    QTimer answer;
    answer.setInterval(50);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<MessageDialog*>(QApplication::activeModalWidget());
        if (!box || box->buttons().empty()) return;
        if (box->text().startsWith(QStringLiteral("Přejmenování ukončeno"))) box->grab().save(file("rename-report"));
        if (box->text().startsWith(QStringLiteral("Vrácení ukončeno"))) box->grab().save(file("undo-report"));
        if (box->text().startsWith(QStringLiteral("Opravdu chcete vrátit"))) box->grab().save(file("undo-question"));
        (box->defaultButton() ? box->defaultButton() : box->buttons().front())->click();
    });
    answer.start();
    part<QLineEdit>(window, "txtJmeno")->setText(QStringLiteral("Foto_:::"));
    window.cmdPrejmenovat_Click();
    window.mnuVratit_Click();
    answer.stop();

    frmHistorie history(
        window.folder(), [](const std::string&) {}, &window);
    history.show();
    shoot(history, "history");
    history.close();
}

// The frame of a top-level widget against the free area of its screen; false when it sticks out.
bool reportPlace(const QWidget& widget, const QString& what) {
    const QRect frame = widget.frameGeometry();
    const QRect free = widget.screen()->availableGeometry();
    const bool inside = free.contains(frame);
    std::printf("%s: frame %dx%d at %d,%d, free area %dx%d at %d,%d (logical pixels)%s\n", qPrintable(what),
                frame.width(), frame.height(), frame.x(), frame.y(), free.width(), free.height(), free.x(), free.y(),
                inside ? "" : " - NOT ON THE SCREEN");
    return inside;
}

bool captureScreen(const QString& path) {
    settle(600);  // the window manager draws its frame
    const int status =
        QProcess::execute(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"), path});
    if (status != 0) std::fprintf(stderr, "zelvar-screenshot: import failed (%d) for %s\n", status, qPrintable(path));
    return status == 0;
}

// The window as it opens on this screen, then in the professional layout, with the edit box, and the
// first question of a rename over it.
bool screenPictures(frmMain& window, const QString& dir, const QString& name) {
    const auto file = [&](const char* what) {
        return dir + QStringLiteral("/zelvar-screen-%1-%2.png").arg(name, QString::fromLatin1(what));
    };
    bool fine = true;
    const auto take = [&](const QWidget& shown, const char* what) {
        fine = captureScreen(file(what)) && fine;
        fine = reportPlace(shown, name + QLatin1Char(' ') + QLatin1String(what)) && fine;
    };
    take(window, "simple");
    window.mnuFunkce_Click(1);
    part<QLineEdit>(window, "txtJmeno")->setText(QStringLiteral("Foto_:::"));
    take(window, "professional");
    part<QPushButton>(window, "cmdEdit")->click();
    take(window, "edit");
    part<QPushButton>(window, "cmdEdit")->click();

    // The question is taken and answered "Ne": nothing is renamed.
    QTimer answer;
    answer.setInterval(100);
    bool asked = false;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<MessageDialog*>(QApplication::activeModalWidget());
        if (!box || box->buttons().empty() || asked) return;
        asked = true;
        take(*box, "question");
        for (QPushButton* b : box->buttons()) {
            if (b->text() == QStringLiteral("Ne")) {
                b->click();
                return;
            }
        }
        box->reject();
    });
    answer.start();
    window.cmdPrejmenovat_Click();
    answer.stop();
    return fine && asked;
}

int usage() {
    std::fputs("Usage: zelvar-screenshot OUTDIR\n       zelvar-screenshot --screen NAME OUTDIR\n", stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments().mid(1);
    const bool screen = !args.isEmpty() && args.front() == QStringLiteral("--screen");
    if (args.size() != (screen ? 3 : 1)) return usage();
    const QString dir = args.back();
    if (!QDir().mkpath(dir)) {
        std::fprintf(stderr, "zelvar-screenshot: cannot make %s\n", qPrintable(dir));
        return 1;
    }
    QApplication::setApplicationName(QStringLiteral("Zelvar"));
    QApplication::setDesktopFileName(QStringLiteral("io.github.zelvar.Zelvar"));
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setWindowIcon(zelvarIcon());

    MessageBoxes dialogs;
    frmMain window(dialogs);
    dialogs.setParent(&window);
    window.show();
    int status = 0;
    QTimer::singleShot(300, &window, [&] {
        if (screen)
            status = screenPictures(window, dir, args.at(1)) ? 0 : 1;
        else
            windowPictures(window, dialogs, dir);
        window.close();
    });
    app.exec();
    return status;
}
