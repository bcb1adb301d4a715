#include "ui/frmMainUi.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QToolButton>
#include <algorithm>

#include "preview/compose.h"
#include "ui/FolderTree.h"
#include "ui/PreviewView.h"
#include "ui/WindowLayout.h"
#include "ui/appicon.h"
#include "ui/controls.h"

using namespace zelvar;
using namespace zelvar::ui;

namespace {

QRect at(const char* name) { return WindowLayout::startGeometry(name); }

// The legend of the output pattern codes.
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

void frmMainUi::setupUi(QMainWindow* window) {
    client = new QWidget;
    client->setObjectName(QStringLiteral("client"));
    setBackground(client, kBackground);
    // Tighter captions than the style's own, so that every choice fits its narrow frame.
    client->setStyleSheet(QStringLiteral("QRadioButton, QCheckBox { spacing: 3px; }"));
    // A window smaller than the start size, on a small or scaled screen, scrolls its controls; a larger one
    // gives its extra room to the lists.
    clientArea = named(new QScrollArea(window), "clientArea");
    clientArea->setFrameShape(QFrame::NoFrame);
    clientArea->setWidgetResizable(true);
    clientArea->setWidget(client);
    setBackground(clientArea->viewport(), kBackground);
    window->setCentralWidget(clientArea);

    buildInputSide(window);
    buildOutputSide(window);
    buildRightColumn(window);
    buildMenus(window);
}

void frmMainUi::buildInputSide(QMainWindow* window) {
    lblVstup = makeLabel(client, "lblVstup", QStringLiteral("Vstup"), at("lblVstup"), uiFont(16, true), kNavy);
    cmdAktual = makeButton(client, "cmdAktual", QStringLiteral("Aktualizovat"), at("cmdAktual"));
    txtVyhlFiltr = makeEdit(client, "txtVyhlFiltr", QStringLiteral("*.*"), at("txtVyhlFiltr"));
    txtCesta = makeEdit(client, "txtCesta", QString(), at("txtCesta"));

    fraFile = makeFrame(client, "fraFile", QString(), at("fraFile"));
    optFile = makeChoice(window, "optFile", fraFile,
                         {QStringLiteral("Soubory"), QStringLiteral("Složky"), QStringLiteral("Oboje")});
    placeRow(buttonsOf(optFile, {0, 1, 2}), 8, fraFile->width() - 8, 4, 19, 40);

    drvDisk = named(new QComboBox(client), "drvDisk");
    drvDisk->setFont(uiFont(8));

    dirD = named(new FolderTree(client), "dirD");
    dirD->setFont(uiFont(8));

    filD = named(new QListWidget(client), "filD");
    filD->setFont(uiFont(8));
    filD->setUniformItemSizes(true);
    filD->setSelectionMode(QAbstractItemView::SingleSelection);
}

void frmMainUi::buildOutputSide(QMainWindow* window) {
    lblVystup = makeLabel(client, "lblVystup", QStringLiteral("Výstup"), at("lblVystup"), uiFont(16, true), kNavy);
    cmdTest = makeButton(client, "cmdTest", QStringLiteral("Aktualizovat"), at("cmdTest"));

    lblPopis = makeLabel(client, "lblPopis", QStringLiteral("Popis"), at("lblPopis"), uiFont(8, true));
    lblPopis->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QStringList popis;
    for (const char* line : kPopis) popis << QString::fromUtf8(line);
    lblPopis->setText(popis.join(QLatin1Char('\n')));
    lblPracuji = makeLabel(client, "lblPracuji", QStringLiteral("Pracuji! Čekejte prosím!"), at("lblPracuji"),
                           uiFont(14, true), kRed);
    lblPrace = makeLabel(client, "lblPrace", QString(), at("lblPrace"), uiFont(10, true), kRed);
    lblPrace->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblPrace->setWordWrap(true);
    // Both stand over the pattern legend, which must not show through.
    for (QLabel* l : {lblPracuji, lblPrace}) {
        setBackground(l, kBackground);
        l->hide();
    }

    fraRazeni = makeFrame(client, "fraRazeni", QStringLiteral("Řazení"), at("fraRazeni"));
    optRazeni = makeChoice(
        window, "optRazeni", fraRazeni,
        {QStringLiteral("Jméno"), QStringLiteral("Přípona"), QStringLiteral("Datum"), QStringLiteral("Neřadit")});
    placeRow(buttonsOf(optRazeni, {0, 1, 2, 3}), 8, fraRazeni->width() - 8, 18, 19, 24);
    chkObracene = makeCheck(fraRazeni, "chkObracene", QStringLiteral("Obráceně"), QRect());
    chkCisla = makeCheck(fraRazeni, "chkCisla", QStringLiteral("Číselně"), QRect());
    placeRow({chkObracene, chkCisla}, 8, fraRazeni->width() - 8, 40, 19, 24);

    fraDatum = makeFrame(client, "fraDatum", QStringLiteral("Datum"), at("fraDatum"));
    optDatum = makeChoice(window, "optDatum", fraDatum, {QStringLiteral("změny"), QStringLiteral("pořízení")});
    placeRow(buttonsOf(optDatum, {0, 1}), 8, fraDatum->width() - 8, 18, 19, 24);

    txtTest = named(new PreviewView(client), "txtTest");
    txtTest->setFont(uiFont(8));
    setFieldColour(txtTest);

    // The strip below the preview and the right column.
    lblUpozorneni = makeLabel(client, "lblUpozorneni", QString(), at("lblUpozorneni"), uiFont(8, true), kRed);
}

void frmMainUi::buildRightColumn(QMainWindow* window) {
    cmdEdit = makeButton(client, "cmdEdit", QStringLiteral("Editovat ručně"), at("cmdEdit"));

    buildPatternFrames();

    fraVelikost = makeFrame(client, "fraVelikost", QStringLiteral("Velikost písmen"), at("fraVelikost"));
    optVelikost = makeChoice(
        window, "optVelikost", fraVelikost,
        {QStringLiteral("Zachovat"), QStringLiteral("malá"), QStringLiteral("VELKÁ"), QStringLiteral("První Velká")});
    // On screen "VELKÁ" (index 2) stands last.
    placeRow(buttonsOf(optVelikost, {0, 1, 3, 2}), 5, fraVelikost->width() - 4, 17, 19);

    buildNumbersFrame(window);
    buildReplacementsFrame();

    txtEdit = named(new QPlainTextEdit(client), "txtEdit");
    txtEdit->setFont(uiFont(8));
    txtEdit->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtEdit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtEdit->setTabChangesFocus(true);
    setFieldColour(txtEdit);
    txtEdit->hide();

    chkKazdy = makeCheck(client, "chkKazdy", QString(), at("chkKazdy"));
    lblPotvrzovat = makeLabel(client, "lblPotvrzovat", QStringLiteral("Potvrzovat každý soubor"), at("lblPotvrzovat"));
    lblPotvrzovat->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lblPotvrzovat->setWordWrap(true);

    cmdPrejmenovat = named(new QToolButton(client), "cmdPrejmenovat");
    cmdPrejmenovat->setText(QStringLiteral("Přejmenovat"));
    cmdPrejmenovat->setFont(uiFont(11, true, true));
    cmdPrejmenovat->setIcon(zelvarIcon());
    cmdPrejmenovat->setIconSize(QSize(28, 28));
    cmdPrejmenovat->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    cmdPrejmenovat->setEnabled(false);
    // A click takes the focus, so that the field left by it does its checks before the run starts.
    cmdPrejmenovat->setFocusPolicy(Qt::StrongFocus);

    lblVerze = makeLabel(client, "lblVerze", QString(), at("lblVerze"), uiFont(7.5, false, true));
    lblVerze->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
}

// "Ukázky" with its two samples and "Příkazy záměny" with the two patterns.
void frmMainUi::buildPatternFrames() {
    fraUkazky = makeFrame(client, "fraUkazky", QStringLiteral("Ukázky"), at("fraUkazky"));
    const int inner = fraUkazky->width() - 14;
    lblVzor1 = makeLabel(fraUkazky, "lblVzor1", toQ(kVzor1), QRect(8, 18, inner, 16));
    lblSipka1 = makeLabel(fraUkazky, "lblSipka1", QStringLiteral("→"), QRect(8, 35, 18, 16));
    lblUkazka1 = makeLabel(fraUkazky, "lblUkazka1", QString(), QRect(28, 35, inner - 20, 16), optionFont(), kNavy);
    lblVzor2 = makeLabel(fraUkazky, "lblVzor2", toQ(kVzor2), QRect(8, 56, inner, 16));
    lblSipka2 = makeLabel(fraUkazky, "lblSipka2", QStringLiteral("→"), QRect(8, 73, 18, 16));
    lblUkazka2 = makeLabel(fraUkazky, "lblUkazka2", QString(), QRect(28, 73, inner - 20, 16), optionFont(), kNavy);

    fraPrikazy =
        makeFrame(client, "fraPrikazy", QStringLiteral("Příkazy záměny"), at("fraPrikazy"), uiFont(11, true, true));
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
}

void frmMainUi::buildNumbersFrame(QMainWindow* window) {
    fraCisla = makeFrame(client, "fraCisla", QStringLiteral("Čísla"), at("fraCisla"));
    const int w = fraCisla->width() - 8;

    fraCitac = makeFrame(fraCisla, "fraCitac", QString(), QRect(4, 17, w, 100));
    optCitac = makeChoice(window, "optCitac", fraCitac,
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
    lblPuvodniZaklad =
        makeLabel(fraCitac, "lblPuvodniZaklad", QStringLiteral("Původní základ"), QRect(w - 116, 28, 80, 20));
    lblPuvodniZaklad->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    txtZachovatCiselnyZaklad =
        makeEdit(fraCitac, "txtZachovatCiselnyZaklad", QStringLiteral("10"), QRect(w - 34, 28, 28, 20));
    fraZachovatCisla = makeFrame(fraCitac, "fraZachovatCisla", QString(), QRect(4, 49, w - 8, 24));
    optZachovatCisla = makeChoice(window, "optZachovatCisla", fraZachovatCisla,
                                  {QStringLiteral("Formát"), QStringLiteral("Formát+Přesun")});
    placeRow(buttonsOf(optZachovatCisla, {0, 1}), 6, w - 14, 2, 19, 30);
    fraZachovatTypCislovani = makeFrame(fraCitac, "fraZachovatTypCislovani", QString(), QRect(4, 73, w - 8, 24));
    optZachovatTypCislovani = makeChoice(window, "optZachovatTypCislovani", fraZachovatTypCislovani,
                                         {QStringLiteral("0-9"), QStringLiteral("a-z"), QStringLiteral("0-9 a-z")});
    placeRow(buttonsOf(optZachovatTypCislovani, {0, 1, 2}), 6, w - 14, 2, 19, 24);

    // Written numbers: visible in every mode.
    fraTypCislovani = makeFrame(fraCisla, "fraTypCislovani", QString(), QRect(4, 120, w, 26));
    optTypCislovani = makeChoice(window, "optTypCislovani", fraTypCislovani,
                                 {QStringLiteral("0-9"), QStringLiteral("a-z"), QStringLiteral("0-9 a-z")});
    placeRow(buttonsOf(optTypCislovani, {0, 1, 2}), 6, w - 84, 3, 19, 16);
    lblZaklad = makeLabel(fraTypCislovani, "lblZaklad", QStringLiteral("Základ"), QRect(w - 80, 3, 42, 20));
    lblZaklad->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    txtCiselnyZaklad = makeEdit(fraTypCislovani, "txtCiselnyZaklad", QStringLiteral("10"), QRect(w - 34, 3, 28, 20));
}

void frmMainUi::buildReplacementsFrame() {
    fraDoplneni = makeFrame(client, "fraDoplneni", QStringLiteral("Doplnění záměn"), at("fraDoplneni"));
    const int w = fraDoplneni->width();

    chkBezDia = makeCheck(fraDoplneni, "chkBezDia", QStringLiteral("Bez diakritiky"), QRect());
    placeRow({chkBezDia}, 6, 120, 28, 19);
    // The frame is nested in a full one: its caption stands on its border, so that it fits.
    fraObratit = makeFrame(fraDoplneni, "fraObratit", QStringLiteral("Obrátit"), QRect(w - 124, 20, 119, 29),
                           uiFont(7.5, true, true));
    fraObratit->setStyleSheet(
        QStringLiteral("QGroupBox { border: 1px solid rgb(150, 150, 200); "
                       "border-radius: 3px; margin-top: 6px; color: rgb(0, 0, 128); }"
                       "QGroupBox::title { subcontrol-origin: margin; "
                       "subcontrol-position: top left; left: 6px; padding: 0 2px; }"));
    chkJmeno = makeCheck(fraObratit, "chkJmeno", QStringLiteral("Jméno"), QRect());
    chkExt = makeCheck(fraObratit, "chkExt", QStringLiteral("Přípona"), QRect());
    placeRow({chkJmeno, chkExt}, 5, 115, 9, 17, 8);

    lblPauzy = fitLabel(makeLabel(fraDoplneni, "lblPauzy", QStringLiteral("Zrušit pauzy"), QRect(6, 51, 0, 20)));
    cboPauzy = named(new QComboBox(fraDoplneni), "cboPauzy");
    cboPauzy->setGeometry(rightOf(lblPauzy, 4), 51, 0, 20);
    cboPauzy->resize(w - 6 - cboPauzy->x(), 20);
    cboPauzy->setFont(uiFont(8));
    // Its typing field comes with its handlers (frmMain::connectHandlers).
    cboPauzy->setInsertPolicy(QComboBox::NoInsert);
    cboPauzy->addItems({QStringLiteral("Beze změny"), QStringLiteral("Odstranit všechny pauzy"),
                        QStringLiteral("Zaměň pauzy za _"), QStringLiteral("Zaměň pauzy za -"),
                        QStringLiteral("Zaměň pauzy za mezery"), QStringLiteral("Odstranit pauzy mimo -")});
    setFieldColour(cboPauzy);

    lblZamenitCo = fitLabel(makeLabel(fraDoplneni, "lblZamenitCo", QStringLiteral("Záměna Co"), QRect(6, 73, 0, 19)));
    txtZamenitCo = makeEdit(fraDoplneni, "txtZamenitCo", QString(), QRect(rightOf(lblZamenitCo, 3), 73, 42, 19));
    lblZamenitZaCo = fitLabel(
        makeLabel(fraDoplneni, "lblZamenitZaCo", QStringLiteral("Čím"), QRect(rightOf(txtZamenitCo, 6), 73, 0, 19)));
    txtZamenitZaCo = makeEdit(fraDoplneni, "txtZamenitZaCo", QString(), QRect(rightOf(lblZamenitZaCo, 3), 73, 42, 19));
    chkZamenaVse = makeCheck(fraDoplneni, "chkZamenaVse", QStringLiteral("Celé"), QRect());
    placeRow({chkZamenaVse}, rightOf(txtZamenitZaCo, 8), w - 4, 73, 19);

    lblOdstranit =
        fitLabel(makeLabel(fraDoplneni, "lblOdstranit", QStringLiteral("Odstranit znaky"), QRect(6, 94, 0, 19)));
    // The row under "Celé" has no room for a field of the old width and the box beside it; the box
    // ends where "Celé" ends, and the field takes what is left.
    chkRegVyraz = makeCheck(fraDoplneni, "chkRegVyraz", QStringLiteral("Regulární výraz"), QRect());
    placeRow({chkRegVyraz}, 0, 0, 94, 19);
    chkRegVyraz->move(w - 4 - chkRegVyraz->width(), 94);
    const int odstranitLeft = rightOf(lblOdstranit, 3);
    txtOdstranit = makeEdit(fraDoplneni, "txtOdstranit", QString(),
                            QRect(odstranitLeft, 94, std::min(100, chkRegVyraz->x() - 8 - odstranitLeft), 19));
}

void frmMainUi::buildMenus(QMainWindow* window) {
    mnuSoubor = named(window->menuBar()->addMenu(QStringLiteral("&Soubor")), "mnuSoubor");
    mnuVratit = named(mnuSoubor->addAction(QStringLiteral("&Vrátit přejmenování")), "mnuVratit");
    // Window shortcuts: a text field with the focus keeps its own Ctrl+Z and Ctrl+Shift+Z (its typing
    // undone and redone); Ctrl+Alt+Z is no field's, so it reaches the rename undo from anywhere.
    mnuVratit->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Z)});
    mnuZnovu = named(mnuSoubor->addAction(QStringLiteral("&Znovu provést přejmenování")), "mnuZnovu");
    mnuZnovu->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    mnuHistorie = named(mnuSoubor->addAction(QStringLiteral("&Historie přejmenování...")), "mnuHistorie");
    mnuSeznamJmen = named(mnuSoubor->addAction(QStringLiteral("Načíst seznam &jmen...")), "mnuSeznamJmen");
    mnuSeznamJmen->setEnabled(false);
    mnuSoubor->addSeparator();
    mnuKonec = named(mnuSoubor->addAction(QStringLiteral("Konec")), "mnuKonec");

    mnuFunkceMenu = named(window->menuBar()->addMenu(QStringLiteral("&Funkce")), "mnuFunkceMenu");
    mnuFunkce[0] = named(mnuFunkceMenu->addAction(QStringLiteral("&Jednoduché")), "mnuFunkce0");
    mnuFunkce[0]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_J));
    mnuFunkce[1] = named(mnuFunkceMenu->addAction(QStringLiteral("&Profesionální")), "mnuFunkce1");
    mnuFunkce[1]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    for (QAction* a : mnuFunkce) a->setCheckable(true);
    mnuFunkceMenu->addSeparator();
    mnuUlozitPredvolbu = named(mnuFunkceMenu->addAction(QStringLiteral("&Uložit předvolbu...")), "mnuUlozitPredvolbu");
    mnuPredvolby = named(mnuFunkceMenu->addMenu(QStringLiteral("Př&edvolby")), "mnuPredvolby");
    mnuSpravovatPredvolby =
        named(mnuFunkceMenu->addAction(QStringLiteral("&Spravovat předvolby...")), "mnuSpravovatPredvolby");

    mnuNapoveda = named(window->menuBar()->addMenu(QStringLiteral("&Nápověda")), "mnuNapoveda");
    mnuObsah = named(mnuNapoveda->addAction(QStringLiteral("&Obsah nápovědy")), "mnuObsah");
    mnuVyhledat = named(mnuNapoveda->addAction(QStringLiteral("&Vyhledat...")), "mnuVyhledat");
    // The item is kept, switched off, as there is no help file to search.
    mnuVyhledat->setEnabled(false);
    mnuNapoveda->addSeparator();
    mnuOAplikaci = named(mnuNapoveda->addAction(QStringLiteral("&O aplikaci Zelvar...")), "mnuOAplikaci");
}
