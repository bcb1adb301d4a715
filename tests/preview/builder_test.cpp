// The whole build on real folders: listing, kinds, dates, ordering, names and markers together.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <thread>
#include <tuple>
#include <vector>

#include "engine/pattern.h"
#include "platform/fstype.h"
#include "platform/temp_folder.h"
#include "preview/session.h"
#include "support/split.h"

using namespace zelvar;
using zelvar::testing::split;
using zelvar::testing::TempFolder;

namespace {

using O = RenameOptions&;

PreviewResult build(const std::string& folder, const RenameOptions& o) {
    setenv("TZ", "UTC", 1), tzset();  // dates are local civil time
    PreviewSession session;
    session.setFolder(folder);
    return session.build(o);
}

Text stats(int n, int renamed, int unchanged) {
    return T("Počet zpracovaných souborů: " + std::to_string(n) + "\r\nPočet přejmenování: " + std::to_string(renamed) +
             "\r\nPočet beze změny: " + std::to_string(unchanged));
}

// Every name of a listing's folder with its inode, in name order.
std::string names(const NameTable& table) {
    std::map<std::string, std::uint64_t> sorted;
    for (const auto& [name, id] : table) sorted.emplace(name, id.ino);
    std::string out;
    for (const auto& [name, ino] : sorted) out += name + " " + std::to_string(ino) + "\n";
    return out;
}

// The rows apart by "|", "=" standing for "* beze změny".
std::string lines(const PreviewResult& r) {
    std::string out;
    for (const auto& row : r.rows) {
        const std::string shown = toUtf8(shownName(row));
        out += (out.empty() ? "" : "|") + toUtf8(row.oldName) + " -> " + (shown == "* beze změny" ? "=" : shown);
    }
    return out;
}

// Names apart by "|": "name/" is a folder, "name -> target" a symbolic link.
void fill(const TempFolder& dir, const std::string& names) {
    for (const std::string& n : split(names)) {
        const std::size_t arrow = n.find(" -> ");
        if (n.back() == '/')
            dir.folder(n.substr(0, n.size() - 1));
        else
            dir.fill({{n.substr(0, arrow), arrow == std::string::npos ? "" : n.substr(arrow + 1)}});
    }
}

void upper(O o) { o.optVelikost = Velikost::Mala; }
void onlySame(O o) { o.txtJmeno = U"x:", o.optCitac = Citac::JenStejne; }

TEST(Builder, RowsAndMarkersOfRealFolders) {
    const char *kinds = "a.TXT|b.jpg|c.txt/|d -> c.txt", *dated = "b.txt|a.txt|c.txt", *counted = "a.txt|b.txt|x.txt";
    // entries, options, rows
    const std::tuple<const char*, void (*)(O), const char*> cases[] = {
        // The start patterns rename nothing, whatever the name; links count as files, folders do not.
        {"a.txt|.htaccess|abc.|b*c.txt|\xff\xfe.dat|link.txt -> a.txt|dangling.lnk -> nowhere|sub.d/|dirlink -> sub.d",
         [](O) {},
         ".htaccess -> * prázdné jméno|a.txt -> =|abc. -> =|b*c.txt -> =|dangling.lnk -> =|"
         "link.txt -> =|\xff\xfe.dat -> ="},
        {kinds, [](O o) { o.optFile = File::Slozky; }, "c.txt -> =|d -> ="},
        {kinds, [](O o) { o.optFile = File::Oboje, o.txtVyhlFiltr = U"*.txt"; }, "a.TXT -> =|c.txt -> ="},
        {dated, [](O o) { o.txtJmeno = U"\\y\\m\\d_\\h\\n\\s_*", o.optRazeni = Razeni::Datum; },
         "b.txt -> 20010203_040506_b.txt|c.txt -> 20010203_040506_c.txt|a.txt -> 20231114_221320_a.txt"},
        // Sorted by name, the folder is read for its dates only because a date code asks for them.
        {dated, [](O o) { o.txtJmeno = U"*_\\y", o.txtExt = U"\\d"; },
         "a.txt -> a_2023.14|b.txt -> b_2001.03|c.txt -> c_2001.03"},
        // A later row's old name, in any letter case, is still taken.
        {"a.txt|B.txt", [](O o) { o.txtJmeno = U"b"; }, "a.txt -> * viz >B.txt< níže|B.txt -> b.txt"},
        // "Jen stejné" without a counter cannot separate equal names.
        {dated, [](O o) { o.txtJmeno = U"x", o.optCitac = Citac::JenStejne; },
         "a.txt -> x.txt|b.txt -> * viz >x.txt< výše|c.txt -> * viz >x.txt< výše"},
        // Not listed (a folder), but there: the lowered name would hit it.
        {"readme.TXT|readme.txt/", upper, "readme.TXT -> * existuje >readme.txt<"},
        {"readme.TXT|readme.txt", upper, "readme.TXT -> * viz >readme.txt< níže|readme.txt -> ="},
        // "A" and "a" are different stems: the comparison is exact.
        {"a.jpg|a.raw|A.jpg|b.jpg", [](O o) { o.txtJmeno = U"*_:", o.chkStejnePripony = 1; },
         "A.jpg -> A_1.jpg|a.jpg -> a_2.jpg|a.raw -> a_2.raw|b.jpg -> b_3.jpg"},
        {counted, onlySame, "a.txt -> * viz >x.txt< níže|b.txt -> * viz >x.txt< níže|x.txt -> ="},
        // x.txt first: it opens the group the others number from, and with "i nula" takes 0 itself.
        {counted, [](O o) { onlySame(o), o.chkObracene = 1; }, "x.txt -> =|b.txt -> x1.txt|a.txt -> x2.txt"},
        {counted, [](O o) { onlySame(o), o.chkObracene = 1, o.chkINula = 1; },
         "x.txt -> x0.txt|b.txt -> x1.txt|a.txt -> x2.txt"},
        // The counter's start and step go past 16 bits; the step is shown as the one it falls back to.
        {"IMG_1.jpg|IMG_2.jpg|IMG_3.jpg",
         [](O o) { o.txtJmeno = U"Foto_:::", o.txtCisloOd = U"32766", o.txtDif = U"70000"; },
         "IMG_1.jpg -> Foto_32766.jpg|IMG_2.jpg -> Foto_32767.jpg|IMG_3.jpg -> * prázdné jméno"},
    };
    std::error_code ignored;
    for (const auto& [entries, tweak, expected] : cases) {
        SCOPED_TRACE(expected);
        TempFolder dir;
        fill(dir, entries);
        // 2023-11-14 22:13:20 and 2001-02-03 04:05:06 UTC, where the case has these entries.
        for (const auto& [name, date] : {std::pair{"a.txt", 1700000000}, {"b.txt", 981173106}, {"c.txt", 981173106}})
            if (std::filesystem::exists(dir / name, ignored)) dir.mtime(name, date);
        RenameOptions o;
        tweak(o);
        const PreviewResult r = build(dir.path(), o);
        EXPECT_EQ(lines(r), expected);
        const int n = r.rows.size(), unchanged = std::ranges::count_if(r.rows, &PreviewEntry::marker);
        EXPECT_EQ(r.unchanged, unchanged);
        EXPECT_EQ(r.stats, stats(n, n - unchanged, unchanged));
        EXPECT_EQ(r.stepText.value_or(o.txtDif), Text(U"1")) << "numbering falls back to the step 1";
    }
    const PreviewResult missing = build(TempFolder() / "missing", RenameOptions{});
    EXPECT_TRUE(missing.rows.empty() && missing.listingFailure);
    EXPECT_EQ(missing.stats, stats(0, 0, 0));
}

// A pattern far past the folder's limit costs a preview no more memory than a plain one: no row
// keeps the room of a name it could not use.
TEST(Builder, ANameFarPastTheLimitLeavesNoMemoryBehind) {
    TempFolder dir;
    fill(dir, "IMG_1.jpg|IMG_2.jpg|IMG_3.jpg|x.jpg");
    RenameOptions o;
    for (const Text& pattern : {Text(32000, U':'), Text(32000, U'n'), U"IMG_" + Text(32000, U':')}) {
        o.txtJmeno = pattern, o.optCitac = pattern.front() == U'I' ? Citac::JenStejne : Citac::Citac;
        const PreviewResult r = build(dir.path(), o);
        ASSERT_EQ(r.rows.size(), 4u);
        // "Jen stejné" numbers only the names met again: the first one stays short.
        EXPECT_EQ(r.unchanged, o.optCitac == Citac::JenStejne ? 3 : 4);
        for (const PreviewEntry& row : r.rows) {
            if (!row.marker()) continue;
            EXPECT_EQ(row.verdict, Verdict::tooLong) << toUtf8(row.oldName);
            EXPECT_LT(row.newName.capacity(), 64u) << toUtf8(row.oldName);
        }
    }
}

// A kept listing keeps its order between builds; every build must still be ordered as a fresh one,
// whatever changes in the options or behind the session's back.
TEST(Session, AKeptListingIsOrderedAsAFreshOne) {
    TempFolder dir(
        {{"a10.txt", ""}, {"a9.txt", ""}, {"b10.txt", ""}, {"c1.raw", ""}, {"A1.txt", ""}, {"d", "<folder>"}});
    const std::pair<const char*, time_t> dates[] = {
        {"b10.txt", 300}, {"a9.txt", 100}, {"c1.raw", 200}, {"A1.txt", 100}};
    for (const auto& [name, date] : dates) dir.mtime(name, date);
    RenameOptions o;
    o.txtJmeno = U"*_:";
    PreviewSession session;
    session.setFolder(dir.path());
    session.keepListing(true);
    // What changes before the build, and whether the kept listing serves it.
    const std::tuple<std::function<void()>, bool> steps[] = {
        {[] {}, false},
        {[&] { o.txtJmeno = U"x_:"; }, true},
        {[&] { o.chkCisla = 1; }, true},
        {[&] { o.chkObracene = 1; }, true},
        {[&] { o.optRazeni = Razeni::Pripona; }, true},
        {[&] { o.optRazeni = Razeni::Datum; }, true},
        {[&] { o.chkObracene = 0, o.txtJmeno = U"*"; }, true},
        {[&] { rename((dir / "b10.txt").c_str(), (dir / "0.txt").c_str()); }, false},
        {[&] { dir.mtime("c1.raw", 50); }, false},
        {[&] { o.optRazeni = Razeni::Neradit; }, true},
        {[&] { o.optRazeni = Razeni::Jmeno, o.txtVyhlFiltr = U"*.txt;*.raw"; }, false},
        {[&] { o.chkCisla = 0; }, true},
        {[&] { dir.file("e.txt"); }, false},
        {[&] { session.invalidateListing(); }, false},
        {[] {}, true},
    };
    for (std::size_t k = 0; k < std::size(steps); ++k) {
        SCOPED_TRACE(k);
        std::get<0>(steps[k])();
        const std::string got = lines(session.build(o));
        EXPECT_EQ(session.listingKept(), std::get<1>(steps[k]));
        EXPECT_EQ(got, lines(build(dir.path(), o)));
    }
}

// A run takes the inodes of the last build's listing only while it is sure that no name of the
// folder changed since it was read. A folder given open (the command line) is vouched for by its
// change time, once its last change lies a second back; a kept listing (the window) by its watch,
// which also gives way to a changed date. Asking ends the vouching, as the run changes the folder.
TEST(Session, VouchesForItsListingOnlyWhileTheFolderIsUntouched) {
    const std::pair<std::function<void(const TempFolder&)>, bool> changes[] = {
        {[](auto& d) { d.file("new.txt"); }, true},
        {[](auto& d) { unlink((d / "b.txt").c_str()); }, true},
        {[](auto& d) { rename((d / "b.txt").c_str(), (d / "c.txt").c_str()); }, true},
        {[](auto& d) { rename((d / "b.txt").c_str(), (d / "a.txt").c_str()); }, true},
        {[](auto& d) { d.mtime("a.txt", 86400 * 400); }, false},
        {[](auto&) {}, false},
    };
    RenameOptions o;
    o.txtJmeno = U"x:";
    for (const bool open : {true, false}) {
        std::vector<std::unique_ptr<TempFolder>> dirs;
        for (std::size_t k = 0; k < std::size(changes); ++k)
            dirs.push_back(std::make_unique<TempFolder>(zelvar::testing::Entries{{"a.txt", "a"}, {"b.txt", "b"}}));
        if (open) std::this_thread::sleep_for(std::chrono::milliseconds(1100));
        // Where times may come from elsewhere (an overlay, a network), no stamp vouches.
        struct statfs fs;
        const bool stamps = statfs(dirs[0]->path().c_str(), &fs) == 0 && changesOnlyHere(fs.f_type);
        for (std::size_t k = 0; k < std::size(changes); ++k) {
            SCOPED_TRACE(std::to_string(k) + (open ? " open" : " kept"));
            const TempFolder& dir = *dirs[k];
            const int fd = ::open(dir.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            PreviewSession session;
            session.setFolder(dir.path(), open ? fd : -1);
            session.keepListing(!open);
            const bool ofNames = changes[k].second;
            // After the change, then read again: a folder changed a moment ago is not vouched for by
            // its time, and the folder is read again after a run.
            const bool holds[] = {!ofNames && (open ? stamps : k == std::size(changes) - 1),
                                  !open || (stamps && !ofNames)};
            for (const bool again : {false, true}) {
                session.build(o);
                if (!again)
                    changes[k].first(dir);
                else
                    EXPECT_FALSE(session.listingKept());
                const Listing* listed = session.listingForRun();
                ASSERT_EQ(listed != nullptr, holds[again]);
                if (listed) {
                    EXPECT_EQ(names(listed->allNames), names(listFolder(dir.path(), U"*", File::Oboje).allNames));
                }
                EXPECT_EQ(session.listingForRun(), nullptr) << "asked once, the vouching ends";
            }
            session.build(o);
            session.invalidateListing();
            EXPECT_EQ(session.listingForRun(), nullptr);
            ::close(fd);
        }
    }
}

TEST(Session, AnUnkeptListingIsReadEveryTimeAndEditsGoOverTheRows) {
    TempFolder dir({{"a.txt", ""}, {"b.txt", ""}});
    RenameOptions o;
    o.txtJmeno = U"x:";
    PreviewSession session;
    session.setFolder(dir.path());
    session.build(o);
    EXPECT_EQ(session.listingForRun(), nullptr) << "a session that keeps nothing vouches for nothing";
    for (const char* n : {"c.txt", "d.txt", "e.txt"}) dir.file(n);
    ASSERT_EQ(session.build(o).rows.size(), 5u);
    EXPECT_FALSE(session.listingKept());

    // The box as shown may differ from the old names; the rows keep the real ones.
    PreviewList shown = session.result().rows;
    shown[0].oldName = U"A-shown";
    const PreviewResult& edited = session.edit(U"A-shown\r\nc.txt\r\nnew\r\n", shown);
    EXPECT_EQ(lines(edited), "a.txt -> =|b.txt -> * viz >c.txt< níže|c.txt -> new|d.txt -> =|e.txt -> =");
    EXPECT_EQ(edited.stats, stats(5, 1, 4));
    EXPECT_EQ(session.text().substr(0, 30), U"A-shown -> * beze změny\r\nb.txt");
    EXPECT_EQ(session.takeRows().size(), 5u);
    EXPECT_TRUE(session.result().rows.empty());
}

}  // namespace
