#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>
#include <tuple>

#include "platform/listing.h"
#include "platform/scripted_calls.h"
#include "platform/temp_folder.h"
#include "rename/run.h"
#include "rename/undo.h"
#include "support/scripted_dialogs.h"

using namespace zelvar;
using namespace zelvar::testing;

namespace {

const Answer Y = Answer::yes, N = Answer::no, C = Answer::cancel;
using Box = AskedBox;
using Renames = Entries;

const std::string kQuestion = "Opravdu chcete přejmenovat vybrané soubory?";
std::string exists(const std::string& newName) { return "Soubor či složka >" + newName + "< již existuje"; }
std::string systemText(int error) { return std::strerror(error); }

PreviewEntry row(const std::string& oldName, const std::string& newName) {
    return {fromUtf8(oldName), fromUtf8(newName), Verdict::usable};
}

// A run answered from a script: every question of the script is asked, and no other.
struct ScriptedRun : ScriptedDialogs {
    SysCalls* sys = &realSysCalls();
    const Listing* listing = nullptr;  // given to the plan when it asks, which the log shows
    RunResult result;
    void go(const std::string& folder, PreviewList rows, std::deque<Answer> script = {Y}, Text ext = U"*") {
        answers = std::move(script);
        result = cmdPrejmenovat_Run(-1, folder, std::move(rows), ext, *this, *this, *sys, [this] {
            log.push_back("listing");
            return listing;
        });
        EXPECT_TRUE(answers.empty()) << "questions not asked: " << answers.size();
        EXPECT_EQ(unexpected, 0) << "questions the script did not expect";
    }
    // The exclamation boxes but the final report.
    std::vector<std::string> errors() const {
        std::vector<std::string> out;
        for (const auto& [text, style] : asked)
            if (style == box::exclamation && text.rfind("Přejmenování ukončeno", 0) != 0) out.push_back(text);
        return out;
    }
};

// Where case folds, a change of case that gets half-way: the entry is moved to its temporary name,
// and neither the new name nor the old one can be reached from there. The undo brings it back.
TEST(RenameRun, AnEntryLeftUnderItsTemporaryNameIsNamedWithItsFolderAndTakenBack) {
    TempFolder dir({{"readme.txt", "R"}, {"z", "Z"}});
    const Snapshot before = snapshot(dir.path());
    ScriptedCalls stuck(true);
    stuck.fault = [](auto&, const std::string& from, auto&) { return from.starts_with(".zelvar-") ? EIO : 0; };
    ScriptedRun run;
    run.sys = &stuck;
    run.go(dir.path(), {row("readme.txt", "README.txt")});
    auto after = snapshot(dir.path());
    ASSERT_EQ(after.erase("z") + after.size(), 2u);
    const std::string temporary = after.begin()->first;
    EXPECT_EQ(after.begin()->second.content, "R");
    EXPECT_EQ(run.errors(), (std::vector<std::string>{systemText(EIO) +
                                                      "\r\n\r\nSoubor či složka >readme.txt< má nyní dočasné jméno >" +
                                                      temporary + "<\r\nve složce >" + dir.path() + "<"}));
    EXPECT_EQ(run.result.report, T("Přejmenování ukončeno\r\n\r\nPřejmenováno 0 souborů\r\nNepřejmenováno 1 "
                                   "souborů\r\n\r\nreadme.txt nepřejmenován na README.txt, nyní >" +
                                   temporary + "<"));
    ScriptedCalls folding(true);
    ScriptedDialogs ui(Y);
    EXPECT_EQ(undoLastRun(dir.path(), ui, ui, folding).returned, 1) << ui.last();
    EXPECT_EQ(snapshot(dir.path()), before);
}

TEST(RenameRun, AsksRenamesInOrderAndReportsEveryStep) {
    TempFolder dir({{"a", "A"}, {"b", "B"}, {"c", "C"}});
    const auto before = snapshot(dir.path());
    ScriptedRun run;
    run.go(dir.path(), {row("a", "x"), {U"c", U"", Verdict::unchanged}, row("b", "c")});
    // The error is handled between the two progress marks of its entry.
    EXPECT_EQ(run.log, (std::vector<std::string>{"box yes/no", "listing", "caption x", "events", "events",
                                                 "caption x A", "caption x A B", "events", "caption c", "events",
                                                 "events", "caption c A", "events", "beep", "box exclamation",
                                                 "caption c A B", "events", "box exclamation"}));
    const std::string report =
        "Přejmenování ukončeno\r\n\r\nPřejmenováno 1 souborů\r\nNepřejmenováno 1 souborů\r\n\r\nb nepřejmenován na c";
    EXPECT_EQ(run.asked,
              (std::vector<Box>{{kQuestion, box::yesNo}, {exists("c"), box::exclamation}, {report, box::exclamation}}));
    EXPECT_EQ(toUtf8(run.result.report), report);
    EXPECT_EQ(snapshot(dir.path()), renamed(before, {{"a", "x"}}));
}

TEST(RenameRun, EachFailureShowsItsMessageAndLosesNothing) {
    // What, the folder, the rows, the messages, and what is renamed, in order. "a missing folder" runs in a
    // folder that is not there; under "no permission" every rename call fails as without write permission.
    const std::tuple<std::string, Entries, PreviewList, std::vector<std::string>, Renames> scenes[] = {
        {"a name refused",
         {{"a", "A"}, {"sub", "<folder>"}},
         {row("a", "sub/a")},
         {"Název >sub/a<\r\n     nebo >a<\r\n           není povolen,\r\n>a< nebude přejmenován"},
         {}},
        {"a vanished entry", {{"b", "B"}}, {row("gone", "x"), row("b", "y")}, {systemText(ENOENT)}, {{"b", "y"}}},
        {"a missing folder", {}, {row("a", "b"), row("c", "d")}, {2, systemText(ENOENT)}, {}},
        {"no permission", {{"a", "A"}}, {row("a", "x")}, {systemText(EACCES)}, {}},
        {"a chain in order", {{"a", "A"}, {"b", "B"}}, {row("b", "c"), row("a", "b")}, {}, {{"b", "c"}, {"a", "b"}}},
        {"a swap", {{"b", "B"}, {"d", "D"}}, {row("b", "d"), row("d", "b")}, {exists("d"), exists("b")}, {}},
    };
    for (const auto& [what, entries, rows, errors, renames] : scenes) {
        SCOPED_TRACE(what);
        TempFolder dir(entries);
        const auto before = snapshot(dir.path());
        ScriptedCalls refusing(false, {{"renameat2", EACCES}});
        ScriptedRun run;
        if (what == "no permission") run.sys = &refusing;
        run.go(what == "a missing folder" ? dir / "missing" : dir.path(), rows);
        EXPECT_EQ(run.errors(), errors);
        EXPECT_EQ(run.beeps, std::ssize(errors));
        EXPECT_EQ(run.result.attempts, std::ssize(rows));
        EXPECT_EQ(run.result.failures, std::ssize(errors));
        EXPECT_EQ(run.result.reportStyle, errors.empty() ? box::information : box::exclamation);
        EXPECT_EQ(snapshot(dir.path()), renamed(before, renames));
    }
}

// The extension question comes unless the extension pattern is exactly a star; a No to either
// question before the run stops everything, and the listing that spares the plan a reading of the folder
// is asked for only once the questions are answered (one may stay open for long), before the first rename. A No to one entry keeps later entries from being renamed
// while nobody is asked, until a Yes; a Cancel stops the run.
TEST(RenameRun, AnswersDecideWhatIsRenamed) {
    const RunEnd done = RunEnd::Finished;
    const Renames all{{"1", "1x"}, {"2", "2x"}, {"3", "3x"}, {"4", "4x"}};
    // The extension pattern, "Potvrzovat každý soubor" as read before each entry, the answers, how the run
    // ends and what it renames.
    const std::tuple<std::string, std::deque<bool>, std::deque<Answer>, RunEnd, Renames> cases[] = {
        {"*", {false}, {Y}, done, all},
        {"jpg", {false}, {Y, Y}, done, all},
        {"* ", {false}, {Y, Y}, done, all},
        {"", {false}, {Y, Y}, done, all},
        {"*", {false}, {N}, RunEnd::Declined, {}},
        {"jpg", {false}, {Y, N}, RunEnd::ExtensionDeclined, {}},
        {"*", {true}, {Y, Y, N, Y, C}, done, {{"1", "1x"}, {"3", "3x"}}},
        {"*", {true}, {Y, C}, done, {}},
        {"*", {true, false, true, false}, {Y, N, Y}, done, {{"3", "3x"}, {"4", "4x"}}},
    };
    for (const auto& [ext, confirm, answers, end, renames] : cases) {
        SCOPED_TRACE("\"" + ext + "\", " + std::to_string(answers.size()) + " answers" +
                     (confirm.front() ? ", each entry asked" : ""));
        TempFolder dir({{"1", "1"}, {"2", "2"}, {"3", "3"}, {"4", "4"}});
        const auto before = snapshot(dir.path());
        const Listing listing = listFolder(dir.path(), U"*", File::Oboje);
        ScriptedRun run;
        run.confirm = confirm;
        run.listing = &listing;
        run.go(dir.path(), {row("1", "1x"), row("2", "2x"), row("3", "3x"), row("4", "4x")}, answers, fromUtf8(ext));
        EXPECT_EQ(run.result.end, end);
        EXPECT_EQ(run.asked.at(0), (Box{kQuestion, box::yesNo}));
        const Box extQuestion{"Měníte přípony.\r\nJe to tak správně?", box::yesNo},
            entryQuestion{"Chcete přejmenovat soubor >1< na >1x< ?", box::yesNoCancel},
            report{"Přejmenování ukončeno\r\n\r\nPřejmenováno " + std::to_string(renames.size()) + " souborů\r\n",
                   box::information};
        EXPECT_EQ(ext != "*", run.asked.size() > 1 && run.asked[1] == extQuestion);
        EXPECT_EQ(confirm.front(), run.asked.size() > 1 && run.asked[1] == entryQuestion);
        EXPECT_EQ(run.asked.back() == report, end == done);
        const auto at = [&](const std::string& e) { return std::ranges::find(run.log, e) - run.log.begin(); };
        EXPECT_EQ(std::ranges::count(run.log, "listing"), end == done ? 1 : 0);
        if (end == done) {
            EXPECT_EQ(at("listing"), ext == "*" ? 1 : 2) << "right after the questions before the run";
            EXPECT_LT(at("listing"), at("events"));
        }
        EXPECT_EQ(run.log.size() == run.asked.size(), end != done) << "a declined run does nothing";
        EXPECT_EQ(run.result.attempts, std::ssize(renames));
        EXPECT_EQ(snapshot(dir.path()), renamed(before, renames));
    }
}

// A No to an entry shows nothing of it after its question; a Cancel ends the run at the entry it was given at.
TEST(RenameRun, ANoOrACancelToAnEntryEndsWhatIsShownOfIt) {
    TempFolder dir({{"1", "1"}, {"2", "2"}, {"3", "3"}});
    ScriptedRun run;
    run.confirm = {true};
    run.go(dir.path(), {row("1", "1x"), row("2", "2x"), row("3", "3x")}, {Y, Y, N, C});
    EXPECT_EQ(run.log, (std::vector<std::string>{"box yes/no", "listing", "caption 1x", "events", "box yes/no/cancel",
                                                 "events", "caption 1x A", "caption 1x A B", "events", "caption 2x",
                                                 "events", "box yes/no/cancel", "caption 3x", "events",
                                                 "box yes/no/cancel", "box information"}));
    EXPECT_EQ(run.result.attempts, 1);
}

TEST(RenameRun, WorksOnItsOwnCopyWhileEventsChangeTheWorld) {
    TempFolder dir({{"a", "A"}, {"b", "B"}});
    auto expected = renamed(snapshot(dir.path()), {{"a", "a2"}});
    PreviewList shared = {row("a", "a2"), row("b", "b2")};
    ScriptedRun run;
    run.onEvents = [&] {
        // A rebuild of the preview during the run replaces the list the window holds, and someone
        // creates the second entry's target meanwhile.
        shared.assign(1, row("zzz", "yyy"));
        if (!expected.count("b2")) dir.file("b2", "new"), expected["b2"] = snapshot(dir.path()).at("b2");
    };
    run.go(dir.path(), shared);
    EXPECT_EQ(run.result.attempts, 2);
    EXPECT_EQ(run.errors(), std::vector<std::string>{exists("b2")});
    EXPECT_EQ(snapshot(dir.path()), expected);
}

}  // namespace
