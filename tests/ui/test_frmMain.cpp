// The main window on temporary folders with scripted message boxes: refreshes, numbering, fields, layouts, folders.
#include <QtTest>
#include <functional>
#include <sys/stat.h>

#include "platform/photos.h"
#include "ui/FolderTree.h"
#include "ui/controls.h"
#include "ui/window_fixture.h"

class TestFrmMain : public QObject, protected WindowFixture {
    Q_OBJECT

    // Each step is followed by the preview it must leave.
    void steps(const std::vector<std::pair<std::function<void()>, QString>>& list) {
        for (const auto& [act, expected] : list) {
            act();
            QCOMPARE(preview(), expected);
        }
    }

    // Key by key, also the characters a test key has no code for (as a keyboard layout types them).
    static void type(QWidget* field, const QString& text) {
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }

private slots:
    void cleanup() { close(); }

    // With an empty name pattern, a plain rebuild builds anyway, the other refreshes clear.
    void emptyNamePatternRefreshKinds() {
        openProfessional({"a.txt"});
        setText("txtJmeno", "");
        QCOMPARE(preview(), QString());
        QVERIFY(!ui<QPushButton>("cmdTest")->isEnabled() && !renameOffered());
        steps({
            {[&] { ui<QCheckBox>("chkCisla")->click(); }, rows({"a.txt -> * prázdné jméno"})},  // plain rebuild
            {[&] { ui<QCheckBox>("chkObracene")->click(); }, QString()},                        // preview refresh
            {[&] { ui<QCheckBox>("chkExt")->click(); }, QString()},                             // full refresh
            {[&] { QTest::keyClicks(ui<QLineEdit>("txtJmeno"), "x"); }, rows({"a.txt -> x.txt"})},
        });
        QVERIFY(ui<QPushButton>("cmdTest")->isEnabled() && renameOffered());
    }

    // Every option control rebuilds the preview and the samples with its new value.
    void optionsRebuild() {
        openProfessional({"Žába a-b.jpg"});
        const auto row = [](const char* to) { return rows({"Žába a-b.jpg -> " + QString::fromUtf8(to)}); };
        steps({
            {[&] { QTest::keyClicks(ui<QLineEdit>("txtJmeno"), "x"); }, row("Žába a-bx.jpg")},
            {[&] { setText("txtJmeno", "*"); }, row("* beze změny")},
            {[&] { ui<QCheckBox>("chkBezDia")->click(); }, row("Zaba a-b.jpg")},
            {[&] { ui<QComboBox>("cboPauzy")->setCurrentIndex(2); }, row("Zaba_a_b.jpg")},
            {[&] { setText("txtOdstranit", "b"); }, row("Zaa_a_.jpg")},
            {[&] { ui<QCheckBox>("chkJmeno")->click(); }, row("_a_aaZ.jpg")},
            {[&] { ui<QCheckBox>("chkExt")->click(); }, row("_a_aaZ.gpj")},
            {[&] { click("optVelikost", 2); }, row("_A_AAZ.GPJ")},
        });
        QCOMPARE(ui<QLabel>("lblUkazka2")->text(), QStringLiteral("YX.HG"));
    }

    // Plain replacement: the fields strip what no name holds and build only as a pair. "Regulární výraz": "Co" takes
    // every character, "Čím" also \\ and $; "Celé" means nothing then.
    void regularExpression() {
        const QString aaa(40, 'a');
        openProfessional({"img 12-34.jpg", aaa});
        auto* co = ui<QLineEdit>("txtZamenitCo");
        auto* by = ui<QLineEdit>("txtZamenitZaCo");
        auto* regex = ui<QCheckBox>("chkRegVyraz");
        const auto check = [&](const char* coText, const char* byText, const QString& img) {
            setText("txtZamenitCo", coText), setText("txtZamenitZaCo", byText);
            QCOMPARE(preview(), rows({aaa + " -> * beze změny", "img 12-34.jpg -> " + img}));
        };
        const int builds = w->buildCount();
        QApplication::clipboard()->setText("a:b*c");
        co->paste();
        QCOMPARE(co->text(), QStringLiteral("abc"));
        QCOMPARE(w->buildCount(), builds);  // "Čím" is still empty
        QTest::keyClicks(by, "x?");
        QCOMPARE(by->text(), QStringLiteral("x"));
        QCOMPARE(preview(), rows({aaa + " -> " + QString(40, 'x'), "img 12-34.jpg -> * beze změny"}));
        const int afterPair = w->buildCount();
        by->clear();
        QCOMPARE(w->buildCount(), afterPair);

        setText("txtZamenitCo", "(\\d+)?");
        QCOMPARE(co->text(), QStringLiteral("(d+)"));  // off, a set of characters
        regex->click();
        QVERIFY(!ui<QCheckBox>("chkZamenaVse")->isEnabled());
        co->clear();
        QTest::keyClicks(co, "(\\d+)-(\\d+)|\\*?y");
        QCOMPARE(co->text(), QStringLiteral("(\\d+)-(\\d+)|\\*?y"));
        QTest::keyClicks(by, "$2?\\-$1");
        QCOMPARE(by->text(), QStringLiteral("$2\\-$1"));
        QCOMPARE(preview(), rows({aaa + " -> * beze změny", "img 12-34.jpg -> img 34-12.jpg"}));
        QCOMPARE(note(), QString());
        QCOMPARE(co->palette().color(QPalette::Text), QColor(Qt::black));
        check("(?i)IMG\\s(?<a>\\d+)", "", "-34.jpg");  // an empty replacement removes the matches
        check("img(", "", "* beze změny");
        QCOMPARE(co->palette().color(QPalette::Text), zelvar::ui::kRed);
        QCOMPARE(note(), QStringLiteral("Chybný regulární výraz: U_REGEX_MISMATCHED_PAREN (znak 5)"));
        // Off again: the fields lose what a plain replacement cannot hold, and the note goes.
        setText("txtZamenitCo", "\\d|x");
        setText("txtZamenitZaCo", "\\$");
        regex->click();
        QCOMPARE(co->text() + by->text(), QStringLiteral("dx$"));
        QVERIFY(ui<QCheckBox>("chkZamenaVse")->isEnabled());
        QCOMPARE(note(), QString());
    }

    void numberingModes() {
        open({"a.txt", "b.txt"});
        setText("txtJmeno", "n:");
        QVERIFY(!shown("fraCisla"));  // never in the simple layout
        w->mnuFunkce_Click(1);
        checkShown({"fraCisla", "txtCisloOd", "chkStejnePripony"},
                   {"chkINula", "chkCisloNula", "fraZachovatTypCislovani"});
        setText("txtJmeno", "n");
        QVERIFY(!shown("fraCisla"));
        setText("txtJmeno", "n:");
        ui<QCheckBox>("chkStejnePripony")->click();

        click("optCitac", 1);
        checkShown({"chkINula"}, {"txtCisloOd", "chkCisloNula"});
        QCOMPARE(preview(), rows({"a.txt -> n.txt", "b.txt -> n1.txt"}));

        click("optTypCislovani", 2);
        setText("txtCiselnyZaklad", "36");
        click("optCitac", 2);
        QCOMPARE(text("txtCiselnyZaklad"), QStringLiteral("10"));
        QVERIFY(w->options().optTypCislovani == zelvar::TypCislovani::Cislice);
        checkShown({"chkCisloNula", "fraZachovatCisla", "fraZachovatTypCislovani"}, {"txtCisloOd", "chkINula"});

        click("optCitac", 0);
        QCOMPARE(w->options().chkStejnePripony, 1);  // a hidden option keeps its value
        setText("txtCisloOd", "7");
        setText("txtDif", "3");
        QCOMPARE(preview(), rows({"a.txt -> n7.txt", "b.txt -> n10.txt"}));
    }

    // Typed or pasted, only digits get in: the counter start beeps once for the rest, a radix field
    // drops it silently. Leaving a radix field normalises it; a choice of digit set caps it at once.
    void digitFields() {
        openProfessional({"a.txt"});
        for (auto [name, beeps] : {std::pair{"txtCisloOd", 1}, {"txtCiselnyZaklad", 0}}) {
            QLineEdit* field = ui<QLineEdit>(name);
            field->setText("1");
            field->end(false);
            QApplication::clipboard()->setText("2x3");
            const int before = dialogs->beeps;
            field->paste();
            QTest::keyClicks(field, "a5");
            QTest::keyClick(field, Qt::Key_Backspace);
            QCOMPARE(field->text(), QStringLiteral("123"));
            QCOMPARE(dialogs->beeps - before, 2 * beeps);
        }
        QLineEdit* radix = ui<QLineEdit>("txtCiselnyZaklad");
        const std::tuple<const char*, int, bool, const char*> cases[] = {
            {"", 0, true, "2"}, {"40", 1, true, "26"}, {"30", 2, false, "30"}, {"30", 0, false, "10"}};
        for (const auto& [typed, digitSet, leave, left] : cases) {
            radix->setText(QString::fromLatin1(typed));
            click("optTypCislovani", digitSet);
            if (leave) focusOut(radix);
            QCOMPARE(radix->text(), QString::fromLatin1(left));
            QCOMPARE(w->options().txtCiselnyZaklad, zelvar::fromUtf8(left));
        }
    }

    void simpleLayoutResetsWhatItHides() {
        openProfessional({"Žába a.txt"});
        setText("txtJmeno", "n:");
        ui<QCheckBox>("chkRegVyraz")->click();
        setText("txtZamenitCo", "(");  // a faulty expression, with its red and its note
        setText("txtZamenitZaCo", "b");
        for (const char* c : {"chkBezDia", "chkObracene", "chkStejnePripony"}) ui<QCheckBox>(c)->click();
        ui<QComboBox>("cboPauzy")->setCurrentIndex(2);
        for (const char* g : {"optRazeni", "optFile", "optVelikost"}) click(g, 1);

        w->mnuFunkce_Click(0);
        const zelvar::RenameOptions& o = w->options();
        QCOMPARE(o.chkBezDia + o.chkObracene + o.chkRegVyraz, 0);
        QVERIFY(o.optRazeni == zelvar::Razeni::Jmeno && o.optFile == zelvar::File::Soubory &&
                o.cboPauzy == zelvar::Pauzy::BezeZmeny);
        QVERIFY(o.txtZamenitCo.empty() && text("txtZamenitCo").isEmpty() && note().isEmpty());
        QVERIFY(!ui<QCheckBox>("chkBezDia")->isChecked() && !ui<QCheckBox>("chkRegVyraz")->isChecked() &&
                ui<QCheckBox>("chkZamenaVse")->isEnabled());
        QCOMPARE(ui<QLineEdit>("txtZamenitCo")->palette().color(QPalette::Text), QColor(Qt::black));
        // Kept: the patterns, the letter case and the hidden "Stejná podle přípon".
        QVERIFY(o.optVelikost == zelvar::Velikost::Mala && o.chkStejnePripony == 1);
        QCOMPARE(preview(), rows({"Žába a.txt -> n1.txt"}));
        checkShown({}, {"fraCisla", "fraDoplneni", "cmdEdit"});
    }

    // "Datum" under "Řazení": the professional layout only, "změny" at start and back in the simple
    // layout; a change rebuilds the preview with the other date.
    void dateTakenChoice() {
        open({});
        zelvar::testing::writeJpeg(dir->path() + "/shot.jpg", zelvar::testing::takenAt("2024:07:14 09:30:12"));
        dir->file("notes.txt");
        dir->mtime("shot.jpg", 86400);
        dir->mtime("notes.txt", 0);
        ui<QPushButton>("cmdAktual")->click();
        QVERIFY(!shown("fraDatum"));
        w->mnuFunkce_Click(1);
        QVERIFY(shown("fraDatum"));
        auto* razeni = ui<QGroupBox>("fraRazeni");
        auto* datum = ui<QGroupBox>("fraDatum");
        QCOMPARE(datum->title(), QStringLiteral("Datum"));
        QVERIFY(datum->geometry().top() >= razeni->geometry().bottom());
        QVERIFY(ui<QWidget>("txtTest")->geometry().top() > datum->geometry().bottom());
        for (const auto& [name, caption] : {std::pair{"optDatum0", "změny"}, {"optDatum1", "pořízení"}}) {
            QCOMPARE(ui<QRadioButton>(name)->text(), QString::fromUtf8(caption));
            QVERIFY(datum->rect().contains(ui<QRadioButton>(name)->geometry()));
        }
        QVERIFY(w->options().optDatum == zelvar::Datum::Zmeny);
        setText("txtJmeno", "\\y\\m\\d_*");
        const QString modified = rows({"notes.txt -> 19700101_notes.txt", "shot.jpg -> 19700102_shot.jpg"});
        QVERIFY(preview() == modified && note().isEmpty());
        click("optDatum", 1);
        QCOMPARE(preview(), rows({"notes.txt -> 19700101_notes.txt", "shot.jpg -> 20240714_shot.jpg"}));
        QCOMPARE(note(), QStringLiteral("Datum pořízení chybí u 1 položek, použito datum změny."));
        w->mnuFunkce_Click(0);
        QVERIFY(w->options().optDatum == zelvar::Datum::Zmeny && ui<QRadioButton>("optDatum0")->isChecked());
        QVERIFY(preview() == modified && note().isEmpty());
    }

    // Text typed into "Zrušit pauzy" selects no item, also when it is an item's caption and the focus then leaves the
    // field (the list matches the text to the item as editing ends); a pick from the list still selects.
    void typedSeparatorCaptionIsNoPick() {
        openProfessional({"a-b c_d.txt"});
        showIt();
        auto* list = ui<QComboBox>("cboPauzy");
        QLineEdit* field = list->lineEdit();
        const auto typeIn = [&](const QString& text, bool thenTab) {
            field->setFocus();
            field->selectAll();
            type(field, text);
            if (thenTab) QTest::keyClick(field, Qt::Key_Tab);  // on to the next field, as a user does
        };
        const auto key = [&](Qt::Key k) { field->setFocus(), QTest::keyClick(field, k); };
        const auto picked = [&](int item, const char* to) {
            QCOMPARE(int(w->options().cboPauzy), item);
            QCOMPARE(preview(), rows({"a-b c_d.txt -> " + QString::fromUtf8(to)}));
        };
        const QString sample = ui<QLabel>("lblUkazka1")->text();
        for (int item = 1; item < list->count(); ++item) {
            const QString caption = list->itemText(item);
            typeIn(caption, true);
            QVERIFY2(!field->hasFocus(), qPrintable(caption));
            QCOMPARE(list->currentText(), caption);
            picked(-1, "* beze změny");
            QCOMPARE(ui<QLabel>("lblUkazka1")->text(), sample);
            key(Qt::Key_Return);  // back into the field and Enter: the same
            picked(-1, "* beze změny");
        }
        // The arrow keys pick an item, from the one the typed caption named: it acts, and typing again selects none.
        typeIn(list->itemText(2), true);
        picked(-1, "* beze změny");
        key(Qt::Key_Up);
        picked(1, "abcd.txt");
        key(Qt::Key_Down);
        picked(2, "a_b_c_d.txt");
        key(Qt::Key_Backspace);
        picked(-1, "* beze změny");
        QTest::keyClicks(field, "_");
        key(Qt::Key_Tab);
        picked(-1, "* beze změny");
        // Picked from the open list, the item whose caption stands typed in the field selects it.
        typeIn(list->itemText(3), false);
        list->showPopup();
        QAbstractItemView* items = list->view();
        QVERIFY(QTest::qWaitForWindowExposed(items->window()));
        const QPoint third = items->visualRect(items->model()->index(3, 0)).center();
        QTest::mouseClick(items->viewport(), Qt::LeftButton, Qt::NoModifier, third);
        picked(3, "a-b-c-d.txt");
    }

    // Chosen in the tree, typed into the path field, or a volume from the drive list.
    void foldersChosenAndTyped() {
        open({"top.txt", "inner/one.txt"}, {"inner"});
        const QString start = qpath(*dir), inner = start + "/inner";
        auto* tree = ui<FolderTree>("dirD");
        tree->setCurrentItem(tree->findItems("inner", Qt::MatchExactly | Qt::MatchRecursive).value(0));
        QCOMPARE(text("txtCesta"), inner);
        QCOMPARE(preview(), rows({"one.txt -> * beze změny"}));
        // No path at all: message, and the field shows the current folder again.
        enterPath("relative/path");
        QCOMPARE(dialogs->asked, (std::vector<AskedBox>{{"Adresa není v pořádku", zelvar::box::information}}));
        QCOMPARE(text("txtCesta"), inner);
        // A folder that does not exist: message, the typed text stays, the listing does not move.
        enterPath(start + "/missing");
        QCOMPARE(int(dialogs->asked.size()), 2);
        QCOMPARE(text("txtCesta"), start + "/missing");
        QCOMPARE(w->folder(), inner.toStdString());
        // An existing folder, written untidily: everything moves to it.
        setText("txtCesta", qPrintable(start + "//inner/.././"));
        focusOut(ui<QLineEdit>("txtCesta"));
        QCOMPARE(text("txtCesta"), start);
        QCOMPARE(tree->path(), dir->path());
        QCOMPARE(preview(), rows({"top.txt -> * beze změny"}));
        // A volume that cannot be opened: message, and the list returns to the drive of the tree.
        w->setVolumes({{"/", "", "ext4", "/dev/vda"}, {"/nonexistent-zelvar-volume", "USB", "vfat", "/dev/sdz1"}});
        QComboBox* drives = ui<QComboBox>("drvDisk");
        drives->setCurrentIndex(1);
        QCOMPARE(dialogs->asked.back(), (AskedBox{"S diskem nelze pracovat", zelvar::box::exclamation}));
        QCOMPARE(drives->currentIndex(), 0);
        QCOMPARE(tree->path(), dir->path());
        // A folder whose name is no UTF-8 shows in the path field, and the field reads back as it.
        const std::string odd = dir->path() + "/caf\xe9";
        QCOMPARE(::mkdir(odd.c_str(), 0755), 0);
        w = std::make_unique<frmMain>(*dialogs, odd);
        const QString oddShown = text("txtCesta");
        enterPath(start);
        enterPath(oddShown);
        QCOMPARE(int(dialogs->asked.size()), 3);
        QCOMPARE(w->folder(), odd);
    }

    // At the start, then with a filter and each kind of entry.
    void startUpFilterAndEntryKind() {
        open({"b.txt", "a.jpg"}, {"dir.d"});
        QVERIFY(w->windowTitle().endsWith(" <" + qpath(*dir) + ">"));
        QCOMPARE(preview(), rows({"a.jpg -> * beze změny", "b.txt -> * beze změny"}));
        QVERIFY(!renameOffered() && ui<QPushButton>("cmdTest")->isEnabled());
        QCOMPARE(ui<QListWidget>("filD")->count(), 2);  // files only, the folder is not one
        checkShown({}, {"fraCisla", "fraDoplneni", "fraRazeni", "fraFile", "cmdEdit", "txtEdit", "lblPracuji"});
        setText("txtJmeno", "x:");
        setText("txtVyhlFiltr", "*.jpg");
        QCOMPARE(preview(), rows({"a.jpg -> x1.jpg"}));
        QCOMPARE(ui<QListWidget>("filD")->count(), 1);
        QVERIFY(!renameOffered());  // until a build that is asked for
        ui<QPushButton>("cmdTest")->click();
        QVERIFY(renameOffered());
        setText("txtVyhlFiltr", "*.*");
        w->mnuFunkce_Click(1);
        click("optFile", 1);
        QCOMPARE(preview(), rows({"dir.d -> x1.d"}));
        click("optFile", 2);
        QCOMPARE(preview(), rows({"a.jpg -> x1.jpg", "b.txt -> x2.txt", "dir.d -> x3.d"}));
    }

    // The second refresh button asks about a changed extension first (No puts "*" back), then reports the counts. A
    // change made while the question waits is built after the running build, not inside it.
    void cmdTestAsksThenCounts() {
        open({"A.txt", "b.txt"});
        click("optVelikost", 1);
        setText("txtExt", "?");
        dialogs->answers = {zelvar::Answer::no};
        ui<QPushButton>("cmdTest")->click();
        const std::vector<AskedBox> expected = {
            {"Měníte přípony.\r\nJe to tak správně?", zelvar::box::yesNo},
            {"Počet zpracovaných souborů: 2\r\nPočet přejmenování: 1\r\nPočet beze změny: 1", zelvar::box::plain}};
        QCOMPARE(dialogs->asked, expected);
        QCOMPARE(text("txtExt"), QStringLiteral("*"));
        QCOMPARE(preview(), rows({"A.txt -> a.txt", "b.txt -> * beze změny"}));
        dialogs->asked.clear();
        setText("txtExt", "x");
        dialogs->answers = {zelvar::Answer::yes};
        dialogs->onAsk = [&] {
            if (dialogs->asked.size() == 1) setText("txtJmeno", "late:");
        };
        const int builds = w->buildCount();
        ui<QPushButton>("cmdTest")->click();
        QCOMPARE(w->buildCount(), builds + 2);
        QCOMPARE(preview(), rows({"A.txt -> late1.x", "b.txt -> late2.x"}));
    }
};

QTEST_MAIN(TestFrmMain)
#include "test_frmMain.moc"
