#pragma once
// Whole numbers written and read in any radix from 2 to 36 with three digit sets, in double
// arithmetic (exact to 2^53). The formulas are followed as written so results agree at the edges.
#include "engine/text.h"

namespace zelvar {

// Digit sets: 0 "0-9", 1 "a-z", 2 (and any other value) "0-9 a-z", the values of TypCislovani.
int highestRadix(int digitSet);
int clampRadix(int radix, int digitSet);

double ZbytekDeleni(double a, double b);
Text CisloNaText(double value, int radix, int minWidth, int digitSet);
// The same appended to `out`, with at most `maxPadding` padding digits.
void appendDigits(Text& out, double value, int radix, int minWidth, int digitSet,
                  std::size_t maxPadding = static_cast<std::size_t>(-1));
double TextNaCislo(const Text& text, int radix, int digitSet);

}  // namespace zelvar
