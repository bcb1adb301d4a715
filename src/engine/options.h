#pragma once
// Every rename option of the main window in one plain record, each field named after the control
// that edits it and holding that control's start value. Texts are kept exactly as typed, flags are
// 0 or 1 (any non-zero value counts as on), a choice is an enum whose values are named after its
// option buttons, in their order: the value of each is the index of its button.
// The core only reads it; the window (or the command line) writes it.
#include "engine/text.h"

namespace zelvar {

// "Velikost písmen": "Zachovat", "malá", "VELKÁ", "První Velká".
enum class Velikost { Zachovat, Mala, Velka, PrvniVelka };
// "Čísla": a running counter, numbers only for names that come out the same, the numbers the old
// names hold.
enum class Citac { Citac, JenStejne, Zachovat };
// A kept number: "Formát" (written again in place), "Formát+Přesun" (moved to the counter's place).
enum class ZachovatCisla { Format, FormatPresun };
// A digit set: "0-9", "a-z", "0-9 a-z".
enum class TypCislovani { Cislice, Pismena, CislicePismena };
// "Zrušit pauzy", by the item of the list; typed text selects none, which acts as "Beze změny".
enum class Pauzy {
    Nevybrano = -1,
    BezeZmeny,
    OdstranitVsechny,      // "Odstranit všechny pauzy"
    ZamenZaPodtrzitko,     // "Zaměň pauzy za _"
    ZamenZaPomlcku,        // "Zaměň pauzy za -"
    ZamenZaMezery,         // "Zaměň pauzy za mezery"
    OdstranitMimoPomlcky,  // "Odstranit pauzy mimo -"
};
// "Řazení": "Jméno", "Přípona", "Datum", "Neřadit".
enum class Razeni { Jmeno, Pripona, Datum, Neradit };
// Which entries are listed: "Soubory" (everything that is not a folder), "Složky", "Oboje".
enum class File { Soubory, Slozky, Oboje };
// "Datum" of an entry: "změny" (its last change), "pořízení" (when the photo or video was taken,
// else its last change).
enum class Datum { Zmeny, Porizeni };

struct RenameOptions {
    // "Příkazy záměny"
    Text txtJmeno = U"*";  // name pattern; while empty, the preview stays empty
    Text txtExt = U"*";    // extension pattern
    int chkObratitJm = 0;  // reversed processing of the name ("Obrácené zpracování")
    int chkObratitEx = 0;  // reversed processing of the extension

    Velikost optVelikost = Velikost::Zachovat;

    // "Čísla"
    Citac optCitac = Citac::Citac;
    Text txtCisloOd = U"1";    // "Od": first counter value
    Text txtDif = U"1";        // "Krok": counter step
    int chkStejnePripony = 0;  // "Stejná podle přípon"
    int chkINula = 0;          // "i nula"
    int chkCisloNula = 0;      // "vložit nulu"
    ZachovatCisla optZachovatCisla = ZachovatCisla::Format;
    TypCislovani optZachovatTypCislovani = TypCislovani::Cislice;  // digit set inside old names
    Text txtZachovatCiselnyZaklad = U"10";                         // "Původní základ"
    TypCislovani optTypCislovani = TypCislovani::Cislice;          // digit set of written numbers
    Text txtCiselnyZaklad = U"10";                                 // "Základ"

    // "Doplnění záměn"
    int chkBezDia = 0;  // "Bez diakritiky"
    Pauzy cboPauzy = Pauzy::BezeZmeny;
    Text txtZamenitCo;     // "Záměna Co"
    Text txtZamenitZaCo;   // "Čím"
    int chkZamenaVse = 0;  // "Celé"
    Text txtOdstranit;     // "Odstranit znaky"
    int chkJmeno = 0;      // "Obrátit" the new name
    int chkExt = 0;        // "Obrátit" the new extension

    Razeni optRazeni = Razeni::Jmeno;
    int chkCisla = 0;     // "Číselně"
    int chkObracene = 0;  // "Obráceně"

    // Listing and renaming
    File optFile = File::Soubory;
    Text txtVyhlFiltr = U"*.*";  // listing filter
    Text txtCesta;               // the folder worked on; the window starts it at the user's home
    int chkKazdy = 0;            // "Potvrzovat každý soubor"

    // "Regulární výraz": "Co" is a regular expression and "Čím" its replacement ("Celé" then
    // means nothing)
    int chkRegVyraz = 0;
    // "Datum" of an entry for the date codes and "Řazení: Datum"
    Datum optDatum = Datum::Zmeny;
};

}  // namespace zelvar
