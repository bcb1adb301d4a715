#pragma once
// Every rename option of the main window in one plain record, each field named after the control
// that edits it and holding that control's start value. Texts are kept exactly as typed, flags are
// 0 or 1 (any non-zero value counts as on), choices hold the index of the selected option button.
// The core only reads it; the window (or the command line) writes it.
#include "engine/text.h"

namespace zelvar {

struct RenameOptions {
    // "Příkazy záměny"
    Text txtJmeno = U"*";  // name pattern; while empty, the preview stays empty
    Text txtExt = U"*";    // extension pattern
    int chkObratitJm = 0;  // reversed processing of the name ("Obrácené zpracování")
    int chkObratitEx = 0;  // reversed processing of the extension

    // "Velikost písmen": 0 "Zachovat", 1 "malá", 2 "VELKÁ", 3 "První Velká"
    int optVelikost = 0;

    // "Čísla"
    int optCitac = 0;                       // 0 "Čítač", 1 "Jen stejné", 2 "Zachovat"
    Text txtCisloOd = U"1";                 // "Od": first counter value
    Text txtDif = U"1";                     // "Krok": counter step
    int chkStejnePripony = 0;               // "Stejná podle přípon"
    int chkINula = 0;                       // "i nula"
    int chkCisloNula = 0;                   // "vložit nulu"
    int optZachovatCisla = 0;               // 0 "Formát", 1 "Formát+Přesun"
    int optZachovatTypCislovani = 0;        // digit set inside old names: 0 "0-9", 1 "a-z", 2 "0-9 a-z"
    Text txtZachovatCiselnyZaklad = U"10";  // "Původní základ"
    int optTypCislovani = 0;                // digit set of written numbers
    Text txtCiselnyZaklad = U"10";          // "Základ"

    // "Doplnění záměn"
    int chkBezDia = 0;     // "Bez diakritiky"
    int cboPauzy = 0;      // "Zrušit pauzy": item index, -1 when no item is selected
    Text txtZamenitCo;     // "Záměna Co"
    Text txtZamenitZaCo;   // "Čím"
    int chkZamenaVse = 0;  // "Celé"
    Text txtOdstranit;     // "Odstranit znaky"
    int chkJmeno = 0;      // "Obrátit" the new name
    int chkExt = 0;        // "Obrátit" the new extension

    // "Řazení": 0 "Jméno", 1 "Přípona", 2 "Datum", 3 "Neřadit"
    int optRazeni = 0;
    int chkCisla = 0;     // "Číselně"
    int chkObracene = 0;  // "Obráceně"

    // Listing and renaming
    int optFile = 0;             // 0 "Soubory", 1 "Složky", 2 "Oboje"
    Text txtVyhlFiltr = U"*.*";  // listing filter
    Text txtCesta;               // the folder worked on; the window starts it at the user's home
    int chkKazdy = 0;            // "Potvrzovat každý soubor"

    // "Regulární výraz": "Co" is a regular expression and "Čím" its replacement ("Celé" then
    // means nothing)
    int chkRegVyraz = 0;
    // "Datum" of an entry for the date codes and "Řazení: Datum": 0 "změny" (its last change),
    // 1 "pořízení" (when the photo or video was taken, else its last change)
    int optDatum = 0;
};

}  // namespace zelvar
