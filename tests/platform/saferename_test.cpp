#include <cerrno>
#include <cstring>
#include <map>
#include <tuple>

#include <gtest/gtest.h>

#include "platform/saferename.h"
#include "scripted_calls.h"
#include "temp_folder.h"

namespace zelvar {
namespace {

using namespace testing;

using Kind = RenameErrorKind;
const Kind ok = Kind::None, refused = Kind::NameNotAccepted, taken = Kind::TargetExists, other = Kind::Other;

// The three ways a rename can go: renameat2 with RENAME_NOREPLACE; where the flag is refused, link
// and unlink; where links are refused too, a check and a plain renameat.
const std::pair<const char*, Faults> kRoutes[] = {{"renameat2", {}},
                                                  {"link+unlink", {{"renameat2", EINVAL}}},
                                                  {"check+renameat", {{"renameat2", EINVAL}, {"linkat", EPERM}}}};

std::vector<std::string> plus(std::vector<std::string> calls, const std::vector<std::string>& more) {
    return calls.insert(calls.end(), more.begin(), more.end()), calls;
}

// Checks an outcome against the kind and errno it should have; Other always says the system's text.
void expectOutcome(const RenameOutcome& outcome, Kind kind, int error) {
    EXPECT_EQ(outcome.kind, kind);
    EXPECT_EQ(outcome.failure, Failure{error});
    if (kind == other) {
        EXPECT_EQ(failureText(outcome.failure), std::strerror(error));
    }
}

TEST(SafeRename, RenamesEveryKindOfEntryButNeverReplacesOneAndPutsBackAFailedCaseChangeOnEveryRoute) {
    // what, the folder, the rename, its outcome
    const std::tuple<std::string, Entries, std::string, std::string, Kind> scenes[] = {
        {"file", {{"a.txt", "A"}}, "a.txt", "b.txt", ok},
        {"folder", {{"dir", "<folder>"}, {"dir/x", ""}}, "dir", "renamed dir", ok},
        {"dangling link", {{"l", "-> nowhere"}}, "l", "l2", ok},
        {"invalid UTF-8 to invalid", {{"bad\xff", "B"}}, "bad\xff", "\xfe\xff.txt", ok},
        {"odd characters", {{"*?.txt", "S"}}, "*?.txt", ".hidden:\\<>|\"", ok},
        {"longest name", {{"a", ""}}, "a", std::string(255, 'n'), ok},
        {"vanished source", {{"other", "O"}}, "ghost", "new", other},
        {"file over file", {{"a", "A"}, {"b", "B"}}, "a", "b", taken},
        {"folder over empty folder", {{"a", "<folder>"}, {"b", "<folder>"}}, "a", "b", taken},
        {"file over dangling link", {{"a", "A"}, {"b", "-> nowhere"}}, "a", "b", taken},
        {"file over its own hard link", {{"a", "A"}, {"b", "== a"}}, "a", "b", taken},
        {"file over its own hard link, links hidden", {{"a", "A"}, {"b", "== a"}}, "a", "b", taken},
        // Where letter case folds, a change of case alone goes through a temporary name; another
        // entry under the folded name, or a second name of exactly the new bytes, is taken.
        {"folding: folder", {{"photos", "<folder>"}, {"x", ""}}, "photos", "Photos", ok},
        {"folding: other entry", {{"a.txt", "A"}, {"A.TXT", "B"}}, "a.txt", "A.TXT", taken},
        {"folding: hard link", {{"a.txt", "A"}, {"A.TXT", "== a.txt"}}, "a.txt", "A.TXT", taken},
        // FUSE may number each spelling of a name afresh; the names and the folder's entries decide.
        {"folding, fresh inodes: file", {{"photos", "P"}}, "photos", "PHOTOS", ok},
        {"folding, fresh inodes: other entry", {{"a.txt", "A"}, {"A.TXT", "B"}}, "a.txt", "A.TXT", taken},
        {"folding, fresh inodes: not a case change", {{"a", "A"}, {"B", "B"}}, "a", "b", taken},
    };
    for (const auto& [route, faults] : kRoutes) {
        for (const auto& [what, entries, from, to, kind] : scenes) {
            SCOPED_TRACE(what + " via " + route);
            TempFolder dir(entries);
            const auto before = snapshot(dir.path());
            ScriptedCalls calls(what.starts_with("folding"), faults);
            calls.freshInodes = what.find("fresh") != std::string::npos;
            calls.hiddenLinks = what.ends_with("links hidden");
            const int error = std::map<Kind, int>{{ok, 0}, {taken, EEXIST}, {other, ENOENT}}.at(kind);
            expectOutcome(RenameFolder(dir.path(), calls).rename(from, to), kind, error);
            EXPECT_EQ(snapshot(dir.path()), kind == ok ? renamed(before, {{from, to}}) : before);
            if (kind != taken) continue;
            int fromOld = 0;  // more than one: a temporary name was tried
            for (const std::string& call : calls.log) {
                fromOld += call.starts_with("renameat2 " + from + ">");
                EXPECT_FALSE(call.starts_with("renameat ")) << "a plain rename replaces";
            }
            EXPECT_EQ(fromOld, 1);
        }
        // A change of case where case folds goes through a temporary name; when a move away from it
        // fails (into the new name, or also back to the old one) the name goes back, or the outcome
        // tells where the entry was left.
        for (const auto& [error, kind, stuck] :
             {std::tuple{EEXIST, taken, false}, {EIO, other, false}, {EIO, other, true}}) {
            SCOPED_TRACE(std::string(std::strerror(error)) + (stuck ? ", stuck" : "") + " via " + route);
            TempFolder dir(Entries{{"readme.txt", "R"}});
            const auto before = snapshot(dir.path());
            ScriptedCalls calls(true, faults);
            calls.fault = [&](auto& call, auto& from, auto& to) {
                const bool moves =
                    (call == "renameat2" || call == "renameat" || call == "linkat") && from != "readme.txt";
                return moves && (stuck || to == "README.txt") ? error : 0;
            };
            const RenameOutcome outcome = RenameFolder(dir.path(), calls).rename("readme.txt", "README.txt");
            expectOutcome(outcome, kind, error);
            ASSERT_EQ(outcome.leftAs.empty(), !stuck);
            EXPECT_EQ(snapshot(dir.path()), stuck ? renamed(before, {{"readme.txt", outcome.leftAs}}) : before);
        }
    }
}

TEST(SafeRename, RefusesBadNamesBeforeAnyCallAndEveryNameInAFolderItCannotOpen) {
    TempFolder dir({{"a", "A"}, {"sub", "<folder>"}, {"sub/a", "inner"}});
    const auto before = snapshot(dir.path());
    const auto expectRefused = [&](const std::string& from, const std::string& to, Kind kind) {
        ScriptedCalls calls;
        expectOutcome(RenameFolder(dir.path(), calls).rename(from, to), kind, 0);
        EXPECT_TRUE(calls.log.empty()) << '"' << from << "\" -> \"" << to << '"';
    };
    for (const std::string& bad : {std::string(), std::string("."), std::string(".."), std::string("sub/a"),
                                   std::string("../b"), std::string("b\0c", 3), std::string(256, 'n')}) {
        expectRefused("a", bad, refused);
        expectRefused(bad, "b", refused);
    }
    expectRefused("a", "a", taken);
    EXPECT_EQ(snapshot(dir.path()), before);
    EXPECT_EQ(snapshot(dir / "sub").size(), 1u);
    for (const auto& [path, error] :
         {std::pair{dir / "missing", ENOENT}, {dir / std::string(300, 'x'), ENAMETOOLONG}}) {
        RenameFolder folder(path);
        EXPECT_EQ(folder.openError(), Failure{error});
        expectOutcome(folder.rename("a", "b"), other, error);  // the folder is at fault, not a name
    }
}

TEST(SafeRename, EachErrorDecidesTheNextRouteAndTheLastResortReplacesNothingButItsOwnPlaceholder) {
    using Calls = std::vector<std::string>;
    const Calls direct{"renameat2 a>b"}, linked{"renameat2 a>b", "linkat a>b", "unlinkat a"},
        checked{"renameat2 a>b", "linkat a>b", "fstatat a", "openat b", "fstatat b", "renameat a>b"},
        reserved{"renameat2 a>b", "linkat a>b", "fstatat a", "mkdirat b", "fstatat b", "fstatat b", "renameat a>b"};
    const Faults noFlag{{"renameat2", EINVAL}}, noLink{{"renameat2", EINVAL}, {"linkat", EPERM}};
    const auto with = [](Faults faults, const char* call, int error) { return faults[call] = error, faults; };
    const auto upTo = [](const Calls& calls, std::size_t n) { return Calls(calls.begin(), calls.begin() + n); };
    // what, the calls that fail, the calls made, the outcome; "a" is a folder where the text starts so
    const std::tuple<std::string, Faults, Calls, Kind, int> cases[] = {
        {"bad bytes", {{"renameat2", EILSEQ}}, direct, refused, EILSEQ},
        {"taken", {{"renameat2", EEXIST}}, {"renameat2 a>b", "fstatat a", "fstatat b"}, taken, EEXIST},
        {"a full folder", {{"renameat2", ENOTEMPTY}}, direct, taken, ENOTEMPTY},
        {"permission", {{"renameat2", EACCES}}, direct, other, EACCES},
        {"flag refused: link, unlink", noFlag, linked, ok, 0},
        {"no renameat2 at all", {{"renameat2", ENOSYS}}, linked, ok, 0},
        {"flag not supported", {{"renameat2", EOPNOTSUPP}}, linked, ok, 0},
        {"a folder cannot be linked: reserve, check, rename", noFlag, reserved, ok, 0},
        {"links refused: reserve, check, rename", noLink, checked, ok, 0},
        {"unlink fails: the new link goes again", with(noFlag, "unlinkat a", EIO),
         Calls{linked[0], linked[1], linked[2], "unlinkat b"}, other, EIO},
        {"the link refuses the name too", with(noFlag, "linkat", EINVAL), upTo(checked, 2), refused, EINVAL},
        {"the placeholder is refused the name", with(noLink, "openat", EINVAL), upTo(checked, 4), refused, EINVAL},
        {"a folder without a placeholder", with(noFlag, "mkdirat", EACCES), upTo(reserved, 4), other, EACCES},
        {"last resort refuses it: the placeholder goes", with(noLink, "renameat", EINVAL),
         Calls{checked[0], checked[1], checked[2], checked[3], checked[4], checked[5], "fstatat b", "unlinkat b"},
         refused, EINVAL},
        {"the source cannot be looked at", with(noLink, "fstatat", EACCES), upTo(checked, 3), other, EACCES},
    };
    for (const auto& [what, faults, expected, kind, error] : cases) {
        SCOPED_TRACE(what);
        TempFolder dir({{"a", what.starts_with("a folder") ? "<folder>" : "A"}, {"z", "Z"}});
        const auto before = snapshot(dir.path());
        ScriptedCalls calls(false, faults);
        expectOutcome(RenameFolder(dir.path(), calls).rename("a", "b"), kind, error);
        EXPECT_EQ(calls.log, expected);
        EXPECT_EQ(snapshot(dir.path()), kind == ok ? renamed(before, {{"a", "b"}}) : before);
    }
    // Where neither a refusing rename nor a link is to be had, the new name is held by a placeholder
    // first. Another program acts at each point of that sequence; whatever it put there stays. FAT through
    // FUSE renames a folder only onto a free name, refusing even its own empty placeholder: the placeholder
    // goes and the folder is renamed once the name is seen free. A file is never renamed that way: a file
    // made in that moment would be lost.
    const Calls placed = plus(reserved, {"fstatat b"}),
                freed = plus(placed, {"unlinkat b", "fstatat b", "renameat a>b"}),
                file = plus(checked, {"fstatat b", "unlinkat b"});
    // Intrude removes whatever holds "b" and makes a file there; CreateAnew makes one only where
    // none is, as a careful program does, and what it made must survive.
    enum Act { Nothing, Intrude, CreateAnew, WriteInto, FillFolder };
    // What is renamed ("folder" in the text: a folder; "FUSE": renames only onto a free name); before
    // which call, as logged, and at its n-th occurrence the other program acts, and how; the error of
    // the rename; the calls made (none: not checked); the outcome; what "b" holds afterwards, "" when absent.
    const std::tuple<std::string, std::string, int, Act, int, Calls, Kind, int, std::string> intrusions[] = {
        {"a file appears before the reservation", "openat b", 1, Intrude, 0, {}, taken, EEXIST, "theirs"},
        {"a folder appears before the reservation", "mkdirat b", 1, Intrude, 0, {}, taken, EEXIST, "theirs"},
        {"the placeholder is swapped", "fstatat b", 1, Intrude, 0, {}, taken, EEXIST, "theirs"},
        {"the placeholder is written to", "fstatat b", 1, WriteInto, 0, {}, taken, EEXIST, "written"},
        {"the folder placeholder gets an entry", "fstatat b", 2, FillFolder, 0, {}, taken, ENOTEMPTY, "<folder>"},
        {"a careful program makes b right before the rename", "renameat a>b", 1, CreateAnew, 0, {}, ok, 0, ""},
        {"the rename fails: the placeholder goes", "", 0, Nothing, EIO, {}, other, EIO, ""},
        {"the folder rename fails: the placeholder goes", "", 0, Nothing, EIO, {}, other, EIO, ""},
        {"the cleanup finds a swap", "fstatat b", 2, Intrude, EIO, {}, other, EIO, "theirs"},
        {"FUSE refuses the folder: EPERM", "", 0, Nothing, EPERM, freed, ok, 0, ""},
        {"FUSE refuses the folder: EEXIST", "", 0, Nothing, EEXIST, freed, ok, 0, ""},
        {"FUSE refuses the folder: ENOTEMPTY", "", 0, Nothing, ENOTEMPTY, freed, ok, 0, ""},
        {"FUSE refuses the folder: EBUSY", "", 0, Nothing, EBUSY, freed, ok, 0, ""},
        // The last check before the fallback's rename is the fourth look at "b".
        {"FUSE: an entry appears once the folder's placeholder is gone", "fstatat b", 4, Intrude, EPERM,
         plus(placed, {"unlinkat b", "fstatat b", "fstatat a", "fstatat b"}), taken, EEXIST, "theirs"},
        {"FUSE: the folder's placeholder got an entry", "unlinkat b", 1, FillFolder, EPERM,
         plus(placed, {"unlinkat b"}), taken, ENOTEMPTY, "<folder>"},
        {"FUSE: a file is not renamed without its placeholder", "", 0, Nothing, EPERM, file, other, EPERM, ""},
    };
    for (const auto& [what, at, nth, act, renameError, expected, kind, error, b] : intrusions) {
        SCOPED_TRACE(what);
        const bool folder = what.find("folder") != std::string::npos, fuse = what.starts_with("FUSE");
        TempFolder dir(folder ? Entries{{"a", "<folder>"}, {"a/x", "inside"}, {"z", "Z"}}
                              : Entries{{"a", "A"}, {"z", "Z"}});
        const auto before = snapshot(dir.path());
        ScriptedCalls calls(false, {{"renameat2", EINVAL}, {"linkat", EPERM}});
        int seen = 0;
        bool theirsMade = false;
        calls.fault = [&](const std::string& call, const std::string&, const std::string& to) {
            struct stat st;
            if (calls.log.back() == at && ++seen == nth) {
                if (act == CreateAnew && ::lstat((dir / "b").c_str(), &st) != 0)
                    theirsMade = true, dir.file("b", "theirs");
                if (act == Intrude) std::remove((dir / "b").c_str()), dir.file("b", "theirs");
                if (act == WriteInto) dir.file("b", "written");
                if (act == FillFolder) dir.file("b/x", "theirs");
            }
            return call == "renameat" && (!fuse || ::lstat((dir / to).c_str(), &st) == 0) ? renameError : 0;
        };
        expectOutcome(RenameFolder(dir.path(), calls).rename("a", "b"), kind, error);
        EXPECT_EQ(expected.empty() ? expected : calls.log, expected);
        auto after = snapshot(dir.path());
        EXPECT_FALSE(theirsMade) << "a file made meanwhile would be replaced";
        if (kind == ok) {
            EXPECT_EQ(after, renamed(before, {{"a", "b"}}));
            EXPECT_EQ(folder ? readFile(dir / "b/x") : "inside", "inside");
            continue;
        }
        EXPECT_EQ(after["a"], before.at("a")) << "the entry keeps its name";
        EXPECT_EQ(after.count("b") ? after["b"].content : "", b);
        EXPECT_EQ(after.size(), b.empty() ? 2u : 3u) << "a, z and at most their b";
    }
}

// Where letter case matters, a name that differs from another entry only in case is taken as
// well, as in the preview's clash checks; the entry's own case change is not.
TEST(SafeRename, ACaseVariantOfAnotherEntryIsTakenWhereCaseMatters) {
    // what, the folder, the renames made in turn through one folder object, the outcome of the last
    const std::tuple<std::string, Entries, Entries, Kind> cases[] = {
        {"a variant of another file", {{"a.jpg", "A"}, {"HID2.JPG", "H"}}, {{"a.jpg", "hid2.jpg"}}, taken},
        {"a variant of a folder", {{"a", "A"}, {"Photos", "<folder>"}}, {{"a", "PHOTOS"}}, taken},
        {"non-ASCII letters", {{"a", "A"}, {"\u010Cesky", "C"}}, {{"a", "\u010Desky"}}, taken},
        {"its own case change", {{"readme.txt", "R"}, {"x", "X"}}, {{"readme.txt", "README.TXT"}}, ok},
        {"its own case change beside a variant", {{"a.txt", "A"}, {"A.txt", "B"}}, {{"a.txt", "A.TXT"}}, taken},
        {"a variant renamed away before", {{"a", "A"}, {"B", "B"}}, {{"B", "c"}, {"a", "b"}}, ok},
        {"a variant made by a rename before", {{"a", "A"}, {"b", "B"}}, {{"b", "C"}, {"a", "c"}}, taken},
    };
    for (const auto& [what, entries, renames, kind] : cases) {
        SCOPED_TRACE(what);
        TempFolder dir(entries);
        const auto before = snapshot(dir.path());
        ScriptedCalls calls;
        RenameFolder folder(dir.path(), calls);
        for (std::size_t k = 0; k + 1 < renames.size(); ++k)
            ASSERT_TRUE(folder.rename(renames[k].first, renames[k].second).ok());
        calls.log.clear();
        expectOutcome(folder.rename(renames.back().first, renames.back().second), kind, kind == ok ? 0 : EEXIST);
        EXPECT_EQ(snapshot(dir.path()),
                  renamed(before, kind == ok ? renames : Entries(renames.begin(), renames.end() - 1)));
        for (const std::string& call : calls.log) EXPECT_FALSE(kind == taken && call.starts_with("rename")) << call;
    }
    // The folder is read at the first rename; a variant another program removed since is no longer
    // in the way, and an entry of exactly the new bytes is left to the rename, which refuses it.
    TempFolder dir({{"a", "A"}, {"b", "B"}, {"C", "C"}, {"d", "D"}});
    ScriptedCalls calls;
    RenameFolder folder(dir.path(), calls);
    expectOutcome(folder.rename("a", "c"), taken, EEXIST);
    std::remove((dir / "C").c_str());
    expectOutcome(folder.rename("a", "c"), ok, 0);
    calls.log.clear();
    expectOutcome(folder.rename("b", "d"), taken, EEXIST);
    ASSERT_FALSE(calls.log.empty());
    EXPECT_EQ(calls.log.front(), "renameat2 b>d");
}

}  // namespace
}  // namespace zelvar
