#pragma once
// Input rules of the numeric option fields. KontrolaZnaku decides per typed character by a mode
// letter; the radix helpers keep a radix field to digits while typing and within the limit of its
// digit set (10, 26 or 36, never below 2) once the user leaves it. All of it is pure: the caller
// sounds the beep and shows the message that a verdict asks for.
#include "engine/text.h"

namespace zelvar {

struct KeyVerdict {
    char32_t code = 0;     // the key to process instead of the typed one; 0 swallows it
    bool beep = false;     // sound the system beep
    bool message = false;  // then show kKontrolaZprava (exclamation, OK) under kKontrolaTitulek
};

inline const Text kKontrolaTitulek = U"Kontrola napsaných znaků";
inline const Text kKontrolaZprava = U"Bohužel sem nelze napsat nic";

inline constexpr char32_t kKeyBackspace = 8, kKeyTab = 9, kKeyEnter = 13;

// znak: the typed character (Backspace 8, Tab 9, Enter 13). rezim: the mode, compared whole and
// case-sensitively. seznam: the mode's character list, empty when the caller gives none.
KeyVerdict KontrolaZnaku(char32_t znak, const Text& rezim, const Text& seznam = Text());

// A key typed into a radix field: digits are inserted; Backspace always removes the last
// character, wherever the caret stands; every other key is dropped without a beep.
struct RadixKey {
    bool insert = false;  // let the typed digit through
    Text text;            // the field's text after the key
};
RadixKey radixKeyPress(const Text& text, char32_t key);

// The text of a radix field when it loses the focus: its leading number in decimal, at least 2,
// at most the limit of the digit set (0 "0-9", 1 "a-z", 2 "0-9 a-z").
Text normaliseRadix(const Text& text, int digitSet);
// The text after a change of the digit set: the limit when the value exceeds it, else unchanged.
Text capRadix(const Text& text, int digitSet);

}  // namespace zelvar
