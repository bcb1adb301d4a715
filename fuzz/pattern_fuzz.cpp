// Pattern compiler and composition: options and patterns from the input, then every further line
// an old name. A new name is the same each time it is made and never holds "/" or NUL.
#include "fuzz_input.h"
#include "preview/compose.h"

using namespace zelvar;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::Input in(data, size);
    const RenameOptions options = fuzz::options(in);
    const Ukazky samples = ZpracujVzor(options);
    fuzz::check(samples.ukazka1.find(U'/') == Text::npos, "sample holds /");
    const CompiledPatterns again = ZpracujFiltrVystupCely(options);
    fuzz::check(again.jmeno.ZnakyPred == samples.patterns.jmeno.ZnakyPred &&
                    again.ext.PolohyZa == samples.patterns.ext.PolohyZa,
                "compiling twice differs");
    for (std::size_t i = 8; i < in.lines.size() && i < 64; ++i) {
        std::string name = fuzz::withoutNul(in.line(i));
        std::erase(name, '/');
        if (name.empty()) continue;
        const double n = static_cast<double>(i) - 8 - in.choice(20, 3);
        const bool count = in.choice(21, 2) != 0;
        const Text made = NoveJmeno(fromUtf8(name), n, count, options, samples.patterns);
        fuzz::check(made == NoveJmeno(fromUtf8(name), n, count, options, samples.patterns), "composing twice differs");
        fuzz::check(made.find(U'/') == Text::npos && made.find(U'\0') == Text::npos, "new name holds / or NUL");
    }
    return 0;
}
