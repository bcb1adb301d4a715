// The preview box: its lines, its scroll ranges, selecting part of it and copying.
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QScrollBar>
#include <QtTest>

#include "ui/PreviewView.h"

using zelvar::T;
using zelvar::Text;

namespace {
const char* const kWhole = "IMG_1.jpg -> a.jpg\nžluť.png -> * beze změny\nIMG_3.jpg -> 🐢.jpg\n";
}

class TestPreviewView : public QObject {
    Q_OBJECT
private slots:
    void linesOfTheText() {
        const std::pair<QString, QStringList> cases[] = {
            {"a.txt -> b.txt\r\nč.txt -> * beze změny\r\n", {"a.txt -> b.txt", "č.txt -> * beze změny"}},
            {"last", {"last"}},
            {"\r\n\r\nx\r\n", {"", "", "x"}},
        };
        for (const auto& [text, lines] : cases) {
            PreviewView view;
            view.setText(zelvar::fromUtf8(text.toStdString()));
            QCOMPARE(view.lineCount(), lines.size());
            for (int i = 0; i < lines.size(); ++i) QCOMPARE(view.line(i), lines[i]);
            QCOMPARE(view.toPlainText(), QString(text).replace("\r\n", "\n"));
            view.clear();
            QCOMPARE(view.lineCount(), 0);
        }
    }

    void scrollRangesFollowTheText() {
        PreviewView view;
        view.resize(344, 415);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
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

    // Keys from the start of the text (the cursor is at 0:0 after setText), then Ctrl+C: l r u d h e are
    // left right up down home end, capitals with Shift; a is Ctrl+A, Z Ctrl+Shift+End.
    void keyboardSelection() {
        const std::pair<QString, QString> cases[] = {
            {"rrE", "G_1.jpg -> a.jpg"},
            {"rDD", "MG_1.jpg -> a.jpg\nžluť.png -> * beze změny\nI"},
            {"RRr", kWhole},  // a plain move drops the selection: all is copied
            {"a", QString(kWhole).chopped(1)},
            {"dZ", "žluť.png -> * beze změny\nIMG_3.jpg -> 🐢.jpg"},
            {"ddellllL", "🐢"},  // a character beyond the BMP is never split
            {"dddhD", "IMG_3.jpg -> 🐢.jpg"},
        };
        for (const auto& [keys, copied] : cases) {
            PreviewView view;
            view.setText(zelvar::fromUtf8(QString(kWhole).replace("\n", "\r\n").toStdString()));
            for (QChar k : keys) {
                Qt::KeyboardModifiers mods = k.isUpper() ? Qt::ShiftModifier : Qt::NoModifier;
                Qt::Key key = Qt::Key_unknown;
                switch (k.toLower().unicode()) {
                    case 'l': key = Qt::Key_Left; break;
                    case 'r': key = Qt::Key_Right; break;
                    case 'u': key = Qt::Key_Up; break;
                    case 'd': key = Qt::Key_Down; break;
                    case 'h': key = Qt::Key_Home; break;
                    case 'e': key = Qt::Key_End; break;
                    case 'a':
                        key = Qt::Key_A;
                        mods = Qt::ControlModifier;
                        break;
                    case 'z':
                        key = Qt::Key_End;
                        mods = Qt::ControlModifier | Qt::ShiftModifier;
                        break;
                }
                QTest::keyClick(&view, key, mods);
            }
            QApplication::clipboard()->clear();
            QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
            QCOMPARE(QApplication::clipboard()->text(), copied);
        }
    }

    void contextMenuOffersCopyOfTheSelection() {
        PreviewView view;
        view.setText(T("a -> b\r\n"));
        view.select({0, 0}, {0, 1});
        QTimer::singleShot(0, [] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu);
            QStringList items;
            for (QAction* a : menu->actions())
                if (!a->isSeparator()) items << a->text() + (a->isEnabled() ? "" : " (off)");
            QCOMPARE(items, QStringList({"Kopírovat", "Kopírovat vše", "Vybrat vše"}));
            menu->setActiveAction(menu->actions().first());
            QTest::keyClick(menu, Qt::Key_Return);
        });
        QApplication::clipboard()->clear();
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), view.mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(view.viewport(), &event);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("a"));
    }
};

QTEST_MAIN(TestPreviewView)
#include "test_PreviewView.moc"
