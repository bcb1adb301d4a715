// GCC 12 with the sanitizers reports std::function members inside <regex> as maybe uninitialised,
// a known false alarm; it must not fail the warning-free build.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <sstream>
#include <tuple>

#include "cli/args.h"
#include "engine/optionkeys.h"
#include "platform/temp_folder.h"

using namespace zelvar;
using namespace zelvar::cli;
using zelvar::testing::readFile;
using Args = std::vector<std::string>;

namespace {

Request parsed(const Args& args) {
    const ParseResult r = parseArgs(args);
    EXPECT_TRUE(r.ok()) << r.error;
    return r.request;
}

// The choices and flags not listed here show in the outputs of the end-to-end tests; the rules of each
// value are those of the presets, pinned with them. A joined value
// keeps a later "=", a value may look like an option, a character a name may not hold goes, a radix is
// normalised after its own digit set, and of two choices the later one wins.
TEST(ParseArgs, ValuesReachTheirFields) {
    using O = RenameOptions;
    const std::tuple<Args, Text O::*, Text> texts[] = {
        {{"--ext=a=b"}, &O::txtExt, U"a=b"},
        {{"--name", "--x"}, &O::txtJmeno, U"--x"},
        {{"--with=x?y"}, &O::txtZamenitZaCo, U"xy"},
        {{"--radix", "40", "--digits", "a-z"}, &O::txtCiselnyZaklad, U"26"},
        {{"--old-radix", "40", "--digits", "0-9a-z"}, &O::txtZachovatCiselnyZaklad, U"10"},
    };
    for (const auto& [args, field, value] : texts) EXPECT_EQ(parsed(args).options.*field, value) << args[0];
    const std::tuple<Args, NumberField, int> numbers[] = {
        {{"--case", "upper", "--case", "title"}, numberField<&O::optVelikost>(), int(Velikost::PrvniVelka)},
        {{"--sort", "none"}, numberField<&O::optRazeni>(), int(Razeni::Neradit)},
        {{"--numeric"}, numberField<&O::chkCisla>(), 1},
    };
    for (const auto& [args, field, value] : numbers) EXPECT_EQ(field.get(parsed(args).options), value) << args[0];
    EXPECT_EQ(parsed({"-"}).folder, "-");
    const Request ended = parsed({"--", "--apply"});
    EXPECT_TRUE(ended.folder == "--apply" && !ended.apply);
    EXPECT_EQ(parsed({"--sample", "b", "--counter=-12"}).counter, -12);
    EXPECT_EQ(parsed({"--sample", "x", "--counter", "+9007199254740992"}).counter, 9007199254740992.0);
    // --undo takes the next argument as its id only when it has an id's shape; else it is FOLDER.
    const std::string id = "20261207-030000-123456-4242";
    const std::tuple<Args, Action, std::string, std::string> steps[] = {
        {{"--undo", id, "d"}, Action::Undo, id, "d"},       {{"--undo=" + id}, Action::Undo, id, "."},
        {{"--undo", "d"}, Action::Undo, "", "d"},           {{"--undo", "./" + id}, Action::Undo, "", "./" + id},
        {{"--undo", id + "x"}, Action::Undo, "", id + "x"}, {{"--redo", id}, Action::Redo, "", id},
    };
    for (const auto& [args, action, undoId, folder] : steps) {
        const Request r = parsed(args);
        EXPECT_EQ(std::tie(r.action, r.undoId, r.folder), std::tie(action, undoId, folder)) << args.back();
    }
    EXPECT_EQ(parsed({"--help", "-x"}).action, Action::Help);
    EXPECT_EQ(parsed({"--name", "x", "--version"}).action, Action::Version);
}

// Each with a part the message must hold; one of each kind of check. A prefix of an option is not enough, an error comes before
// help, and "20261207-0300-1-2" is no id.
TEST(ParseArgs, UsageErrorsNameWhatIsWrongOnOneLine) {
    const std::pair<Args, const char*> cases[] = {
        {{"--bogus"}, "--bogus"},
        {{"--nam", "x"}, "--nam"},
        {{"--case", "Upper"}, "Upper"},
        {{"--digits", "0-9 a-z"}, "--digits"},
        {{"--start", "-1"}, "--start"},
        {{"--counter", "9007199254740993"}, "--counter"},
        {{"a", "b"}, "FOLDER"},
        {{"--sample", "x", "--apply"}, "--apply"},
        {{"--case", "x", "--help"}, "--case"},
        {{"--json", "--undo"}, "--json"},
        {{"--undo=20261207-0300-1-2"}, "--undo"},
        {{"--undo", "20261207-030000-123456-4242", "a", "b"}, "FOLDER"},
        {{"--save-preset", "q", "folder"}, "--save-preset"},
    };
    for (const auto& [args, part] : cases) {
        const ParseResult result = parseArgs(args);
        EXPECT_NE(result.error.find(part), std::string::npos) << args[0] << ": " << result.error;
        EXPECT_EQ(result.error.find('\n'), std::string::npos) << result.error;
    }
}

// --help, the manual page and the bash completion name exactly the options the parser knows, and every
// fixed value the completion offers is one the parser takes, so that none of them can drift.
TEST(Documentation, ManualAndCompletionFollowTheOptions) {
    // Options named on the lines that begin with `start`, with roff's "\-" read as "-".
    const auto options = [](std::string text, const std::string& start) {
        text = std::regex_replace(text, std::regex(R"(\\-)"), "-");
        std::set<std::string> out;
        const std::regex line("(^|\n)" + start + "[^\n]*"), option("--[a-z][a-z0-9-]*");
        for (std::sregex_iterator each(text.begin(), text.end(), line), end; each != end; ++each) {
            const std::string found = each->str();
            for (std::sregex_iterator it(found.begin(), found.end(), option); it != end; ++it) out.insert(it->str());
        }
        return out;
    };
    const std::set<std::string> help = options(usageText(), " +--");
    EXPECT_GT(help.size(), 35u);
    for (const std::string& option : help)
        EXPECT_EQ(parseArgs({option}).error.find("unrecognized"), std::string::npos) << option;
    EXPECT_EQ(options(readFile(ZELVAR_DATA_DIR "/man/zelvar-cli.1"), "\\.B"), help);
    const std::string completion = readFile(ZELVAR_DATA_DIR "/completion/zelvar-cli");
    EXPECT_EQ(options(completion, ""), help);

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
    EXPECT_EQ(lists, 8);
}

}  // namespace
