// The window on the desktop: where it starts, what it remembers, dropped folders, the folder tree's
// scrolling, the help window, the system facts and the colour of marker rows.
#include <QMimeData>
#include <QtTest>

#include "ui/FolderTree.h"
#include "ui/Settings.h"
#include "ui/frmAbout.h"
#include "ui/frmHelp.h"
#include "ui/window_fixture.h"
#include "version.h"

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
        TempFolder root;
        root.fill({{"inner", "<folder>"}, {"inner/deep", "<folder>"}, {"inner/file.txt", ""}});
        const std::pair<std::string, std::string> cases[] = {
            // argument, the folder chosen relative to the temporary folder ("-": refused)
            {"", "-"},        {"inner/deep", "inner/deep"}, {"./inner/deep/..", "inner"}, {root / "inner", "inner"},
            {"nowhere", "-"}, {"inner/file.txt", "-"},
        };
        for (const auto& [argument, expected] : cases) {
            bool refused = false;
            const QString typed = argument.empty() ? QStringLiteral("") : QString::fromStdString(argument);
            const std::string got = startFolder(typed, root.path(), root / "inner", refused);
            QCOMPARE(refused, expected == "-");
            QCOMPARE(got, expected == "-" ? std::string() : root / expected);
        }
        bool refused = true;
        QCOMPARE(startFolder(QString(), root.path(), root / "inner", refused), root / "inner");  // remembered
        QVERIFY(!refused);
    }

    // Two starts: what the first leaves, the second finds; options and patterns start afresh.
    void settingsRoundTrip() {
        open({"a.jpg", "b.txt"}, {"sub"});
        QVERIFY(settingsPath().startsWith(qpath(config_)));
        QFile::remove(settingsPath());
        QCOMPARE(loadSettings().filter, QStringLiteral("*.*"));
        w->mnuFunkce_Click(1);
        click(ui<QButtonGroup>("optFile"), 2);
        ui<QLineEdit>("txtVyhlFiltr")->setText("*.jpg;*.txt");
        ui<QLineEdit>("txtJmeno")->setText("x:");
        w->openFolder(qpath(*dir) + "/sub");
        w->move(37, 41);
        QVERIFY(saveSettings(captureWindow(*w)));
        QCOMPARE(loadSettings().folder, dir->path() + "/sub");
        close();

        const SavedWindow saved = loadSettings();
        QVERIFY(saved.folder.empty());  // the temporary folder is gone: home instead
        dialogs = std::make_unique<ScriptedDialogs>();
        w = std::make_unique<frmMain>(*dialogs, saved.folder);
        restoreWindow(*w, saved);
        QCOMPARE(w->layoutMode(), 1);
        QCOMPARE(w->options().optFile, 2);
        QCOMPARE(ui<QLineEdit>("txtVyhlFiltr")->text(), QStringLiteral("*.jpg;*.txt"));
        QCOMPARE(w->pos(), QPoint(37, 41));
        QCOMPARE(ui<QLineEdit>("txtJmeno")->text(), QStringLiteral("*"));
    }

    void damagedSettingsGiveStartValues() {
        static const char garbage[] = "\x01\x02[[[\xff\xfe=\n=x\n[window\nlayout=";
        for (const QByteArray& content :
             {QByteArray(garbage, sizeof garbage - 1),
              QByteArray("[window]\nlayout=7\ngeometry=nonsense\n[listing]\nkind=-3\nfolder=relative/x\n"),
              QByteArray("[window]\nlayout=@Variant(\\0\\0\\0\\x7f)\n[listing]\nkind=two\n")}) {
            config_.folder("zelvar");
            QFile file(settingsPath());
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(content);
            file.close();
            const SavedWindow saved = loadSettings();
            QVERIFY(saved.layout == 0 && saved.kind == 0 && saved.folder.empty());
            open({"a.txt"});
            restoreWindow(*w, saved);  // a geometry Qt cannot read is left alone
            QCOMPARE(w->layoutMode(), 0);
        }
    }

    void droppedFolderOrFileOpensItsFolder() {
        open({"top.txt", "inner/one.txt"}, {"inner"});
        const QString inner = qpath(*dir) + "/inner";
        QVERIFY(drop(w.get(), {inner}));
        QCOMPARE(QString::fromStdString(w->folder()), inner);
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

    // The help window: opened by both help items, once per window, found text selected in turn.
    void helpWindow() {
        open({});
        ui<QAction>("mnuObsah")->trigger();
        auto* help = w->findChild<frmHelp*>();
        QVERIFY(help && help->isVisible());
        QVERIFY(!QApplication::activeModalWidget());  // the main window stays usable beside it
        const QString text = help->txtNapoveda->toPlainText();
        for (const char* needed : {"Záměnné znaky", "* beze změny", "* příliš dlouhé jméno", "Vrátit přejmenování"})
            QVERIFY2(text.contains(QString::fromUtf8(needed)), needed);
        help->txtHledat->setText("beze změny");
        QVERIFY(help->find());
        QCOMPARE(help->txtNapoveda->textCursor().selectedText(), QStringLiteral("beze změny"));
        help->close();
        w->mnuVyhledat_Click();
        QCOMPARE(w->findChildren<frmHelp*>().size(), 1);
        QVERIFY(help->isVisible());
    }
};

QTEST_MAIN(TestDesktop)
#include "test_desktop.moc"
