#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "cli/run_cli.h"
#include "platform/temp_folder.h"
#include "version.h"

using namespace zelvar::cli;
using namespace zelvar::testing;

namespace {

using Args = std::vector<std::string>;

struct CliRun {
    int code = -1;
    std::string out, err;
};

// Runs the program in process with its output caught in memory.
CliRun run(const Args& args, const std::string& input = "") {
    char *out = nullptr, *err = nullptr;
    std::size_t outLength = 0, errLength = 0;
    std::FILE *outFile = open_memstream(&out, &outLength), *errFile = open_memstream(&err, &errLength);
    std::FILE* in = std::tmpfile();
    std::fwrite(input.data(), 1, input.size(), in);
    std::rewind(in);
    CliRun result{runCli(args, outFile, errFile, in), "", ""};
    std::fclose(outFile), std::fclose(errFile), std::fclose(in);
    result.out.assign(out, outLength), result.err.assign(err, errLength);
    std::free(out), std::free(err);
    return result;
}

std::string label(const Args& args) {
    std::string text;
    for (const auto& a : args) text += "[" + a + "] ";
    return text;
}

// One line on standard error, after the program's name.
void expectComplaint(const std::string& err) {
    EXPECT_EQ(err.rfind("zelvar-cli: ", 0), 0u) << err;
    EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
}

std::string stats(int n, int renamed, int unchanged) {
    return "Počet zpracovaných souborů: " + std::to_string(n) + "\nPočet přejmenování: " + std::to_string(renamed) +
           "\nPočet beze změny: " + std::to_string(unchanged) + "\n";
}

TEST(Samples, ComposeFromTheOptions) {
    const std::string vzor = "Abcd efGHij klm NOP.HAF";
    const std::pair<Args, std::string> cases[] = {
        {{"--sample", vzor}, vzor + "\n"},
        {{"--name", "Foto_:::", "--sample", "a.jpg"}, "Foto_001.jpg\n"},
        {{"--case", "upper", "--sample", vzor}, "ABCD EFGHIJ KLM NOP.HAF\n"},
        {{"--case", "title", "--sample", vzor}, "Abcd Efghij Klm Nop.Haf\n"},
        {{"--sample", "xY.Gh", "--sample", "abc.", "--sample", "b"}, "xY.Gh\nabc\nb\n"},
        {{"--name", "n::", "--counter=7", "--sample", "x.txt"}, "n07.txt\n"},
        {{"--name", ":", "--counter", "5", "--radix", "", "--sample", "x.txt"}, "101.txt\n"},
        {{"--name", ":::", "--counter", "27", "--digits", "a-z", "--radix", "40", "--sample", "x.txt"}, "abb.txt\n"},
        {{"--name", "::::", "--counter", "255", "--digits", "0-9a-z", "--radix", "16", "--sample", "x.txt"},
         "00ff.txt\n"},
        {{"--name", "\\y-\\m-\\d \\h\\n\\s", "--sample", "x.txt"}, "1899-12-30 000000.txt\n"},
        {{"--ext", "txt", "--sample", "README"}, "README.txt\n"},
        {{"--ext", " ", "--sample", "photo.jpg"}, "photo\n"},
        {{"--no-diacritics", "--sample", "Žluťoučký kůň.txt"}, "Zlutoucky kun.txt\n"},
        {{"--separators", "remove", "--sample", "a b-c_d.txt"}, "abcd.txt\n"},
        {{"--separators", "underscore", "--sample", "a b-c_d.txt"}, "a_b_c_d.txt\n"},
        {{"--separators", "hyphen", "--sample", "a b-c_d.txt"}, "a-b-c-d.txt\n"},
        {{"--separators", "space", "--sample", "a b-c_d.txt"}, "a b c d.txt\n"},
        {{"--separators", "keep-hyphen", "--sample", "a b-c_d.txt"}, "ab-cd.txt\n"},
        {{"--replace", "ab", "--with", "x", "--sample", "abc.tab"}, "xxc.txx\n"},
        {{"--replace", "a:b", "--with", "x", "--whole", "--sample", "abc.txt"}, "xc.txt\n"},
        {{"--replace", "a", "--sample", "abc.txt"}, "abc.txt\n"},
        {{"--remove", "bc", "--sample", "abcd.bcx"}, "ad.x\n"},
        {{"--reverse-name", "--sample", "abc.jpg"}, "cba.jpg\n"},
        {{"--reverse-ext", "--sample", "abc.jpg"}, "abc.gpj\n"},
        {{"--mirror-name", "--name", "??", "--sample", "abcdef.txt"}, "ef.txt\n"},
        {{"--mirror-ext", "--ext", "?", "--sample", "a.xyz"}, "a.z\n"},
        {{"--numbering", "keep", "--name", "*:::", "--sample", "img12x.jpg"}, "img012x.jpg\n"},
        {{"--numbering", "keep", "--keep-mode", "move", "--name", "*-::", "--sample", "img12x.jpg"}, "imgx-12.jpg\n"},
        {{"--numbering", "keep", "--old-radix", "2", "--name", "*:", "--sample", "a1101b.txt"}, "a13b.txt\n"},
        {{"--numbering", "keep", "--insert-zero", "--name", "*:::", "--sample", "abc.txt"}, "abc000.txt\n"},
        {{"--numbering", "same", "--name", "x:::", "--sample", "a.txt"}, "x.txt\n"},
        {{"--case", "upper", "--sample", std::string("b\xFF.txt")}, std::string("B\xFF.TXT\n")},
    };
    for (const auto& [args, expected] : cases) {
        const CliRun r = run(args);
        EXPECT_EQ(r.code, 0) << label(args);
        EXPECT_EQ(r.out, expected) << label(args);
        EXPECT_EQ(r.err, "") << label(args);
    }
}

TEST(Info, HelpAndVersion) {
    const CliRun version = run({"--version"}), help = run({"--help"});
    EXPECT_EQ(version.code + help.code, 0);
    EXPECT_EQ(version.out, std::string("zelvar-cli ") + zelvar::kVersion + "\n");
    EXPECT_EQ(help.out.rfind("Usage: zelvar-cli", 0), 0u);
    EXPECT_EQ(help.err, "");
}

TEST(UsageErrors, OneLineExitTwoAndNothingRenamed) {
    TempFolder dir;
    dir.fill({{"a.txt", "A"}, {"b.txt", "B"}});
    const auto before = snapshot(dir.path());
    const std::vector<Args> cases = {
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
    for (const Args& args : cases) {
        SCOPED_TRACE(label(args));
        const CliRun r = run(args);
        EXPECT_EQ(r.code, 2);
        EXPECT_EQ(r.out, "");
        expectComplaint(r.err);
    }
    EXPECT_EQ(snapshot(dir.path()), before);
}

// Previews of one folder, each exactly as printed; none of them changes the folder.
void expectPreviews(const TempFolder& dir, const std::vector<std::pair<Args, std::string>>& cases) {
    const auto before = snapshot(dir.path());
    for (auto [args, expected] : cases) {
        args.push_back(dir.path());
        const CliRun r = run(args);
        EXPECT_EQ(r.code, 0) << label(args);
        EXPECT_EQ(r.out, expected) << label(args);
        EXPECT_EQ(r.err, "") << label(args);
    }
    EXPECT_EQ(snapshot(dir.path()), before);
}

TEST(Preview, RowsAndStatistics) {
    TempFolder dir;
    dir.fill({{"a.jpg", "A"}, {"b.jpg", "B"}, {"c.txt", "C"}});
    const std::string same = "a.jpg -> * beze změny\nb.jpg -> * beze změny\nc.txt -> * beze změny\n";
    expectPreviews(dir, {
                            {{}, same},
                            {{"--stats"}, same + stats(3, 0, 3)},
                            {{"--name", "Foto_:::", "--stats"},
                             "a.jpg -> Foto_001.jpg\nb.jpg -> Foto_002.jpg\nc.txt -> Foto_003.txt\n" + stats(3, 3, 0)},
                            {{"--name", "x", "--stats"},
                             "a.jpg -> x.jpg\nb.jpg -> * viz >x.jpg< výše\nc.txt -> x.txt\n" + stats(3, 2, 1)},
                            {{"--name", "n:", "--start", "10", "--step", "5"},
                             "a.jpg -> n10.jpg\nb.jpg -> n15.jpg\nc.txt -> n20.txt\n"},
                            {{"--name", "n:", "--start", "3", "--radix="},
                             "a.jpg -> n11.jpg\nb.jpg -> n100.jpg\nc.txt -> n101.txt\n"},
                            {{"--name", "n:", "--descending"}, "c.txt -> n1.txt\nb.jpg -> n2.jpg\na.jpg -> n3.jpg\n"},
                            {{"--filter", "*.jpg", "--ext", "png"}, "a.jpg -> a.png\nb.jpg -> b.png\n"},
                            {{"--name", "", "--stats"}, stats(0, 0, 0)},
                        });
}

TEST(Preview, OrderKindsAndNumbering) {
    TempFolder dir;
    dir.fill({{"b.aaa", ""}, {"a.zzz", ""}, {"my.photos", "<folder>"}});
    dir.mtime("a.zzz", 2000000000);
    dir.mtime("b.aaa", 1000000000);
    expectPreviews(
        dir, {
                 {{}, "a.zzz -> * beze změny\nb.aaa -> * beze změny\n"},
                 {{"--sort", "ext"}, "b.aaa -> * beze změny\na.zzz -> * beze změny\n"},
                 {{"--sort", "date", "--name", "n:"}, "b.aaa -> n1.aaa\na.zzz -> n2.zzz\n"},
                 {{"--sort", "date", "--descending", "--name", "n:"}, "a.zzz -> n1.zzz\nb.aaa -> n2.aaa\n"},
                 {{"--kind", "folders", "--case", "upper"}, "my.photos -> MY.PHOTOS\n"},
                 {{"--kind", "both", "--name", "n:"}, "a.zzz -> n1.zzz\nb.aaa -> n2.aaa\nmy.photos -> n3.photos\n"},
             });
}

TEST(Preview, NumberingModes) {
    TempFolder dir;
    dir.fill({{"file10.txt", ""}, {"file9.txt", ""}, {"file1.txt", ""}});
    expectPreviews(
        dir,
        {
            {{"--name", "*"}, "file1.txt -> * beze změny\nfile10.txt -> * beze změny\nfile9.txt -> * beze změny\n"},
            {{"--numeric", "--name", "n:"}, "file1.txt -> n1.txt\nfile9.txt -> n2.txt\nfile10.txt -> n3.txt\n"},
            {{"--numbering", "same", "--name", "x:"},
             "file1.txt -> x.txt\nfile10.txt -> x1.txt\nfile9.txt -> x2.txt\n"},
            {{"--numbering", "same", "--zero-first", "--name", "x:"},
             "file1.txt -> x0.txt\nfile10.txt -> x1.txt\nfile9.txt -> x2.txt\n"},
            {{"--numbering", "keep", "--name", "n*:::", "--stats"},
             "file1.txt -> nfile001.txt\nfile10.txt -> nfile010.txt\nfile9.txt -> nfile009.txt\n" + stats(3, 3, 0)},
        });
}

TEST(Preview, SameNumberForEqualNamesAndNamesKeepTheirBytes) {
    TempFolder dir;
    dir.fill({{"a.jpg", ""}, {"a.raw", ""}, {"b.jpg", ""}});
    expectPreviews(dir, {
                            {{"--name", "n:", "--same-by-ext"}, "a.jpg -> n1.jpg\na.raw -> n1.raw\nb.jpg -> n2.jpg\n"},
                            {{"--name", "n:"}, "a.jpg -> n1.jpg\na.raw -> n2.raw\nb.jpg -> n3.jpg\n"},
                        });
    TempFolder odd;
    odd.file("b\xFF\xFE.txt");
    expectPreviews(odd, {{{"--case", "upper"}, "b\xFF\xFE.txt -> B\xFF\xFE.TXT\n"}});
}

TEST(Preview, RowsTheRenameWouldRefuseAreMarked) {
    TempFolder dir;
    dir.fill({{"\xC3x\xA9.txt", ""}, {"éx.txt", ""}, {"ba.txt", ""}, {"a.txt", ""}});
    const std::string longName(300, 'x');
    expectPreviews(
        dir,
        {
            // Bytes that meet as valid UTF-8 clash with the character they encode.
            {{"--remove", "x"}, "a.txt -> a.tt\nba.txt -> ba.tt\néx.txt -> é.tt\n\xC3x\xA9.txt -> * viz >é.tt< výše\n"},
            {{"--name", longName},
             "a.txt -> * příliš dlouhé jméno\nba.txt -> * příliš dlouhé jméno\n"
             "éx.txt -> * příliš dlouhé jméno\n\xC3x\xA9.txt -> * příliš dlouhé jméno\n"},
            {{"--name",
              "a\x1f"
              "b?",
              "--filter", "*a.txt"},
             "a.txt -> a\x1f"
             "ba.txt\nba.txt -> a\x1f"
             "bb.txt\n"},
            {{"--name", "/*", "--ext", "*:", "--numbering", "same", "--zero-first", "--filter", "*a.txt"},
             "a.txt -> * prázdné jméno\nba.txt -> a.txt1\n"},
        });
}

TEST(Preview, AFolderThatCannotBeListed) {
    TempFolder dir;
    dir.file("plain");
    for (const std::string& folder : {dir / "missing", dir / "plain"}) {
        const CliRun preview = run({"--stats", folder});
        EXPECT_EQ(preview.code, 1);
        EXPECT_EQ(preview.out, stats(0, 0, 0));
        expectComplaint(preview.err);
        const CliRun apply = run({"--apply", "--name", "x", folder});
        EXPECT_EQ(apply.code, 1);
        EXPECT_EQ(apply.out, "");
        expectComplaint(apply.err);
    }
    // An empty name pattern lists nothing, so there is nothing to complain about.
    const CliRun empty = run({"--name", "", dir / "missing"});
    EXPECT_EQ(empty.code, 0);
    EXPECT_EQ(empty.out + empty.err, "");
}

TEST(Preview, TruncatedListingSaysSo) {
    TempFolder dir;
    for (int i = 0; i < 32768; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "f%05d", i);
        std::fclose(std::fopen((dir / name).c_str(), "w"));
    }
    const CliRun r = run({"--stats", dir.path()});
    EXPECT_EQ(r.code, 0);
    expectComplaint(r.err);
    EXPECT_NE(r.out.find(stats(32767, 0, 32767)), std::string::npos);
}

TEST(Edit, NamesFromAFileOrStandardInput) {
    TempFolder dir, names;
    dir.fill({{"a.txt", "A"}, {"b.txt", "B"}});
    const std::pair<std::string, std::string> cases[] = {
        {"b.txt\nc.txt\n", "a.txt -> * viz >b.txt< níže\nb.txt -> c.txt\n" + stats(2, 1, 1)},
        {"c.txt\na.txt", "a.txt -> c.txt\nb.txt -> a.txt\n" + stats(2, 2, 0)},
        {"c.txt\nC.TXT\n", "a.txt -> c.txt\nb.txt -> * viz >c.txt< výše\n" + stats(2, 1, 1)},
        {"b.txt\nA.txt\n", "a.txt -> * viz >b.txt< níže\nb.txt -> * viz >a.txt< výše\n" + stats(2, 0, 2)},
        // Any line end ends a line; a byte-order mark is no part of the first name.
        {"c.txt\rB.txt\r", "a.txt -> c.txt\nb.txt -> B.txt\n" + stats(2, 2, 0)},
        {"\r\r\nB.txt", "a.txt -> * beze změny\nb.txt -> * beze změny\n" + stats(2, 0, 2)},
        {"\xEF\xBB\xBF"
         "c.txt\n",
         "a.txt -> c.txt\nb.txt -> * beze změny\n" + stats(2, 1, 1)},
    };
    for (const auto& [lines, expected] : cases) {
        names.file("names", lines);
        const CliRun fromFile = run({"--stats", "--edit", names / "names", dir.path()});
        EXPECT_EQ(fromFile.code, 0);
        EXPECT_EQ(fromFile.out, expected) << lines;
        EXPECT_EQ(fromFile.err, "");
        EXPECT_EQ(run({"--stats", "--edit=-", dir.path()}, lines).out, expected) << lines;
    }
    // A file longer than any listing is refused before anything is listed.
    names.file("names", std::string(32767, '\n'));
    EXPECT_EQ(run({"--edit", names / "names", dir.path()}).code, 0);
    names.file("names", std::string(32768, '\r'));
    const CliRun tooMany = run({"--apply", "--edit", names / "names", dir.path()});
    EXPECT_EQ(tooMany.code, 2);
    EXPECT_EQ(tooMany.out, "");
    expectComplaint(tooMany.err);
    // An empty name pattern lists nothing, whatever the names say.
    names.file("names", "c.txt\n");
    EXPECT_EQ(run({"--stats", "--name=", "--edit", names / "names", dir.path()}).out, stats(0, 0, 0));
}

TEST(Apply, RenamesPrintsTheReportAndLosesNothing) {
    const std::string done = "Přejmenování ukončeno\n\nPřejmenováno ", tooLong(300, 'n');
    struct Case {
        Args args;  // the folder is appended
        std::string input, out, err;
        int code;
        std::vector<std::pair<std::string, std::string>> renames;  // in order
    };
    const Case cases[] = {
        {{"--name", "Foto_:"},
         "",
         "a.jpg -> Foto_1.jpg\nb.jpg -> Foto_2.jpg\n" + done + "2 souborů\n",
         "",
         0,
         {{"a.jpg", "Foto_1.jpg"}, {"b.jpg", "Foto_2.jpg"}}},
        // Changed extensions need no answer.
        {{"--ext", "png"},
         "",
         "a.jpg -> a.png\nb.jpg -> b.png\n" + done + "2 souborů\n",
         "",
         0,
         {{"a.jpg", "a.png"}, {"b.jpg", "b.png"}}},
        // Clashes inside the list are settled before the folder is asked: row 2 clashes with row 1.
        {{"--stats", "--name", "x"},
         "",
         "a.jpg -> * existuje >x.jpg<\nb.jpg -> * viz >x.jpg< výše\n" + stats(2, 0, 2) + done + "0 souborů\n",
         "",
         0,
         {}},
        {{"--edit", "-"},
         "c.jpg\na.jpg\n",
         "a.jpg -> c.jpg\nb.jpg -> a.jpg\n" + done + "2 souborů\n",
         "",
         0,
         {{"a.jpg", "c.jpg"}, {"b.jpg", "a.jpg"}}},
        {{"--edit", "-"},
         "y.jpg\n" + tooLong + "\n",
         "a.jpg -> y.jpg\nb.jpg -> " + tooLong + "\n" + done + "1 souborů\nNepřejmenováno 1 souborů\n\n" +
             "b.jpg nepřejmenován na " + tooLong + "\n",
         "Název >" + tooLong + "<\n     nebo >b.jpg<\n           není povolen,\n>b.jpg< nebude přejmenován\n",
         1,
         {{"a.jpg", "y.jpg"}}},
    };
    for (Case c : cases) {
        SCOPED_TRACE(label(c.args));
        TempFolder dir;
        dir.fill({{"a.jpg", "A"}, {"b.jpg", "B"}, {"x.jpg", "<folder>"}});  // x.jpg is not listed, but taken
        const auto before = snapshot(dir.path());
        c.args.insert(c.args.begin(), "--apply");
        c.args.push_back(dir.path());
        const CliRun r = run(c.args, c.input);
        EXPECT_EQ(r.code, c.code);
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(snapshot(dir.path()), renamed(before, c.renames));
    }
}

TEST(Json, OneObjectPerRowThenTheCountsAndTheReport) {
    TempFolder dir;
    dir.fill({{"* x", ""}, {"a.txt", ""}, {"b\"\\\x1f\xFF.txt", ""}, {"n1.txt", ""}});
    const auto row = [](const std::string& old, const std::string& now, const std::string& verdict) {
        return "{\"old\": \"" + old + "\", \"new\": " + now + ", \"verdict\": \"" + verdict + "\"}\n";
    };
    expectPreviews(
        dir, {
                 {{"--json", "--name", "??beze změny", "--filter", "*x"}, row("* x", "\"* beze změny\"", "rename")},
                 {{"--json", "--stats", "--name", "n1", "--filter", "*"},
                  row("* x", "\"n1\"", "rename") + row("a.txt", "\"n1.txt\"", "below") +
                      row("b\\\"\\\\\\u001f\\udcff.txt", "\"n1.txt\"", "below") + row("n1.txt", "null", "unchanged") +
                      "{\"processed\": 4, \"renamed\": 1, \"unchanged\": 3}\n"},
                 {{"--json", "--name", "n1", "--filter", "a*"}, row("a.txt", "\"n1.txt\"", "exists")},
                 {{"--json", "--name", "/*", "--filter", "a*"}, row("a.txt", "null", "empty")},
             });
    const CliRun applied = run({"--json", "--apply", "--name", "new", "--ext", "", "--filter", "a*", dir.path()});
    EXPECT_EQ(applied.out, row("a.txt", "\"new\"", "rename") + "{\"renamed\": 1, \"failures\": []}\n");
    EXPECT_EQ(applied.code, 0);
}

// Every run leaves a journal in this test program's own state folder; --undo takes the newest back.
TEST(Undo, TakesBackTheNewestRunAndListsTheHistory) {
    TempFolder dir;
    dir.fill({{"a.jpg", "A"}, {"b.jpg", "B"}, {"x", "<folder>"}});
    const auto before = snapshot(dir.path());
    const std::string nothing = "V této složce není žádné přejmenování, které by šlo vrátit.\n";
    EXPECT_EQ(run({"--undo", dir.path()}).err, nothing);
    ASSERT_EQ(run({"--apply", "--name", "Foto_:", dir.path()}).code, 0);
    const auto after = snapshot(dir.path());
    struct Step {
        Args args;
        int code;
        std::string out, err;
        const decltype(before)* folder;
    };
    const Step steps[] = {
        {{"--undo"}, 0, "Vrácení ukončeno\n\nVráceno 2 souborů\n", "", &before},
        {{"--undo"}, 0, "Vrácení ukončeno\n\nVráceno 2 souborů\n", "", &after},  // a redo
        // The redo took the undo back, so the first run is in force again.
        {{"--history"},
         0,
         "2/2\tvrácení\tdokončeno\n2/2\tvrácení\tvráceno\n2/2\tpřejmenování\tdokončeno\n",
         "",
         &after},
    };
    for (Step s : steps) {
        SCOPED_TRACE(label(s.args));
        s.args.push_back(dir.path());
        CliRun r = run(s.args);
        // The time and the folder of each history line are not the test's to know.
        if (s.args[0] == "--history") {
            std::string lines;
            for (std::size_t at = 0; at < r.out.size();) {
                const std::size_t end = r.out.find('\n', at), from = r.out.find('\t', at) + 1;
                lines += r.out.substr(from, r.out.rfind('\t', end) - from) + "\n";
                at = end + 1;
            }
            r.out = lines;
        }
        EXPECT_EQ(r.code, s.code);
        EXPECT_EQ(r.out, s.out);
        EXPECT_EQ(r.err, s.err);
        EXPECT_EQ(snapshot(dir.path()), *s.folder);
    }
    // An old name taken meanwhile stays as it is, is named on standard error and exits 1.
    dir.file("a.jpg", "new");
    const CliRun taken = run({"--undo", dir.path()});
    EXPECT_EQ(taken.code, 1);
    EXPECT_NE(taken.out.find("Nevráceno 1 souborů\n\nFoto_1.jpg nevrácen na a.jpg: "), std::string::npos) << taken.out;
    EXPECT_NE(taken.err.find(">Foto_1.jpg<"), std::string::npos) << taken.err;
    EXPECT_EQ(snapshot(dir / "a.jpg").size() + snapshot(dir.path()).count("Foto_1.jpg"), 1u);
}

// The folder renamed is the folder listed: its path is swapped for a link to another folder right
// when the preview has been printed, before the first rename.
TEST(Apply, RenamesInTheFolderListedWhateverItsPathLeadsToMeanwhile) {
    TempFolder dir;
    dir.fill({{"photos", "<folder>"},
              {"photos/a.jpg", "A"},
              {"photos/b.jpg", "B"},
              {"other", "<folder>"},
              {"other/a.jpg", "other"}});
    const auto listedBefore = snapshot(dir / "photos"), otherBefore = snapshot(dir / "other");
    struct Swap {
        const TempFolder& dir;
        std::string printed;
        bool swapped = false;
    } swap{dir, "", false};
    cookie_io_functions_t io{};
    io.write = [](void* cookie, const char* data, std::size_t size) -> ssize_t {
        auto& s = *static_cast<Swap*>(cookie);
        s.printed.append(data, size);
        if (!s.swapped) {
            s.swapped = std::rename((s.dir / "photos").c_str(), (s.dir / "listed").c_str()) == 0 &&
                        symlink("other", (s.dir / "photos").c_str()) == 0;
        }
        return static_cast<ssize_t>(size);
    };
    std::FILE* out = fopencookie(&swap, "w", io);
    std::FILE* err = std::tmpfile();
    const int code = runCli({"--apply", "--name", "x:", dir / "photos"}, out, err, nullptr);
    std::fclose(out), std::fclose(err);
    ASSERT_TRUE(swap.swapped);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(swap.printed.substr(0, 37), "a.jpg -> x1.jpg\nb.jpg -> x2.jpg\nPřej");
    EXPECT_EQ(snapshot(dir / "listed"), renamed(listedBefore, {{"a.jpg", "x1.jpg"}, {"b.jpg", "x2.jpg"}}));
    EXPECT_EQ(snapshot(dir / "other"), otherBefore);
}

}  // namespace
