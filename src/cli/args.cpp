#include "cli/args.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <utility>

#include "engine/keyfilter.h"
#include "engine/optionkeys.h"
#include "engine/regex.h"
#include "platform/presets.h"
#include "preview/compose.h"

namespace zelvar::cli {

namespace {

bool allDigits(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A whole number with an optional sign that a double holds exactly.
std::optional<double> wholeNumber(std::string_view s) {
    bool negative = false;
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
        negative = s[0] == '-';
        s.remove_prefix(1);
    }
    if (s.empty() || !allDigits(s)) return std::nullopt;
    constexpr std::uint64_t kExact = std::uint64_t{1} << 53;
    std::uint64_t value = 0;
    for (char c : s) {
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        if (value > kExact) return std::nullopt;
    }
    const double d = static_cast<double>(value);
    return negative ? -d : d;
}

using Setter = std::function<std::string(Request&, const std::string&)>;

struct OptionRule {
    std::string_view name;  // without the leading "--"
    bool takesValue;
    Setter set;                                    // returns an error message, or "" when the value was taken
    bool (*optional)(std::string_view) = nullptr;  // a value that may be left out: the next argument
                                                   // is taken only when this says it is one
};

std::string invalidValue(std::string_view option, const std::string& value, const std::string& expected) {
    return "invalid value '" + value + "' for --" + std::string(option) + " (" + expected + ")";
}

OptionRule requestFlag(std::string_view name, bool Request::*field) {
    return {name, false, [field](Request& r, const std::string&) {
                r.*field = true;
                return std::string();
            }};
}

OptionRule actionFlag(std::string_view name, Action action) {
    return {name, false, [action](Request& r, const std::string&) {
                r.action = action;
                return std::string();
            }};
}

// The rename options come from the table they share with presets.
OptionRule renameOption(const OptionKey& key) {
    if (key.kind == OptionKind::Flag) {
        return {key.name, false, [&key](Request& r, const std::string&) {
                    key.number.set(r.options, 1);
                    return std::string();
                }};
    }
    return {key.name, true, [&key](Request& r, const std::string& value) {
                if (setOptionValue(r.options, key, value)) return std::string();
                return invalidValue(key.name, value, key.kind == OptionKind::Choice ? choiceWords(key) : "digits only");
            }};
}

std::string setEdit(Request& r, const std::string& value) {
    if (value.empty()) return "--edit needs a file name, or - for standard input";
    r.edit = true;
    r.editFile = value;
    return {};
}

std::string addSample(Request& r, const std::string& value) {
    r.samples.push_back(value);
    return {};
}

std::string setCounter(Request& r, const std::string& value) {
    const auto n = wholeNumber(value);
    if (!n) return invalidValue("counter", value, "a whole number");
    r.counter = *n;
    return {};
}

std::string setUndo(Request& r, const std::string& value) {
    if (!value.empty() && !isRunId(value)) return invalidValue("undo", value, "a run id as --history prints it");
    r.action = Action::Undo;
    r.undoId = value;
    return {};
}

// A preset takes the place of every option given so far; the options after it change it.
std::string usePreset(Request& r, const std::string& value) {
    const PresetRead read = loadPreset(value);
    if (!read.ok()) return toUtf8(read.error);
    const Text folder = r.options.txtCesta;
    r.options = read.preset.options;
    r.options.txtCesta = folder;
    r.layout = read.preset.layout;
    return {};
}

std::string setSavePreset(Request& r, const std::string& value) {
    if (value.empty()) return "--save-preset needs a name";
    r.action = Action::SavePreset;
    r.savePresetName = value;
    return {};
}

std::string setRenameList(Request& r, const std::string& value) {
    if (value.empty()) return "--rename-list needs a file name, or - for standard input";
    r.renameListFile = value;
    return {};
}

const std::vector<OptionRule>& optionTable() {
    static const std::vector<OptionRule> table = [] {
        std::vector<OptionRule> t;
        for (const OptionKey& key : optionKeys())
            if (key.commandLine) t.push_back(renameOption(key));
        const std::vector<OptionRule> more = {
            requestFlag("stats", &Request::stats),
            requestFlag("apply", &Request::apply),
            requestFlag("json", &Request::json),
            {"edit", true, setEdit},
            {"sample", true, addSample},
            {"counter", true, setCounter},
            {"undo", false, setUndo, isRunId},
            actionFlag("redo", Action::Redo),
            actionFlag("history", Action::History),
            actionFlag("help", Action::Help),
            actionFlag("version", Action::Version),
            {"preset", true, usePreset},
            {"save-preset", true, setSavePreset},
            actionFlag("presets", Action::ListPresets),
            {"rename-list", true, setRenameList},
        };
        t.insert(t.end(), more.begin(), more.end());
        return t;
    }();
    return table;
}

const OptionRule* findOption(std::string_view name) {
    for (const auto& option : optionTable()) {
        if (option.name == name) return &option;
    }
    return nullptr;
}

// Checks made once every option is known: they depend on several options together.
std::string finish(Request& r, int folders) {
    auto& o = r.options;
    keepOptionsValid(o);
    o.txtCiselnyZaklad = normaliseRadix(o.txtCiselnyZaklad, static_cast<int>(o.optTypCislovani));
    o.txtZachovatCiselnyZaklad =
        normaliseRadix(o.txtZachovatCiselnyZaklad, static_cast<int>(o.optZachovatTypCislovani));
    if (o.chkRegVyraz != 0) {
        // An expression needs every character; its replacement, as the window's "Čím", also \ and $.
        if (!o.txtZamenitCo.empty()) {
            const CompiledRegex regex(o.txtZamenitCo, o.txtZamenitZaCo);
            if (!regex.valid())
                return "invalid regular expression in --replace: " + toUtf8(regex.error()) + " (character " +
                       std::to_string(regex.errorPosition()) + ")";
        }
    }
    if (!r.renameListFile.empty()) {
        const char* other = r.edit                        ? "--edit"
                            : r.action == Action::Undo    ? "--undo"
                            : r.action == Action::Redo    ? "--redo"
                            : r.action == Action::History ? "--history"
                            : !r.samples.empty()          ? "--sample"
                                                          : nullptr;
        if (other) return std::string("--rename-list cannot be combined with ") + other;
    }
    if (r.action == Action::Undo || r.action == Action::Redo || r.action == Action::History) {
        const std::string mode = r.action == Action::Undo   ? "--undo"
                                 : r.action == Action::Redo ? "--redo"
                                                            : "--history";
        if (!r.samples.empty()) return mode + " cannot be combined with --sample";
        if (r.apply) return mode + " cannot be combined with --apply";
        if (r.edit) return mode + " cannot be combined with --edit";
        if (r.stats) return mode + " cannot be combined with --stats";
        if (r.json) return mode + " cannot be combined with --json";
        return {};
    }
    if (r.action == Action::SavePreset || r.action == Action::ListPresets) {
        const std::string mode = r.action == Action::SavePreset ? "--save-preset" : "--presets";
        if (folders > 0) return mode + " reads no folder, so FOLDER must not be given";
        if (!r.samples.empty()) return mode + " cannot be combined with --sample";
        if (r.apply) return mode + " cannot be combined with --apply";
        if (r.edit) return mode + " cannot be combined with --edit";
        if (r.stats) return mode + " cannot be combined with --stats";
        if (r.json) return mode + " cannot be combined with --json";
        return {};
    }
    if (r.samples.empty()) return {};
    if (folders > 0) return "--sample reads no folder, so FOLDER must not be given";
    if (r.apply) return "--sample cannot be combined with --apply";
    if (r.edit) return "--sample cannot be combined with --edit";
    if (r.stats) return "--sample cannot be combined with --stats";
    if (r.json) return "--sample cannot be combined with --json";
    r.action = Action::Samples;
    return {};
}

}  // namespace

bool isRunId(std::string_view text) {
    // Date, time, microseconds, process id.
    constexpr std::size_t kParts[] = {8, 6, 6};
    for (const std::size_t width : kParts) {
        if (text.size() <= width || !allDigits(text.substr(0, width)) || text[width] != '-') return false;
        text.remove_prefix(width + 1);
    }
    return !text.empty() && text.size() <= 10 && allDigits(text);
}

ParseResult parseArgs(const std::vector<std::string>& args) {
    ParseResult result;
    Request& r = result.request;
    int folders = 0;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool isOption = !optionsEnded && arg.size() > 1 && arg[0] == '-';
        if (!isOption) {
            if (++folders > 1) {
                result.error = "only one FOLDER may be given ('" + r.folder + "' and '" + arg + "')";
                return result;
            }
            r.folder = arg;
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg.rfind("--", 0) != 0) {
            result.error = "unrecognized option '" + arg + "'";
            return result;
        }
        const auto eq = arg.find('=');
        const std::string name = arg.substr(2, eq == std::string::npos ? std::string::npos : eq - 2);
        const OptionRule* option = findOption(name);
        if (!option) {
            result.error = "unrecognized option '--" + name + "'";
            return result;
        }
        std::string value;
        if (eq != std::string::npos) {
            if (!option->takesValue && !option->optional) {
                result.error = "option '--" + name + "' takes no value";
                return result;
            }
            value = arg.substr(eq + 1);
        } else if (option->takesValue) {
            if (i + 1 >= args.size()) {
                result.error = "option '--" + name + "' requires a value";
                return result;
            }
            value = args[++i];
        } else if (option->optional && i + 1 < args.size() && option->optional(args[i + 1])) {
            value = args[++i];
        }
        result.error = option->set(r, value);
        if (!result.ok()) return result;
        // Help and version answer at once, whatever follows them.
        if (r.action == Action::Help || r.action == Action::Version) return result;
    }
    result.error = finish(r, folders);
    return result;
}

std::string usageText() {
    return R"(Usage: zelvar-cli [OPTION]... [FOLDER]
Preview (and with --apply carry out) the renaming of the entries of FOLDER
(default: the current directory). Nothing on disk changes without --apply.

Modes:
  --stats               print the three statistics lines after the preview
  --sample NAME         print the new name of the sample NAME (repeatable);
                        no folder is read and FOLDER must not be given
  --counter N           counter value used by --sample (whole number, default 1)
  --edit FILE           take the new names from FILE, one per line ("-": stdin);
                        LF, CR LF or CR ends a line, a leading UTF-8 BOM is
                        dropped; at most 32767 lines and 64 MB
  --rename-list FILE    new names by old name: each line of FILE ("-": stdin)
                        is OLD, a TAB, NEW; rows not in the list stay as they
                        are; an OLD not in the folder, an OLD given twice or a
                        line without a TAB is reported on stderr, exit 1, and
                        then --apply renames nothing; line ends and BOM as
                        for --edit
  --json                print JSON Lines instead of text: one object per row
                        {"old", "new", "verdict"}, verdict one of rename,
                        empty, unchanged, above, below, exists, too-long;
                        "new" is the new name, the name involved (above,
                        below, exists) or null; bytes that are not UTF-8 are
                        written as \udcXX escapes; --stats and --apply add
                        one object each
  --apply               rename every row with a usable new name, no questions
  --undo [ID]           take back the newest run in FOLDER, or the run ID that
                        --history prints (see Undo below)
  --redo                carry out again the run the newest undo took back
  --history             list the journaled runs of FOLDER, newest first
  --help                print this help and exit
  --version             print the version and exit

Patterns ("Příkazy záměny"):
  --name PATTERN        name pattern "Jméno" (default *; empty: empty preview)
  --ext PATTERN         extension pattern "Přípona" (default *)
  --mirror-name         "Obrácené zpracování" of the name
  --mirror-ext          "Obrácené zpracování" of the extension
  --case MODE           "Velikost písmen": keep (default), lower, upper, title

Numbers ("Čísla"):
  --numbering MODE      counter (default, "Čítač"), same ("Jen stejné"),
                        keep ("Zachovat")
  --start TEXT          "Od", digits only (default 1)
  --step TEXT           "Krok" (default 1)
  --same-by-ext         "Stejná podle přípon"
  --zero-first          "i nula"
  --insert-zero         "vložit nulu"
  --keep-mode MODE      format (default, "Formát"), move ("Formát+Přesun")
  --digits SET          digits of written numbers: 0-9 (default), a-z, 0-9a-z
  --radix TEXT          "Základ", digits only (default 10)
  --old-digits SET      digits of numbers in old names: 0-9 (default), a-z, 0-9a-z
  --old-radix TEXT      "Původní základ", digits only (default 10)

Replacements ("Doplnění záměn"):
  --no-diacritics       "Bez diakritiky"
  --separators MODE     "Zrušit pauzy": keep (default), remove, underscore,
                        hyphen, space, keep-hyphen
  --replace TEXT        "Záměna Co" (default empty)
  --with TEXT           "Čím" (default empty)
  --whole               "Celé": replace the whole string
  --remove CHARS        "Odstranit znaky" (default empty)
  --reverse-name        "Obrátit" the new name
  --reverse-ext         "Obrátit" the new extension
  --regex               "Regulární výraz": --replace is an ICU regular
                        expression ((?i) ignores case), --with its replacement
                        ($1..$9, ${name}; empty removes the matches); --whole
                        then means nothing

Order and listing:
  --sort KEY            "Řazení": name (default), ext, date, none
  --numeric             "Číselně"
  --descending          "Obráceně"
  --kind KIND           files (default), folders, both
  --filter MASK         listing filter (default *.*; several masks with ;)
  --date SOURCE         "Datum" of the date codes and --sort date: modified
                        (default, "změny"), taken ("pořízení": when a photo
                        or video was taken, from its EXIF, XMP or QuickTime
                        data or an XMP sidecar; else its last change)

Undo:
  Every --apply run (and the window's runs) is journaled first in
  $XDG_STATE_HOME/zelvar (default ~/.local/state/zelvar); the last 100 runs are
  kept. --undo takes back the newest run in FOLDER, also one that was killed
  half-way, and prints the report ("Vrácení ukončeno"); an entry that cannot
  be returned (renamed again, deleted, its old name taken) is left alone and
  named on standard error. Repeated, --undo goes back run by run; --redo
  comes forward again, until a new run is made. --undo ID takes back an
  older run, unless a later run still in force renamed the same entries or
  names (the message says which must go first); a FOLDER that looks like an
  ID is given as ./NAME. --history prints one line per journal, newest first,
  fields split by TAB: time, renamed/planned, kind (přejmenování, vrácení,
  opakování), state (dokončeno, přerušeno, vráceno), folder, id.

Presets:
  --preset NAME         apply the saved preset NAME in place of the options
                        before it; the options after it change it
  --save-preset NAME    save the options given as the preset NAME and exit;
                        no folder is read, a preset of that name is kept
                        (exit 1)
  --presets             print the names of the saved presets, one per line
  Presets are kept in $XDG_CONFIG_HOME/zelvar/presets (default
  ~/.config/zelvar/presets), one file per preset, and are shared with the
  window ("Funkce" > "Předvolby"). An unknown or damaged preset is a usage
  error.

Options take their value as "--opt VALUE" or "--opt=VALUE"; "--" ends the
options. Exit status: 0 success, 1 FOLDER could not be listed (also without
--apply), a rename failed, or an entry could not be returned with --undo,
2 usage error.
)";
}

}  // namespace zelvar::cli
