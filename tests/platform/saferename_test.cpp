#include <strings.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <gtest/gtest.h>

#include "platform/saferename.h"
#include "scripted_calls.h"
#include "temp_folder.h"

namespace zelvar {
namespace {

using namespace testing;

using Kind = RenameErrorKind;

// The three ways a rename can go: renameat2 with RENAME_NOREPLACE; where the flag is refused, link
// and unlink; where links are refused too, a check and a plain renameat.
struct Route {
    const char* name;
    Faults faults;
};
const Route kRoutes[] = {{"renameat2", {}},
                         {"link+unlink", {{"renameat2", EINVAL}}},
                         {"check+renameat", {{"renameat2", EINVAL}, {"linkat", EPERM}}}};

// Checks an outcome against the kind and errno it should have; Other always carries the system's text.
void expectOutcome(const RenameOutcome& outcome, Kind kind, int error) {
    EXPECT_EQ(outcome.kind, kind);
    EXPECT_EQ(outcome.error, error);
    EXPECT_EQ(outcome.message, kind == Kind::Other ? std::strerror(error) : "");
}

TEST(SafeRename, RenamesEveryKindOfEntryButNeverReplacesOneOnEveryRoute) {
    const auto ok = Kind::None, taken = Kind::TargetExists;
    struct Scene {
        const char* what;
        std::vector<std::pair<std::string, std::string>> entries;
        std::string from, to;
        Kind kind;
        int error;
    };
    const Scene scenes[] = {
        {"file", {{"a.txt", "A"}}, "a.txt", "b.txt", ok, 0},
        {"folder", {{"dir", "<folder>"}, {"dir/x", ""}}, "dir", "renamed dir", ok, 0},
        {"link to a file", {{"t", "T"}, {"l", "-> t"}}, "l", "l2", ok, 0},
        {"link to a folder", {{"t", "<folder>"}, {"l", "-> t"}}, "l", "l2", ok, 0},
        {"dangling link", {{"l", "-> nowhere"}}, "l", "l2", ok, 0},
        {"invalid UTF-8 to valid", {{"bad\xff", "B"}}, "bad\xff", "good", ok, 0},
        {"valid to invalid UTF-8", {{"good", "G"}}, "good", "\xfe\xff.txt", ok, 0},
        {"odd characters", {{"*?.txt", "S"}}, "*?.txt", ".hidden:\\<>|\"", ok, 0},
        {"longest name", {{"a", ""}}, "a", std::string(255, 'n'), ok, 0},
        {"vanished source", {{"other", "O"}}, "ghost", "new", Kind::Other, ENOENT},
        {"file over file", {{"a", "A"}, {"b", "B"}}, "a", "b", taken, EEXIST},
        {"file over folder", {{"a", "A"}, {"b", "<folder>"}}, "a", "b", taken, EEXIST},
        {"folder over file", {{"a", "<folder>"}, {"b", "B"}}, "a", "b", taken, EEXIST},
        {"folder over empty folder", {{"a", "<folder>"}, {"b", "<folder>"}}, "a", "b", taken, EEXIST},
        {"folder over full", {{"a", "<folder>"}, {"b", "<folder>"}, {"b/x", ""}}, "a", "b", taken, EEXIST},
        {"link over file", {{"t", ""}, {"a", "-> t"}, {"b", "B"}}, "a", "b", taken, EEXIST},
        {"file over dangling link", {{"a", "A"}, {"b", "-> nowhere"}}, "a", "b", taken, EEXIST},
        {"file over its own hard link", {{"a", "A"}, {"b", "== a"}}, "a", "b", taken, EEXIST},
        // Where letter case folds, a change of case alone goes through a temporary name; another
        // entry under the folded name, or a second name of exactly the new bytes, is taken.
        {"folding: file", {{"photos", "P"}, {"x", ""}}, "photos", "Photos", ok, 0},
        {"folding: folder", {{"photos", "<folder>"}, {"x", ""}}, "photos", "Photos", ok, 0},
        {"folding: other entry", {{"a.txt", "A"}, {"A.TXT", "B"}}, "a.txt", "A.TXT", taken, EEXIST},
        {"folding: hard link", {{"a.txt", "A"}, {"A.TXT", "== a.txt"}}, "a.txt", "A.TXT", taken, EEXIST},
        // FUSE may number each spelling of a name afresh; the names and the folder's entries decide.
        {"folding, fresh inodes: file", {{"photos", "P"}}, "photos", "Photos", ok, 0},
        {"folding, fresh inodes: folder", {{"photos", "<folder>"}}, "photos", "PHOTOS", ok, 0},
        {"folding, fresh inodes: other entry", {{"a.txt", "A"}, {"A.TXT", "B"}}, "a.txt", "A.TXT", taken, EEXIST},
        {"folding, fresh inodes: not a case change", {{"a", "A"}, {"B", "B"}}, "a", "b", taken, EEXIST},
    };
    for (const Route& route : kRoutes) {
        for (const Scene& s : scenes) {
            SCOPED_TRACE(std::string(s.what) + " via " + route.name);
            TempFolder dir;
            dir.fill(s.entries);
            const auto before = snapshot(dir.path());
            ScriptedCalls calls;
            calls.faults = route.faults;
            calls.folds = std::string(s.what).rfind("folding", 0) == 0;
            calls.freshInodes = std::string(s.what).find("fresh inodes") != std::string::npos;
            expectOutcome(RenameFolder(dir.path(), calls).rename(s.from, s.to), s.kind, s.error);
            EXPECT_EQ(snapshot(dir.path()), s.kind == ok ? renamed(before, {{s.from, s.to}}) : before);
            if (s.kind != taken) continue;
            int fromOld = 0;  // more than one: a temporary name was tried
            for (const std::string& call : calls.log) {
                fromOld += call.rfind("renameat2 " + s.from + ">", 0) == 0;
                EXPECT_NE(call.rfind("renameat ", 0), 0u) << "a plain rename replaces";
            }
            EXPECT_EQ(fromOld, 1);
        }
    }
}

TEST(SafeRename, RefusesBadNamesBeforeAnyCall) {
    TempFolder dir;
    dir.fill({{"a", "A"}, {"sub", "<folder>"}, {"sub/a", "inner"}});
    const auto before = snapshot(dir.path());
    const auto expectRefused = [&](const std::string& from, const std::string& to, Kind kind) {
        SCOPED_TRACE('"' + from + "\" -> \"" + to + '"');
        ScriptedCalls calls;
        expectOutcome(RenameFolder(dir.path(), calls).rename(from, to), kind, 0);
        EXPECT_TRUE(calls.log.empty());
    };
    for (const std::string& bad : {std::string(), std::string("."), std::string(".."), std::string("sub/a"),
                                   std::string("../b"), std::string("b\0c", 3), std::string(256, 'n')}) {
        expectRefused("a", bad, Kind::NameNotAccepted);
        expectRefused(bad, "b", Kind::NameNotAccepted);
    }
    expectRefused("a", "a", Kind::TargetExists);
    EXPECT_EQ(snapshot(dir.path()), before);
    EXPECT_EQ(snapshot(dir / "sub").size(), 1u);
}

TEST(SafeRename, EachErrorDecidesTheNextRouteOrTheOutcome) {
    const auto ok = Kind::None, refused = Kind::NameNotAccepted, taken = Kind::TargetExists, other = Kind::Other;
    using Calls = std::vector<std::string>;
    const Calls direct{"renameat2 a>b"}, linked{"renameat2 a>b", "linkat a>b", "unlinkat a"},
        checked{"renameat2 a>b", "linkat a>b", "fstatat a", "openat b", "fstatat b", "renameat a>b"},
        folderChecked{"renameat2 a>b", "linkat a>b", "fstatat a",   "mkdirat b",
                      "fstatat b",     "fstatat b",  "renameat a>b"};
    const Faults noFlag{{"renameat2", EINVAL}}, noLink{{"renameat2", EINVAL}, {"linkat", EPERM}};
    struct Case {
        const char* what;
        bool folder;
        Faults faults;
        Calls calls;
        Kind kind;
        int error;
    };
    const Case cases[] = {
        {"bad bytes", false, {{"renameat2", EILSEQ}}, direct, refused, EILSEQ},
        {"too long", false, {{"renameat2", ENAMETOOLONG}}, direct, refused, ENAMETOOLONG},
        {"taken by another entry",
         false,
         {{"renameat2", EEXIST}},
         {"renameat2 a>b", "fstatat a", "fstatat b"},
         taken,
         EEXIST},
        {"a full folder", false, {{"renameat2", ENOTEMPTY}}, direct, taken, ENOTEMPTY},
        {"permission", false, {{"renameat2", EACCES}}, direct, other, EACCES},
        {"read-only", false, {{"renameat2", EROFS}}, direct, other, EROFS},
        {"flag refused: link, unlink", false, noFlag, linked, ok, 0},
        {"no renameat2 at all", false, {{"renameat2", ENOSYS}}, linked, ok, 0},
        {"flag not supported", false, {{"renameat2", EOPNOTSUPP}}, linked, ok, 0},
        {"a folder cannot be linked: reserve, check, rename", true, noFlag, folderChecked, ok, 0},
        {"links refused: reserve, check, rename", false, noLink, checked, ok, 0},
        {"unlink fails: the new link goes again",
         false,
         {{"renameat2", EINVAL}, {"unlinkat a", EIO}},
         {"renameat2 a>b", "linkat a>b", "unlinkat a", "unlinkat b"},
         other,
         EIO},
        {"the link refuses the name too",
         false,
         {{"renameat2", EINVAL}, {"linkat", EINVAL}},
         {"renameat2 a>b", "linkat a>b"},
         refused,
         EINVAL},
        {"the placeholder is refused the name",
         false,
         {{"renameat2", EINVAL}, {"linkat", EPERM}, {"openat", EINVAL}},
         {"renameat2 a>b", "linkat a>b", "fstatat a", "openat b"},
         refused,
         EINVAL},
        {"no placeholder may be made",
         true,
         {{"renameat2", EINVAL}, {"mkdirat", EACCES}},
         {"renameat2 a>b", "linkat a>b", "fstatat a", "mkdirat b"},
         other,
         EACCES},
        {"last resort refuses it: the placeholder goes",
         false,
         {{"renameat2", EINVAL}, {"linkat", EPERM}, {"renameat", EINVAL}},
         {checked[0], checked[1], checked[2], checked[3], checked[4], checked[5], "fstatat b", "unlinkat b"},
         refused,
         EINVAL},
        {"the source cannot be looked at",
         false,
         {{"renameat2", EINVAL}, {"linkat", EPERM}, {"fstatat", EACCES}},
         {"renameat2 a>b", "linkat a>b", "fstatat a"},
         other,
         EACCES},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder dir;
        dir.fill({{"a", c.folder ? "<folder>" : "A"}, {"z", "Z"}});
        const auto before = snapshot(dir.path());
        ScriptedCalls calls;
        calls.faults = c.faults;
        expectOutcome(RenameFolder(dir.path(), calls).rename("a", "b"), c.kind, c.error);
        EXPECT_EQ(calls.log, c.calls);
        EXPECT_EQ(snapshot(dir.path()), c.kind == ok ? renamed(before, {{"a", "b"}}) : before);
    }
}

// Where neither a refusing rename nor a link is to be had, the new name is held by a placeholder
// first. Another program acts at each point of that sequence; whatever it put there stays.
TEST(SafeRename, TheLastResortReplacesNothingButItsOwnPlaceholder) {
    // Intrude removes whatever holds "b" and makes a file there; CreateAnew makes one only where
    // none is, as a careful program does, and what it made must survive.
    enum Act { Nothing, Intrude, CreateAnew, WriteInto, FillFolder };
    struct Case {
        const char* what;
        bool folder;
        std::string at;  // the call, as logged, before which the other program acts
        int nth;         // at its n-th occurrence
        Act act;
        bool renameFails;
        Kind kind;
        int error;
        std::string b;  // what "b" holds afterwards, "" when absent, "A" when "a" became "b"
    };
    const Kind taken = Kind::TargetExists, other = Kind::Other;
    const Case cases[] = {
        {"a file appears before the reservation", false, "openat b", 1, Intrude, false, taken, EEXIST, "theirs"},
        {"a folder appears before the reservation", true, "mkdirat b", 1, Intrude, false, taken, EEXIST, "theirs"},
        {"the placeholder is swapped", false, "fstatat b", 1, Intrude, false, taken, EEXIST, "theirs"},
        {"the folder placeholder is swapped", true, "fstatat b", 2, Intrude, false, taken, EEXIST, "theirs"},
        {"the placeholder is written to", false, "fstatat b", 1, WriteInto, false, taken, EEXIST, "written"},
        {"the folder placeholder gets an entry", true, "fstatat b", 2, FillFolder, false, taken, ENOTEMPTY, "<folder>"},
        {"a careful program makes b right before the rename", false, "renameat a>b", 1, CreateAnew, false, Kind::None,
         0, "A"},
        {"the rename fails: the placeholder goes", false, "", 0, Nothing, true, other, EIO, ""},
        {"the folder rename fails: the placeholder goes", true, "", 0, Nothing, true, other, EIO, ""},
        {"the rename fails after a swap", false, "renameat a>b", 1, Intrude, true, other, EIO, "theirs"},
        {"the cleanup finds a swap", false, "fstatat b", 2, Intrude, true, other, EIO, "theirs"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder dir;
        dir.fill({{"a", c.folder ? "<folder>" : "A"}, {"z", "Z"}});
        const auto before = snapshot(dir.path());
        ScriptedCalls calls;
        calls.faults = {{"renameat2", EINVAL}, {"linkat", EPERM}};
        int seen = 0;
        bool theirsMade = false;
        calls.fault = [&](const std::string& call, const std::string& from, const std::string& to) {
            if (call + " " + from + (to.empty() ? "" : ">" + to) == c.at && ++seen == c.nth) {
                if (c.act == CreateAnew) {
                    const int fd = ::open((dir / "b").c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
                    theirsMade = fd >= 0 && ::write(fd, "theirs", 6) == 6;
                    if (fd >= 0) ::close(fd);
                }
                if (c.act == Intrude) {
                    std::remove((dir / "b").c_str());
                    dir.file("b", "theirs");
                }
                if (c.act == WriteInto) dir.file("b", "written");
                if (c.act == FillFolder) dir.file("b/x", "theirs");
            }
            return call == "renameat" && c.renameFails ? EIO : 0;
        };
        expectOutcome(RenameFolder(dir.path(), calls).rename("a", "b"), c.kind, c.error);
        auto after = snapshot(dir.path());
        EXPECT_FALSE(theirsMade) << "a file made meanwhile would be replaced";
        if (c.kind == Kind::None) {
            EXPECT_EQ(after, renamed(before, {{"a", "b"}}));
            continue;
        }
        EXPECT_EQ(after["a"], before.at("a")) << "the entry keeps its name";
        EXPECT_EQ(after.count("b") ? after["b"].content : "", c.b);
        EXPECT_EQ(after.size(), c.b.empty() ? 2u : 3u) << "a, z and at most their b";
    }
}

TEST(SafeRename, AFolderThatCannotBeOpenedFailsEveryRename) {
    TempFolder dir;
    for (const auto& [path, error] :
         {std::pair{dir / "missing", ENOENT}, {dir / std::string(300, 'x'), ENAMETOOLONG}}) {
        RenameFolder folder(path);
        EXPECT_FALSE(folder.isOpen());
        EXPECT_EQ(folder.openError(), error);
        expectOutcome(folder.rename("a", "b"), Kind::Other, error);  // the folder is at fault, not a name
    }
}

TEST(SafeRename, FolderPermissionsDecide) {
    TempFolder dir;
    chmod(dir.path().c_str(), 0755);
    dir.fill({{"read-only", "<folder>"}, {"read-only/a", ""}});
    dir.fill({{"write-only", "<folder>"}, {"write-only/a", ""}});
    chmod((dir / "read-only").c_str(), 0555);
    chmod((dir / "write-only").c_str(), 0733);  // no read permission: the names cannot be listed
    const auto readOnlyBefore = snapshot(dir / "read-only");
    const auto writeOnlyBefore = snapshot(dir / "write-only");
    const auto ok = withoutPrivileges([&] {
        const RenameOutcome denied = RenameFolder(dir / "read-only").rename("a", "b");
        const bool allowed = RenameFolder(dir / "write-only").rename("a", "b").ok();
        return allowed && denied.kind == Kind::Other && denied.error == EACCES &&
               denied.message == std::strerror(EACCES);
    });
    if (!ok) GTEST_SKIP() << "cannot drop root's privileges here";
    EXPECT_TRUE(*ok);
    EXPECT_EQ(snapshot(dir / "read-only"), readOnlyBefore);
    EXPECT_EQ(snapshot(dir / "write-only"), renamed(writeOnlyBefore, {{"a", "b"}}));
}

TEST(CaseOnlyRename, PutsTheNameBackWhenTheSecondStepFailsOrTellsWhereTheEntryIs) {
    struct Case {
        const char* what;
        int error;
        Kind kind;
        bool stuck /* no way back either */;
    };
    const Case cases[] = {{"a name appeared meanwhile", EEXIST, Kind::TargetExists, false},
                          {"an input/output error", EIO, Kind::Other, false},
                          {"no way back either", EIO, Kind::Other, true}};
    for (const Route& route : kRoutes) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.what) + " via " + route.name);
            TempFolder dir;
            dir.file("readme.txt", "R");
            const auto before = snapshot(dir.path());
            ScriptedCalls calls;
            calls.folds = true;
            calls.faults = route.faults;
            // Moves away from the temporary name fail: into the new name, or also back to the old one.
            calls.fault = [&](auto& call, auto& from, auto& to) {
                const bool moves =
                    (call == "renameat2" || call == "renameat" || call == "linkat") && from != "readme.txt";
                return moves && (c.stuck || to == "README.txt") ? c.error : 0;
            };
            const RenameOutcome outcome = RenameFolder(dir.path(), calls).rename("readme.txt", "README.txt");
            expectOutcome(outcome, c.kind, c.error);
            ASSERT_EQ(outcome.leftAs.empty(), !c.stuck);
            const auto after = c.stuck ? renamed(before, {{"readme.txt", outcome.leftAs}}) : before;
            EXPECT_EQ(snapshot(dir.path()), after) << "the entry is under its old name or the one reported";
        }
    }
}

}  // namespace
}  // namespace zelvar
