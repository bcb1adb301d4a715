// The zelvar executable: the main window on the application's message boxes.
//
// With ZELVAR_SCREENSHOT_DIR set, the window instead saves pictures of itself into that folder
// (simple layout, professional layout with a counter pattern, the About box) and quits.
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTimer>

#include "ui/MessageBoxes.h"
#include "ui/appicon.h"
#include "ui/frmAbout.h"
#include "ui/frmMain.h"

namespace {

void saveScreenshots(frmMain& window, MessageBoxes& dialogs, const QString& dir) {
    QDir().mkpath(dir);
    window.grab().save(dir + QStringLiteral("/zelvar-simple.png"));

    window.mnuFunkce_Click(1);
    window.txtJmeno->setText(QStringLiteral("Foto_:::"));
    QApplication::processEvents();
    window.grab().save(dir + QStringLiteral("/zelvar-professional.png"));

    frmAbout about(dialogs, &window);
    about.show();
    QApplication::processEvents();
    about.grab().save(dir + QStringLiteral("/zelvar-about.png"));
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
