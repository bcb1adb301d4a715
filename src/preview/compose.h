#pragma once
// New-name composition: a whole old name becomes the full new name (name, ".", extension) with its
// letter case, plus the name helpers that other parts share. Nothing here fails or throws.
#include "engine/charset.h"
#include "engine/datetime.h"
#include "engine/options.h"
#include "engine/pattern.h"
#include "engine/pipeline.h"

namespace zelvar {

// Separators after which "První Velká" starts a capital.
inline const Text kOddelovace = U" -_,.;=+[]{}'!@#$%^&";

// New name of a listed entry whose name and extension are already split.
Text NoveJmenoStr(std::u32string_view Jm, std::u32string_view Ex, double N, const DateTime& d, bool Pocitat,
                  const RenameOptions& options, const CompiledPatterns& patterns);
// How far a new name is written out where only its verdict matters past a point.
struct NameLimits {
    std::size_t maxPadding = kNoLimit;  // the padding digits of every number (see counterPadding)
    // The folder's limit in bytes: a name part with more characters than that may end early (see
    // ZpracVolani), and a name part past it gets no extension; the name is too long either way.
    std::size_t nameMax = kNoLimit;
};
// The same written into `out` (what it held goes), so that a caller naming many entries reuses one
// buffer.
void NoveJmenoStr(Text& out, std::u32string_view Jm, std::u32string_view Ex, double N, const DateTime& d, bool Pocitat,
                  const RenameOptions& options, const CompiledPatterns& patterns, const NameLimits& limits = {});
// How many padding digits a number of a new name needs at most for the name's verdict to come out
// as with every digit of its width: past that the name is too long either way. No limit (the
// largest size_t) where the character options could shorten the name below the folder's limit again.
std::size_t counterPadding(const RenameOptions& options, std::size_t nameMax);
// Both limits for a folder whose names may have `nameMax` bytes: a preview's verdicts come out as
// with names written in full.
NameLimits nameLimits(const RenameOptions& options, std::size_t nameMax);
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
