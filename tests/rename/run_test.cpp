#include <cerrno>
#include <cstring>

#include "platform/saferename.h"
#include "support.h"

using namespace zelvar;
using namespace zelvar::testing;

namespace {

const Text kQuestion = T("Opravdu chcete přejmenovat vybrané soubory?");
const Text kExtQuestion = T("Měníte přípony.\r\nJe to tak správně?");

Text notAccepted(const std::string& oldName, const std::string& newName) {
    return T("Název >" + newName + "<\r\n     nebo >" + oldName + "<\r\n           není povolen,\r\n>" +
             oldName + "< nebude přejmenován");
}
Text exists(const std::string& newName) { return T("Soubor či složka >" + newName + "< již existuje"); }

struct ScriptedRun {
    ScriptedDialogs dialogs;
    RecordingFrontEnd frontEnd;
    RunResult result;

    SysCalls* sys = &realSysCalls();

    // Answers Yes to the first question and then whatever `answers` holds.
    RunResult go(const std::string& folder, PreviewList rows, std::deque<int> answers = {}, const Text& ext = U"*") {
        answers.push_front(mb::AnsYes);
        return script(folder, std::move(rows), std::move(answers), ext);
    }
    RunResult script(const std::string& folder, PreviewList rows, std::deque<int> answers, const Text& ext) {
        dialogs.answers = std::move(answers);
        result = cmdPrejmenovat_Run(folder, std::move(rows), ext, dialogs, frontEnd, *sys);
        EXPECT_TRUE(dialogs.answers.empty()) << "questions not asked: " << dialogs.answers.size();
        return result;
    }
    std::vector<Text> errorBoxes() const {
        std::vector<Text> out;
        for (const auto& s : dialogs.shown)
            if (s.style == mb::Exclamation && s.text.rfind(U"Přejmenování ukončeno", 0) != 0) out.push_back(s.text);
        return out;
    }
};

TEST(RenameRun, CleanRunReportsExactlyAndRenamesInOrder) {
    TempFolder dir;
    dir.file("a.txt", "A");
    dir.file("c.txt", "C");
    dir.file("keep.txt", "K");
    const Snapshot before = snapshot(dir);

    ScriptedRun run;
    run.go(dir.path(), {row("a.txt", "b.txt"), markedRow("keep.txt"), row("c.txt", "d.txt")});

    EXPECT_EQ(run.result.end, RunEnd::Finished);
    EXPECT_EQ(run.result.attempts, 2);
    EXPECT_EQ(run.result.failures, 0);
    const Text report = T("Přejmenování ukončeno\r\n\r\nPřejmenováno 2 souborů\r\n");
    EXPECT_EQ(run.result.report, report);
    ASSERT_EQ(run.dialogs.shown.size(), 2u);
    EXPECT_EQ(run.dialogs.shown[0].text, kQuestion);
    EXPECT_EQ(run.dialogs.shown[0].style, 36);
    EXPECT_EQ(run.dialogs.shown[1].text, report);
    EXPECT_EQ(run.dialogs.shown[1].style, 64);
    EXPECT_EQ(run.dialogs.beeps, 0);
    EXPECT_EQ(run.frontEnd.captions,
              (std::vector<Text>{U"b.txt", U"b.txt A", U"b.txt A B", U"d.txt", U"d.txt A", U"d.txt A B"}));
    EXPECT_EQ(dir.names(), (std::set<std::string>{"b.txt", "d.txt", "keep.txt"}));
    expectNothingLost(before, dir);
}

TEST(RenameRun, FailuresAreCountedListedAndAnnounced) {
    TempFolder dir;
    dir.file("a.txt", "A");
    dir.file("b.txt", "B");
    dir.file("c.txt", "C");
    const std::string tooLong(300, 'x');
    // Created after the preview was built: the preview did not mark it.
    dir.file("taken.txt", "T");
    const Snapshot before = snapshot(dir);

    ScriptedRun run;
    run.go(dir.path(), {row("a.txt", "taken.txt"), row("b.txt", "bb.txt"), row("c.txt", tooLong)});

    EXPECT_EQ(run.result.attempts, 3);
    EXPECT_EQ(run.result.failures, 2);
    const Text report = T("Přejmenování ukončeno\r\n\r\nPřejmenováno 1 souborů\r\nNepřejmenováno 2 souborů\r\n"
                          "\r\na.txt nepřejmenován na taken.txt\r\nc.txt nepřejmenován na " + tooLong);
    EXPECT_EQ(run.result.report, report);
    EXPECT_EQ(run.result.reportStyle, 48);
    EXPECT_EQ(run.dialogs.shown.back().text, report);
    EXPECT_EQ(run.dialogs.shown.back().style, 48);
    EXPECT_EQ(run.errorBoxes(), (std::vector<Text>{exists("taken.txt"), notAccepted("c.txt", tooLong)}));
    EXPECT_EQ(run.dialogs.beeps, 2);
    EXPECT_EQ(dir.names(), (std::set<std::string>{"a.txt", "bb.txt", "c.txt", "taken.txt"}));
    expectNothingLost(before, dir);
}

TEST(RenameRun, ErrorHandlerRunsBetweenTheTwoProgressMarks) {
    TempFolder dir;
    dir.file("a", "A");
    dir.file("b", "B");
    std::vector<std::string> log;
    ScriptedRun run;
    run.dialogs.log = &log;
    run.frontEnd.log = &log;
    run.go(dir.path(), {row("a", "b")});
    const std::vector<std::string> expected = {
        "box 36",   "caption b", "events", "events", "caption b A", "events",
        "beep",     "box 48",    "caption b A B", "events", "box 48",
    };
    EXPECT_EQ(log, expected);
}

TEST(RenameRun, ExtensionQuestionUnlessThePatternIsExactlyAStar) {
    struct Case {
        const char* ext;
        bool asked;
    };
    for (const Case c : {Case{"*", false}, Case{"jpg", true}, Case{"* ", true}, Case{"", true}, Case{"**", true}}) {
        SCOPED_TRACE(c.ext);
        TempFolder dir;
        dir.file("a.txt", "A");
        ScriptedRun run;
        run.go(dir.path(), {row("a.txt", "b.txt")}, c.asked ? std::deque<int>{mb::AnsYes} : std::deque<int>{}, T(c.ext));
        ASSERT_EQ(run.dialogs.shown.size(), c.asked ? 3u : 2u);
        if (c.asked) {
            EXPECT_EQ(run.dialogs.shown[1].text, kExtQuestion);
            EXPECT_EQ(run.dialogs.shown[1].style, 36);
        }
        EXPECT_EQ(dir.names(), std::set<std::string>{"b.txt"});
    }
}

TEST(RenameRun, DeclinedQuestionsRenameNothing) {
    struct Case {
        std::deque<int> answers;
        RunEnd end;
    };
    for (const Case& c : {Case{{mb::AnsNo}, RunEnd::Declined}, Case{{mb::AnsYes, mb::AnsNo}, RunEnd::ExtensionDeclined}}) {
        TempFolder dir;
        dir.file("a.txt", "A");
        ScriptedRun run;
        run.script(dir.path(), {row("a.txt", "a.jpg")}, c.answers, U"jpg");
        EXPECT_EQ(run.result.end, c.end);
        EXPECT_EQ(run.dialogs.shown.size(), c.answers.size());
        EXPECT_TRUE(run.frontEnd.captions.empty());
        EXPECT_EQ(run.frontEnd.eventRounds, 0);
        EXPECT_EQ(dir.names(), std::set<std::string>{"a.txt"});
    }
}

TEST(RenameRun, PerEntryAnswers) {
    struct Case {
        const char* label;
        std::deque<bool> confirm;  // chkKazdy as read before each entry
        std::deque<int> answers;
        std::set<std::string> renamed;  // of 1..4
        int attempts;
    };
    const int Y = mb::AnsYes, N = mb::AnsNo, C = mb::AnsCancel;
    const Case cases[] = {
        {"yes no yes cancel", {true}, {Y, N, Y, C}, {"1", "3"}, 2},
        {"all no", {true}, {N, N, N, N}, {}, 0},
        {"cancel first", {true}, {C}, {}, 0},
        // A No keeps later entries from being renamed while nobody is asked, until a Yes.
        {"no holds while unchecked", {true, false, true, false}, {N, Y}, {"3", "4"}, 2},
        {"never asked", {false}, {}, {"1", "2", "3", "4"}, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        TempFolder dir;
        for (const char* n : {"1", "2", "3", "4"}) dir.file(n, n);
        const Snapshot before = snapshot(dir);
        ScriptedRun run;
        run.frontEnd.confirm = c.confirm;
        run.go(dir.path(), {row("1", "1x"), row("2", "2x"), row("3", "3x"), row("4", "4x")}, c.answers);
        EXPECT_EQ(run.result.attempts, c.attempts);
        std::set<std::string> expected;
        for (const char* n : {"1", "2", "3", "4"}) expected.insert(c.renamed.count(n) ? std::string(n) + "x" : n);
        EXPECT_EQ(dir.names(), expected);
        const Text report = T("Přejmenování ukončeno\r\n\r\nPřejmenováno " + std::to_string(c.attempts) +
                              " souborů\r\n");
        EXPECT_EQ(run.result.report, report);
        EXPECT_EQ(run.dialogs.shown.back().style, 64);
        expectNothingLost(before, dir);
    }
}

TEST(RenameRun, PerEntryQuestionText) {
    TempFolder dir;
    dir.file("stará.txt", "");
    ScriptedRun run;
    run.frontEnd.confirm = {true};
    run.go(dir.path(), {row("stará.txt", "nová.txt")}, {mb::AnsYes});
    ASSERT_GE(run.dialogs.shown.size(), 2u);
    EXPECT_EQ(run.dialogs.shown[1].text, T("Chcete přejmenovat soubor >stará.txt< na >nová.txt< ?"));
    EXPECT_EQ(run.dialogs.shown[1].style, 35);
    EXPECT_EQ(dir.names(), std::set<std::string>{"nová.txt"});
}

TEST(RenameRun, EveryFailedRenameCountsIncludingOtherErrors) {
    TempFolder dir;
    dir.file("b", "B");
    const Snapshot before = snapshot(dir);
    ScriptedRun run;
    run.go(dir.path(), {row("gone", "x"), row("b", "y")});
    EXPECT_EQ(run.result.attempts, 2);
    EXPECT_EQ(run.result.failures, 1);
    EXPECT_EQ(run.errorBoxes(), std::vector<Text>{fromUtf8(std::strerror(ENOENT))});
    EXPECT_EQ(run.result.report, T("Přejmenování ukončeno\r\n\r\nPřejmenováno 1 souborů\r\nNepřejmenováno 1 souborů"
                                   "\r\n\r\ngone nepřejmenován na x"));
    EXPECT_EQ(dir.names(), std::set<std::string>{"y"});
    expectNothingLost(before, dir);
}

TEST(RenameRun, UnopenableFolderFailsEveryAttemptWithItsReason) {
    TempFolder parent;
    ScriptedRun run;
    run.go(parent / "missing", {row("a", "b"), row("c", "d")});
    EXPECT_EQ(run.result.attempts, 2);
    EXPECT_EQ(run.result.failures, 2);
    EXPECT_EQ(run.errorBoxes(), std::vector<Text>(2, fromUtf8(std::strerror(ENOENT))));
    EXPECT_EQ(run.result.reportStyle, 48);
}

TEST(RenameRun, NamesTheFileSystemRefuses) {
    TempFolder dir;
    dir.file("a", "A");
    dir.folder("sub");
    const Snapshot before = snapshot(dir);
    for (const std::string& bad :
         std::vector<std::string>{".", "..", "sub/a", std::string(256, 'n'), std::string("nul\0x", 5)}) {
        SCOPED_TRACE(bad);
        ScriptedRun run;
        run.go(dir.path(), {row("a", bad)});
        EXPECT_EQ(run.result.failures, 1);
        EXPECT_EQ(run.errorBoxes(), std::vector<Text>{notAccepted("a", bad)});
        expectNothingLost(before, dir);
        EXPECT_EQ(dir.names(), (std::set<std::string>{"a", "sub"}));
    }
}

TEST(RenameRun, ReadOnlyFolder) {
    TempFolder dir;
    dir.file("a", "A");
    chmod(dir.path().c_str(), 0555);
    // Where permissions do not bind (root), the folder is not read-only to us at all.
    const std::string probe = dir / "probe";
    const int fd = open(probe.c_str(), O_CREAT | O_WRONLY, 0644);
    if (fd >= 0) {
        close(fd);
        unlink(probe.c_str());
        GTEST_SKIP() << "folder permissions do not bind this user";
    }
    const Snapshot before = snapshot(dir);
    ScriptedRun run;
    run.go(dir.path(), {row("a", "b")});
    EXPECT_EQ(run.result.failures, 1);
    EXPECT_EQ(run.errorBoxes(), std::vector<Text>{fromUtf8(std::strerror(EACCES))});
    expectNothingLost(before, dir);
    EXPECT_EQ(dir.names(), std::set<std::string>{"a"});
}

// Refuses every rename as a read-only or write-protected folder does, whoever runs the tests.
struct RefusingSysCalls : SysCalls {
    int error;
    explicit RefusingSysCalls(int e) : error(e) {}
    int renameat2(int, const char*, int, const char*, unsigned) override { return errno = error, -1; }
    int renameat(int, const char*, int, const char*) override { return errno = error, -1; }
    int linkat(int, const char*, int, const char*, int) override { return errno = error, -1; }
};

TEST(RenameRun, RefusedRenamesShowTheSystemsDescription) {
    for (const int error : {EACCES, EROFS, EPERM}) {
        SCOPED_TRACE(error);
        TempFolder dir;
        dir.file("a", "A");
        dir.file("b", "B");
        const Snapshot before = snapshot(dir);
        RefusingSysCalls sys(error);
        ScriptedRun run;
        run.sys = &sys;
        run.go(dir.path(), {row("a", "x"), row("b", "y")});
        EXPECT_EQ(run.errorBoxes(), std::vector<Text>(2, fromUtf8(std::strerror(error))));
        EXPECT_EQ(run.result.report, T("Přejmenování ukončeno\r\n\r\nPřejmenováno 0 souborů\r\nNepřejmenováno 2 souborů"
                                       "\r\n\r\na nepřejmenován na x\r\nb nepřejmenován na y"));
        expectNothingLost(before, dir);
    }
}

TEST(RenameRun, ChainsAndSwapsNeverReplace) {
    TempFolder dir;
    dir.file("a", "A");
    dir.file("b", "B");
    const Snapshot before = snapshot(dir);
    ScriptedRun run;
    // The preview orders it so: b moves on before a takes its name.
    run.go(dir.path(), {row("b", "c"), row("a", "b")});
    EXPECT_EQ(run.result.failures, 0);
    EXPECT_EQ(fileContent(dir / "b"), "A");
    EXPECT_EQ(fileContent(dir / "c"), "B");
    expectNothingLost(before, dir);

    // The other order: the first rename meets an existing name and must not replace it.
    ScriptedRun forced;
    forced.go(dir.path(), {row("b", "c"), row("c", "d")});
    EXPECT_EQ(forced.result.failures, 1);
    EXPECT_EQ(forced.errorBoxes(), std::vector<Text>{exists("c")});
    EXPECT_EQ(dir.names(), (std::set<std::string>{"b", "d"}));
    expectNothingLost(before, dir);

    // A swap forced through: both renames meet a taken name, both entries stay.
    ScriptedRun swap;
    swap.go(dir.path(), {row("b", "d"), row("d", "b")});
    EXPECT_EQ(swap.result.failures, 2);
    EXPECT_EQ(swap.errorBoxes(), (std::vector<Text>{exists("d"), exists("b")}));
    EXPECT_EQ(fileContent(dir / "b"), "A");
    EXPECT_EQ(fileContent(dir / "d"), "B");
    expectNothingLost(before, dir);
}

TEST(RenameRun, FoldersAndLinksAreRenamedWithWhatTheyHold) {
    TempFolder dir;
    dir.folder("old");
    dir.file("old/inside.txt", "I");
    dir.folder("full");
    dir.file("full/x", "X");
    dir.folder("empty");
    ASSERT_EQ(symlink("nowhere", (dir / "link").c_str()), 0);
    const Snapshot before = snapshot(dir);
    ScriptedRun run;
    // A folder must not replace an empty folder either.
    run.go(dir.path(), {row("old", "new"), row("full", "empty"), row("link", "link2")});
    EXPECT_EQ(run.result.failures, 1);
    EXPECT_EQ(run.errorBoxes(), std::vector<Text>{exists("empty")});
    EXPECT_EQ(dir.names(), (std::set<std::string>{"new", "full", "empty", "link2"}));
    expectNothingLost(before, dir);
}

TEST(RenameRun, InvalidUtf8NamesCrossByteForByte) {
    TempFolder dir;
    const std::string bad = "bad\xFF\xFE.txt";
    dir.file(bad, "1");
    dir.file("good.txt", "2");
    const Snapshot before = snapshot(dir);
    ScriptedRun run;
    run.go(dir.path(), {row(bad, "fixed.txt"), row("good.txt", "x\xC3(.txt")});
    EXPECT_EQ(run.result.failures, 0);
    EXPECT_EQ(dir.names(), (std::set<std::string>{"fixed.txt", "x\xC3(.txt"}));
    expectNothingLost(before, dir);
}

TEST(RenameRun, WorksOnItsOwnCopyWhileEventsChangeTheWorld) {
    TempFolder dir;
    dir.file("a", "A");
    dir.file("b", "B");
    PreviewList shared = {row("a", "a2"), row("b", "b2")};
    ScriptedRun run;
    int rounds = 0;
    run.frontEnd.onEvents = [&] {
        // A rebuild of the preview during the run replaces the list the window holds, and someone
        // creates the second entry's target meanwhile.
        shared.assign(1, row("zzz", "yyy"));
        if (++rounds == 1) dir.file("b2", "new");
    };
    run.go(dir.path(), shared);
    EXPECT_EQ(run.result.attempts, 2);
    EXPECT_EQ(run.errorBoxes(), std::vector<Text>{exists("b2")});
    EXPECT_EQ(dir.names(), (std::set<std::string>{"a2", "b", "b2"}));
    EXPECT_EQ(fileContent(dir / "b2"), "new");
    EXPECT_EQ(fileContent(dir / "b"), "B");
}

}  // namespace
