#pragma once
// New-name composition: a whole old name becomes the full new name (name, ".", extension) with its
// letter case, plus the name helpers that other parts share. Nothing here fails or throws.
#include "engine/charset.h"
#include "engine/datetime.h"
#include "engine/options.h"
#include "engine/pattern.h"

namespace zelvar {

// Separators after which "První Velká" starts a capital.
inline const Text kOddelovace = U" -_,.;=+[]{}'!@#$%^&";

// New name of a listed entry whose name and extension are already split.
Text NoveJmenoStr(std::u32string_view Jm, std::u32string_view Ex, double N, const DateTime& d, bool Pocitat,
                  const RenameOptions& options, const CompiledPatterns& patterns);
// The same written into `out` (what it held goes), so that a caller naming many entries reuses one
// buffer. `maxPadding` limits the padding digits of every number (see counterPadding).
void NoveJmenoStr(Text& out, std::u32string_view Jm, std::u32string_view Ex, double N, const DateTime& d, bool Pocitat,
                  const RenameOptions& options, const CompiledPatterns& patterns,
                  std::size_t maxPadding = static_cast<std::size_t>(-1));
// How many padding digits a number of a new name needs at most for the name's verdict to come out
// as with every digit of its width: past that the name is too long either way. No limit (the
// largest size_t) where the character options could shorten the name below the folder's limit again.
std::size_t counterPadding(const RenameOptions& options, std::size_t nameMax);
// New name of a whole name (the samples): split at its last ".", date-time zero.
Text NoveJmeno(const Text& Jm, double N, bool Pocitat, const RenameOptions& options, const CompiledPatterns& patterns);

inline const Text kVzor1 = U"Abcd efGHij klm NOP.HAF";
inline const Text kVzor2 = U"xY.Gh";

struct Ukazky {
    CompiledPatterns patterns;  // the freshly compiled pair
    Text ukazka1;               // NoveJmeno(kVzor1, 1, false)
    Text ukazka2;               // NoveJmeno(kVzor2, 2, false)
};
// Compiles both patterns and computes the two sample results.
Ukazky ZpracujVzor(const RenameOptions& options);

std::size_t PosledniTecka(const Text& text);  // 1-based position of the last ".", 0 if none
Text PrvniVelka(const Text& text);
std::size_t NajdiOddelovac(std::size_t start, const Text& text, const Text& set);
Text BezZakazanychZnaku(const Text& text);

}  // namespace zelvar
