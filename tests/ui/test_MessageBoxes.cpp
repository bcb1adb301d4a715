// The real message boxes: icon and Czech buttons by style, the answer of each button, long names shown in full.
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextEdit>
#include <QtTest>

#include "ui/MessageBoxes.h"
#include "ui/MessageDialog.h"

using zelvar::Answer;
namespace box = zelvar::box;

namespace {

struct Seen {
    QString shown;
    QStringList buttons;  // the default one marked with "*"
    int icon = -1;
    bool rich = false;    // the text was read as markup
    bool inFull = false;  // every line of the text shows without scrolling
    bool fits = false;    // inside the screen, and the text can be selected
};

// Shows a box through the window's interface and answers it by clicking the button with the given
// caption (Esc for an empty one); returns the answer and the box as it was shown.
Answer answerBox(const QString& text, zelvar::BoxStyle style, const QString& caption, Seen& seen) {
    QTimer::singleShot(0, [&seen, caption] {
        auto* box = qobject_cast<MessageDialog*>(QApplication::activeModalWidget());
        QVERIFY(box);
        QTextEdit* view = box->textView();
        const QSizeF needed = view->document()->size();
        seen = {view->toPlainText(),
                {},
                int(box->icon()),
                view->toHtml().contains("<b>"),
                view->isVisible() && needed.width() <= view->viewport()->width() &&
                    needed.height() <= view->viewport()->height() && view->verticalScrollBar()->maximum() == 0,
                box->screen()->availableGeometry().contains(box->frameGeometry()) &&
                    view->textInteractionFlags().testFlag(Qt::TextSelectableByKeyboard)};
        for (QAbstractButton* b : box->buttons()) seen.buttons << b->text() + (b == box->defaultButton() ? "*" : "");
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
    void answersByStyle() {
        const QStringList ok{"OK*"}, yesNo{"Ano*", "Ne"}, yesNoCancel{"Ano*", "Ne", "Storno"};
        const std::tuple<zelvar::BoxStyle, QString, Answer, QStringList, int> cases[] = {
            {box::plain, "OK", Answer::ok, ok, QMessageBox::NoIcon},
            {box::yesNo, "Ano", Answer::yes, yesNo, QMessageBox::Question},
            {box::yesNo, "Ne", Answer::no, yesNo, QMessageBox::Question},
            {box::yesNoCancel, "Storno", Answer::cancel, yesNoCancel, QMessageBox::Question},
            {box::yesNoCancel, "", Answer::cancel, yesNoCancel, QMessageBox::Question},  // Esc
            {box::exclamation, "OK", Answer::ok, ok, QMessageBox::Warning},
        };
        for (const auto& [style, click, answer, buttons, icon] : cases) {
            Seen seen;
            QCOMPARE(answerBox("Měníte přípony.\r\nJe to tak správně?", style, click, seen), answer);
            QCOMPARE(seen.shown, QStringLiteral("Měníte přípony.\nJe to tak správně?"));
            QCOMPARE(seen.icon, icon);
            seen.buttons.sort();
            QCOMPARE(seen.buttons, buttons);
        }
    }

    // A name is never read as markup. A name without blanks, longer than the screen is wide, wraps
    // inside the name; a text taller than the screen scrolls inside a box that still fits on it.
    void namesShownAsTextAndInFull() {
        const QString name = QString(236, QChar(u'ž')) + ".txt";  // 476 bytes: more than a name can be
        QStringList many;
        for (int i = 0; i < 200; ++i) many << name;
        const std::pair<QString, bool> cases[] = {
            {"Soubor či složka ><b>x</b><< již existuje", true},
            {"Soubor či složka >" + name + "< již existuje", true},
            {many.join("\n"), false},
        };
        for (const auto& [text, inFull] : cases) {
            Seen seen;
            answerBox(text, box::exclamation, "OK", seen);
            QCOMPARE(seen.shown, text);
            QVERIFY(!seen.rich && seen.fits);
            QCOMPARE(seen.inFull, inFull);
        }
    }
};

QTEST_MAIN(TestMessageBoxes)
#include "test_MessageBoxes.moc"
