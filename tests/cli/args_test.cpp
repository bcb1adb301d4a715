#include <gtest/gtest.h>

#include <functional>

#include "cli/args.h"

using namespace zelvar;
using namespace zelvar::cli;

namespace {

struct ValidCase {
    const char* label;
    std::vector<std::string> args;
    std::function<void(const Request&)> check;
};

void PrintTo(const ValidCase& c, std::ostream* os) { *os << c.label; }

class ValidArgs : public ::testing::TestWithParam<ValidCase> {};

TEST_P(ValidArgs, SetTheirField) {
    const ParseResult result = parseArgs(GetParam().args);
    ASSERT_TRUE(result.ok()) << result.error;
    GetParam().check(result.request);
}

INSTANTIATE_TEST_SUITE_P(
    Options, ValidArgs,
    ::testing::Values(
        ValidCase{"defaults", {},
                  [](const Request& r) {
                      EXPECT_EQ(r.action, Action::Preview);
                      EXPECT_EQ(r.folder, ".");
                      EXPECT_EQ(r.options.txtJmeno, U"*");
                      EXPECT_EQ(r.options.txtCiselnyZaklad, U"10");
                      EXPECT_EQ(r.options.txtZachovatCiselnyZaklad, U"10");
                      EXPECT_FALSE(r.stats || r.apply || r.edit);
                  }},
        ValidCase{"separate value", {"--name", "Foto_:::"},
                  [](const Request& r) { EXPECT_EQ(r.options.txtJmeno, T("Foto_:::")); }},
        ValidCase{"joined value keeps later =", {"--ext=a=b"},
                  [](const Request& r) { EXPECT_EQ(r.options.txtExt, U"a=b"); }},
        ValidCase{"empty name", {"--name="}, [](const Request& r) { EXPECT_TRUE(r.options.txtJmeno.empty()); }},
        ValidCase{"value that looks like an option", {"--name", "--x"},
                  [](const Request& r) { EXPECT_EQ(r.options.txtJmeno, U"--x"); }},
        ValidCase{"later repeat wins", {"--case", "upper", "--case", "title"},
                  [](const Request& r) { EXPECT_EQ(r.options.optVelikost, 3); }},
        // The other choices and flags show in the outputs of the end-to-end tests.
        ValidCase{"choices no output test reaches", {"--old-digits", "a-z", "--sort", "none"},
                  [](const Request& r) {
                      EXPECT_EQ(r.options.optZachovatTypCislovani, 1);
                      EXPECT_EQ(r.options.optRazeni, 3);
                  }},
        ValidCase{"texts as given", {"--step", "x2", "--start", "", "--remove", "a:b", "--filter", "*.jpg;*.png"},
                  [](const Request& r) {
                      EXPECT_EQ(r.options.txtDif, U"x2");
                      EXPECT_EQ(r.options.txtCisloOd, U"");
                      EXPECT_EQ(r.options.txtOdstranit, U"a:b");
                      EXPECT_EQ(r.options.txtVyhlFiltr, U"*.jpg;*.png");
                  }},
        ValidCase{"replacement fields lose forbidden characters", {"--replace", "a/\\<>|\":*?b", "--with=x?y"},
                  [](const Request& r) {
                      EXPECT_EQ(r.options.txtZamenitCo, U"ab");
                      EXPECT_EQ(r.options.txtZamenitZaCo, U"xy");
                  }},
        ValidCase{"radix normalised after its digit set", {"--radix", "40", "--digits", "a-z"},
                  [](const Request& r) { EXPECT_EQ(r.options.txtCiselnyZaklad, U"26"); }},
        ValidCase{"old radix capped by the old digit set", {"--old-radix", "40", "--digits", "0-9a-z"},
                  [](const Request& r) {
                      EXPECT_EQ(r.options.txtZachovatCiselnyZaklad, U"10");
                      EXPECT_EQ(r.options.txtCiselnyZaklad, U"10");
                  }},
        ValidCase{"non-UTF-8 bytes survive", {"--name", std::string("a\xFF")},
                  [](const Request& r) { EXPECT_EQ(r.options.txtJmeno, (Text{U'a', 0xDCFF})); }},
        ValidCase{"folder", {"--stats", "/tmp/x"}, [](const Request& r) { EXPECT_EQ(r.folder, "/tmp/x"); }},
        ValidCase{"a lone dash is a folder", {"-"}, [](const Request& r) { EXPECT_EQ(r.folder, "-"); }},
        ValidCase{"double dash ends options", {"--", "--apply"},
                  [](const Request& r) {
                      EXPECT_EQ(r.folder, "--apply");
                      EXPECT_FALSE(r.apply);
                  }},
        ValidCase{"samples in order with a counter", {"--sample", "b", "--counter=-12", "--sample=a"},
                  [](const Request& r) {
                      EXPECT_EQ(r.action, Action::Samples);
                      EXPECT_EQ(r.samples, (std::vector<std::string>{"b", "a"}));
                      EXPECT_EQ(r.counter, -12);
                  }},
        ValidCase{"counter up to 2^53", {"--sample", "x", "--counter", "+9007199254740992"},
                  [](const Request& r) { EXPECT_EQ(r.counter, 9007199254740992.0); }},
        ValidCase{"edit from standard input", {"--edit", "-"},
                  [](const Request& r) {
                      EXPECT_TRUE(r.edit);
                      EXPECT_EQ(r.editFile, "-");
                  }},
        ValidCase{"help wins over what follows", {"--help", "--bogus"},
                  [](const Request& r) { EXPECT_EQ(r.action, Action::Help); }},
        ValidCase{"version", {"--name", "x", "--version"},
                  [](const Request& r) { EXPECT_EQ(r.action, Action::Version); }}));

struct InvalidCase {
    const char* label;
    std::vector<std::string> args;
    const char* messagePart;  // the message must name what is wrong
};

void PrintTo(const InvalidCase& c, std::ostream* os) { *os << c.label; }

class InvalidArgs : public ::testing::TestWithParam<InvalidCase> {};

TEST_P(InvalidArgs, AreUsageErrors) {
    const ParseResult result = parseArgs(GetParam().args);
    ASSERT_FALSE(result.ok());
    EXPECT_NE(result.error.find(GetParam().messagePart), std::string::npos) << result.error;
    EXPECT_EQ(result.error.find('\n'), std::string::npos) << "one line only";
}

INSTANTIATE_TEST_SUITE_P(
    Options, InvalidArgs,
    ::testing::Values(InvalidCase{"unknown long option", {"--bogus"}, "--bogus"},
                      InvalidCase{"unknown joined option", {"--bogus=1"}, "--bogus"},
                      InvalidCase{"short option", {"-n"}, "-n"},
                      InvalidCase{"option prefix is not enough", {"--nam", "x"}, "--nam"},
                      InvalidCase{"missing value", {"--name"}, "--name"},
                      InvalidCase{"missing value at the end", {"--stats", "--filter"}, "--filter"},
                      InvalidCase{"flag with a value", {"--apply=yes"}, "--apply"},
                      InvalidCase{"help with a value", {"--help=1"}, "--help"},
                      InvalidCase{"bad case", {"--case", "Upper"}, "Upper"},
                      InvalidCase{"empty choice", {"--sort="}, "--sort"},
                      InvalidCase{"bad numbering", {"--numbering", "2"}, "--numbering"},
                      InvalidCase{"bad keep mode", {"--keep-mode", "Format"}, "--keep-mode"},
                      InvalidCase{"digit set with a blank", {"--digits", "0-9 a-z"}, "--digits"},
                      InvalidCase{"bad old digit set", {"--old-digits", "hex"}, "--old-digits"},
                      InvalidCase{"bad separators", {"--separators", "1"}, "--separators"},
                      InvalidCase{"bad kind", {"--kind", "file"}, "--kind"},
                      InvalidCase{"signed start", {"--start", "-1"}, "--start"},
                      InvalidCase{"blank in start", {"--start", " 1"}, "--start"},
                      InvalidCase{"radix with letters", {"--radix", "1a"}, "--radix"},
                      InvalidCase{"old radix with a sign", {"--old-radix", "+8"}, "--old-radix"},
                      InvalidCase{"empty counter", {"--sample", "x", "--counter", ""}, "--counter"},
                      InvalidCase{"fractional counter", {"--counter", "1.5"}, "--counter"},
                      InvalidCase{"bare sign counter", {"--counter", "-"}, "--counter"},
                      InvalidCase{"counter beyond 2^53", {"--counter", "9007199254740993"}, "--counter"},
                      InvalidCase{"empty edit file", {"--edit="}, "--edit"},
                      InvalidCase{"two folders", {"a", "b"}, "FOLDER"},
                      InvalidCase{"sample with a folder", {"--sample", "x", "dir"}, "FOLDER"},
                      InvalidCase{"sample with a folder after --", {"--sample", "x", "--", "dir"}, "FOLDER"},
                      InvalidCase{"sample with apply", {"--sample", "x", "--apply"}, "--apply"},
                      InvalidCase{"sample with edit", {"--edit", "f", "--sample", "x"}, "--edit"},
                      InvalidCase{"sample with stats", {"--stats", "--sample", "x"}, "--stats"},
                      InvalidCase{"error before help", {"--case", "x", "--help"}, "--case"}));

TEST(NormaliseRadix, LikeTheWindowOnFocusLoss) {
    struct Case {
        const char* text;
        int limit;
        const char* expected;
    };
    const Case cases[] = {
        {"", 10, "2"},     {"0", 10, "2"},     {"1", 36, "2"},     {"2", 10, "2"},
        {"007", 10, "7"},  {"10", 10, "10"},   {"11", 10, "10"},   {"40", 26, "26"},
        {"26", 26, "26"},  {"30", 36, "30"},   {"40", 36, "36"},   {"99999999999999999999", 36, "36"},
        {"16", 10, "10"},  {"0016", 36, "16"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(normaliseRadix(T(c.text), c.limit), T(c.expected)) << c.text << " / " << c.limit;
    }
}

TEST(Usage, ListsEveryOption) {
    const std::string usage = usageText();
    for (const char* option :
         {"--name", "--ext", "--mirror-name", "--mirror-ext", "--case", "--numbering", "--start", "--step",
          "--same-by-ext", "--zero-first", "--insert-zero", "--keep-mode", "--digits", "--radix",
          "--old-digits", "--old-radix", "--no-diacritics", "--separators", "--replace", "--with", "--whole",
          "--remove", "--reverse-name", "--reverse-ext", "--sort", "--numeric", "--descending", "--kind",
          "--filter", "--stats", "--sample", "--counter", "--edit", "--apply", "--help", "--version"}) {
        EXPECT_NE(usage.find(option), std::string::npos) << option;
        // Every option the help lists is one the parser knows.
        std::vector<std::string> args{option};
        const ParseResult result = parseArgs(args);
        EXPECT_EQ(result.error.find("unrecognized"), std::string::npos) << option;
    }
}

}  // namespace
