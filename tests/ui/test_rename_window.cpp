// Renaming and manual editing through the main window, on temporary folders with scripted answers. After every run
// the folder is read back, and each file's content must still be there exactly once.
#include <QtTest>
#include <cstdlib>
#include <unistd.h>

#include "platform/listing.h"
#include "ui/window_fixture.h"

using zelvar::Answer;
using zelvar::testing::snapshot;
namespace box = zelvar::box;

namespace {
const QString kEnded = QStringLiteral("Přejmenování ukončeno\r\n\r\nPřejmenováno %1 souborů\r\n");
const AskedBox kSure{"Opravdu chcete přejmenovat vybrané soubory?", box::yesNo};
}  // namespace

class TestRenameWindow : public QObject, protected WindowFixture {
    Q_OBJECT

    void enterEditMode() {
        w->mnuFunkce_Click(1);
        ui<QPushButton>("cmdEdit")->click();
        QVERIFY(w->RucniEditace);
    }
    void runIt() {
        dialogs->answers = {Answer::yes};
        ui<QToolButton>("cmdPrejmenovat")->click();
    }
    // The edit box as it holds its text: the plain text would show a no-break space as a space.
    QString box() const {
        return ui<QPlainTextEdit>("txtEdit")->document()->toRawText().replace(QChar::ParagraphSeparator, '\n');
    }

private slots:
    void cleanup() { close(); }

    // No to the question about the changed extension renames nothing and puts "*" back in its field.
    void extensionDeclined() {
        open({"a.txt"});
        setText("txtJmeno", "n:");
        setText("txtExt", "X");
        dialogs->answers = {Answer::yes, Answer::no};
        ui<QToolButton>("cmdPrejmenovat")->click();
        QCOMPARE(dialogs->asked, (std::vector<AskedBox>{kSure, {"Měníte přípony.\r\nJe to tak správně?", box::yesNo}}));
        QCOMPARE(preview(), rows({"a.txt -> n1.txt"}));
        QCOMPARE(names(), QStringList({"a.txt"}));
        checkAfterRun();
    }

    // The folder listed is swapped for a link to another one before the run: nothing is renamed.
    void folderChangedSinceListing() {
        open({"a.txt", "b.txt"});
        setText("txtJmeno", "n:");
        TempFolder elsewhere({{"target", "<folder>"}, {"target/a.txt", "theirs"}});
        const std::string listedPath = elsewhere / "listed", targetPath = elsewhere / "target";
        QCOMPARE(std::rename(dir->path().c_str(), listedPath.c_str()), 0);
        QCOMPARE(symlink(targetPath.c_str(), dir->path().c_str()), 0);
        const auto listed = snapshot(listedPath), target = snapshot(targetPath);
        runIt();
        const bool renamedNothing = snapshot(listedPath) == listed && snapshot(targetPath) == target;
        ::unlink(dir->path().c_str());  // the fixture's folder back in place, for its cleanup
        std::rename(listedPath.c_str(), dir->path().c_str());
        QVERIFY(renamedNothing);
        const std::string changed = "Složka >" + dir->path() + "< se od načtení změnila.\r\nNic nebylo přejmenováno.";
        QCOMPARE(dialogs->asked, (std::vector<AskedBox>{{changed, box::exclamation}}));
        QCOMPARE(preview(), rows({"a.txt -> n1.txt"}));  // refreshed: the folder the path led to then
    }

    // The whole run, looked at from inside as it goes and from outside when it is over; then "Vrátit přejmenování"
    // takes it back, and Ctrl+Z reaches it unless a text field wants its own.
    void runAndUndo() {
        open({"IMG_1.jpg", "IMG_2.jpg", "IMG_3.JPG"});
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        auto* undo = ui<QAction>("mnuVratit");
        auto* name = ui<QLineEdit>("txtJmeno");
        QVERIFY(!undo->isEnabled());
        name->setText("Foto_:::");
        bool probed = false;
        QTimer::singleShot(0, w.get(), [&] {  // the first moment the run lets events through
            probed = true;
            QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
            checkShown({"lblPracuji", "lblPrace"});
            QVERIFY(!w->centralWidget()->isEnabled() && !w->menuBar()->isEnabled());
            QVERIFY(!w->close());
        });
        Qt::CursorShape overReport = Qt::BlankCursor;
        dialogs->onAsk = [&] {
            if (QApplication::overrideCursor()) overReport = QApplication::overrideCursor()->shape();
        };
        runIt();
        QVERIFY(probed);
        QCOMPARE(dialogs->asked.at(1), (AskedBox{kEnded.arg(3).toStdString(), box::information}));
        QCOMPARE(overReport, Qt::ArrowCursor);  // a box waits for the user, not the user for it
        const QStringList renamed{"Foto_001.jpg", "Foto_002.jpg", "Foto_003.JPG"};
        QCOMPARE(names(), renamed);
        QCOMPARE(preview().count(" -> * beze změny\n"), 3);
        QVERIFY(!renameOffered() && w->isVisible() && undo->isEnabled());
        checkAfterRun();

        // The field undoes its own typing and no question comes.
        const std::size_t before = dialogs->asked.size();
        name->setFocus();
        QTest::keyClicks(name, "x");
        QTest::keyClick(name, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(name->text(), QStringLiteral("Foto_:::"));
        QCOMPARE(dialogs->asked.size(), before);
        // Elsewhere the shortcut asks; No leaves the folder as it is.
        ui<QPushButton>("cmdAktual")->setFocus();
        dialogs->answers = {Answer::no};
        QTest::keyClick(ui<QPushButton>("cmdAktual"), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(dialogs->asked.size(), before + 1);
        QCOMPARE(names(), renamed);

        dialogs->answers = {Answer::yes};
        undo->trigger();
        QCOMPARE(dialogs->asked.back(), (AskedBox{"Vrácení ukončeno\r\n\r\nVráceno 3 souborů\r\n", box::information}));
        QCOMPARE(names(), QStringList({"IMG_1.jpg", "IMG_2.jpg", "IMG_3.JPG"}));
        QCOMPARE(preview().count(" -> Foto_00"), 3);  // refreshed
        QVERIFY(!undo->isEnabled());                  // nothing older to take back
        checkAfterRun();
    }

    // Two runs, then undo and redo from the menu and the keys: each is offered only when it has something
    // to do, and its question names the run and the entry it moves first. Ctrl+Z and Ctrl+Shift+Z in a
    // text field are the field's own; Ctrl+Alt+Z reaches the rename undo from anywhere.
    void undoAndRedoRunByRun() {
        open({"a.txt", "b.txt"});
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        auto* undo = ui<QAction>("mnuVratit");
        auto* redo = ui<QAction>("mnuZnovu");
        QVERIFY(!undo->isEnabled() && !redo->isEnabled());
        setText("txtJmeno", "x:");
        runIt();
        setText("txtJmeno", "y:");
        runIt();
        QCOMPARE(names(), QStringList({"y1.txt", "y2.txt"}));
        QVERIFY(undo->isEnabled() && !redo->isEnabled());

        auto* name = ui<QLineEdit>("txtJmeno");
        const auto keyAsks = [&](QWidget* target, Qt::KeyboardModifiers modifiers, const char* question) {
            target->setFocus();
            const std::size_t before = dialogs->asked.size();
            dialogs->answers = {Answer::no};
            QTest::keyClick(target, Qt::Key_Z, modifiers);
            if (!question) return dialogs->asked.size() == before;
            return dialogs->asked.size() == before + 1 && dialogs->asked.back().style == box::yesNo &&
                   asked(before).startsWith(QString::fromUtf8(question));
        };
        const char* const undoQuestion = "Opravdu chcete vrátit přejmenování z ";
        const char* const redoQuestion = "Opravdu chcete znovu provést přejmenování z ";
        QTest::keyClicks(name, "q");
        QVERIFY(keyAsks(name, Qt::ControlModifier, nullptr));
        QCOMPARE(name->text(), QStringLiteral("y:"));
        QVERIFY(keyAsks(name, Qt::ControlModifier | Qt::ShiftModifier, nullptr));
        QCOMPARE(name->text(), QStringLiteral("y:q"));
        name->setText("y:");
        QVERIFY(keyAsks(name, Qt::ControlModifier | Qt::AltModifier, undoQuestion));
        QVERIFY(keyAsks(ui<QWidget>("txtTest"), Qt::ControlModifier, undoQuestion));
        QVERIFY(keyAsks(ui<QWidget>("cmdAktual"), Qt::ControlModifier, undoQuestion));
        // A path typed and entered: the field keeps Ctrl+Z, the rename undo is a Ctrl+Alt+Z away.
        auto* path = ui<QLineEdit>("txtCesta");
        enterPath(qpath(*dir));
        QVERIFY(keyAsks(path, Qt::ControlModifier, nullptr));
        QVERIFY(keyAsks(path, Qt::ControlModifier | Qt::AltModifier, undoQuestion));
        QVERIFY(dialogs->last().ends_with("\r\n2 souborů, první >y2.txt< na >x2.txt<."));
        QCOMPARE(names(), QStringList({"y1.txt", "y2.txt"}));

        dialogs->answers = {Answer::yes};
        undo->trigger();
        QCOMPARE(dialogs->asked.back(), (AskedBox{"Vrácení ukončeno\r\n\r\nVráceno 2 souborů\r\n", box::information}));
        QCOMPARE(names(), QStringList({"x1.txt", "x2.txt"}));
        QVERIFY(undo->isEnabled() && redo->isEnabled());
        QVERIFY(keyAsks(ui<QWidget>("cmdAktual"), Qt::ControlModifier | Qt::ShiftModifier, redoQuestion));
        QVERIFY(dialogs->last().ends_with("\r\n2 souborů, první >x1.txt< na >y1.txt<."));  // in run order
        dialogs->answers = {Answer::yes};
        undo->trigger();
        QCOMPARE(names(), QStringList({"a.txt", "b.txt"}));
        QVERIFY(!undo->isEnabled() && redo->isEnabled());
        dialogs->answers = {Answer::yes};
        redo->trigger();
        QCOMPARE(dialogs->asked.back(),
                 (AskedBox{"Přejmenování ukončeno\r\n\r\nPřejmenováno 2 souborů\r\n", box::information}));
        QCOMPARE(names(), QStringList({"x1.txt", "x2.txt"}));
        QCOMPARE(preview().count(" -> * beze změny\n"), 0);  // refreshed: y: renames them again
        checkAfterRun();
    }

    // "Historie přejmenování..." lists the runs newest first; an older one is refused while a later run of the
    // same entries stands, with the message naming that run, and taken back once that one is.
    void historyTakesBackAnOlderRun() {
        open({"a.txt", "b.txt", "c.jpg"});
        setText("txtJmeno", "x:");
        runIt();
        setText("txtJmeno", "y:");
        runIt();
        QStringList seen;
        bool done = false;
        QTimer::singleShot(0, w.get(), [&] {
            auto* history = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            QVERIFY(history && history->objectName() == QStringLiteral("frmHistorie"));
            auto* list = control<QTreeWidget>(*history, "lstHistorie");
            auto* back = control<QPushButton>(*history, "cmdVratit");
            const auto lines = [&] {
                QStringList out;
                for (int k = 0; k < list->topLevelItemCount(); ++k) {
                    const QTreeWidgetItem* item = list->topLevelItem(k);
                    out << item->text(1) + ' ' + item->text(2) + ' ' + item->text(3);
                    if (!QRegularExpression("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$")
                             .match(item->text(0))
                             .hasMatch())
                        out << "time " + item->text(0);
                }
                return out;
            };
            QCOMPARE(lines(), QStringList({"přejmenování 3/3 dokončeno", "přejmenování 3/3 dokončeno"}));
            list->setCurrentItem(list->topLevelItem(1));
            QVERIFY(back->isEnabled());
            const std::size_t before = dialogs->asked.size();
            back->click();
            QCOMPARE(dialogs->asked.size(), before + 1);
            QCOMPARE(dialogs->asked.back().style, box::exclamation);
            QVERIFY2(dialogs->last().ends_with(" (3 souborů), které je třeba vrátit nejdříve."),
                     dialogs->last().c_str());
            QCOMPARE(names(), QStringList({"y1.txt", "y2.txt", "y3.jpg"}));

            list->setCurrentItem(list->topLevelItem(0));
            dialogs->answers = {Answer::yes};
            back->click();
            QCOMPARE(names(), QStringList({"x1.txt", "x2.txt", "x3.jpg"}));
            QCOMPARE(lines(),
                     QStringList({"vrácení 3/3 dokončeno", "přejmenování 3/3 vráceno", "přejmenování 3/3 dokončeno"}));
            QVERIFY(!back->isEnabled());  // the newest line: an undo, nothing to take back
            list->setCurrentItem(list->topLevelItem(2));
            dialogs->answers = {Answer::yes};
            back->click();
            QCOMPARE(names(), QStringList({"a.txt", "b.txt", "c.jpg"}));
            seen = lines();
            control<QPushButton>(*history, "cmdZavrit")->click();
            done = true;
        });
        ui<QAction>("mnuHistorie")->trigger();
        QVERIFY(done);
        QCOMPARE(seen.size(), 4);
        QCOMPARE(seen.front(), QStringLiteral("vrácení 3/3 dokončeno"));
        QVERIFY(!ui<QAction>("mnuVratit")->isEnabled() && ui<QAction>("mnuZnovu")->isEnabled());
        checkAfterRun();
    }

    // The box is read afresh before every entry, and the run keeps the rows it started with: the caption names the
    // entry asked about.
    void eachEntryAsked() {
        open({"a.txt", "b.txt", "c.txt"});
        setText("txtJmeno", "n:");
        ui<QCheckBox>("chkKazdy")->setChecked(true);
        dialogs->answers = {Answer::yes, Answer::no, Answer::yes};
        QStringList captions;
        dialogs->onAsk = [&] {
            captions << ui<QLabel>("lblPrace")->text();
            if (dialogs->asked.size() != 3) return;
            ui<QCheckBox>("chkKazdy")->setChecked(false);
            setText("txtJmeno", "other");
        };
        ui<QToolButton>("cmdPrejmenovat")->click();
        QCOMPARE(int(dialogs->asked.size()), 4);
        QCOMPARE(dialogs->asked[1], (AskedBox{"Chcete přejmenovat soubor >a.txt< na >n1.txt< ?", box::yesNoCancel}));
        QCOMPARE(captions.mid(1, 2), QStringList({"n1.txt", "n2.txt"}));
        QCOMPARE(asked(3), kEnded.arg(2));
        QCOMPARE(names(), QStringList({"a.txt", "n2.txt", "n3.txt"}));
        checkAfterRun();
    }

    // A target appears on disk after the preview was made: its rename fails, nothing is replaced.
    void aTargetMadeMeanwhile() {
        open({"a.txt", "b.txt"});
        setText("txtJmeno", "n:");
        dir->file("n1.txt", "made meanwhile");
        remember();
        runIt();
        const std::string report =
            kEnded.arg(1).toStdString() + "Nepřejmenováno 1 souborů\r\n\r\na.txt nepřejmenován na n1.txt";
        QCOMPARE(dialogs->asked,
                 (std::vector<AskedBox>{
                     kSure, {"Soubor či složka >n1.txt< již existuje", box::exclamation}, {report, box::exclamation}}));
        QCOMPARE(dialogs->beeps, 1);
        QCOMPARE(names(), QStringList({"a.txt", "n1.txt", "n2.txt"}));
        checkAfterRun();
    }

    // Manual editing starts over the names as they are, follows option changes and a refresh, and ends by its button
    // or by the simple layout.
    void editModeOnAndOff() {
        const QString nbsp = QStringLiteral("x\u00A0y.txt");  // must come back from the box unchanged
        open({"a.txt", "b.txt", nbsp});
        setText("txtJmeno", "n:");
        enterEditMode();
        QCOMPARE(ui<QPushButton>("cmdEdit")->text(), QStringLiteral("Zrušit Ruční editaci"));
        QVERIFY(shown("txtEdit") && !w->PlneniEditu);
        QCOMPARE(box(), rows({"a.txt", "b.txt", nbsp}));
        QCOMPARE(preview().count(" -> * beze změny\n"), 3);
        QVERIFY(!renameOffered());
        ui<QPlainTextEdit>("txtEdit")->setPlainText("x.txt\n");
        click("optVelikost", 2);  // rebuilds, still with the names of the box
        QCOMPARE(preview(), rows({"a.txt -> x.txt", "b.txt -> * beze změny", nbsp + " -> * beze změny"}));
        dir->file("c.txt");
        ui<QPushButton>("cmdAktual")->click();
        QCOMPARE(box(), rows({"a.txt", "b.txt", "c.txt", nbsp}));
        QVERIFY(!renameOffered());
        ui<QPushButton>("cmdEdit")->click();
        QVERIFY(!w->RucniEditace && !shown("txtEdit"));
        QCOMPARE(ui<QPushButton>("cmdEdit")->text(), QStringLiteral("Editovat ručně"));
        QCOMPARE(preview(), rows({"a.txt -> N1.TXT", "b.txt -> N2.TXT", "c.txt -> N3.TXT", nbsp + " -> N4.TXT"}));
        QVERIFY(renameOffered());
        enterEditMode();
        w->mnuFunkce_Click(0);
        QVERIFY(!w->RucniEditace && !shown("txtEdit"));
    }

    // "Načíst seznam jmen..." fills the box by old name; lines that fit no entry are told, the rest stay in the box.
    void renameListFillsTheBox() {
        open({"a.txt", "b.txt", "c.txt"});
        dir->file("line\nbreak.txt");  // its line in the box shows the break as a symbol, and stays so
        auto* load = ui<QAction>("mnuSeznamJmen");
        QVERIFY(!load->isEnabled());
        enterEditMode();
        QVERIFY(load->isEnabled());
        const QString before = box();
        load->trigger();  // no file chosen
        QCOMPARE(box(), before);

        const std::string list =
            "\xEF\xBB\xBF"
            "c.txt\tC1.txt\r\nzz.txt\tq.txt\nb.txt\tok:.txt\n";
        TempFolder lists(zelvar::testing::Entries{{"list", list}});
        dialogs->files = {lists / "list"};
        load->trigger();
        QCOMPARE(box(), rows({"a.txt", "ok.txt", "C1.txt", QStringLiteral("line\u240Abreak.txt")}));
        QCOMPARE(dialogs->last(), "Některé řádky seznamu >" + (lists / "list") +
                                      "< nebyly použity:\r\nřádek 2: >zz.txt< ve složce není");
        QCOMPARE(preview().count(" -> * beze změny\n"), 2);
        QVERIFY(preview().contains("b.txt -> ok.txt\nc.txt -> C1.txt\n"));

        const std::size_t asked = dialogs->asked.size();
        dialogs->files = {lists / "none"};
        load->trigger();
        QCOMPARE(dialogs->asked.size(), asked + 1);
        QVERIFY(dialogs->last().starts_with("Seznam jmen >" + (lists / "none") + "< nelze přečíst: "));
        QCOMPARE(box(), rows({"a.txt", "ok.txt", "C1.txt", QStringLiteral("line\u240Abreak.txt")}));

        runIt();
        QCOMPARE(names(), QStringList({"C1.txt", "a.txt", "line\nbreak.txt", "ok.txt"}));
        ui<QPushButton>("cmdEdit")->click();
        QVERIFY(!load->isEnabled());
    }

    // Typed lines against the entries; renaming is offered exactly when some line renames, and the note under the
    // preview tells when the counts differ.
    void typedLines() {
        open({"a.txt", "b.txt"});
        enterEditMode();
        const std::tuple<QString, QStringList, int> cases[] = {
            {"x.txt", {"a.txt -> x.txt", "b.txt -> * beze změny"}, 1},
            {"x.txt\ny.txt\nz.txt\n", {"a.txt -> x.txt", "b.txt -> y.txt"}, 3},
            {"\n   \n", {"a.txt -> * beze změny", "b.txt -> * beze změny"}, 2},
        };
        for (const auto& [typed, expected, lines] : cases) {
            ui<QPlainTextEdit>("txtEdit")->setPlainText(typed);
            QCOMPARE(preview(), rows(expected));
            QCOMPARE(renameOffered(), rows(expected).contains(".txt\n"));
            QCOMPARE(
                ui<QLabel>("lblUpozorneni")->text(),
                lines == 2 ? QString() : QStringLiteral("Počet řádků (%1) neodpovídá počtu položek (2).").arg(lines));
        }
    }

    // A line break or a byte that is no UTF-8 in a name shows as a symbol, and the name keeps its line; typed names
    // rename in the order of the rows, each file keeping its content.
    void renameTypedNames() {
        open({"d.txt", "a\nb.txt", "e.txt"});
        dir->file("c\xff.txt", "content of c");
        remember();
        enterEditMode();
        QCOMPARE(box(), rows({"a\u240Ab.txt", QStringLiteral("c") + QChar(0xDCFF) + ".txt", "d.txt", "e.txt"}));
        ui<QPlainTextEdit>("txtEdit")->setPlainText("ab.txt\nc.txt\nD.txt\ne.txt\n");
        runIt();
        QCOMPARE(asked(1), kEnded.arg(3));
        QCOMPARE(names(), QStringList({"D.txt", "ab.txt", "c.txt", "e.txt"}));
        QCOMPARE(snapshot(dir->path()).at("ab.txt").content, std::string("content of a\nb.txt"));
        checkAfterRun();
        QVERIFY(w->RucniEditace);  // still editing, over the names as they are now
        QCOMPARE(preview().count(" -> * beze změny\n"), 4);
    }

    // A name whose bytes are no UTF-8 is shown without loss: a key typed into its line changes that place alone, and
    // every other byte of the name comes back on disk as it was.
    void untouchedBytesOfTypedNamesStay() {
        const std::string latin2 = "Fotka_\xe8\xed\xb9_z_Latin2";
        open({"b.jpg"});
        dir->file(latin2 + ".jpg", "content of the photo");
        dir->file("c\xff\xfe.txt", "content of c");
        remember();
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        enterEditMode();
        auto* edit = ui<QPlainTextEdit>("txtEdit");
        QVERIFY(!renameOffered());
        QCOMPARE(preview().count(" -> * beze změny\n"), 3);
        QTextCursor at = edit->document()->find("_Latin2.jpg");
        QVERIFY(!at.isNull());
        at.setPosition(at.selectionEnd() - 4);  // before ".jpg"
        edit->setTextCursor(at);
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_X);
        at = edit->document()->find(".txt");
        at.setPosition(at.selectionStart());
        edit->setTextCursor(at);
        QTest::keyClick(edit, Qt::Key_Backspace);  // takes the last byte that is no UTF-8, and that one alone
        QVERIFY(renameOffered());
        runIt();
        QCOMPARE(asked(1), kEnded.arg(2));
        const auto on = snapshot(dir->path());
        QCOMPARE(on.count(latin2 + "x.jpg"), std::size_t(1));
        QCOMPARE(on.at(latin2 + "x.jpg").content, std::string("content of the photo"));
        QCOMPARE(on.count("c\xff.txt"), std::size_t(1));
        QCOMPARE(names().size(), 3);
        checkAfterRun();
    }

    void listingNotes() {
        open({"a.txt"}, {"full"});
        QCOMPARE(ui<QLabel>("lblUpozorneni")->text(), QString());
        const std::string inner = dir->path() + "/full";
        for (std::size_t i = 0; i <= zelvar::kMaxEntries; ++i) dir->file("full/f" + std::to_string(i));
        enterPath(QString::fromStdString(inner));
        QCOMPARE(ui<QLabel>("lblUpozorneni")->text(),
                 QStringLiteral("Složka obsahuje více než 32767 položek; zobrazeno prvních 32767."));
        QCOMPARE(ui<PreviewView>("txtTest")->lineCount(), 32767);
        // The folder goes away under the window.
        QCOMPARE(std::system(("rm -r '" + inner + "'").c_str()), 0);
        ui<QPushButton>("cmdAktual")->click();
        QVERIFY2(ui<QLabel>("lblUpozorneni")->text().startsWith(QStringLiteral("Složku se nepodařilo přečíst: ")),
                 qPrintable(ui<QLabel>("lblUpozorneni")->text()));
    }
};

QTEST_MAIN(TestRenameWindow)
#include "test_rename_window.moc"
