// GCC 12 with the sanitizers reports std::function members inside <regex> as maybe uninitialised,
// a known false alarm; it must not fail the warning-free build.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <regex>
#include <sstream>
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

// The exit code, one line on standard error after the program's name that holds the part given, and
// the output given, if any.
void expectComplaint(const CliRun& r, int code, const std::string& part = "", const char* out = nullptr) {
    if (out) {
        EXPECT_EQ(r.out, out);
    }
    EXPECT_EQ(r.code, code) << r.err;
    EXPECT_EQ(r.err.rfind("zelvar-cli: ", 0), 0u) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
    EXPECT_NE(r.err.find(part), std::string::npos) << r.err;
}

std::string stats(int n, int renamed, int unchanged) {
    return "Počet zpracovaných souborů: " + std::to_string(n) + "\nPočet přejmenování: " + std::to_string(renamed) +
           "\nPočet beze změny: " + std::to_string(unchanged) + "\n";
}

const std::string kDone = "Přejmenování ukončeno\n\nPřejmenováno ";

// Previews of one folder, each exactly as printed; none of them changes the folder.
void expectPreviews(const TempFolder& dir, const std::vector<std::pair<Args, std::string>>& cases) {
    const auto before = snapshot(dir.path());
    for (auto [args, expected] : cases) {
        args.push_back(dir.path());
        EXPECT_EQ(run(args, ""), (CliRun{0, expected, ""})) << ::testing::PrintToString(args);
    }
    EXPECT_EQ(snapshot(dir.path()), before);
}

// Runs, each in a fresh folder of these entries: the arguments (the folder appended), standard input,
// what the run prints and what it renames, in order.
using RunCase = std::tuple<Args, std::string, CliRun, Entries>;
void expectRuns(const Entries& entries, const std::vector<RunCase>& cases) {
    for (auto [args, input, expected, renames] : cases) {
        SCOPED_TRACE(input);
        TempFolder dir(entries);
        const auto before = snapshot(dir.path());
        args.push_back(dir.path());
        EXPECT_EQ(run(args, input), expected);
        EXPECT_EQ(snapshot(dir.path()), renamed(before, renames));
    }
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
        // The expressions themselves are the core's; --regex turns them on. An emptied extension keeps
        // its dot, the extension pattern not being blank; without --regex the text is a set of characters.
        {{"--regex", "--replace", "(\\d+)-(\\d+)", "--with", "$2-$1", "--sample", "i 12-34.jpg"}, "i 34-12.jpg\n"},
        {{"--regex", "--replace", "(?i)jpg|\\s", "--with", "", "--sample", "i 1.JPG"}, "i1.\n"},
        {{"--replace", "(\\d+)-", "--with", "$", "--sample", "i 12-34.jpg"}, "i 12$34.jpg\n"},
    };
    for (const auto& [args, expected] : cases) EXPECT_EQ(run(args), (CliRun{0, expected, ""}));
    EXPECT_EQ(run({"--help"}).out.rfind("Usage: zelvar-cli", 0), 0u);
}

// Each fault is one line on standard error after the program's name with its exit status (2 a usage
// error, 1 a folder that cannot be listed), holds the part given, and renames nothing.
TEST(Faults, OneLineOnStandardErrorTheExitStatusAndNothingRenamed) {
    TempFolder dir({{"a.txt", "A"}, {"b.txt", "B"}, {"many", std::string(32768, '\r')}, {"plain", ""}});
    const auto before = snapshot(dir.path());
    const std::tuple<Args, int, std::string, std::string> cases[] = {
        // arguments, exit, output, part
        {{"--apply", "--edit", dir / "many", dir.path()}, 2, "", ""},  // more names than a listing can hold
        {{"--apply", "--edit", dir / "no-such-file", dir.path()}, 2, "", ""},
        {{"--apply", "--edit", dir.path(), dir.path()}, 2, "", ""},  // a folder is no file of names
        {{"--apply", "--name"}, 2, "", "--name"},
        {{"--regex", "--replace", "(ab", dir.path()}, 2, "", "U_REGEX_MISMATCHED_PAREN (character 4)"},
        {{"--rename-list", dir / "none", dir.path()}, 2, "", ""},
        {{"--rename-list", "", dir.path()}, 2, "", ""},
        {{"--rename-list", "-", "--edit", "-", dir.path()}, 2, "", "--edit"},
        {{"--rename-list", "-", "--undo", dir.path()}, 2, "", "--undo"},
        {{"--rename-list", "-", "--sample", "x"}, 2, "", "--sample"},
        {{"--stats", dir / "missing"}, 1, stats(0, 0, 0), ""},
        {{"--apply", "--name", "x", dir / "plain"}, 1, "", ""},
    };
    for (const auto& [args, code, out, part] : cases) {
        SCOPED_TRACE(::testing::PrintToString(args));
        expectComplaint(run(args), code, part, out.c_str());
    }
    EXPECT_EQ(snapshot(dir.path()), before);
    // An empty name pattern lists nothing, so there is nothing to complain about.
    EXPECT_EQ(run({"--name", "", dir / "missing"}), (CliRun{0, "", ""}));
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
TEST(Preview, DateTakenFromThePhotosThemselves) {
    setenv("TZ", "UTC", 1), tzset();
    TempFolder dir(Entries{{"notes.txt", ""}});
    writeJpeg(dir / "shot.jpg", takenAt("2024:07:14 09:30:12"));
    for (auto [name, time] : {std::pair{"notes.txt", 1000000000}, {"shot.jpg", 2000}}) dir.mtime(name, time);
    const std::string modified = "shot.jpg -> 19700101_003320.jpg\nnotes.txt -> 20010909_014640.txt\n";
    const std::pair<Args, CliRun> cases[] = {
        {{"--date", "taken"},
         {0, "notes.txt -> 20010909_014640.txt\nshot.jpg -> 20240714_093012.jpg\n",
          "zelvar-cli: Datum pořízení chybí u 1 položek, použito datum změny.\n"}},
        {{"--date", "modified"}, {0, modified, ""}},
    };
    for (auto [args, expected] : cases) {
        args.insert(args.end(), {"--sort", "date", "--name", "\\y\\m\\d_\\h\\n\\s", dir.path()});
        EXPECT_EQ(run(args), expected) << ::testing::PrintToString(args);
    }
    // Without a date in use nothing is noted.
    EXPECT_EQ(run({"--date", "taken", "--name", "x", dir.path()}).err, "");
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
    // As many lines as a listing can hold are taken; one more is a usage error (see Faults).
    names.file("names", std::string(32767, '\n'));
    EXPECT_EQ(run({"--edit", names / "names", dir.path()}).code, 0);
}

TEST(Apply, RenamesPrintsTheReportAndLosesNothing) {
    expectRuns(  // x.jpg is not listed, but taken
        {{"a.jpg", "A"}, {"b.jpg", "B"}, {"x.jpg", "<folder>"}},
        {// Changed extensions need no answer.
         {{"--apply", "--name", "Foto_:", "--ext", "png"},
          "",
          {0, "a.jpg -> Foto_1.png\nb.jpg -> Foto_2.png\n" + kDone + "2 souborů\n", ""},
          {{"a.jpg", "Foto_1.png"}, {"b.jpg", "Foto_2.png"}}},
         // Clashes inside the list are settled before the folder is asked, row 2 clashing with row 1;
         // the entries the listing leaves out are in the way in any letter case.
         {{"--apply", "--stats", "--name", "X", "--ext", "JPG"},
          "",
          {0, "a.jpg -> * existuje >X.JPG<\nb.jpg -> * viz >X.JPG< výše\n" + stats(2, 0, 2) + kDone + "0 souborů\n",
           ""},
          {}},
         // A typed name stays unmarked when only an entry the listing leaves out has it, here in other
         // letter case; the run refuses it all the same.
         {{"--apply", "--edit", "-"},
          "y.jpg\nX.JPG\n",
          {1,
           "a.jpg -> y.jpg\nb.jpg -> X.JPG\n" + kDone +
               "1 souborů\nNepřejmenováno 1 souborů\n\nb.jpg nepřejmenován na X.JPG\n",
           "Soubor či složka >X.JPG< již existuje\n"},
          {{"a.jpg", "y.jpg"}}}});
}

// The checks of each line are the core's; here the list is read, its problems told and the exit set.
TEST(RenameList, MatchedByOldNameAndAppliedOnlyWhenEveryLineFits) {
    TempFolder lists(Entries{{"list", "a.jpg\tz.jpg\n"}});
    expectRuns({{"a.jpg", "A"}, {"b.jpg", "B"}},
               {// Unlisted rows stay; the list's order is not the folder's.
                {{"--apply", "--rename-list", "-"},
                 "b.jpg\tB.jpg\n",
                 {0, "a.jpg -> * beze změny\nb.jpg -> B.jpg\n" + kDone + "1 souborů\n", ""},
                 {{"b.jpg", "B.jpg"}}},
                // A line that names no entry, or has no TAB: the preview, every such line, nothing renamed.
                {{"--apply", "--rename-list", "-"},
                 "a.jpg\tA.jpg\nd.jpg\tD.jpg\nno tab\n",
                 {1, "a.jpg -> A.jpg\nb.jpg -> * beze změny\n",
                  "zelvar-cli: řádek 2: >d.jpg< ve složce není\n"
                  "zelvar-cli: řádek 3: chybí tabulátor mezi starým a novým jménem\n"
                  "zelvar-cli: nothing renamed: every line of the rename list must name an entry of the folder\n"},
                 {}},
                // Without --apply the problems are told as well, and the exit says so.
                {{"--rename-list", "-"},
                 "A.JPG\tx.jpg\n",
                 {1, "a.jpg -> * beze změny\nb.jpg -> * beze změny\n", "zelvar-cli: řádek 1: >A.JPG< ve složce není\n"},
                 {}},
                // The list goes with the patterns' listing: a filtered row is not in the folder for it.
                {{"--filter", "a*", "--rename-list", "-"},
                 "b.jpg\tB.jpg\n",
                 {1, "a.jpg -> * beze změny\n", "zelvar-cli: řádek 1: >b.jpg< ve složce není\n"},
                 {}},
                // A list is read from a file as well.
                {{"--rename-list", lists / "list"}, "", {0, "a.jpg -> z.jpg\nb.jpg -> * beze změny\n", ""}, {}}});
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
// --redo carries it out again, and --undo ID takes back the run --history names. A folder whose name
// holds a TAB or a line break still gives one history line per run, the name written as the journal
// writes it.
TEST(Undo, TakesBackTheNewestRunRedoesItAndListsTheHistory) {
    TempFolder root({{"a\tb\nc\\d", "<folder>"}, {"a\tb\nc\\d/a.jpg", "A"}, {"a\tb\nc\\d/b.jpg", "B"}});
    const std::string dir = root / "a\tb\nc\\d", none = "V této složce není žádné přejmenování, které by šlo vrátit.\n";
    const auto before = snapshot(dir);
    EXPECT_EQ(run({"--undo", dir}), (CliRun{1, "", none}));
    ASSERT_EQ(run({"--apply", "--name", "Foto_:", dir}).code, 0);
    const auto after = snapshot(dir);
    EXPECT_EQ(run({"--undo", dir}), (CliRun{0, "Vrácení ukončeno\n\nVráceno 2 souborů\n", ""}));
    EXPECT_EQ(snapshot(dir), before);
    EXPECT_EQ(run({"--undo", dir}), (CliRun{1, "", none}));
    EXPECT_EQ(run({"--redo", dir}), (CliRun{0, kDone + "2 souborů\n", ""}));
    EXPECT_EQ(snapshot(dir), after);
    EXPECT_EQ(run({"--redo", dir}).code, 1);
    // The redo took the undo back, so the first run is in force again. The time of each line is not
    // the test's to know; the id, in its shape, is the last field.
    const std::string history = run({"--history", dir}).out, escaped = root.path() + "/a\\x09b\\x0Ac\\\\d\n";
    const std::regex line("[^\t\n]*\t([^\n]*)\t(\\d{8}-\\d{6}-\\d{6}-\\d{1,10})\n");
    EXPECT_EQ(std::regex_replace(history, line, "$1\n"), "2/2\topakování\tdokončeno\t" + escaped +
                                                             "2/2\tvrácení\tvráceno\t" + escaped +
                                                             "2/2\tpřejmenování\tdokončeno\t" + escaped);
    std::istringstream ids(std::regex_replace(history, line, "$2 "));
    std::string first;
    for (int i = 0; i < 3; ++i) ids >> first;  // the last line's
    // Any journal of a rename names it: the first run's id takes back what the redo put in force.
    EXPECT_EQ(run({"--undo", first, dir}).code, 0);
    EXPECT_EQ(snapshot(dir), before);
    EXPECT_EQ(run({"--undo=" + first, dir}), (CliRun{1, "", "Přejmenování >" + first + "< je již vráceno.\n"}));
    ASSERT_EQ(run({"--redo", dir}).code, 0);
    // An old name taken meanwhile is named on standard error and exits 1.
    root.file("a\tb\nc\\d/a.jpg", "new");
    const CliRun taken = run({"--undo", dir});
    EXPECT_EQ(taken.code, 1);
    EXPECT_NE(taken.err.find(">Foto_1.jpg<"), std::string::npos) << taken.err;
}

// The folder renamed is the folder listed: its path is swapped for a link to another folder right
// when the preview has been printed, before the first rename.
TEST(Apply, RenamesInTheFolderListedWhateverItsPathLeadsToMeanwhile) {
    TempFolder dir({{"photos", "<folder>"}, {"photos/a.jpg", "A"}, {"other", "<folder>"}, {"other/a.jpg", "other"}});
    const auto listedBefore = snapshot(dir / "photos"), otherBefore = snapshot(dir / "other");
    // Each write checks; only while the listed file is still there, that is before the first rename.
    static std::string path;
    static bool swapped;
    path = dir / "photos", swapped = false;
    cookie_io_functions_t io{};
    io.write = [](void*, const char*, std::size_t size) -> ssize_t {
        if (!swapped)
            swapped = access((path + "/a.jpg").c_str(), F_OK) == 0 &&
                      std::rename(path.c_str(), (path + "/../listed").c_str()) == 0 &&
                      symlink("other", path.c_str()) == 0;
        return static_cast<ssize_t>(size);
    };
    std::FILE* out = fopencookie(nullptr, "w", io);
    EXPECT_EQ(runCli({"--apply", "--name", "x:", path}, out, out, nullptr), 0);
    std::fclose(out);
    ASSERT_TRUE(swapped);
    EXPECT_EQ(snapshot(dir / "listed"), renamed(listedBefore, {{"a.jpg", "x1.jpg"}}));
    EXPECT_EQ(snapshot(dir / "other"), otherBefore);
}

// An invalid expression is among the Faults; one too complex for the engine leaves the name.
TEST(Regex, LeavesTheNameWhenTooComplex) {
    const std::string a40(40, 'a');
    TempFolder dir(Entries{{a40, "A"}});
    EXPECT_EQ(run({"--regex", "--replace", "(a+)+b", "--with", "x", dir.path()}),
              (CliRun{0, a40 + " -> * beze změny\n", "zelvar-cli: Regulární výraz je příliš složitý.\n"}));
}

// Any name is a name and comes back as given (where its file goes is the presets' own test). A preset
// takes the place of the options before it; those after it change it.
TEST(Presets, SavedUnderAnyNameListedAppliedInOrderAndRefused) {
    TempFolder config, work(Entries{{"a.txt", "a"}});
    setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
    EXPECT_EQ(run({"--presets"}), (CliRun{0, "", ""}));
    const std::vector<std::string> names = {"..", "../../x", "Předvolba č. 1 🐢", std::string(400, 'z')};  // sorted
    std::string listed;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string pattern = "P" + std::to_string(i) + "_*";
        EXPECT_EQ(run({"--case", "upper", "--name", pattern, "--save-preset", names[i]}), (CliRun{0, "", ""}));
        EXPECT_EQ(run({"--preset", names[i], "--sample", "f.txt"}).out, "P" + std::to_string(i) + "_F.TXT\n");
        listed += names[i] + "\n";
    }
    EXPECT_EQ(run({"--presets"}).out, listed);
    EXPECT_EQ(run({"--preset", "..", "--case", "keep", "--sample", "ab.txt"}).out, "P0_ab.txt\n");
    EXPECT_EQ(run({"--name", "y", "--case", "lower", "--preset", "..", "--sample", "ab.txt"}).out, "P0_AB.TXT\n");
    // A preset of that name is kept.
    expectComplaint(run({"--case", "lower", "--save-preset", ".."}), 1);
    EXPECT_EQ(run({"--preset", "..", "--sample", "ab"}).out, "P0_AB\n");
    // A damaged preset is a usage error that names what is wrong, and nothing is done.
    config.file("zelvar/presets/p.preset", "zelvar-preset 1\npreset-name=p\nname=X\ncase=huge\n");
    const auto before = snapshot(work.path());
    const std::pair<Args, std::string> refused[] = {{{"--preset", "p", "--apply", work.path()}, "řádek 4"},
                                                    {{"--preset", "b", "--sample", "AB"}, ""},
                                                    {{"--save-preset", ""}, ""},
                                                    {{"--preset", "", "--sample", "a"}, ""}};
    for (const auto& [args, part] : refused) expectComplaint(run(args), 2, part, "");
    EXPECT_EQ(snapshot(work.path()), before);
    unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
