// The preview box: its lines, selecting part of it and copying.
#include <QApplication>
#include <QClipboard>
#include <QtTest>

#include "ui/PreviewView.h"

namespace {
const QString kWhole = "IMG_1.jpg -> a.jpg\nžluť.png -> * beze změny\nIMG_3.jpg -> 🐢.jpg\n";
}

class TestPreviewView : public QObject {
    Q_OBJECT
private slots:
    void linesOfTheText() {
        const std::pair<QString, QStringList> cases[] = {
            {"a.txt -> b.txt\r\nč.txt -> * beze změny\r\n", {"a.txt -> b.txt", "č.txt -> * beze změny"}},
            {"last", {"last"}},
            {"\r\n\r\nx\r\n", {"", "", "x"}},
            // Characters that hold the byte of a line feed are no line ends: Ċ U+010A, ਊ U+0A0A, ਀ U+0A00.
            {"Ċ -> ਊ\r\n਀x\nਊ", {"Ċ -> ਊ", "਀x", "ਊ"}},
        };
        for (const auto& [text, lines] : cases) {
            PreviewView view;
            view.setText(zelvar::fromUtf8(text.toStdString()));
            QStringList got;
            for (int i = 0; i < view.lineCount(); ++i) got << view.line(i);
            QCOMPARE(got, lines);
            QCOMPARE(view.toPlainText(), QString(text).replace("\r\n", "\n"));
        }
    }

    // Keys from the start of the text, then Ctrl+C: l r u d h e are left right up down home end,
    // capitals with Shift; a is Ctrl+A.
    void keyboardSelection() {
        const std::pair<QString, QString> cases[] = {
            {"rDD", "MG_1.jpg -> a.jpg\nžluť.png -> * beze změny\nI"},
            {"RRr", kWhole},  // a plain move drops the selection: all is copied
            {"a", kWhole.chopped(1)},
            {"ddellllL", "🐢"},  // a character beyond the BMP is never split
        };
        const QString letters = "lrudhea";
        const Qt::Key keys[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down,
                                Qt::Key_Home, Qt::Key_End,   Qt::Key_A};
        for (const auto& [typed, copied] : cases) {
            PreviewView view;
            view.setText(zelvar::fromUtf8(QString(kWhole).replace("\n", "\r\n").toStdString()));
            for (QChar k : typed)
                QTest::keyClick(&view, keys[letters.indexOf(k.toLower())],
                                k == 'a'      ? Qt::ControlModifier
                                : k.isUpper() ? Qt::ShiftModifier
                                              : Qt::NoModifier);
            QApplication::clipboard()->clear();
            QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
            QCOMPARE(QApplication::clipboard()->text(), copied);
        }
    }
};

QTEST_MAIN(TestPreviewView)
#include "test_PreviewView.moc"
