// GCC 12 with the sanitizers reports std::function members inside <regex> as maybe uninitialised,
// a known false alarm; it must not fail the warning-free build.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <regex>
#include <set>
#include <sstream>

#include "cli/args.h"

using namespace zelvar;
using namespace zelvar::cli;
using Args = std::vector<std::string>;

namespace {

// The choices and flags not listed here show in the outputs of the end-to-end tests.
TEST(ParseArgs, ValuesReachTheirFields) {
    struct Case {
        const char* label;
        Args args;
        std::function<void(const Request&)> expect;
    };
    const Case cases[] =
        {
            {"defaults",
             {},
             [](auto& r) {
        EXPECT_EQ(r.action, Action::Preview);
        EXPECT_EQ(r.folder, ".");
        EXPECT_EQ(r.options.txtJmeno, U"*");
        EXPECT_EQ(r.options.txtCiselnyZaklad, U"10");
        EXPECT_EQ(r.options.txtZachovatCiselnyZaklad, U"10");
        EXPECT_FALSE(r.stats || r.apply || r.edit);
             }},
            {"joined value keeps later =", {"--ext=a=b"}, [](auto& r) { EXPECT_EQ(r.options.txtExt, U"a=b"); }},
            {"value like an option", {"--name", "--x"}, [](auto& r) { EXPECT_EQ(r.options.txtJmeno, U"--x"); }},
            {"later repeat wins",
             {"--case", "upper", "--case", "title"},
             [](auto& r) { EXPECT_EQ(r.options.optVelikost, 3); }},
            {"choices no output test reaches",
             {"--old-digits", "a-z", "--sort", "none"},
             [](auto& r) {
        EXPECT_EQ(r.options.optZachovatTypCislovani, 1);
        EXPECT_EQ(r.options.optRazeni, 3);
             }},
               {"texts as given",
                {"--step", "x2", "--start", "", "--remove", "a:b", "--filter", "*.jpg;*.png"},
                [](auto& r) {
        EXPECT_EQ(r.options.txtDif, U"x2");
        EXPECT_EQ(r.options.txtCisloOd, U"");
        EXPECT_EQ(r.options.txtOdstranit, U"a:b");
        EXPECT_EQ(r.options.txtVyhlFiltr, U"*.jpg;*.png");
                }},
        {"replacement fields lose forbidden characters",
         {"--replace", "a/\\<>|\":*?b", "--with=x?y"},
         [](auto& r) {
        EXPECT_EQ(r.options.txtZamenitCo, U"ab");
        EXPECT_EQ(r.options.txtZamenitZaCo, U"xy");
         }},
        {"radix normalised after its digit set",
         {"--radix", "40", "--digits", "a-z"},
         [](auto& r) { EXPECT_EQ(r.options.txtCiselnyZaklad, U"26"); }},
        {"old radix capped by the old digit set",
         {"--old-radix", "40", "--digits", "0-9a-z"},
         [](auto& r) {
        EXPECT_EQ(r.options.txtZachovatCiselnyZaklad, U"10");
        EXPECT_EQ(r.options.txtCiselnyZaklad, U"10");
         }},
        {"non-UTF-8 bytes survive",
         {"--name", std::string("a\xFF")},
         [](auto& r) {
        EXPECT_EQ(r.options.txtJmeno, (Text{U'a', 0xDCFF}));
         }},
        {"a lone dash is a folder", {"-"}, [](auto& r) { EXPECT_EQ(r.folder, "-"); }},
        {"double dash ends options",
         {"--", "--apply"},
         [](auto& r) {
        EXPECT_EQ(r.folder, "--apply");
        EXPECT_FALSE(r.apply);
         }},
        {"samples in order with a counter",
         {"--sample", "b", "--counter=-12", "--sample=a"},
         [](auto& r) {
        EXPECT_EQ(r.action, Action::Samples);
        EXPECT_EQ(r.samples, (std::vector<std::string>{"b", "a"}));
        EXPECT_EQ(r.counter, -12);
         }},
        {"counter up to 2^53",
         {"--sample", "x", "--counter", "+9007199254740992"},
         [](auto& r) { EXPECT_EQ(r.counter, 9007199254740992.0); }},
        {"help wins over the rest", {"--help", "-x"}, [](auto& r) { EXPECT_EQ(r.action, Action::Help); }},
        {"version", {"--name", "x", "--version"}, [](auto& r) { EXPECT_EQ(r.action, Action::Version); }},
        };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const ParseResult result = parseArgs(c.args);
        EXPECT_TRUE(result.ok()) << result.error;
        if (result.ok()) c.expect(result.request);
    }
}

TEST(ParseArgs, UsageErrorsNameWhatIsWrongOnOneLine) {
    // Each with a part the message must hold.
    const std::pair<Args, const char*> cases[] = {
        {{"--bogus"}, "--bogus"},
        {{"--bogus=1"}, "--bogus"},
        {{"-n"}, "-n"},
        {{"--nam", "x"}, "--nam"},  // a prefix of an option is not enough
        {{"--name"}, "--name"},
        {{"--stats", "--filter"}, "--filter"},
        {{"--apply=yes"}, "--apply"},
        {{"--help=1"}, "--help"},
        {{"--case", "Upper"}, "Upper"},
        {{"--sort="}, "--sort"},
        {{"--numbering", "2"}, "--numbering"},
        {{"--keep-mode", "Format"}, "--keep-mode"},
        {{"--digits", "0-9 a-z"}, "--digits"},
        {{"--old-digits", "hex"}, "--old-digits"},
        {{"--separators", "1"}, "--separators"},
        {{"--kind", "file"}, "--kind"},
        {{"--start", "-1"}, "--start"},
        {{"--start", " 1"}, "--start"},
        {{"--radix", "1a"}, "--radix"},
        {{"--old-radix", "+8"}, "--old-radix"},
        {{"--sample", "x", "--counter", ""}, "--counter"},
        {{"--counter", "1.5"}, "--counter"},
        {{"--counter", "-"}, "--counter"},
        {{"--counter", "9007199254740993"}, "--counter"},
        {{"--edit="}, "--edit"},
        {{"a", "b"}, "FOLDER"},
        {{"--sample", "x", "dir"}, "FOLDER"},
        {{"--sample", "x", "--", "dir"}, "FOLDER"},
        {{"--sample", "x", "--apply"}, "--apply"},
        {{"--edit", "f", "--sample", "x"}, "--edit"},
        {{"--stats", "--sample", "x"}, "--stats"},
        {{"--case", "x", "--help"}, "--case"},  // an error before help
        {{"--undo", "--apply"}, "--apply"},
        {{"--history", "--edit", "f"}, "--edit"},
        {{"--undo", "--sample", "x"}, "--sample"},
        {{"--stats", "--history"}, "--stats"},
        {{"--json", "--undo"}, "--json"},
    };
    for (const auto& [args, part] : cases) {
        const ParseResult result = parseArgs(args);
        EXPECT_NE(result.error.find(part), std::string::npos) << args[0] << ": " << result.error;
        EXPECT_EQ(result.error.find('\n'), std::string::npos) << result.error;
    }
}

TEST(Usage, ListsEveryOptionTheParserKnows) {
    const std::string usage = usageText();
    for (const char* option :
         {"--name",    "--ext",     "--mirror-name", "--mirror-ext", "--case",          "--numbering",
          "--start",   "--step",    "--same-by-ext", "--zero-first", "--insert-zero",   "--keep-mode",
          "--digits",  "--radix",   "--old-digits",  "--old-radix",  "--no-diacritics", "--separators",
          "--replace", "--with",    "--whole",       "--remove",     "--reverse-name",  "--reverse-ext",
          "--sort",    "--numeric", "--descending",  "--kind",       "--filter",        "--stats",
          "--sample",  "--counter", "--edit",        "--apply",      "--undo",          "--history",
          "--help",    "--version"}) {
        EXPECT_NE(usage.find(option), std::string::npos) << option;
        EXPECT_EQ(parseArgs({option}).error.find("unrecognized"), std::string::npos) << option;
    }
}

// The manual page and the bash completion name exactly the options of --help, and every fixed value
// the completion offers is one the parser takes, so that none of the three can drift.
TEST(Documentation, ManualAndCompletionFollowTheOptions) {
    const auto read = [](const std::string& name) {
        std::ifstream in(std::string(ZELVAR_DATA_DIR) + "/" + name);
        EXPECT_TRUE(in.good()) << name;
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    };
    // Options named on the lines that match `lines`, with roff's "\-" read as "-".
    const auto options = [](std::string text, const std::regex& lines) {
        text = std::regex_replace(text, std::regex(R"(\\-)"), "-");
        std::set<std::string> out;
        const std::regex option("--[a-z][a-z0-9-]*");
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) {
            if (!std::regex_search(line, lines)) continue;
            for (std::sregex_iterator it(line.begin(), line.end(), option), end; it != end; ++it) out.insert(it->str());
        }
        return out;
    };
    const std::set<std::string> help = options(usageText(), std::regex("^ +--"));
    EXPECT_GT(help.size(), 35u);
    EXPECT_EQ(options(read("man/zelvar-cli.1"), std::regex(R"(^\.B)")), help);
    const std::string completion = read("completion/zelvar-cli");
    EXPECT_EQ(options(completion, std::regex(".")), help);

    const std::regex valueList(R"(((?:--[a-z-]+\|?)+)\) COMPREPLY=\(\$\(compgen -W '([^']*)')");
    int lists = 0;
    for (std::sregex_iterator it(completion.begin(), completion.end(), valueList), end; it != end; ++it, ++lists) {
        std::istringstream names((*it)[1].str());
        for (std::string name; std::getline(names, name, '|');) {
            std::istringstream each((*it)[2].str());
            for (std::string value; each >> value;) EXPECT_TRUE(parseArgs({name, value}).ok()) << name << " " << value;
            EXPECT_FALSE(parseArgs({name, "bogus"}).ok()) << name << " takes any value";
        }
    }
    EXPECT_EQ(lists, 7);
}

}  // namespace
