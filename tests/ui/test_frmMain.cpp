// The main window on temporary folders, with scripted message boxes: start-up, the kinds of
// refresh, numbering modes, key filtering and normalisation, layouts, folder and path handling,
// the statistics run of the second refresh button, and the About box.
#include <QtTest>
#include <functional>

#include "ui/FolderTree.h"
#include "ui/frmAbout.h"
#include "ui/window_fixture.h"

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
        QVERIFY(w->mnuFunkce[0]->isChecked() && !w->mnuFunkce[1]->isChecked());
        QCOMPARE(w->lblVerze->text(), QStringLiteral("Verze 6.4.17"));
        QCOMPARE(w->lblPopis->text().count('\n'), 6);
        QCOMPARE(w->lblUkazka1->text(), QStringLiteral("Abcd efGHij klm NOP.HAF"));
        QCOMPARE(w->lblUkazka2->text(), QStringLiteral("xY.Gh"));
        QCOMPARE(preview(), rows({"a.txt -> * beze změny", "b.txt -> * beze změny"}));
        QVERIFY(!w->cmdPrejmenovat->isEnabled() && w->cmdTest->isEnabled());
        QCOMPARE(w->options().cboPauzy, 0);
        QCOMPARE(w->txtCesta->text(), dir->qpath());
        QCOMPARE(QString::fromStdString(w->dirD->path()), dir->qpath());
        QCOMPARE(w->filD->count(), 2);  // files only, the folder "sub" is not one
        QCOMPARE(w->filD->item(0)->text(), QStringLiteral("a.txt"));
        checkShown({w->fraCisla, w->fraDoplneni, w->fraRazeni, w->fraFile, w->cmdEdit, w->txtEdit, w->lblPracuji,
                    w->lblPrace},
                   false);
        QCOMPARE(w->centralWidget()->size(), QSize(915, 659));
        QCOMPARE(w->minimumSize(), w->maximumSize());  // not resizable
        QVERIFY(!(w->windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(w->txtTest->geometry(), QRect(304, 152, 344, 484));
        QCOMPARE(w->filD->geometry(), QRect(8, 337, 282, 298));
        QVERIFY(dialogs->asked.empty());
    }

    // With an empty name pattern, a plain rebuild builds anyway, the other refreshes clear.
    void emptyNamePatternRefreshKinds() {
        open({"a.txt"});
        w->mnuFunkce_Click(1);
        w->txtJmeno->setText("");
        QCOMPARE(preview(), QString());
        QVERIFY(!w->cmdTest->isEnabled() && !w->cmdPrejmenovat->isEnabled());
        const QString built = rows({"a.txt -> * prázdné jméno"});
        const std::pair<std::function<void()>, QString> steps[] = {
            {[&] { w->chkCisla->click(); }, built},               // plain rebuild
            {[&] { w->chkObracene->click(); }, QString()},        // preview refresh
            {[&] { click(w->optRazeni, 2); }, built},             // plain rebuild
            {[&] { w->chkExt->click(); }, QString()},             // full refresh
            {[&] { w->txtCisloOd->setText("5"); }, QString()},    // full refresh
            {[&] { QTest::keyClicks(w->txtJmeno, "x"); }, rows({"a.txt -> x.txt"})},
        };
        for (const auto& [act, expected] : steps) {
            act();
            QCOMPARE(preview(), expected);
        }
        QVERIFY(w->cmdTest->isEnabled() && w->cmdPrejmenovat->isEnabled());
    }

    void previewAndSamplesFollowThePattern() {
        open({"b.txt", "a.txt", "c.doc"});
        QTest::keyClicks(w->txtJmeno, "x");  // "*x": every name gets an x
        QCOMPARE(w->lblUkazka1->text(), QStringLiteral("Abcd efGHij klm NOPx.HAF"));
        QCOMPARE(preview(), rows({"a.txt -> ax.txt", "b.txt -> bx.txt", "c.doc -> cx.doc"}));
        QVERIFY(w->cmdPrejmenovat->isEnabled());
        w->txtJmeno->setText("x");
        QCOMPARE(preview(), rows({"a.txt -> x.txt", "b.txt -> * viz >x.txt< výše", "c.doc -> x.doc"}));
        click(w->optVelikost, 2);
        QCOMPARE(w->lblUkazka2->text(), QStringLiteral("X.GH"));
        QCOMPARE(preview(), rows({"a.txt -> X.TXT", "b.txt -> * viz >X.TXT< výše", "c.doc -> X.DOC"}));
    }

    void replacementFieldsStripAndRefreshOnlyAsAPair() {
        open({"abc.txt"});
        w->mnuFunkce_Click(1);
        const int builds = w->buildCount();
        QTest::keyClicks(w->txtZamenitCo, "b");
        w->txtZamenitCo->clear();
        QApplication::clipboard()->setText("a:b*c");
        w->txtZamenitCo->paste();
        QCOMPARE(w->txtZamenitCo->text(), QStringLiteral("abc"));
        QCOMPARE(w->buildCount(), builds);  // "Čím" is still empty

        QTest::keyClicks(w->txtZamenitZaCo, "x?");
        QCOMPARE(w->txtZamenitZaCo->text(), QStringLiteral("x"));
        QCOMPARE(preview(), rows({"abc.txt -> xxx.txt"}));
        const int afterPair = w->buildCount();
        w->txtZamenitZaCo->clear();
        QCOMPARE(w->buildCount(), afterPair);
        QCOMPARE(preview(), rows({"abc.txt -> xxx.txt"}));  // kept until another option changes
        w->chkBezDia->click();
        QCOMPARE(preview(), rows({"abc.txt -> * beze změny"}));

        // Text typed into the separator list selects no item; the edit refreshes like a choice.
        const int beforeEdit = w->buildCount();
        w->cboPauzy->setEditText(QStringLiteral("Zaměň"));
        QCOMPARE(w->options().cboPauzy, -1);
        QCOMPARE(w->buildCount(), beforeEdit + 1);
    }

    void numberingModes() {
        open({"a.txt", "b.txt"});
        w->txtJmeno->setText("n:");
        QVERIFY(!shown(w->fraCisla));  // never in the simple layout
        QCOMPARE(preview(), rows({"a.txt -> n1.txt", "b.txt -> n2.txt"}));
        w->mnuFunkce_Click(1);
        QVERIFY(shown(w->fraCisla));
        w->txtJmeno->setText("n");
        QVERIFY(!shown(w->fraCisla));
        w->txtJmeno->setText("n:");
        checkShown({w->fraCisla, w->txtCisloOd, w->txtDif, w->chkStejnePripony}, true);
        checkShown({w->chkINula, w->fraZachovatTypCislovani}, false);
        w->chkStejnePripony->click();

        click(w->optCitac, 1);
        checkShown({w->chkINula}, true);
        checkShown({w->txtCisloOd, w->chkCisloNula}, false);
        QCOMPARE(preview(), rows({"a.txt -> n.txt", "b.txt -> n1.txt"}));

        click(w->optTypCislovani, 2);
        w->txtCiselnyZaklad->setText("36");
        click(w->optCitac, 2);
        QCOMPARE(w->txtCiselnyZaklad->text(), QStringLiteral("10"));
        QVERIFY(w->optTypCislovani->button(0)->isChecked());
        QCOMPARE(w->options().optTypCislovani, 0);
        checkShown({w->chkCisloNula, w->fraZachovatCisla, w->txtZachovatCiselnyZaklad, w->fraZachovatTypCislovani,
                    w->fraTypCislovani, w->txtCiselnyZaklad},
                   true);
        checkShown({w->txtCisloOd, w->chkINula}, false);

        click(w->optCitac, 0);
        QCOMPARE(w->options().chkStejnePripony, 1);  // a hidden option keeps its value

        // The step is written back without a second build.
        const int builds = w->buildCount();
        w->txtDif->setText("0");
        QCOMPARE(w->txtDif->text(), QStringLiteral("1"));
        QCOMPARE(w->options().txtDif, zelvar::Text(U"1"));
        QCOMPARE(w->buildCount(), builds + 1);
        w->txtCisloOd->setText("7");
        w->txtDif->setText("3");
        QCOMPARE(preview(), rows({"a.txt -> n7.txt", "b.txt -> n10.txt"}));
    }

    void counterStartAcceptsDigitsOnly() {
        open({"a.txt"});
        w->mnuFunkce_Click(1);
        QLineEdit* od = w->txtCisloOd;
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

        QApplication::clipboard()->setText("7");
        QTest::keyClick(od, Qt::Key_V, Qt::ControlModifier);  // code 22 is no digit
        QCOMPARE(od->text(), QStringLiteral("1"));
        QCOMPARE(dialogs->beeps, 2);
        for (const char* pasted : {"2x", "23"}) {  // the context menu's paste
            QApplication::clipboard()->setText(pasted);
            od->paste();
        }
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
            click(w->optTypCislovani, c.digitSet);
            if (c.leave) focusOut(radix);
            QCOMPARE(radix->text(), QString::fromLatin1(c.left));
            QCOMPARE(w->options().txtCiselnyZaklad, zelvar::fromUtf8(c.left));
        }
        // The kept-number field follows only its own digit set.
        click(w->optCitac, 2);
        w->txtZachovatCiselnyZaklad->setText("40");
        click(w->optZachovatTypCislovani, 1);
        QCOMPARE(w->txtZachovatCiselnyZaklad->text(), QStringLiteral("26"));
        QCOMPARE(radix->text(), QStringLiteral("10"));
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
        checkShown({w->fraDoplneni, w->fraRazeni, w->fraFile, w->cmdEdit}, true);

        w->txtJmeno->setText("n:");
        w->txtZamenitCo->setText("a");
        w->txtZamenitZaCo->setText("b");
        w->txtOdstranit->setText(" ");
        for (QCheckBox* c : {w->chkBezDia, w->chkCisla, w->chkObracene, w->chkJmeno, w->chkStejnePripony})
            c->click();
        w->cboPauzy->setCurrentIndex(2);
        w->txtCisloOd->setText("5");
        for (QButtonGroup* g : {w->optRazeni, w->optTypCislovani, w->optFile, w->optVelikost}) click(g, 1);
        QVERIFY(preview() != rows({"Žába a.txt -> n1.txt"}));

        w->mnuFunkce_Click(0);
        const zelvar::RenameOptions& o = w->options();
        QCOMPARE(o.chkBezDia + o.chkCisla + o.chkObracene + o.chkJmeno, 0);
        QVERIFY(o.txtZamenitCo.empty() && o.txtZamenitZaCo.empty() && o.txtOdstranit.empty());
        QCOMPARE(o.optRazeni + o.optTypCislovani + o.optFile + o.cboPauzy, 0);
        QCOMPARE(w->cboPauzy->currentIndex(), 0);
        QCOMPARE(o.txtCisloOd, zelvar::Text(U"1"));
        QVERIFY(!w->chkBezDia->isChecked() && w->txtZamenitCo->text().isEmpty());
        // Kept: the patterns, the letter case and the hidden "Stejná podle přípon".
        QCOMPARE(o.txtJmeno, zelvar::Text(U"n:"));
        QCOMPARE(o.optVelikost, 1);
        QCOMPARE(o.chkStejnePripony, 1);
        QCOMPARE(preview(), rows({"Žába a.txt -> n1.txt"}));

        QVERIFY(w->windowTitle().contains(QStringLiteral("[Jednoduché funkce]")));
        QVERIFY(w->mnuFunkce[0]->isChecked() && !w->mnuFunkce[1]->isChecked());
        QCOMPARE(w->fraPrikazy->y(), 213);
        QCOMPARE(w->fraVelikost->y(), 360);
        QCOMPARE(w->drvDisk->y(), 92);
        QCOMPARE(w->dirD->y(), 117);
        checkShown({w->fraCisla, w->fraDoplneni, w->cmdEdit}, false);

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
        QVERIFY(w->mnuFunkce[1]->isChecked());
    }

    void folderChosenInTheTree() {
        open({"top.txt", "inner/one.txt", "inner/two.txt"}, {"inner"});
        const auto found = w->dirD->findItems("inner", Qt::MatchExactly | Qt::MatchRecursive);
        QCOMPARE(found.size(), 1);
        w->dirD->setCurrentItem(found.front());
        const QString inner = dir->qpath() + "/inner";
        QCOMPARE(w->txtCesta->text(), inner);
        QVERIFY(w->windowTitle().endsWith(" <" + inner + ">"));
        QCOMPARE(QString::fromStdString(w->folder()), inner);
        QCOMPARE(w->filD->count(), 2);
        QCOMPARE(preview(), rows({"one.txt -> * beze změny", "two.txt -> * beze změny"}));
    }

    void typedPaths() {
        open({"top.txt", "inner/one.txt"}, {"inner"});
        const QString start = dir->qpath();

        // No path at all: message, and the field shows the current folder again.
        w->txtCesta->setText("relative/path");
        pressEnter(w->txtCesta);
        checkOneMessage("Adresa není v pořádku", zelvar::box::information);
        QCOMPARE(w->txtCesta->text(), start);

        // A folder that does not exist: message, the typed text stays, the listing does not move.
        dialogs->asked.clear();
        w->txtCesta->setText(start + "/missing");
        pressEnter(w->txtCesta);
        QCOMPARE(int(dialogs->asked.size()), 1);
        QCOMPARE(w->txtCesta->text(), start + "/missing");
        QCOMPARE(QString::fromStdString(w->folder()), start);
        QCOMPARE(preview(), rows({"top.txt -> * beze změny"}));

        // An existing folder, written untidily: everything moves to it.
        dialogs->asked.clear();
        w->txtCesta->setText(start + "//inner/./");
        focusOut(w->txtCesta);
        QVERIFY(dialogs->asked.empty());
        QCOMPARE(w->txtCesta->text(), start + "/inner");
        QCOMPARE(QString::fromStdString(w->dirD->path()), start + "/inner");
        QVERIFY(w->windowTitle().endsWith(" <" + start + "/inner>"));
        QCOMPARE(preview(), rows({"one.txt -> * beze změny"}));
        QCOMPARE(w->dirD->currentItem()->text(0), QStringLiteral("inner"));
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
        checkOneMessage("S diskem nelze pracovat", zelvar::box::exclamation);
        QCOMPARE(w->drvDisk->currentIndex(), 0);
        QCOMPARE(w->dirD->path(), start);

        // A volume that can: the tree shows it from its root, and the listing follows.
        w->drvDisk->setCurrentIndex(2);
        QCOMPARE(int(dialogs->asked.size()), 1);
        QCOMPARE(w->dirD->path(), other.path());
        QCOMPARE(w->txtCesta->text(), other.qpath());
        QCOMPARE(preview(), rows({"on-the-other-volume.txt -> * beze změny"}));

        // A typed path on another volume moves the drive list with it.
        w->txtCesta->setText(dir->qpath());
        pressEnter(w->txtCesta);
        QCOMPARE(w->drvDisk->currentIndex(), 0);
        QCOMPARE(preview(), rows({"top.txt -> * beze změny"}));
    }

    void filterAndEntryKind() {
        open({"a.jpg", "b.txt"}, {"dir.d"});
        w->txtJmeno->setText("x:");
        w->txtVyhlFiltr->setText("*.jpg");
        QCOMPARE(preview(), rows({"a.jpg -> x1.jpg"}));
        QCOMPARE(w->filD->count(), 1);
        QVERIFY(!w->cmdPrejmenovat->isEnabled());  // until a build that is asked for
        w->cmdTest->click();
        QVERIFY(w->cmdPrejmenovat->isEnabled());

        w->txtVyhlFiltr->setText("*.*");
        w->mnuFunkce_Click(1);
        click(w->optFile, 1);
        QCOMPARE(preview(), rows({"dir.d -> x1.d"}));
        click(w->optFile, 2);
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
        QTest::newRow("extension yes") << ab << "x" << QList{zelvar::Answer::yes} << "x" << rows({"A.txt -> a.x", "b.txt -> b.x"})
                                       << stats(2, 2, 0);
        QTest::newRow("extension no") << ab << "?" << QList{zelvar::Answer::no} << "*"
                                      << rows({"A.txt -> a.txt", "b.txt -> * beze změny"}) << stats(2, 1, 1);
        QTest::newRow("extension kept") << ab << "*" << QList<zelvar::Answer>() << "*" << rows({"A.txt -> a.txt", "b.txt -> * beze změny"})
                                        << stats(2, 1, 1);
        QTest::newRow("empty folder") << QStringList() << "*" << QList<zelvar::Answer>() << "*" << QString() << stats(0, 0, 0);
    }
    void cmdTestStatistics() {
        QFETCH(QStringList, files);
        QFETCH(QString, ext);
        QFETCH(QList<zelvar::Answer>, answer);
        open(files);
        click(w->optVelikost, 1);
        w->txtExt->setText(ext);
        dialogs->answers.assign(answer.begin(), answer.end());
        w->cmdTest->click();
        QCOMPARE(int(dialogs->asked.size()), answer.size() + 1);
        if (!answer.isEmpty()) QCOMPARE(asked(0), QStringLiteral("Měníte přípony.\r\nJe to tak správně?"));
        if (!answer.isEmpty()) QCOMPARE(dialogs->asked[0].style, zelvar::box::yesNo);
        QTEST(w->txtExt->text(), "extAfter");
        QCOMPARE(QString::fromStdString(zelvar::toUtf8(w->options().txtExt)), w->txtExt->text());
        QTEST(preview(), "preview");
        QTEST(asked(dialogs->asked.size() - 1), "stats");
        QCOMPARE(dialogs->asked.back().style, zelvar::box::plain);
        QCOMPARE(w->cmdPrejmenovat->isEnabled(), !files.isEmpty());
    }

    // A change made while the question waits is built after the running build, not inside it.
    void noBuildInsideABuild() {
        open({"a.txt"});
        w->txtExt->setText("x");
        dialogs->answers = {zelvar::Answer::yes};
        dialogs->onAsk = [&] {
            if (dialogs->asked.size() == 1) w->txtJmeno->setText("late");
        };
        const int builds = w->buildCount();
        w->cmdTest->click();
        QCOMPARE(w->buildCount(), builds + 2);
        QCOMPARE(preview(), rows({"a.txt -> late.x"}));
    }

    void aboutBox() {
        open({});
        // Help contents opens the same box; Esc or Enter closes it.
        const std::pair<QAction*, Qt::Key> ways[] = {{w->mnuOAplikaci, Qt::Key_Escape}, {w->mnuObsah, Qt::Key_Return}};
        for (auto [action, key] : ways) {
            bool checked = false;
            QTimer::singleShot(0, [&, key = key] {
                auto* about = qobject_cast<frmAbout*>(QApplication::activeModalWidget());
                QVERIFY(about);
                QCOMPARE(about->windowTitle(), QStringLiteral("O aplikaci  Zelvar"));
                QCOMPARE(about->lblVersion->text(), QStringLiteral("Verze 6.4.17"));
                about->cmdSysInfo->click();
                QCOMPARE(dialogs->asked.back().text, std::string("System Information Is Unavailable At This Time"));
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
        w->mnuVyhledat_Click();
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(!w->isVisible());
    }
};

QTEST_MAIN(TestFrmMain)
#include "test_frmMain.moc"
