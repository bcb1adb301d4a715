// The real message boxes: title, icon and Czech buttons by style, and the answer of each button.
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "ui/MessageBoxes.h"

namespace {

using zelvar::Answer;
namespace box = zelvar::box;

struct Seen {
    QString title, text, defaultButton;
    QStringList buttons;
    int icon = -1;
    Qt::TextFormat format = Qt::AutoText;
};

// Shows a box through the window's interface and answers it by clicking the button with the given
// caption (Esc for an empty one); returns the answer and the box as it was shown.
zelvar::Answer answerBox(const char* text, zelvar::BoxStyle style, const QString& caption, Seen& seen) {
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
        QTest::addColumn<zelvar::BoxStyle>("style");
        QTest::addColumn<QString>("click");
        QTest::addColumn<zelvar::Answer>("answer");
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<int>("icon");
        const QStringList ok{"OK"}, yesNo{"Ano", "Ne"}, yesNoCancel{"Ano", "Ne", "Storno"};
        QTest::newRow("ok, no icon") << box::plain << "OK" << Answer::ok << ok << int(QMessageBox::NoIcon);
        QTest::newRow("yes/no, yes") << box::yesNo << "Ano" << Answer::yes << yesNo << int(QMessageBox::Question);
        QTest::newRow("yes/no, no") << box::yesNo << "Ne" << Answer::no << yesNo << int(QMessageBox::Question);
        QTest::newRow("yes/no/cancel, cancel") << box::yesNoCancel << "Storno" << Answer::cancel << yesNoCancel << int(QMessageBox::Question);
        QTest::newRow("yes/no/cancel, escape") << box::yesNoCancel << "" << Answer::cancel << yesNoCancel << int(QMessageBox::Question);
        QTest::newRow("exclamation") << box::exclamation << "OK" << Answer::ok << ok << int(QMessageBox::Warning);
        QTest::newRow("information") << box::information << "OK" << Answer::ok << ok << int(QMessageBox::Information);
        QTest::newRow("critical") << box::critical << "OK" << Answer::ok << ok << int(QMessageBox::Critical);
    }
    void answersByStyle() {
        QFETCH(zelvar::BoxStyle, style);
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
        answerBox("Soubor či složka ><b>x</b><< již existuje", zelvar::box::exclamation, "OK", seen);
        QCOMPARE(seen.text, QStringLiteral("Soubor či složka ><b>x</b><< již existuje"));
        QCOMPARE(seen.format, Qt::PlainText);
    }
};

QTEST_MAIN(TestMessageBoxes)
#include "test_MessageBoxes.moc"
