// The window on the desktop: where it starts, what it remembers and dropped folders.
#include <QMimeData>
#include <fstream>
#include <QtTest>

#include "ui/Settings.h"
#include "version.h"
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
        const zelvar::testing::Entries entries = {{"inner", "<folder>"},          {"inner/deep", "<folder>"},
                                                  {"inner/file.txt", ""},         {"inner/dangling", "-> nowhere"},
                                                  {"Fotky_\xe8\xed", "<folder>"}, {"Fotky_\xe8\xed/a.jpg", ""}};
        TempFolder root(entries);
        // The argument (none: the folder remembered), and the folder chosen relative to the temporary folder
        // ("-": refused). A file, also a link that leads nowhere, opens the folder that holds it; bytes that are no
        // UTF-8 are kept.
        const std::pair<std::optional<std::string>, const char*> cases[] = {{"", "-"},
                                                                            {"./inner/deep/..", "inner"},
                                                                            {root / "inner/deep", "inner/deep"},
                                                                            {"inner/nowhere.txt", "-"},
                                                                            {root / "inner/file.txt", "inner"},
                                                                            {"inner/dangling", "inner"},
                                                                            {"Fotky_\xe8\xed/a.jpg", "Fotky_\xe8\xed"},
                                                                            {std::nullopt, "inner"}};
        for (const auto& [argument, expected] : cases) {
            const bool refuse = expected == std::string("-");
            bool refused = !refuse;  // the opposite, so that the call must set it
            const std::string got = startFolder(argument, root.path(), root / "inner", refused);
            QVERIFY2(refused == refuse, argument.value_or("(none)").c_str());
            QCOMPARE(got, refuse ? std::string() : root / expected);
        }
    }

    // The executable itself: help and version on standard output, status 0, without a display; an unknown option
    // or a second path is a usage error on standard error, status 2, before any window opens.
    void commandLineOfTheExecutable() {
        // the arguments, the exit status, what starts its standard output (0) or is on its standard error (2)
        const QString usage = QStringLiteral("Usage: zelvar [FOLDER | FILE]\n");
        const std::tuple<QStringList, int, QString> cases[] = {
            {{"--help"}, 0, usage},
            {{"--version"}, 0, QStringLiteral("zelvar %1\n").arg(zelvar::kVersion)},
            {{"a", "b"}, 2, "zelvar: only one FOLDER or FILE may be given\n" + usage}};
        for (const auto& [args, status, text] : cases) {
            QProcess run;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            // Without a display a window could not even start: what answers here opened none.
            for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) env.remove(name);
            if (status == 2) env.insert("QT_QPA_PLATFORM", "offscreen");
            run.setProcessEnvironment(env);
            run.start(QStringLiteral(ZELVAR_WINDOW_BINARY), args);
            QVERIFY2(run.waitForFinished(20000), qPrintable(args.join(' ')));
            QVERIFY2(run.exitStatus() == QProcess::NormalExit && run.exitCode() == status, qPrintable(args.join(' ')));
            const QString out = run.readAllStandardOutput(), err = run.readAllStandardError();
            QVERIFY2(status ? out.isEmpty() && err.contains(text) : out.startsWith(text), qPrintable(out));
            QVERIFY2(status || !err.contains("zelvar"), qPrintable(err));  // Qt may warn too
        }
    }

    // Two starts: what the first leaves, the second finds; the name pattern starts afresh. A damaged
    // file gives the start values.
    void settingsRoundTrip() {
        openProfessional({"a.jpg"}, {"sub"});
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
        QVERIFY(w->layoutMode() == 1 && w->options().optFile == zelvar::File::Oboje);
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

    // The window opens inside the free area of its screen (offscreen: 800x600, less than the start size), can be made
    // smaller still, and every control can then be scrolled into view; a window larger than the start size scrolls
    // nothing.
    void windowFitsItsScreen() {
        openProfessional({"a.txt"});
        setText("txtJmeno", "n:");  // the numbering frame too
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        const QRect free = w->screen()->availableGeometry();
        QCOMPARE(free.intersected(w->frameGeometry()), w->frameGeometry());
        QVERIFY(w->minimumSize().width() <= free.width() / 2 && w->minimumSize().height() <= free.height() / 2);
        auto* area = ui<QScrollArea>("clientArea");
        w->resize(w->minimumSize());
        QCoreApplication::processEvents();
        QVERIFY(area->verticalScrollBar()->isVisible() && area->horizontalScrollBar()->isVisible());
        const QRect viewport = area->viewport()->rect();
        int reached = 0;
        for (QWidget* c : ui<QWidget>("client")->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (!c->isVisibleTo(w.get())) continue;
            area->ensureWidgetVisible(c, 0, 0);
            const QRect seen(c->mapTo(area->viewport(), QPoint(0, 0)), c->size());
            // What fits the view is shown whole, what is larger fills part of it.
            const bool fits = seen.width() <= viewport.width() && seen.height() <= viewport.height();
            QVERIFY2(fits ? viewport.contains(seen) : viewport.intersects(seen), qPrintable(c->objectName()));
            ++reached;
        }
        QVERIFY(reached > 15);
        // "Přejmenovat" at the bottom right can be clicked once scrolled to.
        area->ensureWidgetVisible(ui<QToolButton>("cmdPrejmenovat"));
        QVERIFY(renameOffered());
        QTest::mouseClick(ui<QToolButton>("cmdPrejmenovat"), Qt::LeftButton);
        QCOMPARE(asked(0), QStringLiteral("Opravdu chcete přejmenovat vybrané soubory?"));

        w->resize(1200, 900);
        QCoreApplication::processEvents();
        QVERIFY(!area->verticalScrollBar()->isVisible() && !area->horizontalScrollBar()->isVisible());
        QVERIFY(ui<QWidget>("txtTest")->height() > 400);
    }

    void droppedFolderOrFileOpensItsFolder() {
        open({"top.txt", "inner/one.txt"}, {"inner"});
        const QString inner = qpath(*dir) + "/inner";
        QVERIFY(drop(w.get(), {inner}));
        QCOMPARE(preview(), rows({"one.txt -> * beze změny"}));
        QVERIFY(drop(w.get(), {qpath(*dir) + "/top.txt", inner}));  // the first one decides
        QCOMPARE(ui<QLineEdit>("txtCesta")->text(), qpath(*dir));
        // Nothing local: not taken, nothing moves.
        QVERIFY(!drop(w.get(), {"https://example.org/x/"}) && !drop(w.get(), {qpath(*dir) + "/missing.txt"}));
        // A rename run holds the window (its controls are disabled): a drop then changes nothing.
        w->centralWidget()->setEnabled(false);
        drop(w.get(), {inner});
        QCOMPARE(QString::fromStdString(w->folder()), qpath(*dir));
        QVERIFY(dialogs->asked.empty());
    }
};

QTEST_MAIN(TestDesktop)
#include "test_desktop.moc"
