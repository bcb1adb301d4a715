#pragma once
// The controls of the main window, made and placed at their start geometry by setupUi, the way a
// form designer's generated class does it. The window owns one of these privately; tests find the
// controls by their object names, which are the names below.
class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMainWindow;
class QMenu;
class QScrollArea;
class QPlainTextEdit;
class QPushButton;
class QToolButton;
class QWidget;
class FolderTree;
class PreviewView;

struct frmMainUi {
    void setupUi(QMainWindow* window);

    QScrollArea* clientArea;  // the window's central widget: the client, scrolled when the window is smaller
    QWidget* client;

    // Input side.
    QLabel* lblVstup;
    QPushButton* cmdAktual;
    QLineEdit* txtVyhlFiltr;
    QLineEdit* txtCesta;
    QGroupBox* fraFile;
    QButtonGroup* optFile;
    QComboBox* drvDisk;
    FolderTree* dirD;
    QListWidget* filD;

    // Output side.
    QLabel* lblVystup;
    QPushButton* cmdTest;
    QLabel* lblPopis;
    QLabel* lblPracuji;
    QLabel* lblPrace;
    QLabel* lblUpozorneni;  // what the last listing could not show, and what the edit box does not fit
    QGroupBox* fraRazeni;
    QButtonGroup* optRazeni;
    QCheckBox* chkObracene;
    QCheckBox* chkCisla;
    PreviewView* txtTest;

    // Right column.
    QPushButton* cmdEdit;
    QGroupBox* fraUkazky;
    QLabel* lblVzor1;
    QLabel* lblVzor2;
    QLabel* lblSipka1;
    QLabel* lblSipka2;
    QLabel* lblUkazka1;
    QLabel* lblUkazka2;
    QPlainTextEdit* txtEdit;

    QGroupBox* fraPrikazy;
    QLabel* lblJmeno;
    QLineEdit* txtJmeno;
    QLabel* lblPripona;
    QLineEdit* txtExt;
    QLabel* lblObraceneZpracovani;
    QCheckBox* chkObratitJm;
    QCheckBox* chkObratitEx;

    QGroupBox* fraVelikost;
    QButtonGroup* optVelikost;

    QGroupBox* fraCisla;
    QGroupBox* fraCitac;
    QButtonGroup* optCitac;
    QLabel* lblOd;
    QLineEdit* txtCisloOd;
    QLabel* lblKrok;
    QLineEdit* txtDif;
    QCheckBox* chkStejnePripony;
    QCheckBox* chkINula;
    QCheckBox* chkCisloNula;
    QGroupBox* fraZachovatCisla;
    QButtonGroup* optZachovatCisla;
    QGroupBox* fraZachovatTypCislovani;
    QButtonGroup* optZachovatTypCislovani;
    QLabel* lblPuvodniZaklad;
    QLineEdit* txtZachovatCiselnyZaklad;
    QGroupBox* fraTypCislovani;
    QButtonGroup* optTypCislovani;
    QLabel* lblZaklad;
    QLineEdit* txtCiselnyZaklad;

    QGroupBox* fraDoplneni;
    QCheckBox* chkBezDia;
    QLabel* lblPauzy;
    QComboBox* cboPauzy;
    QLabel* lblZamenitCo;
    QLineEdit* txtZamenitCo;
    QLabel* lblZamenitZaCo;
    QLineEdit* txtZamenitZaCo;
    QCheckBox* chkZamenaVse;
    QCheckBox* chkRegVyraz;
    QLabel* lblOdstranit;
    QLineEdit* txtOdstranit;
    QGroupBox* fraObratit;
    QCheckBox* chkJmeno;
    QCheckBox* chkExt;

    QCheckBox* chkKazdy;
    QLabel* lblPotvrzovat;
    QToolButton* cmdPrejmenovat;
    QLabel* lblVerze;

    // Under "Řazení": which date of an entry the date codes and the order use.
    QGroupBox* fraDatum;
    QButtonGroup* optDatum;

    // Menus.
    QMenu* mnuSoubor;
    QAction* mnuVratit;    // "Vrátit přejmenování": takes back the folder's newest run in force
    QAction* mnuZnovu;     // "Znovu provést přejmenování": carries out again the newest run taken back
    QAction* mnuHistorie;  // "Historie přejmenování...": the folder's runs, an older one taken back
    QAction* mnuKonec;
    QMenu* mnuFunkceMenu;
    QAction* mnuFunkce[2];
    QAction* mnuUlozitPredvolbu;     // "Uložit předvolbu...": the options under a name
    QMenu* mnuPredvolby;             // "Předvolby": one item per saved preset, filled as it opens
    QAction* mnuSpravovatPredvolby;  // "Spravovat předvolby...": rename, delete
    QMenu* mnuNapoveda;
    QAction* mnuObsah;
    QAction* mnuVyhledat;
    QAction* mnuOAplikaci;
    QAction* mnuSeznamJmen;  // "Načíst seznam jmen...": the edit box from a list, in manual editing

private:
    void buildInputSide(QMainWindow* window);
    void buildOutputSide(QMainWindow* window);
    void buildRightColumn(QMainWindow* window);
    void buildPatternFrames();
    void buildNumbersFrame(QMainWindow* window);
    void buildReplacementsFrame();
    void buildMenus(QMainWindow* window);
};
