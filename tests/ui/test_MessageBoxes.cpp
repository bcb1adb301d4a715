// The real message boxes: title, icon and Czech buttons by style, and the answer of each button.
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "ui/MessageBoxes.h"

namespace {

struct Seen {
    QString title, text, defaultButton;
    QStringList buttons;
    int icon = -1;
    Qt::TextFormat format = Qt::AutoText;
};

// Shows a box through the window's interface and answers it by clicking the button with the given
// caption (Esc for an empty one); returns the answer and the box as it was shown.
int answerBox(const char* text, int style, const QString& caption, Seen& seen) {
    QTimer::singleShot(0, [&seen, caption] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        seen = {box->windowTitle(), box->text(), box->defaultButton() ? box->defaultButton()->text() : QString(),
                {}, int(box->icon()), box->textFormat()};
        for (QAbstractButton* b : box->buttons()) seen.buttons << b->text();
        if (caption.isEmpty()) QTest::keyClick(box, Qt::Key_Escape);
        for (QAbstractButton* b : box->buttons())
            if (!caption.isEmpty() && b->text() == caption) b->click();
    });
    MessageBoxes boxes;
    return boxes.messageBox(zelvar::T(text), style);
}

}  // namespace

class TestMessageBoxes : public QObject {
    Q_OBJECT
private slots:
    void answersByStyle_data() {
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("click");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<int>("icon");
        const QStringList ok{"OK"}, yesNo{"Ano", "Ne"}, yesNoCancel{"Ano", "Ne", "Storno"};
        QTest::newRow("ok, no icon") << 0 << "OK" << 1 << ok << int(QMessageBox::NoIcon);
        QTest::newRow("yes/no, yes") << 36 << "Ano" << 6 << yesNo << int(QMessageBox::Question);
        QTest::newRow("yes/no, no") << 36 << "Ne" << 7 << yesNo << int(QMessageBox::Question);
        QTest::newRow("yes/no/cancel, cancel") << 35 << "Storno" << 2 << yesNoCancel << int(QMessageBox::Question);
        QTest::newRow("yes/no/cancel, escape") << 35 << "" << 2 << yesNoCancel << int(QMessageBox::Question);
        QTest::newRow("exclamation") << 48 << "OK" << 1 << ok << int(QMessageBox::Warning);
        QTest::newRow("information") << 64 << "OK" << 1 << ok << int(QMessageBox::Information);
        QTest::newRow("critical") << 16 << "OK" << 1 << ok << int(QMessageBox::Critical);
    }
    void answersByStyle() {
        QFETCH(int, style);
        QFETCH(QString, click);
        QFETCH(QStringList, buttons);
        Seen seen;
        QTEST(answerBox("Měníte přípony.\r\nJe to tak správně?", style, click, seen), "answer");
        QCOMPARE(seen.title, QStringLiteral("Zelvar"));
        QCOMPARE(seen.text, QStringLiteral("Měníte přípony.\nJe to tak správně?"));
        QTEST(seen.icon, "icon");
        QStringList shown = seen.buttons;
        shown.sort();
        buttons.sort();
        QCOMPARE(shown, buttons);
        QCOMPARE(seen.defaultButton, buttons.contains("Ano") ? QStringLiteral("Ano") : QStringLiteral("OK"));
    }

    void namesAreShownAsText() {
        Seen seen;
        answerBox("Soubor či složka ><b>x</b><< již existuje", 48, "OK", seen);
        QCOMPARE(seen.text, QStringLiteral("Soubor či složka ><b>x</b><< již existuje"));
        QCOMPARE(seen.format, Qt::PlainText);
    }
};

QTEST_MAIN(TestMessageBoxes)
#include "test_MessageBoxes.moc"
