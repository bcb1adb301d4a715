// The whole build on real folders: listing, kinds, dates, ordering, names and markers together.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/pattern.h"
#include "preview/builder.h"

using namespace zelvar;

namespace {

class TempDir {
public:
    TempDir() {
        const char* base = std::getenv("TMPDIR");
        std::string tmpl = std::string(base && *base ? base : "/tmp") + "/zelvar-builder-XXXXXX";
        if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
        path_ = tmpl;
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string at(const std::string& name) const { return path_ + "/" + name; }

    // Creates an empty file; a non-negative time sets its modification time (seconds since 1970).
    void file(const std::string& name, long long mtime = -1) const {
        const int fd = ::open(at(name).c_str(), O_CREAT | O_WRONLY | O_EXCL, 0644);
        ASSERT_GE(fd, 0) << name;
        ::close(fd);
        if (mtime >= 0) {
            const timespec times[2] = {{static_cast<time_t>(mtime), 0}, {static_cast<time_t>(mtime), 0}};
            ASSERT_EQ(::utimensat(AT_FDCWD, at(name).c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << name;
        }
    }
    void folder(const std::string& name) const { ASSERT_EQ(::mkdir(at(name).c_str(), 0755), 0) << name; }
    void link(const std::string& name, const std::string& target) const {
        ASSERT_EQ(::symlink(target.c_str(), at(name).c_str()), 0) << name;
    }

private:
    std::string path_;
};

// Dates are read as local civil time; the tests fix the zone.
class BuilderTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("TZ", "UTC", 1);
        tzset();
    }

    PreviewResult build(const RenameOptions& o) const {
        return zelvar::Test(dir.path(), o, ZpracujFiltrVystupCely(o), false);
    }
    static std::vector<std::string> lines(const PreviewResult& r) {
        std::vector<std::string> out;
        for (const auto& row : r.rows) out.push_back(toUtf8(row.oldName) + " -> " + toUtf8(row.newName));
        return out;
    }

    TempDir dir;
};

using Lines = std::vector<std::string>;

}  // namespace

TEST_F(BuilderTest, StartPatternsRenameNothingWhateverTheName) {
    dir.file("a.txt");
    dir.file(".htaccess");
    dir.file("abc.");
    dir.file("b*c.txt");
    dir.file("\xff\xfe.dat");
    dir.link("link.txt", "a.txt");
    dir.link("dangling.lnk", "nowhere");
    dir.folder("sub.d");
    dir.link("dirlink", "sub.d");

    const PreviewResult r = build(RenameOptions{});
    const Lines expected{
        ".htaccess -> * prázdné jméno", "a.txt -> * beze změny",        "abc. -> * beze změny",
        "b*c.txt -> * beze změny",      "dangling.lnk -> * beze změny", "link.txt -> * beze změny",
        "\xff\xfe.dat -> * beze změny",
    };
    EXPECT_EQ(lines(r), expected);
    EXPECT_EQ(r.unchanged, 7);
    EXPECT_EQ(r.renameCount(), 0);
    EXPECT_FALSE(r.stepText.has_value());
    EXPECT_FALSE(r.listingFailed);
    std::string text;
    for (const auto& l : expected) text += l + "\r\n";
    EXPECT_EQ(toUtf8(r.text), text);
    EXPECT_EQ(toUtf8(r.stats), "Počet zpracovaných souborů: 7\r\nPočet přejmenování: 0\r\nPočet beze změny: 7");
}

TEST_F(BuilderTest, KindsAndFilter) {
    dir.file("a.TXT");
    dir.file("b.jpg");
    dir.folder("c.txt");
    dir.link("d", "c.txt");
    const auto oldNames = [&](int kind, const char* filter) {
        RenameOptions o;
        o.optFile = kind;
        o.txtVyhlFiltr = T(filter);
        Lines out;
        for (const auto& row : build(o).rows) out.push_back(toUtf8(row.oldName));
        return out;
    };
    EXPECT_EQ(oldNames(0, "*.*"), (Lines{"a.TXT", "b.jpg"}));
    EXPECT_EQ(oldNames(1, "*.*"), (Lines{"c.txt", "d"}));
    EXPECT_EQ(oldNames(2, "*.*"), (Lines{"a.TXT", "b.jpg", "c.txt", "d"}));
    EXPECT_EQ(oldNames(2, "*.txt"), (Lines{"a.TXT", "c.txt"}));
}

TEST_F(BuilderTest, NewNamesKeepTheBytesOfAnInvalidName) {
    dir.file("\xff\xfe.dat");
    dir.file("a*b.dat");
    RenameOptions o;
    o.txtExt = U"bin";
    const PreviewResult r = build(o);
    ASSERT_EQ(r.rows.size(), 2u);
    EXPECT_EQ(toUtf8(r.rows[0].newName), "a*b.bin");
    EXPECT_EQ(toUtf8(r.rows[1].newName), "\xff\xfe.bin");
    EXPECT_EQ(r.renameCount(), 2);
}

TEST_F(BuilderTest, DatesOrderAndNameTheEntries) {
    dir.file("b.txt", 981173106);   // 2001-02-03 04:05:06 UTC
    dir.file("a.txt", 1700000000);  // 2023-11-14 22:13:20 UTC
    dir.file("c.txt", 981173106);
    RenameOptions o;
    o.txtJmeno = U"\\y\\m\\d_\\h\\n\\s_*";
    o.optRazeni = 2;
    EXPECT_EQ(lines(build(o)), (Lines{"b.txt -> 20010203_040506_b.txt", "c.txt -> 20010203_040506_c.txt",
                                      "a.txt -> 20231114_221320_a.txt"}));
    o.chkObracene = 1;
    EXPECT_EQ(lines(build(o)), (Lines{"a.txt -> 20231114_221320_a.txt", "c.txt -> 20010203_040506_c.txt",
                                      "b.txt -> 20010203_040506_b.txt"}));
}

TEST_F(BuilderTest, CaseChangeMeetsASeparateEntryOfThatName) {
    dir.file("readme.TXT");
    RenameOptions o;
    o.optVelikost = 1;
    EXPECT_EQ(lines(build(o)), Lines{"readme.TXT -> readme.txt"});

    // Not listed (a folder), but there: the new name would hit it.
    dir.folder("readme.txt");
    EXPECT_EQ(lines(build(o)), Lines{"readme.TXT -> * existuje >readme.txt<"});

    // Listed: the later row's name stops the earlier one.
    std::filesystem::remove(dir.at("readme.txt"));
    dir.file("readme.txt");
    EXPECT_EQ(lines(build(o)), (Lines{"readme.TXT -> * viz >readme.txt< níže", "readme.txt -> * beze změny"}));
}

TEST_F(BuilderTest, CounterStartAndStepBeyondSixteenBits) {
    dir.file("IMG_1.jpg");
    dir.file("IMG_2.jpg");
    dir.file("IMG_3.jpg");
    RenameOptions o;
    o.txtJmeno = U"Foto_:::";
    o.txtCisloOd = U"40000";
    o.txtDif = U"2";
    PreviewResult r = build(o);
    EXPECT_EQ(lines(r), (Lines{"IMG_1.jpg -> Foto_000.jpg", "IMG_2.jpg -> Foto_002.jpg", "IMG_3.jpg -> Foto_004.jpg"}));
    EXPECT_EQ(r.stepText, Text(U"2"));

    o.txtCisloOd = U"32766";
    o.txtDif = U"70000";
    r = build(o);
    EXPECT_EQ(lines(r), (Lines{"IMG_1.jpg -> Foto_32766.jpg", "IMG_2.jpg -> Foto_32767.jpg",
                               "IMG_3.jpg -> * prázdné jméno"}));
    EXPECT_EQ(r.stepText, Text(U"1"));
    EXPECT_EQ(toUtf8(r.stats), "Počet zpracovaných souborů: 3\r\nPočet přejmenování: 2\r\nPočet beze změny: 1");
}

TEST_F(BuilderTest, EqualStemsShareANumber) {
    dir.file("a.jpg");
    dir.file("a.raw");
    dir.file("A.jpg");
    dir.file("b.jpg");
    RenameOptions o;
    o.txtJmeno = U"*_:";
    o.chkStejnePripony = 1;
    // "A" and "a" are different stems: the comparison is exact.
    EXPECT_EQ(lines(build(o)), (Lines{"A.jpg -> A_1.jpg", "a.jpg -> a_2.jpg", "a.raw -> a_2.raw", "b.jpg -> b_3.jpg"}));
}

TEST_F(BuilderTest, JenStejneOnDisk) {
    dir.file("a.txt");
    dir.file("b.txt");
    dir.file("x.txt");
    RenameOptions o;
    o.txtJmeno = U"x:";
    o.optCitac = 1;
    EXPECT_EQ(lines(build(o)), (Lines{"a.txt -> * viz >x.txt< níže", "b.txt -> * viz >x.txt< níže",
                                      "x.txt -> * beze změny"}));
    o.chkObracene = 1;  // x.txt first: it opens the group the others number from
    EXPECT_EQ(lines(build(o)), (Lines{"x.txt -> * beze změny", "b.txt -> x1.txt", "a.txt -> x2.txt"}));
    o.chkINula = 1;
    const PreviewResult r = build(o);
    EXPECT_EQ(lines(r), (Lines{"x.txt -> x0.txt", "b.txt -> x1.txt", "a.txt -> x2.txt"}));
    EXPECT_EQ(r.renameCount(), 3);
}

TEST_F(BuilderTest, AFolderThatCannotBeListed) {
    const std::string gone = dir.at("missing");
    const PreviewResult r = zelvar::Test(gone, RenameOptions{}, ZpracujFiltrVystupCely(RenameOptions{}), false);
    EXPECT_TRUE(r.rows.empty());
    EXPECT_TRUE(r.listingFailed);
    EXPECT_TRUE(r.text.empty());
    EXPECT_EQ(toUtf8(r.stats), "Počet zpracovaných souborů: 0\r\nPočet přejmenování: 0\r\nPočet beze změny: 0");
}
