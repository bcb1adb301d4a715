// The preset reader: the input is the file. A damaged file loads nothing and says why; a preset
// that loads holds what the window's fields may hold, and written out again it reads back the same.
#include "engine/charset.h"
#include "engine/optionkeys.h"
#include "fuzz_input.h"
#include "platform/presets.h"

using namespace zelvar;

namespace {

std::vector<std::string> stored(const RenameOptions& o) {
    std::vector<std::string> out;
    for (const OptionKey& key : optionKeys()) out.push_back(optionValue(o, key));
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const PresetRead read = parsePreset(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!read.ok()) {
        fuzz::check(stored(read.preset.options) == stored(RenameOptions()) && read.name.empty(),
                    "a damaged preset loaded something");
        return 0;
    }
    const RenameOptions& o = read.preset.options;
    fuzz::check(o.txtZamenitCo.find_first_of(kZakazaneZnaky) == Text::npos &&
                    o.txtZamenitZaCo.find_first_of(kZakazaneZnaky) == Text::npos,
                "a replacement field holds a forbidden character");
    for (const OptionKey& key : optionKeys()) {
        RenameOptions again;
        fuzz::check(setOptionValue(again, key, optionValue(o, key)), "a loaded value is not one the option takes");
    }
    const std::string text = presetText(read.name, read.preset);
    const PresetRead back = parsePreset(text);
    fuzz::check(back.ok(), "a preset written out does not load");
    fuzz::check(back.name == read.name && back.preset.layout == read.preset.layout, "the name or layout changed");
    fuzz::check(stored(back.preset.options) == stored(o), "an option changed on the way out and back");
    fuzz::check(presetText(back.name, back.preset) == text, "writing is not stable");
    return 0;
}
