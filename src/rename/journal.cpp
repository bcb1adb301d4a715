#include "rename/journal.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <unordered_map>

#include "platform/saferename.h"

namespace zelvar {

namespace {

constexpr std::string_view kMagic = "zelvar-journal 1";
constexpr std::string_view kSuffix = ".journal";

std::string formatResult(const Journal& j);

std::string systemMessage(int error) {
    char buffer[256];
    return strerror_r(error, buffer, sizeof buffer);
}

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

std::string utcText(std::int64_t seconds) {
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char text[48];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &tm);
    return text;
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
    if (!oldName || !newName || oldName->empty() || newName->empty()) return std::nullopt;
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

const std::string kNonsense = "záznam nemá tvar záznamu přejmenování";
const std::string kIncomplete = "záznam je neúplný";

// The plain file `path` whole, or nullopt with `error` set; at most `limit` bytes when limit > 0.
std::optional<std::string> readFile(const std::string& path, std::size_t limit, std::string& error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = systemMessage(errno);
        return std::nullopt;
    }
    std::string data;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            error = systemMessage(errno);
            ::close(fd);
            return std::nullopt;
        }
        if (got == 0) break;
        data.append(buffer, static_cast<std::size_t>(got));
        if (limit > 0 && data.size() >= limit) break;
    }
    ::close(fd);
    return data;
}

int makeFolders(const std::string& path) {
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return errno;
        if (slash == std::string::npos) return 0;
    }
}

bool writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t put = ::write(fd, data.data(), data.size());
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        data.remove_prefix(static_cast<std::size_t>(put));
    }
    return true;
}

}  // namespace

std::string journalFolder() {
    // A relative $XDG_STATE_HOME is to be ignored, as the base directory rules say.
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/') return std::string(state) + "/zelvar";
    const char* home = std::getenv("HOME");
    std::string base = home && home[0] == '/' ? home : "";
    if (base.empty()) {
        if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir && pw->pw_dir[0] == '/') base = pw->pw_dir;
    }
    return base.empty() ? std::string() : base + "/.local/state/zelvar";
}

std::string formatJournal(const Journal& j) {
    std::string out;
    out.reserve(256 + j.rows.size() * 64);
    out += kMagic;
    out += "\nid " + j.id;
    out += "\ntime " + std::to_string(j.time) + " " + utcText(j.time);
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
    }
    out += "end\n";
    if (j.finished) out += formatResult(j);
    return out;
}

namespace {

std::string formatResult(const Journal& j) {
    return "finished " + std::to_string(j.renamedCount) + "\nrenamed " + formatRanges(j.rows) + "\nend\n";
}

}  // namespace

std::optional<Journal> parseJournal(std::string_view text, bool headerOnly, std::string& error) {
    Journal j;
    std::string_view line;
    const auto header = [&](std::string_view key) -> std::optional<std::string_view> {
        if (!nextLine(text, line)) return std::nullopt;
        return field(line, key);
    };
    if (!nextLine(text, line) || line != kMagic) {
        error = kNonsense;
        return std::nullopt;
    }
    // Every record ends with its line: a text cut anywhere else was cut short.
    if (!headerOnly && !text.ends_with('\n')) {
        error = kIncomplete;
        return std::nullopt;
    }
    std::optional<std::string_view> v;
    std::size_t rowCount = 0;
    bool ok = (v = header("id")) && !v->empty() && v->find('/') == std::string_view::npos;
    if (ok) j.id = *v;
    ok = ok && (v = header("time")) && number(v->substr(0, v->find(' ')), j.time);
    std::optional<std::string> folder;
    ok = ok && (v = header("folder")) && (folder = unescape(*v)) && !folder->empty();
    if (ok) j.folder = *folder;
    ok = ok && (v = header("folder-id")) && v->find(' ') != std::string_view::npos &&
         number(v->substr(0, v->find(' ')), j.folderDev) && number(v->substr(v->find(' ') + 1), j.folderIno);
    ok = ok && (v = header("undoes")) && !v->empty() && v->find('/') == std::string_view::npos;
    if (ok && *v != "-") j.undoes = *v;
    std::optional<std::string> prefix;
    ok = ok && (v = header("temporary")) && (prefix = unescape(*v)) && prefix->find('/') == std::string::npos;
    if (ok) j.temporaryPrefix = *prefix;
    ok = ok && (v = header("rows")) && number(*v, rowCount);
    if (!ok) {
        error = text.empty() ? kIncomplete : kNonsense;
        return std::nullopt;
    }
    j.rowCount = rowCount;
    if (headerOnly) return j;

    j.rows.reserve(std::min<std::size_t>(rowCount, text.size() / 8 + 1));
    while (nextLine(text, line) && line != "end") {
        auto row = parseRow(line, j.folderDev);
        if (!row) {
            error = kNonsense;
            return std::nullopt;
        }
        row->temporary = j.temporaryPrefix + std::to_string(j.rows.size());
        j.rows.push_back(std::move(*row));
    }
    if (line != "end" || j.rows.size() != rowCount) {
        error = line != "end" ? kIncomplete : kNonsense;
        return std::nullopt;
    }
    // The result is appended in one write after the run; one cut short by a crash ends without its
    // "end" and counts as not written, which leaves a run that was killed.
    if (text.empty() || !text.ends_with("\nend\n")) return j;
    std::size_t count = 0;
    ok = (v = header("finished")) && number(*v, count) && (v = header("renamed")) &&
         parseRanges(*v, j.rows, j.renamedCount) && static_cast<std::size_t>(j.renamedCount) == count &&
         nextLine(text, line) && line == "end" && text.empty();
    if (!ok) {
        error = kNonsense;
        return std::nullopt;
    }
    j.finished = true;
    return j;
}

std::optional<Journal> readJournal(const std::string& path, bool headerOnly, std::string& error) {
    // A header is short; a folder path can take up to PATH_MAX bytes written four to a byte.
    const auto text = readFile(path, headerOnly ? 4 * PATH_MAX + 1024 : 0, error);
    if (!text) return std::nullopt;
    std::string_view view = *text;
    if (headerOnly && text->size() >= 4 * PATH_MAX + 1024) {
        // Cut at the last whole line: the header is complete by then or the file is nonsense.
        view = view.substr(0, view.rfind('\n') + 1);
    }
    return parseJournal(view, headerOnly, error);
}

std::string writeJournal(const std::string& dir, const Journal& journal) {
    if (dir.empty()) return "není známa domovská složka";
    if (const int error = makeFolders(dir); error != 0) return systemMessage(error);
    const std::string text = formatJournal(journal);
    const std::string temporary = dir + "/." + journal.id + ".tmp";
    const std::string final = dir + "/" + journal.id + std::string(kSuffix);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return systemMessage(errno);
    int error = 0;
    if (!writeAll(fd, text) || ::fsync(fd) != 0) error = errno != 0 ? errno : EIO;
    if (::close(fd) != 0 && error == 0) error = errno;
    // The journal file is ours alone, so replacing the plan by the finished record is meant.
    if (error == 0 && ::rename(temporary.c_str(), final.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        return systemMessage(error);
    }
    const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0) return systemMessage(errno);
    error = ::fsync(dirFd) == 0 ? 0 : errno;
    ::close(dirFd);
    return error == 0 ? std::string() : systemMessage(error);
}

std::string appendResult(const std::string& dir, const Journal& journal) {
    const std::string path = dir + "/" + journal.id + std::string(kSuffix);
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0) return systemMessage(errno);
    int error = writeAll(fd, formatResult(journal)) && ::fsync(fd) == 0 ? 0 : (errno != 0 ? errno : EIO);
    if (::close(fd) != 0 && error == 0) error = errno;
    return error == 0 ? std::string() : systemMessage(error);
}

std::vector<std::string> journalFiles(const std::string& dir) {
    std::vector<std::string> files;
    DIR* d = dir.empty() ? nullptr : ::opendir(dir.c_str());
    while (const dirent* e = d ? ::readdir(d) : nullptr) {
        const std::string_view name = e->d_name;
        if (name.size() > kSuffix.size() && name[0] != '.' && name.ends_with(kSuffix)) files.emplace_back(name);
    }
    if (d) ::closedir(d);
    std::sort(files.begin(), files.end(), std::greater<>());
    for (auto& name : files) name = dir + "/" + name;
    return files;
}

void pruneJournals(const std::string& dir, std::size_t keep) {
    const auto files = journalFiles(dir);
    for (std::size_t k = keep; k < files.size(); ++k) ::unlink(files[k].c_str());
}

FolderIdentity identifyFolder(const std::string& folder) {
    FolderIdentity id;
    struct stat st;
    if (::stat(folder.c_str(), &st) != 0) {
        id.error = errno;
        return id;
    }
    id.dev = st.st_dev;
    id.ino = st.st_ino;
    char* real = ::realpath(folder.c_str(), nullptr);
    id.path = real ? real : folder;
    std::free(real);
    return id;
}

// A folder is known by both: a path alone may name another folder by now, and an inode number may
// have been given to a new folder after the old one went.
bool sameFolder(const Journal& journal, const FolderIdentity& folder) {
    return folder.error == 0 && journal.folderDev == folder.dev && journal.folderIno == folder.ino &&
           journal.folder == folder.path;
}

namespace {

// A name missing when the run began can only hold an entry an earlier row moved there.
bool followChain(std::vector<JournalRow>& rows, std::size_t k) {
    for (std::size_t e = k; e-- > 0;) {
        if (rows[e].newName == rows[k].oldName) {
            rows[k].dev = rows[e].dev;
            rows[k].ino = rows[e].ino;
            return true;
        }
    }
    return false;
}

}  // namespace

std::vector<JournalRow> RunRecorder::planRows(const std::string& folder, RenameFolder& dir,
                                              std::vector<std::pair<std::string, std::string>> renames) {
    // One pass over the folder gives every inode far cheaper than an lstat per entry, which would
    // cost a good part of what the renames themselves cost.
    std::string arena;
    std::vector<std::pair<std::size_t, std::uint64_t>> listed;
    if (DIR* d = ::opendir(folder.c_str())) {
        while (const dirent* e = ::readdir(d)) {
            listed.emplace_back(arena.size(), e->d_ino);
            arena.append(e->d_name).push_back('\0');
        }
        ::closedir(d);
    }
    std::unordered_map<std::string_view, std::uint64_t> inodes;
    inodes.reserve(listed.size());
    for (const auto& [at, ino] : listed) inodes.emplace(std::string_view(arena.data() + at), ino);

    struct stat folderStat;
    const std::uint64_t dev = dir.identify(".", folderStat) == 0 ? folderStat.st_dev : 0;
    // Where the folder's own listing does not give the inode that lstat gives (an overlay, a mount
    // point), every entry is asked on its own.
    bool trustListing = true, verified = false;
    std::vector<JournalRow> rows(renames.size());
    // Names an earlier row moved an entry to, where that name was taken when the run began.
    std::unordered_map<std::string_view, std::pair<std::uint64_t, std::uint64_t>> movedOnto;
    for (std::size_t k = 0; k < renames.size(); ++k) {
        JournalRow& row = rows[k];
        row.oldName = std::move(renames[k].first);
        row.newName = std::move(renames[k].second);
        const auto listedAs = inodes.find(row.oldName);
        struct stat st;
        if (const auto earlier = movedOnto.find(row.oldName); earlier != movedOnto.end()) {
            std::tie(row.dev, row.ino) = earlier->second;
        } else if (listedAs != inodes.end() && trustListing && verified) {
            row.dev = dev;
            row.ino = listedAs->second;
        } else if (listedAs == inodes.end() && !followChain(rows, k)) {
            if (dir.identify(row.oldName, st) == 0) row.dev = st.st_dev, row.ino = st.st_ino;
        } else if (listedAs != inodes.end() && dir.identify(row.oldName, st) == 0) {
            row.dev = st.st_dev;
            row.ino = st.st_ino;
            trustListing = trustListing && st.st_ino == listedAs->second && st.st_dev == dev;
            verified = true;
        }
        if (inodes.count(row.newName) > 0) movedOnto[row.newName] = {row.dev, row.ino};
    }
    return rows;
}

std::string RunRecorder::begin(RenameFolder& dir, const std::string& folder, std::vector<JournalRow> rows,
                               const std::string& undoes) {
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    char id[64];
    std::tm tm{};
    gmtime_r(&now.tv_sec, &tm);
    const int n =
        std::snprintf(id, sizeof id, "%04d%02d%02d-%02d%02d%02d-%06ld-%ld", tm.tm_year + 1900, tm.tm_mon + 1,
                      tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, now.tv_nsec / 1000, static_cast<long>(getpid()));
    journal_ = Journal{};
    journal_.id.assign(id, static_cast<std::size_t>(n));
    journal_.time = now.tv_sec;
    journal_.undoes = undoes;
    const FolderIdentity identity = identifyFolder(folder);
    journal_.folder = identity.error == 0 ? identity.path : folder;
    struct stat st;
    if (const int error = dir.identify(".", st); error != 0) return systemMessage(error);
    journal_.folderDev = st.st_dev;
    journal_.folderIno = st.st_ino;
    // Unique to this run, so nothing else can already carry it when a change of case needs it.
    char prefix[64];
    std::snprintf(
        prefix, sizeof prefix, ".zelvar-%llx-%ld-",
        static_cast<unsigned long long>(now.tv_sec) * 1000000ULL + static_cast<unsigned long long>(now.tv_nsec / 1000),
        static_cast<long>(getpid()));
    journal_.temporaryPrefix = prefix;
    for (std::size_t k = 0; k < rows.size(); ++k) {
        rows[k].renamed = false;
        rows[k].temporary = prefix + std::to_string(k);
    }
    journal_.rows = std::move(rows);
    dir_ = journalFolder();
    if (std::string error = writeJournal(dir_, journal_); !error.empty()) return error;
    pruneJournals(dir_);
    return {};
}

void RunRecorder::markRenamed(std::size_t k) {
    if (!journal_.rows[k].renamed) ++journal_.renamedCount;
    journal_.rows[k].renamed = true;
}

std::string RunRecorder::finish() {
    journal_.finished = true;
    return appendResult(dir_, journal_);
}

}  // namespace zelvar
