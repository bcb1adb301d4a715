#pragma once
// A temporary folder on the real file system, removed with everything in it when the test ends, and
// a snapshot of a folder's entries to prove that a rename lost or replaced nothing. The tests of
// every folder that touches a disk share them.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace zelvar::testing {

using Entries = std::vector<std::pair<std::string, std::string>>;

inline std::string readFile(const std::string& path) {
    std::stringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    return bytes.str();
}

class TempFolder {
public:
    explicit TempFolder(const Entries& entries = {}) {
        const char* base = std::getenv("TMPDIR");
        path_ = std::string(base && *base ? base : "/tmp") + "/zelvar-test-XXXXXX";
        if (mkdtemp(path_.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        fill(entries);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

    void file(const std::string& name, const std::string& content = "") const {
        std::ofstream(*this / name, std::ios::binary) << content;
    }
    void folder(const std::string& name) const { mkdir((*this / name).c_str(), 0755); }
    // Entries written as a snapshot shows them: "<folder>", "-> target" for a symbolic link, else the
    // file's bytes; "== name" makes a second hard link of an entry made before.
    void fill(const Entries& entries) const {
        for (const auto& [name, content] : entries) {
            if (content == "<folder>")
                folder(name);
            else if (content.rfind("-> ", 0) == 0)
                symlink(content.substr(3).c_str(), (*this / name).c_str());
            else if (content.rfind("== ", 0) == 0)
                ::link((*this / content.substr(3)).c_str(), (*this / name).c_str());
            else
                file(name, content);
        }
    }
    // Sets the modification time of an entry itself (a link is not followed); a name that is not
    // there is the test's mistake.
    void mtime(const std::string& name, time_t seconds, long nanoseconds = 0) const {
        const struct timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
        if (utimensat(AT_FDCWD, (*this / name).c_str(), times, AT_SYMLINK_NOFOLLOW) != 0)
            throw std::runtime_error("cannot set the time of " + name);
    }

private:
    std::string path_;
};

// What each name of a folder holds: its inode and its content (file bytes, link target, or a mark
// for a folder). Two equal snapshots mean no entry was lost, replaced, changed or added. A FUSE
// daemon keeps a file whose last name was removed while it was open under ".fuse_hidden…" until it
// is closed; a snapshot, which opens every file, can itself be that last holder (the kernel tells
// the daemon of a close later), so such names count as gone.
struct EntryState {
    ino_t ino = 0;
    std::string content;
    bool operator==(const EntryState&) const = default;
};
inline void PrintTo(const EntryState& s, std::ostream* os) { *os << "inode " << s.ino << ": " << s.content; }
using Snapshot = std::map<std::string, EntryState>;

inline Snapshot snapshot(const std::string& folder) {
    Snapshot shot;
    std::error_code notAFolder;
    for (const auto& entry : std::filesystem::directory_iterator(folder, notAFolder)) {
        if (entry.path().filename().string().starts_with(".fuse_hidden")) continue;
        struct stat st;
        if (lstat(entry.path().c_str(), &st) != 0) continue;
        EntryState& state = shot[entry.path().filename()] = {st.st_ino, "<folder>"};
        if (S_ISLNK(st.st_mode)) {
            state.content = "-> " + std::filesystem::read_symlink(entry.path()).string();
        } else if (!S_ISDIR(st.st_mode)) {
            state.content = readFile(entry.path());
        }
    }
    return shot;
}

// The snapshot expected after these renames, in this order, and nothing else.
inline Snapshot renamed(Snapshot shot, const Entries& renames) {
    for (const auto& [from, to] : renames) {
        auto node = shot.extract(from);
        if (node.empty()) throw std::logic_error("no entry " + from);
        node.key() = to;
        shot.insert(std::move(node));
    }
    return shot;
}

}  // namespace zelvar::testing
