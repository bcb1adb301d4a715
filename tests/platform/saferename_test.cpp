#include <strings.h>

#include <cstring>
#include <functional>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "platform/saferename.h"
#include "scripted_calls.h"
#include "temp_folder.h"

namespace zelvar {
namespace {

using testing::renamed;
using testing::ScriptedCalls;
using testing::Route;
using testing::kRoutes;
using testing::forceRoute;
using testing::routeName;
using testing::snapshot;
using testing::TempFolder;

struct Scene {
    const char* what;
    std::function<void(const TempFolder&)> make;
    std::string from, to;
};

TEST(SafeRename, RenamesEveryKindOfEntryOnEveryRoute) {
    const std::vector<Scene> setups = {
        {"file", [](auto& d) { d.file("a.txt", "A"); }, "a.txt", "b.txt"},
        {"folder", [](auto& d) { d.folder("dir"); d.file("dir/x"); }, "dir", "renamed dir"},
        {"link to a file", [](auto& d) { d.file("t", "T"); d.link("t", "l"); }, "l", "l2"},
        {"link to a folder", [](auto& d) { d.folder("t"); d.link("t", "l"); }, "l", "l2"},
        {"dangling link", [](auto& d) { d.link("nowhere", "l"); }, "l", "l2"},
        {"invalid UTF-8 to valid", [](auto& d) { d.file("bad\xff", "B"); }, "bad\xff", "good"},
        {"valid to invalid UTF-8", [](auto& d) { d.file("good", "G"); }, "good", "\xfe\xff.txt"},
        {"odd characters", [](auto& d) { d.file("*?.txt", "S"); }, "*?.txt", ".hidden:\\<>|\""},
        {"longest name", [](auto& d) { d.file("a"); }, "a", std::string(255, 'n')},
    };
    for (const Route route : kRoutes) {
        for (const Scene& s : setups) {
            TempFolder dir;
            s.make(dir);
            const auto before = snapshot(dir.path());
            ScriptedCalls calls;
            forceRoute(calls, route);
            const RenameOutcome outcome = RenameFolder(dir.path(), calls).rename(s.from, s.to);
            EXPECT_TRUE(outcome.ok()) << s.what << " via " << routeName(route) << ": " << outcome.message;
            EXPECT_EQ(snapshot(dir.path()), renamed(before, s.from, s.to))
                << s.what << " via " << routeName(route);
        }
    }
}

TEST(SafeRename, NeverReplacesAnExistingEntry) {
    const std::vector<Scene> setups = {
        {"file over file", [](auto& d) { d.file("a", "A"); d.file("b", "B"); }, "a", "b"},
        {"file over folder", [](auto& d) { d.file("a", "A"); d.folder("b"); }, "a", "b"},
        {"folder over file", [](auto& d) { d.folder("a"); d.file("b", "B"); }, "a", "b"},
        {"folder over empty folder", [](auto& d) { d.folder("a"); d.folder("b"); }, "a", "b"},
        {"folder over full folder", [](auto& d) { d.folder("a"); d.folder("b"); d.file("b/x"); }, "a", "b"},
        {"link over file", [](auto& d) { d.file("t"); d.link("t", "a"); d.file("b", "B"); }, "a", "b"},
        {"file over dangling link", [](auto& d) { d.file("a", "A"); d.link("nowhere", "b"); }, "a", "b"},
        {"file over its own hard link",
         [](auto& d) { d.file("a", "A"); link((d / "a").c_str(), (d / "b").c_str()); }, "a", "b"},
    };
    for (const Route route : kRoutes) {
        for (const Scene& s : setups) {
            TempFolder dir;
            s.make(dir);
            const auto before = snapshot(dir.path());
            ScriptedCalls calls;
            forceRoute(calls, route);
            const RenameOutcome outcome = RenameFolder(dir.path(), calls).rename(s.from, s.to);
            EXPECT_EQ(outcome.kind, RenameErrorKind::TargetExists) << s.what << " via " << routeName(route);
            EXPECT_EQ(outcome.error, EEXIST) << s.what << " via " << routeName(route);
            EXPECT_EQ(snapshot(dir.path()), before) << s.what << " via " << routeName(route);
            for (const std::string& call : calls.log) EXPECT_NE(call.rfind("renameat ", 0), 0u) << s.what;
        }
    }
}

TEST(SafeRename, RefusesBadNamesBeforeAnyCall) {
    const struct {
        std::string from, to;
        RenameErrorKind kind;
    } cases[] = {
        {"a", "", RenameErrorKind::NameNotAccepted},
        {"a", ".", RenameErrorKind::NameNotAccepted},
        {"a", "..", RenameErrorKind::NameNotAccepted},
        {"a", "sub/b", RenameErrorKind::NameNotAccepted},
        {"a", "../b", RenameErrorKind::NameNotAccepted},
        {"a", std::string("b\0c", 3), RenameErrorKind::NameNotAccepted},
        {"a", std::string(256, 'n'), RenameErrorKind::NameNotAccepted},
        {"", "b", RenameErrorKind::NameNotAccepted},
        {".", "b", RenameErrorKind::NameNotAccepted},
        {"..", "b", RenameErrorKind::NameNotAccepted},
        {"sub/a", "b", RenameErrorKind::NameNotAccepted},
        {std::string("a\0x", 3), "b", RenameErrorKind::NameNotAccepted},
        {"a", "a", RenameErrorKind::TargetExists},
    };
    TempFolder dir;
    dir.file("a", "A");
    dir.folder("sub");
    dir.file("sub/a", "inner");
    const auto before = snapshot(dir.path());
    for (const auto& c : cases) {
        ScriptedCalls calls;
        const RenameOutcome outcome = RenameFolder(dir.path(), calls).rename(c.from, c.to);
        EXPECT_EQ(outcome.kind, c.kind) << '"' << c.from << "\" -> \"" << c.to << '"';
        EXPECT_EQ(outcome.error, 0);
        EXPECT_TRUE(calls.log.empty()) << calls.log.front();
    }
    EXPECT_EQ(snapshot(dir.path()), before);
    EXPECT_EQ(snapshot(dir / "sub").size(), 1u);
}

TEST(SafeRename, AVanishedSourceIsAnotherErrorOnEveryRoute) {
    for (const Route route : kRoutes) {
        TempFolder dir;
        dir.file("other", "O");
        const auto before = snapshot(dir.path());
        ScriptedCalls calls;
        forceRoute(calls, route);
        const RenameOutcome outcome = RenameFolder(dir.path(), calls).rename("ghost", "new");
        EXPECT_EQ(outcome.kind, RenameErrorKind::Other) << routeName(route);
        EXPECT_EQ(outcome.error, ENOENT) << routeName(route);
        EXPECT_EQ(outcome.message, std::strerror(ENOENT));
        EXPECT_EQ(snapshot(dir.path()), before);
    }
}

TEST(SafeRename, MapsEachErrorToItsKind) {
    const struct {
        int error;
        RenameErrorKind kind;
    } cases[] = {
        {EILSEQ, RenameErrorKind::NameNotAccepted}, {ENAMETOOLONG, RenameErrorKind::NameNotAccepted},
        {EEXIST, RenameErrorKind::TargetExists},    {ENOTEMPTY, RenameErrorKind::TargetExists},
        {EACCES, RenameErrorKind::Other},           {EROFS, RenameErrorKind::Other},
        {EBUSY, RenameErrorKind::Other},            {EIO, RenameErrorKind::Other},
    };
    for (const auto& c : cases) {
        TempFolder dir;
        dir.file("a", "A");
        const auto before = snapshot(dir.path());
        ScriptedCalls calls;
        calls.fault = [&](const std::string& call, const std::string&, const std::string&) {
            return call == "renameat2" ? c.error : 0;
        };
        const RenameOutcome outcome = RenameFolder(dir.path(), calls).rename("a", "b");
        EXPECT_EQ(outcome.kind, c.kind) << std::strerror(c.error);
        EXPECT_EQ(outcome.error, c.error);
        EXPECT_EQ(outcome.message, c.kind == RenameErrorKind::Other ? std::strerror(c.error) : "");
        EXPECT_EQ(snapshot(dir.path()), before);
    }
}

TEST(SafeRename, TakesTheFallbackRoutesInOrder) {
    const struct {
        const char* what;
        bool folder;
        std::function<int(const std::string&, const std::string&, const std::string&)> fault;
        std::vector<std::string> calls;
        RenameErrorKind kind;
        int error;
    } cases[] = {
        {"flag refused: link, unlink", false,
         [](auto& call, auto&, auto&) { return call == "renameat2" ? EINVAL : 0; },
         {"renameat2 a>b", "linkat a>b", "unlinkat a"}, RenameErrorKind::None, 0},
        {"no renameat2 at all", false,
         [](auto& call, auto&, auto&) { return call == "renameat2" ? ENOSYS : 0; },
         {"renameat2 a>b", "linkat a>b", "unlinkat a"}, RenameErrorKind::None, 0},
        {"flag not supported", false,
         [](auto& call, auto&, auto&) { return call == "renameat2" ? EOPNOTSUPP : 0; },
         {"renameat2 a>b", "linkat a>b", "unlinkat a"}, RenameErrorKind::None, 0},
        {"a folder cannot be linked: check, rename", true,
         [](auto& call, auto&, auto&) { return call == "renameat2" ? EINVAL : 0; },
         {"renameat2 a>b", "linkat a>b", "fstatat b", "renameat a>b"}, RenameErrorKind::None, 0},
        {"links refused: check, rename", false,
         [](auto& call, auto&, auto&) { return call == "renameat2" ? EINVAL : call == "linkat" ? EPERM : 0; },
         {"renameat2 a>b", "linkat a>b", "fstatat b", "renameat a>b"}, RenameErrorKind::None, 0},
        {"unlink fails: the new link goes again", false,
         [](auto& call, auto& from, auto&) {
             return call == "renameat2" ? EINVAL : call == "unlinkat" && from == "a" ? EIO : 0;
         },
         {"renameat2 a>b", "linkat a>b", "unlinkat a", "unlinkat b"}, RenameErrorKind::Other, EIO},
        {"the link refuses the name too", false,
         [](auto& call, auto&, auto&) { return call == "renameat2" || call == "linkat" ? EINVAL : 0; },
         {"renameat2 a>b", "linkat a>b"}, RenameErrorKind::NameNotAccepted, EINVAL},
        {"the last resort refuses the name", false,
         [](auto& call, auto&, auto&) {
             return call == "renameat2" || call == "renameat" ? EINVAL : call == "linkat" ? EPERM : 0;
         },
         {"renameat2 a>b", "linkat a>b", "fstatat b", "renameat a>b"}, RenameErrorKind::NameNotAccepted,
         EINVAL},
        {"the check cannot look", false,
         [](auto& call, auto&, auto&) {
             return call == "renameat2" ? EINVAL : call == "linkat" ? EPERM : call == "fstatat" ? EACCES : 0;
         },
         {"renameat2 a>b", "linkat a>b", "fstatat b"}, RenameErrorKind::Other, EACCES},
    };
    for (const auto& c : cases) {
        TempFolder dir;
        c.folder ? dir.folder("a") : dir.file("a", "A");
        dir.file("z", "Z");
        const auto before = snapshot(dir.path());
        ScriptedCalls calls;
        calls.fault = c.fault;
        const RenameOutcome outcome = RenameFolder(dir.path(), calls).rename("a", "b");
        EXPECT_EQ(calls.log, c.calls) << c.what;
        EXPECT_EQ(outcome.kind, c.kind) << c.what;
        EXPECT_EQ(outcome.error, c.error) << c.what;
        EXPECT_EQ(snapshot(dir.path()), c.kind == RenameErrorKind::None ? renamed(before, "a", "b") : before)
            << c.what;
    }
}

TEST(SafeRename, AFolderThatCannotBeOpenedFailsEveryRename) {
    TempFolder dir;
    const struct {
        std::string path;
        int error;
    } cases[] = {{dir / "missing", ENOENT}, {dir / std::string(300, 'x'), ENAMETOOLONG}};
    for (const auto& c : cases) {
        RenameFolder folder(c.path);
        EXPECT_FALSE(folder.isOpen());
        EXPECT_EQ(folder.openError(), c.error);
        const RenameOutcome outcome = folder.rename("a", "b");
        EXPECT_EQ(outcome.kind, RenameErrorKind::Other) << "the folder, not a name, is at fault";
        EXPECT_EQ(outcome.error, c.error);
        EXPECT_EQ(outcome.message, std::strerror(c.error));
    }
}

TEST(SafeRename, FolderPermissionsDecide) {
    TempFolder dir;
    chmod(dir.path().c_str(), 0755);
    for (const char* name : {"read-only", "write-only"}) {
        dir.folder(name);
        std::ofstream(dir / name + "/a") << "A";
    }
    chmod((dir / "read-only").c_str(), 0555);
    chmod((dir / "write-only").c_str(), 0733);  // no read permission: the names cannot be listed
    const auto readOnlyBefore = snapshot(dir / "read-only");
    const auto writeOnlyBefore = snapshot(dir / "write-only");
    const auto ok = testing::withoutPrivileges([&] {
        const RenameOutcome denied = RenameFolder(dir / "read-only").rename("a", "b");
        const RenameOutcome allowed = RenameFolder(dir / "write-only").rename("a", "b");
        return denied.kind == RenameErrorKind::Other && denied.error == EACCES &&
               denied.message == std::strerror(EACCES) && allowed.ok();
    });
    if (!ok) GTEST_SKIP() << "cannot drop root's privileges here";
    EXPECT_TRUE(*ok);
    EXPECT_EQ(snapshot(dir / "read-only"), readOnlyBefore);
    EXPECT_EQ(snapshot(dir / "write-only"), renamed(writeOnlyBefore, "a", "b"));
}

}  // namespace
}  // namespace zelvar
