#include "rename/journal.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <ctime>
#include <functional>

namespace zelvar {

namespace {

constexpr std::string_view kMagic = "zelvar-journal 1";
constexpr std::size_t kMaxNameBytes = 255;

// Length of the valid UTF-8 sequence at s[i], 0 when there is none.
std::size_t utf8Length(std::string_view s, std::size_t i) {
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = b(i);
    std::size_t n;
    char32_t cp;
    if (c < 0x80) return 1;
    if (c >= 0xC2 && c <= 0xDF)
        n = 2, cp = c & 0x1F;
    else if (c >= 0xE0 && c <= 0xEF)
        n = 3, cp = c & 0x0F;
    else if (c >= 0xF0 && c <= 0xF4)
        n = 4, cp = c & 0x07;
    else
        return 0;
    if (i + n > s.size()) return 0;
    for (std::size_t k = 1; k < n; ++k) {
        if ((b(i + k) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b(i + k) & 0x3F);
    }
    const bool overlong = (n == 3 && cp < 0x800) || (n == 4 && cp < 0x10000);
    const bool surrogate = cp >= 0xD800 && cp <= 0xDFFF;
    return overlong || surrogate || cp > 0x10FFFF ? 0 : n;
}

void appendEscaped(std::string& out, std::string_view s) {
    static const char hex[] = "0123456789ABCDEF";
    // Most names are plain ASCII and go in whole.
    if (std::all_of(s.begin(), s.end(), [](char c) { return c >= 0x20 && c < 0x7F && c != '\\'; })) {
        out.append(s);
        return;
    }
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        if (c == '\\') {
            out += "\\\\";
            ++i;
            continue;
        }
        const std::size_t n = c >= 0x80 ? utf8Length(s, i) : 0;
        if (n > 0) {
            out.append(s.substr(i, n));
            i += n;
            continue;
        }
        out += "\\x";
        out += hex[c >> 4];
        out += hex[c & 15];
        ++i;
    }
}

std::optional<std::string> unescape(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x20 || c == 0x7F) return std::nullopt;
        if (c != '\\') {
            out += s[i];
            continue;
        }
        if (i + 1 < s.size() && s[i + 1] == '\\') {
            out += '\\';
            ++i;
            continue;
        }
        unsigned value = 0;
        if (i + 3 >= s.size() || s[i + 1] != 'x' ||
            std::from_chars(s.data() + i + 2, s.data() + i + 4, value, 16).ptr != s.data() + i + 4)
            return std::nullopt;
        out += static_cast<char>(value);
        i += 3;
    }
    return out;
}

template <class Number>
bool number(std::string_view s, Number& value) {
    return !s.empty() && std::from_chars(s.data(), s.data() + s.size(), value).ptr == s.data() + s.size();
}

// "1796612400.123456789": nanoseconds since 1970, which must fit and be more than 0.
bool nanoseconds(std::string_view s, std::int64_t& value) {
    const std::size_t dot = s.find('.');
    std::int64_t seconds = 0, fraction = 0;
    if (dot == std::string_view::npos || s.size() - dot != 10 || !number(s.substr(0, dot), seconds) ||
        !number(s.substr(dot + 1), fraction) || s[dot + 1] == '-' || seconds < 0 || seconds >= 9000000000)
        return false;
    value = seconds * 1000000000 + fraction;
    return value > 0;
}

// Splits off the next line (without its LF); false at the end of the text.
bool nextLine(std::string_view& text, std::string_view& line) {
    if (text.empty()) return false;
    const std::size_t end = text.find('\n');
    line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    return true;
}

// "key value": the value, or nullopt when the line holds another key.
std::optional<std::string_view> field(std::string_view line, std::string_view key) {
    if (line.size() <= key.size() || line.substr(0, key.size()) != key || line[key.size()] != ' ') return std::nullopt;
    return line.substr(key.size() + 1);
}

// A row names one entry of the journal's folder: nothing that leads elsewhere ("/", ".", ".."), nor a
// name no file system takes (a NUL, more than 255 bytes), whatever a hand-edited journal says.
bool entryName(const std::string& name) {
    return !name.empty() && name.size() <= kMaxNameBytes && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\0", 2)) == std::string::npos;
}

std::optional<JournalRow> parseRow(std::string_view line, std::uint64_t dev) {
    std::string_view parts[3];
    for (int k = 0; k < 3; ++k) {
        const std::size_t tab = line.find('\t');
        if ((tab == std::string_view::npos) != (k == 2)) return std::nullopt;
        parts[k] = line.substr(0, tab);
        line = tab == std::string_view::npos ? std::string_view() : line.substr(tab + 1);
    }
    JournalRow row;
    if (!number(parts[0], row.ino)) return std::nullopt;
    row.dev = row.ino != 0 ? dev : 0;
    auto oldName = unescape(parts[1]), newName = unescape(parts[2]);
    if (!oldName || !newName || !entryName(*oldName) || !entryName(*newName)) return std::nullopt;
    row.oldName = std::move(*oldName);
    row.newName = std::move(*newName);
    return row;
}

// "0-5 7 9-12": the rows marked, each a number or a range; false when it is not such a list.
bool parseRanges(std::string_view text, std::vector<JournalRow>& rows, int& count) {
    count = 0;
    while (!text.empty()) {
        const std::size_t space = text.find(' ');
        const std::string_view item = text.substr(0, space);
        text = space == std::string_view::npos ? std::string_view() : text.substr(space + 1);
        const std::size_t dash = item.find('-');
        std::size_t first = 0, last = 0;
        if (!number(item.substr(0, dash), first) ||
            !number(dash == std::string_view::npos ? item : item.substr(dash + 1), last) || last < first ||
            last >= rows.size())
            return false;
        for (std::size_t k = first; k <= last; ++k) {
            if (rows[k].renamed) return false;
            rows[k].renamed = true;
            ++count;
        }
    }
    return true;
}

std::string formatRanges(const std::vector<JournalRow>& rows) {
    std::string out;
    for (std::size_t k = 0; k < rows.size(); ++k) {
        if (!rows[k].renamed) continue;
        std::size_t last = k;
        while (last + 1 < rows.size() && rows[last + 1].renamed) ++last;
        if (!out.empty()) out += ' ';
        out += std::to_string(k);
        if (last > k) out += '-' + std::to_string(last);
        k = last;
    }
    return out;
}

const Failure kNonsense{0, "záznam nemá tvar záznamu přejmenování"};
const Failure kIncomplete{0, "záznam je neúplný"};

}  // namespace

std::string escapeJournalText(std::string_view text) {
    std::string out;
    appendEscaped(out, text);
    return out;
}

std::string formatJournal(const Journal& j) {
    std::string all;
    formatJournal(j, [&](std::string_view piece) { return all.append(piece), true; });
    return all;
}

bool formatJournal(const Journal& j, const std::function<bool(std::string_view)>& put) {
    // Pieces of this size keep the text of tens of thousands of rows out of memory as a whole.
    constexpr std::size_t kPiece = 65536;
    std::string out;
    out.reserve(kPiece + 4096);
    out += kMagic;
    out += "\nid " + j.id;
    out += "\ntime " + std::to_string(j.time) + " " + utcTimeText(j.time);
    if (j.started > 0) {
        char fraction[16];
        std::snprintf(fraction, sizeof fraction, ".%09lld", static_cast<long long>(j.started % 1000000000));
        out += "\nstarted " + std::to_string(j.started / 1000000000) + fraction;
    }
    out += "\nfolder ";
    appendEscaped(out, j.folder);
    out += "\nfolder-id " + std::to_string(j.folderDev) + " " + std::to_string(j.folderIno);
    out += "\nundoes " + (j.undoes.empty() ? std::string("-") : j.undoes);
    out += "\ntemporary ";
    appendEscaped(out, j.temporaryPrefix);
    out += "\nrows " + std::to_string(j.rows.size()) + "\n";
    char number[24];
    for (const JournalRow& row : j.rows) {
        // An entry on another device than the folder (a mount point) cannot be renamed within it.
        const std::uint64_t ino = row.dev == j.folderDev ? row.ino : 0;
        out.append(number, std::to_chars(number, number + sizeof number, ino).ptr);
        out += '\t';
        appendEscaped(out, row.oldName);
        out += '\t';
        appendEscaped(out, row.newName);
        out += '\n';
        if (out.size() >= kPiece) {
            if (!put(out)) return false;
            out.clear();
        }
    }
    out += "end\n";
    if (j.finished) out += formatJournalResult(j);
    return put(out);
}

std::string formatJournalResult(const Journal& j) {
    return "finished " + std::to_string(j.renamedCount) + "\nrenamed " + formatRanges(j.rows) + "\nend\n";
}

namespace {

// The value of the next line, which must be `key`.
std::optional<std::string_view> header(std::string_view& text, std::string_view key) {
    std::string_view line;
    if (!nextLine(text, line)) return std::nullopt;
    return field(line, key);
}

// The lines after the first up to "rows", into `j`: false when one is missing or wrong.
bool parseHeader(std::string_view& text, Journal& j) {
    std::optional<std::string_view> v;
    bool ok = (v = header(text, "id")) && !v->empty() && v->find('/') == std::string_view::npos;
    if (ok) j.id = *v;
    ok = ok && (v = header(text, "time")) && number(v->substr(0, v->find(' ')), j.time);
    // Older journals go from the time straight on to the folder.
    if (ok && text.starts_with("started ")) ok = (v = header(text, "started")) && nanoseconds(*v, j.started);
    std::optional<std::string> folder;
    ok = ok && (v = header(text, "folder")) && (folder = unescape(*v)) && !folder->empty();
    if (ok) j.folder = *folder;
    ok = ok && (v = header(text, "folder-id")) && v->find(' ') != std::string_view::npos &&
         number(v->substr(0, v->find(' ')), j.folderDev) && number(v->substr(v->find(' ') + 1), j.folderIno);
    ok = ok && (v = header(text, "undoes")) && !v->empty() && v->find('/') == std::string_view::npos;
    if (ok && *v != "-") j.undoes = *v;
    std::optional<std::string> prefix;
    // Row k's temporary name is the prefix and k, which must make one name of the folder.
    ok = ok && (v = header(text, "temporary")) && (prefix = unescape(*v)) && entryName(*prefix + "0") &&
         prefix->size() + 5 <= kMaxNameBytes;
    if (ok) j.temporaryPrefix = *prefix;
    return ok && (v = header(text, "rows")) && number(*v, j.rowCount);
}

}  // namespace

Result<Journal> parseJournal(std::string_view text, bool headerOnly) {
    Journal j;
    std::string_view line;
    if (!nextLine(text, line) || line != kMagic) return kNonsense;
    // Every record ends with its line: a text cut anywhere else was cut short.
    if (!headerOnly && !text.ends_with('\n')) return kIncomplete;
    if (!parseHeader(text, j)) return text.empty() ? kIncomplete : kNonsense;
    const std::size_t rowCount = j.rowCount;
    if (headerOnly) return j;
    if (rowCount > kMaxJournalRows) return kJournalTooBig;

    j.rows.reserve(std::min<std::size_t>(rowCount, text.size() / 8 + 1));
    while (nextLine(text, line) && line != "end") {
        auto row = parseRow(line, j.folderDev);
        if (!row) return kNonsense;
        j.rows.push_back(std::move(*row));
    }
    if (line != "end" || j.rows.size() != rowCount) return line != "end" ? kIncomplete : kNonsense;
    // The result is appended in one write after the run; one cut short by a crash ends without its
    // "end" and counts as not written, which leaves a run that was killed.
    if (text.empty() || !text.ends_with("\nend\n")) return j;
    std::size_t count = 0;
    std::optional<std::string_view> v;
    const bool ok = (v = header(text, "finished")) && number(*v, count) && (v = header(text, "renamed")) &&
                    parseRanges(*v, j.rows, j.renamedCount) && static_cast<std::size_t>(j.renamedCount) == count &&
                    nextLine(text, line) && line == "end" && text.empty();
    if (!ok) return kNonsense;
    j.finished = true;
    return j;
}

bool salvageJournalFolder(std::string_view text, Journal& j) {
    std::string_view line;
    // The header's lines come first; a folder line further on would be a name in a row. The line
    // "folder-id" follows "folder", so with it the folder's path is whole too.
    for (int k = 0; k < 12 && nextLine(text, line) && line != "end" && !line.starts_with("rows "); ++k) {
        if (const auto v = field(line, "folder")) {
            if (auto folder = unescape(*v)) j.folder = std::move(*folder);
        } else if (const auto id = field(line, "folder-id"); id && id->find(' ') != std::string_view::npos) {
            return number(id->substr(0, id->find(' ')), j.folderDev) &&
                   number(id->substr(id->find(' ') + 1), j.folderIno) && nextLine(text, line);
        }
    }
    return false;
}

std::string utcTimeText(std::int64_t seconds) {
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char text[48];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &tm);
    return text;
}

std::string localTimeText(std::int64_t seconds) {
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    localtime_r(&t, &tm);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &tm);
    return text;
}

}  // namespace zelvar
