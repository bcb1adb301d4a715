// The real message boxes: title, icon and Czech buttons by style, the answer of each button, and
// long names shown in full.
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

#include "ui/MessageBoxes.h"
#include "ui/MessageDialog.h"

namespace {

using zelvar::Answer;
namespace box = zelvar::box;

struct Seen {
    QString title, text, defaultButton, shown;
    QStringList buttons;
    int icon = -1;
    bool rich = false;    // the text was read as markup
    bool inFull = false;  // every line of the text shows without scrolling
    bool insideScreen = false;
    bool selectable = false;
};

// Shows a box through the window's interface and answers it by clicking the button with the given
// caption (Esc for an empty one); returns the answer and the box as it was shown.
zelvar::Answer answerBox(const QString& text, zelvar::BoxStyle style, const QString& caption, Seen& seen) {
    QTimer::singleShot(0, [&seen, caption] {
        auto* box = qobject_cast<MessageDialog*>(QApplication::activeModalWidget());
        QVERIFY(box);
        QTextEdit* view = box->textView();
        seen = {box->windowTitle(),
                box->text(),
                box->defaultButton() ? box->defaultButton()->text() : QString(),
                view->toPlainText(),
                {},
                int(box->icon()),
                view->toHtml().contains("<b>")};
        const QSizeF needed = view->document()->size();
        seen.inFull = view->isVisible() && needed.width() <= view->viewport()->width() &&
                      needed.height() <= view->viewport()->height() && view->verticalScrollBar()->maximum() == 0 &&
                      view->horizontalScrollBar()->maximum() == 0;
        seen.insideScreen = box->screen()->availableGeometry().contains(box->frameGeometry());
        seen.selectable = view->textInteractionFlags().testFlag(Qt::TextSelectableByMouse) &&
                          view->textInteractionFlags().testFlag(Qt::TextSelectableByKeyboard);
        for (QAbstractButton* b : box->buttons()) seen.buttons << b->text();
        if (caption.isEmpty()) QTest::keyClick(box, Qt::Key_Escape);
        for (QAbstractButton* b : box->buttons())
            if (!caption.isEmpty() && b->text() == caption) b->click();
    });
    MessageBoxes boxes;
    return boxes.messageBox(zelvar::T(text.toStdString()), style);
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
        QTest::newRow("yes/no/cancel, cancel")
            << box::yesNoCancel << "Storno" << Answer::cancel << yesNoCancel << int(QMessageBox::Question);
        QTest::newRow("yes/no/cancel, escape")
            << box::yesNoCancel << "" << Answer::cancel << yesNoCancel << int(QMessageBox::Question);
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
        QCOMPARE(seen.shown, seen.text);
        QVERIFY(!seen.rich);
    }

    // A name without blanks, longer than the screen is wide, wraps inside the name; a text taller
    // than the screen scrolls inside a box that still fits on it.
    void longNamesShownInFull_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("inFull");
        const QString name = QString(236, QChar(u'ž')) + ".txt";  // 476 bytes: more than a name can be
        QTest::newRow("one long name") << "Soubor či složka >" + name + "< již existuje" << true;
        QStringList many;
        for (int i = 0; i < 200; ++i) many << name;
        QTest::newRow("taller than the screen") << many.join("\n") << false;
    }
    void longNamesShownInFull() {
        QFETCH(QString, text);
        Seen seen;
        answerBox(text, zelvar::box::exclamation, "OK", seen);
        QCOMPARE(seen.shown, QString(text).replace("\r\n", "\n"));
        QVERIFY(seen.insideScreen);
        QTEST(seen.inFull, "inFull");
        QVERIFY(seen.selectable);
    }
};

QTEST_MAIN(TestMessageBoxes)
#include "test_MessageBoxes.moc"
