// The window on the desktop: where it starts, what it remembers, dropped folders, the drive list
// inside the tree, the folder tree's scrolling and the colour of marker rows.
#include <QMimeData>
#include <QScrollBar>
#include <QtTest>

#include <sys/utsname.h>
#include <unicode/uversion.h>

#include "platform/volumes.h"
#include "ui/FolderDrop.h"
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

// How many pixels of a row band of an image have (nearly) the given colour.
int pixelsOf(const QImage& image, int top, int height, const QColor& colour) {
    int count = 0;
    for (int y = std::max(0, top); y < std::min(image.height(), top + height); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
                    std::abs(c.blue() - colour.blue()) <
                60)
                ++count;
        }
    return count;
}

}  // namespace

class TestDesktop : public QObject, protected WindowFixture {
    Q_OBJECT
    QTemporaryDir config_;

private slots:
    void initTestCase() {
        QVERIFY(config_.isValid());
        qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
    }
    void cleanup() { close(); }

    void startFolderFromTheCommandLine_data() {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("expected");  // relative to the temporary folder; "-" none
        QTest::addColumn<bool>("refused");
        QTest::newRow("no argument: the remembered folder") << QString() << "inner" << false;
        QTest::newRow("relative to the current directory") << "inner/deep"
                                                           << "inner/deep" << false;
        QTest::newRow("dot and dot-dot") << "./inner/deep/.."
                                         << "inner" << false;
        QTest::newRow("absolute") << "@/inner"
                                  << "inner" << false;
        QTest::newRow("missing folder") << "nowhere"
                                        << "-" << true;
        QTest::newRow("a file, not a folder") << "inner/file.txt"
                                              << "-" << true;
        QTest::newRow("empty argument") << ""
                                        << "-" << true;
    }
    void startFolderFromTheCommandLine() {
        QFETCH(QString, argument);
        QFETCH(QString, expected);
        TempFolder root;
        root.folder("inner");
        root.folder("inner/deep");
        root.file("inner/file.txt");
        argument.replace("@", root.qpath());
        bool refused = false;
        const std::string got = startFolder(argument, root.path(), root.path() + "/inner", refused);
        QTEST(refused, "refused");
        QCOMPARE(QString::fromStdString(got), expected == "-" ? QString() : root.qpath() + "/" + expected);
    }

    // Two starts: what the first leaves, the second finds; options and patterns start afresh.
    void settingsRoundTrip() {
        open({"a.jpg", "b.txt"}, {"sub"});
        QVERIFY(settingsPath().startsWith(config_.path()));
        QFile::remove(settingsPath());
        SavedWindow first = loadSettings();
        QCOMPARE(first.layout, 0);
        QCOMPARE(first.filter, QStringLiteral("*.*"));
        QVERIFY(first.folder.empty() && first.geometry.isEmpty());

        w->mnuFunkce_Click(1);
        click(ui<QButtonGroup>("optFile"), 2);
        ui<QLineEdit>("txtVyhlFiltr")->setText("*.jpg;*.txt");
        ui<QLineEdit>("txtJmeno")->setText("x:");
        w->openFolder(dir->qpath() + "/sub");
        w->move(37, 41);
        QVERIFY(saveSettings(captureWindow(*w)));
        QVERIFY(QFile::exists(config_.path() + "/zelvar/zelvar.conf"));
        close();

        const SavedWindow saved = loadSettings();
        dialogs = std::make_unique<ScriptedDialogs>();
        w = std::make_unique<frmMain>(*dialogs, saved.folder);
        QCOMPARE(saved.layout, 1);
        QCOMPARE(saved.kind, 2);
        QCOMPARE(saved.filter, QStringLiteral("*.jpg;*.txt"));
        QVERIFY(saved.folder.empty());  // the temporary folder is gone: home instead
        restoreWindow(*w, saved);
        QCOMPARE(w->layoutMode(), 1);
        QCOMPARE(w->options().optFile, 2);
        QCOMPARE(ui<QLineEdit>("txtVyhlFiltr")->text(), QStringLiteral("*.jpg;*.txt"));
        QCOMPARE(w->pos(), QPoint(37, 41));
        QCOMPARE(ui<QLineEdit>("txtJmeno")->text(), QStringLiteral("*"));
        QVERIFY(dialogs->asked.empty());
    }

    void rememberedFolderThatStillExists() {
        open({"a.txt"}, {"sub"});
        SavedWindow saved;
        saved.folder = dir->path() + "/sub";
        QVERIFY(saveSettings(saved));
        QCOMPARE(loadSettings().folder, dir->path() + "/sub");
    }

    void damagedSettingsGiveStartValues_data() {
        QTest::addColumn<QByteArray>("content");
        static const char garbage[] = "\x01\x02[[[\xff\xfe=\n=x\n[window\nlayout=";
        QTest::newRow("garbage") << QByteArray(garbage, sizeof garbage - 1);
        QTest::newRow("values out of range")
            << QByteArray("[window]\nlayout=7\ngeometry=nonsense\n[listing]\nkind=-3\nfolder=relative/x\n");
        QTest::newRow("wrong types") << QByteArray("[window]\nlayout=@Variant(\\0\\0\\0\\x7f)\n[listing]\nkind=two\n");
    }
    void damagedSettingsGiveStartValues() {
        QFETCH(QByteArray, content);
        QDir().mkpath(config_.path() + "/zelvar");
        QFile file(settingsPath());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
        file.close();
        const SavedWindow saved = loadSettings();
        QVERIFY(saved.layout == 0 && saved.kind == 0 && saved.folder.empty());
        open({"a.txt"});
        restoreWindow(*w, saved);  // a geometry Qt cannot read is left alone
        QCOMPARE(w->layoutMode(), 0);
        QVERIFY(dialogs->asked.empty());
    }

    void unreadableSettingsGiveStartValues() {
        if (::geteuid() == 0) QSKIP("root reads every file");
        SavedWindow saved;
        saved.layout = 1;
        QVERIFY(saveSettings(saved));
        QFile::setPermissions(settingsPath(), QFileDevice::WriteOwner);
        QCOMPARE(loadSettings().layout, 0);
        QFile::setPermissions(settingsPath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }

    void droppedFolderOrFileOpensItsFolder() {
        open({"top.txt", "inner/one.txt"}, {"inner"});
        const QString inner = dir->qpath() + "/inner";
        QVERIFY(drop(w.get(), {inner}));
        QCOMPARE(QString::fromStdString(w->folder()), inner);
        QCOMPARE(preview(), rows({"one.txt -> * beze změny"}));

        QVERIFY(drop(w.get(), {dir->qpath() + "/top.txt", inner}));  // the first one decides
        QCOMPARE(QString::fromStdString(w->folder()), dir->qpath());
        QCOMPARE(ui<QLineEdit>("txtCesta")->text(), dir->qpath());

        // Nothing local: not taken, nothing moves.
        QVERIFY(!drop(w.get(), {"https://example.org/x/"}));
        QVERIFY(!drop(w.get(), {dir->qpath() + "/missing.txt"}));
        QCOMPARE(QString::fromStdString(w->folder()), dir->qpath());
        QVERIFY(dialogs->asked.empty());

        // A rename run holds the window (its controls are disabled): a drop then changes nothing.
        w->centralWidget()->setEnabled(false);
        drop(w.get(), {inner});
        QCOMPARE(QString::fromStdString(w->folder()), dir->qpath());
        w->centralWidget()->setEnabled(true);
    }

    void driveFollowsTheFolderIntoAnotherVolume() {
        open({"top.txt"}, {"zmnt", "zmnt/zusb", "zmnt/zusb/photos"});
        const std::string mount = dir->path() + "/zmnt/zusb";
        w->setVolumes({{dir->path(), "", "ext4", "/dev/vda"}, {mount, "USB", "vfat", "/dev/sdz1"}});
        QCOMPARE(ui<QComboBox>("drvDisk")->currentIndex(), 0);
        const std::string root = ui<FolderTree>("dirD")->root();
        // The tree shows the outer volume; the user walks down into the inner one.
        const auto found = ui<FolderTree>("dirD")->findItems("zmnt", Qt::MatchExactly | Qt::MatchRecursive);
        QCOMPARE(found.size(), 1);
        ui<FolderTree>("dirD")->setCurrentItem(found.front());
        QCOMPARE(ui<QComboBox>("drvDisk")->currentIndex(), 0);
        QTreeWidgetItem* usb =
            ui<FolderTree>("dirD")->findItems("zusb", Qt::MatchExactly | Qt::MatchRecursive).value(0);
        QVERIFY(usb);
        ui<FolderTree>("dirD")->setCurrentItem(usb);
        QCOMPARE(ui<QComboBox>("drvDisk")->currentIndex(), 1);
        QCOMPARE(ui<FolderTree>("dirD")->root(), root);  // the tree itself stays where it was
        ui<FolderTree>("dirD")->setCurrentItem(usb->parent());
        QCOMPARE(ui<QComboBox>("drvDisk")->currentIndex(), 0);
    }

    void folderTreeNeverScrollsNamesOffTheLeft() {
        const QString longName = QString(60, QLatin1Char('n'));
        QStringList folders;
        QString path;
        for (int depth = 0; depth < 8; ++depth) {
            path += (path.isEmpty() ? "" : "/") + longName + QString::number(depth);
            folders << path;
        }
        open({}, folders);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        const QString deepest = dir->qpath() + "/" + path;
        w->openFolder(deepest);
        QCOMPARE(QString::fromStdString(ui<FolderTree>("dirD")->path()), deepest);
        QApplication::processEvents();
        QScrollBar* sideways = ui<FolderTree>("dirD")->horizontalScrollBar();
        QVERIFY(sideways->maximum() > 0);  // the names are wider than the tree
        QCOMPARE(sideways->value(), 0);
        const QRect current = ui<FolderTree>("dirD")->visualItemRect(ui<FolderTree>("dirD")->currentItem());
        QVERIFY(ui<FolderTree>("dirD")->viewport()->rect().contains(
            QPoint(ui<FolderTree>("dirD")->viewport()->width() / 2, current.center().y())));

        // Walking with the keys keeps the user's sideways position.
        sideways->setValue(sideways->maximum() / 3);
        const int kept = sideways->value();
        QTest::keyClick(ui<FolderTree>("dirD"), Qt::Key_Up);
        QTest::keyClick(ui<FolderTree>("dirD"), Qt::Key_Up);
        QCOMPARE(sideways->value(), kept);
    }

    // The help window: opened by both help items, once per window, found text selected in turn.
    void helpWindow() {
        open({});
        ui<QAction>("mnuObsah")->trigger();
        auto* help = w->findChild<frmHelp*>();
        QVERIFY(help && help->isVisible());
        QVERIFY(!QApplication::activeModalWidget());  // the main window stays usable beside it
        const QString text = help->txtNapoveda->toPlainText();
        for (const char* needed :
             {"Záměnné znaky", "\\y", "Foto_001.jpg", "Bez diakritiky", "Zrušit pauzy", "Formát+Přesun",
              "Potvrzovat každý soubor", "* beze změny", "* prázdné jméno", "* příliš dlouhé jméno", "* existuje",
              "výše", "níže", "Editovat ručně", "Vrátit přejmenování", "zelvar-cli --undo"})
            QVERIFY2(text.contains(QString::fromUtf8(needed)), needed);

        help->txtHledat->setText("beze změny");
        QVERIFY(help->find());
        const int first = help->txtNapoveda->textCursor().selectionStart();
        QCOMPARE(help->txtNapoveda->textCursor().selectedText(), QStringLiteral("beze změny"));
        QVERIFY(help->find());
        QVERIFY(help->txtNapoveda->textCursor().selectionStart() > first);
        int rounds = 0;
        while (help->txtNapoveda->textCursor().selectionStart() != first && rounds++ < 50) QVERIFY(help->find());
        QVERIFY(rounds < 50);  // went round to the first place again
        help->txtHledat->setText("nic takového tu není");
        QVERIFY(!help->find());

        help->close();
        w->mnuVyhledat_Click();
        QCOMPARE(w->findChildren<frmHelp*>().size(), 1);
        QVERIFY(help->isVisible());
        w->close();
        QVERIFY(!help->isVisible());
    }

    void systemInfoTellsTheFacts() {
        open({"a.txt"});
        const QString info = QString::fromStdString(zelvar::toUtf8(systemInfoText(dir->path())));
        const QStringList lines = info.split("\r\n");
        QCOMPARE(lines.value(0), QStringLiteral("Zelvar ") + QString::fromLatin1(zelvar::kVersion));
        QVERIFY(lines.value(1).startsWith(QStringLiteral("Qt ") + qVersion()));
        QVERIFY(lines.value(2).startsWith(QStringLiteral("ICU ") + U_ICU_VERSION_SHORT));
        struct utsname un;
        QVERIFY(::uname(&un) == 0);
        QVERIFY(info.contains(QStringLiteral("Jádro: Linux ") + un.release));
        QVERIFY(info.contains(QStringLiteral("Složka: ") + dir->qpath()));
        const auto volumes = zelvar::listVolumes();
        const int volume = zelvar::volumeIndexOf(volumes, dir->path());
        QVERIFY(volume >= 0);
        QVERIFY(info.contains(QStringLiteral("Souborový systém: ") + QString::fromStdString(volumes[volume].fsType) +
                              ", rozlišuje velká a malá písmena, nejdelší jméno 255 bajtů"));
        QVERIFY(systemInfoText(dir->path() + "/missing") != systemInfoText(dir->path()));
    }

    // Marker rows in their own colour, the text itself unchanged.
    void markerRowsInTheirOwnColour() {
        open({"A.txt", "b.txt"});
        click(ui<QButtonGroup>("optVelikost"), 1);  // lower case: A.txt is renamed, b.txt stays
        QCOMPARE(preview(), rows({"A.txt -> a.txt", "b.txt -> * beze změny"}));
        ui<PreviewView>("txtTest")->resize(400, 200);
        const QImage image = ui<PreviewView>("txtTest")->viewport()->grab().toImage();
        const int line = ui<PreviewView>("txtTest")->fontMetrics().lineSpacing();
        const QColor plain = ui<PreviewView>("txtTest")->palette().color(QPalette::Text);
        const QColor marker = PreviewView::markerColour();
        QVERIFY(plain != marker);
        QVERIFY(pixelsOf(image, 4, line, plain) > 10);
        QCOMPARE(pixelsOf(image, 4, line, marker), 0);
        QVERIFY(pixelsOf(image, 4 + line, line, marker) > 10);
        QCOMPARE(pixelsOf(image, 4 + line, line, plain), 0);
    }
};

QTEST_MAIN(TestDesktop)
#include "test_desktop.moc"
