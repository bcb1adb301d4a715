// GCC 12 with the sanitizers reports std::function members inside <regex> as maybe uninitialised,
// a known false alarm; it must not fail the warning-free build.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <regex>
#include <tuple>

#include "cli/args.h"
#include "cli/run_cli.h"
#include "platform/photos.h"
#include "platform/temp_folder.h"
#include "version.h"

using namespace zelvar::cli;
using namespace zelvar::testing;

namespace {

using Args = std::vector<std::string>;

struct CliRun {
    int code = -1;
    std::string out, err;
    bool operator==(const CliRun&) const = default;
};
void PrintTo(const CliRun& r, std::ostream* os) {
    *os << "exit " << r.code << "\n" << r.out << "--- stderr:\n" << r.err;
}

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

// The exit code, and one line on standard error after the program's name.
void expectComplaint(const CliRun& r, int code) {
    EXPECT_EQ(r.code, code) << r.err;
    EXPECT_EQ(r.err.rfind("zelvar-cli: ", 0), 0u) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
}

std::string stats(int n, int renamed, int unchanged) {
    return "Počet zpracovaných souborů: " + std::to_string(n) + "\nPočet přejmenování: " + std::to_string(renamed) +
           "\nPočet beze změny: " + std::to_string(unchanged) + "\n";
}

TEST(Samples, ComposeFromTheOptions) {
    const std::pair<Args, std::string> cases[] = {
        {{"--version"}, std::string("zelvar-cli ") + zelvar::kVersion + "\n"},
        {{"--sample", "xY.Gh", "--sample", "abc.", "--sample", "b"}, "xY.Gh\nabc\nb\n"},
        {{"--name", "::::", "--counter", "255", "--digits", "0-9a-z", "--radix", "16", "--sample", "x.txt"},
         "00ff.txt\n"},
        {{"--no-diacritics", "--sample", "Žluťoučký kůň.txt"}, "Zlutoucky kun.txt\n"},
        {{"--separators", "remove", "--sample", "a b-c_d.txt"}, "abcd.txt\n"},
        {{"--replace", "a:b", "--with", "x", "--whole", "--sample", "abc.txt"}, "xc.txt\n"},
        {{"--remove", "bc", "--sample", "abcd.bcx"}, "ad.x\n"},
        {{"--reverse-name", "--sample", "abc.jpg"}, "cba.jpg\n"},
        {{"--mirror-name", "--name", "??", "--sample", "abcdef.txt"}, "ef.txt\n"},
        {{"--numbering", "keep", "--keep-mode", "move", "--name", "*-::", "--sample", "img12x.jpg"}, "imgx-12.jpg\n"},
        {{"--numbering", "keep", "--old-radix", "2", "--name", "*:", "--sample", "a1101b.txt"}, "a13b.txt\n"},
        {{"--numbering", "keep", "--insert-zero", "--name", "*:::", "--sample", "abc.txt"}, "abc000.txt\n"},
        {{"--case", "upper", "--sample", "b\xFF.txt"}, "B\xFF.TXT\n"},
    };
    for (const auto& [args, expected] : cases) EXPECT_EQ(run(args), (CliRun{0, expected, ""}));
    EXPECT_EQ(run({"--help"}).out.rfind("Usage: zelvar-cli", 0), 0u);
}

TEST(UsageErrors, OneLineExitTwoAndNothingRenamed) {
    TempFolder dir({{"a.txt", "A"}, {"b.txt", "B"}, {"many", std::string(32768, '\r')}});
    const auto before = snapshot(dir.path());
    const std::vector<Args> cases = {
        {"--apply", "--name", "x:", "--case", "bogus", dir.path()},
        {"--apply", "--name=x:", "--start", "1x", dir.path()},
        {"--apply", "--edit", dir / "many", dir.path()},  // more names than a listing can hold
        {"--apply", "--edit", dir / "no-such-file", dir.path()},
        {"--apply", "--edit", dir.path(), dir.path()},  // a folder is no file of names
        {"--apply", "--name"},
    };
    for (const Args& args : cases) {
        SCOPED_TRACE(::testing::PrintToString(args));
        const CliRun r = run(args);
        expectComplaint(r, 2);
        EXPECT_EQ(r.out, "");
    }
    EXPECT_EQ(snapshot(dir.path()), before);
}

// Previews of one folder, each exactly as printed; none of them changes the folder.
void expectPreviews(const TempFolder& dir, const std::vector<std::pair<Args, std::string>>& cases) {
    const auto before = snapshot(dir.path());
    for (auto [args, expected] : cases) {
        args.push_back(dir.path());
        EXPECT_EQ(run(args), (CliRun{0, expected, ""})) << ::testing::PrintToString(args);
    }
    EXPECT_EQ(snapshot(dir.path()), before);
}

TEST(Preview, RowsStatisticsAndOrder) {
    TempFolder dir({{"a.jpg", "A"}, {"b.jpg", "B"}, {"c.txt", "C"}, {"my.photos", "<folder>"}});
    for (auto [name, time] : {std::pair{"a.jpg", 2000000000}, {"b.jpg", 1000000000}, {"c.txt", 1500000000}})
        dir.mtime(name, time);
    const std::string same = "a.jpg -> * beze změny\nb.jpg -> * beze změny\nc.txt -> * beze změny\n";
    expectPreviews(dir, {{{"--stats"}, same + stats(3, 0, 3)},
                         {{"--name", "x", "--stats"},
                          "a.jpg -> x.jpg\nb.jpg -> * viz >x.jpg< výše\nc.txt -> x.txt\n" + stats(3, 2, 1)},
                         {{"--name", "n:", "--start", "10", "--step", "5", "--descending"},
                          "c.txt -> n10.txt\nb.jpg -> n15.jpg\na.jpg -> n20.jpg\n"},
                         {{"--filter", "*.jpg", "--ext", "png"}, "a.jpg -> a.png\nb.jpg -> b.png\n"},
                         {{"--name", "", "--stats"}, stats(0, 0, 0)},
                         {{"--sort", "date", "--name", "n:"}, "b.jpg -> n1.jpg\nc.txt -> n2.txt\na.jpg -> n3.jpg\n"},
                         {{"--kind", "folders", "--case", "upper"}, "my.photos -> MY.PHOTOS\n"}});
}

// --date taken names and orders by the date taken; the entries without one are counted on
// standard error and keep their last change.
TEST(Preview, DateTakenFromThePhotosAndVideosThemselves) {
    setenv("TZ", "UTC", 1), tzset();
    TempFolder dir({{"clip.mov", readFile(kSamples + "/video.mov")}, {"notes.txt", ""}, {"plain.jpg", ""}});
    writeJpeg(dir / "shot.jpg", takenAt("2024:07:14 09:30:12"));
    for (auto [name, time] :
         {std::pair{"clip.mov", 1000}, {"notes.txt", 1000000000}, {"plain.jpg", 3000}, {"shot.jpg", 2000}})
        dir.mtime(name, time);
    const Args dated = {"--sort", "date", "--name", "\\y\\m\\d_\\h\\n\\s", dir.path()};
    Args taken = {"--date", "taken"};
    taken.insert(taken.end(), dated.begin(), dated.end());
    EXPECT_EQ(run(taken), (CliRun{0,
                                  "plain.jpg -> 19700101_005000.jpg\n"
                                  "notes.txt -> 20010909_014640.txt\n"
                                  "clip.mov -> 20231224_184507.mov\n"
                                  "shot.jpg -> 20240714_093012.jpg\n",
                                  "zelvar-cli: Datum pořízení chybí u 2 položek, použito datum změny.\n"}));
    Args modified = {"--date", "modified"};
    modified.insert(modified.end(), dated.begin(), dated.end());
    EXPECT_EQ(run(modified), (CliRun{0,
                                     "clip.mov -> 19700101_001640.mov\n"
                                     "shot.jpg -> 19700101_003320.jpg\n"
                                     "plain.jpg -> 19700101_005000.jpg\n"
                                     "notes.txt -> 20010909_014640.txt\n",
                                     ""}));
    EXPECT_EQ(run(modified), run(dated));
    // Without a date in use nothing is noted.
    EXPECT_EQ(run({"--date", "taken", "--name", "x", dir.path()}).err, "");
    expectComplaint(run({"--date", "shot", dir.path()}), 2);
}

TEST(Preview, AFolderThatCannotBeListed) {
    TempFolder dir(Entries{{"plain", ""}});
    for (const std::string& folder : {dir / "missing", dir / "plain"}) {
        const CliRun preview = run({"--stats", folder}), apply = run({"--apply", "--name", "x", folder});
        expectComplaint(preview, 1);
        EXPECT_EQ(preview.out, stats(0, 0, 0));
        expectComplaint(apply, 1);
        EXPECT_EQ(apply.out, "");
    }
    // An empty name pattern lists nothing, so there is nothing to complain about.
    EXPECT_EQ(run({"--name", "", dir / "missing"}), (CliRun{0, "", ""}));
}

TEST(Preview, TruncatedListingSaysSo) {
    TempFolder dir;
    for (int i = 0; i < 32768; ++i) dir.file("f" + std::to_string(i));
    const CliRun r = run({"--stats", dir.path()});
    expectComplaint(r, 0);
    EXPECT_NE(r.out.find(stats(32767, 0, 32767)), std::string::npos);
}

TEST(Edit, NamesFromAFileOrStandardInput) {
    TempFolder dir({{"a.txt", "A"}, {"b.txt", "B"}}), names;
    const std::pair<std::string, std::string> cases[] = {
        {"b.txt\nc.txt\n", "a.txt -> * viz >b.txt< níže\nb.txt -> c.txt\n" + stats(2, 1, 1)},
        // Any line end ends a line; a byte-order mark is no part of the first name.
        {"c.txt\rB.txt\r", "a.txt -> c.txt\nb.txt -> B.txt\n" + stats(2, 2, 0)},
        {"\r\r\nB.txt", "a.txt -> * beze změny\nb.txt -> * beze změny\n" + stats(2, 0, 2)},
        {"\uFEFFc.txt\n", "a.txt -> c.txt\nb.txt -> * beze změny\n" + stats(2, 1, 1)},
    };
    for (const auto& [lines, expected] : cases) {
        names.file("names", lines);
        EXPECT_EQ(run({"--stats", "--edit", names / "names", dir.path()}), (CliRun{0, expected, ""}));
        EXPECT_EQ(run({"--stats", "--edit=-", dir.path()}, lines).out, expected) << lines;
    }
    // As many lines as a listing can hold are taken; one more is a usage error.
    names.file("names", std::string(32767, '\n'));
    EXPECT_EQ(run({"--edit", names / "names", dir.path()}).code, 0);
}

TEST(Apply, RenamesPrintsTheReportAndLosesNothing) {
    const std::string done = "Přejmenování ukončeno\n\nPřejmenováno ", tooLong(300, 'n');
    // The arguments (the folder appended), standard input, what the run prints and what it renames, in order.
    const std::tuple<Args, std::string, CliRun, Entries> cases[] = {
        // Changed extensions need no answer.
        {{"--name", "Foto_:", "--ext", "png"},
         "",
         {0, "a.jpg -> Foto_1.png\nb.jpg -> Foto_2.png\n" + done + "2 souborů\n", ""},
         {{"a.jpg", "Foto_1.png"}, {"b.jpg", "Foto_2.png"}}},
        // Clashes inside the list are settled before the folder is asked: row 2 clashes with row 1.
        {{"--stats", "--name", "x"},
         "",
         {0, "a.jpg -> * existuje >x.jpg<\nb.jpg -> * viz >x.jpg< výše\n" + stats(2, 0, 2) + done + "0 souborů\n", ""},
         {}},
        // The entries the listing leaves out are in the way in any letter case.
        {{"--name", "X", "--ext", "JPG"},
         "",
         {0, "a.jpg -> * existuje >X.JPG<\nb.jpg -> * viz >X.JPG< výše\n" + done + "0 souborů\n", ""},
         {}},
        // Typed names the folder cannot take are marked as pattern names are, and left alone.
        {{"--edit", "-"},
         "..\n" + tooLong + "\n",
         {0, "a.jpg -> * prázdné jméno\nb.jpg -> * příliš dlouhé jméno\n" + done + "0 souborů\n", ""},
         {}},
        // A typed name stays unmarked when only an entry the listing leaves out has it, here in other
        // letter case; the run refuses it all the same.
        {{"--edit", "-"},
         "y.jpg\nX.JPG\n",
         {1,
          "a.jpg -> y.jpg\nb.jpg -> X.JPG\n" + done + "1 souborů\nNepřejmenováno 1 souborů\n\n" +
              "b.jpg nepřejmenován na X.JPG\n",
          "Soubor či složka >X.JPG< již existuje\n"},
         {{"a.jpg", "y.jpg"}}},
    };
    for (auto [args, input, expected, renames] : cases) {
        TempFolder dir({{"a.jpg", "A"}, {"b.jpg", "B"}, {"x.jpg", "<folder>"}});  // x.jpg is not listed, but taken
        const auto before = snapshot(dir.path());
        args.insert(args.begin(), "--apply");
        args.push_back(dir.path());
        EXPECT_EQ(run(args, input), expected);
        EXPECT_EQ(snapshot(dir.path()), renamed(before, renames));
    }
}

TEST(Json, OneObjectPerRowThenTheCountsAndTheReport) {
    TempFolder dir({{"* x", ""}, {"a.txt", ""}, {"b\"\\\x1f\xFF.txt", ""}, {"n1.txt", ""}});
    const auto row = [](const std::string& old, const std::string& now, const std::string& verdict) {
        return "{\"old\": \"" + old + "\", \"new\": " + now + ", \"verdict\": \"" + verdict + "\"}\n";
    };
    expectPreviews(
        dir, {{{"--json", "--name", "??beze změny", "--filter", "*x"}, row("* x", "\"* beze změny\"", "rename")},
              {{"--json", "--stats", "--name", "n1", "--filter", "*"},
               row("* x", "\"n1\"", "rename") + row("a.txt", "\"n1.txt\"", "below") +
                   row("b\\\"\\\\\\u001f\\udcff.txt", "\"n1.txt\"", "below") + row("n1.txt", "null", "unchanged") +
                   "{\"processed\": 4, \"renamed\": 1, \"unchanged\": 3}\n"},
              {{"--json", "--name", "n1", "--filter", "a*"}, row("a.txt", "\"n1.txt\"", "exists")},
              {{"--json", "--name", "/*", "--filter", "a*"}, row("a.txt", "null", "empty")}});
    EXPECT_EQ(run({"--json", "--apply", "--name", "new", "--ext", "", "--filter", "a*", dir.path()}),
              (CliRun{0, row("a.txt", "\"new\"", "rename") + "{\"renamed\": 1, \"failures\": []}\n", ""}));
}

// Every run leaves a journal in this test program's own state folder; --undo takes the newest back,
// --redo carries it out again, and --undo ID takes back the run --history names.
TEST(Undo, TakesBackTheNewestRunRedoesItAndListsTheHistory) {
    TempFolder dir({{"a.jpg", "A"}, {"b.jpg", "B"}, {"x", "<folder>"}});
    const auto before = snapshot(dir.path());
    EXPECT_EQ(run({"--undo", dir.path()}).err, "V této složce není žádné přejmenování, které by šlo vrátit.\n");
    ASSERT_EQ(run({"--apply", "--name", "Foto_:", dir.path()}).code, 0);
    const auto after = snapshot(dir.path());
    EXPECT_EQ(run({"--undo", dir.path()}), (CliRun{0, "Vrácení ukončeno\n\nVráceno 2 souborů\n", ""}));
    EXPECT_EQ(snapshot(dir.path()), before);
    EXPECT_EQ(run({"--undo", dir.path()}),
              (CliRun{1, "", "V této složce není žádné přejmenování, které by šlo vrátit.\n"}));
    EXPECT_EQ(run({"--redo", dir.path()}), (CliRun{0, "Přejmenování ukončeno\n\nPřejmenováno 2 souborů\n", ""}));
    EXPECT_EQ(snapshot(dir.path()), after);
    EXPECT_EQ(run({"--redo", dir.path()}).code, 1);
    // The redo took the undo back, so the first run is in force again. The time and the folder of
    // each line are not the test's to know; the id is the last field.
    const std::string history = run({"--history", dir.path()}).out;
    const std::regex line("[^\t\n]*\t([^\t\n]*\t[^\t\n]*\t[^\t\n]*)\t[^\t\n]*\t([^\t\n]*)\n");
    EXPECT_EQ(std::regex_replace(history, line, "$1\n"),
              "2/2\topakování\tdokončeno\n2/2\tvrácení\tvráceno\n2/2\tpřejmenování\tdokončeno\n");
    std::vector<std::string> ids;
    for (std::sregex_iterator it(history.begin(), history.end(), line), end; it != end; ++it) ids.push_back((*it)[2]);
    ASSERT_EQ(ids.size(), 3u) << history;
    for (const std::string& id : ids) EXPECT_TRUE(isRunId(id)) << id;
    // Any journal of a rename names it: the first run's id takes back what the redo put in force.
    EXPECT_EQ(run({"--undo", ids[2], dir.path()}).code, 0);
    EXPECT_EQ(snapshot(dir.path()), before);
    EXPECT_EQ(run({"--undo=" + ids[2], dir.path()}),
              (CliRun{1, "", "Přejmenování >" + ids[2] + "< je již vráceno.\n"}));
    ASSERT_EQ(run({"--redo", dir.path()}).code, 0);
    // An old name taken meanwhile stays as it is, is named on standard error and exits 1.
    dir.file("a.jpg", "new");
    const CliRun taken = run({"--undo", dir.path()});
    EXPECT_EQ(taken.code, 1);
    EXPECT_NE(taken.out.find("Nevráceno 1 souborů\n\nFoto_1.jpg nevrácen na a.jpg: "), std::string::npos) << taken.out;
    EXPECT_NE(taken.err.find(">Foto_1.jpg<"), std::string::npos) << taken.err;
    EXPECT_EQ(snapshot(dir / "a.jpg").size() + snapshot(dir.path()).count("Foto_1.jpg"), 1u);
}

// A folder whose name holds a TAB or a line break still gives one history line per run, the name
// written as the journal writes it.
TEST(Undo, HistoryWritesEachRunOnOneLineWhateverTheFolderIsCalled) {
    TempFolder root({{"a\tb\nc\\d", "<folder>"}, {"a\tb\nc\\d/x.jpg", "X"}});
    const std::string folder = root / "a\tb\nc\\d";
    ASSERT_EQ(run({"--apply", "--name", "y", folder}).code, 0);
    ASSERT_EQ(run({"--undo", folder}).code, 0);
    const CliRun history = run({"--history", folder});
    EXPECT_EQ(history.code, 0);
    EXPECT_EQ(std::count(history.out.begin(), history.out.end(), '\n'), 2) << history.out;
    // The folder is the last field but the id.
    const std::string escaped = "/a\\x09b\\x0Ac\\\\d\t";
    EXPECT_NE(history.out.find("1/1\tvrácení\tdokončeno\t"), std::string::npos) << history.out;
    const std::size_t first = history.out.find(escaped);
    ASSERT_NE(first, std::string::npos) << history.out;
    EXPECT_LT(first, history.out.find('\n')) << history.out;
    EXPECT_NE(history.out.find(escaped, history.out.find('\n')), std::string::npos) << history.out;
}

// The folder renamed is the folder listed: its path is swapped for a link to another folder right
// when the preview has been printed, before the first rename.
TEST(Apply, RenamesInTheFolderListedWhateverItsPathLeadsToMeanwhile) {
    TempFolder dir({{"photos", "<folder>"}, {"photos/a.jpg", "A"}, {"other", "<folder>"}, {"other/a.jpg", "other"}});
    const auto listedBefore = snapshot(dir / "photos"), otherBefore = snapshot(dir / "other");
    struct Swap {
        const TempFolder& dir;
        bool swapped = false;
    } swap{dir};
    cookie_io_functions_t io{};
    io.write = [](void* cookie, const char*, std::size_t size) -> ssize_t {
        auto& s = *static_cast<Swap*>(cookie);
        // Only while the listed file is still there, that is before the first rename.
        if (!s.swapped)
            s.swapped = access((s.dir / "photos/a.jpg").c_str(), F_OK) == 0 &&
                        std::rename((s.dir / "photos").c_str(), (s.dir / "listed").c_str()) == 0 &&
                        symlink("other", (s.dir / "photos").c_str()) == 0;
        return static_cast<ssize_t>(size);
    };
    std::FILE *out = fopencookie(&swap, "w", io), *err = std::tmpfile();
    const int code = runCli({"--apply", "--name", "x:", dir / "photos"}, out, err, nullptr);
    std::fclose(out), std::fclose(err);
    ASSERT_TRUE(swap.swapped);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(snapshot(dir / "listed"), renamed(listedBefore, {{"a.jpg", "x1.jpg"}}));
    EXPECT_EQ(snapshot(dir / "other"), otherBefore);
}

TEST(Regex, ReplacesByExpressionAndRejectsAnInvalidOne) {
    TempFolder dir({{"img 12-34.jpg", "A"}, {"Foto_2024.JPG", "B"}});
    expectPreviews(dir, {{{"--regex", "--replace", "(\\d+)-(\\d+)", "--with", "$2-$1"},
                          "Foto_2024.JPG -> * beze změny\nimg 12-34.jpg -> img 34-12.jpg\n"},
                         {{"--replace", "(?i)foto_(?<y>\\d+)", "--with", "${y} f", "--regex"},
                          "Foto_2024.JPG -> 2024 f.JPG\nimg 12-34.jpg -> * beze změny\n"},
                         // An emptied extension keeps its dot, as one that --remove empties: the
                         // extension pattern is not blank.
                         {{"--regex", "--replace", "(?i)jpg|\\s", "--with", ""},
                          "Foto_2024.JPG -> Foto_2024.\nimg 12-34.jpg -> img12-34.\n"},
                         {{"--remove", "JPGjpg "}, "Foto_2024.JPG -> Foto_2024.\nimg 12-34.jpg -> im12-34.\n"},
                         // Without --regex the same text is a set of characters, stripped of \.
                         {{"--replace", "(\\d+)-", "--with", "$"},
                          "Foto_2024.JPG -> * beze změny\nimg 12-34.jpg -> img 12$34.jpg\n"}});
    const CliRun bad = run({"--regex", "--replace", "(ab", dir.path()});
    expectComplaint(bad, 2);
    EXPECT_NE(bad.err.find("U_REGEX_MISMATCHED_PAREN (character 4)"), std::string::npos) << bad.err;
    EXPECT_EQ(bad.out, "");
}

TEST(Regex, TooComplexLeavesTheNameAndSaysSo) {
    TempFolder dir({{std::string(40, 'a'), "A"}});
    const CliRun r = run({"--regex", "--replace", "(a+)+b", "--with", "x", dir.path()});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, std::string(40, 'a') + " -> * beze změny\n");
    EXPECT_EQ(r.err, "zelvar-cli: Regulární výraz je příliš složitý.\n");
}

}  // namespace

namespace {

TEST(RenameList, MatchedByOldNameAndAppliedOnlyWhenEveryLineFits) {
    const std::string done = "Přejmenování ukončeno\n\nPřejmenováno ";
    // The arguments (the folder appended), the list on standard input, what the run prints and what
    // it renames.
    const std::tuple<Args, std::string, CliRun, Entries> cases[] = {
        // Unlisted rows stay; the list's order is not the folder's.
        {{"--apply", "--rename-list", "-"},
         "\xEF\xBB\xBF"
         "c.jpg\tC.jpg\r\na.jpg\tFoto 1.jpg\r\n",
         {0, "a.jpg -> Foto 1.jpg\nb.jpg -> * beze změny\nc.jpg -> C.jpg\n" + done + "2 souborů\n", ""},
         {{"a.jpg", "Foto 1.jpg"}, {"c.jpg", "C.jpg"}}},
        // The new names meet the checks of manual editing: forbidden characters go, clashes are marked.
        {{"--apply", "--rename-list", "-", "--stats"},
         "a.jpg\tx?.jpg\nb.jpg\tX.jpg\nc.jpg\tb.jpg",
         {0,
          "a.jpg -> x.jpg\nb.jpg -> * viz >x.jpg< výše\nc.jpg -> * viz >b.jpg< výše\n" + stats(3, 1, 2) + done +
              "1 souborů\n",
          ""},
         {{"a.jpg", "x.jpg"}}},
        // A line that names no entry, or one again: the preview, every such line, nothing renamed.
        {{"--apply", "--rename-list", "-"},
         "a.jpg\tA.jpg\nd.jpg\tD.jpg\na.jpg\tE.jpg\nno tab\n",
         {1, "a.jpg -> A.jpg\nb.jpg -> * beze změny\nc.jpg -> * beze změny\n",
          "zelvar-cli: řádek 2: >d.jpg< ve složce není\nzelvar-cli: řádek 3: >a.jpg< je v seznamu už na řádku 1\n"
          "zelvar-cli: řádek 4: chybí tabulátor mezi starým a novým jménem\n"
          "zelvar-cli: nothing renamed: every line of the rename list must name an entry of the folder\n"},
         {}},
        // Without --apply the problems are told as well, and the exit says so.
        {{"--rename-list", "-"},
         "A.JPG\tx.jpg\n",
         {1, "a.jpg -> * beze změny\nb.jpg -> * beze změny\nc.jpg -> * beze změny\n",
          "zelvar-cli: řádek 1: >A.JPG< ve složce není\n"},
         {}},
        // The list goes with the patterns' listing: a filtered row is not in the folder for it.
        {{"--filter", "a*", "--rename-list", "-"},
         "b.jpg\tB.jpg\n",
         {1, "a.jpg -> * beze změny\n", "zelvar-cli: řádek 1: >b.jpg< ve složce není\n"},
         {}},
    };
    for (auto [args, input, expected, renames] : cases) {
        SCOPED_TRACE(input);
        TempFolder dir({{"a.jpg", "A"}, {"b.jpg", "B"}, {"c.jpg", "C"}});
        const auto before = snapshot(dir.path());
        args.push_back(dir.path());
        EXPECT_EQ(run(args, input), expected);
        EXPECT_EQ(snapshot(dir.path()), renamed(before, renames));
    }
}

TEST(RenameList, ReadFromAFileAndNotCombinedWithOtherNameSources) {
    TempFolder dir(Entries{{"a.txt", "A"}}), lists(Entries{{"list", "a.txt\tb.txt\n"}});
    EXPECT_EQ(run({"--rename-list", lists / "list", dir.path()}), (CliRun{0, "a.txt -> b.txt\n", ""}));
    for (const Args& args : std::vector<Args>{{"--rename-list", lists / "none", dir.path()},
                                              {"--rename-list", "", dir.path()},
                                              {"--rename-list", "-", "--edit", "-", dir.path()},
                                              {"--rename-list", "-", "--undo", dir.path()},
                                              {"--rename-list", "-", "--sample", "x"}}) {
        SCOPED_TRACE(::testing::PrintToString(args));
        expectComplaint(run(args), 2);
    }
}

}  // namespace

namespace {

TEST(Presets, SaveListApplyAndRefuse) {
    TempFolder config;
    setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
    EXPECT_EQ(run({"--presets"}), (CliRun{0, "", ""}));
    EXPECT_EQ(run({"--case", "upper", "--name", "x_*", "--save-preset", "../Velká 🐢"}), (CliRun{0, "", ""}));
    EXPECT_EQ(run({"--save-preset", "a"}), (CliRun{0, "", ""}));
    EXPECT_EQ(run({"--presets"}), (CliRun{0, "../Velká 🐢\na\n", ""}));
    EXPECT_EQ(run({"--preset", "../Velká 🐢", "--sample", "ab.txt"}), (CliRun{0, "X_AB.TXT\n", ""}));
    EXPECT_EQ(run({"--preset", "../Velká 🐢", "--case", "keep", "--sample", "ab.txt"}), (CliRun{0, "x_ab.txt\n", ""}));
    EXPECT_EQ(run({"--name", "y", "--preset", "a", "--sample", "ab.txt"}), (CliRun{0, "ab.txt\n", ""}));
    // A preset of that name is kept; an unknown one is a usage error.
    expectComplaint(run({"--case", "lower", "--save-preset", "a"}), 1);
    EXPECT_EQ(run({"--preset", "a", "--sample", "AB"}).out, "AB\n");
    expectComplaint(run({"--preset", "b", "--sample", "AB"}), 2);
    unsetenv("XDG_CONFIG_HOME");
}

// Any name is a name: none reaches outside the presets' folder, each one comes back as given.
TEST(Presets, OddNamesAreKeptApart) {
    TempFolder config;
    setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
    const std::string names[] = {
        "/", "..", ".", "../../x", "a/b", "Předvolba č. 1 🐢", std::string(400, 'z'), std::string(400, 'z') + "!"};
    std::string listed;
    for (std::size_t i = 0; i < std::size(names); ++i) {
        const std::string pattern = "P" + std::to_string(i) + "_*";
        EXPECT_EQ(run({"--name", pattern, "--save-preset", names[i]}), (CliRun{0, "", ""})) << names[i];
    }
    for (std::size_t i = 0; i < std::size(names); ++i)
        EXPECT_EQ(run({"--preset", names[i], "--sample", "f.txt"}).out, "P" + std::to_string(i) + "_f.txt\n")
            << names[i];
    std::vector<std::string> sorted(std::begin(names), std::end(names));
    std::sort(sorted.begin(), sorted.end());
    for (const std::string& name : sorted) listed += name + "\n";
    EXPECT_EQ(run({"--presets"}).out, listed);
    // Only the presets' folder was written.
    EXPECT_EQ(snapshot(config.path()).size(), 1u);
    EXPECT_EQ(snapshot(config.path() + "/zelvar").size(), 1u);
    EXPECT_EQ(snapshot(config.path() + "/zelvar/presets").size(), std::size(names));
    expectComplaint(run({"--save-preset", ""}), 2);
    expectComplaint(run({"--preset", "", "--sample", "a"}), 2);
    unsetenv("XDG_CONFIG_HOME");
}

// A damaged preset is a usage error that names what is wrong, and nothing is done.
TEST(Presets, ADamagedPresetIsReportedAndNothingRuns) {
    TempFolder config, work;
    setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
    work.file("a.txt", "a");
    ASSERT_EQ(run({"--save-preset", "p"}).code, 0);
    const std::string file = config.path() + "/zelvar/presets/p.preset";
    std::FILE* f = std::fopen(file.c_str(), "w");
    std::fputs("zelvar-preset 1\npreset-name=p\nname=X\ncase=huge\n", f);
    std::fclose(f);
    const CliRun damaged = run({"--preset", "p", "--apply", work.path()});
    expectComplaint(damaged, 2);
    EXPECT_NE(damaged.err.find("řádek 4"), std::string::npos) << damaged.err;
    EXPECT_EQ(damaged.out, "");
    EXPECT_EQ(snapshot(work.path()).size(), 1u);
    EXPECT_EQ(snapshot(work.path()).count("a.txt"), 1u);
    unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
