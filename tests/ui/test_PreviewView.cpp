// The preview box: its lines, its scroll ranges and the copy of its text.
#include <QApplication>
#include <QClipboard>
#include <QScrollBar>
#include <QtTest>

#include "ui/PreviewView.h"

using zelvar::T;
using zelvar::Text;

class TestPreviewView : public QObject {
    Q_OBJECT
private slots:
    void linesOfTheText() {
        PreviewView view;
        view.setText(T("a.txt -> b.txt\r\nč.txt -> * beze změny\r\n"));
        QCOMPARE(view.lineCount(), 2);
        QCOMPARE(view.line(0), QStringLiteral("a.txt -> b.txt"));
        QCOMPARE(view.line(1), QStringLiteral("č.txt -> * beze změny"));
        QCOMPARE(view.toPlainText(), QStringLiteral("a.txt -> b.txt\nč.txt -> * beze změny\n"));

        view.setText(T("last line without break"));
        QCOMPARE(view.lineCount(), 1);
        QCOMPARE(view.line(0), QStringLiteral("last line without break"));
        view.setText(T("\r\n\r\nx\r\n"));
        QCOMPARE(view.lineCount(), 3);
        QCOMPARE(view.line(1), QString());
        view.clear();
        QCOMPARE(view.lineCount(), 0);
        QCOMPARE(view.toPlainText(), QString());
    }

    void scrollRangesFollowTheText() {
        PreviewView view;
        view.resize(344, 415);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QCOMPARE(view.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(view.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        Text text;
        for (int i = 0; i < 32767; ++i) text += T("IMG_") + zelvar::decimal(i) + T(".jpg -> x.jpg\r\n");
        text += T("a rather long line that certainly does not fit into the width of the box at all.jpg\r\n");
        view.setText(text);
        QCOMPARE(view.lineCount(), 32768);
        QScrollBar* v = view.verticalScrollBar();
        QVERIFY(v->maximum() > 32700 && v->maximum() < 32768);
        QCOMPARE(v->maximum() + v->pageStep(), 32768);
        QVERIFY(view.horizontalScrollBar()->maximum() > 0);

        v->setValue(v->maximum());
        view.setText(T("short\r\n"));
        QCOMPARE(v->maximum(), 0);
        QCOMPARE(v->value(), 0);
        QCOMPARE(view.horizontalScrollBar()->maximum(), 0);
    }

    void copyTakesTheWholeText() {
        PreviewView view;
        view.setText(T("a -> b\r\nc -> d\r\n"));
        QApplication::clipboard()->clear();
        QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("a -> b\nc -> d\n"));
    }
};

QTEST_MAIN(TestPreviewView)
#include "test_PreviewView.moc"
