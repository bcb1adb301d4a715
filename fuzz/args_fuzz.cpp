// The command-line parser: every line is one argument. A refusal says why; an accepted request
// holds what the key filters of the window would let through.
#include "cli/args.h"
#include "fuzz_input.h"

using namespace zelvar;

namespace {

bool digitsOnly(const Text& t) {
    for (char32_t c : t)
        if (c < U'0' || c > U'9') return false;
    return true;
}

int number(const Text& t) {
    int n = 0;
    for (char32_t c : t) n = n * 10 + static_cast<int>(c - U'0');
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::Input in(data, size);
    std::vector<std::string> args;
    for (const std::string& line : in.lines) args.push_back(fuzz::withoutNul(line));
    const cli::ParseResult parsed = cli::parseArgs(args);
    if (!parsed.ok()) return 0;
    const RenameOptions& o = parsed.request.options;
    fuzz::check(o.txtZamenitCo.find_first_of(kZakazaneZnaky) == Text::npos &&
                    o.txtZamenitZaCo.find_first_of(kZakazaneZnaky) == Text::npos,
                "a replacement field holds a forbidden character");
    fuzz::check(digitsOnly(o.txtCisloOd), "the start holds more than digits");
    for (const auto& [radix, digitSet] : {std::pair{o.txtCiselnyZaklad, o.optTypCislovani},
                                          std::pair{o.txtZachovatCiselnyZaklad, o.optZachovatTypCislovani}}) {
        fuzz::check(!radix.empty() && radix.size() <= 2 && digitsOnly(radix), "a radix is not a number");
        const int limit = digitSet == TypCislovani::Cislice ? 10 : digitSet == TypCislovani::Pismena ? 26 : 36;
        fuzz::check(number(radix) >= 2 && number(radix) <= limit, "a radix out of range");
    }
    return 0;
}
