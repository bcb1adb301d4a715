// The main window on temporary folders, with scripted message boxes: start-up, the kinds of
// refresh, numbering modes, key filtering and normalisation, layouts, folder and path handling,
// the statistics run of the second refresh button, and the About box.
#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>
#include <memory>

#include "ui/scripted_dialogs.h"
#include "ui/FolderTree.h"
#include "ui/PreviewView.h"
#include "ui/frmAbout.h"
#include "ui/frmMain.h"

namespace {

QString preview(const frmMain& w) { return w.txtTest->toPlainText(); }

QString rows(std::initializer_list<const char*> lines) {
    QString out;
    for (const char* l : lines) out += QString::fromUtf8(l) + QLatin1Char('\n');
    return out;
}

void click(QButtonGroup* group, int index) { group->button(index)->click(); }

void focusOut(QWidget* w) {
    QFocusEvent event(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(w, &event);
}

void pressEnter(QWidget* w) { QTest::keyClick(w, Qt::Key_Return); }

bool shown(const frmMain& w, const QWidget* control) { return control->isVisibleTo(&w); }

}  // namespace

class TestFrmMain : public QObject {
    Q_OBJECT

    std::unique_ptr<TempFolder> dir;
    std::unique_ptr<ScriptedDialogs> dialogs;
    std::unique_ptr<frmMain> w;

    void open(std::initializer_list<const char*> files, std::initializer_list<const char*> folders = {}) {
        dir = std::make_unique<TempFolder>();
        for (const char* f : files) dir->file(f);
        for (const char* f : folders) dir->folder(f);
        dialogs = std::make_unique<ScriptedDialogs>();
        w = std::make_unique<frmMain>(*dialogs, dir->path());
    }

private slots:
    void cleanup() {
        w.reset();
        dialogs.reset();
        dir.reset();
    }

    void startUpState() {
        open({"b.txt", "a.txt"}, {"sub"});
        QCOMPARE(w->windowTitle(),
                 QStringLiteral("Zelvar - přejmenování souborů [Jednoduché funkce] <") + dir->qpath() + ">");
        QVERIFY(w->mnuFunkce[0]->isChecked());
        QVERIFY(!w->mnuFunkce[1]->isChecked());
        QCOMPARE(w->lblVerze->text(), QStringLiteral("Verze 6.4.17"));
        const QStringList popis = w->lblPopis->text().split('\n');
        QCOMPARE(popis.size(), 7);
        QCOMPARE(popis[0], QStringLiteral(" Záměnné znaky pro VÝSTUP:"));
        QCOMPARE(popis[3], QStringLiteral("     Datum a čas"));
        QCOMPARE(popis[6], QStringLiteral("        \\h hodiny HH, \\n minuty NN, \\s sekundy SS"));
        QCOMPARE(w->lblUkazka1->text(), QStringLiteral("Abcd efGHij klm NOP.HAF"));
        QCOMPARE(w->lblUkazka2->text(), QStringLiteral("xY.Gh"));
        QCOMPARE(preview(*w), rows({"a.txt -> * beze změny", "b.txt -> * beze změny"}));
        QVERIFY(!w->cmdPrejmenovat->isEnabled());
        QVERIFY(w->cmdTest->isEnabled());
        QCOMPARE(w->cboPauzy->currentIndex(), 0);
        QCOMPARE(w->options().cboPauzy, 0);
        QCOMPARE(w->txtCesta->text(), dir->qpath());
        QCOMPARE(QString::fromStdString(w->dirD->path()), dir->qpath());
        QCOMPARE(w->filD->count(), 2);  // files only, the folder "sub" is not one
        QCOMPARE(w->filD->item(0)->text(), QStringLiteral("a.txt"));
        for (QWidget* hidden : {static_cast<QWidget*>(w->fraCisla), static_cast<QWidget*>(w->fraDoplneni),
                                static_cast<QWidget*>(w->fraRazeni), static_cast<QWidget*>(w->fraFile),
                                static_cast<QWidget*>(w->cmdEdit), static_cast<QWidget*>(w->txtEdit),
                                static_cast<QWidget*>(w->lblPracuji), static_cast<QWidget*>(w->lblPrace)})
            QVERIFY2(!shown(*w, hidden), qPrintable(hidden->objectName()));
        QCOMPARE(w->centralWidget()->size(), QSize(915, 659));
        QCOMPARE(w->minimumSize(), w->maximumSize());  // not resizable
        QVERIFY(!(w->windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(w->txtTest->geometry(), QRect(304, 152, 344, 484));
        QCOMPARE(w->filD->geometry(), QRect(8, 337, 282, 298));
        QVERIFY(dialogs->asked.empty());
        QVERIFY(w->findChild<QLineEdit*>("txtJmeno") == w->txtJmeno);
        QVERIFY(w->findChild<QButtonGroup*>("optCitac") == w->optCitac);
    }

    // With an empty name pattern, a plain rebuild builds anyway, the other refreshes clear.
    void emptyNamePatternRefreshKinds() {
        open({"a.txt"});
        w->mnuFunkce_Click(1);
        w->txtJmeno->setText("");
        QCOMPARE(preview(*w), QString());
        QVERIFY(!w->cmdTest->isEnabled());
        QVERIFY(!w->cmdPrejmenovat->isEnabled());

        w->chkCisla->click();  // plain rebuild
        QCOMPARE(preview(*w), rows({"a.txt -> * prázdné jméno"}));
        w->chkObracene->click();  // preview refresh
        QCOMPARE(preview(*w), QString());
        click(w->optRazeni, 2);  // plain rebuild
        QCOMPARE(preview(*w), rows({"a.txt -> * prázdné jméno"}));
        w->chkExt->click();  // full refresh
        QCOMPARE(preview(*w), QString());
        w->txtCisloOd->setText("5");  // full refresh
        QCOMPARE(preview(*w), QString());

        QTest::keyClicks(w->txtJmeno, "x");
        QVERIFY(w->cmdTest->isEnabled());
        QCOMPARE(preview(*w), rows({"a.txt -> x.txt"}));
        QVERIFY(w->cmdPrejmenovat->isEnabled());
    }

    void previewAndSamplesFollowThePattern() {
        open({"b.txt", "a.txt", "c.doc"});
        QTest::keyClicks(w->txtJmeno, "x");  // "*x": every name gets an x
        QCOMPARE(w->lblUkazka1->text(), QStringLiteral("Abcd efGHij klm NOPx.HAF"));
        QCOMPARE(preview(*w), rows({"a.txt -> ax.txt", "b.txt -> bx.txt", "c.doc -> cx.doc"}));
        QVERIFY(w->cmdPrejmenovat->isEnabled());
        w->txtJmeno->setText("x");
        QCOMPARE(preview(*w), rows({"a.txt -> x.txt", "b.txt -> * viz >x.txt< výše", "c.doc -> x.doc"}));
        click(w->optVelikost, 2);
        QCOMPARE(w->lblUkazka2->text(), QStringLiteral("X.GH"));
        QCOMPARE(preview(*w), rows({"a.txt -> X.TXT", "b.txt -> * viz >X.TXT< výše", "c.doc -> X.DOC"}));
    }

    void replacementFieldsStripAndRefreshOnlyAsAPair() {
        open({"abc.txt"});
        w->mnuFunkce_Click(1);
        const int builds = w->buildCount();
        QTest::keyClicks(w->txtZamenitCo, "b");
        QCOMPARE(w->buildCount(), builds);  // "Čím" is still empty
        w->txtZamenitCo->clear();
        QApplication::clipboard()->setText("a:b*c");
        w->txtZamenitCo->paste();
        QCOMPARE(w->txtZamenitCo->text(), QStringLiteral("abc"));
        QCOMPARE(w->buildCount(), builds);

        QTest::keyClicks(w->txtZamenitZaCo, "x?");
        QCOMPARE(w->txtZamenitZaCo->text(), QStringLiteral("x"));
        QCOMPARE(preview(*w), rows({"abc.txt -> xxx.txt"}));
        const int afterPair = w->buildCount();
        w->txtZamenitZaCo->clear();
        QCOMPARE(w->buildCount(), afterPair);
        QCOMPARE(preview(*w), rows({"abc.txt -> xxx.txt"}));  // kept until another option changes
        w->chkBezDia->click();
        QCOMPARE(preview(*w), rows({"abc.txt -> * beze změny"}));

        // Text typed into the separator list selects no item; the edit refreshes like a choice.
        const int beforeEdit = w->buildCount();
        w->cboPauzy->setEditText(QStringLiteral("Zaměň"));
        QCOMPARE(w->options().cboPauzy, -1);
        QCOMPARE(w->buildCount(), beforeEdit + 1);
        w->cboPauzy->setCurrentIndex(3);
        QCOMPARE(w->options().cboPauzy, 3);
    }

    void numberingModes() {
        open({"a.txt", "b.txt"});
        w->txtJmeno->setText("n:");
        QVERIFY(!shown(*w, w->fraCisla));  // never in the simple layout
        QCOMPARE(preview(*w), rows({"a.txt -> n1.txt", "b.txt -> n2.txt"}));
        w->mnuFunkce_Click(1);
        QVERIFY(shown(*w, w->fraCisla));
        w->txtJmeno->setText("n");
        QVERIFY(!shown(*w, w->fraCisla));
        w->txtJmeno->setText("n:");
        QVERIFY(shown(*w, w->fraCisla));

        QVERIFY(shown(*w, w->txtCisloOd) && shown(*w, w->txtDif) && shown(*w, w->chkStejnePripony));
        QVERIFY(!shown(*w, w->chkINula) && !shown(*w, w->fraZachovatTypCislovani));
        w->chkStejnePripony->click();

        click(w->optCitac, 1);
        QVERIFY(shown(*w, w->chkINula));
        QVERIFY(!shown(*w, w->txtCisloOd) && !shown(*w, w->chkCisloNula));
        QCOMPARE(preview(*w), rows({"a.txt -> n.txt", "b.txt -> n1.txt"}));

        click(w->optTypCislovani, 2);
        w->txtCiselnyZaklad->setText("36");
        click(w->optCitac, 2);
        QCOMPARE(w->txtCiselnyZaklad->text(), QStringLiteral("10"));
        QVERIFY(w->optTypCislovani->button(0)->isChecked());
        QCOMPARE(w->options().optTypCislovani, 0);
        QVERIFY(shown(*w, w->chkCisloNula) && shown(*w, w->fraZachovatCisla));
        QVERIFY(shown(*w, w->txtZachovatCiselnyZaklad) && shown(*w, w->fraZachovatTypCislovani));
        QVERIFY(shown(*w, w->fraTypCislovani) && shown(*w, w->txtCiselnyZaklad));
        QVERIFY(!shown(*w, w->txtCisloOd) && !shown(*w, w->chkINula));

        click(w->optCitac, 0);
        QVERIFY(w->chkStejnePripony->isChecked());  // a hidden option keeps its value
        QCOMPARE(w->options().chkStejnePripony, 1);
    }

    void stepIsWrittenBackWithoutASecondBuild() {
        open({"a.txt", "b.txt"});
        w->txtJmeno->setText("n:");
        w->mnuFunkce_Click(1);
        const int builds = w->buildCount();
        w->txtDif->setText("0");
        QCOMPARE(w->txtDif->text(), QStringLiteral("1"));
        QCOMPARE(w->options().txtDif, zelvar::Text(U"1"));
        QCOMPARE(w->buildCount(), builds + 1);
        QCOMPARE(preview(*w), rows({"a.txt -> n1.txt", "b.txt -> n2.txt"}));
        w->txtCisloOd->setText("7");
        w->txtDif->setText("3");
        QCOMPARE(preview(*w), rows({"a.txt -> n7.txt", "b.txt -> n10.txt"}));
    }

    void radixCapsFollowTheDigitSet() {
        open({"a.txt"});
        w->mnuFunkce_Click(1);
        w->txtCiselnyZaklad->setText("30");
        click(w->optTypCislovani, 1);
        QCOMPARE(w->txtCiselnyZaklad->text(), QStringLiteral("26"));
        click(w->optTypCislovani, 2);
        QCOMPARE(w->txtCiselnyZaklad->text(), QStringLiteral("26"));
        click(w->optTypCislovani, 0);
        QCOMPARE(w->txtCiselnyZaklad->text(), QStringLiteral("10"));

        // The kept-number field follows its own digit set only.
        w->txtZachovatCiselnyZaklad->setText("40");
        click(w->optZachovatTypCislovani, 1);
        QCOMPARE(w->txtZachovatCiselnyZaklad->text(), QStringLiteral("26"));
        QCOMPARE(w->txtCiselnyZaklad->text(), QStringLiteral("10"));
    }

    void counterStartAcceptsDigitsOnly() {
        open({"a.txt"});
        w->mnuFunkce_Click(1);
        QLineEdit* od = w->txtCisloOd;
        od->setText("1");
        od->setCursorPosition(1);
        QTest::keyClicks(od, "a");
        QCOMPARE(od->text(), QStringLiteral("1"));
        QCOMPARE(dialogs->beeps, 1);
        QTest::keyClicks(od, "5");
        QCOMPARE(od->text(), QStringLiteral("15"));
        QTest::keyClick(od, Qt::Key_Return);
        QCOMPARE(od->text(), QStringLiteral("15"));
        QCOMPARE(dialogs->beeps, 1);
        QTest::keyClick(od, Qt::Key_Backspace);
        QCOMPARE(od->text(), QStringLiteral("1"));

        QApplication::clipboard()->setText("7");
        QTest::keyClick(od, Qt::Key_V, Qt::ControlModifier);  // code 22 is no digit
        QCOMPARE(od->text(), QStringLiteral("1"));
        QCOMPARE(dialogs->beeps, 2);

        QApplication::clipboard()->setText("2x");
        od->paste();  // the context menu's paste
        QCOMPARE(od->text(), QStringLiteral("1"));
        QApplication::clipboard()->setText("23");
        od->paste();
        QCOMPARE(od->text(), QStringLiteral("123"));

        for (const char* dropped : {"9z", "4"}) {
            QMimeData data;
            data.setText(QString::fromLatin1(dropped));
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(od, &enter);
            QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(od, &drop);
        }
        QVERIFY2(!od->text().contains('9') && !od->text().contains('z'), qPrintable(od->text()));
        QVERIFY(od->text().contains('4'));
    }

    void radixFieldKeysAndNormalisation() {
        open({"a.txt"});
        w->mnuFunkce_Click(1);
        QLineEdit* radix = w->txtCiselnyZaklad;
        radix->setText("1234");
        radix->setCursorPosition(2);
        QTest::keyClick(radix, Qt::Key_Backspace);
        QCOMPARE(radix->text(), QStringLiteral("123"));
        QTest::keyClicks(radix, "a-");
        QCOMPARE(radix->text(), QStringLiteral("123"));
        QCOMPARE(dialogs->beeps, 0);

        struct Case {
            const char* typed;
            int digitSet;
            const char* left;
        };
        for (const Case& c : {Case{"", 0, "2"}, Case{"1", 0, "2"}, Case{"007", 0, "7"}, Case{"40", 0, "10"},
                              Case{"40", 1, "26"}, Case{"40", 2, "36"}}) {
            click(w->optTypCislovani, c.digitSet);
            radix->setText(QString::fromLatin1(c.typed));
            focusOut(radix);
            QCOMPARE(radix->text(), QString::fromLatin1(c.left));
            QCOMPARE(w->options().txtCiselnyZaklad, zelvar::fromUtf8(c.left));
        }

        click(w->optCitac, 2);
        click(w->optZachovatTypCislovani, 1);
        w->txtZachovatCiselnyZaklad->setText("99");
        focusOut(w->txtZachovatCiselnyZaklad);
        QCOMPARE(w->txtZachovatCiselnyZaklad->text(), QStringLiteral("26"));
    }

    void simpleLayoutResetsWhatItHides() {
        open({"Žába a.txt"});
        w->mnuFunkce_Click(1);
        QCOMPARE(w->fraPrikazy->y(), 151);
        QCOMPARE(w->txtTest->geometry(), QRect(304, 221, 344, 415));
        QCOMPARE(w->filD->geometry(), QRect(8, 369, 282, 266));
        QVERIFY(w->windowTitle().contains(QStringLiteral("[Profesionální funkce]")));
        QVERIFY(shown(*w, w->fraDoplneni) && shown(*w, w->fraRazeni) && shown(*w, w->fraFile));
        QVERIFY(shown(*w, w->cmdEdit));

        w->txtJmeno->setText("n:");
        w->chkBezDia->click();
        w->txtZamenitCo->setText("a");
        w->txtZamenitZaCo->setText("b");
        w->txtOdstranit->setText(" ");
        click(w->optRazeni, 2);
        w->chkCisla->click();
        w->chkObracene->click();
        w->chkJmeno->click();
        w->cboPauzy->setCurrentIndex(2);
        QCOMPARE(w->options().cboPauzy, 2);
        w->txtCisloOd->setText("5");
        w->chkStejnePripony->click();
        click(w->optTypCislovani, 1);
        click(w->optFile, 2);
        click(w->optVelikost, 1);
        QVERIFY(preview(*w) != rows({"Žába a.txt -> n1.txt"}));

        w->mnuFunkce_Click(0);
        const zelvar::RenameOptions& o = w->options();
        QCOMPARE(o.chkBezDia, 0);
        QVERIFY(o.txtZamenitCo.empty() && o.txtZamenitZaCo.empty() && o.txtOdstranit.empty());
        QCOMPARE(o.optRazeni, 0);
        QCOMPARE(o.chkCisla + o.chkObracene + o.chkJmeno, 0);
        QCOMPARE(o.cboPauzy, 0);
        QCOMPARE(w->cboPauzy->currentIndex(), 0);
        QCOMPARE(o.txtCisloOd, zelvar::Text(U"1"));
        QCOMPARE(o.optTypCislovani, 0);
        QCOMPARE(o.optFile, 0);
        QVERIFY(!w->chkBezDia->isChecked() && w->txtZamenitCo->text().isEmpty());
        // Kept: the patterns, the letter case and the hidden "Stejná podle přípon".
        QCOMPARE(o.txtJmeno, zelvar::Text(U"n:"));
        QCOMPARE(o.optVelikost, 1);
        QCOMPARE(o.chkStejnePripony, 1);
        QCOMPARE(preview(*w), rows({"Žába a.txt -> n1.txt"}));

        QVERIFY(w->windowTitle().contains(QStringLiteral("[Jednoduché funkce]")));
        QVERIFY(w->mnuFunkce[0]->isChecked() && !w->mnuFunkce[1]->isChecked());
        QCOMPARE(w->fraPrikazy->y(), 213);
        QCOMPARE(w->fraVelikost->y(), 360);
        QCOMPARE(w->drvDisk->y(), 92);
        QCOMPARE(w->dirD->y(), 117);
        QVERIFY(!shown(*w, w->fraCisla) && !shown(*w, w->fraDoplneni) && !shown(*w, w->cmdEdit));

        // The professional layout changes no option.
        w->chkStejnePripony->setChecked(false);
        w->mnuFunkce_Click(1);
        QCOMPARE(w->options().optVelikost, 1);
        QCOMPARE(w->options().txtCiselnyZaklad, zelvar::Text(U"10"));
        QVERIFY(shown(*w, w->fraCisla));
    }

    void simpleLayoutEndsManualEditing() {
        open({"a.txt", "b.txt"});
        w->mnuFunkce_Click(1);
        w->RucniEditace = true;
        w->txtEdit->show();
        w->cmdEdit->setText(QStringLiteral("Zrušit Ruční editaci"));
        w->cmdAktual->click();
        QCOMPARE(w->txtEdit->toPlainText(), rows({"a.txt", "b.txt"}));
        QVERIFY(!w->PlneniEditu);

        w->txtEdit->setPlainText("x?.txt\n");
        QCOMPARE(w->txtEdit->toPlainText(), QStringLiteral("x.txt\n"));
        QCOMPARE(preview(*w), rows({"a.txt -> x.txt", "b.txt -> * beze změny"}));
        QVERIFY(w->cmdPrejmenovat->isEnabled());

        w->mnuFunkce_Click(0);
        QVERIFY(!w->RucniEditace);
        QVERIFY(!shown(*w, w->txtEdit));
        QCOMPARE(w->cmdEdit->text(), QStringLiteral("Editovat ručně"));
        QCOMPARE(preview(*w), rows({"a.txt -> * beze změny", "b.txt -> * beze změny"}));
    }

    void layoutShortcuts() {
        open({"a.txt"});
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QTest::keyClick(w.get(), Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(w->layoutMode(), 1);
        QTest::keyClick(w.get(), Qt::Key_J, Qt::ControlModifier);
        QCOMPARE(w->layoutMode(), 0);
        QVERIFY(w->mnuFunkce[0]->isChecked());
    }

    void folderChosenInTheTree() {
        open({"top.txt"}, {"inner"});
        dir->file("inner/one.txt");
        dir->file("inner/two.txt");
        const QList<QTreeWidgetItem*> found = w->dirD->findItems("inner", Qt::MatchExactly | Qt::MatchRecursive);
        QCOMPARE(found.size(), 1);
        w->dirD->setCurrentItem(found.front());
        const QString inner = dir->qpath() + "/inner";
        QCOMPARE(w->txtCesta->text(), inner);
        QVERIFY(w->windowTitle().endsWith(" <" + inner + ">"));
        QCOMPARE(QString::fromStdString(w->folder()), inner);
        QCOMPARE(w->filD->count(), 2);
        QCOMPARE(preview(*w), rows({"one.txt -> * beze změny", "two.txt -> * beze změny"}));
    }

    void typedPaths() {
        open({"top.txt"}, {"inner"});
        dir->file("inner/one.txt");
        const QString start = dir->qpath();
        QCOMPARE(w->drvDisk->currentIndex() >= 0, true);

        // No path at all: message, and the field shows the current folder again.
        for (const char* typed : {"", "relative/path"}) {
            dialogs->asked.clear();
            w->txtCesta->setText(QString::fromLatin1(typed));
            pressEnter(w->txtCesta);
            QCOMPARE(int(dialogs->asked.size()), 1);
            QCOMPARE(dialogs->asked[0].text, std::string("Adresa není v pořádku"));
            QCOMPARE(dialogs->asked[0].style, 64);
            QCOMPARE(w->txtCesta->text(), start);
        }

        // A folder that does not exist: message, the typed text stays, the listing does not move.
        dialogs->asked.clear();
        const QString missing = start + "/missing";
        w->txtCesta->setText(missing);
        pressEnter(w->txtCesta);
        QCOMPARE(int(dialogs->asked.size()), 1);
        QCOMPARE(w->txtCesta->text(), missing);
        QCOMPARE(QString::fromStdString(w->folder()), start);
        QCOMPARE(preview(*w), rows({"top.txt -> * beze změny"}));

        // An existing folder, written untidily: everything moves to it.
        dialogs->asked.clear();
        w->txtCesta->setText(start + "//inner/./");
        focusOut(w->txtCesta);
        QVERIFY(dialogs->asked.empty());
        QCOMPARE(w->txtCesta->text(), start + "/inner");
        QCOMPARE(QString::fromStdString(w->dirD->path()), start + "/inner");
        QVERIFY(w->windowTitle().endsWith(" <" + start + "/inner>"));
        QCOMPARE(preview(*w), rows({"one.txt -> * beze změny"}));
        QCOMPARE(w->dirD->currentItem()->text(0), QStringLiteral("inner"));

        w->txtCesta->setText(start + "/inner/..");
        pressEnter(w->txtCesta);
        QCOMPARE(QString::fromStdString(w->folder()), start);
        QVERIFY(dialogs->asked.empty());
    }

    void driveList() {
        open({"top.txt"});
        TempFolder other;
        other.file("on-the-other-volume.txt");
        const std::string start = dir->path();
        w->setVolumes({{"/", "", "ext4", "/dev/vda"},
                       {"/nonexistent-zelvar-volume", "USB", "vfat", "/dev/sdz1"},
                       {other.path(), "Data", "ext4", "/dev/sdy1"}});
        QCOMPARE(w->drvDisk->count(), 3);
        QCOMPARE(w->drvDisk->currentIndex(), 0);
        QCOMPARE(w->drvDisk->itemText(1), QStringLiteral("/nonexistent-zelvar-volume  [USB]"));

        // A volume that cannot be opened: message, and the list returns to the drive of the tree.
        w->drvDisk->setCurrentIndex(1);
        QCOMPARE(int(dialogs->asked.size()), 1);
        QCOMPARE(dialogs->asked[0].text, std::string("S diskem nelze pracovat"));
        QCOMPARE(dialogs->asked[0].style, 48);
        QCOMPARE(w->drvDisk->currentIndex(), 0);
        QCOMPARE(w->dirD->path(), start);
        QCOMPARE(preview(*w), rows({"top.txt -> * beze změny"}));

        // A volume that can: the tree shows it from its root, and the listing follows.
        w->drvDisk->setCurrentIndex(2);
        QCOMPARE(int(dialogs->asked.size()), 1);
        QCOMPARE(w->dirD->path(), other.path());
        QCOMPARE(w->txtCesta->text(), other.qpath());
        QVERIFY(w->windowTitle().endsWith(" <" + other.qpath() + ">"));
        QCOMPARE(preview(*w), rows({"on-the-other-volume.txt -> * beze změny"}));

        // A typed path on another volume moves the drive list with it.
        w->txtCesta->setText(dir->qpath());
        pressEnter(w->txtCesta);
        QCOMPARE(w->drvDisk->currentIndex(), 0);
        QCOMPARE(w->dirD->path(), start);
        QCOMPARE(preview(*w), rows({"top.txt -> * beze změny"}));
    }

    void filterAndEntryKind() {
        open({"a.jpg", "b.txt"}, {"dir.d"});
        w->txtJmeno->setText("x:");
        QVERIFY(w->cmdPrejmenovat->isEnabled());
        w->txtVyhlFiltr->setText("*.jpg");
        QCOMPARE(preview(*w), rows({"a.jpg -> x1.jpg"}));
        QCOMPARE(w->filD->count(), 1);
        QVERIFY(!w->cmdPrejmenovat->isEnabled());  // until a build that is asked for
        QVERIFY(w->cmdTest->isEnabled());
        w->cmdTest->click();
        QVERIFY(w->cmdPrejmenovat->isEnabled());

        w->txtVyhlFiltr->setText("*.*");
        w->mnuFunkce_Click(1);
        click(w->optFile, 1);
        QCOMPARE(preview(*w), rows({"dir.d -> x1.d"}));
        click(w->optFile, 2);
        QCOMPARE(preview(*w), rows({"a.jpg -> x1.jpg", "b.txt -> x2.txt", "dir.d -> x3.d"}));
    }

    void cmdTestAsksAboutExtensionsNo() {
        open({"A.txt", "B.txt", "c.txt"});
        click(w->optVelikost, 1);
        w->txtExt->setText("?");
        dialogs->answers = {zelvar::mb::AnsNo};
        w->cmdTest->click();
        QCOMPARE(int(dialogs->asked.size()), 2);
        QCOMPARE(dialogs->asked[0].text, std::string("Měníte přípony.\r\nJe to tak správně?"));
        QCOMPARE(dialogs->asked[0].style, 36);
        QCOMPARE(w->txtExt->text(), QStringLiteral("*"));
        QCOMPARE(w->options().txtExt, zelvar::Text(U"*"));
        QCOMPARE(w->lblUkazka2->text(), QStringLiteral("xy.gh"));
        QCOMPARE(preview(*w), rows({"A.txt -> a.txt", "B.txt -> b.txt", "c.txt -> * beze změny"}));
        QCOMPARE(dialogs->asked[1].text,
                 std::string("Počet zpracovaných souborů: 3\r\nPočet přejmenování: 2\r\nPočet beze změny: 1"));
        QCOMPARE(dialogs->asked[1].style, 0);
        QVERIFY(w->cmdPrejmenovat->isEnabled());
    }

    void cmdTestAsksAboutExtensionsYes() {
        open({"a.txt", "b.txt"});
        w->txtExt->setText("x");
        dialogs->answers = {zelvar::mb::AnsYes};
        w->cmdTest->click();
        QCOMPARE(int(dialogs->asked.size()), 2);
        QCOMPARE(w->txtExt->text(), QStringLiteral("x"));
        QCOMPARE(preview(*w), rows({"a.txt -> a.x", "b.txt -> b.x"}));
        QCOMPARE(dialogs->asked[1].text,
                 std::string("Počet zpracovaných souborů: 2\r\nPočet přejmenování: 2\r\nPočet beze změny: 0"));

        // With the extension pattern "*" nothing is asked, only the statistics are shown.
        dialogs->asked.clear();
        w->txtExt->setText("*");
        w->cmdTest->click();
        QCOMPARE(int(dialogs->asked.size()), 1);
        QVERIFY(!w->cmdPrejmenovat->isEnabled());
    }

    // A change made while the question waits is built after the running build, not inside it.
    void noBuildInsideABuild() {
        open({"a.txt"});
        w->txtExt->setText("x");
        dialogs->answers = {zelvar::mb::AnsYes};
        bool changed = false;
        dialogs->onAsk = [&] {
            if (changed) return;
            changed = true;
            w->txtJmeno->setText("late");
        };
        const int builds = w->buildCount();
        w->cmdTest->click();
        QCOMPARE(w->buildCount(), builds + 2);
        QCOMPARE(preview(*w), rows({"a.txt -> late.x"}));
    }

    void emptyFolderStatistics() {
        open({});
        w->cmdTest->click();
        QCOMPARE(int(dialogs->asked.size()), 1);
        QCOMPARE(dialogs->asked[0].text,
                 std::string("Počet zpracovaných souborů: 0\r\nPočet přejmenování: 0\r\nPočet beze změny: 0"));
        QCOMPARE(preview(*w), QString());
        QVERIFY(!w->cmdPrejmenovat->isEnabled());
    }

    void aboutBox() {
        open({});
        bool checked = false;
        QTimer::singleShot(0, [&] {
            auto* about = qobject_cast<frmAbout*>(QApplication::activeModalWidget());
            QVERIFY(about);
            QCOMPARE(about->windowTitle(), QStringLiteral("O aplikaci  Zelvar"));
            QCOMPARE(about->lblTitle->text(), QStringLiteral("Zelvar"));
            QCOMPARE(about->lblVersion->text(), QStringLiteral("Verze 6.4.17"));
            QVERIFY(about->lblDescription->text().startsWith(
                QStringLiteral("Aplikace pro hromadné přejmenovávání souborů s širokými možnostmi\n\n")));
            QVERIFY(about->lblDisclaimer->text().contains(QStringLiteral("příiponách")));
            about->cmdSysInfo->click();
            QCOMPARE(dialogs->asked.back().text, std::string("System Information Is Unavailable At This Time"));
            QVERIFY(about->isVisible());
            checked = true;
            QTest::keyClick(about, Qt::Key_Escape);
        });
        w->mnuOAplikaci->trigger();
        QVERIFY(checked);
        QVERIFY(!QApplication::activeModalWidget());

        // Help contents opens the same box; Enter closes it.
        checked = false;
        QTimer::singleShot(0, [&] {
            auto* about = qobject_cast<frmAbout*>(QApplication::activeModalWidget());
            QVERIFY(about);
            checked = true;
            QTest::keyClick(about, Qt::Key_Return);
        });
        w->mnuObsah->trigger();
        QVERIFY(checked);
        QVERIFY(!QApplication::activeModalWidget());
    }

    void closingTheWindowClosesTheAboutBox() {
        open({});
        w->show();
        QTimer::singleShot(0, [&] { w->close(); });
        w->mnuVyhledat_Click();
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(!w->isVisible());
    }
};

QTEST_MAIN(TestFrmMain)
#include "test_frmMain.moc"
