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
    if (c >= 0xC2 && c <= 0xDF) n = 2, cp = c & 0x1F;
    else if (c >= 0xE0 && c <= 0xEF) n = 3, cp = c & 0x0F;
    else if (c >= 0xF0 && c <= 0xF4) n = 4, cp = c & 0x07;
    else return 0;
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
    if (line.size() <= key.size() || line.substr(0, key.size()) != key || line[key.size()] != ' ')
        return std::nullopt;
    return line.substr(key.size() + 1);
}

std::optional<JournalRow> parseRow(std::string_view line) {
    std::string_view parts[6];
    for (int k = 0; k < 6; ++k) {
        const std::size_t tab = line.find('\t');
        if ((tab == std::string_view::npos) != (k == 5)) return std::nullopt;
        parts[k] = line.substr(0, tab);
        line = tab == std::string_view::npos ? std::string_view() : line.substr(tab + 1);
    }
    JournalRow row;
    if (!number(parts[0], row.dev) || !number(parts[1], row.ino)) return std::nullopt;
    if (parts[2] != "+" && parts[2] != "-") return std::nullopt;
    row.renamed = parts[2] == "+";
    auto oldName = unescape(parts[3]), newName = unescape(parts[4]), temporary = unescape(parts[5]);
    if (!oldName || !newName || !temporary || oldName->empty() || newName->empty()) return std::nullopt;
    row.oldName = std::move(*oldName);
    row.newName = std::move(*newName);
    row.temporary = std::move(*temporary);
    return row;
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
    out.reserve(256 + j.rows.size() * 96);
    out += kMagic;
    out += "\nid " + j.id;
    out += "\ntime " + std::to_string(j.time) + " " + utcText(j.time);
    out += "\nfolder ";
    appendEscaped(out, j.folder);
    out += "\nfolder-id " + std::to_string(j.folderDev) + " " + std::to_string(j.folderIno);
    out += "\nundoes " + (j.undoes.empty() ? std::string("-") : j.undoes);
    out += j.finished ? "\nstate finished" : "\nstate planned";
    out += "\nrows " + std::to_string(j.rows.size());
    out += "\nrenamed " + std::to_string(j.renamedCount) + "\n";
    char numbers[48];
    for (const JournalRow& row : j.rows) {
        const int n = std::snprintf(numbers, sizeof numbers, "%llu\t%llu\t%c\t",
                                    static_cast<unsigned long long>(row.dev),
                                    static_cast<unsigned long long>(row.ino), row.renamed ? '+' : '-');
        out.append(numbers, static_cast<std::size_t>(n));
        appendEscaped(out, row.oldName);
        out += '\t';
        appendEscaped(out, row.newName);
        out += '\t';
        appendEscaped(out, row.temporary);
        out += '\n';
    }
    out += "end\n";
    return out;
}

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
    ok = ok && (v = header("state")) && (*v == "planned" || *v == "finished");
    if (ok) j.finished = *v == "finished";
    ok = ok && (v = header("rows")) && number(*v, rowCount);
    ok = ok && (v = header("renamed")) && number(*v, j.renamedCount) && j.renamedCount >= 0 &&
         static_cast<std::size_t>(j.renamedCount) <= rowCount;
    if (!ok) {
        error = text.empty() ? kIncomplete : kNonsense;
        return std::nullopt;
    }
    j.rowCount = rowCount;
    if (headerOnly) return j;
    j.rows.reserve(std::min<std::size_t>(rowCount, text.size() / 12 + 1));
    int renamed = 0;
    while (nextLine(text, line) && line != "end") {
        auto row = parseRow(line);
        if (!row) {
            error = kNonsense;
            return std::nullopt;
        }
        renamed += row->renamed;
        j.rows.push_back(std::move(*row));
    }
    if (line != "end" || j.rows.size() != rowCount) {
        error = line != "end" ? kIncomplete : kNonsense;
        return std::nullopt;
    }
    if (!text.empty() || renamed != j.renamedCount) {
        error = kNonsense;
        return std::nullopt;
    }
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

std::vector<JournalRow> RunRecorder::planRows(RenameFolder& dir,
                                              const std::vector<std::pair<std::string, std::string>>& renames) {
    std::vector<JournalRow> rows(renames.size());
    // Names the run itself will have moved an entry to (or away from) by the time a row comes.
    std::unordered_map<std::string, std::pair<std::uint64_t, std::uint64_t>> moved;
    for (std::size_t k = 0; k < renames.size(); ++k) {
        JournalRow& row = rows[k];
        row.oldName = renames[k].first;
        row.newName = renames[k].second;
        const auto earlier = moved.find(row.oldName);
        if (earlier != moved.end()) {
            std::tie(row.dev, row.ino) = earlier->second;
        } else {
            struct stat st;
            if (dir.identify(row.oldName, st) == 0) row.dev = st.st_dev, row.ino = st.st_ino;
        }
        moved[row.oldName] = {0, 0};
        moved[row.newName] = {row.dev, row.ino};
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
    const int n = std::snprintf(id, sizeof id, "%04d%02d%02d-%02d%02d%02d-%06ld-%ld", tm.tm_year + 1900,
                                tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec,
                                now.tv_nsec / 1000, static_cast<long>(getpid()));
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
    std::snprintf(prefix, sizeof prefix, ".zelvar-%llx-%ld-",
                  static_cast<unsigned long long>(now.tv_sec) * 1000000ULL +
                      static_cast<unsigned long long>(now.tv_nsec / 1000),
                  static_cast<long>(getpid()));
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
    return writeJournal(dir_, journal_);
}

}  // namespace zelvar
