#include "engine/optionkeys.h"

#include <algorithm>

#include "engine/charset.h"

namespace zelvar {

namespace {

using O = RenameOptions;

template <int O::*Field>
OptionKey flag(std::string_view name) {
    return {name, OptionKind::Flag, numberField<Field>(), nullptr, {}};
}
OptionKey text(std::string_view name, Text O::*field) { return {name, OptionKind::Text, {}, field, {}}; }
OptionKey digits(std::string_view name, Text O::*field) { return {name, OptionKind::Digits, {}, field, {}}; }

template <class E>
using Words = std::initializer_list<std::pair<std::string_view, E>>;

template <auto Field, class E>
OptionKey choice(std::string_view name, Words<E> words) {
    std::vector<OptionChoice> choices;
    for (const auto& [word, value] : words) choices.push_back({word, static_cast<int>(value)});
    return {name, OptionKind::Choice, numberField<Field>(), nullptr, std::move(choices)};
}

using TC = TypCislovani;
const Words<TC> kDigitSets = {{"0-9", TC::Cislice}, {"a-z", TC::Pismena}, {"0-9a-z", TC::CislicePismena}};

}  // namespace

const std::vector<OptionKey>& optionKeys() {
    static const std::vector<OptionKey> table = [] {
        std::vector<OptionKey> t = {
            text("name", &O::txtJmeno),
            text("ext", &O::txtExt),
            flag<&O::chkObratitJm>("mirror-name"),
            flag<&O::chkObratitEx>("mirror-ext"),
            choice<&O::optVelikost, Velikost>("case", {{"keep", Velikost::Zachovat},
                                                       {"lower", Velikost::Mala},
                                                       {"upper", Velikost::Velka},
                                                       {"title", Velikost::PrvniVelka}}),
            choice<&O::optCitac, Citac>(
                "numbering", {{"counter", Citac::Citac}, {"same", Citac::JenStejne}, {"keep", Citac::Zachovat}}),
            digits("start", &O::txtCisloOd),
            text("step", &O::txtDif),
            flag<&O::chkStejnePripony>("same-by-ext"),
            flag<&O::chkINula>("zero-first"),
            flag<&O::chkCisloNula>("insert-zero"),
            choice<&O::optZachovatCisla, ZachovatCisla>(
                "keep-mode", {{"format", ZachovatCisla::Format}, {"move", ZachovatCisla::FormatPresun}}),
            choice<&O::optTypCislovani>("digits", kDigitSets),
            digits("radix", &O::txtCiselnyZaklad),
            choice<&O::optZachovatTypCislovani>("old-digits", kDigitSets),
            digits("old-radix", &O::txtZachovatCiselnyZaklad),
            flag<&O::chkBezDia>("no-diacritics"),
            choice<&O::cboPauzy, Pauzy>("separators", {{"keep", Pauzy::BezeZmeny},
                                                       {"remove", Pauzy::OdstranitVsechny},
                                                       {"underscore", Pauzy::ZamenZaPodtrzitko},
                                                       {"hyphen", Pauzy::ZamenZaPomlcku},
                                                       {"space", Pauzy::ZamenZaMezery},
                                                       {"keep-hyphen", Pauzy::OdstranitMimoPomlcky}}),
            text("replace", &O::txtZamenitCo),
            text("with", &O::txtZamenitZaCo),
            flag<&O::chkZamenaVse>("whole"),
            text("remove", &O::txtOdstranit),
            flag<&O::chkJmeno>("reverse-name"),
            flag<&O::chkExt>("reverse-ext"),
            choice<&O::optRazeni, Razeni>("sort", {{"name", Razeni::Jmeno},
                                                   {"ext", Razeni::Pripona},
                                                   {"date", Razeni::Datum},
                                                   {"none", Razeni::Neradit}}),
            flag<&O::chkCisla>("numeric"),
            flag<&O::chkObracene>("descending"),
            choice<&O::optFile, File>("kind",
                                      {{"files", File::Soubory}, {"folders", File::Slozky}, {"both", File::Oboje}}),
            text("filter", &O::txtVyhlFiltr),
            choice<&O::optDatum, Datum>("date", {{"modified", Datum::Zmeny}, {"taken", Datum::Porizeni}}),
            flag<&O::chkRegVyraz>("regex"),
            flag<&O::chkKazdy>("confirm-each"),
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
        case OptionKind::Flag: return key.number.get(options) ? "1" : "0";
        case OptionKind::Choice:
            for (const OptionChoice& c : key.choices)
                if (c.index == key.number.get(options)) return std::string(c.word);
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
            key.number.set(options, value == "1");
            return true;
        case OptionKind::Choice:
            for (const OptionChoice& c : key.choices) {
                if (c.word == value) {
                    key.number.set(options, c.index);
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
