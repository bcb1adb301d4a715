#pragma once
// The main window: every option of the rename, the folder selection and the live preview. Each
// control is named as the program names it (also its object name); each handler is named
// control_Event. The controls are private (frmMainUi); the option controls are bound to the options
// record by one table (OptionTable); the folder selection (FolderNav), the edit box (ManualEditor),
// the numbering controls (NumberingControls) and the placing of the controls (WindowLayout) are
// parts of their own. The window keeps one options record current, builds the preview through the
// core, and asks its questions through the injected Dialogs.
//
// What the window is doing is one value (WindowState): who names the entries, whether a build or a
// rename run is under way, the layout. Handlers change it, and record what a build found; then
// updateActions() alone shows and enables "Přejmenovat", the edit box, the numbering frame and the menu
// items. What a build or a run sets in the options itself (the step, the extension) comes back as an
// OptionFix, which applyFix() writes into the controls.
//
// The class is defined in parts: frmMain.cpp (construction, refresh and build, folder, layouts,
// menus), frmMainOptions.cpp (the option handlers), frmMainEdit.cpp (manual editing),
// frmMainPresets.cpp (presets) and frmMainRun.cpp (runs, undo and redo).
//
// No build ever runs inside another: the core does not process events, writes from code go out with
// the control's signals blocked (the handler's effect is then applied directly), and a build asked
// for while one runs is done right after it. A rename run does let events through, but the window
// takes no input then besides the answers to its questions.
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/options.h"
#include "engine/pattern.h"
#include "platform/presets.h"
#include "platform/volumes.h"
#include "preview/entry.h"
#include "preview/session.h"
#include "rename/dialogs.h"
#include "rename/runs.h"
#include "ui/OptionTable.h"
#include "ui/WindowState.h"
#include "ui/frmMainUi.h"

class QKeyEvent;
class QLineEdit;
class FolderNav;
class ManualEditor;
class NumberingControls;
class RenameProgress;
class WindowLayout;
class frmAbout;
class TypeAhead;

class frmMain : public QMainWindow {
    Q_OBJECT
public:
    // startFolder: bytes of an absolute folder path; empty means the user's home folder.
    explicit frmMain(zelvar::Dialogs& dialogs, const std::string& startFolder = std::string(),
                     QWidget* parent = nullptr);
    ~frmMain() override;

    // Manual editing: edit mode on; the program itself is filling txtEdit.
    bool RucniEditace() const { return state_.editing(); }
    bool PlneniEditu() const { return state_.filling(); }

    // State that the rename run and manual editing read.
    const zelvar::RenameOptions& options() const { return opts_; }
    const zelvar::CompiledPatterns& patterns() const { return patterns_; }
    const zelvar::PreviewList& previewList() const { return session_.result().rows; }
    const std::string& folder() const { return filPath_; }  // the path of filD
    int layoutMode() const { return state_.layout == zelvar::ui::Layout::Simple ? 0 : 1; }
    int buildCount() const { return buildCount_; }  // completed preview builds

    // The volumes of the drive list; re-read from the mount table whenever the list is opened.
    void setVolumes(std::vector<zelvar::Volume> volumes);
    void reloadVolumes();

public slots:
    // Refresh, the preview builder and the pattern refresh.
    void Aktualizace();
    void Test(int Dotaz);
    void ZpracujVzor();

    // Option changes.
    void txtJmeno_Change();
    void txtExt_Change();
    void chkObratitJm_Click();
    void chkObratitEx_Click();
    void optVelikost_Click(int Index);
    void optCitac_Click(int Index);
    void txtCisloOd_Change();
    void txtDif_Change();
    void chkStejnePripony_Click();
    void chkINula_Click();
    void chkCisloNula_Click();
    void optZachovatCisla_Click(int Index);
    void optZachovatTypCislovani_Click(int Index);
    void txtZachovatCiselnyZaklad_LostFocus();
    void optTypCislovani_Click(int Index);
    void txtCiselnyZaklad_LostFocus();
    void chkBezDia_Click();
    void cboPauzy_Click();
    void txtZamenitCo_Change();
    void txtZamenitZaCo_Change();
    void chkZamenaVse_Click();
    void txtOdstranit_Change();
    void chkJmeno_Click();
    void chkExt_Click();
    void optRazeni_Click(int Index);
    void chkCisla_Click();
    void chkObracene_Click();
    void chkKazdy_Click();
    void chkRegVyraz_Click();

    // Folder selection and listing.
    void drvDisk_Change();
    void dirD_Change();
    void txtCesta_KeyUp(int KeyCode);
    void txtCesta_LostFocus();
    // Opens a folder as if its path had been typed into txtCesta (used for dropped folders).
    void openFolder(const QString& path);
    void txtVyhlFiltr_Change();
    void optFile_Click(int Index);
    void cmdAktual_Click();
    void cmdTest_Click();
    void optDatum_Click(int Index);

    // Renaming, and manual editing: the edit box parsed over the preview list.
    void cmdPrejmenovat_Click();
    void cmdEdit_Click();
    void txtEdit_Change();

    // Menus.
    void mnuVratit_Click();
    void mnuZnovu_Click();
    void mnuHistorie_Click();
    void mnuSeznamJmen_Click();
    void mnuFunkce_Click(int Index);
    // Presets: save the options under a name; set every option from a saved one (then one
    // refresh); rename and delete them. The submenu "Předvolby" is filled as it opens.
    void mnuUlozitPredvolbu_Click();
    void mnuPredvolba_Click(const std::string& name);
    void mnuSpravovatPredvolby_Click();
    void fillPresetMenu();
    void mnuKonec_Click();
    void mnuObsah_Click();
    void mnuVyhledat_Click();
    void mnuOAplikaci_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    using Refresh = OptionTable::Refresh;
    using Edit = zelvar::ui::WindowState::Edit;
    using Build = zelvar::ui::WindowState::Build;

    // Options that a build or a run sets itself, to be written into their controls.
    struct OptionFix {
        std::optional<zelvar::Text> txtExt = {};  // the extension pattern declined: back to "*"
        std::optional<zelvar::Text> txtDif = {};  // the step the numbering used
    };
    // Writes a fix into the controls and compiles the patterns; outside a build it rebuilds, as an
    // edit of the field does, and inside one the running build is that rebuild.
    void applyFix(const OptionFix& fix);
    // Shows and enables the actions for the state and the last result.
    void updateActions();
    // The preview shown is no longer the current one: nothing may be renamed from it.
    void stale();
    // A rename run, an undo or a redo: the window held, the progress shown, for as long as `run` runs.
    void holdForRun(const std::function<void(RenameProgress&)>& run);

    void connectHandlers();
    // No larger than the free area of the window's screen, centred on it, its title bar on it.
    void fitToScreen();
    void Form_Load(const std::string& startFolder);
    void optionChanged(const QObject* control);
    void refresh(Refresh kind);

    void fullRefresh();
    void previewRefresh();
    void plainRebuild();
    void runBuild(int Dotaz);
    void compiled();  // what every compile of the patterns does to the window
    void showPreview(zelvar::Text text);
    void refillEditBox();
    void showListingNote(const QString& note);
    void setJednoduche(bool refreshAfter = true);
    void applyPreset(const zelvar::Preset& preset);
    void setProfesionalni();
    void setTitle();
    void relisted(bool retitle);
    void showAbout();
    void updateSteps();  // reads from the journal whether the folder has a run to undo or redo
    // An undo or redo shown as a rename run is: the window held, the progress labels, the report; then
    // the folder anew. `id` names an older rename to take back.
    void step(zelvar::Step kind, const std::string& id = {});

    frmMainUi ui_;
    FolderNav* nav_ = nullptr;
    ManualEditor* editor_ = nullptr;
    NumberingControls* numbering_ = nullptr;
    WindowLayout* layout_ = nullptr;
    zelvar::Dialogs& dialogs_;
    zelvar::RenameOptions opts_;
    OptionTable table_{opts_};
    zelvar::CompiledPatterns patterns_;
    zelvar::PreviewSession session_;
    std::string filPath_;
    zelvar::ui::WindowState state_;
    zelvar::ui::LastResult last_;
    zelvar::Text layoutText_;
    QString listingNote_;  // what the last listing could not show
    bool centred_ = false;
    bool framed_ = false;             // fitted again once the window manager's frame was known
    bool separatorEditEnds_ = false;  // "Zrušit pauzy" is matching its typed text to an item
    int buildCount_ = 0;
    QPointer<frmAbout> about_;
    TypeAhead* typeAhead_ = nullptr;
};
