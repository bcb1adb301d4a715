#include "engine/optionkeys.h"

#include <algorithm>

#include "engine/charset.h"

namespace zelvar {

namespace {

using O = RenameOptions;

OptionKey flag(std::string_view name, int O::*field) { return {name, OptionKind::Flag, field, nullptr, {}}; }
OptionKey text(std::string_view name, Text O::*field) { return {name, OptionKind::Text, nullptr, field, {}}; }
OptionKey digits(std::string_view name, Text O::*field) { return {name, OptionKind::Digits, nullptr, field, {}}; }
OptionKey choice(std::string_view name, int O::*field, std::vector<OptionChoice> choices) {
    return {name, OptionKind::Choice, field, nullptr, std::move(choices)};
}

const std::vector<OptionChoice> kDigitSets = {{"0-9", 0}, {"a-z", 1}, {"0-9a-z", 2}};

}  // namespace

const std::vector<OptionKey>& optionKeys() {
    static const std::vector<OptionKey> table = [] {
        std::vector<OptionKey> t = {
            text("name", &O::txtJmeno),
            text("ext", &O::txtExt),
            flag("mirror-name", &O::chkObratitJm),
            flag("mirror-ext", &O::chkObratitEx),
            choice("case", &O::optVelikost, {{"keep", 0}, {"lower", 1}, {"upper", 2}, {"title", 3}}),
            choice("numbering", &O::optCitac, {{"counter", 0}, {"same", 1}, {"keep", 2}}),
            digits("start", &O::txtCisloOd),
            text("step", &O::txtDif),
            flag("same-by-ext", &O::chkStejnePripony),
            flag("zero-first", &O::chkINula),
            flag("insert-zero", &O::chkCisloNula),
            choice("keep-mode", &O::optZachovatCisla, {{"format", 0}, {"move", 1}}),
            choice("digits", &O::optTypCislovani, kDigitSets),
            digits("radix", &O::txtCiselnyZaklad),
            choice("old-digits", &O::optZachovatTypCislovani, kDigitSets),
            digits("old-radix", &O::txtZachovatCiselnyZaklad),
            flag("no-diacritics", &O::chkBezDia),
            choice("separators", &O::cboPauzy,
                   {{"keep", 0}, {"remove", 1}, {"underscore", 2}, {"hyphen", 3}, {"space", 4}, {"keep-hyphen", 5}}),
            text("replace", &O::txtZamenitCo),
            text("with", &O::txtZamenitZaCo),
            flag("whole", &O::chkZamenaVse),
            text("remove", &O::txtOdstranit),
            flag("reverse-name", &O::chkJmeno),
            flag("reverse-ext", &O::chkExt),
            choice("sort", &O::optRazeni, {{"name", 0}, {"ext", 1}, {"date", 2}, {"none", 3}}),
            flag("numeric", &O::chkCisla),
            flag("descending", &O::chkObracene),
            choice("kind", &O::optFile, {{"files", 0}, {"folders", 1}, {"both", 2}}),
            text("filter", &O::txtVyhlFiltr),
            choice("date", &O::optDatum, {{"modified", 0}, {"taken", 1}}),
            flag("regex", &O::chkRegVyraz),
            flag("confirm-each", &O::chkKazdy),
        };
        // The command line never asks before a rename.
        t.back().commandLine = false;
        return t;
    }();
    return table;
}

const OptionKey* findOptionKey(std::string_view name) {
    const auto& keys = optionKeys();
    const auto it = std::find_if(keys.begin(), keys.end(), [&](const OptionKey& k) { return k.name == name; });
    return it == keys.end() ? nullptr : &*it;
}

std::string optionValue(const RenameOptions& options, const OptionKey& key) {
    switch (key.kind) {
        case OptionKind::Flag: return options.*key.number ? "1" : "0";
        case OptionKind::Choice:
            for (const OptionChoice& c : key.choices)
                if (c.index == options.*key.number) return std::string(c.word);
            return std::string(key.choices.front().word);
        case OptionKind::Text:
        case OptionKind::Digits: break;
    }
    return toUtf8(options.*key.text);
}

bool setOptionValue(RenameOptions& options, const OptionKey& key, std::string_view value) {
    switch (key.kind) {
        case OptionKind::Flag:
            if (value != "0" && value != "1") return false;
            options.*key.number = value == "1";
            return true;
        case OptionKind::Choice:
            for (const OptionChoice& c : key.choices) {
                if (c.word == value) {
                    options.*key.number = c.index;
                    return true;
                }
            }
            return false;
        case OptionKind::Digits:
            if (!std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; })) return false;
            break;
        case OptionKind::Text: break;
    }
    options.*key.text = fromUtf8(value);
    return true;
}

std::string choiceWords(const OptionKey& key) {
    std::string list;
    for (const OptionChoice& c : key.choices) {
        if (!list.empty()) list += ", ";
        list += c.word;
    }
    return list;
}

void keepOptionsValid(RenameOptions& options) {
    if (options.chkRegVyraz != 0) {
        // An expression needs every character; its replacement also \ and $, which name its groups.
        // What the replacement writes still loses the forbidden characters, name by name.
        options.txtZamenitZaCo = OdstranZnaky(options.txtZamenitZaCo, U"/<>|\":*?");
        return;
    }
    options.txtZamenitCo = OdstranZnaky(options.txtZamenitCo, kZakazaneZnaky);
    options.txtZamenitZaCo = OdstranZnaky(options.txtZamenitZaCo, kZakazaneZnaky);
}

}  // namespace zelvar
