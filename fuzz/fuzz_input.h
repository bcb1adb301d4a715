#pragma once
// What every fuzz target shares: the input read as lines, so that corpus files stay readable
// ("\n" ends a line; the first line's bytes choose the options), and a check that stops the run
// with the input's fault named.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "engine/options.h"
#include "engine/text.h"
#include "preview/compose.h"

namespace zelvar::fuzz {

struct Input {
    std::vector<std::string> lines;

    Input(const std::uint8_t* data, std::size_t size) {
        std::string_view rest(reinterpret_cast<const char*>(data), size);
        for (;;) {
            const std::size_t end = rest.find('\n');
            lines.emplace_back(rest.substr(0, end));
            if (end == std::string_view::npos) break;
            rest.remove_prefix(end + 1);
        }
    }
    std::string line(std::size_t i) const { return i < lines.size() ? lines[i] : std::string(); }
    // The i-th byte of the first line, as a choice among n.
    int choice(std::size_t i, int n) const {
        const std::string& first = lines.front();
        return i < first.size() ? static_cast<unsigned char>(first[i]) % n : 0;
    }
};

inline void check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

// No front end can hand over a NUL byte (argv, key filters).
inline std::string withoutNul(std::string s) {
    std::erase(s, '\0');
    return s;
}

// Options as the front ends deliver them: choices from the first line, texts from lines 1..7
// (name and extension pattern, "Záměna Co", "Čím", "Odstranit znaky", "Od", "Krok"); the replacement
// pair never holds a forbidden character and the start only digits, as the front ends ensure.
inline RenameOptions options(const Input& in) {
    RenameOptions o;
    o.chkObratitJm = in.choice(0, 2);
    o.chkObratitEx = in.choice(1, 2);
    o.optVelikost = Velikost(in.choice(2, 4));
    o.optCitac = Citac(in.choice(3, 3));
    o.chkStejnePripony = in.choice(4, 2);
    o.chkINula = in.choice(5, 2);
    o.chkCisloNula = in.choice(6, 2);
    o.optZachovatCisla = ZachovatCisla(in.choice(7, 2));
    o.optZachovatTypCislovani = TypCislovani(in.choice(8, 3));
    o.optTypCislovani = TypCislovani(in.choice(9, 3));
    o.chkBezDia = in.choice(10, 2);
    o.cboPauzy = Pauzy(in.choice(11, 5) - 1);
    o.chkZamenaVse = in.choice(12, 2);
    o.chkJmeno = in.choice(13, 2);
    o.chkExt = in.choice(14, 2);
    o.optRazeni = Razeni(in.choice(15, 4));
    o.chkCisla = in.choice(16, 2);
    o.chkObracene = in.choice(17, 2);
    static const char* const kRadix[] = {"10", "2", "16", "36", "26", "7"};
    o.txtCiselnyZaklad = fromUtf8(kRadix[in.choice(18, 6) % (o.optTypCislovani == TypCislovani::Cislice ? 3 : 6)]);
    o.txtZachovatCiselnyZaklad =
        fromUtf8(kRadix[in.choice(19, 6) % (o.optZachovatTypCislovani == TypCislovani::Cislice ? 3 : 6)]);
    o.txtJmeno = fromUtf8(withoutNul(in.line(1)));
    o.txtExt = fromUtf8(withoutNul(in.line(2)));
    o.txtZamenitCo = BezZakazanychZnaku(fromUtf8(withoutNul(in.line(3))));
    o.txtZamenitZaCo = BezZakazanychZnaku(fromUtf8(withoutNul(in.line(4))));
    o.txtOdstranit = fromUtf8(withoutNul(in.line(5)));
    std::string start = in.line(6), step = in.line(7);
    std::erase_if(start, [](char c) { return c < '0' || c > '9'; });
    o.txtCisloOd = fromUtf8(start.substr(0, 12));
    o.txtDif = fromUtf8(withoutNul(step));
    return o;
}

// A name a folder can hold: no "/", no NUL, not empty, "." or "..".
inline bool usableName(const Text& name) {
    return !name.empty() && name != U"." && name != U".." && name.find(U'/') == Text::npos &&
           name.find(U'\0') == Text::npos;
}

}  // namespace zelvar::fuzz
