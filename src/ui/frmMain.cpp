#include "ui/frmMain.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QSignalBlocker>
#include <QStyle>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolButton>
#include <algorithm>
#include <cstring>
#include <optional>

#include "engine/keyfilter.h"
#include "preview/builder.h"
#include "preview/compose.h"
#include "preview/manual_edit.h"
#include "rename/run.h"
#include "ui/FolderTree.h"
#include "ui/PreviewView.h"
#include "ui/RenameProgress.h"
#include "ui/appicon.h"
#include "ui/folderscan.h"
#include "ui/frmAbout.h"
#include "ui/windowlogic.h"

using namespace zelvar;

namespace {

// Designer measures are twips; 15 twips are one pixel at 96 dpi.
constexpr int px(int twips) { return (twips + 7) / 15; }
QRect tw(int left, int top, int width, int height) {
    return QRect(px(left), px(top), px(width), px(height));
}

const QColor kBackground(192, 192, 255);
const QColor kFieldYellow(255, 255, 192);
const QColor kNavy(0, 0, 128);
const QColor kRed(255, 0, 0);

QFont uiFont(double points, bool bold = false, bool condensed = false) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSizeF(points);
    f.setBold(bold);
    if (condensed) f.setStretch(QFont::SemiCondensed);
    return f;
}
// Option captions and labels; frame captions; command buttons.
QFont optionFont() { return uiFont(8, false, true); }
QFont frameFont() { return uiFont(9, true, true); }
QFont buttonFont() { return uiFont(12); }

QString toQ(const Text& text) { return QString::fromUtf8(toUtf8(text)); }
Text fromQ(const QString& text) { return fromUtf8(text.toUtf8().toStdString()); }

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

template <typename W>
W* named(W* w, const char* name) {
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, const QRect& geometry,
                  const QFont& font = optionFont(), const QColor& colour = Qt::black) {
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
                     const QFont& font = frameFont()) {
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

// A choice: option buttons with the ids 0..n-1 of the captions, named name0, name1, ...
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

// A label as wide as its text.
QLabel* fitLabel(QLabel* l) {
    l->resize(l->fontMetrics().horizontalAdvance(l->text()) + 2, l->height());
    return l;
}

int rightOf(const QWidget* w, int gap) { return w->geometry().right() + 1 + gap; }

// The width a button needs to show its indicator and its whole caption.
int naturalWidth(QWidget* w) {
    auto* b = qobject_cast<QAbstractButton*>(w);
    if (!b) return w->width();
    b->ensurePolished();
    const bool radio = qobject_cast<QRadioButton*>(w) != nullptr;
    QStyle* s = b->style();
    const int indicator = s->pixelMetric(radio ? QStyle::PM_ExclusiveIndicatorWidth : QStyle::PM_IndicatorWidth,
                                         nullptr, b);
    const int spacing = s->pixelMetric(radio ? QStyle::PM_RadioButtonLabelSpacing : QStyle::PM_CheckBoxLabelSpacing,
                                       nullptr, b);
    const QString text = b->text().remove(QLatin1Char('&'));
    return indicator + spacing + b->fontMetrics().horizontalAdvance(text) + 1;
}

// Places the widgets side by side from left at their natural widths, spreading what is left of the
// span as gaps of at most maxGap.
void placeRow(const QList<QWidget*>& widgets, int left, int right, int top, int height, int maxGap = 14) {
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

void setTop(QWidget* w, int twipsTop, int twipsHeight = -1) {
    QRect g = w->geometry();
    g.moveTop(px(twipsTop));
    if (twipsHeight >= 0) g.setHeight(px(twipsHeight));
    w->setGeometry(g);
}

// The character a key types, as a code-page text box reports it: Ctrl with a letter gives the
// control code (Ctrl+V is 22); 0 for a key that types nothing (arrows, Delete, function keys).
char32_t typedCode(const QKeyEvent* e) {
    const Qt::KeyboardModifiers mods = e->modifiers();
    if ((mods & Qt::ControlModifier) && !(mods & Qt::AltModifier) && e->key() >= Qt::Key_A &&
        e->key() <= Qt::Key_Z)
        return char32_t(e->key() - Qt::Key_A + 1);
    const QList<uint> codes = e->text().toUcs4();
    if (codes.isEmpty() || codes.front() == 127) return 0;
    return char32_t(codes.front());
}

bool isEnter(const QKeyEvent* e) { return e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter; }

const char* const kPopis[] = {
    " Záměnné znaky pro VÝSTUP:",
    "        ? znak zachován, * zbytek (pouze 1×) ",
    "        / znak vypustit, : čítač (platná místa)",
    "     Datum a čas",
    "        \\y rok RRRR, \\r rok RR",
    "        \\d den DD, \\m měsíc MM",
    "        \\h hodiny HH, \\n minuty NN, \\s sekundy SS",
};

}  // namespace

frmMain::frmMain(Dialogs& dialogs, const std::string& startFolder, QWidget* parent)
    : QMainWindow(parent), dialogs_(dialogs) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Zelvar - přejmenování souborů"));
    setWindowIcon(zelvarIcon());
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(px(13725), px(9885));
    client->setAutoFillBackground(true);
    QPalette p = client->palette();
    p.setColor(QPalette::Window, kBackground);
    client->setPalette(p);
    // Tighter captions than the style's own, so that every choice fits its narrow frame.
    client->setStyleSheet(QStringLiteral("QRadioButton, QCheckBox { spacing: 3px; }"));
    setCentralWidget(client);

    buildInputSide(client);
    buildOutputSide(client);
    buildRightColumn(client);
    buildMenus();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    layout()->activate();

    connectHandlers();
    Form_Load(startFolder);
}

frmMain::~frmMain() = default;

// ---------------------------------------------------------------------------------------------
// Building the window

void frmMain::buildInputSide(QWidget* client) {
    lblVstup = makeLabel(client, "lblVstup", QStringLiteral("Vstup"), QRect(px(120), px(240), 100, px(480)),
                         uiFont(16, true), kNavy);
    cmdAktual = makeButton(client, "cmdAktual", QStringLiteral("Aktualizovat"), tw(1680, 200, 2595, 465));
    txtVyhlFiltr = makeEdit(client, "txtVyhlFiltr", QStringLiteral("*.*"), tw(120, 720, 4230, 285));
    txtCesta = makeEdit(client, "txtCesta", QString(), tw(120, 1063, 4215, 285));

    fraFile = makeFrame(client, "fraFile", QString(), tw(120, 1380, 4215, 400));
    optFile = makeChoice(this, "optFile", fraFile,
                         {QStringLiteral("Soubory"), QStringLiteral("Složky"), QStringLiteral("Oboje")});
    placeRow(buttonsOf(optFile, {0, 1, 2}), 8, fraFile->width() - 8, 4, 19, 40);

    drvDisk = named(new QComboBox(client), "drvDisk");
    drvDisk->setGeometry(tw(120, 1864, 4230, 315));
    drvDisk->setFont(uiFont(8));

    dirD = named(new FolderTree(client), "dirD");
    dirD->setGeometry(tw(120, 2237, 4230, 3240));
    dirD->setFont(uiFont(8));

    filD = named(new QListWidget(client), "filD");
    filD->setGeometry(tw(120, 5535, 4230, 3990));
    filD->setFont(uiFont(8));
    filD->setUniformItemSizes(true);
    filD->setSelectionMode(QAbstractItemView::SingleSelection);
}

void frmMain::buildOutputSide(QWidget* client) {
    lblVystup = makeLabel(client, "lblVystup", QStringLiteral("Výstup"), QRect(px(4560), px(240), 160, px(480)),
                          uiFont(16, true), kNavy);
    cmdTest = makeButton(client, "cmdTest", QStringLiteral("Aktualizovat"), tw(7080, 200, 2595, 465));

    lblPopis = makeLabel(client, "lblPopis", QStringLiteral("Popis"), tw(4560, 720, 5175, 1455), uiFont(8, true));
    lblPopis->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblPracuji = makeLabel(client, "lblPracuji", QStringLiteral("Pracuji! Čekejte prosím!"),
                           tw(4560, 720, 5175, 495), uiFont(14, true), kRed);
    lblPrace = makeLabel(client, "lblPrace", QString(), tw(4560, 1200, 5175, 975), uiFont(10, true), kRed);
    lblPrace->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblPrace->setWordWrap(true);
    // Both stand over the pattern legend, which must not show through.
    for (QLabel* l : {lblPracuji, lblPrace}) {
        QPalette p = l->palette();
        p.setColor(QPalette::Window, kBackground);
        l->setPalette(p);
        l->setAutoFillBackground(true);
        l->hide();
    }

    fraRazeni = makeFrame(client, "fraRazeni", QStringLiteral("Řazení"), tw(4560, 2280, 5175, 975));
    optRazeni = makeChoice(this, "optRazeni", fraRazeni,
                           {QStringLiteral("Jméno"), QStringLiteral("Přípona"), QStringLiteral("Datum"),
                            QStringLiteral("Neřadit")});
    placeRow(buttonsOf(optRazeni, {0, 1, 2, 3}), 8, fraRazeni->width() - 8, 18, 19, 24);
    chkObracene = makeCheck(fraRazeni, "chkObracene", QStringLiteral("Obráceně"), QRect());
    chkCisla = makeCheck(fraRazeni, "chkCisla", QStringLiteral("Číselně"), QRect());
    placeRow({chkObracene, chkCisla}, 8, fraRazeni->width() - 8, 40, 19, 24);

    txtTest = named(new PreviewView(client), "txtTest");
    txtTest->setGeometry(tw(4560, 3315, 5160, 6225));
    txtTest->setFont(uiFont(8));
    setFieldColour(txtTest);

    // The strip below the preview and the right column.
    lblUpozorneni =
        makeLabel(client, "lblUpozorneni", QString(), tw(4560, 9570, 9045, 285), uiFont(8, true), kRed);
}

void frmMain::buildRightColumn(QWidget* client) {
    cmdEdit = makeButton(client, "cmdEdit", QStringLiteral("Editovat ručně"), tw(9860, 200, 3740, 465));

    fraUkazky = makeFrame(client, "fraUkazky", QStringLiteral("Ukázky"), tw(9840, 720, 3735, 1500));
    const int inner = fraUkazky->width() - 14;
    lblVzor1 = makeLabel(fraUkazky, "lblVzor1", toQ(kVzor1), QRect(8, 18, inner, 16));
    lblSipka1 = makeLabel(fraUkazky, "lblSipka1", QStringLiteral("→"), QRect(8, 35, 18, 16));
    lblUkazka1 = makeLabel(fraUkazky, "lblUkazka1", QString(), QRect(28, 35, inner - 20, 16), optionFont(), kNavy);
    lblVzor2 = makeLabel(fraUkazky, "lblVzor2", toQ(kVzor2), QRect(8, 56, inner, 16));
    lblSipka2 = makeLabel(fraUkazky, "lblSipka2", QStringLiteral("→"), QRect(8, 73, 18, 16));
    lblUkazka2 = makeLabel(fraUkazky, "lblUkazka2", QString(), QRect(28, 73, inner - 20, 16), optionFont(), kNavy);

    fraPrikazy = makeFrame(client, "fraPrikazy", QStringLiteral("Příkazy záměny"), tw(9840, 2269, 3735, 1300),
                           uiFont(11, true, true));
    const int boxX = fraPrikazy->width() - 24;
    lblObraceneZpracovani = makeLabel(fraPrikazy, "lblObraceneZpracovani", QStringLiteral("Obrácené zpracování ↓"),
                                      QRect(60, 21, boxX + 14 - 60, 15), uiFont(7, false, true));
    lblObraceneZpracovani->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblJmeno = makeLabel(fraPrikazy, "lblJmeno", QStringLiteral("Jméno"), QRect(6, 38, 50, 20));
    txtJmeno = makeEdit(fraPrikazy, "txtJmeno", QStringLiteral("*"), QRect(56, 38, boxX - 62, 20));
    chkObratitJm = makeCheck(fraPrikazy, "chkObratitJm", QString(), QRect(boxX, 39, 18, 18));
    lblPripona = makeLabel(fraPrikazy, "lblPripona", QStringLiteral("Přípona"), QRect(6, 61, 50, 20));
    txtExt = makeEdit(fraPrikazy, "txtExt", QStringLiteral("*"), QRect(56, 61, boxX - 62, 20));
    chkObratitEx = makeCheck(fraPrikazy, "chkObratitEx", QString(), QRect(boxX, 62, 18, 18));

    fraVelikost = makeFrame(client, "fraVelikost", QStringLiteral("Velikost písmen"), tw(9840, 3618, 3735, 600));
    optVelikost = makeChoice(this, "optVelikost", fraVelikost,
                             {QStringLiteral("Zachovat"), QStringLiteral("malá"), QStringLiteral("VELKÁ"),
                              QStringLiteral("První Velká")});
    // On screen "VELKÁ" (index 2) stands last.
    placeRow(buttonsOf(optVelikost, {0, 1, 3, 2}), 5, fraVelikost->width() - 4, 17, 19);

    buildNumbersFrame(client);
    buildReplacementsFrame(client);

    txtEdit = named(new QPlainTextEdit(client), "txtEdit");
    txtEdit->setGeometry(tw(9840, 720, 3780, 7755));
    txtEdit->setFont(uiFont(8));
    txtEdit->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtEdit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtEdit->setTabChangesFocus(true);
    setFieldColour(txtEdit);
    txtEdit->hide();

    chkKazdy = makeCheck(client, "chkKazdy", QString(), tw(10200, 8520, 255, 315));
    lblPotvrzovat = makeLabel(client, "lblPotvrzovat", QStringLiteral("Potvrzovat každý soubor"),
                              tw(9840, 8880, 900, 615));
    lblPotvrzovat->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lblPotvrzovat->setWordWrap(true);

    cmdPrejmenovat = named(new QToolButton(client), "cmdPrejmenovat");
    cmdPrejmenovat->setGeometry(tw(10920, 8520, 1755, 960));
    cmdPrejmenovat->setText(QStringLiteral("Přejmenovat"));
    cmdPrejmenovat->setFont(uiFont(11, true, true));
    cmdPrejmenovat->setIcon(zelvarIcon());
    cmdPrejmenovat->setIconSize(QSize(28, 28));
    cmdPrejmenovat->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    cmdPrejmenovat->setEnabled(false);
    // A click takes the focus, so that the field left by it does its checks before the run starts.
    cmdPrejmenovat->setFocusPolicy(Qt::StrongFocus);

    lblVerze = makeLabel(client, "lblVerze", QString(), QRect(px(12720) - 4, px(8880), 70, px(375)),
                         uiFont(7.5, false, true));
    lblVerze->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
}

void frmMain::buildNumbersFrame(QWidget* client) {
    fraCisla = makeFrame(client, "fraCisla", QStringLiteral("Čísla"), tw(9840, 4267, 3735, 2400));
    const int w = fraCisla->width() - 8;

    fraCitac = makeFrame(fraCisla, "fraCitac", QString(), QRect(4, 17, w, 100));
    optCitac = makeChoice(this, "optCitac", fraCitac,
                          {QStringLiteral("Čítač"), QStringLiteral("Jen stejné"), QStringLiteral("Zachovat")});
    placeRow(buttonsOf(optCitac, {0, 1, 2}), 6, w - 6, 4, 19, 20);

    // Counter: start, step and shared numbers by extension.
    lblOd = makeLabel(fraCitac, "lblOd", QStringLiteral("Od"), QRect(6, 28, 20, 20));
    txtCisloOd = makeEdit(fraCitac, "txtCisloOd", QStringLiteral("1"), QRect(26, 28, 64, 20));
    lblKrok = makeLabel(fraCitac, "lblKrok", QStringLiteral("Krok"), QRect(104, 28, 30, 20));
    txtDif = makeEdit(fraCitac, "txtDif", QStringLiteral("1"), QRect(136, 28, 56, 20));
    chkStejnePripony = makeCheck(fraCitac, "chkStejnePripony", QStringLiteral("Stejná podle přípon"), QRect());
    placeRow({chkStejnePripony}, 6, w - 6, 51, 19);

    // Equal names only.
    chkINula = makeCheck(fraCitac, "chkINula", QStringLiteral("i nula"), QRect());
    placeRow({chkINula}, 6, w - 6, 28, 19);

    // Kept numbers.
    chkCisloNula = makeCheck(fraCitac, "chkCisloNula", QStringLiteral("vložit nulu"), QRect());
    placeRow({chkCisloNula}, 6, w - 6, 28, 19);
    lblPuvodniZaklad = makeLabel(fraCitac, "lblPuvodniZaklad", QStringLiteral("Původní základ"),
                                 QRect(w - 116, 28, 80, 20));
    lblPuvodniZaklad->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    txtZachovatCiselnyZaklad = makeEdit(fraCitac, "txtZachovatCiselnyZaklad", QStringLiteral("10"),
                                        QRect(w - 34, 28, 28, 20));
    fraZachovatCisla = makeFrame(fraCitac, "fraZachovatCisla", QString(), QRect(4, 49, w - 8, 24));
    optZachovatCisla = makeChoice(this, "optZachovatCisla", fraZachovatCisla,
                                  {QStringLiteral("Formát"), QStringLiteral("Formát+Přesun")});
    placeRow(buttonsOf(optZachovatCisla, {0, 1}), 6, w - 14, 2, 19, 30);
    fraZachovatTypCislovani = makeFrame(fraCitac, "fraZachovatTypCislovani", QString(), QRect(4, 73, w - 8, 24));
    optZachovatTypCislovani = makeChoice(this, "optZachovatTypCislovani", fraZachovatTypCislovani,
                                         {QStringLiteral("0-9"), QStringLiteral("a-z"), QStringLiteral("0-9 a-z")});
    placeRow(buttonsOf(optZachovatTypCislovani, {0, 1, 2}), 6, w - 14, 2, 19, 24);

    // Written numbers: visible in every mode.
    fraTypCislovani = makeFrame(fraCisla, "fraTypCislovani", QString(), QRect(4, 120, w, 26));
    optTypCislovani = makeChoice(this, "optTypCislovani", fraTypCislovani,
                                 {QStringLiteral("0-9"), QStringLiteral("a-z"), QStringLiteral("0-9 a-z")});
    placeRow(buttonsOf(optTypCislovani, {0, 1, 2}), 6, w - 84, 3, 19, 16);
    lblZaklad = makeLabel(fraTypCislovani, "lblZaklad", QStringLiteral("Základ"), QRect(w - 80, 3, 42, 20));
    lblZaklad->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    txtCiselnyZaklad = makeEdit(fraTypCislovani, "txtCiselnyZaklad", QStringLiteral("10"), QRect(w - 34, 3, 28, 20));

    for (QLineEdit* e : {txtCisloOd, txtCiselnyZaklad, txtZachovatCiselnyZaklad}) {
        // A paste or a drop is checked as a whole: it gets in only when it is all digits.
        e->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), e));
        e->installEventFilter(this);
    }
}

void frmMain::buildReplacementsFrame(QWidget* client) {
    fraDoplneni = makeFrame(client, "fraDoplneni", QStringLiteral("Doplnění záměn"), tw(9840, 6660, 3735, 1755));
    const int w = fraDoplneni->width();

    chkBezDia = makeCheck(fraDoplneni, "chkBezDia", QStringLiteral("Bez diakritiky"), QRect());
    placeRow({chkBezDia}, 6, 120, 28, 19);
    // The frame is nested in a full one: its caption stands on its border, so that it fits.
    fraObratit = makeFrame(fraDoplneni, "fraObratit", QStringLiteral("Obrátit"), QRect(w - 124, 20, 119, 29),
                           uiFont(7.5, true, true));
    fraObratit->setStyleSheet(QStringLiteral(
        "QGroupBox { border: 1px solid rgb(150, 150, 200); border-radius: 3px; margin-top: 6px; color: rgb(0, 0, 128); }"
        "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left; left: 6px; padding: 0 2px; }"));
    chkJmeno = makeCheck(fraObratit, "chkJmeno", QStringLiteral("Jméno"), QRect());
    chkExt = makeCheck(fraObratit, "chkExt", QStringLiteral("Přípona"), QRect());
    placeRow({chkJmeno, chkExt}, 5, 115, 9, 17, 8);

    lblPauzy = fitLabel(makeLabel(fraDoplneni, "lblPauzy", QStringLiteral("Zrušit pauzy"), QRect(6, 51, 0, 20)));
    cboPauzy = named(new QComboBox(fraDoplneni), "cboPauzy");
    cboPauzy->setGeometry(rightOf(lblPauzy, 4), 51, 0, 20);
    cboPauzy->resize(w - 6 - cboPauzy->x(), 20);
    cboPauzy->setFont(uiFont(8));
    cboPauzy->setEditable(true);
    cboPauzy->setInsertPolicy(QComboBox::NoInsert);
    cboPauzy->setCompleter(nullptr);
    cboPauzy->addItems({QStringLiteral("Beze změny"), QStringLiteral("Odstranit všechny pauzy"),
                        QStringLiteral("Zaměň pauzy za _"), QStringLiteral("Zaměň pauzy za -"),
                        QStringLiteral("Zaměň pauzy za mezery"), QStringLiteral("Odstranit pauzy mimo -")});
    cboPauzy->setCurrentIndex(-1);
    cboPauzy->setEditText(QStringLiteral("Beze změny"));
    setFieldColour(cboPauzy);

    lblZamenitCo = fitLabel(makeLabel(fraDoplneni, "lblZamenitCo", QStringLiteral("Záměna Co"), QRect(6, 73, 0, 19)));
    txtZamenitCo = makeEdit(fraDoplneni, "txtZamenitCo", QString(), QRect(rightOf(lblZamenitCo, 3), 73, 42, 19));
    lblZamenitZaCo = fitLabel(makeLabel(fraDoplneni, "lblZamenitZaCo", QStringLiteral("Čím"),
                                        QRect(rightOf(txtZamenitCo, 6), 73, 0, 19)));
    txtZamenitZaCo = makeEdit(fraDoplneni, "txtZamenitZaCo", QString(), QRect(rightOf(lblZamenitZaCo, 3), 73, 42, 19));
    chkZamenaVse = makeCheck(fraDoplneni, "chkZamenaVse", QStringLiteral("Celé"), QRect());
    placeRow({chkZamenaVse}, rightOf(txtZamenitZaCo, 8), w - 4, 73, 19);

    lblOdstranit = fitLabel(makeLabel(fraDoplneni, "lblOdstranit", QStringLiteral("Odstranit znaky"), QRect(6, 94, 0, 19)));
    txtOdstranit = makeEdit(fraDoplneni, "txtOdstranit", QString(), QRect(rightOf(lblOdstranit, 3), 94, 100, 19));
}

void frmMain::buildMenus() {
    mnuSoubor = named(menuBar()->addMenu(QStringLiteral("&Soubor")), "mnuSoubor");
    mnuKonec = named(mnuSoubor->addAction(QStringLiteral("Konec")), "mnuKonec");

    mnuFunkceMenu = named(menuBar()->addMenu(QStringLiteral("&Funkce")), "mnuFunkceMenu");
    mnuFunkce[0] = named(mnuFunkceMenu->addAction(QStringLiteral("&Jednoduché")), "mnuFunkce0");
    mnuFunkce[0]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_J));
    mnuFunkce[1] = named(mnuFunkceMenu->addAction(QStringLiteral("&Profesionální")), "mnuFunkce1");
    mnuFunkce[1]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    for (QAction* a : mnuFunkce) a->setCheckable(true);

    mnuNapoveda = named(menuBar()->addMenu(QStringLiteral("&Nápověda")), "mnuNapoveda");
    mnuObsah = named(mnuNapoveda->addAction(QStringLiteral("&Obsah nápovědy")), "mnuObsah");
    mnuVyhledat = named(mnuNapoveda->addAction(QStringLiteral("&Vyhledat...")), "mnuVyhledat");
    // The item is kept, switched off, as there is no help file to search.
    mnuVyhledat->setEnabled(false);
    mnuNapoveda->addSeparator();
    mnuOAplikaci = named(mnuNapoveda->addAction(QStringLiteral("&O aplikaci Zelvar...")), "mnuOAplikaci");
}

void frmMain::connectHandlers() {
    auto onText = [this](QLineEdit* e, void (frmMain::*handler)()) {
        connect(e, &QLineEdit::textChanged, this, handler);
    };
    auto onCheck = [this](QCheckBox* c, void (frmMain::*handler)()) {
        connect(c, &QCheckBox::toggled, this, handler);
    };
    auto onChoice = [this](QButtonGroup* g, void (frmMain::*handler)(int)) {
        connect(g, &QButtonGroup::idToggled, this, [this, handler](int id, bool checked) {
            if (checked) (this->*handler)(id);
        });
    };

    onText(txtJmeno, &frmMain::txtJmeno_Change);
    onText(txtExt, &frmMain::txtExt_Change);
    onCheck(chkObratitJm, &frmMain::chkObratitJm_Click);
    onCheck(chkObratitEx, &frmMain::chkObratitEx_Click);
    onChoice(optVelikost, &frmMain::optVelikost_Click);
    onChoice(optCitac, &frmMain::optCitac_Click);
    onText(txtCisloOd, &frmMain::txtCisloOd_Change);
    onText(txtDif, &frmMain::txtDif_Change);
    onCheck(chkStejnePripony, &frmMain::chkStejnePripony_Click);
    onCheck(chkINula, &frmMain::chkINula_Click);
    onCheck(chkCisloNula, &frmMain::chkCisloNula_Click);
    onChoice(optZachovatCisla, &frmMain::optZachovatCisla_Click);
    onChoice(optZachovatTypCislovani, &frmMain::optZachovatTypCislovani_Click);
    onChoice(optTypCislovani, &frmMain::optTypCislovani_Click);
    // The radix fields have no change handler; the record follows them as they are typed.
    connect(txtCiselnyZaklad, &QLineEdit::textChanged, this,
            [this](const QString& t) { opts_.txtCiselnyZaklad = fromQ(t); });
    connect(txtZachovatCiselnyZaklad, &QLineEdit::textChanged, this,
            [this](const QString& t) { opts_.txtZachovatCiselnyZaklad = fromQ(t); });
    onCheck(chkBezDia, &frmMain::chkBezDia_Click);
    connect(cboPauzy, &QComboBox::editTextChanged, this, &frmMain::cboPauzy_Click);
    onText(txtZamenitCo, &frmMain::txtZamenitCo_Change);
    onText(txtZamenitZaCo, &frmMain::txtZamenitZaCo_Change);
    onCheck(chkZamenaVse, &frmMain::chkZamenaVse_Click);
    onText(txtOdstranit, &frmMain::txtOdstranit_Change);
    onCheck(chkJmeno, &frmMain::chkJmeno_Click);
    onCheck(chkExt, &frmMain::chkExt_Click);
    onChoice(optRazeni, &frmMain::optRazeni_Click);
    onCheck(chkCisla, &frmMain::chkCisla_Click);
    onCheck(chkObracene, &frmMain::chkObracene_Click);
    onCheck(chkKazdy, &frmMain::chkKazdy_Click);

    connect(drvDisk, &QComboBox::currentIndexChanged, this, &frmMain::drvDisk_Change);
    drvDisk->installEventFilter(this);
    connect(dirD, &FolderTree::folderChosen, this, &frmMain::dirD_Change);
    txtCesta->installEventFilter(this);
    onText(txtVyhlFiltr, &frmMain::txtVyhlFiltr_Change);
    onChoice(optFile, &frmMain::optFile_Click);
    connect(cmdAktual, &QPushButton::clicked, this, &frmMain::cmdAktual_Click);
    connect(cmdTest, &QPushButton::clicked, this, &frmMain::cmdTest_Click);
    connect(txtEdit, &QPlainTextEdit::textChanged, this, &frmMain::txtEdit_Change);
    connect(cmdEdit, &QPushButton::clicked, this, &frmMain::cmdEdit_Click);
    connect(cmdPrejmenovat, &QToolButton::clicked, this, &frmMain::cmdPrejmenovat_Click);

    connect(mnuKonec, &QAction::triggered, this, &frmMain::mnuKonec_Click);
    connect(mnuFunkce[0], &QAction::triggered, this, [this] { mnuFunkce_Click(0); });
    connect(mnuFunkce[1], &QAction::triggered, this, [this] { mnuFunkce_Click(1); });
    connect(mnuObsah, &QAction::triggered, this, &frmMain::mnuObsah_Click);
    connect(mnuVyhledat, &QAction::triggered, this, &frmMain::mnuVyhledat_Click);
    connect(mnuOAplikaci, &QAction::triggered, this, &frmMain::mnuOAplikaci_Click);
}

void frmMain::Form_Load(const std::string& startFolder) {
    lblVerze->setText(versionText());

    home_ = QFile::encodeName(QDir::homePath()).toStdString();
    const std::string start = typedFolderPath(fromUtf8(startFolder), home_)
                                  .value_or(typedFolderPath(fromUtf8(home_), home_).value_or(std::string("/")));
    reloadVolumes();
    if (volumeIndexOf(volumes_, start) < 0) {
        volumes_.insert(volumes_.begin(), Volume{"/", "", "", ""});
        setVolumes(volumes_);
    }
    selectDriveOf(start);
    dirD->setRoot(volumes_[std::size_t(volumeIndexOf(volumes_, start))].root);
    dirD->setPath(start);  // a start folder that cannot be opened leaves the tree at the volume's root

    Aktualizace();

    QString popis;
    for (const char* line : kPopis) {
        if (!popis.isEmpty()) popis += QLatin1Char('\n');
        popis += QString::fromUtf8(line);
    }
    lblPopis->setText(popis);

    mnuFunkce_Click(0);
    ZpracujVzor();
    Test(0);
}

// ---------------------------------------------------------------------------------------------
// Refresh, build, patterns

namespace {

bool isForbidden(QChar c) { return kZakazaneZnaky.find(char32_t(c.unicode())) != Text::npos; }

// A name may hold what a line of the edit box cannot: characters that end the line there, and bytes
// that are no UTF-8. The box shows the first as symbols and the second as U+FFFD, so that every name
// keeps its own line, and that line, left as it is, reads as the name.
char32_t lineBreakSymbol(char32_t c) {
    switch (c) {
        case U'\r': return U'\u240D';
        case U'\n': return U'\u240A';
        case U'\u2029':
        case U'\uFDD0':  // the text box's own frame marks
        case U'\uFDD1': return U'\u2424';
        default: return 0;
    }
}

bool showsOtherwise(char32_t c) { return (c >= 0xDC80 && c <= 0xDCFF) || lineBreakSymbol(c) != 0; }

// The rows with their old names as the box shows them; nothing when every name shows as it is.
std::optional<PreviewList> namesInBox(const PreviewList& rows) {
    std::optional<PreviewList> shown;
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const Text& name = rows[k].oldName;
        if (std::none_of(name.begin(), name.end(), showsOtherwise)) continue;
        if (!shown) shown = rows;
        Text& inBox = (*shown)[k].oldName;
        inBox = fromQ(toQ(name));
        for (char32_t& c : inBox)
            if (const char32_t symbol = lineBreakSymbol(c)) c = symbol;
    }
    return shown;
}

// Removes the characters a name may not hold where they stand, so that the caret and the selection
// move only by what went before them, the view does not jump and one undo step brings them back.
void removeForbidden(QTextDocument* document, const QString& text) {
    QTextCursor edit(document);
    edit.beginEditBlock();
    for (qsizetype end = text.size(); end > 0; --end) {
        if (!isForbidden(text[end - 1])) continue;
        qsizetype start = end - 1;
        while (start > 0 && isForbidden(text[start - 1])) --start;
        edit.setPosition(int(start));
        edit.setPosition(int(end), QTextCursor::KeepAnchor);
        edit.removeSelectedText();
        end = start + 1;
    }
    edit.endEditBlock();
}

}  // namespace

void frmMain::fullRefresh() {
    ZpracujVzor();
    previewRefresh();
}

void frmMain::previewRefresh() {
    if (opts_.txtJmeno.empty()) {
        showPreview(Text());
        showListingNote(QString());
    } else {
        Test(0);
    }
}

void frmMain::plainRebuild() { Test(0); }

void frmMain::ZpracujVzor() {
    Ukazky u = zelvar::ZpracujVzor(opts_);
    patterns_ = std::move(u.patterns);
    compiled();
    lblUkazka1->setText(toQ(u.ukazka1));
    lblUkazka2->setText(toQ(u.ukazka2));
}

void frmMain::compiled() {
    cmdPrejmenovat->setEnabled(false);
    fraCisla->setVisible(layoutMode_ == 1 && (patterns_.jmeno.Citac || patterns_.ext.Citac));
}

void frmMain::showPreview(Text text) { txtTest->setText(std::move(text)); }

void frmMain::Test(int Dotaz) {
    if (building_) {
        // Asked for from inside a build (a question box, a write from code): done right after it.
        pendingBuild_ = true;
        return;
    }
    runBuild(Dotaz);
    while (pendingBuild_) {
        pendingBuild_ = false;
        runBuild(0);
    }
}

void frmMain::runBuild(int Dotaz) {
    building_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{building_};

    if (Dotaz > 0 && opts_.txtExt != U"*" && !RucniEditace) {
        showPreview(Text());
        if (dialogs_.messageBox(T("Měníte přípony.\r\nJe to tak správně?"), box::yesNo) ==
            Answer::no) {
            setText(txtExt, opts_.txtExt, U"*");
            // The edit refreshes the samples as every edit of the field does; its build is this one.
            ZpracujVzor();
        }
    }

    session_.setFolder(filPath_);
    const PreviewResult& result = session_.build(opts_);
    patterns_ = session_.patterns();
    compiled();
    const std::optional<Text> stepText = result.stepText;
    const int renames = result.renameCount();
    const Text stats = result.stats;
    const Text note = listingNote(result);
    if (stepText && *stepText != opts_.txtDif) {
        setText(txtDif, opts_.txtDif, *stepText);
        ZpracujVzor();
    }
    showPreview(session_.text());
    ++buildCount_;
    showListingNote(toQ(note));

    if (RucniEditace) {
        txtEdit_Change();
        return;
    }
    if (Dotaz > 0) dialogs_.messageBox(stats, box::plain);
    if (renames > 0) cmdPrejmenovat->setEnabled(true);
}

void frmMain::Aktualizace() {
    filPath_ = dirD->path();
    txtCesta->setText(QString::fromUtf8(filPath_));
    dirD->reloadCurrent();
    fillFileList();
    cmdPrejmenovat->setEnabled(false);
    if (!RucniEditace) {
        previewRefresh();
        return;
    }
    // In manual editing the box, not the pattern, names the entries: the folder is listed whatever
    // the pattern says, and the box refilled from that listing is read again, so that no line typed
    // for the previous listing stays applied to an entry it was not typed for.
    Test(0);
    refillEditBox();
    txtEdit_Change();
}

void frmMain::showListingNote(const QString& note) { lblUpozorneni->setText(note); }

void frmMain::refillEditBox() {
    PlneniEditu = true;
    const PreviewList& rows = session_.result().rows;
    txtEdit->setPlainText(toQ(editBoxText(namesInBox(rows).value_or(rows))));
    PlneniEditu = false;
}

void frmMain::fillFileList() {
    const std::vector<std::string> names = matchingFileNames(filPath_, opts_.txtVyhlFiltr);
    QStringList items;
    items.reserve(static_cast<qsizetype>(names.size()));
    for (const std::string& n : names) items.append(QString::fromUtf8(n));
    filD->clear();
    filD->addItems(items);
}

void frmMain::txtEdit_Change() {
    if (PlneniEditu) return;
    // Raw text: the plain one would turn no-break spaces in names into spaces.
    QString box = txtEdit->document()->toRawText();
    if (std::any_of(box.cbegin(), box.cend(), isForbidden)) {
        const QSignalBlocker blocker(txtEdit);
        removeForbidden(txtEdit->document(), box);
        box = txtEdit->document()->toRawText();
    }
    box.replace(QChar::ParagraphSeparator, QLatin1String("\r\n"));
    const PreviewResult& parsed = session_.edit(fromQ(box), namesInBox(session_.result().rows));
    if (!parsed.rows.empty()) showPreview(session_.text());
    cmdPrejmenovat->setEnabled(parsed.renameCount() > 0);
}

void frmMain::cmdEdit_Click() {
    RucniEditace = !RucniEditace;
    txtEdit->setVisible(RucniEditace);
    if (!RucniEditace) {
        cmdEdit->setText(QStringLiteral("Editovat ručně"));
        fullRefresh();
        return;
    }
    cmdEdit->setText(QStringLiteral("Zrušit Ruční editaci"));
    cmdPrejmenovat->setEnabled(false);
    PlneniEditu = true;
    // The box is filled from a listing made now: with an empty name pattern the last one may be of
    // another folder. The build's own reading of the box waits until the box is filled.
    Test(0);
    txtEdit->clear();
    // With nothing listed, the box ignores typing until edit mode is switched on again.
    if (session_.result().rows.empty()) return;
    const PreviewList& rows = session_.result().rows;
    txtEdit->setPlainText(toQ(editBoxText(namesInBox(rows).value_or(rows))));
    PlneniEditu = false;
    txtEdit_Change();
}

void frmMain::cmdPrejmenovat_Click() {
    RunEnd end = RunEnd::Declined;
    {
        RenameProgress run(*this, *lblPracuji, *lblPrace, *chkKazdy, dialogs_);
        end = cmdPrejmenovat_Run(filPath_, session_.result().rows, opts_.txtExt, run, run).end;
        if (end == RunEnd::Finished) Aktualizace();
    }
    // As any edit of the field, this one compiles the patterns and rebuilds the preview once.
    if (end == RunEnd::ExtensionDeclined) txtExt->setText(QStringLiteral("*"));
}

// ---------------------------------------------------------------------------------------------
// Writes from code: the control's own handler does not run; the record follows directly.

void frmMain::setText(QLineEdit* field, Text& value, const Text& text) {
    const QSignalBlocker blocker(field);
    field->setText(toQ(text));
    value = text;
}

void frmMain::setChecked(QCheckBox* box, int& value, int checked) {
    const QSignalBlocker blocker(box);
    box->setChecked(checked != 0);
    value = checked;
}

void frmMain::setChoice(QButtonGroup* group, int& value, int index) {
    const QSignalBlocker blocker(group);
    group->button(index)->setChecked(true);
    value = index;
}

// ---------------------------------------------------------------------------------------------
// Option changes

void frmMain::txtJmeno_Change() {
    opts_.txtJmeno = fromQ(txtJmeno->text());
    ZpracujVzor();
    cmdTest->setEnabled(!opts_.txtJmeno.empty());
    previewRefresh();
}

void frmMain::txtExt_Change() {
    opts_.txtExt = fromQ(txtExt->text());
    fullRefresh();
}

void frmMain::chkObratitJm_Click() {
    opts_.chkObratitJm = chkObratitJm->isChecked();
    fullRefresh();
}

void frmMain::chkObratitEx_Click() {
    opts_.chkObratitEx = chkObratitEx->isChecked();
    fullRefresh();
}

void frmMain::optVelikost_Click(int Index) {
    opts_.optVelikost = Index;
    fullRefresh();
}

void frmMain::optCitac_Click(int Index) {
    opts_.optCitac = Index;
    if (Index == 2) {
        // Kept numbers start from decimal output; the digit-set handler's full refresh closes this one.
        setText(txtCiselnyZaklad, opts_.txtCiselnyZaklad, U"10");
        setChoice(optTypCislovani, opts_.optTypCislovani, 0);
        setText(txtCiselnyZaklad, opts_.txtCiselnyZaklad, capRadix(opts_.txtCiselnyZaklad, 0));
    }
    applyNumberingMode(Index);
    if (Index == 2)
        fullRefresh();
    else
        previewRefresh();
}

void frmMain::applyNumberingMode(int mode) {
    for (QWidget* w : {static_cast<QWidget*>(lblOd), static_cast<QWidget*>(txtCisloOd),
                       static_cast<QWidget*>(lblKrok), static_cast<QWidget*>(txtDif),
                       static_cast<QWidget*>(chkStejnePripony)})
        w->setVisible(mode == 0);
    chkINula->setVisible(mode == 1);
    chkCisloNula->setVisible(mode == 2);
    fraZachovatCisla->setVisible(mode == 2);
    const bool keep = opts_.optCitac == 2;
    txtZachovatCiselnyZaklad->setVisible(keep);
    lblPuvodniZaklad->setVisible(keep);
    fraZachovatTypCislovani->setVisible(keep);
}

void frmMain::txtCisloOd_Change() {
    opts_.txtCisloOd = fromQ(txtCisloOd->text());
    fullRefresh();
}

void frmMain::txtDif_Change() {
    opts_.txtDif = fromQ(txtDif->text());
    fullRefresh();
}

void frmMain::chkStejnePripony_Click() {
    opts_.chkStejnePripony = chkStejnePripony->isChecked();
    previewRefresh();
}

void frmMain::chkINula_Click() {
    opts_.chkINula = chkINula->isChecked();
    previewRefresh();
}

void frmMain::chkCisloNula_Click() {
    opts_.chkCisloNula = chkCisloNula->isChecked();
    previewRefresh();
}

void frmMain::optZachovatCisla_Click(int Index) {
    opts_.optZachovatCisla = Index;
    plainRebuild();
}

void frmMain::optZachovatTypCislovani_Click(int Index) {
    opts_.optZachovatTypCislovani = Index;
    setText(txtZachovatCiselnyZaklad, opts_.txtZachovatCiselnyZaklad,
            capRadix(opts_.txtZachovatCiselnyZaklad, Index));
    fullRefresh();
}

void frmMain::txtZachovatCiselnyZaklad_LostFocus() {
    setText(txtZachovatCiselnyZaklad, opts_.txtZachovatCiselnyZaklad,
            normaliseRadix(fromQ(txtZachovatCiselnyZaklad->text()), opts_.optZachovatTypCislovani));
    fullRefresh();
}

void frmMain::optTypCislovani_Click(int Index) {
    opts_.optTypCislovani = Index;
    setText(txtCiselnyZaklad, opts_.txtCiselnyZaklad, capRadix(opts_.txtCiselnyZaklad, Index));
    fullRefresh();
}

void frmMain::txtCiselnyZaklad_LostFocus() {
    setText(txtCiselnyZaklad, opts_.txtCiselnyZaklad,
            normaliseRadix(fromQ(txtCiselnyZaklad->text()), opts_.optTypCislovani));
    fullRefresh();
}

void frmMain::chkBezDia_Click() {
    opts_.chkBezDia = chkBezDia->isChecked();
    fullRefresh();
}

void frmMain::cboPauzy_Click() {
    // An item counts only while the field shows exactly its text; typed text selects none (-1).
    opts_.cboPauzy = cboPauzy->findText(cboPauzy->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
    fullRefresh();
}

void frmMain::stripForbidden(QLineEdit* field, Text& value) {
    const QString typed = field->text();
    const Text clean = BezZakazanychZnaku(fromQ(typed));
    if (toQ(clean) != typed) {
        const int caret = field->cursorPosition();
        const QString before = typed.left(caret);
        const int removed = int(before.size() - toQ(BezZakazanychZnaku(fromQ(before))).size());
        const QSignalBlocker blocker(field);
        field->setText(toQ(clean));
        field->setCursorPosition(caret - removed);
    }
    value = clean;
}

void frmMain::txtZamenitCo_Change() {
    stripForbidden(txtZamenitCo, opts_.txtZamenitCo);
    if (!opts_.txtZamenitCo.empty() && !opts_.txtZamenitZaCo.empty()) fullRefresh();
}

void frmMain::txtZamenitZaCo_Change() {
    stripForbidden(txtZamenitZaCo, opts_.txtZamenitZaCo);
    if (!opts_.txtZamenitCo.empty() && !opts_.txtZamenitZaCo.empty()) fullRefresh();
}

void frmMain::chkZamenaVse_Click() {
    opts_.chkZamenaVse = chkZamenaVse->isChecked();
    fullRefresh();
}

void frmMain::txtOdstranit_Change() {
    opts_.txtOdstranit = fromQ(txtOdstranit->text());
    fullRefresh();
}

void frmMain::chkJmeno_Click() {
    opts_.chkJmeno = chkJmeno->isChecked();
    fullRefresh();
}

void frmMain::chkExt_Click() {
    opts_.chkExt = chkExt->isChecked();
    fullRefresh();
}

void frmMain::optRazeni_Click(int Index) {
    opts_.optRazeni = Index;
    plainRebuild();
}

void frmMain::chkCisla_Click() {
    opts_.chkCisla = chkCisla->isChecked();
    plainRebuild();
}

void frmMain::chkObracene_Click() {
    opts_.chkObracene = chkObracene->isChecked();
    previewRefresh();
}

// Read by the rename run only; no refresh.
void frmMain::chkKazdy_Click() { opts_.chkKazdy = chkKazdy->isChecked(); }

// ---------------------------------------------------------------------------------------------
// Folder selection and listing

void frmMain::reloadVolumes() {
    std::vector<Volume> volumes = listVolumes();
    // The list must hold the volume of the current folder, whatever the mount table says.
    if (!dirD->path().empty() && volumeIndexOf(volumes, dirD->path()) < 0)
        volumes.insert(volumes.begin(), Volume{"/", "", "", ""});
    setVolumes(std::move(volumes));
}

void frmMain::setVolumes(std::vector<Volume> volumes) {
    volumes_ = std::move(volumes);
    const QSignalBlocker blocker(drvDisk);
    drvDisk->clear();
    for (const Volume& v : volumes_) {
        QString item = QString::fromUtf8(v.root);
        if (!v.label.empty()) item += QStringLiteral("  [") + QString::fromUtf8(v.label) + QStringLiteral("]");
        drvDisk->addItem(item);
    }
    if (!dirD->path().empty()) drvDisk->setCurrentIndex(volumeIndexOf(volumes_, dirD->path()));
}

void frmMain::selectDriveOf(const std::string& path) {
    const QSignalBlocker blocker(drvDisk);
    drvDisk->setCurrentIndex(volumeIndexOf(volumes_, path));
}

void frmMain::drvDisk_Change() {
    const int index = drvDisk->currentIndex();
    if (index < 0 || index >= int(volumes_.size())) return;
    cmdPrejmenovat->setEnabled(false);
    const std::string& root = volumes_[std::size_t(index)].root;
    int error = 0;
    if (!canOpenFolder(root, &error)) {
        if (isUnavailableDevice(error))
            dialogs_.messageBox(T("S diskem nelze pracovat"), box::exclamation);
        else
            dialogs_.messageBox(fromUtf8(std::strerror(error)), box::critical);
        // Back to the drive of the tree, which keeps its folder.
        selectDriveOf(dirD->path());
        Aktualizace();
        return;
    }
    dirD->setRoot(root);
    dirD_Change();
}

void frmMain::dirD_Change() {
    cmdPrejmenovat->setEnabled(false);
    Aktualizace();
    setTitle();
}

void frmMain::txtCesta_KeyUp(int KeyCode) {
    if (KeyCode == 13) txtCesta_LostFocus();
}

void frmMain::txtCesta_LostFocus() {
    if (checkingPath_) return;
    checkingPath_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{checkingPath_};

    const QString typed = txtCesta->text();
    const std::optional<std::string> path = typedFolderPath(fromQ(typed), home_);
    const int volume = path ? volumeIndexOf(volumes_, *path) : -1;
    if (volume < 0 || !canOpenFolder(volumes_[std::size_t(volume)].root)) {
        dialogs_.messageBox(T("Adresa není v pořádku"), box::information);
        txtCesta->setText(QString::fromUtf8(dirD->path()));
        return;
    }

    bool moved = false;
    if (volume != drvDisk->currentIndex()) {
        // The drive goes first, and the tree with it to that volume's root.
        selectDriveOf(*path);
        dirD->setRoot(volumes_[std::size_t(volume)].root);
        dirD_Change();
        moved = true;
    }
    if (*path != dirD->path()) {
        if (!dirD->setPath(*path)) {
            dialogs_.messageBox(T("Adresa není v pořádku"), box::information);
            txtCesta->setText(typed);
            return;
        }
        dirD_Change();
        moved = true;
    }
    if (!moved) {
        Aktualizace();
        setTitle();
    }
}

void frmMain::txtVyhlFiltr_Change() {
    opts_.txtVyhlFiltr = fromQ(txtVyhlFiltr->text());
    Aktualizace();
    cmdPrejmenovat->setEnabled(false);
    cmdTest->setEnabled(!opts_.txtJmeno.empty());
}

void frmMain::optFile_Click(int Index) {
    opts_.optFile = Index;
    cmdAktual_Click();
}

void frmMain::cmdAktual_Click() {
    cmdPrejmenovat->setEnabled(false);
    Aktualizace();
}

void frmMain::cmdTest_Click() { Test(1); }

void frmMain::setTitle() {
    setWindowTitle(toQ(zelvar::windowTitle(layoutText_, fromQ(txtCesta->text()))));
}

// ---------------------------------------------------------------------------------------------
// Key and focus handling

bool frmMain::txtCisloOd_KeyPress(QKeyEvent* event) {
    const char32_t code = typedCode(event);
    if (code == 0) return false;
    const KeyVerdict verdict = KontrolaZnaku(code, U"c");
    if (verdict.beep) dialogs_.beep();
    if (verdict.message) dialogs_.messageBox(kKontrolaZprava, box::exclamation);
    if (verdict.code == code || verdict.code == kKeyBackspace) return false;
    // Swallowed, or turned into a Tab, which a one-line field does not insert.
    if (verdict.code == 0 || verdict.code == kKeyTab) return true;
    txtCisloOd->insert(QString::fromUcs4(&verdict.code, 1));
    return true;
}

bool frmMain::radix_KeyPress(QLineEdit* field, Text& value, QKeyEvent* event) {
    const char32_t code = typedCode(event);
    if (code == 0 || code == kKeyTab) return false;  // Tab moves on to the next control
    const Text before = fromQ(field->text());
    const RadixKey key = radixKeyPress(before, code);
    if (key.insert) return false;
    if (key.text != before) {
        setText(field, value, key.text);
        field->setCursorPosition(0);
    }
    return true;
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress: {
            auto* key = static_cast<QKeyEvent*>(event);
            if (watched == txtCisloOd) return txtCisloOd_KeyPress(key);
            if (watched == txtCiselnyZaklad) return radix_KeyPress(txtCiselnyZaklad, opts_.txtCiselnyZaklad, key);
            if (watched == txtZachovatCiselnyZaklad)
                return radix_KeyPress(txtZachovatCiselnyZaklad, opts_.txtZachovatCiselnyZaklad, key);
            if (watched == txtCesta && isEnter(key)) enterDownInCesta_ = true;
            if (watched == drvDisk && (key->key() == Qt::Key_F4 || key->key() == Qt::Key_Space ||
                                       ((key->modifiers() & Qt::AltModifier) &&
                                        (key->key() == Qt::Key_Down || key->key() == Qt::Key_Up))))
                reloadVolumes();
            break;
        }
        case QEvent::MouseButtonPress: {
            // A volume mounted since the list was last opened shows up in it.
            if (watched == drvDisk) reloadVolumes();
            break;
        }
        case QEvent::KeyRelease: {
            auto* key = static_cast<QKeyEvent*>(event);
            // Only an Enter pressed here counts: the one that closed a message box does not.
            if (watched == txtCesta && isEnter(key) && !key->isAutoRepeat() && enterDownInCesta_) {
                enterDownInCesta_ = false;
                txtCesta_KeyUp(13);
            }
            break;
        }
        case QEvent::FocusOut: {
            // Focus that goes to another window or a popup menu comes back; it is not left.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) break;
            // Nor is a field that loses it because the window was disabled for a rename run.
            if (auto* w = qobject_cast<QWidget*>(watched); w && !w->isEnabled()) break;
            if (watched == txtCesta) txtCesta_LostFocus();
            if (watched == txtCiselnyZaklad) txtCiselnyZaklad_LostFocus();
            if (watched == txtZachovatCiselnyZaklad) txtZachovatCiselnyZaklad_LostFocus();
            break;
        }
        default:
            break;
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// Layouts

void frmMain::mnuFunkce_Click(int Index) {
    if (Index == 0)
        setJednoduche();
    else
        setProfesionalni();
}

void frmMain::setJednoduche() {
    layoutMode_ = 0;
    layoutText_ = kJednoducheFunkce;
    mnuFunkce[0]->setChecked(true);
    mnuFunkce[1]->setChecked(false);
    setTitle();
    setTop(fraPrikazy, 3200);
    fraPrikazy->show();
    setTop(fraVelikost, 5400);
    fraVelikost->show();
    fraCisla->hide();
    fraTypCislovani->show();
    setChoice(optCitac, opts_.optCitac, 0);
    applyNumberingMode(0);
    fraDoplneni->hide();
    fraRazeni->hide();
    setTop(txtTest, 2280, 7260);
    txtTest->show();
    fraFile->hide();
    fraZachovatCisla->hide();
    setTop(drvDisk, 1380);
    setTop(dirD, 1753);
    setTop(filD, 5051, 4474);
    cmdEdit->hide();
    cmdEdit->setText(QStringLiteral("Editovat ručně"));
    RucniEditace = false;
    txtEdit->hide();

    setChoice(optFile, opts_.optFile, 0);
    setChoice(optRazeni, opts_.optRazeni, 0);
    setChecked(chkObracene, opts_.chkObracene, 0);
    setChecked(chkCisla, opts_.chkCisla, 0);
    setChoice(optTypCislovani, opts_.optTypCislovani, 0);
    setText(txtCiselnyZaklad, opts_.txtCiselnyZaklad, U"10");
    setChecked(chkJmeno, opts_.chkJmeno, 0);
    setChecked(chkExt, opts_.chkExt, 0);
    setChecked(chkBezDia, opts_.chkBezDia, 0);
    {
        const QSignalBlocker blocker(cboPauzy);
        cboPauzy->setCurrentIndex(0);
        opts_.cboPauzy = 0;
    }
    setText(txtZamenitCo, opts_.txtZamenitCo, Text());
    setText(txtZamenitZaCo, opts_.txtZamenitZaCo, Text());
    setText(txtOdstranit, opts_.txtOdstranit, Text());
    setText(txtCisloOd, opts_.txtCisloOd, U"1");
    setText(txtDif, opts_.txtDif, U"1");
    setChecked(chkCisloNula, opts_.chkCisloNula, 0);
    setChoice(optZachovatCisla, opts_.optZachovatCisla, 0);
    setChecked(chkINula, opts_.chkINula, 0);
    chkINula->hide();

    // The resets went out without their own refreshes; one full refresh shows them all.
    fullRefresh();
}

void frmMain::setProfesionalni() {
    layoutMode_ = 1;
    layoutText_ = kProfesionalniFunkce;
    mnuFunkce[0]->setChecked(false);
    mnuFunkce[1]->setChecked(true);
    setTitle();
    setTop(fraPrikazy, 2269);
    fraPrikazy->show();
    setTop(fraVelikost, 3618);
    fraVelikost->show();
    fraCisla->setVisible(patterns_.jmeno.Citac || patterns_.ext.Citac);
    fraDoplneni->show();
    fraRazeni->show();
    setTop(txtTest, 3315, 6225);
    txtTest->show();
    setTop(fraFile, 1380);
    fraFile->show();
    setTop(drvDisk, 1864);
    setTop(dirD, 2237);
    setTop(filD, 5535, 3990);
    cmdEdit->show();
}

// ---------------------------------------------------------------------------------------------
// Menus, About box, closing

void frmMain::mnuKonec_Click() { close(); }

// There is no help file: both help items show the About box with its usage summary.
void frmMain::mnuObsah_Click() { showAbout(); }
void frmMain::mnuVyhledat_Click() { showAbout(); }
void frmMain::mnuOAplikaci_Click() { showAbout(); }

void frmMain::showAbout() {
    frmAbout about(dialogs_, this);
    about_ = &about;
    about.exec();
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (about_) about_->reject();
    QMainWindow::closeEvent(event);
}

void frmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (centred_) return;
    centred_ = true;
    if (QScreen* s = screen()) move(s->availableGeometry().center() - frameGeometry().center() + pos());
}
