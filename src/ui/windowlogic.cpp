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

}  // namespace zelvar
