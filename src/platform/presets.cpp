#include "platform/presets.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <set>

#include "engine/optionkeys.h"
#include "platform/failure.h"

namespace zelvar {

namespace {

constexpr std::string_view kHeader = "zelvar-preset 1";
constexpr std::string_view kSuffix = ".preset";
// Leaves room for the hash and the suffix within the 255 bytes of a file name.
constexpr std::size_t kMaxEncoded = 200;

// Backslash, and every control character, is escaped so that a value always stays on its line;
// other bytes (also those of names that are not UTF-8) are written as they are.
std::string escape(std::string_view bytes) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        if (c == '\\') {
            out += "\\\\";
        } else if (c < 0x20 || c == 0x7F) {
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += char(c);
        }
    }
    return out;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::optional<std::string> unescape(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '\\') {
            out += '\\';
            ++i;
        } else if (i + 3 < text.size() && text[i + 1] == 'x' && hexDigit(text[i + 2]) >= 0 &&
                   hexDigit(text[i + 3]) >= 0) {
            out += char(hexDigit(text[i + 2]) * 16 + hexDigit(text[i + 3]));
            i += 3;
        } else {
            return std::nullopt;
        }
    }
    return out;
}

constexpr std::string_view kLayouts[] = {"simple", "professional"};

Text lineError(std::size_t line, const std::string& what) {
    return fromUtf8("Předvolba je poškozená (řádek " + std::to_string(line) + "): " + what);
}

Text quoted(const std::string& name) { return U"„" + fromUtf8(name) + U"“"; }

std::string hashHex(const std::string& bytes) {
    std::uint64_t h = 1469598103934665603ull;  // FNV-1a
    for (unsigned char c : bytes) {
        h ^= c;
        h *= 1099511628211ull;
    }
    static const char* hex = "0123456789abcdef";
    std::string out;
    for (int shift = 60; shift >= 0; shift -= 4) out += hex[(h >> shift) & 15];
    return out;
}

Text systemError(const std::string& what, int error) { return fromUtf8(failureText(Failure{error, what})); }

bool makeFolders(const std::string& path) {
    for (std::size_t i = 1; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '/') {
            const std::string part = path.substr(0, i);
            if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
        }
    }
    return true;
}

Result<std::string> readFile(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return Failure{errno};
    std::string text;
    char buffer[8192];
    ssize_t got;
    // A preset is a few hundred bytes; a huge file is no preset.
    while ((got = read(fd, buffer, sizeof buffer)) > 0 && text.size() < (1u << 20)) text.append(buffer, size_t(got));
    const int error = errno;
    close(fd);
    if (got < 0) return Failure{error};
    return text;
}

}  // namespace

std::string presetText(const std::string& name, const Preset& preset) {
    std::string out(kHeader);
    out += "\npreset-name=" + escape(name) + "\nlayout=" + std::string(kLayouts[preset.layout != 0]) + "\n";
    for (const OptionKey& key : optionKeys())
        out += std::string(key.name) + "=" + escape(optionValue(preset.options, key)) + "\n";
    return out;
}

namespace {

// The lines after the first, one at a time, into a preset.
struct PresetLines {
    Preset preset;
    std::string name;
    bool named = false;
    std::set<std::string> seen;

    // What is wrong with a line, for lineError(); empty when it is sound.
    std::string take(std::string_view line) {
        if (line.empty() || line[0] == '#') return {};
        const auto eq = line.find('=');
        if (eq == std::string_view::npos) return "chybí znak =.";
        const std::string key(line.substr(0, eq));
        const auto value = unescape(line.substr(eq + 1));
        if (!value) return "chybné zpětné lomítko v hodnotě klíče " + key + ".";
        if (!seen.insert(key).second) return "klíč " + key + " je uveden dvakrát.";
        if (key == "preset-name") {
            name = *value;
            named = true;
            return {};
        }
        if (key == "layout") {
            const auto layout = std::find(std::begin(kLayouts), std::end(kLayouts), *value);
            if (layout == std::end(kLayouts)) return "rozvržení musí být simple nebo professional.";
            preset.layout = int(layout - std::begin(kLayouts));
            return {};
        }
        const OptionKey* option = findOptionKey(key);
        if (!option) return {};  // an option of another build
        if (setOptionValue(preset.options, *option, *value)) return {};
        std::string rule = "musí být jedna z: " + choiceWords(*option) + ".";
        if (option->kind == OptionKind::Flag) rule = "musí být 0 nebo 1.";
        if (option->kind == OptionKind::Digits) rule = "smí mít jen číslice.";
        return "hodnota klíče " + key + " " + rule;
    }
};

}  // namespace

PresetRead parsePreset(std::string_view text) {
    PresetRead result;
    PresetLines lines;
    std::size_t lineNo = 0;
    while (!text.empty() || lineNo == 0) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (lineNo == 1) {
            if (line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);
            if (line != kHeader) {
                result.error = U"Soubor není předvolba programu Zelvar (chybí první řádek „" +
                               fromUtf8(std::string(kHeader)) + U"“).";
                return result;
            }
            continue;
        }
        if (const std::string fault = lines.take(line); !fault.empty()) {
            result.error = lineError(lineNo, fault);
            return result;
        }
    }
    keepOptionsValid(lines.preset.options);
    if (!lines.named) {
        result.error = U"Předvolba je poškozená: chybí klíč preset-name.";
        return result;
    }
    result.preset = lines.preset;
    result.name = lines.name;
    return result;
}

std::string presetFileName(const std::string& name) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : name) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-') {
            out += char(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    if (out.size() > kMaxEncoded) {
        out.resize(kMaxEncoded);
        out += "~" + hashHex(name);
    }
    return out + std::string(kSuffix);
}

std::string presetFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (config && config[0] == '/') {
        base = config;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home && home[0] ? home : "/") + "/.config";
    }
    return base + "/zelvar/presets";
}

std::vector<std::string> presetNames() {
    std::vector<std::string> names;
    const std::string folder = presetFolder();
    DIR* dir = opendir(folder.c_str());
    if (!dir) return names;
    while (const dirent* e = readdir(dir)) {
        const std::string file = e->d_name;
        if (file.empty() || file[0] == '.' || file.size() <= kSuffix.size() ||
            file.compare(file.size() - kSuffix.size(), kSuffix.size(), kSuffix) != 0)
            continue;
        const Result<std::string> text = readFile(folder + "/" + file);
        if (!text) continue;
        const PresetRead read = parsePreset(*text);
        // A damaged file is still listed, so that loading it can say what is wrong; it is listed by
        // the name its file name encodes.
        if (read.ok() && presetFileName(read.name) == file) {
            names.push_back(read.name);
        } else {
            std::string name;
            bool whole = true;
            const std::size_t end = file.size() - kSuffix.size();
            for (std::size_t i = 0; i < end; ++i) {
                if (file[i] == '~') {
                    whole = false;
                    break;
                }
                if (file[i] == '%' && i + 2 < end && hexDigit(file[i + 1]) >= 0 && hexDigit(file[i + 2]) >= 0) {
                    name += char(hexDigit(file[i + 1]) * 16 + hexDigit(file[i + 2]));
                    i += 2;
                } else {
                    name += file[i];
                }
            }
            if (whole && !name.empty() && presetFileName(name) == file) names.push_back(name);
        }
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

bool presetExists(const std::string& name) {
    struct stat st;
    return !name.empty() && lstat((presetFolder() + "/" + presetFileName(name)).c_str(), &st) == 0;
}

PresetRead loadPreset(const std::string& name) {
    PresetRead result;
    if (name.empty()) {
        result.error = U"Předvolba musí mít jméno.";
        return result;
    }
    const Result<std::string> text = readFile(presetFolder() + "/" + presetFileName(name));
    if (!text) {
        const int error = text.failure().error;
        result.error = error == ENOENT ? U"Předvolba " + quoted(name) + U" neexistuje."
                                       : systemError("Předvolbu nelze přečíst", error);
        return result;
    }
    result = parsePreset(*text);
    if (result.ok() && result.name != name) {
        result = PresetRead();
        result.error = U"Předvolba " + quoted(name) + U" je poškozená: soubor nese jiné jméno.";
    }
    return result;
}

Text savePreset(const std::string& name, const Preset& preset, bool replace) {
    if (name.empty()) return U"Předvolba musí mít jméno.";
    const std::string folder = presetFolder();
    if (!makeFolders(folder)) return systemError("Složku předvoleb " + folder + " nelze vytvořit", errno);
    const std::string target = folder + "/" + presetFileName(name);
    std::string temp = folder + "/.preset-XXXXXX";
    const int fd = mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return systemError("Předvolbu nelze uložit", errno);
    const std::string text = presetText(name, preset);
    bool written = true;
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            written = false;
            break;
        }
        done += std::size_t(n);
    }
    int error = written ? 0 : errno;
    if (written && fsync(fd) != 0) {
        written = false;
        error = errno;
    }
    close(fd);
    if (!written) {
        unlink(temp.c_str());
        return systemError("Předvolbu nelze uložit", error);
    }
    // link() never replaces, rename() replaces in one step: either way the name shows the old file
    // or the whole new one.
    const int done = replace ? rename(temp.c_str(), target.c_str()) : link(temp.c_str(), target.c_str());
    error = errno;
    if (!replace || done != 0) unlink(temp.c_str());
    if (done != 0) {
        if (error == EEXIST) return U"Předvolba " + quoted(name) + U" už existuje.";
        return systemError("Předvolbu nelze uložit", error);
    }
    return {};
}

Text removePreset(const std::string& name) {
    if (name.empty()) return U"Předvolba musí mít jméno.";
    if (unlink((presetFolder() + "/" + presetFileName(name)).c_str()) != 0) {
        if (errno == ENOENT) return U"Předvolba " + quoted(name) + U" neexistuje.";
        return systemError("Předvolbu nelze smazat", errno);
    }
    return {};
}

Text renamePreset(const std::string& from, const std::string& to) {
    const PresetRead read = loadPreset(from);
    if (!read.ok()) return read.error;
    if (from == to) return {};
    if (Text error = savePreset(to, read.preset, false); !error.empty()) return error;
    return removePreset(from);
}

}  // namespace zelvar
