// The preview while the folder changes behind the window's back and while keys are typed ahead of a
// build: either way the window ends where a fresh build after every change shows.
#include <QtTest>

#include "ui/window_fixture.h"

namespace {

// A key press as the window system delivers it, stamped `ago` milliseconds before now.
QKeyEvent* keyPress(QChar c, qint64 ago) {
    auto* event = new QKeyEvent(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    event->setTimestamp(quint64(QDeadlineTimer::current().deadline() - ago));
    return event;
}

// What a user sees of the last build, and what the statistics run reports.
QStringList state(frmMain& window, ScriptedDialogs& answers) {
    QStringList seen{control<PreviewView>(window, "txtTest")->toPlainText(),
                     control<QLabel>(window, "lblUkazka1")->text(),
                     control<QAbstractButton>(window, "cmdPrejmenovat")->isEnabled() ? "enabled" : "disabled"};
    control<QPushButton>(window, "cmdTest")->click();
    return seen << QString::fromStdString(answers.last());
}

}  // namespace

class TestLivePreview : public QObject, protected WindowFixture {
    Q_OBJECT

private slots:
    void cleanup() { close(); }

    // Which changes a kept listing notices is the listing cache's to test; here a changed date, which leaves
    // every name as it was, must still reach the window.
    void changesBehindTheBackShowAtTheNextKey() {
        open({"a.txt", "b.txt"});
        for (const char* name : {"a.txt", "b.txt"}) dir->mtime(name, 1000);
        // The seconds of each date in the name, numbered in date order.
        QLineEdit* pattern = ui<QLineEdit>("txtJmeno");
        click("optRazeni", 2);
        pattern->setText("*_\\s_:");
        QTest::keyClicks(pattern, "x");  // a second build over the same folder
        const QString before = preview();
        dir->mtime("a.txt", 1017);
        QCoreApplication::processEvents();
        QTest::keyClick(pattern, Qt::Key_Backspace);

        ScriptedDialogs freshAnswers;
        frmMain fresh(freshAnswers, dir->path());
        control<QButtonGroup>(fresh, "optRazeni")->button(2)->click();
        control<QLineEdit>(fresh, "txtJmeno")->setText("*_\\s_:");
        QCOMPARE(preview(), control<PreviewView>(fresh, "txtTest")->toPlainText());
        QVERIFY(preview() != before);
        QCOMPARE(renameOffered(), control<QAbstractButton>(fresh, "cmdPrejmenovat")->isEnabled());
    }

    // Keys that waited behind a build get one build between them all, and the window ends exactly
    // where building after every key leaves it.
    void keysTypedAheadGetOneBuild() {
        open({"IMG_1.jpg", "IMG_2.jpg", "IMG_2.raw", "Foto_001.jpg"});
        const QString typed = QStringLiteral("Foto_:::");
        ui<QLineEdit>("txtJmeno")->clear();
        QTest::keyClicks(ui<QLineEdit>("txtJmeno"), typed);
        const QStringList keyByKey = state(*w, *dialogs);

        ScriptedDialogs answers;
        frmMain ahead(answers, dir->path());
        QLineEdit* pattern = control<QLineEdit>(ahead, "txtJmeno");
        pattern->clear();
        const int before = ahead.buildCount();
        const std::unique_ptr<QKeyEvent> onTime(keyPress(typed[0], 0));
        QApplication::sendEvent(pattern, onTime.get());  // built at once
        QCOMPARE(ahead.buildCount(), before + 1);
        for (qsizetype i = 1; i < typed.size(); ++i)
            QCoreApplication::postEvent(pattern, keyPress(typed[i], 1000));  // waited a second
        QTRY_COMPARE(ahead.buildCount(), before + 2);
        QCoreApplication::processEvents();
        QCOMPARE(pattern->text(), typed);
        QCOMPARE(ahead.buildCount(), before + 2);
        QCOMPARE(state(ahead, answers), keyByKey);
    }
};

QTEST_MAIN(TestLivePreview)
#include "test_livepreview.moc"
