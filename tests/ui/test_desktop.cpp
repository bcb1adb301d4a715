// The window on the desktop: where it starts, what it remembers and dropped folders.
#include <QMimeData>
#include <fstream>
#include <QtTest>

#include "ui/Settings.h"
#include "ui/window_fixture.h"

namespace {

// Drops the given paths onto a widget as a file manager would; true when the drop was taken.
bool drop(QWidget* target, const QStringList& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& p : paths) urls << (p.contains("://") ? QUrl(p) : QUrl::fromLocalFile(p));
    data.setUrls(urls);
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::LinkAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent event(at, Qt::CopyAction | Qt::LinkAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
    QCoreApplication::processEvents();
    return event.isAccepted();
}

}  // namespace

class TestDesktop : public QObject, protected WindowFixture {
    Q_OBJECT
    TempFolder config_;

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config_.path())); }
    void cleanup() { close(); }

    void startFolderFromTheCommandLine() {
        TempFolder root({{"inner", "<folder>"}, {"inner/deep", "<folder>"}, {"inner/file.txt", ""}});
        // The argument, and the folder chosen relative to the temporary folder ("-": refused).
        const std::pair<std::string, std::string> cases[] = {
            {"", "-"},        {"./inner/deep/..", "inner"}, {root / "inner/deep", "inner/deep"},
            {"nowhere", "-"}, {"inner/file.txt", "-"},
        };
        for (const auto& [argument, expected] : cases) {
            bool refused = false;
            const std::string got = startFolder(QString::fromStdString(argument), root.path(), root / "inner", refused);
            QCOMPARE(refused, expected == "-");
            QCOMPARE(got, expected == "-" ? std::string() : root / expected);
        }
        bool refused = true;
        QCOMPARE(startFolder(QString(), root.path(), root / "inner", refused), root / "inner");  // remembered
        QVERIFY(!refused);
    }

    // Two starts: what the first leaves, the second finds; the name pattern starts afresh. A damaged
    // file gives the start values.
    void settingsRoundTrip() {
        open({"a.jpg"}, {"sub"});
        w->mnuFunkce_Click(1);
        click("optFile", 2);
        setText("txtVyhlFiltr", "*.jpg;*.txt");
        setText("txtJmeno", "x:");
        w->openFolder(qpath(*dir) + "/sub");
        w->move(37, 41);
        QVERIFY(settingsPath().startsWith(qpath(config_)) && saveSettings(captureWindow(*w)));
        QCOMPARE(loadSettings().folder, dir->path() + "/sub");
        close();
        const SavedWindow saved = loadSettings();
        QVERIFY(saved.folder.empty());  // the temporary folder is gone: home instead
        dialogs = std::make_unique<ScriptedDialogs>();
        w = std::make_unique<frmMain>(*dialogs, saved.folder);
        restoreWindow(*w, saved);
        QCOMPARE(w->layoutMode() + w->options().optFile, 3);
        QCOMPARE(ui<QLineEdit>("txtVyhlFiltr")->text(), QStringLiteral("*.jpg;*.txt"));
        QCOMPARE(w->pos(), QPoint(37, 41));
        QCOMPARE(ui<QLineEdit>("txtJmeno")->text(), QStringLiteral("*"));

        for (const QByteArray& content :
             {QByteArray("[window]\nlayout=7\ngeometry=nonsense\n[listing]\nkind=-3\nfolder=relative/x\n"),
              QByteArray("[window]\nlayout=@Variant(\\0\\0\\0\\x7f)\n[listing]\nkind=two\n")}) {
            std::ofstream(settingsPath().toStdString(), std::ios::trunc) << content.toStdString();
            const SavedWindow damaged = loadSettings();
            QVERIFY(damaged.layout == 0 && damaged.kind == 0 && damaged.folder.empty());
            open({"a.txt"});
            restoreWindow(*w, damaged);  // a geometry Qt cannot read is left alone
            QCOMPARE(w->layoutMode(), 0);
        }
    }

    void droppedFolderOrFileOpensItsFolder() {
        open({"top.txt", "inner/one.txt"}, {"inner"});
        const QString inner = qpath(*dir) + "/inner";
        QVERIFY(drop(w.get(), {inner}));
        QCOMPARE(preview(), rows({"one.txt -> * beze změny"}));
        QVERIFY(drop(w.get(), {qpath(*dir) + "/top.txt", inner}));  // the first one decides
        QCOMPARE(ui<QLineEdit>("txtCesta")->text(), qpath(*dir));
        // Nothing local: not taken, nothing moves.
        QVERIFY(!drop(w.get(), {"https://example.org/x/"}));
        QVERIFY(!drop(w.get(), {qpath(*dir) + "/missing.txt"}));
        // A rename run holds the window (its controls are disabled): a drop then changes nothing.
        w->centralWidget()->setEnabled(false);
        drop(w.get(), {inner});
        QCOMPARE(QString::fromStdString(w->folder()), qpath(*dir));
        QVERIFY(dialogs->asked.empty());
    }
};

QTEST_MAIN(TestDesktop)
#include "test_desktop.moc"
