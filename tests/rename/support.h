#pragma once
// Test support for the rename tests: a temporary folder that cleans up after itself, a snapshot of
// a folder that tells whether anything was lost, and scripted stand-ins for the message boxes and
// the window.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "rename/dialogs.h"
#include "rename/run.h"

namespace zelvar::testing {

class TempFolder {
public:
    TempFolder() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "zelvar-rename-XXXXXX").string();
        if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
        path_ = tmpl;
    }
    ~TempFolder() {
        std::error_code ec;
        // A test may leave a folder without write permission behind.
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

    void file(const std::string& name, const std::string& content) const {
        std::ofstream(*this / name, std::ios::binary) << content;
    }
    void folder(const std::string& name) const { std::filesystem::create_directory(*this / name); }

    // Bare names in the folder, as bytes.
    std::set<std::string> names() const {
        std::set<std::string> out;
        for (const auto& e : std::filesystem::directory_iterator(path_)) out.insert(e.path().filename().string());
        return out;
    }

private:
    std::string path_;
};

// Everything that identifies the entries of a folder apart from their names: inode, kind and content
// (a folder's content is its listing with the inodes of what it holds).
struct Snapshot {
    std::map<ino_t, std::string> contentByInode;
    std::size_t nameCount = 0;
};

inline std::string fileContent(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

inline std::string describe(const std::string& path, const struct stat& st) {
    if (S_ISDIR(st.st_mode)) {
        std::ostringstream listing;
        listing << "dir:";
        std::map<std::string, ino_t> inner;
        for (const auto& e : std::filesystem::directory_iterator(path)) {
            struct stat s {};
            lstat(e.path().c_str(), &s);
            inner[e.path().filename().string()] = s.st_ino;
        }
        for (const auto& [n, ino] : inner) listing << n << '#' << ino << ';';
        return listing.str();
    }
    if (S_ISLNK(st.st_mode)) {
        std::string target(4096, '\0');
        const ssize_t n = readlink(path.c_str(), target.data(), target.size());
        return "link:" + target.substr(0, n < 0 ? 0 : n);
    }
    return "file:" + fileContent(path);
}

inline Snapshot snapshot(const TempFolder& dir) {
    Snapshot snap;
    for (const auto& name : dir.names()) {
        struct stat st {};
        if (lstat((dir / name).c_str(), &st) != 0) continue;
        snap.contentByInode[st.st_ino] = describe(dir / name, st);
        ++snap.nameCount;
    }
    return snap;
}

// Nothing lost: the same entries (by inode) with the same contents, and exactly one name each.
inline void expectNothingLost(const Snapshot& before, const TempFolder& dir) {
    const Snapshot after = snapshot(dir);
    EXPECT_EQ(after.contentByInode, before.contentByInode);
    EXPECT_EQ(after.nameCount, before.nameCount);
}

// Message boxes answered from a script; boxes with only an OK button take no answer from it.
struct ScriptedDialogs : Dialogs {
    struct Shown {
        Text text;
        int style;
    };
    std::deque<int> answers;
    std::vector<Shown> shown;
    int beeps = 0;
    std::vector<std::string>* log = nullptr;

    int messageBox(const Text& text, int style) override {
        shown.push_back({text, style});
        if (log) log->push_back("box " + std::to_string(style));
        if ((style & 7) == mb::OK) return mb::AnsOK;
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected question: " << toUtf8(text);
            return mb::AnsCancel;
        }
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void beep() override {
        ++beeps;
        if (log) log->push_back("beep");
    }
};

// The window's part of a run: records captions and event processing, answers chkKazdy from a
// script (the last value stays once the script is used up).
struct RecordingFrontEnd : RenameFrontEnd {
    std::vector<Text> captions;
    std::deque<bool> confirm{false};
    int eventRounds = 0;
    std::function<void()> onEvents;
    std::vector<std::string>* log = nullptr;

    void progress(const Text& caption) override {
        captions.push_back(caption);
        if (log) log->push_back("caption " + toUtf8(caption));
    }
    void processEvents() override {
        ++eventRounds;
        if (log) log->push_back("events");
        if (onEvents) onEvents();
    }
    bool confirmEach() override {
        const bool value = confirm.front();
        if (confirm.size() > 1) confirm.pop_front();
        return value;
    }
};

inline PreviewEntry row(const std::string& oldName, const std::string& newName) {
    return {fromUtf8(oldName), fromUtf8(newName), false};
}
inline PreviewEntry markedRow(const std::string& oldName) { return {fromUtf8(oldName), kMarkBezeZmeny, true}; }

}  // namespace zelvar::testing
