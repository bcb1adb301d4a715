#include "engine/numbers.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace zelvar {

namespace {

const Text kAlphabet = U"0123456789abcdefghijklmnopqrstuvwxyz";

// 1-based position in kAlphabet where the digits of a set start.
int digitOffset(int digitSet) { return digitSet == 1 ? 11 : 1; }

}  // namespace

int highestRadix(int digitSet) {
    switch (digitSet) {
        case 0: return 10;
        case 1: return 26;
        default: return 36;
    }
}

int clampRadix(int radix, int digitSet) {
    if (radix < 2) return 2;
    const int highest = highestRadix(digitSet);
    return radix > highest ? highest : radix;
}

double ZbytekDeleni(double a, double b) {
    const double A = std::fabs(std::floor(a));
    const double B = std::fabs(std::floor(b));
    const double Q = std::floor(A / B);
    return A - Q * B;
}

Text CisloNaText(double value, int radix, int minWidth, int digitSet) {
    Text digits;
    digits.reserve(static_cast<std::size_t>(std::max(minWidth, 8)));
    appendDigits(digits, value, radix, minWidth, digitSet);
    return digits;
}

void appendDigits(Text& out, double value, int radix, int minWidth, int digitSet, std::size_t maxPadding) {
    // An infinite value has no digits and would never reach zero.
    if (std::isinf(value)) return;
    const double base = clampRadix(radix, digitSet);
    value = std::floor(value);
    const int offset = digitOffset(digitSet);
    const char32_t padding = digitSet == 1 ? U'a' : U'0';

    // Written lowest digit first, padded, then turned.
    const std::size_t start = out.size();
    if (value >= 0 && value < 2147483648.0) {
        // Every counter of a folder lands here. Below 2^31 the division in doubles is exact enough
        // that its floor is the integer quotient, so whole numbers give the same digits faster.
        const auto radixWhole = static_cast<std::uint32_t>(base);
        auto rest = static_cast<std::uint32_t>(value);
        do {
            out.push_back(kAlphabet[static_cast<std::size_t>(offset - 1) + rest % radixWhole]);
            rest /= radixWhole;
        } while (rest > 0);
    } else {
        do {
            const double index = offset + ZbytekDeleni(value, base);
            value = std::floor(value / base);
            // Near the end of double precision the remainder can fall outside 0..base-1; a digit
            // that points outside the alphabet is left out rather than invented.
            if (index >= 1 && index <= static_cast<double>(kAlphabet.size())) {
                out.push_back(kAlphabet[static_cast<std::size_t>(index) - 1]);
            }
        } while (value > 0);
    }

    const std::size_t written = out.size() - start;
    if (minWidth > 0 && written < static_cast<std::size_t>(minWidth)) {
        out.append(std::min(static_cast<std::size_t>(minWidth) - written, maxPadding), padding);
    }
    std::reverse(out.begin() + static_cast<std::ptrdiff_t>(start), out.end());
}

double TextNaCislo(const Text& text, int radix, int digitSet) {
    const int base = clampRadix(radix, digitSet);
    const Text valid =
        kAlphabet.substr(static_cast<std::size_t>(digitOffset(digitSet) - 1), static_cast<std::size_t>(base));
    std::vector<int> values;
    for (char32_t c : text) {
        const auto at = valid.find(lowerChar(c));
        if (at == Text::npos) break;
        values.push_back(static_cast<int>(at));
    }
    // Each digit is weighted by its own power and the terms are summed from the first digit on;
    // Horner's scheme would round differently once the value passes 2^53.
    double sum = 0;
    const std::size_t length = values.size();
    for (std::size_t i = 0; i < length; ++i) {
        sum += values[i] * std::pow(static_cast<double>(base), static_cast<double>(length - 1 - i));
    }
    return sum;
}

}  // namespace zelvar
