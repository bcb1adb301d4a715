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
        QCOMPARE(asked(0), QString::fromUtf8(text));
        QCOMPARE(dialogs->asked[0].style, style);
    }

private slots:
    void cleanup() { close(); }

    void startUpState() {
        open({"b.txt", "a.txt"}, {"sub"});
        QCOMPARE(w->windowTitle(),
                 QStringLiteral("Zelvar - přejmenování souborů [Jednoduché funkce] <") + dir->qpath() + ">");
        QVERIFY(ui<QAction>("mnuFunkce0")->isChecked() && !ui<QAction>("mnuFunkce1")->isChecked());
        QCOMPARE(ui<QLabel>("lblVerze")->text(), QStringLiteral("Verze ") + QString::fromLatin1(zelvar::kVersion));
        QCOMPARE(ui<QLabel>("lblPopis")->text().count('\n'), 6);
        QCOMPARE(ui<QLabel>("lblUkazka1")->text(), QStringLiteral("Abcd efGHij klm NOP.HAF"));
        QCOMPARE(ui<QLabel>("lblUkazka2")->text(), QStringLiteral("xY.Gh"));
        QCOMPARE(preview(), rows({"a.txt -> * beze změny", "b.txt -> * beze změny"}));
        QVERIFY(!ui<QToolButton>("cmdPrejmenovat")->isEnabled() && ui<QPushButton>("cmdTest")->isEnabled());
        QCOMPARE(w->options().cboPauzy, 0);
        QCOMPARE(ui<QLineEdit>("txtCesta")->text(), dir->qpath());
        QCOMPARE(QString::fromStdString(ui<FolderTree>("dirD")->path()), dir->qpath());
        QCOMPARE(ui<QListWidget>("filD")->count(), 2);  // files only, the folder "sub" is not one
        QCOMPARE(ui<QListWidget>("filD")->item(0)->text(), QStringLiteral("a.txt"));
        checkShown({ui<QGroupBox>("fraCisla"), ui<QGroupBox>("fraDoplneni"), ui<QGroupBox>("fraRazeni"),
                    ui<QGroupBox>("fraFile"), ui<QPushButton>("cmdEdit"), ui<QPlainTextEdit>("txtEdit"),
                    ui<QLabel>("lblPracuji"), ui<QLabel>("lblPrace")},
                   false);
        QCOMPARE(w->centralWidget()->size(), QSize(915, 659));
        QCOMPARE(w->centralWidget()->minimumSize(), QSize(915, 659));  // the start size is the smallest
        QCOMPARE(ui<PreviewView>("txtTest")->geometry(), QRect(304, 152, 344, 484));
        QCOMPARE(ui<QListWidget>("filD")->geometry(), QRect(8, 337, 282, 298));
        QVERIFY(dialogs->asked.empty());
    }

    // With an empty name pattern, a plain rebuild builds anyway, the other refreshes clear.
    void emptyNamePatternRefreshKinds() {
        open({"a.txt"});
        w->mnuFunkce_Click(1);
        ui<QLineEdit>("txtJmeno")->setText("");
        QCOMPARE(preview(), QString());
        QVERIFY(!ui<QPushButton>("cmdTest")->isEnabled() && !ui<QToolButton>("cmdPrejmenovat")->isEnabled());
        const QString built = rows({"a.txt -> * prázdné jméno"});
        const std::pair<std::function<void()>, QString> steps[] = {
            {[&] { ui<QCheckBox>("chkCisla")->click(); }, built},             // plain rebuild
            {[&] { ui<QCheckBox>("chkObracene")->click(); }, QString()},      // preview refresh
            {[&] { click(ui<QButtonGroup>("optRazeni"), 2); }, built},        // plain rebuild
            {[&] { ui<QCheckBox>("chkExt")->click(); }, QString()},           // full refresh
            {[&] { ui<QLineEdit>("txtCisloOd")->setText("5"); }, QString()},  // full refresh
            {[&] { QTest::keyClicks(ui<QLineEdit>("txtJmeno"), "x"); }, rows({"a.txt -> x.txt"})},
        };
        for (const auto& [act, expected] : steps) {
            act();
            QCOMPARE(preview(), expected);
        }
        QVERIFY(ui<QPushButton>("cmdTest")->isEnabled() && ui<QToolButton>("cmdPrejmenovat")->isEnabled());
    }

    void previewAndSamplesFollowThePattern() {
        open({"b.txt", "a.txt", "c.doc"});
        QTest::keyClicks(ui<QLineEdit>("txtJmeno"), "x");  // "*x": every name gets an x
        QCOMPARE(ui<QLabel>("lblUkazka1")->text(), QStringLiteral("Abcd efGHij klm NOPx.HAF"));
        QCOMPARE(preview(), rows({"a.txt -> ax.txt", "b.txt -> bx.txt", "c.doc -> cx.doc"}));
        QVERIFY(ui<QToolButton>("cmdPrejmenovat")->isEnabled());
        ui<QLineEdit>("txtJmeno")->setText("x");
        QCOMPARE(preview(), rows({"a.txt -> x.txt", "b.txt -> * viz >x.txt< výše", "c.doc -> x.doc"}));
        click(ui<QButtonGroup>("optVelikost"), 2);
        QCOMPARE(ui<QLabel>("lblUkazka2")->text(), QStringLiteral("X.GH"));
        QCOMPARE(preview(), rows({"a.txt -> X.TXT", "b.txt -> * viz >X.TXT< výše", "c.doc -> X.DOC"}));
    }

    void replacementFieldsStripAndRefreshOnlyAsAPair() {
        open({"abc.txt"});
        w->mnuFunkce_Click(1);
        const int builds = w->buildCount();
        QTest::keyClicks(ui<QLineEdit>("txtZamenitCo"), "b");
        ui<QLineEdit>("txtZamenitCo")->clear();
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
        QCOMPARE(preview(), rows({"abc.txt -> xxx.txt"}));  // kept until another option changes
        ui<QCheckBox>("chkBezDia")->click();
        QCOMPARE(preview(), rows({"abc.txt -> * beze změny"}));

        // Text typed into the separator list selects no item; the edit refreshes like a choice.
        const int beforeEdit = w->buildCount();
        ui<QComboBox>("cboPauzy")->setEditText(QStringLiteral("Zaměň"));
        QCOMPARE(w->options().cboPauzy, -1);
        QCOMPARE(w->buildCount(), beforeEdit + 1);
        // Also when it spells an item's caption; a pick from the list selects the item.
        QComboBox* pauzy = ui<QComboBox>("cboPauzy");
        pauzy->lineEdit()->clear();
        QKeyEvent typing(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("Beze změny"));
        QApplication::sendEvent(pauzy->lineEdit(), &typing);
        QCOMPARE(w->options().cboPauzy, -1);
        QTest::keyClick(pauzy, Qt::Key_Down);
        QCOMPARE(w->options().cboPauzy, 1);
        QTest::keyClick(pauzy, Qt::Key_Up);
        QCOMPARE(pauzy->currentText(), QStringLiteral("Beze změny"));
        QCOMPARE(w->options().cboPauzy, 0);
    }

    void numberingModes() {
        open({"a.txt", "b.txt"});
        ui<QLineEdit>("txtJmeno")->setText("n:");
        QVERIFY(!shown(ui<QGroupBox>("fraCisla")));  // never in the simple layout
        QCOMPARE(preview(), rows({"a.txt -> n1.txt", "b.txt -> n2.txt"}));
        w->mnuFunkce_Click(1);
        QVERIFY(shown(ui<QGroupBox>("fraCisla")));
        ui<QLineEdit>("txtJmeno")->setText("n");
        QVERIFY(!shown(ui<QGroupBox>("fraCisla")));
        ui<QLineEdit>("txtJmeno")->setText("n:");
        checkShown({ui<QGroupBox>("fraCisla"), ui<QLineEdit>("txtCisloOd"), ui<QLineEdit>("txtDif"),
                    ui<QCheckBox>("chkStejnePripony")},
                   true);
        checkShown({ui<QCheckBox>("chkINula"), ui<QGroupBox>("fraZachovatTypCislovani")}, false);
        ui<QCheckBox>("chkStejnePripony")->click();

        click(ui<QButtonGroup>("optCitac"), 1);
        checkShown({ui<QCheckBox>("chkINula")}, true);
        checkShown({ui<QLineEdit>("txtCisloOd"), ui<QCheckBox>("chkCisloNula")}, false);
        QCOMPARE(preview(), rows({"a.txt -> n.txt", "b.txt -> n1.txt"}));

        click(ui<QButtonGroup>("optTypCislovani"), 2);
        ui<QLineEdit>("txtCiselnyZaklad")->setText("36");
        click(ui<QButtonGroup>("optCitac"), 2);
        QCOMPARE(ui<QLineEdit>("txtCiselnyZaklad")->text(), QStringLiteral("10"));
        QVERIFY(ui<QButtonGroup>("optTypCislovani")->button(0)->isChecked());
        QCOMPARE(w->options().optTypCislovani, 0);
        checkShown({ui<QCheckBox>("chkCisloNula"), ui<QGroupBox>("fraZachovatCisla"),
                    ui<QLineEdit>("txtZachovatCiselnyZaklad"), ui<QGroupBox>("fraZachovatTypCislovani"),
                    ui<QGroupBox>("fraTypCislovani"), ui<QLineEdit>("txtCiselnyZaklad")},
                   true);
        checkShown({ui<QLineEdit>("txtCisloOd"), ui<QCheckBox>("chkINula")}, false);

        click(ui<QButtonGroup>("optCitac"), 0);
        QCOMPARE(w->options().chkStejnePripony, 1);  // a hidden option keeps its value

        // The step is written back without a second build.
        const int builds = w->buildCount();
        ui<QLineEdit>("txtDif")->setText("0");
        QCOMPARE(ui<QLineEdit>("txtDif")->text(), QStringLiteral("1"));
        QCOMPARE(w->options().txtDif, zelvar::Text(U"1"));
        QCOMPARE(w->buildCount(), builds + 1);
        ui<QLineEdit>("txtCisloOd")->setText("7");
        ui<QLineEdit>("txtDif")->setText("3");
        QCOMPARE(preview(), rows({"a.txt -> n7.txt", "b.txt -> n10.txt"}));
    }

    void counterStartAcceptsDigitsOnly() {
        open({"a.txt"});
        w->mnuFunkce_Click(1);
        QLineEdit* od = ui<QLineEdit>("txtCisloOd");
        od->setText("1");
        od->setCursorPosition(1);
        QTest::keyClicks(od, "a");
        QCOMPARE(dialogs->beeps, 1);
        QTest::keyClicks(od, "5");
        QTest::keyClick(od, Qt::Key_Return);
        QCOMPARE(od->text(), QStringLiteral("15"));
        QCOMPARE(dialogs->beeps, 1);
        QTest::keyClick(od, Qt::Key_Backspace);
        QCOMPARE(od->text(), QStringLiteral("1"));
    }

    // What a paste or a drop brings is judged character by character: the digits get in, the counter
    // start beeps once for the rest (as for a typed key), a radix field drops it silently. The
    // editing shortcuts are the field's own.
    void digitFieldsPasteAndShortcuts() {
        open({"a.txt"});
        w->mnuFunkce_Click(1);
        using Way = std::function<void(QLineEdit*)>;
        const std::pair<Way, const char*> ways[] =
            {
                {[](QLineEdit* f) { QTest::keyClick(f, Qt::Key_V, Qt::ControlModifier); }, "123"},
                {[](QLineEdit* f) { QTest::keyClick(f, Qt::Key_Insert, Qt::ShiftModifier); }, "123"},
                {[](QLineEdit* f) { f->paste(); }, "123"},
                {[](QLineEdit* f) {  // dropped at the start
            QMimeData data;
            data.setText(QApplication::clipboard()->text());
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(f, &enter);
            QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(f, &drop);
                 },
                 "231"},
        };
        for (auto [name, beeps] :
             {std::pair{"txtCisloOd", 1}, {"txtCiselnyZaklad", 0}, {"txtZachovatCiselnyZaklad", 0}}) {
            QLineEdit* field = ui<QLineEdit>(name);
            for (const auto& [way, expected] : ways) {
                field->setText("1");
                field->end(false);
                QApplication::clipboard()->setText("2x3");
                const int before = dialogs->beeps;
                way(field);
                QCOMPARE(field->text(), QString::fromLatin1(expected));
                QCOMPARE(dialogs->beeps - before, beeps);
            }
            field->setText("123");
            const int before = dialogs->beeps;
            QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
            QCOMPARE(field->selectedText(), QStringLiteral("123"));
            QApplication::clipboard()->clear();
            QTest::keyClick(field, Qt::Key_C, Qt::ControlModifier);
            QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("123"));
            QTest::keyClick(field, Qt::Key_X, Qt::ControlModifier);
            QCOMPARE(field->text(), QString());
            QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier);
            QCOMPARE(field->text(), QStringLiteral("123"));
            QCOMPARE(dialogs->beeps, before);
        }
    }

    void radixFieldKeysAndNormalisation() {
        open({"a.txt"});
        w->mnuFunkce_Click(1);
        QLineEdit* radix = ui<QLineEdit>("txtCiselnyZaklad");
        radix->setText("1234");
        radix->setCursorPosition(2);
        QTest::keyClick(radix, Qt::Key_Backspace);
        QCOMPARE(radix->text(), QStringLiteral("123"));
        QTest::keyClicks(radix, "a-");
        QCOMPARE(radix->text(), QStringLiteral("123"));
        QCOMPARE(dialogs->beeps, 0);

        // Leaving the field normalises the base; a choice of digit set caps it at once.
        struct Case {
            const char* typed;
            int digitSet;
            bool leave;
            const char* left;
        };
        for (const Case& c : {Case{"", 0, true, "2"}, Case{"1", 0, true, "2"}, Case{"007", 0, true, "7"},
                              Case{"40", 0, true, "10"}, Case{"40", 1, true, "26"}, Case{"40", 2, true, "36"},
                              Case{"30", 1, false, "26"}, Case{"30", 2, false, "30"}, Case{"30", 0, false, "10"}}) {
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
        ui<QLineEdit>("txtZachovatCiselnyZaklad")->setText("99");
        focusOut(ui<QLineEdit>("txtZachovatCiselnyZaklad"));
        QCOMPARE(ui<QLineEdit>("txtZachovatCiselnyZaklad")->text(), QStringLiteral("26"));
    }

    void simpleLayoutResetsWhatItHides() {
        open({"Žába a.txt"});
        w->mnuFunkce_Click(1);
        QCOMPARE(ui<QGroupBox>("fraPrikazy")->y(), 151);
        QCOMPARE(ui<PreviewView>("txtTest")->geometry(), QRect(304, 221, 344, 415));
        QCOMPARE(ui<QListWidget>("filD")->geometry(), QRect(8, 369, 282, 266));
        QVERIFY(w->windowTitle().contains(QStringLiteral("[Profesionální funkce]")));
        checkShown({ui<QGroupBox>("fraDoplneni"), ui<QGroupBox>("fraRazeni"), ui<QGroupBox>("fraFile"),
                    ui<QPushButton>("cmdEdit")},
                   true);

        ui<QLineEdit>("txtJmeno")->setText("n:");
        ui<QLineEdit>("txtZamenitCo")->setText("a");
        ui<QLineEdit>("txtZamenitZaCo")->setText("b");
        ui<QLineEdit>("txtOdstranit")->setText(" ");
        for (QCheckBox* c : {ui<QCheckBox>("chkBezDia"), ui<QCheckBox>("chkCisla"), ui<QCheckBox>("chkObracene"),
                             ui<QCheckBox>("chkJmeno"), ui<QCheckBox>("chkStejnePripony")})
            c->click();
        ui<QComboBox>("cboPauzy")->setCurrentIndex(2);
        ui<QLineEdit>("txtCisloOd")->setText("5");
        for (QButtonGroup* g : {ui<QButtonGroup>("optRazeni"), ui<QButtonGroup>("optTypCislovani"),
                                ui<QButtonGroup>("optFile"), ui<QButtonGroup>("optVelikost")})
            click(g, 1);
        QVERIFY(preview() != rows({"Žába a.txt -> n1.txt"}));

        w->mnuFunkce_Click(0);
        const zelvar::RenameOptions& o = w->options();
        QCOMPARE(o.chkBezDia + o.chkCisla + o.chkObracene + o.chkJmeno, 0);
        QVERIFY(o.txtZamenitCo.empty() && o.txtZamenitZaCo.empty() && o.txtOdstranit.empty());
        QCOMPARE(o.optRazeni + o.optTypCislovani + o.optFile + o.cboPauzy, 0);
        QCOMPARE(ui<QComboBox>("cboPauzy")->currentIndex(), 0);
        QCOMPARE(o.txtCisloOd, zelvar::Text(U"1"));
        QVERIFY(!ui<QCheckBox>("chkBezDia")->isChecked() && ui<QLineEdit>("txtZamenitCo")->text().isEmpty());
        // Kept: the patterns, the letter case and the hidden "Stejná podle přípon".
        QCOMPARE(o.txtJmeno, zelvar::Text(U"n:"));
        QCOMPARE(o.optVelikost, 1);
        QCOMPARE(o.chkStejnePripony, 1);
        QCOMPARE(preview(), rows({"Žába a.txt -> n1.txt"}));

        QVERIFY(w->windowTitle().contains(QStringLiteral("[Jednoduché funkce]")));
        QVERIFY(ui<QAction>("mnuFunkce0")->isChecked() && !ui<QAction>("mnuFunkce1")->isChecked());
        QCOMPARE(ui<QGroupBox>("fraPrikazy")->y(), 213);
        QCOMPARE(ui<QGroupBox>("fraVelikost")->y(), 360);
        QCOMPARE(ui<QComboBox>("drvDisk")->y(), 92);
        QCOMPARE(ui<FolderTree>("dirD")->y(), 117);
        checkShown({ui<QGroupBox>("fraCisla"), ui<QGroupBox>("fraDoplneni"), ui<QPushButton>("cmdEdit")}, false);

        // The professional layout changes no option.
        w->mnuFunkce_Click(1);
        QCOMPARE(w->options().optVelikost, 1);
        QCOMPARE(w->options().txtCiselnyZaklad, zelvar::Text(U"10"));

        // The shortcuts switch the layouts.
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QTest::keyClick(w.get(), Qt::Key_J, Qt::ControlModifier);
        QCOMPARE(w->layoutMode(), 0);
        QTest::keyClick(w.get(), Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(w->layoutMode(), 1);
        QVERIFY(ui<QAction>("mnuFunkce1")->isChecked());
    }

    // From the start size up, in both layouts and with the edit box open: no control leaves its
    // parent, no two controls of the window overlap (the edit box stands over the option frames on
    // purpose), the parts with names take the extra room and the rest keep their size.
    void resizedLayouts() {
        open({"a.txt"});
        w->show();
        QWidget* client = w->centralWidget();
        const QStringList fixed = {"cmdPrejmenovat", "fraPrikazy", "fraUkazky", "lblPopis", "cmdTest", "lblVerze"};
        QMap<QString, QSize> startSizes;
        for (const QString& name : fixed) startSizes[name] = ui<QWidget>(qPrintable(name))->size();
        const QStringList underEditBox = {"fraUkazky", "fraPrikazy", "fraVelikost", "fraCisla", "fraDoplneni"};
        w->mnuFunkce_Click(1);
        ui<QLineEdit>("txtJmeno")->setText("n:");  // the numbers frame too
        for (const QSize size : {QSize(0, 0), QSize(1000, 700), QSize(1600, 1000), QSize(2560, 1440)}) {
            for (const int view : {0, 1, 2}) {  // simple, professional, professional with the edit box
                w->mnuFunkce_Click(view == 0 ? 0 : 1);
                if (view == 2) ui<QPushButton>("cmdEdit")->click();
                w->resize(size);
                QApplication::processEvents();
                const QString where = QStringLiteral("%1x%2 view %3").arg(size.width()).arg(size.height()).arg(view);
                QVERIFY2(client->width() >= 915 && client->height() >= 659, qPrintable(where));
                QList<QWidget*> placed;
                for (QWidget* c : client->findChildren<QWidget*>()) {
                    if (!c->isVisibleTo(w.get())) continue;
                    QVERIFY2(c->parentWidget()->rect().contains(c->geometry()),
                             qPrintable(where + " outside: " + c->objectName()));
                    if (c->parentWidget() == client) placed << c;
                }
                for (QWidget* a : placed)
                    for (QWidget* b : placed) {
                        if (a >= b || !a->geometry().intersects(b->geometry())) continue;
                        const bool covered = (a->objectName() == "txtEdit" && underEditBox.contains(b->objectName())) ||
                                             (b->objectName() == "txtEdit" && underEditBox.contains(a->objectName()));
                        QVERIFY2(covered, qPrintable(where + " overlap: " + a->objectName() + " " + b->objectName()));
                    }
                for (const QString& name : fixed) QCOMPARE(ui<QWidget>(qPrintable(name))->size(), startSizes[name]);
                if (size.width() > 915) {
                    QVERIFY(ui<QWidget>("txtTest")->width() > 344 && ui<QWidget>("filD")->width() > 282);
                    QVERIFY(ui<QWidget>("txtEdit")->height() > 517 && ui<QWidget>("dirD")->height() > 216);
                }
                if (view == 2) ui<QPushButton>("cmdEdit")->click();
            }
        }
    }

    void folderChosenInTheTree() {
        open({"top.txt", "inner/one.txt", "inner/two.txt"}, {"inner"});
        const auto found = ui<FolderTree>("dirD")->findItems("inner", Qt::MatchExactly | Qt::MatchRecursive);
        QCOMPARE(found.size(), 1);
        ui<FolderTree>("dirD")->setCurrentItem(found.front());
        const QString inner = dir->qpath() + "/inner";
        QCOMPARE(ui<QLineEdit>("txtCesta")->text(), inner);
        QVERIFY(w->windowTitle().endsWith(" <" + inner + ">"));
        QCOMPARE(QString::fromStdString(w->folder()), inner);
        QCOMPARE(ui<QListWidget>("filD")->count(), 2);
        QCOMPARE(preview(), rows({"one.txt -> * beze změny", "two.txt -> * beze změny"}));
    }

    // Deep in a tree of long names the current folder is in view, and the names start at the left edge.
    void treeKeepsNamesInView() {
        open({});
        std::string deep = dir->path();
        for (int level = 0; level < 8; ++level) {
            deep += "/" + std::string(40, char('a' + level));
            QCOMPARE(::mkdir(deep.c_str(), 0755), 0);
        }
        w = std::make_unique<frmMain>(*dialogs, deep);
        w->show();
        QApplication::processEvents();
        auto* tree = ui<FolderTree>("dirD");
        QCOMPARE(tree->path(), deep);
        QVERIFY(tree->horizontalScrollBar()->maximum() > 0);  // the names are wider than the tree
        QCOMPARE(tree->horizontalScrollBar()->value(), 0);
        QVERIFY(tree->viewport()->rect().intersects(tree->visualItemRect(tree->currentItem())));
        QTest::keyClick(tree, Qt::Key_Up);
        QCOMPARE(tree->horizontalScrollBar()->value(), 0);
    }

    void typedPaths() {
        open({"top.txt", "inner/one.txt"}, {"inner"});
        const QString start = dir->qpath();

        // No path at all: message, and the field shows the current folder again.
        ui<QLineEdit>("txtCesta")->setText("relative/path");
        pressEnter(ui<QLineEdit>("txtCesta"));
        checkOneMessage("Adresa není v pořádku", zelvar::box::information);
        QCOMPARE(ui<QLineEdit>("txtCesta")->text(), start);

        // A folder that does not exist: message, the typed text stays, the listing does not move.
        dialogs->asked.clear();
        ui<QLineEdit>("txtCesta")->setText(start + "/missing");
        pressEnter(ui<QLineEdit>("txtCesta"));
        QCOMPARE(int(dialogs->asked.size()), 1);
        QCOMPARE(ui<QLineEdit>("txtCesta")->text(), start + "/missing");
        QCOMPARE(QString::fromStdString(w->folder()), start);
        QCOMPARE(preview(), rows({"top.txt -> * beze změny"}));

        // An existing folder, written untidily: everything moves to it.
        dialogs->asked.clear();
        ui<QLineEdit>("txtCesta")->setText(start + "//inner/./");
        focusOut(ui<QLineEdit>("txtCesta"));
        QVERIFY(dialogs->asked.empty());
        QCOMPARE(ui<QLineEdit>("txtCesta")->text(), start + "/inner");
        QCOMPARE(QString::fromStdString(ui<FolderTree>("dirD")->path()), start + "/inner");
        QVERIFY(w->windowTitle().endsWith(" <" + start + "/inner>"));
        QCOMPARE(preview(), rows({"one.txt -> * beze změny"}));
        QCOMPARE(ui<FolderTree>("dirD")->currentItem()->text(0), QStringLiteral("inner"));
    }

    // A folder whose name is no UTF-8 shows in the path field, and the field reads back as that folder.
    void pathThatIsNoUtf8() {
        open({"top.txt"});
        const std::string odd = dir->path() + "/caf\xe9";
        QCOMPARE(::mkdir(odd.c_str(), 0755), 0);
        writeFile(odd, "in.txt", "");
        w = std::make_unique<frmMain>(*dialogs, odd);
        QLineEdit* path = ui<QLineEdit>("txtCesta");
        const QString shown = path->text();
        QCOMPARE(w->folder(), odd);
        focusOut(path);
        pressEnter(path);
        QVERIFY(dialogs->asked.empty());
        QCOMPARE(w->folder(), odd);

        path->setText(dir->qpath());
        pressEnter(path);
        QCOMPARE(preview(), rows({"top.txt -> * beze změny"}));
        path->setText(shown);
        pressEnter(path);
        QVERIFY(dialogs->asked.empty());
        QCOMPARE(w->folder(), odd);
        QCOMPARE(preview(), rows({"in.txt -> * beze změny"}));
    }

    void driveList() {
        open({"top.txt"});
        TempFolder other;
        other.file("on-the-other-volume.txt");
        const std::string start = dir->path();
        w->setVolumes({{"/", "", "ext4", "/dev/vda"},
                       {"/nonexistent-zelvar-volume", "USB", "vfat", "/dev/sdz1"},
                       {other.path(), "Data", "ext4", "/dev/sdy1"}});
        QCOMPARE(ui<QComboBox>("drvDisk")->count(), 3);
        QCOMPARE(ui<QComboBox>("drvDisk")->currentIndex(), 0);
        QCOMPARE(ui<QComboBox>("drvDisk")->itemText(1), QStringLiteral("/nonexistent-zelvar-volume  [USB]"));

        // A volume that cannot be opened: message, and the list returns to the drive of the tree.
        ui<QComboBox>("drvDisk")->setCurrentIndex(1);
        checkOneMessage("S diskem nelze pracovat", zelvar::box::exclamation);
        QCOMPARE(ui<QComboBox>("drvDisk")->currentIndex(), 0);
        QCOMPARE(ui<FolderTree>("dirD")->path(), start);

        // A volume that can: the tree shows it from its root, and the listing follows.
        ui<QComboBox>("drvDisk")->setCurrentIndex(2);
        QCOMPARE(int(dialogs->asked.size()), 1);
        QCOMPARE(ui<FolderTree>("dirD")->path(), other.path());
        QCOMPARE(ui<QLineEdit>("txtCesta")->text(), other.qpath());
        QCOMPARE(preview(), rows({"on-the-other-volume.txt -> * beze změny"}));

        // A typed path on another volume moves the drive list with it.
        ui<QLineEdit>("txtCesta")->setText(dir->qpath());
        pressEnter(ui<QLineEdit>("txtCesta"));
        QCOMPARE(ui<QComboBox>("drvDisk")->currentIndex(), 0);
        QCOMPARE(preview(), rows({"top.txt -> * beze změny"}));
    }

    void filterAndEntryKind() {
        open({"a.jpg", "b.txt"}, {"dir.d"});
        ui<QLineEdit>("txtJmeno")->setText("x:");
        ui<QLineEdit>("txtVyhlFiltr")->setText("*.jpg");
        QCOMPARE(preview(), rows({"a.jpg -> x1.jpg"}));
        QCOMPARE(ui<QListWidget>("filD")->count(), 1);
        QVERIFY(!ui<QToolButton>("cmdPrejmenovat")->isEnabled());  // until a build that is asked for
        ui<QPushButton>("cmdTest")->click();
        QVERIFY(ui<QToolButton>("cmdPrejmenovat")->isEnabled());

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
        QTest::newRow("extension kept") << ab << "*" << QList<zelvar::Answer>() << "*"
                                        << rows({"A.txt -> a.txt", "b.txt -> * beze změny"}) << stats(2, 1, 1);
        QTest::newRow("empty folder") << QStringList() << "*" << QList<zelvar::Answer>() << "*" << QString()
                                      << stats(0, 0, 0);
    }
    void cmdTestStatistics() {
        QFETCH(QStringList, files);
        QFETCH(QString, ext);
        QFETCH(QList<zelvar::Answer>, answer);
        open(files);
        click(ui<QButtonGroup>("optVelikost"), 1);
        ui<QLineEdit>("txtExt")->setText(ext);
        dialogs->answers.assign(answer.begin(), answer.end());
        ui<QPushButton>("cmdTest")->click();
        QCOMPARE(int(dialogs->asked.size()), answer.size() + 1);
        if (!answer.isEmpty()) QCOMPARE(asked(0), QStringLiteral("Měníte přípony.\r\nJe to tak správně?"));
        if (!answer.isEmpty()) QCOMPARE(dialogs->asked[0].style, zelvar::box::yesNo);
        QTEST(ui<QLineEdit>("txtExt")->text(), "extAfter");
        QCOMPARE(QString::fromStdString(zelvar::toUtf8(w->options().txtExt)), ui<QLineEdit>("txtExt")->text());
        QTEST(preview(), "preview");
        QTEST(asked(dialogs->asked.size() - 1), "stats");
        QCOMPARE(dialogs->asked.back().style, zelvar::box::plain);
        QCOMPARE(ui<QToolButton>("cmdPrejmenovat")->isEnabled(), !files.isEmpty());
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
        // Esc or Enter closes it.
        const std::pair<QAction*, Qt::Key> ways[] = {{ui<QAction>("mnuOAplikaci"), Qt::Key_Escape},
                                                     {ui<QAction>("mnuOAplikaci"), Qt::Key_Return}};
        for (auto [action, key] : ways) {
            bool checked = false;
            QTimer::singleShot(0, [&, key = key] {
                auto* about = qobject_cast<frmAbout*>(QApplication::activeModalWidget());
                QVERIFY(about);
                QCOMPARE(about->windowTitle(), QStringLiteral("O aplikaci  Zelvar"));
                QCOMPARE(about->lblVersion->text(), QStringLiteral("Verze ") + QString::fromLatin1(zelvar::kVersion));
                about->cmdSysInfo->click();
                QVERIFY(QString::fromStdString(dialogs->asked.back().text)
                            .startsWith(QStringLiteral("Zelvar %1\r\nQt ").arg(zelvar::kVersion)));
                QVERIFY(about->isVisible());
                checked = true;
                QTest::keyClick(about, key);
            });
            action->trigger();
            QVERIFY(checked);
            QVERIFY(!QApplication::activeModalWidget());
        }
    }

    void closingTheWindowClosesTheAboutBox() {
        open({});
        w->show();
        QTimer::singleShot(0, [&] { w->close(); });
        w->mnuOAplikaci_Click();
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(!w->isVisible());
    }
};

QTEST_MAIN(TestFrmMain)
#include "test_frmMain.moc"
