#include "ui/frmMain.h"

#include <QAction>
#include <QButtonGroup>
#include <QLayout>
#include <QMenuBar>
#include <QCheckBox>
#include <QCloseEvent>
#include <QMoveEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QFile>
#include <algorithm>

#include "platform/saferename.h"
#include "preview/compose.h"
#include "preview/session.h"
#include "rename/undo.h"
#include "ui/FolderNav.h"
#include "ui/FolderTree.h"
#include "ui/FolderDrop.h"
#include "ui/ManualEditor.h"
#include "ui/NumberingControls.h"
#include "ui/OptionTable.h"
#include "ui/PreviewView.h"
#include "ui/WindowLayout.h"
#include "ui/appicon.h"
#include "ui/typeahead.h"
#include "ui/controls.h"
#include "ui/frmAbout.h"
#include "ui/frmHelp.h"
#include "ui/windowlogic.h"

using namespace zelvar;
using zelvar::ui::fromQ;
using zelvar::ui::toQ;

frmMain::frmMain(Dialogs& dialogs, const std::string& startFolder, QWidget* parent)
    : QMainWindow(parent), dialogs_(dialogs) {
    setObjectName(QStringLiteral("frmMain"));
    typeAhead_ = new TypeAhead(this, [this] { Test(0); });
    session_.keepListing(true);
    setWindowTitle(QStringLiteral("Zelvar - přejmenování souborů"));
    setWindowIcon(zelvarIcon());

    ui_.setupUi(this);
    // The controls are laid out at the start size or larger; what the window grows by goes to the names
    // (WindowLayout). A smaller window scrolls them.
    ui_.client->setMinimumSize(WindowLayout::startSize());
    layout_ = new WindowLayout(ui_.client);
    nav_ = new FolderNav({ui_.drvDisk, ui_.dirD, ui_.txtCesta, ui_.filD}, dialogs_, this);
    editor_ = new ManualEditor(ui_.txtEdit);

    table_.set(mainWindowOptions(ui_));
    const NumberingControls::Controls numbers{ui_.lblOd,
                                              ui_.txtCisloOd,
                                              ui_.lblKrok,
                                              ui_.txtDif,
                                              ui_.chkStejnePripony,
                                              ui_.chkINula,
                                              ui_.chkCisloNula,
                                              ui_.fraZachovatCisla,
                                              ui_.fraZachovatTypCislovani,
                                              ui_.lblPuvodniZaklad,
                                              ui_.txtZachovatCiselnyZaklad,
                                              ui_.fraTypCislovani,
                                              ui_.optTypCislovani,
                                              ui_.txtCiselnyZaklad,
                                              ui_.optCitac};
    numbering_ = new NumberingControls(numbers, table_, opts_, dialogs_, this, [this](QLineEdit* radix) {
        radix == ui_.txtCiselnyZaklad ? txtCiselnyZaklad_LostFocus() : txtZachovatCiselnyZaklad_LostFocus();
    });
    connectHandlers();
    layout()->activate();
    setMinimumSize(ui::px(4800), ui::px(3600));
    resize(WindowLayout::startSize() + QSize(0, menuBar()->sizeHint().height()));
    fitToScreen();
    new FolderDrop(this, [this](const QString& path) { openFolder(path); });
    Form_Load(startFolder);
}

frmMain::~frmMain() {
    // The controls are destroyed after this body; the focus leaving one then (the separator field's
    // editingFinished, say) must not reach handlers of a window that is gone.
    for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
    delete editor_;
    delete numbering_;
    // The client area is destroyed after this body and may still report a resize: place nothing then.
    delete layout_;
    layout_ = nullptr;
}

// ---------------------------------------------------------------------------------------------
// The option controls

void frmMain::optionChanged(const QObject* control) { refresh(table_.read(control)); }

void frmMain::refresh(Refresh kind) {
    switch (kind) {
        case Refresh::None: break;
        case Refresh::Plain: plainRebuild(); break;
        case Refresh::Preview: previewRefresh(); break;
        case Refresh::Full: fullRefresh(); break;
        case Refresh::Pattern:
            ZpracujVzor();
            previewRefresh();
            break;
        case Refresh::Pair:
            // An expression acts, and can be wrong, with an empty replacement too.
            if (opts_.chkRegVyraz != 0 || (!opts_.txtZamenitCo.empty() && !opts_.txtZamenitZaCo.empty())) fullRefresh();
            break;
    }
}

void frmMain::connectHandlers() {
    table_.connectTo(this, [this](const QObject* control) { optionChanged(control); });
    // When editing ends (Enter, the focus leaving), the list matches typed text to an item's caption and
    // reports that as `activated`; yet typed text selects no item. Slots run in the order they were
    // connected: the field's first one runs before the list's own, connected by setLineEdit, the last after it.
    auto* field = new QLineEdit;
    connect(field, &QLineEdit::editingFinished, this, [this] { separatorEditEnds_ = true; });
    ui_.cboPauzy->setLineEdit(field);
    connect(field, &QLineEdit::editingFinished, this, [this] { separatorEditEnds_ = false; });
    ui_.cboPauzy->setCompleter(nullptr);
    ui_.cboPauzy->setCurrentIndex(-1);
    ui_.cboPauzy->setEditText(QStringLiteral("Beze změny"));
    connect(ui_.cboPauzy, &QComboBox::editTextChanged, this, &frmMain::cboPauzy_Click);
    // A pick of the item whose caption was typed changes no text, yet selects the item.
    connect(ui_.cboPauzy, &QComboBox::activated, this, [this](int index) {
        if (separatorEditEnds_) return;
        ui_.cboPauzy->lineEdit()->setModified(false);
        if (opts_.cboPauzy != static_cast<Pauzy>(index)) cboPauzy_Click();
    });

    connect(ui_.drvDisk, &QComboBox::currentIndexChanged, this, &frmMain::drvDisk_Change);
    connect(ui_.dirD, &FolderTree::folderChosen, this, &frmMain::dirD_Change);
    connect(nav_, &FolderNav::moved, this, &frmMain::dirD_Change);
    connect(nav_, &FolderNav::relist, this, &frmMain::relisted);
    connect(nav_, &FolderNav::pathKeyUp, this, &frmMain::txtCesta_KeyUp);
    connect(nav_, &FolderNav::pathLeft, this, &frmMain::txtCesta_LostFocus);
    ui_.client->installEventFilter(this);
    connect(ui_.cmdAktual, &QPushButton::clicked, this, &frmMain::cmdAktual_Click);
    connect(ui_.cmdTest, &QPushButton::clicked, this, &frmMain::cmdTest_Click);
    connect(ui_.txtEdit, &QPlainTextEdit::textChanged, this, &frmMain::txtEdit_Change);
    connect(ui_.cmdEdit, &QPushButton::clicked, this, &frmMain::cmdEdit_Click);
    connect(ui_.cmdPrejmenovat, &QToolButton::clicked, this, &frmMain::cmdPrejmenovat_Click);

    connect(ui_.mnuVratit, &QAction::triggered, this, &frmMain::mnuVratit_Click);
    connect(ui_.mnuZnovu, &QAction::triggered, this, &frmMain::mnuZnovu_Click);
    connect(ui_.mnuHistorie, &QAction::triggered, this, &frmMain::mnuHistorie_Click);
    // Another Zelvar may have renamed in the folder since: the menu tells what is there when it opens.
    connect(ui_.mnuSoubor, &QMenu::aboutToShow, this, &frmMain::updateSteps);
    connect(ui_.mnuSeznamJmen, &QAction::triggered, this, &frmMain::mnuSeznamJmen_Click);
    connect(ui_.mnuKonec, &QAction::triggered, this, &frmMain::mnuKonec_Click);
    connect(ui_.mnuFunkce[0], &QAction::triggered, this, [this] { mnuFunkce_Click(0); });
    connect(ui_.mnuFunkce[1], &QAction::triggered, this, [this] { mnuFunkce_Click(1); });
    connect(ui_.mnuUlozitPredvolbu, &QAction::triggered, this, &frmMain::mnuUlozitPredvolbu_Click);
    connect(ui_.mnuPredvolby, &QMenu::aboutToShow, this, &frmMain::fillPresetMenu);
    connect(ui_.mnuSpravovatPredvolby, &QAction::triggered, this, &frmMain::mnuSpravovatPredvolby_Click);
    connect(ui_.mnuObsah, &QAction::triggered, this, &frmMain::mnuObsah_Click);
    connect(ui_.mnuVyhledat, &QAction::triggered, this, &frmMain::mnuVyhledat_Click);
    connect(ui_.mnuOAplikaci, &QAction::triggered, this, &frmMain::mnuOAplikaci_Click);
}

void frmMain::Form_Load(const std::string& startFolder) {
    ui_.lblVerze->setText(versionText());
    nav_->start(startFolder);

    Aktualizace();

    mnuFunkce_Click(0);
    ZpracujVzor();
    Test(0);
}

// ---------------------------------------------------------------------------------------------
// Refresh, build, patterns

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
    ui_.lblUkazka1->setText(toQ(u.ukazka1));
    ui_.lblUkazka2->setText(toQ(u.ukazka2));
}

void frmMain::compiled() {
    const CompiledRegex* regex = patterns_.regex();
    ui::setTextColour(ui_.txtZamenitCo, regex && !regex->valid() ? ui::kRed : QColor(Qt::black));
    last_.counter = patterns_.jmeno.Citac || patterns_.ext.Citac;
    stale();
}

void frmMain::stale() {
    last_.renames = 0;
    updateActions();
}

void frmMain::updateActions() {
    ui::LastResult last = last_;
    last.namePattern = !opts_.txtJmeno.empty();
    last.regex = opts_.chkRegVyraz != 0;
    const ui::Actions a = ui::actionsFor(state_, last);
    ui_.cmdPrejmenovat->setEnabled(a.rename);
    ui_.cmdTest->setEnabled(a.test);
    ui_.txtEdit->setVisible(a.editBox);
    ui_.mnuSeznamJmen->setEnabled(a.editBox);
    ui_.cmdEdit->setText(a.editBox ? QStringLiteral("Zrušit Ruční editaci") : QStringLiteral("Editovat ručně"));
    ui_.fraCisla->setVisible(a.numbers);
    ui_.chkZamenaVse->setEnabled(a.wholeName);
    ui_.mnuVratit->setEnabled(a.undo);
    ui_.mnuZnovu->setEnabled(a.redo);
}

void frmMain::applyFix(const OptionFix& fix) {
    if (!fix.txtExt && !fix.txtDif) return;
    if (fix.txtExt) table_.write(ui_.txtExt, *fix.txtExt);
    if (fix.txtDif) table_.write(ui_.txtDif, *fix.txtDif);
    // The samples follow as after every edit of the fields.
    ZpracujVzor();
    if (!state_.building()) previewRefresh();
}

void frmMain::showPreview(Text text) {
    std::vector<bool> marked;
    if (!text.empty()) {
        marked.reserve(previewList().size());
        for (const PreviewEntry& row : previewList()) marked.push_back(row.marker());
    }
    ui_.txtTest->setText(std::move(text), std::move(marked));
}

void frmMain::Test(int Dotaz) {
    // Keys typed ahead get one build once they are all in; until then nothing stale may be renamed.
    if (Dotaz == 0 && !RucniEditace() && !state_.building() && typeAhead_->postpone()) {
        stale();
        return;
    }
    if (state_.building()) {
        // Asked for from inside a build (a question box, a write from code): done right after it.
        state_.build = Build::Pending;
        return;
    }
    {
        struct Done {
            Build& build;
            ~Done() { build = Build::Idle; }
        } done{state_.build};
        state_.build = Build::Running;
        runBuild(Dotaz);
        while (state_.build == Build::Pending) {
            state_.build = Build::Running;
            runBuild(0);
        }
    }
    updateActions();
}

void frmMain::runBuild(int Dotaz) {
    typeAhead_->building();

    if (Dotaz > 0 && opts_.txtExt != U"*" && !RucniEditace()) {
        showPreview(Text());
        if (dialogs_.messageBox(T("Měníte přípony.\r\nJe to tak správně?"), box::yesNo) == Answer::no)
            applyFix({.txtExt = U"*"});
    }

    session_.setFolder(filPath_);
    // Every change of an option the patterns are made of compiled them (ZpracujVzor) before it
    // asked for this build.
    const PreviewResult& result = session_.build(opts_, patterns_);
    stale();
    const std::optional<Text> stepText = result.stepText;
    const int renames = result.renameCount();
    const Text stats = result.stats;
    const Text note = listingNote(result);
    if (stepText && *stepText != opts_.txtDif) applyFix({.txtDif = *stepText});
    showPreview(session_.text());
    ++buildCount_;
    showListingNote(toQ(note));

    if (RucniEditace()) {
        txtEdit_Change();
        return;
    }
    if (Dotaz > 0) dialogs_.messageBox(stats, box::plain);
    last_.renames = renames;
}

void frmMain::Aktualizace() {
    // A refresh, a folder change and the end of a run read the folder anew.
    session_.invalidateListing();
    filPath_ = nav_->folder();
    updateSteps();
    nav_->showFolder(opts_.txtVyhlFiltr);
    stale();
    if (!RucniEditace()) {
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

void frmMain::showListingNote(const QString& note) {
    listingNote_ = note;
    QString shown = note;
    if (const QString regex = toQ(regexNote(patterns_.regex())); !regex.isEmpty())
        shown += (shown.isEmpty() ? QString() : QStringLiteral("  ")) + regex;
    if (state_.edit == Edit::ManualEdit) {
        const QString count = editor_->countNote(session_.result().rows.size());
        if (!count.isEmpty()) shown += (shown.isEmpty() ? QString() : QStringLiteral("  ")) + count;
    }
    ui_.lblUpozorneni->setText(shown);
}

// ---------------------------------------------------------------------------------------------
// Folder selection and listing

void frmMain::setVolumes(std::vector<Volume> volumes) { nav_->setVolumes(std::move(volumes)); }
void frmMain::reloadVolumes() { nav_->reloadVolumes(); }

void frmMain::drvDisk_Change() {
    stale();
    nav_->driveChosen();
}

void frmMain::dirD_Change() {
    stale();
    Aktualizace();
    setTitle();
}

void frmMain::relisted(bool retitle) {
    Aktualizace();
    if (retitle) setTitle();
}

void frmMain::txtCesta_KeyUp(int KeyCode) {
    if (KeyCode == 13) txtCesta_LostFocus();
}

void frmMain::txtCesta_LostFocus() { nav_->pathEntered(); }

void frmMain::openFolder(const QString& path) {
    // Not while a rename run holds the window: its folder must stay the one listed.
    if (state_.renaming || !centralWidget()->isEnabled()) return;
    ui_.txtCesta->setText(ui::nativeToQ(QFile::encodeName(path).toStdString()));
    txtCesta_LostFocus();
}

void frmMain::txtVyhlFiltr_Change() {
    optionChanged(ui_.txtVyhlFiltr);
    Aktualizace();
    stale();
}

void frmMain::optFile_Click(int) {
    optionChanged(ui_.optFile);
    cmdAktual_Click();
}

void frmMain::cmdAktual_Click() {
    stale();
    Aktualizace();
}

void frmMain::cmdTest_Click() { Test(1); }

void frmMain::setTitle() { setWindowTitle(toQ(zelvar::windowTitle(layoutText_, ui::fromField(ui_.txtCesta->text())))); }

// ---------------------------------------------------------------------------------------------
// Resizing

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && watched == ui_.client && layout_) layout_->place();
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

void frmMain::setJednoduche(bool refreshAfter) {
    state_.layout = ui::Layout::Simple;
    layoutText_ = kJednoducheFunkce;
    ui_.mnuFunkce[0]->setChecked(true);
    ui_.mnuFunkce[1]->setChecked(false);
    setTitle();
    layout_->apply(0);
    numbering_->simpleLayout();
    state_.edit = Edit::Patterns;

    // What the simple layout does not show goes back to its start value.
    table_.resetForSimpleLayout();
    ui_.chkINula->hide();
    updateActions();

    // The resets went out without their own refreshes; one full refresh shows them all.
    if (refreshAfter) fullRefresh();
}

void frmMain::setProfesionalni() {
    state_.layout = ui::Layout::Professional;
    layoutText_ = kProfesionalniFunkce;
    ui_.mnuFunkce[0]->setChecked(false);
    ui_.mnuFunkce[1]->setChecked(true);
    setTitle();
    layout_->apply(1);
    updateActions();
}

// ---------------------------------------------------------------------------------------------
// Menus, About box, closing

void frmMain::mnuKonec_Click() { close(); }

void frmMain::mnuObsah_Click() { frmHelp::open(this); }
void frmMain::mnuVyhledat_Click() { frmHelp::open(this, true); }
void frmMain::mnuOAplikaci_Click() { showAbout(); }

void frmMain::showAbout() {
    frmAbout about(dialogs_, this, filPath_);
    about_ = &about;
    about.exec();
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (about_) about_->reject();
    if (auto* help = findChild<frmHelp*>()) help->close();
    QMainWindow::closeEvent(event);
}

void frmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (centred_) return;
    centred_ = true;
    fitToScreen();
}

void frmMain::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    // A window manager frames the window after it is shown; only then does the fit know the size of
    // the title bar and borders, without which the frame would reach past the screen's edge.
    if (!centred_ || framed_ || frameGeometry().size() == size()) return;
    framed_ = true;
    fitToScreen();
}

void frmMain::fitToScreen() {
    QScreen* s = screen();
    if (!s) return;
    const QRect free = s->availableGeometry();
    // The frame the window manager adds is known once the window is shown, if at all.
    const QSize frame = frameGeometry().size() - size();
    resize(size().boundedTo(free.size() - frame).expandedTo(minimumSize()));
    // Centred; where it is larger than the screen after all, its title bar and menu stay on it.
    QRect placed = frameGeometry();
    placed.moveCenter(free.center());
    placed.moveTopLeft(QPoint(std::max(placed.left(), free.left()), std::max(placed.top(), free.top())));
    move(placed.topLeft());
}
