#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "cli/run_cli.h"

using namespace zelvar::cli;

namespace {

struct CliRun {
    int code = -1;
    std::string out;
    std::string err;
};

// Runs the program in process with its output caught in memory.
CliRun run(const std::vector<std::string>& args, const std::string& input = "") {
    char* outBuf = nullptr;
    char* errBuf = nullptr;
    std::size_t outLen = 0, errLen = 0;
    std::FILE* out = open_memstream(&outBuf, &outLen);
    std::FILE* err = open_memstream(&errBuf, &errLen);
    std::FILE* in = std::tmpfile();
    std::fwrite(input.data(), 1, input.size(), in);
    std::rewind(in);
    CliRun result;
    result.code = runCli(args, out, err, in);
    std::fclose(out);
    std::fclose(err);
    std::fclose(in);
    result.out.assign(outBuf, outLen);
    result.err.assign(errBuf, errLen);
    std::free(outBuf);
    std::free(errBuf);
    return result;
}

std::vector<std::string> with(std::vector<std::string> args, const std::string& last) {
    args.push_back(last);
    return args;
}

class TempFolder {
public:
    TempFolder() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "zelvar-cli-XXXXXX").string();
        if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
        path_ = tmpl;
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    void file(const std::string& name, const std::string& content) const {
        std::ofstream(*this / name, std::ios::binary) << content;
    }
    void folder(const std::string& name) const { std::filesystem::create_directory(*this / name); }
    void mtime(const std::string& name, time_t seconds) const {
        const struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
        utimensat(AT_FDCWD, (*this / name).c_str(), times, 0);
    }
    // name -> content of every file; inode numbers tell that nothing was copied or replaced.
    std::map<std::string, std::string> contents() const {
        std::map<std::string, std::string> out;
        for (const auto& e : std::filesystem::directory_iterator(path_)) {
            if (e.is_directory()) {
                out[e.path().filename().string()] = "<folder>";
                continue;
            }
            std::ifstream in(e.path(), std::ios::binary);
            std::ostringstream s;
            s << in.rdbuf();
            out[e.path().filename().string()] = s.str();
        }
        return out;
    }
    std::map<std::string, ino_t> inodes() const {
        std::map<std::string, ino_t> out;
        for (const auto& e : std::filesystem::directory_iterator(path_)) {
            struct stat st {};
            lstat(e.path().c_str(), &st);
            out[e.path().filename().string()] = st.st_ino;
        }
        return out;
    }

private:
    std::string path_;
};

std::string stats(int n, int renamed, int unchanged) {
    return "Počet zpracovaných souborů: " + std::to_string(n) + "\nPočet přejmenování: " +
           std::to_string(renamed) + "\nPočet beze změny: " + std::to_string(unchanged) + "\n";
}

// ---- samples -------------------------------------------------------------------------------------

struct SampleCase {
    std::vector<std::string> args;  // options; the samples are part of them
    std::string expected;
};

TEST(Samples, ComposeFromTheOptions) {
    const std::string vzor = "Abcd efGHij klm NOP.HAF";
    const SampleCase cases[] = {
        {{"--sample", vzor}, vzor + "\n"},
        {{"--name", "Foto_:::", "--sample", "a.jpg"}, "Foto_001.jpg\n"},
        {{"--name", "Foto_:::", "--start", "50", "--sample", "a.jpg"}, "Foto_001.jpg\n"},
        {{"--case", "upper", "--sample", vzor}, "ABCD EFGHIJ KLM NOP.HAF\n"},
        {{"--case", "lower", "--sample", vzor}, "abcd efghij klm nop.haf\n"},
        {{"--case", "title", "--sample", vzor}, "Abcd Efghij Klm Nop.Haf\n"},
        {{"--case", "title", "--sample", "hello world-wide_web.HTML"}, "Hello World-Wide_Web.Html\n"},
        {{"--sample", "xY.Gh", "--sample", "abc.", "--sample", "b"}, "xY.Gh\nabc\nb\n"},
        {{"--name", "n::", "--counter", "42", "--sample", "x.txt"}, "n42.txt\n"},
        {{"--name", "n::", "--counter=7", "--sample", "x.txt"}, "n07.txt\n"},
        {{"--name", ":", "--counter", "5", "--radix", "", "--sample", "x.txt"}, "101.txt\n"},
        {{"--name", ":", "--counter", "5", "--radix", "1", "--sample", "x.txt"}, "101.txt\n"},
        {{"--name", "::", "--counter", "12", "--radix", "40", "--sample", "x.txt"}, "12.txt\n"},
        {{"--name", ":::", "--counter", "27", "--digits", "a-z", "--radix", "40", "--sample", "x.txt"},
         "abb.txt\n"},
        {{"--name", "::::", "--counter", "255", "--digits", "0-9a-z", "--radix", "16", "--sample", "x.txt"},
         "00ff.txt\n"},
        {{"--name", ":", "--counter", "35", "--digits", "0-9a-z", "--radix", "99", "--sample", "x.txt"},
         "z.txt\n"},
        {{"--name", "\\y-\\m-\\d \\h\\n\\s", "--sample", "x.txt"}, "1899-12-30 000000.txt\n"},
        {{"--ext", "txt", "--sample", "README"}, "README.txt\n"},
        {{"--sample", "README"}, "README\n"},
        {{"--ext", " ", "--sample", "photo.jpg"}, "photo\n"},
        {{"--no-diacritics", "--sample", "Žluťoučký kůň.txt"}, "Zlutoucky kun.txt\n"},
        {{"--separators", "remove", "--sample", "a b-c_d.txt"}, "abcd.txt\n"},
        {{"--separators", "underscore", "--sample", "a b-c_d.txt"}, "a_b_c_d.txt\n"},
        {{"--separators", "hyphen", "--sample", "a b-c_d.txt"}, "a-b-c-d.txt\n"},
        {{"--separators", "space", "--sample", "a b-c_d.txt"}, "a b c d.txt\n"},
        {{"--separators", "keep-hyphen", "--sample", "a b-c_d.txt"}, "ab-cd.txt\n"},
        {{"--replace", "ab", "--with", "x", "--sample", "abc.tab"}, "xxc.txx\n"},
        {{"--replace", "a:b", "--with", "x", "--whole", "--sample", "abc.txt"}, "xc.txt\n"},
        {{"--replace", "ab", "--with", "y?", "--whole", "--sample", "abc.txt"}, "yc.txt\n"},
        {{"--replace", "a", "--sample", "abc.txt"}, "abc.txt\n"},
        {{"--remove", "bc", "--sample", "abcd.bcx"}, "ad.x\n"},
        {{"--reverse-name", "--sample", "abc.jpg"}, "cba.jpg\n"},
        {{"--reverse-ext", "--sample", "abc.jpg"}, "abc.gpj\n"},
        {{"--mirror-name", "--name", "??", "--sample", "abcdef.txt"}, "ef.txt\n"},
        {{"--mirror-ext", "--ext", "?", "--sample", "a.xyz"}, "a.z\n"},
        {{"--numbering", "keep", "--name", "*:::", "--sample", "img12x.jpg"}, "img012x.jpg\n"},
        {{"--numbering", "keep", "--keep-mode", "move", "--name", "*-::", "--sample", "img12x.jpg"},
         "imgx-12.jpg\n"},
        {{"--numbering", "keep", "--old-radix", "2", "--name", "*:", "--sample", "a1101b.txt"}, "a13b.txt\n"},
        {{"--numbering", "keep", "--old-radix", "1", "--name", "*:", "--sample", "a1101b.txt"}, "a13b.txt\n"},
        {{"--numbering", "keep", "--name", "*:::", "--sample", "abc.txt"}, "abc.txt\n"},
        {{"--numbering", "keep", "--insert-zero", "--name", "*:::", "--sample", "abc.txt"}, "abc000.txt\n"},
        {{"--numbering", "same", "--name", "x:::", "--sample", "a.txt"}, "x.txt\n"},
        {{"--case", "upper", "--sample", std::string("b\xFF.txt")}, std::string("B\xFF.TXT\n")},
    };
    for (const auto& c : cases) {
        const CliRun r = run(c.args);
        std::string label;
        for (const auto& a : c.args) label += "[" + a + "] ";
        EXPECT_EQ(r.code, 0) << label;
        EXPECT_EQ(r.out, c.expected) << label;
        EXPECT_EQ(r.err, "") << label;
    }
}

// ---- help, version, usage errors -----------------------------------------------------------------

TEST(Info, HelpAndVersion) {
    const CliRun version = run({"--version"});
    EXPECT_EQ(version.code, 0);
    EXPECT_EQ(version.out, "zelvar-cli 6.4.17\n");
    const CliRun help = run({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_EQ(help.out.rfind("Usage: zelvar-cli", 0), 0u);
    EXPECT_EQ(help.err, "");
}

TEST(UsageErrors, OneLineExitTwoAndNothingRenamed) {
    TempFolder dir;
    dir.file("a.txt", "A");
    dir.file("b.txt", "B");
    const auto before = dir.contents();
    const std::vector<std::vector<std::string>> cases = {
        {"--apply", "--name", "x:", "--case", "bogus", dir.path()},
        {"--apply", "--name", "x:", "--bogus", dir.path()},
        {"--apply", "--name", "x:", dir.path(), dir.path()},
        {"--apply", "--name=x:", "--start", "1x", dir.path()},
        {"--apply", "--edit", dir / "no-such-file", dir.path()},
        {"--apply", "--edit", dir.path(), dir.path()},  // a folder is no file of names
        {"--apply", "--stats=1", dir.path()},
        {"--apply", "--sample", "a", dir.path()},
        {"--apply", "--name"},
    };
    for (const auto& args : cases) {
        const CliRun r = run(args);
        EXPECT_EQ(r.code, 2) << args[1] << " " << args[2];
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err.rfind("zelvar-cli: ", 0), 0u) << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "one line: " << r.err;
    }
    EXPECT_EQ(dir.contents(), before);
}

// ---- the preview of a folder ---------------------------------------------------------------------

struct PreviewCase {
    std::vector<std::string> args;  // the folder is appended
    std::string expected;
};

void expectPreviews(const TempFolder& dir, const std::vector<PreviewCase>& cases) {
    const auto before = dir.contents();
    for (const auto& c : cases) {
        std::string label;
        for (const auto& a : c.args) label += "[" + a + "] ";
        const CliRun r = run(with(c.args, dir.path()));
        EXPECT_EQ(r.code, 0) << label;
        EXPECT_EQ(r.out, c.expected) << label;
        EXPECT_EQ(r.err, "") << label;
    }
    EXPECT_EQ(dir.contents(), before) << "a preview changes nothing";
}

TEST(Preview, RowsAndStatistics) {
    TempFolder dir;
    dir.file("a.jpg", "A");
    dir.file("b.jpg", "B");
    dir.file("c.txt", "C");
    const std::string same = "a.jpg -> * beze změny\nb.jpg -> * beze změny\nc.txt -> * beze změny\n";
    expectPreviews(
        dir, {
                 {{}, same},
                 {{"--stats"}, same + stats(3, 0, 3)},
                 {{"--name", "Foto_:::", "--stats"},
                  "a.jpg -> Foto_001.jpg\nb.jpg -> Foto_002.jpg\nc.txt -> Foto_003.txt\n" + stats(3, 3, 0)},
                 {{"--name", "x", "--stats"},
                  "a.jpg -> x.jpg\nb.jpg -> * viz >x.jpg< výše\nc.txt -> x.txt\n" + stats(3, 2, 1)},
                 {{"--name", "n:", "--start", "10", "--step", "5"},
                  "a.jpg -> n10.jpg\nb.jpg -> n15.jpg\nc.txt -> n20.txt\n"},
                 {{"--name", "n:", "--step", "0"}, "a.jpg -> n1.jpg\nb.jpg -> n2.jpg\nc.txt -> n3.txt\n"},
                 {{"--name", "n:", "--start", "3", "--radix="},
                  "a.jpg -> n11.jpg\nb.jpg -> n100.jpg\nc.txt -> n101.txt\n"},
                 {{"--name", "n:", "--descending"}, "c.txt -> n1.txt\nb.jpg -> n2.jpg\na.jpg -> n3.jpg\n"},
                 {{"--filter", "*.jpg", "--ext", "png"}, "a.jpg -> a.png\nb.jpg -> b.png\n"},
                 {{"--filter", "*.gif"}, ""},
                 {{"--name", "", "--stats"}, stats(0, 0, 0)},
             });
}

TEST(Preview, OrderKindsAndNumbering) {
    TempFolder dir;
    dir.file("b.aaa", "");
    dir.file("a.zzz", "");
    dir.folder("my.photos");
    dir.mtime("a.zzz", 2000000000);
    dir.mtime("b.aaa", 1000000000);
    expectPreviews(dir, {
                            {{}, "a.zzz -> * beze změny\nb.aaa -> * beze změny\n"},
                            {{"--sort", "ext"}, "b.aaa -> * beze změny\na.zzz -> * beze změny\n"},
                            {{"--sort", "date", "--name", "n:"}, "b.aaa -> n1.aaa\na.zzz -> n2.zzz\n"},
                            {{"--sort", "date", "--descending", "--name", "n:"}, "a.zzz -> n1.zzz\nb.aaa -> n2.aaa\n"},
                            {{"--kind", "folders", "--case", "upper"}, "my.photos -> MY.PHOTOS\n"},
                            {{"--kind", "both", "--name", "n:"},
                             "a.zzz -> n1.zzz\nb.aaa -> n2.aaa\nmy.photos -> n3.photos\n"},
                        });
}

TEST(Preview, NumberingModes) {
    TempFolder dir;
    for (const char* name : {"file10.txt", "file9.txt", "file1.txt"}) dir.file(name, "");
    expectPreviews(dir, {
                            {{"--name", "*"}, "file1.txt -> * beze změny\nfile10.txt -> * beze změny\n"
                                              "file9.txt -> * beze změny\n"},
                            {{"--numeric", "--name", "n:"},
                             "file1.txt -> n1.txt\nfile9.txt -> n2.txt\nfile10.txt -> n3.txt\n"},
                            {{"--numbering", "same", "--name", "x:"},
                             "file1.txt -> x.txt\nfile10.txt -> x1.txt\nfile9.txt -> x2.txt\n"},
                            {{"--numbering", "same", "--zero-first", "--name", "x:"},
                             "file1.txt -> x0.txt\nfile10.txt -> x1.txt\nfile9.txt -> x2.txt\n"},
                            {{"--numbering", "keep", "--name", "n*:::", "--stats"},
                             "file1.txt -> nfile001.txt\nfile10.txt -> nfile010.txt\n"
                             "file9.txt -> nfile009.txt\n" + stats(3, 3, 0)},
                        });
}

TEST(Preview, SameNumberForEqualNames) {
    TempFolder dir;
    for (const char* name : {"a.jpg", "a.raw", "b.jpg"}) dir.file(name, "");
    expectPreviews(dir, {
                            {{"--name", "n:", "--same-by-ext"}, "a.jpg -> n1.jpg\na.raw -> n1.raw\nb.jpg -> n2.jpg\n"},
                            {{"--name", "n:"}, "a.jpg -> n1.jpg\na.raw -> n2.raw\nb.jpg -> n3.jpg\n"},
                        });
}

TEST(Preview, NamesKeepTheirOwnBytes) {
    TempFolder dir;
    const std::string name = std::string("b\xFF\xFE.txt");
    dir.file(name, "");
    expectPreviews(dir, {{{"--case", "upper"}, name + " -> " + std::string("B\xFF\xFE.TXT\n")}});
}

TEST(Preview, UnlistableFolder) {
    TempFolder dir;
    dir.file("plain", "");
    for (const std::string& folder : {dir / "missing", dir / "plain"}) {
        const CliRun preview = run({"--stats", folder});
        EXPECT_EQ(preview.code, 0);
        EXPECT_EQ(preview.out, stats(0, 0, 0));
        EXPECT_EQ(preview.err.rfind("zelvar-cli: ", 0), 0u) << preview.err;
        EXPECT_EQ(preview.err.find('\n'), preview.err.size() - 1) << preview.err;

        const CliRun apply = run({"--apply", "--name", "x", folder});
        EXPECT_EQ(apply.code, 1);
        EXPECT_EQ(apply.out, "");
        EXPECT_EQ(apply.err.rfind("zelvar-cli: ", 0), 0u) << apply.err;
    }
    // An empty name pattern lists nothing, so there is nothing to complain about.
    const CliRun empty = run({"--name", "", dir / "missing"});
    EXPECT_EQ(empty.code, 0);
    EXPECT_EQ(empty.out + empty.err, "");
}

TEST(Preview, TruncatedListingSaysSo) {
    TempFolder dir;
    constexpr int kCount = 32768;
    for (int i = 0; i < kCount; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "f%05d", i);
        const int fd = open((dir / name).c_str(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(fd, 0);
        close(fd);
    }
    const CliRun r = run({"--stats", dir.path()});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.err.rfind("zelvar-cli: ", 0), 0u) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
    EXPECT_NE(r.out.find(stats(32767, 0, 32767)), std::string::npos);
}

// ---- manual names --------------------------------------------------------------------------------

TEST(Edit, NamesFromAFileOrStandardInput) {
    TempFolder dir;
    dir.file("a.txt", "A");
    dir.file("b.txt", "B");
    TempFolder names;
    struct Case {
        std::string lines;
        std::string expected;
    };
    const Case cases[] = {
        {"b.txt\nc.txt\n", "a.txt -> * viz >b.txt< níže\nb.txt -> c.txt\n" + stats(2, 1, 1)},
        {"c.txt\na.txt", "a.txt -> c.txt\nb.txt -> a.txt\n" + stats(2, 2, 0)},
        {"c.txt\r\na.txt\r\n", "a.txt -> c.txt\nb.txt -> a.txt\n" + stats(2, 2, 0)},
        {"c.txt\nC.TXT\n", "a.txt -> c.txt\nb.txt -> * viz >c.txt< výše\n" + stats(2, 1, 1)},
        {"  c?:.txt  \n", "a.txt -> c.txt\nb.txt -> * beze změny\n" + stats(2, 1, 1)},
        {"\nB.txt\nextra.txt\n", "a.txt -> * beze změny\nb.txt -> B.txt\n" + stats(2, 1, 1)},
        {"b.txt\nA.txt\n", "a.txt -> * viz >b.txt< níže\nb.txt -> * viz >a.txt< výše\n" + stats(2, 0, 2)},
        {"a.txt\nb.txt\n", "a.txt -> * beze změny\nb.txt -> * beze změny\n" + stats(2, 0, 2)},
        {"", "a.txt -> * beze změny\nb.txt -> * beze změny\n" + stats(2, 0, 2)},
    };
    for (const auto& c : cases) {
        names.file("names", c.lines);
        const CliRun fromFile = run({"--stats", "--edit", names / "names", dir.path()});
        EXPECT_EQ(fromFile.code, 0);
        EXPECT_EQ(fromFile.out, c.expected) << c.lines;
        EXPECT_EQ(fromFile.err, "");
        const CliRun fromStdin = run({"--stats", "--edit=-", dir.path()}, c.lines);
        EXPECT_EQ(fromStdin.out, c.expected) << c.lines;
    }
    // An empty name pattern lists nothing, whatever the names say.
    names.file("names", "c.txt\n");
    EXPECT_EQ(run({"--stats", "--name=", "--edit", names / "names", dir.path()}).out, stats(0, 0, 0));
}

// ---- renaming ------------------------------------------------------------------------------------

TEST(Apply, RenamesPrintsTheReportAndLosesNothing) {
    TempFolder dir;
    dir.file("a.jpg", "A");
    dir.file("b.jpg", "B");
    const auto inodes = dir.inodes();
    const CliRun r = run({"--apply", "--name", "Foto_:", dir.path()});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "a.jpg -> Foto_1.jpg\nb.jpg -> Foto_2.jpg\n"
                     "Přejmenování ukončeno\n\nPřejmenováno 2 souborů\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(dir.contents(), (std::map<std::string, std::string>{{"Foto_1.jpg", "A"}, {"Foto_2.jpg", "B"}}));
    EXPECT_EQ(dir.inodes().at("Foto_1.jpg"), inodes.at("a.jpg"));
    EXPECT_EQ(dir.inodes().at("Foto_2.jpg"), inodes.at("b.jpg"));
}

TEST(Apply, ChangedExtensionsNeedNoAnswer) {
    TempFolder dir;
    dir.file("a.jpg", "A");
    const CliRun r = run({"--apply", "--ext", "png", dir.path()});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "a.jpg -> a.png\nPřejmenování ukončeno\n\nPřejmenováno 1 souborů\n");
    EXPECT_EQ(dir.contents(), (std::map<std::string, std::string>{{"a.png", "A"}}));
}

TEST(Apply, NothingToRename) {
    TempFolder dir;
    dir.file("a.jpg", "A");
    dir.file("b.jpg", "B");
    dir.folder("x.jpg");  // not listed, but taken
    const auto before = dir.contents();
    const CliRun r = run({"--apply", "--stats", "--name", "x", dir.path()});
    EXPECT_EQ(r.code, 0);
    // Clashes inside the list are settled before the folder is asked: row 2 clashes with row 1.
    EXPECT_EQ(r.out, "a.jpg -> * existuje >x.jpg<\nb.jpg -> * viz >x.jpg< výše\n" + stats(2, 0, 2) +
                         "Přejmenování ukončeno\n\nPřejmenováno 0 souborů\n");
    EXPECT_EQ(dir.contents(), before);
}

TEST(Apply, ManualNamesSwapThroughAChain) {
    TempFolder dir;
    dir.file("a.txt", "A");
    dir.file("b.txt", "B");
    const CliRun r = run({"--apply", "--edit", "-", dir.path()}, "c.txt\na.txt\n");
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "a.txt -> c.txt\nb.txt -> a.txt\nPřejmenování ukončeno\n\nPřejmenováno 2 souborů\n");
    EXPECT_EQ(dir.contents(), (std::map<std::string, std::string>{{"c.txt", "A"}, {"a.txt", "B"}}));
}

TEST(Apply, AFailedRenameIsReportedAndExitsOne) {
    TempFolder dir;
    dir.file("a.txt", "A");
    dir.file("b.txt", "B");
    const std::string tooLong(300, 'n');
    const CliRun r = run({"--apply", "--edit", "-", dir.path()}, "x.txt\n" + tooLong + "\n");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "a.txt -> x.txt\nb.txt -> " + tooLong + "\n" +
                         "Přejmenování ukončeno\n\nPřejmenováno 1 souborů\nNepřejmenováno 1 souborů\n\n"
                         "b.txt nepřejmenován na " + tooLong + "\n");
    EXPECT_EQ(r.err, "Název >" + tooLong + "<\n     nebo >b.txt<\n           není povolen,\n"
                     ">b.txt< nebude přejmenován\n");
    EXPECT_EQ(dir.contents(), (std::map<std::string, std::string>{{"x.txt", "A"}, {"b.txt", "B"}}));
}

TEST(UnixLines, TurnsCrLfIntoLfAndEndsWithLf) {
    EXPECT_EQ(unixLines(""), "");
    EXPECT_EQ(unixLines("a\r\nb\r\n"), "a\nb\n");
    EXPECT_EQ(unixLines("a\r\n\r\nb"), "a\n\nb\n");
    EXPECT_EQ(unixLines("a\rb"), "a\rb\n");  // a lone CR is part of the text
}

}  // namespace
