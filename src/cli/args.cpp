#include "cli/args.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <utility>

#include "engine/keyfilter.h"
#include "preview/compose.h"

namespace zelvar::cli {

namespace {

struct Choice {
    std::string_view word;
    int index;
};

const std::vector<Choice> kCase = {{"keep", 0}, {"lower", 1}, {"upper", 2}, {"title", 3}};
const std::vector<Choice> kNumbering = {{"counter", 0}, {"same", 1}, {"keep", 2}};
const std::vector<Choice> kKeepMode = {{"format", 0}, {"move", 1}};
const std::vector<Choice> kDigits = {{"0-9", 0}, {"a-z", 1}, {"0-9a-z", 2}};
const std::vector<Choice> kSeparators = {{"keep", 0},   {"remove", 1}, {"underscore", 2},
                                         {"hyphen", 3}, {"space", 4},  {"keep-hyphen", 5}};
const std::vector<Choice> kSort = {{"name", 0}, {"ext", 1}, {"date", 2}, {"none", 3}};
const std::vector<Choice> kKind = {{"files", 0}, {"folders", 1}, {"both", 2}};
const std::vector<Choice> kDate = {{"modified", 0}, {"taken", 1}};

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

std::string choiceList(const std::vector<Choice>& choices) {
    std::string list;
    for (const auto& c : choices) {
        if (!list.empty()) list += ", ";
        list += c.word;
    }
    return list;
}

using Setter = std::function<std::string(Request&, const std::string&)>;

struct OptionRule {
    std::string_view name;  // without the leading "--"
    bool takesValue;
    Setter set;  // returns an error message, or "" when the value was taken
};

std::string invalidValue(std::string_view option, const std::string& value, const std::string& expected) {
    return "invalid value '" + value + "' for --" + std::string(option) + " (" + expected + ")";
}

OptionRule flag(std::string_view name, int RenameOptions::*field) {
    return {name, false, [field](Request& r, const std::string&) {
                r.options.*field = 1;
                return std::string();
            }};
}

OptionRule requestFlag(std::string_view name, bool Request::*field) {
    return {name, false, [field](Request& r, const std::string&) {
                r.*field = true;
                return std::string();
            }};
}

OptionRule choice(std::string_view name, int RenameOptions::*field, const std::vector<Choice>& choices) {
    return {name, true, [name, field, &choices](Request& r, const std::string& value) {
                for (const auto& c : choices) {
                    if (c.word == value) {
                        r.options.*field = c.index;
                        return std::string();
                    }
                }
                return invalidValue(name, value, choiceList(choices));
            }};
}

OptionRule text(std::string_view name, Text RenameOptions::*field) {
    return {name, true, [field](Request& r, const std::string& value) {
                r.options.*field = fromUtf8(value);
                return std::string();
            }};
}

// The fields that accept digits only (possibly none), as their key filters allow.
OptionRule digits(std::string_view name, Text RenameOptions::*field) {
    return {name, true, [name, field](Request& r, const std::string& value) {
                if (!allDigits(value)) return invalidValue(name, value, "digits only");
                r.options.*field = fromUtf8(value);
                return std::string();
            }};
}

// The replacement fields never hold a character that a file name may not contain.
OptionRule strippedText(std::string_view name, Text RenameOptions::*field) {
    return {name, true, [field](Request& r, const std::string& value) {
                r.options.*field = BezZakazanychZnaku(fromUtf8(value));
                return std::string();
            }};
}

const std::vector<OptionRule>& optionTable() {
    static const std::vector<OptionRule> table =
        {
            text("name", &RenameOptions::txtJmeno),
            text("ext", &RenameOptions::txtExt),
            flag("mirror-name", &RenameOptions::chkObratitJm),
            flag("mirror-ext", &RenameOptions::chkObratitEx),
            choice("case", &RenameOptions::optVelikost, kCase),
            choice("numbering", &RenameOptions::optCitac, kNumbering),
            digits("start", &RenameOptions::txtCisloOd),
            text("step", &RenameOptions::txtDif),
            flag("same-by-ext", &RenameOptions::chkStejnePripony),
            flag("zero-first", &RenameOptions::chkINula),
            flag("insert-zero", &RenameOptions::chkCisloNula),
            choice("keep-mode", &RenameOptions::optZachovatCisla, kKeepMode),
            choice("digits", &RenameOptions::optTypCislovani, kDigits),
            digits("radix", &RenameOptions::txtCiselnyZaklad),
            choice("old-digits", &RenameOptions::optZachovatTypCislovani, kDigits),
            digits("old-radix", &RenameOptions::txtZachovatCiselnyZaklad),
            flag("no-diacritics", &RenameOptions::chkBezDia),
            choice("separators", &RenameOptions::cboPauzy, kSeparators),
            strippedText("replace", &RenameOptions::txtZamenitCo),
            strippedText("with", &RenameOptions::txtZamenitZaCo),
            flag("whole", &RenameOptions::chkZamenaVse),
            text("remove", &RenameOptions::txtOdstranit),
            flag("reverse-name", &RenameOptions::chkJmeno),
            flag("reverse-ext", &RenameOptions::chkExt),
            choice("sort", &RenameOptions::optRazeni, kSort),
            flag("numeric", &RenameOptions::chkCisla),
            flag("descending", &RenameOptions::chkObracene),
            choice("kind", &RenameOptions::optFile, kKind),
            text("filter", &RenameOptions::txtVyhlFiltr),
            choice("date", &RenameOptions::optDatum, kDate),
            requestFlag("stats", &Request::stats),
            requestFlag("apply", &Request::apply),
            requestFlag("json", &Request::json),
            {"edit", true,
             [](Request& r, const std::string& value) {
        if (value.empty()) return std::string("--edit needs a file name, or - for standard input");
        r.edit = true;
        r.editFile = value;
        return std::string();
             }},
            {"sample", true,
             [](Request& r, const std::string& value) {
        r.samples.push_back(value);
        return std::string();
             }},
                                         {"counter", true,
                                          [](Request& r, const std::string& value) {
        const auto n = wholeNumber(value);
        if (!n) return invalidValue("counter", value, "a whole number");
        r.counter = *n;
        return std::string();
                                          }},
        {"undo", false,
         [](Request& r, const std::string&) {
        r.action = Action::Undo;
        return std::string();
         }},
        {"history", false,
         [](Request& r, const std::string&) {
        r.action = Action::History;
        return std::string();
         }},
        {"help", false,
         [](Request& r, const std::string&) {
        r.action = Action::Help;
        return std::string();
         }},
        {"version", false,
         [](Request& r, const std::string&) {
        r.action = Action::Version;
        return std::string();
         }},
        };
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
    o.txtCiselnyZaklad = normaliseRadix(o.txtCiselnyZaklad, o.optTypCislovani);
    o.txtZachovatCiselnyZaklad = normaliseRadix(o.txtZachovatCiselnyZaklad, o.optZachovatTypCislovani);
    if (r.action == Action::Undo || r.action == Action::History) {
        const std::string mode = r.action == Action::Undo ? "--undo" : "--history";
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
            if (!option->takesValue) {
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
  --json                print JSON Lines instead of text: one object per row
                        {"old", "new", "verdict"}, verdict one of rename,
                        empty, unchanged, above, below, exists, too-long;
                        "new" is the new name, the name involved (above,
                        below, exists) or null; bytes that are not UTF-8 are
                        written as \udcXX escapes; --stats and --apply add
                        one object each
  --apply               rename every row with a usable new name, no questions
  --undo                take back the newest run in FOLDER (see Undo below)
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
  named on standard error. An undo is a run too: --undo again redoes.
  --history prints one line per run, newest first, fields split by TAB:
  time, renamed/planned, kind (přejmenování, vrácení), state (dokončeno,
  přerušeno, vráceno), folder.

Options take their value as "--opt VALUE" or "--opt=VALUE"; "--" ends the
options. Exit status: 0 success, 1 FOLDER could not be listed (also without
--apply), a rename failed, or an entry could not be returned with --undo,
2 usage error.
)";
}

}  // namespace zelvar::cli
