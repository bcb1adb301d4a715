// Renaming and manual editing through the main window, on temporary folders with scripted answers.
// After every run the folder is read back, and each file's content must still be there exactly once.
#include <QtTest>
#include <unistd.h>

#include "platform/listing.h"
#include "ui/appicon.h"
#include "ui/frmAbout.h"
#include "ui/window_fixture.h"

using zelvar::Answer;
namespace box = zelvar::box;

namespace {
const QString kEnded = QStringLiteral("Přejmenování ukončeno\r\n\r\nPřejmenováno %1 souborů\r\n");
}

class TestRenameWindow : public QObject, protected WindowFixture {
    Q_OBJECT

    void enterEditMode() {
        w->mnuFunkce_Click(1);
        ui<QPushButton>("cmdEdit")->click();
        QVERIFY(w->RucniEditace);
    }

private slots:
    void cleanup() { close(); }

    void declinedRuns_data() {
        QTest::addColumn<QList<Answer>>("answers");
        QTest::addColumn<QString>("extAfter");
        QTest::addColumn<QString>("previewAfter");
        QTest::addColumn<int>("buildsAfter");
        QTest::newRow("no at the first question")
            << QList<Answer>{Answer::no} << "X" << rows({"a.txt -> n1.X", "b.txt -> n2.X"}) << 0;
        QTest::newRow("no at the extension question")
            << QList<Answer>{Answer::yes, Answer::no} << "*" << rows({"a.txt -> n1.txt", "b.txt -> n2.txt"}) << 1;
    }
    void declinedRuns() {
        QFETCH(QList<Answer>, answers);
        open({"a.txt", "b.txt"});
        ui<QLineEdit>("txtJmeno")->setText("n:");
        ui<QLineEdit>("txtExt")->setText("X");
        dialogs->answers.assign(answers.begin(), answers.end());
        const int builds = w->buildCount();
        ui<QToolButton>("cmdPrejmenovat")->click();

        QCOMPARE(int(dialogs->asked.size()), answers.size());
        QCOMPARE(asked(0), QStringLiteral("Opravdu chcete přejmenovat vybrané soubory?"));
        if (answers.size() > 1) QCOMPARE(asked(1), QStringLiteral("Měníte přípony.\r\nJe to tak správně?"));
        for (const AskedBox& box : dialogs->asked) QCOMPARE(box.style, box::yesNo);
        QTEST(ui<QLineEdit>("txtExt")->text(), "extAfter");
        QCOMPARE(QString::fromStdString(zelvar::toUtf8(w->options().txtExt)), ui<QLineEdit>("txtExt")->text());
        QTEST(preview(), "previewAfter");
        QTEST(w->buildCount() - builds, "buildsAfter");
        QCOMPARE(names(disk(dir->path())), QStringList({"a.txt", "b.txt"}));
        checkNothingLost();
        checkWindowBack();
    }

    // The folder listed is swapped for a link to another one before the run: nothing is renamed.
    void folderChangedSinceListing() {
        open({"a.txt", "b.txt"});
        ui<QLineEdit>("txtJmeno")->setText("n:");
        TempFolder elsewhere;
        const std::string listedPath = elsewhere.path() + "/listed", targetPath = elsewhere.path() + "/target";
        elsewhere.folder("target");
        writeFile(targetPath, "a.txt", "theirs");
        QCOMPARE(std::rename(dir->path().c_str(), listedPath.c_str()), 0);
        QCOMPARE(symlink(targetPath.c_str(), dir->path().c_str()), 0);
        const auto listed = disk(listedPath), target = disk(targetPath);
        dialogs->answers = {Answer::yes};
        ui<QToolButton>("cmdPrejmenovat")->click();

        const bool renamedNothing = disk(listedPath) == listed && disk(targetPath) == target;
        ::unlink(dir->path().c_str());  // the fixture's folder back in place, for its cleanup
        std::rename(listedPath.c_str(), dir->path().c_str());
        QVERIFY(renamedNothing);
        QCOMPARE(int(dialogs->asked.size()), 1);
        QCOMPARE(asked(0), QString::fromStdString("Složka >" + dir->path() +
                                                  "< se od načtení změnila.\r\nNic nebylo přejmenováno."));
        QCOMPARE(dialogs->asked[0].style, box::exclamation);
        QCOMPARE(preview(), rows({"a.txt -> n1.txt"}));  // refreshed: the folder the path led to then
        dialogs->answers.clear();
    }

    // The whole run, looked at from inside as it goes and from outside when it is over.
    void runAndRefresh() {
        open({"IMG_1.jpg", "IMG_2.jpg", "IMG_3.JPG"});
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        ui<QLineEdit>("txtJmeno")->setText("Foto_:::");
        dialogs->answers = {Answer::yes};

        bool probed = false;
        // Runs at the first moment the run lets events through.
        QTimer::singleShot(0, w.get(), [&] {
            probed = true;
            QVERIFY(QApplication::overrideCursor());
            QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
            QVERIFY(shown(ui<QLabel>("lblPracuji")) && shown(ui<QLabel>("lblPrace")));
            QCOMPARE(ui<QLabel>("lblPracuji")->text(), QStringLiteral("Pracuji! Čekejte prosím!"));
            QCOMPARE(ui<QLabel>("lblPrace")->text(), QStringLiteral("Foto_001.jpg"));
            QVERIFY(!w->centralWidget()->isEnabled() && !w->menuBar()->isEnabled());
            QTest::keyClick(w.get(), Qt::Key_P, Qt::ControlModifier);
            QCOMPARE(w->layoutMode(), 0);
            QVERIFY(!w->close());
        });
        Qt::CursorShape overReport = Qt::BlankCursor;
        dialogs->onAsk = [&] {
            if (QApplication::overrideCursor()) overReport = QApplication::overrideCursor()->shape();
        };
        ui<QToolButton>("cmdPrejmenovat")->click();

        QVERIFY(probed);
        QCOMPARE(int(dialogs->asked.size()), 2);
        QCOMPARE(asked(1), kEnded.arg(3));
        QCOMPARE(dialogs->asked[1].style, box::information);
        QCOMPARE(overReport, Qt::ArrowCursor);  // a box waits for the user, not the user for it
        QCOMPARE(names(disk(dir->path())), QStringList({"Foto_001.jpg", "Foto_002.jpg", "Foto_003.JPG"}));
        checkNothingLost();
        QCOMPARE(preview(), rows({"Foto_001.jpg -> * beze změny", "Foto_002.jpg -> * beze změny",
                                  "Foto_003.JPG -> * beze změny"}));
        QVERIFY(!ui<QToolButton>("cmdPrejmenovat")->isEnabled());
        checkWindowBack();
        QVERIFY(w->isVisible());
        QTest::keyClick(w.get(), Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(w->layoutMode(), 1);
    }

    void eachEntryAsked_data() {
        QTest::addColumn<QList<Answer>>("answers");
        QTest::addColumn<bool>("meddleAtFirst");  // uncheck the box and change the pattern
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<int>("entryQuestions");
        QTest::addColumn<int>("renamed");
        QTest::newRow("yes, no, yes") << QList<Answer>{Answer::yes, Answer::yes, Answer::no, Answer::yes} << false
                                      << QStringList{"b.txt", "n1.txt", "n3.txt"} << 3 << 2;
        QTest::newRow("no to each") << QList<Answer>{Answer::yes, Answer::no, Answer::no, Answer::no} << false
                                    << QStringList{"a.txt", "b.txt", "c.txt"} << 3 << 0;
        QTest::newRow("cancel at the second") << QList<Answer>{Answer::yes, Answer::yes, Answer::cancel} << false
                                              << QStringList{"b.txt", "c.txt", "n1.txt"} << 2 << 1;
        QTest::newRow("meddled with meanwhile")
            << QList<Answer>{Answer::yes, Answer::yes} << true << QStringList{"n1.txt", "n2.txt", "n3.txt"} << 1 << 3;
    }
    void eachEntryAsked() {
        QFETCH(QList<Answer>, answers);
        QFETCH(bool, meddleAtFirst);
        open({"a.txt", "b.txt", "c.txt"});
        ui<QLineEdit>("txtJmeno")->setText("n:");
        ui<QCheckBox>("chkKazdy")->setChecked(true);
        dialogs->answers.assign(answers.begin(), answers.end());
        QStringList captions;
        dialogs->onAsk = [&] {
            captions << ui<QLabel>("lblPrace")->text();
            if (!meddleAtFirst || dialogs->asked.size() != 2) return;
            // The box is read afresh for every entry; the run keeps the rows it started with.
            ui<QCheckBox>("chkKazdy")->setChecked(false);
            ui<QLineEdit>("txtJmeno")->setText("other");
        };
        ui<QToolButton>("cmdPrejmenovat")->click();

        QFETCH(int, entryQuestions);
        QFETCH(int, renamed);
        QCOMPARE(int(dialogs->asked.size()), entryQuestions + 2);
        QCOMPARE(asked(1), QStringLiteral("Chcete přejmenovat soubor >a.txt< na >n1.txt< ?"));
        for (int i = 1; i <= entryQuestions; ++i) {
            QCOMPARE(dialogs->asked[std::size_t(i)].style, box::yesNoCancel);
            QCOMPARE(captions[i], QStringLiteral("n%1.txt").arg(i));  // the entry the box asks about
        }
        QCOMPARE(asked(std::size_t(entryQuestions) + 1), kEnded.arg(renamed));
        QCOMPARE(dialogs->asked.back().style, box::information);
        QTEST(names(disk(dir->path())), "after");
        checkNothingLost();
        checkWindowBack();
    }

    // Two targets appear on disk after the preview was made: both renames fail, nothing is replaced.
    void twoFailures() {
        open({"a.txt", "b.txt", "c.txt"});
        ui<QLineEdit>("txtJmeno")->setText("n:");
        writeFile(dir->path(), "n1.txt", "made meanwhile 1");
        writeFile(dir->path(), "n3.txt", "made meanwhile 3");
        remember();
        dialogs->answers = {Answer::yes};
        ui<QToolButton>("cmdPrejmenovat")->click();

        QCOMPARE(int(dialogs->asked.size()), 4);
        QCOMPARE(asked(1), QStringLiteral("Soubor či složka >n1.txt< již existuje"));
        QCOMPARE(asked(2), QStringLiteral("Soubor či složka >n3.txt< již existuje"));
        QCOMPARE(dialogs->beeps, 2);
        QCOMPARE(asked(3), QStringLiteral("Přejmenování ukončeno\r\n\r\nPřejmenováno 1 souborů\r\n"
                                          "Nepřejmenováno 2 souborů\r\n\r\n"
                                          "a.txt nepřejmenován na n1.txt\r\nc.txt nepřejmenován na n3.txt"));
        for (std::size_t i = 1; i <= 3; ++i) QCOMPARE(dialogs->asked[i].style, box::exclamation);
        const auto after = disk(dir->path());
        QCOMPARE(names(after), QStringList({"a.txt", "c.txt", "n1.txt", "n2.txt", "n3.txt"}));
        QCOMPARE(after.at("n1.txt"), std::string("made meanwhile 1"));
        QCOMPARE(after.at("n2.txt"), std::string("content of b.txt"));
        checkNothingLost();
        checkWindowBack();
    }

    // "Vrátit přejmenování" takes the run back; Ctrl+Z reaches it unless a text field wants its own.
    void undoTheRun() {
        open({"IMG_1.jpg", "IMG_2.jpg"});
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        auto* undo = ui<QAction>("mnuVratit");
        auto* name = ui<QLineEdit>("txtJmeno");
        QVERIFY(!undo->isEnabled());
        QCOMPARE(undo->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
        name->setText("Foto_:::");
        dialogs->answers = {Answer::yes};
        ui<QToolButton>("cmdPrejmenovat")->click();
        QCOMPARE(names(disk(dir->path())), QStringList({"Foto_001.jpg", "Foto_002.jpg"}));
        QVERIFY(undo->isEnabled());

        // The field undoes its own typing and no question comes.
        const std::size_t before = dialogs->asked.size();
        name->setFocus();
        QTest::keyClicks(name, "x");
        QCOMPARE(name->text(), QStringLiteral("Foto_:::x"));
        QTest::keyClick(name, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(name->text(), QStringLiteral("Foto_:::"));
        QCOMPARE(dialogs->asked.size(), before);

        // Elsewhere the shortcut asks; No leaves the folder as it is.
        auto* refresh = ui<QPushButton>("cmdAktual");
        refresh->setFocus();
        dialogs->answers = {Answer::no};
        QTest::keyClick(refresh, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(dialogs->asked.size(), before + 1);
        QCOMPARE(asked(before), QStringLiteral("Opravdu chcete vrátit poslední přejmenování v této složce?"));
        QCOMPARE(dialogs->asked.back().style, box::yesNo);
        QCOMPARE(names(disk(dir->path())), QStringList({"Foto_001.jpg", "Foto_002.jpg"}));

        dialogs->answers = {Answer::yes};
        undo->trigger();
        QCOMPARE(dialogs->asked.size(), before + 3);
        QCOMPARE(asked(before + 2), QStringLiteral("Vrácení ukončeno\r\n\r\nVráceno 2 souborů\r\n"));
        QCOMPARE(dialogs->asked.back().style, box::information);
        QCOMPARE(names(disk(dir->path())), QStringList({"IMG_1.jpg", "IMG_2.jpg"}));
        QCOMPARE(preview(), rows({"IMG_1.jpg -> Foto_001.jpg", "IMG_2.jpg -> Foto_002.jpg"}));  // refreshed
        QVERIFY(undo->isEnabled());  // the undo can be taken back in its turn
        checkNothingLost();
        checkWindowBack();
    }

    void editModeOnAndOff() {
        const QString nbsp = QStringLiteral("x\u00A0y.txt");  // must come back from the box unchanged
        open({"a.txt", "b.txt", nbsp});
        ui<QLineEdit>("txtJmeno")->setText("n:");
        enterEditMode();
        QCOMPARE(ui<QPushButton>("cmdEdit")->text(), QStringLiteral("Zrušit Ruční editaci"));
        QVERIFY(shown(ui<QPlainTextEdit>("txtEdit")) && !w->PlneniEditu);
        QCOMPARE(box(), rows({"a.txt", "b.txt", nbsp}));
        QCOMPARE(preview(), rows({"a.txt -> * beze změny", "b.txt -> * beze změny", nbsp + " -> * beze změny"}));
        QVERIFY(!ui<QToolButton>("cmdPrejmenovat")->isEnabled());

        // The box lies over the right column's frames and leaves the rename button free.
        for (const char* under : {"fraUkazky", "fraPrikazy", "fraVelikost", "fraDoplneni"})
            QVERIFY2(ui<QPlainTextEdit>("txtEdit")->geometry().contains(ui<QWidget>(under)->geometry()), under);
        QVERIFY(!ui<QPlainTextEdit>("txtEdit")->geometry().intersects(ui<QToolButton>("cmdPrejmenovat")->geometry()));

        ui<QPushButton>("cmdEdit")->click();
        QVERIFY(!w->RucniEditace && !shown(ui<QPlainTextEdit>("txtEdit")));
        QCOMPARE(ui<QPushButton>("cmdEdit")->text(), QStringLiteral("Editovat ručně"));
        QCOMPARE(preview(), rows({"a.txt -> n1.txt", "b.txt -> n2.txt", nbsp + " -> n3.txt"}));
        QVERIFY(ui<QToolButton>("cmdPrejmenovat")->isEnabled());
    }

    void typedLines_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("lines");  // as the note under the preview counts them
        QTest::newRow("fewer lines") << "x.txt" << rows({"a.txt -> x.txt", "b.txt -> * beze změny"}) << 1;
        QTest::newRow("more lines") << "x.txt\ny.txt\nz.txt\n" << rows({"a.txt -> x.txt", "b.txt -> y.txt"}) << 3;
        QTest::newRow("stray line break") << "x.txt\n\nb.txt\n"
                                          << rows({"a.txt -> x.txt", "b.txt -> * beze změny"}) << 3;
        QTest::newRow("blank lines") << "\n   \n" << rows({"a.txt -> * beze změny", "b.txt -> * beze změny"}) << 2;
        QTest::newRow("clash below") << "b.txt\nc.txt" << rows({"a.txt -> * viz >b.txt< níže", "b.txt -> c.txt"}) << 2;
        QTest::newRow("clash above") << "c.txt\nC.TXT" << rows({"a.txt -> c.txt", "b.txt -> * viz >c.txt< výše"}) << 2;
        QTest::newRow("first frees, second takes") << "c.txt\na.txt" << rows({"a.txt -> c.txt", "b.txt -> a.txt"}) << 2;
        QTest::newRow("letter case only") << "A.txt\nb.txt" << rows({"a.txt -> A.txt", "b.txt -> * beze změny"}) << 2;
    }
    void typedLines() {
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        open({"a.txt", "b.txt"});
        enterEditMode();
        ui<QPlainTextEdit>("txtEdit")->setPlainText(typed);
        QCOMPARE(preview(), expected);
        // Renaming is offered exactly when some line renames.
        QCOMPARE(ui<QToolButton>("cmdPrejmenovat")->isEnabled(), expected.contains(QStringLiteral(".txt\n")));
        // A line more or less than there are entries is pointed out under the preview.
        QFETCH(int, lines);
        QCOMPARE(ui<QLabel>("lblUpozorneni")->text(),
                 lines == 2 ? QString() : QStringLiteral("Počet řádků (%1) neodpovídá počtu položek (2).").arg(lines));
    }

    // A name that holds a forbidden character loses it as soon as the box is read, and its line still
    // counts as unchanged. Typed or pasted forbidden characters go at once, the caret stays put.
    void forbiddenCharactersKeepTheCaret() {
        open({"a:b.txt", "c.txt"});
        enterEditMode();
        QCOMPARE(box(), rows({"ab.txt", "c.txt"}));
        QCOMPARE(preview(), rows({"a:b.txt -> * beze změny", "c.txt -> * beze změny"}));
        QVERIFY(!ui<QToolButton>("cmdPrejmenovat")->isEnabled());

        QTextCursor cursor = ui<QPlainTextEdit>("txtEdit")->textCursor();
        cursor.setPosition(8);  // after "c"
        ui<QPlainTextEdit>("txtEdit")->setTextCursor(cursor);
        QTest::keyClicks(ui<QPlainTextEdit>("txtEdit"), "?x:y");
        QCOMPARE(box(), rows({"ab.txt", "cxy.txt"}));
        QCOMPARE(ui<QPlainTextEdit>("txtEdit")->textCursor().position(), 10);
        ui<QPlainTextEdit>("txtEdit")->insertPlainText("1*2<>");
        QCOMPARE(box(), rows({"ab.txt", "cxy12.txt"}));
        QCOMPARE(ui<QPlainTextEdit>("txtEdit")->textCursor().position(), 12);
        QCOMPARE(preview(), rows({"a:b.txt -> * beze změny", "c.txt -> cxy12.txt"}));
        QVERIFY(ui<QToolButton>("cmdPrejmenovat")->isEnabled());
    }

    void refreshRefillsAndLayoutEnds() {
        open({"a.txt", "b.txt"});
        enterEditMode();
        ui<QPlainTextEdit>("txtEdit")->setPlainText("x.txt\n");
        // An option change rebuilds the preview, which still takes its names from the box.
        ui<QButtonGroup>("optVelikost")->button(2)->click();
        QCOMPARE(preview(), rows({"a.txt -> x.txt", "b.txt -> * beze změny"}));

        writeFile(dir->path(), "c.txt", "");
        ui<QPushButton>("cmdAktual")->click();
        QCOMPARE(box(), rows({"a.txt", "b.txt", "c.txt"}));
        QVERIFY(!w->PlneniEditu);
        QCOMPARE(preview(), rows({"a.txt -> * beze změny", "b.txt -> * beze změny", "c.txt -> * beze změny"}));
        QVERIFY(!ui<QToolButton>("cmdPrejmenovat")->isEnabled());

        ui<QPlainTextEdit>("txtEdit")->setPlainText("a.txt\ny.txt\n");
        w->mnuFunkce_Click(0);
        QVERIFY(!w->RucniEditace && !shown(ui<QPlainTextEdit>("txtEdit")));
        QCOMPARE(ui<QPushButton>("cmdEdit")->text(), QStringLiteral("Editovat ručně"));
        QCOMPARE(preview(), rows({"a.txt -> A.TXT", "b.txt -> B.TXT", "c.txt -> C.TXT"}));
    }

    // A line break or a byte that is no UTF-8 in a name shows as a symbol, and the name keeps its line.
    void namesTheBoxCannotHold() {
        open({"d.txt", "a\nb.txt"});
        writeFile(dir->path(), "c\xff.txt", "content of c");
        remember();
        enterEditMode();
        QCOMPARE(box(), rows({"a\u240Ab.txt", "c\uFFFD.txt", "d.txt"}));
        QVERIFY(!ui<QToolButton>("cmdPrejmenovat")->isEnabled());

        ui<QPlainTextEdit>("txtEdit")->setPlainText("ab.txt\nc.txt\nd.txt\n");
        QCOMPARE(preview(), rows({"a\u240Ab.txt -> ab.txt", "c\uFFFD.txt -> c.txt", "d.txt -> * beze změny"}));
        dialogs->answers = {Answer::yes};
        ui<QToolButton>("cmdPrejmenovat")->click();
        const auto after = disk(dir->path());
        QCOMPARE(names(after), QStringList({"ab.txt", "c.txt", "d.txt"}));
        QCOMPARE(after.at("ab.txt"), std::string("content of a\nb.txt"));
        checkNothingLost();
    }

    void editModeOnAnEmptyListing() {
        open({});
        enterEditMode();
        QCOMPARE(box(), QString());
        QVERIFY(w->PlneniEditu);
        QTest::keyClicks(ui<QPlainTextEdit>("txtEdit"), "x.txt");
        QCOMPARE(preview(), QString());
        QVERIFY(!ui<QToolButton>("cmdPrejmenovat")->isEnabled());
    }

    void renameTypedNames() {
        open({"a.txt", "b.txt", "d.txt"});
        enterEditMode();
        ui<QPlainTextEdit>("txtEdit")->setPlainText("c.txt\na.txt\nD.txt\n");
        dialogs->answers = {Answer::yes};
        ui<QToolButton>("cmdPrejmenovat")->click();
        QCOMPARE(asked(1), kEnded.arg(3));
        const auto after = disk(dir->path());
        QCOMPARE(after.at("c.txt"), std::string("content of a.txt"));
        QCOMPARE(after.at("a.txt"), std::string("content of b.txt"));
        QCOMPARE(after.at("D.txt"), std::string("content of d.txt"));
        checkNothingLost();
        checkWindowBack();
        // Still editing, over the names as they are now.
        QVERIFY(w->RucniEditace);
        QStringList lines = box().split('\n', Qt::SkipEmptyParts);
        lines.sort();
        QCOMPARE(lines, QStringList({"D.txt", "a.txt", "c.txt"}));
        QCOMPARE(preview().count(QStringLiteral(" -> * beze změny\n")), 3);
        QCOMPARE(preview().count('\n'), 3);
        QVERIFY(!ui<QToolButton>("cmdPrejmenovat")->isEnabled());
    }

    void listingNotes() {
        open({"a.txt"}, {"full"});
        QCOMPARE(ui<QLabel>("lblUpozorneni")->text(), QString());
        const std::string inner = dir->path() + "/full";
        auto file = [&](std::size_t i) { return inner + "/f" + std::to_string(i); };
        for (std::size_t i = 0; i <= zelvar::kMaxEntries; ++i) writeFile(inner, "f" + std::to_string(i), "");
        ui<QLineEdit>("txtCesta")->setText(QString::fromStdString(inner));
        QTest::keyClick(ui<QLineEdit>("txtCesta"), Qt::Key_Return);
        QCOMPARE(ui<QLabel>("lblUpozorneni")->text(),
                 QStringLiteral("Složka obsahuje více než 32767 položek; zobrazeno prvních 32767."));
        QCOMPARE(ui<PreviewView>("txtTest")->lineCount(), 32767);
        ::unlink(file(0).c_str());
        ui<QPushButton>("cmdAktual")->click();
        QCOMPARE(ui<QLabel>("lblUpozorneni")->text(), QString());

        // The folder goes away under the window.
        for (std::size_t i = 1; i <= zelvar::kMaxEntries; ++i) ::unlink(file(i).c_str());
        ::rmdir(inner.c_str());
        ui<QPushButton>("cmdAktual")->click();
        QVERIFY2(ui<QLabel>("lblUpozorneni")->text().startsWith(QStringLiteral("Složku se nepodařilo přečíst: ")),
                 qPrintable(ui<QLabel>("lblUpozorneni")->text()));
    }

    void iconShows() {
        const QList<QSize> sizes = zelvarIcon().availableSizes();
        for (int size : {16, 32, 48, 64, 128, 256}) QVERIFY(sizes.contains(QSize(size, size)));
        open({});
        // The turtle's shell is green in the middle at every size that is shown.
        auto green = [](const QPixmap& p) {
            const QColor c = p.toImage().pixelColor(p.width() / 2, p.height() / 2);
            return !p.isNull() && c.alpha() == 255 && c.green() > c.red() && c.green() > c.blue();
        };
        QVERIFY(green(w->windowIcon().pixmap(32, 32)));
        QVERIFY(green(ui<QToolButton>("cmdPrejmenovat")->icon().pixmap(ui<QToolButton>("cmdPrejmenovat")->iconSize())));
        frmAbout about(*dialogs, w.get());
        QVERIFY(green(about.picIcon->pixmap()));
        QCOMPARE(about.picIcon->pixmap().size(), QSize(48, 48));
    }
};

QTEST_MAIN(TestRenameWindow)
#include "test_rename_window.moc"
