// The zelvar executable: the main window on the application's message boxes.
//
// With ZELVAR_SCREENSHOT_DIR set, the window instead saves pictures of itself into that folder
// (simple layout, professional layout with a counter pattern, the About box) and quits.
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "ui/MessageBoxes.h"
#include "ui/appicon.h"
#include "ui/frmAbout.h"
#include "ui/frmMain.h"

namespace {

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

    frmAbout about(dialogs, &window);
    about.show();
    settle();
    about.grab().save(dir + QStringLiteral("/zelvar-about%1.png").arg(scale));
    about.close();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zelvar"));
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setWindowIcon(zelvarIcon());

    MessageBoxes dialogs;
    frmMain window(dialogs);
    dialogs.setParent(&window);
    window.show();

    const QString shots = qEnvironmentVariable("ZELVAR_SCREENSHOT_DIR");
    if (!shots.isEmpty()) {
        QTimer::singleShot(300, &window, [&] {
            saveScreenshots(window, dialogs, shots);
            window.close();
        });
    }
    return app.exec();
}
