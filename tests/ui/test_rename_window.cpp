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
        QVERIFY(w->RucniEditace());
    }
    void runIt() {
        dialogs->answers = {Answer::yes};
        ui<QToolButton>("cmdPrejmenovat")->click();
    }
    void runAs(const char* pattern) { setText("txtJmeno", pattern), runIt(); }
    // The edit box as it holds its text: the plain text would show a no-break space as a space.
    QString box() const {
        return ui<QPlainTextEdit>("txtEdit")->document()->toRawText().replace(QChar::ParagraphSeparator, '\n');
    }
    void yes(QAction* action) {
        dialogs->answers = {Answer::yes};
        action->trigger();
    }
    int unchanged() const { return int(preview().count(" -> * beze změny\n")); }

private slots:
    void cleanup() { close(); }

    // No to the question about the changed extension renames nothing and puts "*" back in its field.
    void extensionDeclined() {
        open({"a.txt", "b.txt"});
        setText("txtJmeno", "n:");
        setText("txtExt", "X");
        dialogs->answers = {Answer::yes, Answer::no};
        ui<QToolButton>("cmdPrejmenovat")->click();
        QCOMPARE(dialogs->asked, (std::vector<AskedBox>{kSure, {"Měníte přípony.\r\nJe to tak správně?", box::yesNo}}));
        QCOMPARE(preview(), rows({"a.txt -> n1.txt", "b.txt -> n2.txt"}));
        QCOMPARE(names(), QStringList({"a.txt", "b.txt"}));
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

    // A run looked at from inside as it goes and from outside when it is over; then two runs are undone and redone
    // from the menu and the keys: each is offered only when it has something to do, and its question names the run
    // and the entry it moves first. Ctrl+Z and Ctrl+Shift+Z in a text field are the field's own; Ctrl+Alt+Z reaches
    // the rename undo from anywhere.
    void undoAndRedoRunByRun() {
        open({"a.txt", "b.txt"});
        showIt();
        auto* undo = ui<QAction>("mnuVratit");
        auto* redo = ui<QAction>("mnuZnovu");
        QVERIFY(!undo->isEnabled() && !redo->isEnabled());
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
        runAs("x:");
        dialogs->onAsk = nullptr;
        QVERIFY(probed);
        QCOMPARE(dialogs->asked.at(1), (AskedBox{kEnded.arg(2).toStdString(), box::information}));
        QCOMPARE(overReport, Qt::ArrowCursor);  // a box waits for the user, not the user for it
        QCOMPARE(unchanged(), 2);
        QVERIFY(!renameOffered() && w->isVisible() && undo->isEnabled());
        runAs("y:");
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
        QCOMPARE(names(), QStringList({"y1.txt", "y2.txt"}));  // No left the folder as it was

        yes(undo);
        QCOMPARE(dialogs->asked.back(), (AskedBox{"Vrácení ukončeno\r\n\r\nVráceno 2 souborů\r\n", box::information}));
        QCOMPARE(names(), QStringList({"x1.txt", "x2.txt"}));
        QVERIFY(undo->isEnabled() && redo->isEnabled());
        QVERIFY(keyAsks(ui<QWidget>("cmdAktual"), Qt::ControlModifier | Qt::ShiftModifier,
                        "Opravdu chcete znovu provést přejmenování z "));
        QVERIFY(dialogs->last().ends_with("\r\n2 souborů, první >x1.txt< na >y1.txt<."));  // in run order
        yes(undo);
        QCOMPARE(names(), QStringList({"a.txt", "b.txt"}));
        QCOMPARE(preview().count(" -> y"), 2);  // refreshed
        QVERIFY(!undo->isEnabled() && redo->isEnabled());
        yes(redo);
        QCOMPARE(dialogs->asked.back(), (AskedBox{kEnded.arg(2).toStdString(), box::information}));
        QCOMPARE(names(), QStringList({"x1.txt", "x2.txt"}));
        QCOMPARE(unchanged(), 0);  // refreshed: y: renames them again
        checkAfterRun();
    }

    // "Historie přejmenování..." lists the runs newest first; an older one is refused while a later run of the
    // same entries stands (with a warning), and taken back once that one is.
    void historyTakesBackAnOlderRun() {
        open({"a.txt", "b.txt", "c.jpg"});
        runAs("x:");
        runAs("y:");
        bool done = false;
        QTimer::singleShot(0, w.get(), [&] {
            auto* history = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            QVERIFY(history && history->objectName() == QStringLiteral("frmHistorie"));
            auto* list = control<QTreeWidget>(*history, "lstHistorie");
            auto* back = control<QPushButton>(*history, "cmdVratit");
            const QRegularExpression time("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$");
            const auto lines = [&] {
                QStringList out;
                for (int k = 0; k < list->topLevelItemCount(); ++k) {
                    const QTreeWidgetItem* item = list->topLevelItem(k);
                    out << item->text(1) + ' ' + item->text(2) + ' ' + item->text(3);
                    if (!time.match(item->text(0)).hasMatch()) out << "time " + item->text(0);
                }
                return out;
            };
            const auto takeBack = [&](int row) {
                list->setCurrentItem(list->topLevelItem(row));
                dialogs->answers = {Answer::yes};
                back->click();
            };
            QCOMPARE(lines(), QStringList({"přejmenování 3/3 dokončeno", "přejmenování 3/3 dokončeno"}));
            const std::size_t before = dialogs->asked.size();
            takeBack(1);
            QVERIFY(dialogs->asked.size() == before + 1 && dialogs->asked.back().style == box::exclamation);
            QCOMPARE(names(), QStringList({"y1.txt", "y2.txt", "y3.jpg"}));
            takeBack(0);
            QCOMPARE(names(), QStringList({"x1.txt", "x2.txt", "x3.jpg"}));
            QCOMPARE(lines(),
                     QStringList({"vrácení 3/3 dokončeno", "přejmenování 3/3 vráceno", "přejmenování 3/3 dokončeno"}));
            QVERIFY(!back->isEnabled());  // the newest line: an undo, nothing to take back
            takeBack(2);
            QCOMPARE(names(), QStringList({"a.txt", "b.txt", "c.jpg"}));
            control<QPushButton>(*history, "cmdZavrit")->click();
            done = true;
        });
        ui<QAction>("mnuHistorie")->trigger();
        QVERIFY(done);
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
        QCOMPARE(captions.mid(1, 2), QStringList({"n1.txt", "n2.txt"}));
        QCOMPARE(names(), QStringList({"a.txt", "n2.txt", "n3.txt"}));
        checkAfterRun();
    }

    // Manual editing starts over the names as they are (a no-break space comes back unchanged); typed lines against
    // the entries offer renaming exactly when some line renames, and the note tells when the counts differ. It follows
    // option changes and a refresh, and ends by its button or by the simple layout.
    void editModeOnAndOff() {
        const QString nbsp = QStringLiteral("x\u00A0y.txt");
        open({"a.txt", "b.txt", nbsp});
        setText("txtJmeno", "n:");
        enterEditMode();
        QCOMPARE(ui<QPushButton>("cmdEdit")->text(), QStringLiteral("Zrušit Ruční editaci"));
        QVERIFY(shown("txtEdit") && !w->PlneniEditu() && !renameOffered());
        QCOMPARE(box(), rows({"a.txt", "b.txt", nbsp}));
        const QString same = nbsp + " -> * beze změny";
        const std::tuple<QString, QStringList, int> cases[] = {
            {"x.txt\ny.txt\nz.txt\nw.txt\n", {"a.txt -> x.txt", "b.txt -> y.txt", nbsp + " -> z.txt"}, 4},
            {"\n   \n", {"a.txt -> * beze změny", "b.txt -> * beze změny", same}, 2},
            {"x.txt\n", {"a.txt -> x.txt", "b.txt -> * beze změny", same}, 1},
        };
        for (const auto& [typed, expected, lines] : cases) {
            ui<QPlainTextEdit>("txtEdit")->setPlainText(typed);
            QCOMPARE(preview(), rows(expected));
            QCOMPARE(renameOffered(), rows(expected).contains(".txt\n"));
            QCOMPARE(note(), lines == 3 ? QString()
                                        : QStringLiteral("Počet řádků (%1) neodpovídá počtu položek (3).").arg(lines));
        }
        click("optVelikost", 2);  // rebuilds, still with the names of the box
        QCOMPARE(preview(), rows({"a.txt -> x.txt", "b.txt -> * beze změny", same}));
        dir->file("c.txt");
        ui<QPushButton>("cmdAktual")->click();
        QCOMPARE(box(), rows({"a.txt", "b.txt", "c.txt", nbsp}));
        QVERIFY(!renameOffered());
        ui<QPushButton>("cmdEdit")->click();
        QVERIFY(!w->RucniEditace() && !shown("txtEdit") && renameOffered());
        QCOMPARE(ui<QPushButton>("cmdEdit")->text(), QStringLiteral("Editovat ručně"));
        QCOMPARE(preview(), rows({"a.txt -> N1.TXT", "b.txt -> N2.TXT", "c.txt -> N3.TXT", nbsp + " -> N4.TXT"}));
        enterEditMode();
        w->mnuFunkce_Click(0);
        QVERIFY(!w->RucniEditace() && !shown("txtEdit"));
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

        const char* list =
            "\xEF\xBB\xBF"
            "c.txt\tC1.txt\r\nzz.txt\tq.txt\nb.txt\tok:.txt\n";
        TempFolder lists(zelvar::testing::Entries{{"list", list}});
        const QString filled = rows({"a.txt", "ok.txt", "C1.txt", QStringLiteral("line\u240Abreak.txt")});
        dialogs->files = {lists / "list", lists / "none"};
        load->trigger();
        QCOMPARE(box(), filled);
        QCOMPARE(dialogs->last(), "Některé řádky seznamu >" + (lists / "list") +
                                      "< nebyly použity:\r\nřádek 2: >zz.txt< ve složce není");
        load->trigger();  // a list that cannot be read leaves the box
        QVERIFY(dialogs->last().starts_with("Seznam jmen >" + (lists / "none") + "< nelze přečíst: "));
        QCOMPARE(box(), filled);

        runIt();
        QCOMPARE(names(), QStringList({"C1.txt", "a.txt", "line\nbreak.txt", "ok.txt"}));
        ui<QPushButton>("cmdEdit")->click();
        QVERIFY(!load->isEnabled());
    }

    // A name whose bytes are no UTF-8 is shown without loss, a line break as a symbol, and each name keeps its line: a
    // key typed into a line changes that place alone, every other byte of the name comes back on disk as it was. Then
    // typed names rename in the order of the rows, each file keeping its content.
    void renameTypedNames() {
        const std::string latin2 = "Fotka_\xe8\xed\xb9_z_Latin2";
        open({"d.txt", "a\nb.txt"});
        dir->file(latin2 + ".jpg", "content of the photo");
        dir->file("c\xff\xfe.txt", "content of c");
        remember();
        showIt();
        enterEditMode();
        auto* edit = ui<QPlainTextEdit>("txtEdit");
        const auto keyAt = [&](const QString& found, int back, Qt::Key key) {
            QTextCursor at = edit->document()->find(found);
            QVERIFY(!at.isNull());
            at.setPosition(at.selectionEnd() - back);
            edit->setTextCursor(at);
            edit->setFocus();
            QTest::keyClick(edit, key);
        };
        keyAt(QStringLiteral("_Latin2.jpg"), 4, Qt::Key_X);  // before ".jpg"
        keyAt(QChar(0xDCFE) + QStringLiteral(".txt"), 4,
              Qt::Key_Backspace);  // takes the last byte that is no UTF-8, and that one alone
        runIt();
        QCOMPARE(snapshot(dir->path()).at(latin2 + "x.jpg").content, std::string("content of the photo"));
        QCOMPARE(snapshot(dir->path()).count("c\xff.txt"), std::size_t(1));
        checkAfterRun();
        QVERIFY(w->RucniEditace());  // still editing, over the names as they are now
        const QString c = QStringLiteral("c") + QChar(0xDCFF) + ".txt\n";
        QString typed = box();
        edit->setPlainText(typed.replace("a\u240Ab.txt", "ab.txt").replace(c, "c.txt\n").replace("d.txt", "D.txt"));
        runIt();
        const auto on = snapshot(dir->path());
        QVERIFY(on.count("D.txt") && on.count("c.txt") && on.count(latin2 + "x.jpg") && on.size() == 4);
        QCOMPARE(on.at("ab.txt").content, std::string("content of a\nb.txt"));
        checkAfterRun();
        QCOMPARE(unchanged(), 4);
    }

    // Over 32767 entries only the first are listed, and a folder gone under the window is told.
    void listingNotes() {
        open({"a.txt"}, {"full"});
        QCOMPARE(note(), QString());
        const std::string inner = dir->path() + "/full";
        for (std::size_t i = 0; i <= zelvar::kMaxEntries; ++i) dir->file("full/f" + std::to_string(i));
        enterPath(QString::fromStdString(inner));
        QCOMPARE(note(), QStringLiteral("Složka obsahuje více než 32767 položek; zobrazeno prvních 32767."));
        QCOMPARE(ui<PreviewView>("txtTest")->lineCount(), 32767);
        QCOMPARE(std::system(("rm -r '" + inner + "'").c_str()), 0);
        ui<QPushButton>("cmdAktual")->click();
        QVERIFY2(note().startsWith(QStringLiteral("Složku se nepodařilo přečíst: ")), qPrintable(note()));
    }
};

QTEST_MAIN(TestRenameWindow)
#include "test_rename_window.moc"
