#include <gtest/gtest.h>
#include <signal.h>

#include <cerrno>
#include <chrono>
#include <random>
#include <thread>

#include "platform/scripted_calls.h"
#include "platform/temp_folder.h"
#include "rename/journal.h"
#include "rename/undo.h"
#include "support/scripted_dialogs.h"

using namespace zelvar;
using namespace zelvar::testing;

namespace {

using Renames = std::vector<std::pair<std::string, std::string>>;
using Entries = std::vector<std::pair<std::string, std::string>>;

// Every question answered Yes.
struct YesToAll : ScriptedDialogs {
    YesToAll() { otherwise = Answer::yes; }
};

PreviewList rowsOf(const Renames& renames) {
    PreviewList rows;
    for (const auto& [from, to] : renames) rows.push_back({fromUtf8(from), fromUtf8(to)});
    return rows;
}

// Every test keeps its journals in a folder of its own.
class Undo : public ::testing::Test {
protected:
    void SetUp() override {
        const char* saved = std::getenv("XDG_STATE_HOME");
        saved_ = saved ? std::optional<std::string>(saved) : std::nullopt;
        setenv("XDG_STATE_HOME", state.path().c_str(), 1);
    }
    void TearDown() override {
        if (saved_)
            setenv("XDG_STATE_HOME", saved_->c_str(), 1);
        else
            unsetenv("XDG_STATE_HOME");
    }
    // A new folder to rename in for each case of a table.
    const TempFolder& fresh() { return folder_.emplace(); }
    RunResult rename(const Renames& renames, SysCalls& sys = realSysCalls()) {
        YesToAll run;
        return cmdPrejmenovat_Run(folder_->path(), rowsOf(renames), U"*", run, run, sys);
    }
    UndoResult undo(SysCalls& sys = realSysCalls()) {
        ui = {};
        return undoLastRun(folder_->path(), ui, ui, sys);
    }
    std::vector<std::string> journals() const { return journalFiles(state / "zelvar"); }

    TempFolder state;
    YesToAll ui;

private:
    std::optional<std::string> saved_;
    std::optional<TempFolder> folder_;
};

TEST_F(Undo, RenameThenUndoGivesBackTheFolderAndUndoingTheUndoRenamesAgain) {
    ScriptedCalls folding(true);
    struct Case {
        const char* what;
        Entries entries;
        Renames renames;
        SysCalls* sys;
    };
    const Case cases[] = {
        {"files and a full folder",
         {{"a.txt", "A"}, {"d", "<folder>"}, {"d/x", "X"}},
         {{"a.txt", "Foto_1.txt"}, {"d", "Foto_2"}},
         &realSysCalls()},
        {"a chain", {{"a", "A"}, {"b", "B"}}, {{"b", "c"}, {"a", "b"}}, &realSysCalls()},
        {"a swap through a free name", {{"a", "A"}, {"b", "B"}}, {{"a", "t"}, {"b", "a"}, {"t", "b"}}, &realSysCalls()},
        {"links of both kinds",
         {{"t", "T"}, {"l", "-> t"}, {"h", "== t"}},
         {{"l", "l2"}, {"h", "h2"}},
         &realSysCalls()},
        {"names that are not UTF-8",
         {{"bad\xff", "B"}, {"x", "X"}},
         {{"bad\xff", "good"}, {"x", "\xfe\t.txt"}},
         &realSysCalls()},
        {"a change of case where case folds",
         {{"abc.txt", "A"}, {"d", "<folder>"}},
         {{"abc.txt", "ABC.txt"}, {"d", "D"}},
         &folding},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TempFolder& dir = fresh();
        dir.fill(c.entries);
        const Snapshot before = snapshot(dir.path()), after = renamed(before, c.renames);
        ASSERT_EQ(rename(c.renames, *c.sys).failures, 0);
        ASSERT_EQ(snapshot(dir.path()), after);
        for (const Snapshot* expected : {&before, &after, &before}) {
            const UndoResult result = undo(*c.sys);
            EXPECT_EQ(result.end, UndoEnd::Finished);
            EXPECT_EQ(result.failures, 0) << ui.last();
            EXPECT_EQ(result.returned, static_cast<int>(c.renames.size()));
            EXPECT_EQ(snapshot(dir.path()), *expected);
        }
    }
}

// What a run killed at any point can leave: the undo of its plan puts every piece right.
TEST_F(Undo, PutsRightWhatAKilledRunLeft) {
    struct Case {
        const char* what;
        std::function<void(const TempFolder&, const Journal&)> killedAt;
    };
    const Case cases[] =
        {
            {"before the first rename", [](auto&, auto&) {}},
            {"after the first rename", [](auto& d, auto&) { ::rename((d / "a").c_str(), (d / "x").c_str()); }},
            {"between link and unlink",
             [](auto& d, auto&) {
        ::rename((d / "a").c_str(), (d / "x").c_str());
        ::link((d / "b").c_str(), (d / "y").c_str());
             }},
            {"with an empty file reserved", [](auto& d, auto&) { d.file("z"); }},
            {"with an empty folder reserved", [](auto& d, auto&) { d.folder("y"); }},
            {"half-way through a change of case",
             [&](auto& d, auto& j) { ::rename((d / "c").c_str(), (d / j.temporary(2)).c_str()); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TempFolder& dir = fresh();
        dir.fill({{"a", "A"}, {"b", "B"}, {"c", "C"}, {"e", ""}});
        const Snapshot before = snapshot(dir.path());
        RenameFolder folder(dir.path());
        RunRecorder plan;
        ASSERT_EQ(plan.begin(folder, dir.path(),
                             RunRecorder::planRows(dir.path(), folder,
                                                   {{.oldName = "a", .newName = "x"},
                                                    {.oldName = "b", .newName = "y"},
                                                    {.oldName = "c", .newName = "z"}})),
                  "");
        c.killedAt(dir, plan.journal());
        const UndoResult result = undo();
        EXPECT_EQ(result.end, UndoEnd::Finished);
        EXPECT_EQ(result.failures, 0) << ui.last();
        EXPECT_EQ(snapshot(dir.path()), before);
    }
}

TEST_F(Undo, LeavesAloneAndReportsWhatChangedSinceTheRun) {
    struct Case {
        const char* what;
        std::function<void(const TempFolder&)> meddle;
        Renames back;  // what the undo can still rename back after the meddling
        std::string reason;
        bool needsBirthTimes = false;
    };
    const auto mv = [](const TempFolder& d, const char* from, const char* to) {
        ::rename((d / from).c_str(), (d / to).c_str());
    };
    // The file system may give a deleted entry's inode number to the next entry made: x is made anew,
    // well after the run began, and its row in the journal is given the new x's number, as if it had.
    const auto recreateWithSameInode = [this](const TempFolder& d) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ::unlink((d / "x").c_str());
        d.file("x", "other");
        struct stat st;
        ASSERT_EQ(lstat((d / "x").c_str(), &st), 0);
        const std::string path = journals().front();
        std::stringstream in;
        in << std::ifstream(path).rdbuf();
        std::string text = in.str();
        const std::size_t row = text.rfind('\n', text.find("\ta\tx\n")) + 1;
        text.replace(row, text.find('\t', row) - row, std::to_string(st.st_ino));
        std::ofstream(path, std::ios::trunc) << text;
    };
    const Case cases[] = {
        {"its old name taken by a new file",
         [](auto& d) { d.file("a", "new"); },
         {{"y", "b"}},
         "x nevrácen na a: jméno >a< mezitím dostal jiný soubor"},
        {"renamed again",
         [&](auto& d) { mv(d, "x", "w"); },
         {{"y", "b"}},
         "x nevrácen na a: soubor či složka nebyl nalezen"},
        {"replaced by another file",
         [&](auto& d) { mv(d, "x", "w"), d.file("x", "other"); },
         {{"y", "b"}},
         "x nevrácen na a: pod jménem >x< je nyní jiný soubor"},
        {"replaced by another file with the same inode number",
         recreateWithSameInode,
         {{"y", "b"}},
         "x nevrácen na a: pod jménem >x< je nyní jiný soubor",
         true},
        // An empty entry the journal knows is no placeholder, however new its name.
        {"the new name of a row taken by an entry of the run",
         [&](auto& d) { mv(d, "x", "a"), mv(d, "y", "x"); },
         {},
         "y nevrácen na b: soubor či složka nebyl nalezen"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TempFolder& dir = fresh();
        dir.fill({{"a", "A"}, {"b", ""}});
        if (c.needsBirthTimes && RenameFolder(dir.path()).birthTime("a") == 0) continue;
        ASSERT_EQ(rename({{"a", "x"}, {"b", "y"}}).failures, 0);
        c.meddle(dir);
        const Snapshot meddled = snapshot(dir.path());
        const UndoResult result = undo();
        EXPECT_EQ(result.failures, 1);
        EXPECT_NE(toUtf8(result.report).find("Nevráceno 1 souborů\r\n\r\n" + c.reason), std::string::npos)
            << toUtf8(result.report);
        EXPECT_EQ(result.reportStyle, box::exclamation);
        // Everything else came back; the meddled entries are exactly as they were left.
        const Snapshot expected = renamed(meddled, c.back);
        EXPECT_EQ(snapshot(dir.path()), expected);
    }
}

TEST_F(Undo, PassesOverARunThatRenamedNothing) {
    const TempFolder& dir = fresh();
    dir.fill({{"a", "A"}});
    const Snapshot before = snapshot(dir.path());
    ASSERT_EQ(rename({{"a", "x"}}).failures, 0);
    ASSERT_EQ(rename({{"gone", "y"}}).failures, 1);
    EXPECT_EQ(undo().returned, 1) << ui.last();
    EXPECT_EQ(snapshot(dir.path()), before);
}

TEST_F(Undo, AJournalThatCannotBeReadRenamesNothing) {
    struct Case {
        const char* what;
        std::function<std::string(std::string)> spoil;  // the journal's text after the run
        const char* message;
    };
    const Case cases[] = {
        {"missing", nullptr, "V této složce není žádné přejmenování, které by šlo vrátit."},
        {"truncated", [](std::string t) { return t.substr(0, t.size() - 30); }, "záznam je neúplný"},
        {"nonsense", [](std::string) { return std::string("Ahoj\n"); }, "záznam nemá tvar záznamu přejmenování"},
        {"an edited row", [](std::string t) { return t.replace(t.find("\ta\t"), 3, "\ta "); },
         "záznam nemá tvar záznamu přejmenování"},
        {"a start time that is no time", [](std::string t) { return t.insert(t.find("started ") + 8, "-"); },
         "záznam nemá tvar záznamu přejmenování"},
        {"a row too many", [](std::string t) { return t.insert(t.find("end\n"), "1\t2\tq\tr\n"); },
         "záznam nemá tvar záznamu přejmenování"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TempFolder& dir = fresh();
        dir.fill({{"a", "A"}, {"b", "B"}});
        ASSERT_EQ(rename({{"a", "x"}, {"b", "y"}}).failures, 0);
        const std::string journal = journals().front();
        if (c.spoil) {
            std::stringstream text;
            text << std::ifstream(journal).rdbuf();
            std::ofstream(journal, std::ios::trunc) << c.spoil(text.str());
        } else {
            ::unlink(journal.c_str());
        }
        const Snapshot renamedFolder = snapshot(dir.path());
        const UndoResult result = undo();
        EXPECT_EQ(result.end, c.spoil ? UndoEnd::Unreadable : UndoEnd::NothingToUndo);
        ASSERT_EQ(ui.asked.size(), 1u);
        EXPECT_NE(ui.last().find(c.message), std::string::npos) << ui.last();
        EXPECT_EQ(snapshot(dir.path()), renamedFolder);
        for (const auto& file : journals()) ::unlink(file.c_str());
    }
}

TEST_F(Undo, ARunWhoseJournalCannotBeWrittenDoesNotStart) {
    const TempFolder& dir = fresh();
    dir.fill({{"a", "A"}});
    state.file("zelvar", "a file where the journal folder should be");
    const Snapshot before = snapshot(dir.path());
    YesToAll run;
    const RunResult result = cmdPrejmenovat_Run(dir.path(), rowsOf({{"a", "x"}}), U"*", run, run);
    EXPECT_EQ(result.end, RunEnd::NotStarted);
    EXPECT_EQ(run.asked.back().style, box::critical);
    EXPECT_NE(run.last().find("Nic nebylo přejmenováno."), std::string::npos) << run.last();
    EXPECT_EQ(snapshot(dir.path()), before);
}

TEST_F(Undo, JournalKeepsEveryNameExactlyAndOnlyTheNewestRuns) {
    Journal j;
    j.id = "20261207-010203-000004-5";
    j.time = 1796605323;
    j.started = 1796605323000000007;
    j.folder = "/tmp/a folder\\with\tsome\xff bytes";
    j.folderDev = 2049;
    j.folderIno = 77;
    j.undoes = "20261207-010203-000001-5";
    j.temporaryPrefix = ".zelvar-1a-5-";
    j.finished = true;
    j.renamedCount = 1;
    j.rows = {{2049, 2, true, "žluťoučký kůň.txt", "line\nbreak\r\x01\x7f"},
              {2049, 4, false, "\xc3\x28 \xed\xa0\x80 \xf4\x90\x80\x80", "back\\slash\\x41"}};
    const std::string text = formatJournal(j);
    EXPECT_NE(text.find("žluťoučký kůň.txt\t"), std::string::npos);  // readable names stay readable
    std::string error;
    const auto back = parseJournal(text, false, error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(back->folder, j.folder);
    EXPECT_EQ(back->undoes, j.undoes);
    EXPECT_EQ(back->rowCount, 2u);
    EXPECT_EQ(back->started, j.started);
    // Journals written before the start was recorded read the same without it.
    std::string older = text;
    older.erase(older.find("started "), older.find("folder ") - older.find("started "));
    const auto withoutStart = parseJournal(older, false, error);
    ASSERT_TRUE(withoutStart) << error;
    EXPECT_EQ(withoutStart->started, 0);
    EXPECT_EQ(withoutStart->folder, j.folder);
    for (std::size_t k = 0; k < j.rows.size(); ++k) {
        EXPECT_EQ(back->rows[k].oldName, j.rows[k].oldName);
        EXPECT_EQ(back->rows[k].newName, j.rows[k].newName);
        EXPECT_EQ(back->rows[k].ino, j.rows[k].ino);
        EXPECT_EQ(back->rows[k].renamed, j.rows[k].renamed);
        EXPECT_EQ(back->temporary(k), ".zelvar-1a-5-" + std::to_string(k));
    }

    // The newest 100 stay: 104 older ones and this run's make 105. Of the temporary files that
    // journals cut short by a crash left, only one that may still be in the making stays.
    for (int k = 0; k < 104; ++k) {
        Journal old = j;
        old.id = "20200101-000000-" + std::to_string(100000 + k) + "-1";
        ASSERT_EQ(writeJournal(state / "zelvar", old), "");
    }
    const std::string crashed = state / "zelvar/.20200101-000000-000001-1.tmp",
                      writing = state / "zelvar/.20200101-000000-000002-1.tmp";
    std::ofstream(crashed) << "zelvar-journal 1\n";
    std::ofstream(writing) << "zelvar-journal 1\n";
    const timespec twoHoursAgo[2] = {{time(nullptr) - 7200, 0}, {time(nullptr) - 7200, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, crashed.c_str(), twoHoursAgo, 0), 0);
    fresh().fill({{"a", "A"}});
    rename({{"a", "b"}});
    const auto files = journals();
    ASSERT_EQ(files.size(), 100u);
    EXPECT_NE(files.front().find("/2026"), std::string::npos) << files.front();
    EXPECT_NE(files.back().find("-100005-1.journal"), std::string::npos) << files.back();
    EXPECT_NE(access(crashed.c_str(), F_OK), 0);
    EXPECT_EQ(access(writing.c_str(), F_OK), 0);
}

TEST_F(Undo, JournalFolderFollowsXdgStateHome) {
    struct Case {
        const char* state;
        const char* home;
        std::string folder;
    };
    const Case cases[] = {
        {"/s", "/h", "/s/zelvar"},
        {"relative/s", "/h", "/h/.local/state/zelvar"},  // only an absolute path counts
        {nullptr, "/h", "/h/.local/state/zelvar"},
    };
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    for (const Case& c : cases) {
        if (c.state)
            setenv("XDG_STATE_HOME", c.state, 1);
        else
            unsetenv("XDG_STATE_HOME");
        setenv("HOME", c.home, 1);
        EXPECT_EQ(journalFolder(), c.folder);
    }
    setenv("HOME", home.c_str(), 1);
}

// A child renames 2000 entries and is killed at a random moment; the undo gives back the very folder.
TEST_F(Undo, ARunKilledAtARandomMomentComesBackWhole) {
    std::mt19937 random(std::random_device{}());
    for (int round = 0; round < 6; ++round) {
        SCOPED_TRACE(round);
        const TempFolder& dir = fresh();
        Renames renames;
        for (int k = 0; k < 2000; ++k) {
            const std::string name = "IMG_" + std::to_string(10000 + k) + ".jpg";
            dir.file(name, name);
            renames.emplace_back(name, "Foto_" + std::to_string(10000 + k) + ".jpg");
        }
        const Snapshot before = snapshot(dir.path());
        const pid_t child = fork();
        if (child == 0) {
            ScriptedCalls linkRoute(false, {{"renameat2", EINVAL}});  // link, then unlink
            rename(renames, round % 2 ? static_cast<SysCalls&>(linkRoute) : realSysCalls());
            _exit(0);
        }
        ASSERT_GT(child, 0);
        // The first round is killed before its journal is likely there, the others after it came.
        for (int waited = 0; round > 0 && journals().empty() && waited < 20000; ++waited)
            std::this_thread::sleep_for(std::chrono::microseconds(250));
        std::this_thread::sleep_for(std::chrono::microseconds(random() % (round > 0 ? 40000 : 2000)));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        const UndoResult result = undo();
        if (journals().empty()) {
            EXPECT_EQ(result.end, UndoEnd::NothingToUndo);  // killed before its journal was written
        } else {
            EXPECT_EQ(result.end, UndoEnd::Finished);
            EXPECT_EQ(result.failures, 0) << ui.last();
        }
        EXPECT_EQ(snapshot(dir.path()), before);
        for (const auto& file : journals()) ::unlink(file.c_str());
    }
}

}  // namespace
