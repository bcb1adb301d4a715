#include "ui/windowlogic.h"

#include <vector>

namespace zelvar {

Text windowTitle(const Text& layoutText, const Text& folder) { return kTitulek + layoutText + U" <" + folder + U">"; }

std::optional<std::string> typedFolderPath(const Text& typed, const std::string& home) {
    if (typed.empty() || typed.find(U'\0') != Text::npos) return std::nullopt;
    std::string path = toUtf8(typed);
    if (path == "~" || path.rfind("~/", 0) == 0) path = home + path.substr(1);
    if (path.empty() || path.front() != '/') return std::nullopt;

    std::vector<std::string> parts;
    std::size_t start = 1;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        const std::string part = path.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    if (parts.empty()) return std::string("/");
    std::string out;
    for (const std::string& p : parts) out += "/" + p;
    return out;
}

WindowArguments parseWindowArguments(const std::vector<std::string>& args) {
    WindowArguments out;
    for (const std::string& a : args) {
        if (a == "--") break;
        if (a == "--help" || a == "-h") return {WindowArguments::Action::Help, std::nullopt, {}};
        if (a == "--version") return {WindowArguments::Action::Version, std::nullopt, {}};
    }
    bool options = true;
    for (const std::string& a : args) {
        if (options && a == "--") {
            options = false;
            continue;
        }
        if (options && a.size() > 1 && a.front() == '-')
            return {WindowArguments::Action::Usage, std::nullopt, "unrecognized option '" + a + "'"};
        if (out.path) return {WindowArguments::Action::Usage, std::nullopt, "only one FOLDER or FILE may be given"};
        out.path = a;
    }
    return out;
}

std::string windowUsageText() {
    return R"(Usage: zelvar [FOLDER | FILE]
Open the batch renamer window in FOLDER, or in the folder that holds FILE
(a relative path is taken from the current directory). Without either, the
window opens in the folder of the last session. A path that begins with "-"
follows "--" (zelvar -- -photos) or is written as ./-photos.

  -h, --help     print this help and exit
      --version  print the version and exit

The command-line renamer is zelvar-cli; see zelvar(1) and zelvar-cli(1).
)";
}

std::string windowUsageError(const std::string& error) {
    return "zelvar: " + error + "\nUsage: zelvar [FOLDER | FILE]\nTry 'zelvar --help' for more information.\n";
}

}  // namespace zelvar
