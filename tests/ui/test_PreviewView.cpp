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
    void linesOfTheText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("each line ended") << "a.txt -> b.txt\r\nč.txt -> * beze změny\r\n"
                                         << QStringList{"a.txt -> b.txt", "č.txt -> * beze změny"};
        QTest::newRow("last line without break") << "last" << QStringList{"last"};
        QTest::newRow("empty lines") << "\r\n\r\nx\r\n" << QStringList{"", "", "x"};
    }
    void linesOfTheText() {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        PreviewView view;
        view.setText(zelvar::fromUtf8(text.toStdString()));
        QCOMPARE(view.lineCount(), lines.size());
        for (int i = 0; i < lines.size(); ++i) QCOMPARE(view.line(i), lines[i]);
        QCOMPARE(view.toPlainText(), QString(text).replace("\r\n", "\n"));
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
