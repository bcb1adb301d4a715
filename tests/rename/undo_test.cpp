#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <tuple>
#include <thread>

#include "platform/listing.h"
#include "platform/saferename.h"
#include "platform/scripted_calls.h"
#include "platform/temp_folder.h"
#include "rename/journal.h"
#include "rename/undo.h"
#include "support/scripted_dialogs.h"

using namespace zelvar;
using namespace zelvar::testing;

namespace {

using Renames = Entries;

// Moves an entry behind the program's back.
void move(const TempFolder& dir, const std::string& from, const std::string& to) {
    ::rename((dir / from).c_str(), (dir / to).c_str());
}

// Every test keeps its journals in a folder of its own.
class Undo : public ::testing::Test {
protected:
    void SetUp() override { setenv("XDG_STATE_HOME", state.path().c_str(), 1); }
    void TearDown() override { setenv("XDG_STATE_HOME", saved_.c_str(), 1); }
    // A new folder to rename in for each case of a table.
    const TempFolder& fresh(const Entries& entries = {}) {
        recorder_.reset(), planFolder_.reset();
        return folder_.emplace(entries);
    }
    // A fresh folder of n photos, and the renames of them all.
    Renames photos(int n) {
        fresh();
        Renames renames;
        for (int i = 100; i < 100 + n; ++i) {
            const std::string name = "IMG_" + std::to_string(i) + ".jpg";
            folder_->file(name, name);
            renames.emplace_back(name, "Foto_" + std::to_string(i) + ".jpg");
        }
        return renames;
    }
    // A run killed right after its journal was written, of the first `rows` of a -> x, b -> y, c -> z.
    const Journal& planned(std::size_t rows = 3) {
        std::vector<JournalRow> plan = {
            {.oldName = "a", .newName = "x"}, {.oldName = "b", .newName = "y"}, {.oldName = "c", .newName = "z"}};
        plan.resize(rows);
        RenameFolder& folder = planFolder_.emplace(path());
        EXPECT_EQ(recorder_.emplace().begin(folder, path(), RunRecorder::planRows(path(), folder, plan)), std::nullopt);
        return recorder_->journal();
    }
    RunResult rename(const Renames& renames, SysCalls& sys = realSysCalls()) {
        ScriptedDialogs run(Answer::yes);
        PreviewList rows;
        for (const auto& [from, to] : renames) rows.push_back({fromUtf8(from), fromUtf8(to)});
        return cmdPrejmenovat_Run(folder_->path(), rows, U"*", run, run, sys);
    }
    UndoResult step(Step kind, SysCalls& sys = realSysCalls()) {
        ui = ScriptedDialogs(Answer::yes);
        const std::string& at = folder_->path();
        return kind == Step::undo ? undoLastRun(at, ui, ui, sys) : redoLastRun(at, ui, ui, sys);
    }
    UndoResult undo(SysCalls& sys = realSysCalls()) { return step(Step::undo, sys); }
    UndoResult redo(SysCalls& sys = realSysCalls()) { return step(Step::redo, sys); }
    // Kills a run, an undo or a redo at every rename and checks what the steps after it do.
    void killSweep();
    // A step that fails nowhere, moves `moved` entries (unless -1) and leaves the folder as `expected`.
    UndoResult expectStep(Step kind, int moved, const Snapshot& expected, SysCalls& sys = realSysCalls()) {
        const UndoResult result = step(kind, sys);
        EXPECT_EQ(result.failures, 0) << ui.last();
        if (moved >= 0 && callsPerRename == 1) {
            EXPECT_EQ(result.returned, moved) << ui.last();
        } else if (moved >= 0) {
            // Killed between the link and the unlink of one rename, the entry has both names; the
            // step after it may or may not count it among those it moved.
            EXPECT_GE(result.returned, moved) << ui.last();
            EXPECT_LE(result.returned, moved + 1) << ui.last();
        }
        EXPECT_EQ(snapshot(path()), expected);
        return result;
    }
    UndoResult undoId(const std::string& id) {
        ui = ScriptedDialogs(Answer::yes);
        return undoRun(folder_->path(), id, ui, ui, realSysCalls());
    }
    const std::string& path() const { return folder_->path(); }
    std::vector<std::string> journals() const { return journalFiles(state / "zelvar"); }
    Journal newestJournal(bool headerOnly = true) const {
        const Result<Journal> journal = readJournal(journals().front(), headerOnly);
        EXPECT_TRUE(journal) << failureText(journal.failure());
        return journal ? *journal : Journal{};
    }
    void dropJournals() const {
        for (const auto& file : journals()) ::unlink(file.c_str());
    }
    void editJournal(const std::function<void(std::string&)>& edit) const {
        std::string text = readFile(journals().front());
        edit(text);
        std::ofstream(journals().front(), std::ios::trunc) << text;
    }
    void editJournal(const std::function<void(Journal&)>& edit) const {
        Journal journal = newestJournal(false);
        edit(journal);
        std::ofstream(journals().front(), std::ios::trunc) << formatJournal(journal);
    }

    TempFolder state;
    ScriptedDialogs ui{Answer::yes};
    // Mutating calls of one rename: 1 where renameat2 refuses to replace, 3 where it cannot and a
    // link and an unlink do the rename (renameat2 is tried first every time).
    int callsPerRename = 1;
    // The calls the sweep's runs and steps fail (none counts as a kill point), and the one mode
    // every entry shows (0: its own).
    Faults route;
    mode_t shownMode = 0;
    int sweepEntries = 16;

private:
    std::string saved_ = std::getenv("XDG_STATE_HOME");  // every test program has one
    std::optional<TempFolder> folder_;
    std::optional<RenameFolder> planFolder_;
    std::optional<RunRecorder> recorder_;
};

// Runs `work` in a child whose calls kill it at its k-th call of those `counted` (0 never kills).
void killedBefore(int k, const std::function<void(SysCalls&)>& work, const Faults& faults = {},
                  const std::set<std::string>& counted = {"renameat2", "renameat", "linkat", "unlinkat", "mkdirat"}) {
    const pid_t child = fork();
    if (child == 0) {
        ScriptedCalls calls(false, faults);
        int seen = 0;
        calls.fault = [&](const std::string& call, const std::string&, const std::string&) {
            if (counted.count(call) && ++seen == k) raise(SIGKILL);
            return 0;
        };
        work(calls);
        _exit(0);
    }
    ASSERT_GT(child, 0);
    int status = 0;
    waitpid(child, &status, 0);
}

// A listing that still holds gives the plan the very inodes a reading of the folder gives; one of
// another folder, or one that is not whole, is not used.
TEST(Plan, TakesTheInodesOfAListingOfTheSameFolderOnly) {
    const Entries entries = {{"a", ""}, {"b", ""}, {"c", ""}, {"d", "<folder>"}, {"l", "-> a"}, {"h", "== c"}};
    // Chains, a name taken by an entry no row renames, a row of a name that is not there, a link.
    const std::vector<JournalRow> rows = {{.oldName = "a", .newName = "x"},    {.oldName = "b", .newName = "a"},
                                          {.oldName = "x", .newName = "y"},    {.oldName = "c", .newName = "w"},
                                          {.oldName = "gone", .newName = "z"}, {.oldName = "l", .newName = "m"},
                                          {.oldName = "d", .newName = "e"}};
    TempFolder dir(entries), other(entries);
    using Plan = std::map<std::string, std::pair<std::uint64_t, std::uint64_t>>;  // by old name
    const auto plan = [&](const Listing* listing) {
        RenameFolder folder(dir.path());
        Plan out;
        for (const JournalRow& row : RunRecorder::planRows(dir.path(), folder, rows, listing))
            out[row.oldName] = {row.dev, row.ino};
        return out;
    };
    const auto planWith = [&](Listing listing) { return plan(&listing); };
    const Plan read = plan(nullptr);
    EXPECT_EQ(read.at("a").second, snapshot(dir.path()).at("a").ino);
    EXPECT_EQ(read.at("x"), read.at("a")) << "x is a's name when its row comes";
    EXPECT_EQ(read.at("gone"), (std::pair<std::uint64_t, std::uint64_t>{0, 0}));
    for (const bool dates : {false, true})
        EXPECT_EQ(planWith(listFolder(dir.path(), U"*", File::Oboje, kMaxEntries, dates)), read) << "dates " << dates;
    // The listing with another inode under "b": what the plan gives shows whether it was used.
    Listing altered = listFolder(dir.path(), U"*", File::Oboje);
    NameTable names;
    for (auto [name, id] : altered.allNames) names.add(name, name == "b" ? EntryId{id.dev, 99} : id);
    names.index();
    altered.allNames = std::move(names);
    EXPECT_EQ(plan(&altered).at("b").second, 99u) << "a whole listing of the folder is taken at its word";
    const std::pair<const char*, std::function<Listing(Listing)>> unused[] = {
        {"failed", [](Listing l) { return l.failure = Failure{EIO}, l; }},
        {"cut short", [](Listing l) { return l.truncated = true, l; }},
        {"of another folder",
         [&](Listing l) { return l.folderId = listFolder(other.path(), U"*", File::Oboje).folderId, l; }},
    };
    for (const auto& [what, change] : unused) EXPECT_EQ(planWith(change(altered)), read) << "a listing " << what;
}

TEST_F(Undo, RenameThenUndoGivesBackTheFolderAndRedoRenamesAgain) {
    // What is renamed in a folder holding what, and whether letter case folds there.
    const std::tuple<const char*, Entries, Renames, bool> cases[] = {
        {"a full folder", {{"a.txt", "A"}, {"d", "<folder>"}, {"d/x", "X"}}, {{"a.txt", "1.txt"}, {"d", "2"}}, false},
        {"a chain", {{"a", "A"}, {"b", "B"}}, {{"b", "c"}, {"a", "b"}}, false},
        {"a swap through a free name", {{"a", "A"}, {"b", "B"}}, {{"a", "t"}, {"b", "a"}, {"t", "b"}}, false},
        {"links of both kinds", {{"t", "T"}, {"l", "-> t"}, {"h", "== t"}}, {{"l", "l2"}, {"h", "h2"}}, false},
        {"names that are not UTF-8", {{"bad\xff", "B"}, {"x", "X"}}, {{"bad\xff", "good"}, {"x", "\xfe\t.txt"}}, false},
        {"a change of case", {{"abc.txt", "A"}, {"d", "<folder>"}}, {{"abc.txt", "ABC.txt"}, {"d", "D"}}, true},
        // FAT through FUSE gives each spelling of a name an inode number of its own.
        {"a change of case, fresh inodes", {{"abc.txt", "A"}, {"d", "<folder>"}}, {{"abc.txt", "ABC.txt"}}, true},
    };
    for (const auto& [what, entries, renames, folds] : cases) {
        SCOPED_TRACE(what);
        ScriptedCalls calls(folds);
        calls.freshInodes = std::string(what).ends_with("fresh inodes");
        const TempFolder& dir = fresh(entries);
        const Snapshot before = snapshot(dir.path()), after = renamed(before, renames);
        ASSERT_EQ(rename(renames, calls).failures, 0);
        ASSERT_EQ(snapshot(dir.path()), after);
        for (const Snapshot* expected : {&before, &after, &before})
            EXPECT_EQ(
                expectStep(expected == &before ? Step::undo : Step::redo, std::ssize(renames), *expected, calls).end,
                UndoEnd::Finished);
    }
}

// A run and an undo of one folder exclude each other, in one process and across processes: while
// a run is held in the middle, an undo and a second run are refused with a message and rename
// nothing, and once the run has ended the folder is free again.
TEST_F(Undo, ARunInProgressRefusesASecondRunOrUndo) {
    const std::string busy = "Ve složce právě probíhá jiné přejmenování.";
    const TempFolder& dir = fresh({{"a", "A"}, {"b", "B"}, {"c", "C"}});
    const Snapshot before = snapshot(dir.path());
    const Renames renames = {{"a", "x"}, {"b", "y"}, {"c", "z"}};
    ScriptedCalls calls;
    int seen = 0, childStatus = -1;
    UndoEnd undoEnd = UndoEnd::Finished;
    RunEnd runEnd = RunEnd::Finished;
    ScriptedDialogs second(Answer::yes);
    std::size_t journalsMeanwhile = 0;
    calls.fault = [&](const std::string& call, const std::string&, const std::string&) {
        if (call != "renameat2" || ++seen != 2) return 0;
        undoEnd = undoLastRun(dir.path(), second, second).end;
        runEnd = cmdPrejmenovat_Run(dir.path(), {{U"x", U"q"}}, U"*", second, second).end;
        const pid_t child = fork();
        if (child == 0) {
            ScriptedDialogs other(Answer::yes);
            const UndoResult r = undoLastRun(dir.path(), other, other);
            _exit(r.end == UndoEnd::NotStarted && other.asked.size() == 1 && other.asked[0].text == busy ? 0 : 1);
        }
        waitpid(child, &childStatus, 0);
        journalsMeanwhile = journals().size();
        return 0;
    };
    ASSERT_EQ(rename(renames, calls).failures, 0);
    EXPECT_EQ(undoEnd, UndoEnd::NotStarted);
    EXPECT_EQ(runEnd, RunEnd::NotStarted);
    const std::vector<AskedBox> expected = {{busy, box::exclamation},
                                            {"Opravdu chcete přejmenovat vybrané soubory?", box::yesNo},
                                            {busy, box::exclamation}};
    EXPECT_EQ(second.asked, expected);
    ASSERT_TRUE(WIFEXITED(childStatus));
    EXPECT_EQ(WEXITSTATUS(childStatus), 0) << "the other process was not refused";
    EXPECT_EQ(journalsMeanwhile, 1u);  // the refused ones journaled nothing
    EXPECT_EQ(snapshot(dir.path()), renamed(before, renames));
    EXPECT_EQ(expectStep(Step::undo, 3, before).end, UndoEnd::Finished);
}

// What a run killed at any point can leave: the undo of its plan puts every piece right. An empty
// file or folder under a name the run gave is the user's unless the run reserved it: the killed run
// reserves only the name of the row it was killed at, the first whose entry it had not moved, so an
// empty file under a later row's name stays and is reported.
TEST_F(Undo, PutsRightWhatAKilledRunLeft) {
    const auto placeholder = [](const TempFolder& d, const std::string& name) {
        d.file(name);
        ::chmod((d / name).c_str(), 0600);  // the mode the safe rename gives it
    };
    // What the run left, and the empty file that is not its own.
    const std::pair<std::function<void(const TempFolder&, const Journal&)>, std::string> killedAt[] = {
        {[](auto&, auto&) {}, ""},                        // before the first rename
        {[](auto& d, auto&) { move(d, "a", "x"); }, ""},  // after it
        {[](auto& d, auto&) { move(d, "a", "x"), ::link((d / "b").c_str(), (d / "y").c_str()); }, ""},  // no unlink
        {[&](auto& d, auto&) { move(d, "a", "x"), move(d, "b", "y"), placeholder(d, "z"); }, ""},
        {[](auto& d, auto&) { move(d, "a", "x"), d.folder("y"), ::chmod((d / "y").c_str(), 0700); }, ""},
        {[&](auto& d, auto&) { move(d, "a", "x"), placeholder(d, "y"), placeholder(d, "z"); }, "z"},
        // An empty file of another mode is never the run's, even at the row it was killed at.
        {[](auto& d, auto&) { move(d, "a", "x"), d.file("y"), ::chmod((d / "y").c_str(), 0644); }, "y"},
        {[](auto& d, auto& j) { move(d, "c", j.temporary(2)); }, ""},  // half-way through a change of case
    };
    for (const auto& [leave, kept] : killedAt) {
        SCOPED_TRACE(&leave - &killedAt[0].first);
        const TempFolder& dir = fresh({{"a", "A"}, {"b", "B"}, {"c", "C"}, {"e", ""}});
        Snapshot expected = snapshot(dir.path());
        leave(dir, planned());
        if (!kept.empty()) expected[kept] = snapshot(dir.path()).at(kept);
        const UndoResult result = expectStep(Step::undo, -1, expected);
        EXPECT_EQ(result.end, UndoEnd::Finished);
        EXPECT_EQ(toUtf8(result.report)
                          .find("ponechán prázdný soubor >" + kept + "<: není jisté, že jej vytvořilo přejmenování") !=
                      std::string::npos,
                  !kept.empty())
            << toUtf8(result.report);
    }
}

// A killed run may leave an empty placeholder under a new name. The kernel stamps it with a clock
// that can trail the run's own by a tick, so one stamped a little before the run's start is still
// the run's to remove; an empty folder made well before the run is somebody else's and stays. A file
// system that keeps times in steps of two seconds and no birth time (FAT) stamps a placeholder made
// at 22.6 with 22.000, before a start at 22.513: within a step it is the run's too. So is one stamped
// 20.000 for a start at 22.004, which the trailing clock can have read as 21.998.
TEST_F(Undo, TellsItsPlaceholderByItsTimeAcrossTheClocksTickAndTheFileSystemsStep) {
    // The file system's step in seconds (0: to the nanosecond), milliseconds from the placeholder's
    // stamp to the run's start, whether the undo removes it.
    const std::tuple<int, int, bool> cases[] = {
        {0, 5, true},    {0, 50, false},   {2, 513, true},   {2, 1990, true},
        {2, 2005, true}, {2, 2015, false}, {2, 2500, false},
    };
    for (const auto& [step, after, removed] : cases) {
        SCOPED_TRACE(std::to_string(step) + " s, " + std::to_string(after) + " ms");
        const TempFolder& dir = fresh({{"a", "A"}, {"b", "B"}});
        const Snapshot before = snapshot(dir.path());
        planned(1);
        dir.folder("x");
        ::chmod((dir / "x").c_str(), 0700);
        ScriptedCalls calls;
        calls.coarseTimes = step;
        struct stat x;
        ASSERT_EQ(calls.fstatat(AT_FDCWD, (dir / "x").c_str(), &x, AT_SYMLINK_NOFOLLOW), 0);
        const std::int64_t born = step == 0 ? RenameFolder(dir.path()).birthTime("x") : 0;
        const std::int64_t stamp = born != 0 ? born : x.st_ctim.tv_sec * 1000000000LL + x.st_ctim.tv_nsec;
        editJournal([&](Journal& j) { j.started = stamp + after * 1000000LL; });
        undo(calls);
        EXPECT_EQ(snapshot(dir.path()).count("x"), removed ? 0u : 1u);
        EXPECT_EQ(snapshot(dir.path()).size(), before.size() + (removed ? 0 : 1));
        EXPECT_EQ(ui.last().find("ponechána"), std::string::npos) << "one older than the run is no run's";
    }
}

// An entry the killed run knows is never its placeholder, also where no birth time tells its age
// (FAT): an empty file of a row the run did not reach, moved by the user onto the name of the row it
// was killed at, stays when a redo takes back the killed undo of that run.
TEST_F(Undo, AnEntryAKilledRunKnowsIsNeverItsPlaceholder) {
    const TempFolder& dir = fresh({{"a", "A"}, {"b", "B"}, {"c", ""}});
    ::chmod((dir / "c").c_str(), 0600);
    planned();
    move(dir, "a", "x");                                 // the run was killed after its first rename
    killedBefore(1, [&](SysCalls& sys) { undo(sys); });  // and its undo before its first
    ASSERT_EQ(journals().size(), 2u);
    move(dir, "c", "y");
    const std::uint64_t c = snapshot(dir.path()).at("y").ino;
    ScriptedCalls fat;
    fat.coarseTimes = 1;
    redo(fat);
    const Snapshot after = snapshot(dir.path());
    ASSERT_EQ(after.count("y"), 1u) << ui.last();
    EXPECT_EQ(after.at("y").ino, c);
}

// A finished run leaves no placeholder: its entries put back by hand and new empty ones under its
// names all stay.
TEST_F(Undo, RemovesNoEmptyEntryUnderTheNamesOfAFinishedRun) {
    const TempFolder& dir = fresh({{"a.txt", "data"}, {"olddir", "<folder>"}});
    ASSERT_EQ(rename({{"a.txt", "b.txt"}, {"olddir", "b"}}).failures, 0);
    move(dir, "b.txt", "a.txt"), move(dir, "b", "olddir");
    dir.file("b.txt"), dir.folder("b");
    ::chmod((dir / "b.txt").c_str(), 0600), ::chmod((dir / "b").c_str(), 0700);
    expectStep(Step::undo, 0, snapshot(dir.path()));  // moves nothing, removes nothing
}

TEST_F(Undo, LeavesAloneAndReportsWhatChangedSinceTheRun) {
    // The file system may give a deleted entry's inode number to the next entry made: x is made anew,
    // well after the run began, and its row in the journal is given the new x's number, as if it had.
    const auto recreateWithSameInode = [this](const TempFolder& d) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ::unlink((d / "x").c_str());
        d.file("x", "other");
        editJournal([&](Journal& j) { j.rows.at(0).ino = snapshot(d.path()).at("x").ino; });
    };
    const char* const lost = "x nevrácen na a: soubor či složka nebyl nalezen";
    const char* const replaced = "x nevrácen na a: pod jménem >x< je nyní jiný soubor";
    // The meddling, what the undo can still rename back after it, the reason given for the rest.
    const std::tuple<std::function<void(const TempFolder&)>, Renames, std::string> cases[] = {
        {[](auto& d) { d.file("a", "new"); }, {{"y", "b"}}, "x nevrácen na a: jméno >a< mezitím dostal jiný soubor"},
        {[](auto& d) { move(d, "x", "w"); }, {{"y", "b"}}, lost},
        {[](auto& d) { move(d, "x", "w"), d.file("x", "other"); }, {{"y", "b"}}, replaced},
        {recreateWithSameInode, {{"y", "b"}}, replaced},
        // An empty entry the journal knows is no placeholder, however new its name.
        {[](auto& d) { move(d, "x", "a"), move(d, "y", "x"); }, {}, "y nevrácen na b: soubor či složka nebyl nalezen"},
    };
    for (const auto& [meddle, back, reason] : cases) {
        SCOPED_TRACE(reason);
        const TempFolder& dir = fresh({{"a", "A"}, {"b", ""}});
        // The same inode number can only be told apart by its birth time.
        if (&meddle == &std::get<0>(cases[3]) && RenameFolder(dir.path()).birthTime("a") == 0) continue;
        ASSERT_EQ(rename({{"a", "x"}, {"b", "y"}}).failures, 0);
        meddle(dir);
        const Snapshot meddled = snapshot(dir.path());
        const UndoResult result = undo();
        EXPECT_EQ(result.failures, 1);
        EXPECT_NE(toUtf8(result.report).find("Nevráceno 1 souborů\r\n\r\n" + reason), std::string::npos)
            << toUtf8(result.report);
        EXPECT_EQ(result.reportStyle, box::exclamation);
        // Everything else came back; the meddled entries are exactly as they were left.
        EXPECT_EQ(snapshot(dir.path()), renamed(meddled, back));
    }
}

// The undo shows each entry under the name it gives back, without the run's middle step; a row the
// run did not rename shows nothing, and a failure beeps and shows its box before the entry's last step.
TEST_F(Undo, ShowsTheEntriesItTakesBackAndItsFailuresInOrder) {
    const TempFolder& dir = fresh({{"a", "A"}, {"b", "B"}});
    ASSERT_EQ(rename({{"a", "x"}, {"gone", "y"}, {"b", "z"}}).failures, 1);
    dir.file("a", "new");
    EXPECT_EQ(undo().failures, 1);
    EXPECT_EQ(ui.log, (std::vector<std::string>{"box yes/no", "caption b", "events", "caption b A B", "events",
                                                "caption a", "events", "events", "beep", "box exclamation",
                                                "caption a A B", "events", "box exclamation"}));
}

// Undo goes back run by run and redo comes forward again in the order the undos went; a new run
// ends the redo of what was taken back before it. Each question names the run and its first entry.
TEST_F(Undo, GoesBackRunByRunAndRedoComesForwardUntilANewRun) {
    const TempFolder& dir = fresh({{"a", "A"}, {"c", "C"}});
    // Each run renames what the one before gave, so that taking back in the wrong order would show.
    const Renames runs[] = {{{"a", "b"}, {"c", "d"}}, {{"b", "c"}}, {{"d", "a"}}};
    std::vector<Snapshot> states{snapshot(dir.path())};
    for (const Renames& renames : runs) {
        ASSERT_EQ(rename(renames).failures, 0);
        states.push_back(snapshot(dir.path()));
        if (states.size() == 2) {
            ASSERT_EQ(rename({{"gone", "y"}}).failures, 1);  // a run that renamed nothing is passed over
        }
    }
    const std::string nothingBack = "V této složce není žádné přejmenování, které by šlo vrátit.";
    const std::string nothingAgain = "V této složce není žádné vrácené přejmenování, které by šlo znovu provést.";
    EXPECT_EQ(redo().end, UndoEnd::NothingToUndo);
    EXPECT_EQ(ui.asked, (std::vector<AskedBox>{{nothingAgain, box::information}}));
    const std::string newest = localTimeText(newestJournal().time);
    ASSERT_EQ(nextStep(dir.path(), Step::undo),
              fromUtf8("Opravdu chcete vrátit přejmenování z " + newest + "?\r\n1 souborů, první >a< na >d<."));
    EXPECT_FALSE(nextStep(dir.path(), Step::redo));
    for (int k = 3; k-- > 0;) {
        expectStep(Step::undo, std::ssize(runs[k]), states[k]);
        EXPECT_EQ(ui.asked.front().text.find("Opravdu chcete vrátit přejmenování z "), 0u);
    }
    EXPECT_EQ(undo().end, UndoEnd::NothingToUndo);
    EXPECT_EQ(ui.asked, (std::vector<AskedBox>{{nothingBack, box::information}}));
    EXPECT_FALSE(nextStep(dir.path(), Step::undo));
    EXPECT_NE(nextStep(dir.path(), Step::redo)->find(U", první >a< na >b<."), Text::npos);
    for (int k = 1; k <= 3; ++k) {
        expectStep(Step::redo, std::ssize(runs[k - 1]), states[k]);
        EXPECT_EQ(ui.asked.front().text.find("Opravdu chcete znovu provést přejmenování z "), 0u);
        EXPECT_EQ(ui.last(),
                  "Přejmenování ukončeno\r\n\r\nPřejmenováno " + std::to_string(runs[k - 1].size()) + " souborů\r\n");
    }
    EXPECT_EQ(redo().end, UndoEnd::NothingToUndo);
    // Back and forth once more, then a new run after two undos: what was taken back before it stays so.
    expectStep(Step::undo, 1, states[2]), expectStep(Step::redo, 1, states[3]);
    expectStep(Step::undo, 1, states[2]), expectStep(Step::undo, 1, states[1]);
    ASSERT_EQ(rename({{"d", "e"}}).failures, 0);
    EXPECT_EQ(redo().end, UndoEnd::NothingToUndo);
    EXPECT_EQ(ui.last(), nothingAgain);
    expectStep(Step::undo, 1, states[1]), expectStep(Step::undo, 2, states[0]);
}

// An older run is taken back on its own when no later run still in force renamed the same entries
// or names; else the message names the one that must go first, and nothing is renamed.
TEST_F(Undo, TakesBackAnOlderRunByItsIdWhenNoLaterRunStandsInItsWay) {
    const TempFolder& dir = fresh({{"a", "A"}, {"b", "B"}, {"c", "C"}});
    const Snapshot start = snapshot(dir.path());
    ASSERT_EQ(rename({{"a", "x"}}).failures, 0);
    const std::string first = newestJournal().id;
    ASSERT_EQ(rename({{"b", "y"}}).failures, 0);
    const Snapshot both = snapshot(dir.path());
    ASSERT_EQ(undoId(first).returned, 1) << ui.last();
    EXPECT_EQ(snapshot(dir.path()), renamed(both, {{"x", "a"}})) << "the run of b stays";
    EXPECT_EQ(undoId(first).end, UndoEnd::NothingToUndo);
    EXPECT_EQ(ui.last(), "Přejmenování >" + first + "< je již vráceno.");
    EXPECT_EQ(undoId("20200101-000000-000000-1").end, UndoEnd::NothingToUndo);
    EXPECT_EQ(ui.last(), "V této složce není přejmenování >20200101-000000-000000-1<.");
    expectStep(Step::redo, 1, both);  // the newest undo was the one of the first run

    // A later run renames an entry of the first run; another one takes a name the first run freed.
    for (const Renames& later : {Renames{{"x", "z"}}, Renames{{"c", "a"}}}) {
        SCOPED_TRACE(later[0].first);
        ASSERT_EQ(rename(later).failures, 0);
        const Snapshot blocked = snapshot(dir.path());
        const std::string time = localTimeText(newestJournal().time);
        EXPECT_EQ(undoId(first).end, UndoEnd::NothingToUndo);
        EXPECT_EQ(ui.asked.size(), 1u);
        EXPECT_EQ(ui.asked[0].style, box::exclamation);
        EXPECT_NE(ui.last().find(" nelze vrátit: tytéž soubory či jména mění pozdější přejmenování z " + time +
                                 " (1 souborů), které je třeba vrátit nejdříve."),
                  std::string::npos)
            << ui.last();
        EXPECT_EQ(snapshot(dir.path()), blocked);
        expectStep(Step::undo, 1, both);
    }
    // Taken back, the later runs are out of the way; the run of b and its undo stand apart.
    ASSERT_EQ(undoId(first).returned, 1) << ui.last();
    expectStep(Step::undo, 1, start);
}

// A journal that cannot be read renames nothing and says why. A journal row names one entry of its
// folder: a hand-edited row that leads elsewhere, or that no file system takes, makes the journal
// unreadable too, and nothing in the folder or beside it is renamed or removed. "outside" holds what
// such rows aim at: an empty file and folder newer than the run.
TEST_F(Undo, AJournalThatCannotBeReadOrLeadsOutOfTheFolderRenamesNothing) {
    const std::string tooLong(256, 'n'), malformed = "záznam nemá tvar záznamu přejmenování";
    using Spoil = std::function<std::string(std::string)>;
    // The row's old and new name as the journal writes them; what replaces the temporary prefix.
    const auto row = [](const std::string& from, const std::string& to) -> Spoil {
        return
            [=](std::string t) { return t.replace(t.find("\tkeep.txt\tx.txt\n"), 16, "\t" + from + "\t" + to + "\n"); };
    };
    const auto prefix = [](const std::string& doctored) -> Spoil {
        return [=](std::string t) { return t.replace(t.find("\ntemporary .zelvar-") + 11, 8, doctored); };
    };
    // How the journal is spoilt, what the message says, whether the entry was put back by hand since.
    const std::tuple<Spoil, std::string, bool> cases[] = {
        {nullptr, "V této složce není žádné přejmenování, které by šlo vrátit.", false},  // no journal at all
        {[](std::string t) { return t.substr(0, t.size() - 30); }, "záznam je neúplný", false},
        {[](std::string) { return std::string("Ahoj\n"); }, malformed, false},
        {[](std::string t) { return t.replace(t.find("\tx.txt\n"), 1, " "); }, malformed, false},
        {[](std::string t) { return t.insert(t.find("started ") + 8, "-"); }, malformed, false},
        {[](std::string t) { return t.insert(t.find("end\n"), "1\t2\tq\tr\n"); }, malformed, false},
        {row("keep.txt", "../outside/victim.lock"), malformed, true},
        {row("keep.txt", "..\\x2Foutside\\x2Fvictim.lock"), malformed, true},
        {row("../outside/new", "keep.txt"), malformed, true},
        {row("keep.txt", "../outside/emptydir"), malformed, true},
        {row("keep.txt", "."), malformed, true},
        {row("..", "keep.txt"), malformed, true},
        {row("keep\\x00.txt", "kept.txt"), malformed, true},
        {row("keep.txt", tooLong), malformed, true},
        {prefix("../outside/"), malformed, true},
        {prefix("\\x2E\\x2E\\x2Foutside\\x2F"), malformed, true},
        {prefix(tooLong), malformed, true},
    };
    for (std::size_t k = 0; k < std::size(cases); ++k) {
        SCOPED_TRACE("case " + std::to_string(k));
        const auto& [spoil, message, back] = cases[k];
        const TempFolder& root = fresh({{"d", "<folder>"}, {"d/keep.txt", "K"}, {"d/kept.txt", ""}});
        const std::string d = root / "d";
        ScriptedDialogs run(Answer::yes);
        ASSERT_EQ(cmdPrejmenovat_Run(d, {{U"keep.txt", U"x.txt"}}, U"*", run, run).failures, 0);
        if (back) ::rename((d + "/x.txt").c_str(), (d + "/keep.txt").c_str());
        root.fill({{"outside", "<folder>"}, {"outside/victim.lock", ""}, {"outside/emptydir", "<folder>"}});
        spoil ? editJournal([&](std::string& text) { text = spoil(text); })
              : (void)::unlink(journals().front().c_str());
        const Snapshot folder = snapshot(d), outside = snapshot(root / "outside");
        ui = ScriptedDialogs(Answer::yes);
        EXPECT_EQ(undoLastRun(d, ui, ui).end, spoil ? UndoEnd::Unreadable : UndoEnd::NothingToUndo);
        ASSERT_EQ(ui.asked.size(), 1u);
        EXPECT_NE(ui.last().find(message), std::string::npos) << ui.last();
        EXPECT_EQ(snapshot(d), folder);
        EXPECT_EQ(snapshot(root / "outside"), outside);
        dropJournals();
    }
}

// Only a regular file of a size its rows can take is read as a journal: anything else named like the
// newest journal is refused at once, in bounded memory, where it may be this folder's, and is passed
// over where its header names another folder. The history passes over it with a note.
TEST_F(Undo, AJournalThatIsNoFileOrTooBigIsRefusedQuicklyUnlessItIsAnotherFoldersOwn) {
    const std::string notAFile = "záznam není obyčejný soubor", tooBig = "záznam je příliš velký";
    TempFolder other(Entries{{"o", "O"}});
    ScriptedDialogs quiet(Answer::yes);
    ASSERT_EQ(cmdPrejmenovat_Run(other.path(), {{U"o", U"p"}}, U"*", quiet, quiet).failures, 0);
    const std::string otherText = readFile(journals().front());
    dropJournals();
    const std::string newest = state / "zelvar/29991231-235959-999999-1.journal";
    enum Put { fifo, folder, link, ours, theirs };
    // What is put where the newest journal is: the header of which journal with how many rows, then
    // `bytes` in all (padded with NUL bytes; -1 spoils the count of rows); why it is refused ("" where
    // it names another folder).
    const std::tuple<Put, std::size_t, long, std::string> cases[] = {
        {fifo, 0, 0, notAFile},   {folder, 0, 0, notAFile},  {link, 0, 0, notAFile}, {ours, 2, 50 << 20, tooBig},
        {ours, 40000, 0, tooBig}, {theirs, 2, 50 << 20, ""}, {theirs, 40000, 0, ""}, {theirs, 0, -1, ""},
    };
    for (const auto& [put, rows, bytes, reason] : cases) {
        SCOPED_TRACE(std::to_string(put) + ", " + std::to_string(rows) + " rows, " + std::to_string(bytes) + " B");
        const TempFolder& dir = fresh({{"a", "A"}});
        const Snapshot before = snapshot(dir.path());
        ASSERT_EQ(rename({{"a", "x"}}).failures, 0);
        const std::string own = journals().front();
        ASSERT_EQ(put == fifo     ? ::mkfifo(newest.c_str(), 0600)
                  : put == folder ? ::mkdir(newest.c_str(), 0700)
                  : put == link   ? ::symlink(own.c_str(), newest.c_str())
                                  : 0,
                  0);
        if (put == ours || put == theirs) {
            std::string text = put == ours ? readFile(own) : otherText;
            text = text.substr(0, text.find("\nrows ") + 1) +
                   (bytes < 0 ? "rows x\n" : "rows " + std::to_string(rows) + "\n");
            for (std::size_t k = 0; k < rows; ++k)
                text += "0\tn" + std::to_string(k) + "\tm" + std::to_string(k) + "\n";
            std::ofstream(newest) << text << "end\n";
            ASSERT_EQ(bytes > 0 ? ::truncate(newest.c_str(), bytes) : 0, 0);
        }
        const Snapshot renamedFolder = snapshot(dir.path());
        struct rusage usage;
        getrusage(RUSAGE_SELF, &usage);
        const long memoryBefore = usage.ru_maxrss;
        const auto start = std::chrono::steady_clock::now();
        std::vector<std::string> skipped;
        EXPECT_EQ(runHistory(dir.path(), &skipped).size(), 1u);
        const UndoResult result = undo();
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
        getrusage(RUSAGE_SELF, &usage);
        EXPECT_LT(usage.ru_maxrss - memoryBefore, 30 * 1024) << "kB more at most";
        EXPECT_EQ(result.end, reason.empty() ? UndoEnd::Finished : UndoEnd::Unreadable) << ui.last();
        EXPECT_NE(ui.last().find(reason), std::string::npos) << ui.last();
        EXPECT_EQ(snapshot(dir.path()), reason.empty() ? before : renamedFolder);
        EXPECT_EQ(skipped,
                  reason.empty() ? std::vector<std::string>{} : std::vector<std::string>{newest + ": " + reason});
        std::filesystem::remove_all(newest);
        dropJournals();
    }
}

// The folder's own calls refuse a name that leads out of it, whoever asks.
TEST(RenameFolderNames, NamesThatLeadElsewhereAreRefused) {
    TempFolder root({{"d", "<folder>"}, {"outside", ""}, {"empty", "<folder>"}});
    RenameFolder dir(root / "d");
    EXPECT_TRUE(dir.identify("."));
    for (const std::string& name :
         {std::string("../outside"), std::string(".."), std::string("/tmp"), std::string("a\0b", 3)}) {
        SCOPED_TRACE(name);
        const Result<struct stat> st = dir.identify(name);
        EXPECT_TRUE(!st && st.failure() == Failure{EINVAL});
        EXPECT_EQ(dir.birthTime(name), 0);
    }
    EXPECT_EQ(dir.removeName("../outside", false), Failure{EINVAL});
    EXPECT_EQ(dir.removeName("../empty", true), Failure{EINVAL});
    EXPECT_EQ(dir.removeName(".", true), Failure{EINVAL});
    EXPECT_EQ(snapshot(root.path()).size(), 3u);
}

TEST_F(Undo, ARunWhoseJournalCannotBeWrittenDoesNotStart) {
    const TempFolder& dir = fresh({{"a", "A"}});
    state.file("zelvar", "a file where the journal folder should be");
    ScriptedDialogs run(Answer::yes);
    const RunResult result = cmdPrejmenovat_Run(dir.path(), {{U"a", U"x"}}, U"*", run, run);
    EXPECT_EQ(result.end, RunEnd::NotStarted);
    EXPECT_EQ(run.asked.back().style, box::critical);
    EXPECT_NE(run.last().find("Nic nebylo přejmenováno."), std::string::npos) << run.last();
    EXPECT_EQ(snapshot(dir.path()).count("a"), 1u);
}

TEST_F(Undo, JournalKeepsEveryNameExactlyAndOnlyTheNewestRuns) {
    Journal j{.id = "20261207-010203-000004-5",
              .time = 1796605323,
              .started = 1796605323000000007,
              .folder = "/tmp/a folder\\with\tsome\xff bytes",
              .folderDev = 2049,
              .folderIno = 77,
              .undoes = "20261207-010203-000001-5",
              .temporaryPrefix = ".zelvar-1a-5-",
              .finished = true,
              .renamedCount = 1,
              .rows = {{2049, 2, true, "žluťoučký kůň.txt", "line\nbreak\r\x01\x7f"},
                       {2049, 4, false, "\xc3\x28 \xed\xa0\x80 \xf4\x90\x80\x80", "back\\slash\\x41"}}};
    // Journals written before the start was recorded have no line for it.
    for (const std::int64_t started : {j.started, std::int64_t{0}}) {
        j.started = started;
        const std::string text = formatJournal(j);
        EXPECT_NE(text.find("žluťoučký kůň.txt\t"), std::string::npos);  // readable names stay readable
        const Result<Journal> back = parseJournal(text, false);
        ASSERT_TRUE(back) << failureText(back.failure());
        EXPECT_EQ(back->started, started);
        EXPECT_EQ(formatJournal(*back), text) << "every field and name read back exactly";
    }

    // The newest 100 stay: 104 older ones and this run's make 105. Of the temporary files that
    // journals cut short by a crash left, only one that may still be in the making stays.
    for (int k = 0; k < 104; ++k) {
        j.id = "20200101-000000-" + std::to_string(100000 + k) + "-1";
        ASSERT_EQ(writeJournal(state / "zelvar", j), std::nullopt);
    }
    const std::string crashed = ".20200101-000000-000001-1.tmp", writing = ".20200101-000000-000002-1.tmp";
    state.file("zelvar/" + crashed, "zelvar-journal 1\n");
    state.file("zelvar/" + writing, "zelvar-journal 1\n");
    state.mtime("zelvar/" + crashed, time(nullptr) - 7200);
    fresh({{"a", "A"}});
    rename({{"a", "b"}});
    const auto files = journals();
    ASSERT_EQ(files.size(), 100u);
    EXPECT_NE(files.front().find("/2026"), std::string::npos) << files.front();
    EXPECT_NE(files.back().find("-100005-1.journal"), std::string::npos) << files.back();
    EXPECT_EQ(snapshot(state / "zelvar").count(crashed), 0u);
    EXPECT_EQ(snapshot(state / "zelvar").count(writing), 1u);
}

TEST_F(Undo, JournalFolderFollowsXdgStateHomeWhenItIsAbsolute) {
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    setenv("HOME", "/h", 1);
    for (const char* stateHome : {"/s", "relative/s", static_cast<const char*>(nullptr)}) {
        stateHome ? setenv("XDG_STATE_HOME", stateHome, 1) : unsetenv("XDG_STATE_HOME");
        EXPECT_EQ(journalFolder(), stateHome && *stateHome == '/' ? "/s/zelvar" : "/h/.local/state/zelvar");
    }
    setenv("HOME", home.c_str(), 1);
}

// A run, an undo or a redo killed at any rename is a killed run of its own: the next step of its kind
// finishes it, and a step of the other kind takes back what it did. Either way the steps that follow end
// with the folder exactly as before the run or after it, and no report counts an entry that did not move
// then. A killed run is undone, redone as far as it went and undone again; an undo of a killed run,
// killed in turn at about half of what that run renamed, is finished exactly by the next or taken back
// by a redo, and what follows moves every entry that run renamed, never one it did not reach.
void Undo::killSweep() {
    const int n = sweepEntries;
    enum class Killed { undo, redo, run, runThenItsUndo };
    const char* const names[] = {"an undo", "a redo", "a run", "the undo of a killed run"};
    const auto other = [](Step kind) { return kind == Step::undo ? Step::redo : Step::undo; };
    ScriptedCalls routed(false, route);
    routed.fixedMode = shownMode;
    SysCalls& sys = route.empty() ? realSysCalls() : routed;
    for (const Killed killed : {Killed::undo, Killed::redo, Killed::run, Killed::runThenItsUndo}) {
        for (const bool finish : {true, false}) {
            const int c = callsPerRename;
            for (int k = 1; k <= c * n + 1 && (finish || killed != Killed::run); ++k) {
                SCOPED_TRACE(std::string(names[static_cast<int>(killed)]) + " killed at " + std::to_string(k) +
                             (finish ? ", finished" : ", taken back"));
                const Renames renames = photos(n);
                const Snapshot before = snapshot(path());
                const bool runKilled = killed == Killed::run || killed == Killed::runThenItsUndo;
                routed.log.clear();
                if (runKilled)
                    killedBefore(
                        k, [&](SysCalls& calls) { rename(renames, calls); }, route);
                else
                    ASSERT_EQ(rename(renames, sys).failures, 0);
                Snapshot after = snapshot(path());
                // A run killed between the link and the unlink of a rename left the entry under both
                // names, one killed before its plain rename an empty placeholder under the new name,
                // which the step after it removes first; what carries that run out again leaves the
                // entry under the new name alone.
                int settling = 0;
                for (const auto& [from, to] : renames) {
                    if (!after.count(from) || !after.count(to)) continue;
                    if (after[from].ino == after[to].ino)
                        after.erase(from);
                    else if (after[to].content.empty())
                        after.erase(to), settling = 1;
                }
                const int renamedByRun = runKilled ? std::min((k - 1) / c, n) : n;
                if (killed == Killed::run) {
                    expectStep(Step::undo, renamedByRun, before, sys);
                    expectStep(Step::redo, renamedByRun, after, sys);
                    expectStep(Step::undo, renamedByRun, before, sys);
                    dropJournals();
                    continue;
                }
                const Step kind = killed == Killed::redo ? Step::redo : Step::undo;
                if (kind == Step::redo) expectStep(Step::undo, n, before, sys);
                const int killAt = killed == Killed::runThenItsUndo ? k / 2 : k;
                killedBefore(
                    killAt, [&](SysCalls& calls) { step(kind, calls); }, route);
                const int moved = std::clamp((killAt - 1 - settling) / c, 0, renamedByRun);
                const Snapshot& goal = kind == Step::undo ? before : after;
                const Snapshot& start = kind == Step::undo ? after : before;
                if (finish) {
                    SCOPED_TRACE("the step that finishes it, then the step back, which moves every entry");
                    const UndoEnd end = expectStep(kind, renamedByRun - moved, goal, sys).end;
                    if (killAt >= 1 && (killAt - 1) / c < renamedByRun) {
                        EXPECT_EQ(end, UndoEnd::Finished);
                    }
                    expectStep(other(kind), renamedByRun, start, sys);
                } else {
                    SCOPED_TRACE("the step that takes it back");
                    expectStep(other(kind), moved, start, sys);
                }
                expectStep(kind, renamedByRun, goal, sys);
                // Undos until there is nothing left give back the folder as before the run.
                for (int rounds = 0; rounds < 4 && undo(sys).end == UndoEnd::Finished; ++rounds) {}
                EXPECT_EQ(ui.last(), "V této složce není žádné přejmenování, které by šlo vrátit.");
                EXPECT_EQ(snapshot(path()), before);
                dropJournals();
            }
        }
    }
}

// Also where neither a refusing rename nor a link is to be had and every entry shows one mode (FAT):
// each rename reserves its new name with a placeholder first, the rename of it the one kill point.
TEST_F(Undo, AKilledRunUndoOrRedoEndsExactByTheStepsAfterIt) {
    killSweep();
    route = {{"renameat2", EINVAL}, {"linkat", EPERM}}, shownMode = 0755;
    killSweep();
}

// The same on a FUSE file system, which serves renames, links and times its own way: a plain bindfs
// view, one that hides hard links (a link then looks like a file of its own), and FAT through fusefat
// (no links, times in 2 s, each spelling of a name its own inode). Skipped where the machine cannot
// mount one.
class FuseMount {  // not copied: it owns its folders
public:
    // `view`: "bindfs OPTIONS" or "fusefat".
    explicit FuseMount(const std::string& view) : view_(view) {
        const std::string at = " '" + point_.path() + "' >/dev/null 2>&1", image = "'" + source_ / "fat.img" + "'";
        const bool fat = view == "fusefat";
        const std::string command = fat ? "truncate -s 32M " + image + " && PATH=$PATH:/usr/sbin:/sbin mkfs.vfat " +
                                              image + " >/dev/null && fusefat -o rw+ " + image + at
                                        : view + " '" + source_.path() + "'" + at;
        if (::access("/dev/fuse", R_OK | W_OK) != 0)
            why_ = "/dev/fuse cannot be opened";
        else if (fat && std::system("PATH=$PATH:/usr/sbin:/sbin; command -v fusefat >/dev/null && "
                                    "command -v mkfs.vfat >/dev/null") != 0)
            why_ = "fusefat or mkfs.vfat is missing (Debian's packages fusefat and dosfstools)";
        else if (std::system(command.c_str()) != 0) {
            why_ = "'" + command + "' failed (FUSE allowed?)";
            tried_ = true;
        }
    }
    ~FuseMount() {
        // A mount that reported failure may still have come up: it is not left behind either.
        if (tried_) std::system(("fusermount -u -q '" + point_.path() + "' >/dev/null 2>&1").c_str());
        if (!mounted()) return;
        const int status =
            std::system(("fusermount -u '" + point_.path() + "' || umount -l '" + point_.path() + "'").c_str());
        EXPECT_EQ(status, 0) << "the " << view_ << " mount at " << point_.path() << " stays mounted";
    }
    bool mounted() const { return why_.empty(); }
    const std::string& why() const { return why_; }
    const std::string& path() const { return point_.path(); }

private:
    std::string view_;
    TempFolder source_, point_;
    std::string why_;
    bool tried_ = false;  // the mount command ran and failed
};

TEST_F(Undo, AKilledRunUndoOrRedoEndsExactOnAFuseMount) {
    for (const std::string view : {"bindfs", "bindfs --hide-hard-links", "fusefat"}) {
        SCOPED_TRACE(view);
        const FuseMount mount(view);
        if (!mount.mounted()) GTEST_SKIP() << view << ": " << mount.why();
        const char* saved = std::getenv("TMPDIR");
        const std::string tmpdir = saved ? saved : "";
        setenv("TMPDIR", mount.path().c_str(), 1);
        callsPerRename = 3;  // neither can rename without replacing: a link and an unlink, or a placeholder
        sweepEntries = view == "fusefat" ? 6 : 16;  // fusefat is slow
        killSweep();
        saved ? setenv("TMPDIR", tmpdir.c_str(), 1) : unsetenv("TMPDIR");
        fresh();  // the last folder of the sweep goes before the file system does
    }
}

// Where neither a refusing rename nor a link is to be had, every rename reserves its new name with
// an empty placeholder first: a run killed before any of its calls comes back exactly, placeholder
// and all, and nothing else is removed.
TEST_F(Undo, ARunThatReservesNamesKilledAtAnyCallComesBackExactly) {
    for (int k = 1; k <= 26; ++k) {
        SCOPED_TRACE(k);
        const TempFolder& dir = fresh({{"a", "A"}, {"b", ""}, {"c", "C"}, {"d", "<folder>"}, {"e", "<folder>"}});
        const Snapshot before = snapshot(dir.path());
        killedBefore(
            k,
            [&](SysCalls& sys) {
            rename({{"a", "x"}, {"b", "y"}, {"d", "w"}, {"c", "a"}, {"e", "v"}}, sys);
            },
            {{"renameat2", EINVAL}, {"linkat", EPERM}}, {"renameat", "unlinkat", "mkdirat", "openat"});
        const UndoResult result = expectStep(Step::undo, -1, before);
        EXPECT_EQ(toUtf8(result.report).find("ponechán"), std::string::npos) << toUtf8(result.report);
        dropJournals();
    }
}

// A killed run recorded nothing of what it renamed: the history counts what is still under the names
// it gave, and once an undo took it back, what that undo returned; never a plain 0.
TEST_F(Undo, HistoryCountsWhatAKilledRunRenamed) {
    const Renames renames = photos(8);
    killedBefore(6, [&](SysCalls& sys) { rename(renames, sys); });
    std::vector<HistoryLine> history = runHistory(path());
    ASSERT_EQ(history.size(), 1u);
    EXPECT_FALSE(history[0].finished);
    EXPECT_EQ(history[0].renamed, 5);
    EXPECT_EQ(history[0].planned, 8u);
    ::rename((path() + "/" + renames[4].second).c_str(), (path() + "/elsewhere").c_str());  // no longer the run's
    EXPECT_EQ(runHistory(path())[0].renamed, 4);
    ASSERT_EQ(undo().returned, 4) << ui.last();
    history = runHistory(path());
    ASSERT_EQ(history.size(), 2u);
    EXPECT_TRUE(history[1].takenBack);
    EXPECT_EQ(history[1].renamed, 4);
}

// A child renames 2000 entries and is killed at a random moment; the undo gives back the very folder.
TEST_F(Undo, ARunKilledAtARandomMomentComesBackWhole) {
    std::mt19937 random(std::random_device{}());
    for (int round = 0; round < 6; ++round) {
        SCOPED_TRACE(round);
        const Renames renames = photos(2000);
        const Snapshot before = snapshot(path());
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
        const bool journaled = !journals().empty();  // killed before its journal was written, it renamed nothing
        EXPECT_EQ(expectStep(Step::undo, -1, before).end, journaled ? UndoEnd::Finished : UndoEnd::NothingToUndo);
        dropJournals();
    }
}

}  // namespace
