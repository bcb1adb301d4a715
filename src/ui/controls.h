#pragma once
// The look of the main window's controls, and the helpers that make and place them. Measures come
// in twips (15 to a pixel at 96 dpi), as the window was drawn; a control is named as the program
// names it, and that name is also its object name.
#include <QColor>
#include <QFont>
#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>

#include "engine/text.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QEvent;
class QLabel;
class QLineEdit;
class QObject;
class QPushButton;
class QWidget;

namespace zelvar::ui {

constexpr int px(int twips) { return (twips + 7) / 15; }
inline QRect tw(int left, int top, int width, int height) { return QRect(px(left), px(top), px(width), px(height)); }

inline const QColor kBackground(192, 192, 255);
inline const QColor kFieldYellow(255, 255, 192);
inline const QColor kNavy(0, 0, 128);
inline const QColor kRed(255, 0, 0);

QFont uiFont(double points, bool bold = false, bool condensed = false);
// Option captions and labels; frame captions; command buttons.
inline QFont optionFont() { return uiFont(8, false, true); }
inline QFont frameFont() { return uiFont(9, true, true); }
inline QFont buttonFont() { return uiFont(12); }

inline QString toQ(const Text& text) { return QString::fromUtf8(toUtf8(text)); }
inline Text fromQ(const QString& text) { return fromUtf8(text.toUtf8().toStdString()); }
// The same without loss for bytes that are no UTF-8 (U+DC80..U+DCFF): QString holds them as lone
// surrogates, which its own UTF-8 conversions would replace. For paths and names of the disk.
QString toField(const Text& text);
Text fromField(const QString& text);
inline QString nativeToQ(const std::string& bytes) { return toField(fromUtf8(bytes)); }

// A focus-out that counts as leaving the field: not focus gone to another window or a popup menu
// (it comes back), nor a field that lost it because the window was disabled for a rename run.
bool leftByUser(QObject* watched, QEvent* event);

void setTextColour(QWidget* w, const QColor& colour);
void setFieldColour(QWidget* w);
void setBackground(QWidget* w, const QColor& colour);

template <typename W>
W* named(W* w, const char* name) {
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, const QRect& geometry,
                  const QFont& font = optionFont(), const QColor& colour = Qt::black);
QLineEdit* makeEdit(QWidget* parent, const char* name, const QString& text, const QRect& geometry);
QCheckBox* makeCheck(QWidget* parent, const char* name, const QString& text, const QRect& geometry);
QGroupBox* makeFrame(QWidget* parent, const char* name, const QString& title, const QRect& geometry,
                     const QFont& font = frameFont());
QPushButton* makeButton(QWidget* parent, const char* name, const QString& text, const QRect& geometry);
// A choice: option buttons with the ids 0..n-1 of the captions, named name0, name1, ...
QButtonGroup* makeChoice(QObject* owner, const char* name, QWidget* parent, const QStringList& captions);

// A label as wide as its text.
QLabel* fitLabel(QLabel* l);
int rightOf(const QWidget* w, int gap);
// Places the widgets side by side from left at the widths their captions need, spreading what is
// left of the span as gaps of at most maxGap.
void placeRow(const QList<QWidget*>& widgets, int left, int right, int top, int height, int maxGap = 14);
QList<QWidget*> buttonsOf(QButtonGroup* group, std::initializer_list<int> order);

}  // namespace zelvar::ui
