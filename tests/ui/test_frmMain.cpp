// The main window on temporary folders, with scripted message boxes: start-up, the kinds of
// refresh, numbering modes, key filtering and normalisation, layouts, folder and path handling,
// the statistics run of the second refresh button, and the About box.
#include <QtTest>
#include <functional>
#include <sys/stat.h>

#include "ui/FolderTree.h"
#include "ui/frmAbout.h"
#include "ui/window_fixture.h"
#include "version.h"

namespace {

void focusOut(QWidget* w) {
    QFocusEvent event(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(w, &event);
}

void pressEnter(QWidget* w) { QTest::keyClick(w, Qt::Key_Return); }

QString stats(int all, int renamed, int same) {
    return QStringLiteral("Počet zpracovaných souborů: %1\r\nPočet přejmenování: %2\r\nPočet beze změny: %3")
        .arg(all)
        .arg(renamed)
        .arg(same);
}

}  // namespace

class TestFrmMain : public QObject, protected WindowFixture {
    Q_OBJECT

    void checkOneMessage(const char* text, zelvar::BoxStyle style) {
        QCOMPARE(int(dialogs->asked.size()), 1);
        QCOMPARE(dialogs->asked[0], (AskedBox{text, style}));
    }
    QString folder() const { return QString::fromStdString(w->folder()); }

private slots:
    void cleanup() { close(); }

    void startUpState() {
        open({"b.txt", "a.txt"}, {"sub"});
        QCOMPARE(w->windowTitle(),
                 QStringLiteral("Zelvar - přejmenování souborů [Jednoduché funkce] <") + qpath(*dir) + ">");
        QVERIFY(ui<QAction>("mnuFunkce0")->isChecked() && !ui<QAction>("mnuFunkce1")->isChecked());
        QCOMPARE(ui<QLabel>("lblVerze")->text(), QStringLiteral("Verze ") + QString::fromLatin1(zelvar::kVersion));
        QCOMPARE(ui<QLabel>("lblUkazka1")->text(), QStringLiteral("Abcd efGHij klm NOP.HAF"));
        QCOMPARE(ui<QLabel>("lblUkazka2")->text(), QStringLiteral("xY.Gh"));
        QCOMPARE(preview(), rows({"a.txt -> * beze změny", "b.txt -> * beze změny"}));
        QVERIFY(!renameOffered() && ui<QPushButton>("cmdTest")->isEnabled());
        QCOMPARE(ui<QLineEdit>("txtCesta")->text(), qpath(*dir));
        QCOMPARE(ui<QListWidget>("filD")->count(), 2);  // files only, the folder "sub" is not one
        QCOMPARE(ui<QListWidget>("filD")->item(0)->text(), QStringLiteral("a.txt"));
        checkShown({"fraCisla", "fraDoplneni", "fraRazeni", "fraFile", "cmdEdit", "txtEdit", "lblPracuji", "lblPrace"},
                   false);
        QVERIFY(dialogs->asked.empty());
    }

    // With an empty name pattern, a plain rebuild builds anyway, the other refreshes clear.
    void emptyNamePatternRefreshKinds() {
        open({"a.txt"});
        w->mnuFunkce_Click(1);
        ui<QLineEdit>("txtJmeno")->setText("");
        QCOMPARE(preview(), QString());
        QVERIFY(!ui<QPushButton>("cmdTest")->isEnabled() && !renameOffered());
        const QString built = rows({"a.txt -> * prázdné jméno"});
        const std::pair<std::function<void()>, QString> steps[] = {
            {[&] { ui<QCheckBox>("chkCisla")->click(); }, built},             // plain rebuild
            {[&] { ui<QCheckBox>("chkObracene")->click(); }, QString()},      // preview refresh
            {[&] { ui<QCheckBox>("chkExt")->click(); }, QString()},           // full refresh
            {[&] { ui<QLineEdit>("txtCisloOd")->setText("5"); }, QString()},  // full refresh
            {[&] { QTest::keyClicks(ui<QLineEdit>("txtJmeno"), "x"); }, rows({"a.txt -> x.txt"})},
        };
        for (const auto& [act, expected] : steps) {
            act();
            QCOMPARE(preview(), expected);
        }
        QVERIFY(ui<QPushButton>("cmdTest")->isEnabled() && renameOffered());
    }

    void previewAndSamplesFollowThePattern() {
        open({"b.txt", "a.txt", "c.doc"});
        QTest::keyClicks(ui<QLineEdit>("txtJmeno"), "x");  // "*x": every name gets an x
        QCOMPARE(ui<QLabel>("lblUkazka1")->text(), QStringLiteral("Abcd efGHij klm NOPx.HAF"));
        QCOMPARE(preview(), rows({"a.txt -> ax.txt", "b.txt -> bx.txt", "c.doc -> cx.doc"}));
        QVERIFY(renameOffered());
        ui<QLineEdit>("txtJmeno")->setText("x");
        click(ui<QButtonGroup>("optVelikost"), 2);
        QCOMPARE(ui<QLabel>("lblUkazka2")->text(), QStringLiteral("X.GH"));
        QCOMPARE(preview(), rows({"a.txt -> X.TXT", "b.txt -> * viz >X.TXT< výše", "c.doc -> X.DOC"}));
    }

    // Every option control rebuilds the preview with its new value.
    void optionsRebuild() {
        open({"Žába a-b.jpg"});
        w->mnuFunkce_Click(1);
        const std::pair<std::function<void()>, const char*> steps[] = {
            {[&] { ui<QCheckBox>("chkBezDia")->click(); }, "Zaba a-b.jpg"},
            {[&] { ui<QComboBox>("cboPauzy")->setCurrentIndex(2); }, "Zaba_a_b.jpg"},
            {[&] { ui<QLineEdit>("txtOdstranit")->setText("b"); }, "Zaa_a_.jpg"},
            {[&] { ui<QCheckBox>("chkJmeno")->click(); }, "_a_aaZ.jpg"},
            {[&] { ui<QCheckBox>("chkExt")->click(); }, "_a_aaZ.gpj"},
            {[&] { click(ui<QButtonGroup>("optVelikost"), 1); }, "_a_aaz.gpj"},
        };
        for (const auto& [act, expected] : steps) {
            act();
            QCOMPARE(preview(), rows({QStringLiteral("Žába a-b.jpg -> ") + QString::fromUtf8(expected)}));
        }
    }

    void replacementFieldsStripAndRefreshOnlyAsAPair() {
        open({"abc.txt"});
        w->mnuFunkce_Click(1);
        const int builds = w->buildCount();
        QApplication::clipboard()->setText("a:b*c");
        ui<QLineEdit>("txtZamenitCo")->paste();
        QCOMPARE(ui<QLineEdit>("txtZamenitCo")->text(), QStringLiteral("abc"));
        QCOMPARE(w->buildCount(), builds);  // "Čím" is still empty
        QTest::keyClicks(ui<QLineEdit>("txtZamenitZaCo"), "x?");
        QCOMPARE(ui<QLineEdit>("txtZamenitZaCo")->text(), QStringLiteral("x"));
        QCOMPARE(preview(), rows({"abc.txt -> xxx.txt"}));
        const int afterPair = w->buildCount();
        ui<QLineEdit>("txtZamenitZaCo")->clear();
        QCOMPARE(w->buildCount(), afterPair);

        // Text typed into the separator list selects no item, even when it spells an item's caption.
        QComboBox* pauzy = ui<QComboBox>("cboPauzy");
        pauzy->lineEdit()->clear();
        QKeyEvent typing(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("Beze změny"));
        QApplication::sendEvent(pauzy->lineEdit(), &typing);
        QCOMPARE(w->options().cboPauzy, -1);
        QTest::keyClick(pauzy, Qt::Key_Down);
        QCOMPARE(w->options().cboPauzy, 1);
    }

    void numberingModes() {
        open({"a.txt", "b.txt"});
        ui<QLineEdit>("txtJmeno")->setText("n:");
        QVERIFY(!shown(ui<QGroupBox>("fraCisla")));  // never in the simple layout
        w->mnuFunkce_Click(1);
        checkShown({"fraCisla", "txtCisloOd", "txtDif", "chkStejnePripony"}, true);
        checkShown({"chkINula", "chkCisloNula", "fraZachovatTypCislovani"}, false);
        ui<QLineEdit>("txtJmeno")->setText("n");
        QVERIFY(!shown(ui<QGroupBox>("fraCisla")));
        ui<QLineEdit>("txtJmeno")->setText("n:");
        ui<QCheckBox>("chkStejnePripony")->click();

        click(ui<QButtonGroup>("optCitac"), 1);
        checkShown({"chkINula"}, true);
        checkShown({"txtCisloOd", "chkCisloNula"}, false);
        QCOMPARE(preview(), rows({"a.txt -> n.txt", "b.txt -> n1.txt"}));

        click(ui<QButtonGroup>("optTypCislovani"), 2);
        ui<QLineEdit>("txtCiselnyZaklad")->setText("36");
        click(ui<QButtonGroup>("optCitac"), 2);
        QCOMPARE(ui<QLineEdit>("txtCiselnyZaklad")->text(), QStringLiteral("10"));
        QCOMPARE(w->options().optTypCislovani, 0);
        checkShown({"chkCisloNula", "fraZachovatCisla", "txtZachovatCiselnyZaklad", "fraZachovatTypCislovani"}, true);
        checkShown({"txtCisloOd", "chkINula"}, false);

        click(ui<QButtonGroup>("optCitac"), 0);
        QCOMPARE(w->options().chkStejnePripony, 1);  // a hidden option keeps its value
        // The step is written back without a second build.
        const int builds = w->buildCount();
        ui<QLineEdit>("txtDif")->setText("0");
        QCOMPARE(ui<QLineEdit>("txtDif")->text(), QStringLiteral("1"));
        QCOMPARE(w->buildCount(), builds + 1);
        ui<QLineEdit>("txtCisloOd")->setText("7");
        ui<QLineEdit>("txtDif")->setText("3");
        QCOMPARE(preview(), rows({"a.txt -> n7.txt", "b.txt -> n10.txt"}));
    }

    // Typed or pasted, only digits get in: the counter start beeps once for the rest, a radix field
    // drops it silently. Leaving a radix field normalises it; a choice of digit set caps it at once.
    void digitFields() {
        open({"a.txt"});
        w->mnuFunkce_Click(1);
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
        struct Case {
            const char* typed;
            int digitSet;
            bool leave;
            const char* left;
        };
        for (const Case& c : {Case{"", 0, true, "2"}, Case{"007", 0, true, "7"}, Case{"40", 1, true, "26"},
                              Case{"30", 2, false, "30"}, Case{"30", 0, false, "10"}}) {
            radix->setText(QString::fromLatin1(c.typed));
            click(ui<QButtonGroup>("optTypCislovani"), c.digitSet);
            if (c.leave) focusOut(radix);
            QCOMPARE(radix->text(), QString::fromLatin1(c.left));
            QCOMPARE(w->options().txtCiselnyZaklad, zelvar::fromUtf8(c.left));
        }
        // The kept-number field follows only its own digit set.
        click(ui<QButtonGroup>("optCitac"), 2);
        ui<QLineEdit>("txtZachovatCiselnyZaklad")->setText("40");
        click(ui<QButtonGroup>("optZachovatTypCislovani"), 1);
        QCOMPARE(ui<QLineEdit>("txtZachovatCiselnyZaklad")->text(), QStringLiteral("26"));
        QCOMPARE(radix->text(), QStringLiteral("10"));
    }

    void simpleLayoutResetsWhatItHides() {
        open({"Žába a.txt"});
        w->mnuFunkce_Click(1);
        QVERIFY(w->windowTitle().contains(QStringLiteral("[Profesionální funkce]")));
        checkShown({"fraDoplneni", "fraRazeni", "fraFile", "cmdEdit"}, true);
        ui<QLineEdit>("txtJmeno")->setText("n:");
        ui<QLineEdit>("txtZamenitCo")->setText("a");
        ui<QLineEdit>("txtZamenitZaCo")->setText("b");
        ui<QLineEdit>("txtOdstranit")->setText(" ");
        for (const char* c : {"chkBezDia", "chkCisla", "chkObracene", "chkJmeno", "chkStejnePripony"})
            ui<QCheckBox>(c)->click();
        ui<QComboBox>("cboPauzy")->setCurrentIndex(2);
        ui<QLineEdit>("txtCisloOd")->setText("5");
        for (const char* g : {"optRazeni", "optTypCislovani", "optFile", "optVelikost"}) click(ui<QButtonGroup>(g), 1);

        w->mnuFunkce_Click(0);
        const zelvar::RenameOptions& o = w->options();
        QCOMPARE(o.chkBezDia + o.chkCisla + o.chkObracene + o.chkJmeno, 0);
        QVERIFY(o.txtZamenitCo.empty() && o.txtZamenitZaCo.empty() && o.txtOdstranit.empty());
        QCOMPARE(o.optRazeni + o.optTypCislovani + o.optFile + o.cboPauzy, 0);
        QVERIFY(!ui<QCheckBox>("chkBezDia")->isChecked() && ui<QLineEdit>("txtZamenitCo")->text().isEmpty());
        // Kept: the patterns, the letter case and the hidden "Stejná podle přípon".
        QCOMPARE(o.txtJmeno, zelvar::Text(U"n:"));
        QCOMPARE(o.optVelikost, 1);
        QCOMPARE(o.chkStejnePripony, 1);
        QCOMPARE(preview(), rows({"Žába a.txt -> n1.txt"}));
        QVERIFY(w->windowTitle().contains(QStringLiteral("[Jednoduché funkce]")));
        checkShown({"fraCisla", "fraDoplneni", "cmdEdit"}, false);

        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QTest::keyClick(w.get(), Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(w->layoutMode(), 1);
        QCOMPARE(w->options().optVelikost, 1);  // the professional layout changes no option
        QTest::keyClick(w.get(), Qt::Key_J, Qt::ControlModifier);
        QCOMPARE(w->layoutMode(), 0);
    }

    void foldersChosenAndTyped() {
        open({"top.txt", "inner/one.txt"}, {"inner"});
        const QString start = qpath(*dir), inner = start + "/inner";
        ui<FolderTree>("dirD")->setCurrentItem(
            ui<FolderTree>("dirD")->findItems("inner", Qt::MatchExactly | Qt::MatchRecursive).value(0));
        QCOMPARE(ui<QLineEdit>("txtCesta")->text(), inner);
        QVERIFY(w->windowTitle().endsWith(" <" + inner + ">"));
        QCOMPARE(preview(), rows({"one.txt -> * beze změny"}));

        // No path at all: message, and the field shows the current folder again.
        ui<QLineEdit>("txtCesta")->setText("relative/path");
        pressEnter(ui<QLineEdit>("txtCesta"));
        checkOneMessage("Adresa není v pořádku", zelvar::box::information);
        QCOMPARE(ui<QLineEdit>("txtCesta")->text(), inner);

        // A folder that does not exist: message, the typed text stays, the listing does not move.
        ui<QLineEdit>("txtCesta")->setText(start + "/missing");
        pressEnter(ui<QLineEdit>("txtCesta"));
        QCOMPARE(int(dialogs->asked.size()), 2);
        QCOMPARE(ui<QLineEdit>("txtCesta")->text(), start + "/missing");
        QCOMPARE(folder(), inner);

        // An existing folder, written untidily: everything moves to it.
        ui<QLineEdit>("txtCesta")->setText(start + "//inner/.././");
        focusOut(ui<QLineEdit>("txtCesta"));
        QCOMPARE(ui<QLineEdit>("txtCesta")->text(), start);
        QCOMPARE(QString::fromStdString(ui<FolderTree>("dirD")->path()), start);
        QCOMPARE(preview(), rows({"top.txt -> * beze změny"}));
        QCOMPARE(int(dialogs->asked.size()), 2);
    }

    // A folder whose name is no UTF-8 shows in the path field, and the field reads back as that folder.
    void pathThatIsNoUtf8() {
        open({"top.txt"});
        const std::string odd = dir->path() + "/caf\xe9";
        QCOMPARE(::mkdir(odd.c_str(), 0755), 0);
        w = std::make_unique<frmMain>(*dialogs, odd);
        QLineEdit* path = ui<QLineEdit>("txtCesta");
        const QString shown = path->text();
        path->setText(qpath(*dir));
        pressEnter(path);
        QCOMPARE(preview(), rows({"top.txt -> * beze změny"}));
        path->setText(shown);
        pressEnter(path);
        QVERIFY(dialogs->asked.empty());
        QCOMPARE(w->folder(), odd);
    }

    void driveList() {
        open({"top.txt"});
        w->setVolumes({{"/", "", "ext4", "/dev/vda"}, {"/nonexistent-zelvar-volume", "USB", "vfat", "/dev/sdz1"}});
        QComboBox* drives = ui<QComboBox>("drvDisk");
        QCOMPARE(drives->itemText(1), QStringLiteral("/nonexistent-zelvar-volume  [USB]"));
        // A volume that cannot be opened: message, and the list returns to the drive of the tree.
        drives->setCurrentIndex(1);
        checkOneMessage("S diskem nelze pracovat", zelvar::box::exclamation);
        QCOMPARE(drives->currentIndex(), 0);
        QCOMPARE(ui<FolderTree>("dirD")->path(), dir->path());
    }

    void filterAndEntryKind() {
        open({"a.jpg", "b.txt"}, {"dir.d"});
        ui<QLineEdit>("txtJmeno")->setText("x:");
        ui<QLineEdit>("txtVyhlFiltr")->setText("*.jpg");
        QCOMPARE(preview(), rows({"a.jpg -> x1.jpg"}));
        QCOMPARE(ui<QListWidget>("filD")->count(), 1);
        QVERIFY(!renameOffered());  // until a build that is asked for
        ui<QPushButton>("cmdTest")->click();
        QVERIFY(renameOffered());
        ui<QLineEdit>("txtVyhlFiltr")->setText("*.*");
        w->mnuFunkce_Click(1);
        click(ui<QButtonGroup>("optFile"), 1);
        QCOMPARE(preview(), rows({"dir.d -> x1.d"}));
        click(ui<QButtonGroup>("optFile"), 2);
        QCOMPARE(preview(), rows({"a.jpg -> x1.jpg", "b.txt -> x2.txt", "dir.d -> x3.d"}));
    }

    void cmdTestStatistics_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("ext");
        QTest::addColumn<QList<zelvar::Answer>>("answer");  // empty: no extension question
        QTest::addColumn<QString>("extAfter");
        QTest::addColumn<QString>("preview");
        QTest::addColumn<QString>("stats");
        const QStringList ab = {"A.txt", "b.txt"};
        QTest::newRow("extension yes") << ab << "x" << QList{zelvar::Answer::yes} << "x"
                                       << rows({"A.txt -> a.x", "b.txt -> b.x"}) << stats(2, 2, 0);
        QTest::newRow("extension no") << ab << "?" << QList{zelvar::Answer::no} << "*"
                                      << rows({"A.txt -> a.txt", "b.txt -> * beze změny"}) << stats(2, 1, 1);
        QTest::newRow("empty folder") << QStringList() << "*" << QList<zelvar::Answer>() << "*" << QString()
                                      << stats(0, 0, 0);
    }
    void cmdTestStatistics() {
        QFETCH(QStringList, files);
        QFETCH(QList<zelvar::Answer>, answer);
        open(files);
        click(ui<QButtonGroup>("optVelikost"), 1);
        QFETCH(QString, ext);
        ui<QLineEdit>("txtExt")->setText(ext);
        dialogs->answers.assign(answer.begin(), answer.end());
        ui<QPushButton>("cmdTest")->click();
        QCOMPARE(int(dialogs->asked.size()), answer.size() + 1);
        if (!answer.isEmpty())
            QCOMPARE(dialogs->asked[0], (AskedBox{"Měníte přípony.\r\nJe to tak správně?", zelvar::box::yesNo}));
        QTEST(ui<QLineEdit>("txtExt")->text(), "extAfter");
        QCOMPARE(QString::fromStdString(zelvar::toUtf8(w->options().txtExt)), ui<QLineEdit>("txtExt")->text());
        QTEST(preview(), "preview");
        QTEST(asked(dialogs->asked.size() - 1), "stats");
        QCOMPARE(dialogs->asked.back().style, zelvar::box::plain);
        QCOMPARE(renameOffered(), !files.isEmpty());
    }

    // A change made while the question waits is built after the running build, not inside it.
    void noBuildInsideABuild() {
        open({"a.txt"});
        ui<QLineEdit>("txtExt")->setText("x");
        dialogs->answers = {zelvar::Answer::yes};
        dialogs->onAsk = [&] {
            if (dialogs->asked.size() == 1) ui<QLineEdit>("txtJmeno")->setText("late");
        };
        const int builds = w->buildCount();
        ui<QPushButton>("cmdTest")->click();
        QCOMPARE(w->buildCount(), builds + 2);
        QCOMPARE(preview(), rows({"a.txt -> late.x"}));
    }

    void aboutBox() {
        open({});
        bool checked = false;
        QTimer::singleShot(0, [&] {
            auto* about = qobject_cast<frmAbout*>(QApplication::activeModalWidget());
            QVERIFY(about);
            QCOMPARE(about->windowTitle(), QStringLiteral("O aplikaci  Zelvar"));
            QCOMPARE(about->lblVersion->text(), QStringLiteral("Verze ") + QString::fromLatin1(zelvar::kVersion));
            about->cmdSysInfo->click();
            QVERIFY(QString::fromStdString(dialogs->last())
                        .startsWith(QStringLiteral("Zelvar %1\r\nQt ").arg(zelvar::kVersion)));
            checked = true;
            QTest::keyClick(about, Qt::Key_Escape);
        });
        ui<QAction>("mnuOAplikaci")->trigger();
        QVERIFY(checked);
        QVERIFY(!QApplication::activeModalWidget());
        // Closing the window closes the box with it.
        w->show();
        QTimer::singleShot(0, [&] { w->close(); });
        w->mnuOAplikaci_Click();
        QVERIFY(!QApplication::activeModalWidget() && !w->isVisible());
    }
};

QTEST_MAIN(TestFrmMain)
#include "test_frmMain.moc"
