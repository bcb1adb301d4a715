#include <dirent.h>
#include <fcntl.h>
#include <strings.h>

#include <algorithm>
#include <optional>

#include <gtest/gtest.h>

#include "platform/saferename.h"
#include "scripted_calls.h"
#include "temp_folder.h"

namespace zelvar {
namespace {

using testing::forceRoute;
using testing::kRoutes;
using testing::renamed;
using testing::Route;
using testing::routeName;
using testing::ScriptedCalls;
using testing::snapshot;
using testing::TempFolder;

// Behaves like a file system that folds letter case (vfat, exfat, a casefolded ext4 folder) on top of
// a real folder that does not: a name reaches the entry of exactly that name, else the first whose
// name equals it ignoring ASCII case; new entries keep the letters they were given.
struct FoldingCalls : ScriptedCalls {
    static std::optional<std::string> reach(int fd, const char* name) {
        struct stat st;
        if (::fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) == 0) return std::string(name);
        DIR* dir = fdopendir(::openat(fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        std::optional<std::string> found;
        while (const dirent* d = dir ? readdir(dir) : nullptr)
            if (strcasecmp(d->d_name, name) == 0) {
                found = d->d_name;
                break;
            }
        if (dir) closedir(dir);
        return found;
    }
    static std::string real(int fd, const char* name) { return reach(fd, name).value_or(name); }
    static int fail(int error) {
        errno = error;
        return -1;
    }
    static bool sameEntry(int fd, const std::string& a, const std::string& b) {
        struct stat sa, sb;
        return ::fstatat(fd, a.c_str(), &sa, AT_SYMLINK_NOFOLLOW) == 0 &&
               ::fstatat(fd, b.c_str(), &sb, AT_SYMLINK_NOFOLLOW) == 0 && sa.st_ino == sb.st_ino;
    }

    int renameat2(int ofd, const char* from, int nfd, const char* to, unsigned flags) override {
        if (failed("renameat2", from, to)) return -1;
        if ((flags & RENAME_NOREPLACE) && reach(nfd, to)) return fail(EEXIST);
        return SysCalls::renameat2(ofd, real(ofd, from).c_str(), nfd, to, flags);
    }
    // Like every POSIX rename, one that finds the same entry under both names does nothing at all.
    int renameat(int ofd, const char* from, int nfd, const char* to) override {
        if (failed("renameat", from, to)) return -1;
        const std::string source = real(ofd, from);
        const auto target = reach(nfd, to);
        if (target && sameEntry(ofd, source, *target)) return 0;
        return SysCalls::renameat(ofd, source.c_str(), nfd, target.value_or(to).c_str());
    }
    int linkat(int ofd, const char* from, int nfd, const char* to, int flags) override {
        if (failed("linkat", from, to)) return -1;
        if (reach(nfd, to)) return fail(EEXIST);
        return SysCalls::linkat(ofd, real(ofd, from).c_str(), nfd, to, flags);
    }
    int unlinkat(int fd, const char* path, int flags) override {
        if (failed("unlinkat", path)) return -1;
        return SysCalls::unlinkat(fd, real(fd, path).c_str(), flags);
    }
    int fstatat(int fd, const char* path, struct stat* st, int flags) override {
        if (failed("fstatat", path)) return -1;
        return SysCalls::fstatat(fd, real(fd, path).c_str(), st, flags);
    }
};

using Fault = std::function<int(const std::string&, const std::string&, const std::string&)>;

// The route's own faults first, then the test's.
Fault onRoute(Route route, Fault extra) {
    ScriptedCalls routed;
    forceRoute(routed, route);
    return [first = routed.fault, extra](auto& call, auto& from, auto& to) {
        const int error = first(call, from, to);
        return error != 0 ? error : extra ? extra(call, from, to) : 0;
    };
}

TEST(CaseOnlyRename, GoesThroughATemporaryNameOnEveryRoute) {
    for (const Route route : kRoutes) {
        for (const bool folder : {false, true}) {
            TempFolder dir;
            folder ? dir.folder("photos") : dir.file("photos", "P");
            dir.file("other", "O");
            const auto before = snapshot(dir.path());
            FoldingCalls calls;
            calls.fault = onRoute(route, nullptr);
            const RenameOutcome outcome = RenameFolder(dir.path(), calls).rename("photos", "Photos");
            const std::string what = std::string(folder ? "folder" : "file") + " via " + routeName(route);
            EXPECT_TRUE(outcome.ok()) << what << ": " << outcome.message;
            EXPECT_EQ(snapshot(dir.path()), renamed(before, "photos", "Photos")) << what;
        }
    }
}

TEST(CaseOnlyRename, AnotherEntryUnderTheFoldedNameIsATargetThatExists) {
    const struct {
        const char* what;
        bool hardLink;  // a real second name of exactly the new bytes, else a different entry
    } cases[] = {{"hard link of exactly the new name", true}, {"different entry folding alike", false}};
    for (const auto& c : cases) {
        TempFolder dir;
        dir.file("a.txt", "A");
        if (c.hardLink)
            link((dir / "a.txt").c_str(), (dir / "A.TXT").c_str());
        else
            dir.file("A.TXT", "other");
        const auto before = snapshot(dir.path());
        FoldingCalls calls;
        const RenameOutcome outcome = RenameFolder(dir.path(), calls).rename("a.txt", "A.TXT");
        EXPECT_EQ(outcome.kind, RenameErrorKind::TargetExists) << c.what;
        EXPECT_EQ(snapshot(dir.path()), before) << c.what;
        const auto fromOld = [](const std::string& call) { return call.rfind("renameat2 a.txt>", 0) == 0; };
        EXPECT_EQ(std::count_if(calls.log.begin(), calls.log.end(), fromOld), 1)
            << c.what << ": no temporary name may be tried";
    }
}

TEST(CaseOnlyRename, PutsTheNameBackWhenTheSecondStepFails) {
    const struct {
        const char* what;
        int error;
        RenameErrorKind kind;
    } cases[] = {{"a name appeared meanwhile", EEXIST, RenameErrorKind::TargetExists},
                 {"an input/output error", EIO, RenameErrorKind::Other}};
    for (const Route route : kRoutes) {
        for (const auto& c : cases) {
            TempFolder dir;
            dir.file("readme.txt", "R");
            const auto before = snapshot(dir.path());
            FoldingCalls calls;
            calls.fault = onRoute(route, [&](auto& call, auto& from, auto& to) {
                const bool intoNewName = call != "fstatat" && call != "unlinkat" && to == "README.txt";
                return intoNewName && from != "readme.txt" ? c.error : 0;
            });
            const RenameOutcome outcome = RenameFolder(dir.path(), calls).rename("readme.txt", "README.txt");
            EXPECT_EQ(outcome.kind, c.kind) << c.what << " via " << routeName(route);
            EXPECT_EQ(outcome.error, c.error);
            EXPECT_EQ(outcome.leftAs, "");
            EXPECT_EQ(snapshot(dir.path()), before) << c.what << " via " << routeName(route);
        }
    }
}

TEST(CaseOnlyRename, TellsWhereTheEntryIsWhenItCannotGetItsNameBack) {
    TempFolder dir;
    dir.file("readme.txt", "R");
    const auto before = snapshot(dir.path());
    FoldingCalls calls;
    calls.fault = [](auto& call, auto& from, auto&) {
        return call == "renameat2" && from != "readme.txt" ? EIO : 0;
    };
    const RenameOutcome outcome = RenameFolder(dir.path(), calls).rename("readme.txt", "README.txt");
    EXPECT_EQ(outcome.kind, RenameErrorKind::Other);
    EXPECT_EQ(outcome.error, EIO);
    ASSERT_NE(outcome.leftAs, "");
    EXPECT_EQ(snapshot(dir.path()), renamed(before, "readme.txt", outcome.leftAs));
}

}  // namespace
}  // namespace zelvar
