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
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    QString defaultButton;
    Qt::TextFormat format = Qt::AutoText;
};

// Answers the next box by clicking the button with the given caption (or pressing Esc for an empty
// one), after recording what the box shows.
void answerNextBox(Seen& seen, const QString& caption) {
    QTimer::singleShot(0, [&seen, caption] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        seen.format = box->textFormat();
        for (QAbstractButton* b : box->buttons()) seen.buttons << b->text();
        seen.defaultButton = box->defaultButton() ? box->defaultButton()->text() : QString();
        if (caption.isEmpty()) {
            QTest::keyClick(box, Qt::Key_Escape);
            return;
        }
        for (QAbstractButton* b : box->buttons())
            if (b->text() == caption) b->click();
    });
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
        QTest::newRow("ok, no icon") << 0 << "OK" << 1 << QStringList{"OK"} << int(QMessageBox::NoIcon);
        QTest::newRow("yes/no question, yes") << 36 << "Ano" << 6 << QStringList{"Ano", "Ne"}
                                              << int(QMessageBox::Question);
        QTest::newRow("yes/no question, no") << 36 << "Ne" << 7 << QStringList{"Ano", "Ne"}
                                             << int(QMessageBox::Question);
        QTest::newRow("yes/no/cancel, cancel") << 35 << "Storno" << 2 << QStringList{"Ano", "Ne", "Storno"}
                                               << int(QMessageBox::Question);
        QTest::newRow("yes/no/cancel, escape") << 35 << "" << 2 << QStringList{"Ano", "Ne", "Storno"}
                                               << int(QMessageBox::Question);
        QTest::newRow("exclamation") << 48 << "OK" << 1 << QStringList{"OK"} << int(QMessageBox::Warning);
        QTest::newRow("information") << 64 << "OK" << 1 << QStringList{"OK"} << int(QMessageBox::Information);
        QTest::newRow("critical") << 16 << "OK" << 1 << QStringList{"OK"} << int(QMessageBox::Critical);
    }

    void answersByStyle() {
        QFETCH(int, style);
        QFETCH(QString, click);
        QFETCH(int, answer);
        QFETCH(QStringList, buttons);
        QFETCH(int, icon);
        MessageBoxes boxes;
        Seen seen;
        answerNextBox(seen, click);
        QCOMPARE(boxes.messageBox(zelvar::T("Měníte přípony.\r\nJe to tak správně?"), style), answer);
        QCOMPARE(seen.title, QStringLiteral("Zelvar"));
        QCOMPARE(seen.text, QStringLiteral("Měníte přípony.\nJe to tak správně?"));
        QCOMPARE(int(seen.icon), icon);
        QStringList shown = seen.buttons;
        shown.sort();
        buttons.sort();
        QCOMPARE(shown, buttons);
        QCOMPARE(seen.defaultButton, buttons.contains("Ano") ? QStringLiteral("Ano") : QStringLiteral("OK"));
    }

    void namesAreShownAsText() {
        MessageBoxes boxes;
        Seen seen;
        answerNextBox(seen, "OK");
        boxes.messageBox(zelvar::T("Soubor či složka ><b>x</b><< již existuje"), 48);
        QCOMPARE(seen.text, QStringLiteral("Soubor či složka ><b>x</b><< již existuje"));
        QCOMPARE(seen.format, Qt::PlainText);
    }
};

QTEST_MAIN(TestMessageBoxes)
#include "test_MessageBoxes.moc"
