#include "ui/controls.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <algorithm>

namespace zelvar::ui {

QFont uiFont(double points, bool bold, bool condensed) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSizeF(points);
    f.setBold(bold);
    if (condensed) f.setStretch(QFont::SemiCondensed);
    return f;
}

QString toField(const Text& text) {
    QString out;
    out.reserve(qsizetype(text.size()));
    for (const char32_t c : text) {
        if (c < 0x10000) {
            out.append(QChar(char16_t(c)));
        } else {
            out.append(QChar(QChar::highSurrogate(c)));
            out.append(QChar(QChar::lowSurrogate(c)));
        }
    }
    return out;
}

Text fromField(const QString& text) {
    Text out;
    out.reserve(std::size_t(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode())) {
            out.push_back(QChar::surrogateToUcs4(c, text[++i].unicode()));
        } else {
            out.push_back(c);
        }
    }
    return out;
}

bool leftByUser(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::FocusOut) return false;
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) return false;
    auto* w = qobject_cast<QWidget*>(watched);
    return !w || w->isEnabled();
}

void setTextColour(QWidget* w, const QColor& colour) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, colour);
    p.setColor(QPalette::Text, colour);
    w->setPalette(p);
}

void setFieldColour(QWidget* w) {
    QPalette p = w->palette();
    p.setColor(QPalette::Base, kFieldYellow);
    w->setPalette(p);
}

void setBackground(QWidget* w, const QColor& colour) {
    QPalette p = w->palette();
    p.setColor(QPalette::Window, colour);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, const QRect& geometry, const QFont& font,
                  const QColor& colour) {
    auto* l = named(new QLabel(text, parent), name);
    l->setGeometry(geometry);
    l->setFont(font);
    l->setTextFormat(Qt::PlainText);
    setTextColour(l, colour);
    return l;
}

QLineEdit* makeEdit(QWidget* parent, const char* name, const QString& text, const QRect& geometry) {
    auto* e = named(new QLineEdit(text, parent), name);
    e->setGeometry(geometry);
    e->setFont(uiFont(8));
    e->setTextMargins(1, 0, 1, 0);
    setFieldColour(e);
    setTextColour(e, Qt::black);
    return e;
}

QCheckBox* makeCheck(QWidget* parent, const char* name, const QString& text, const QRect& geometry) {
    auto* c = named(new QCheckBox(text, parent), name);
    c->setGeometry(geometry);
    c->setFont(optionFont());
    setTextColour(c, Qt::black);
    return c;
}

QGroupBox* makeFrame(QWidget* parent, const char* name, const QString& title, const QRect& geometry,
                     const QFont& font) {
    auto* g = named(new QGroupBox(title, parent), name);
    g->setGeometry(geometry);
    g->setFont(font);
    setTextColour(g, kNavy);
    return g;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& text, const QRect& geometry) {
    auto* b = named(new QPushButton(text, parent), name);
    b->setGeometry(geometry);
    b->setFont(buttonFont());
    b->setAutoDefault(false);
    return b;
}

QButtonGroup* makeChoice(QObject* owner, const char* name, QWidget* parent, const QStringList& captions) {
    auto* group = named(new QButtonGroup(owner), name);
    for (int i = 0; i < captions.size(); ++i) {
        auto* r = new QRadioButton(captions[i], parent);
        r->setObjectName(QString::fromLatin1(name) + QString::number(i));
        r->setFont(optionFont());
        setTextColour(r, Qt::black);
        group->addButton(r, i);
    }
    group->button(0)->setChecked(true);
    return group;
}

QLabel* fitLabel(QLabel* l) {
    l->resize(l->fontMetrics().horizontalAdvance(l->text()) + 2, l->height());
    return l;
}

int rightOf(const QWidget* w, int gap) { return w->geometry().right() + 1 + gap; }

namespace {

// The width a button needs to show its indicator and its whole caption.
int naturalWidth(QWidget* w) {
    auto* b = qobject_cast<QAbstractButton*>(w);
    if (!b) return w->width();
    b->ensurePolished();
    const bool radio = qobject_cast<QRadioButton*>(w) != nullptr;
    QStyle* s = b->style();
    const int indicator =
        s->pixelMetric(radio ? QStyle::PM_ExclusiveIndicatorWidth : QStyle::PM_IndicatorWidth, nullptr, b);
    const int spacing =
        s->pixelMetric(radio ? QStyle::PM_RadioButtonLabelSpacing : QStyle::PM_CheckBoxLabelSpacing, nullptr, b);
    const QString text = b->text().remove(QLatin1Char('&'));
    return indicator + spacing + b->fontMetrics().horizontalAdvance(text) + 1;
}

}  // namespace

void placeRow(const QList<QWidget*>& widgets, int left, int right, int top, int height, int maxGap) {
    int total = 0;
    for (QWidget* w : widgets) total += naturalWidth(w);
    int gap = widgets.size() > 1 ? (right - left - total) / int(widgets.size() - 1) : 0;
    gap = std::clamp(gap, 0, maxGap);
    int x = left;
    for (QWidget* w : widgets) {
        const int width = naturalWidth(w);
        w->setGeometry(x, top, width, height);
        x += width + gap;
    }
}

QList<QWidget*> buttonsOf(QButtonGroup* group, std::initializer_list<int> order) {
    QList<QWidget*> out;
    for (int i : order) out.append(group->button(i));
    return out;
}

}  // namespace zelvar::ui
