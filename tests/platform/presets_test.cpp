#include "platform/presets.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/temp_folder.h"

using namespace zelvar;
using zelvar::testing::TempFolder;

namespace {

// Every test gets a config folder of its own.
class Presets : public ::testing::Test {
protected:
    void SetUp() override { setenv("XDG_CONFIG_HOME", config.path().c_str(), 1); }
    void TearDown() override { unsetenv("XDG_CONFIG_HOME"); }
    std::string folder() const { return config.path() + "/zelvar/presets"; }
    void writeRaw(const std::string& file, const std::string& text) {
        ASSERT_EQ(savePreset("x", Preset{}, true), U"");  // makes the folder
        std::ofstream(folder() + "/" + file, std::ios::binary) << text;
    }
    TempFolder config;
};

// One row per stored option with a value other than its start value, its texts and its numbers.
const std::vector<std::pair<Text RenameOptions::*, Text>> kTexts = {
    {&RenameOptions::txtJmeno, U"Foto_:::\\x=1\n\t\U0001F422"},
    {&RenameOptions::txtExt, U"JPG\r"},
    {&RenameOptions::txtCisloOd, U"007"},
    {&RenameOptions::txtDif, U"-2"},
    {&RenameOptions::txtCiselnyZaklad, U"16"},
    {&RenameOptions::txtZachovatCiselnyZaklad, U"8"},
    {&RenameOptions::txtZamenitCo, U"a=b"},
    {&RenameOptions::txtZamenitZaCo, U"#=é"},
    {&RenameOptions::txtOdstranit, fromUtf8("\xffx")},  // a byte that is not UTF-8
    {&RenameOptions::txtVyhlFiltr, U""},
};
const std::vector<std::pair<int RenameOptions::*, int>> kNumbers = {
    {&RenameOptions::chkObratitJm, 1},     {&RenameOptions::chkObratitEx, 1},
    {&RenameOptions::optVelikost, 3},      {&RenameOptions::optCitac, 2},
    {&RenameOptions::chkStejnePripony, 1}, {&RenameOptions::chkINula, 1},
    {&RenameOptions::chkCisloNula, 1},     {&RenameOptions::optZachovatCisla, 1},
    {&RenameOptions::optTypCislovani, 2},  {&RenameOptions::optZachovatTypCislovani, 1},
    {&RenameOptions::chkBezDia, 1},        {&RenameOptions::cboPauzy, 5},
    {&RenameOptions::chkZamenaVse, 1},     {&RenameOptions::chkJmeno, 1},
    {&RenameOptions::chkExt, 1},           {&RenameOptions::optRazeni, 3},
    {&RenameOptions::chkCisla, 1},         {&RenameOptions::chkObracene, 1},
    {&RenameOptions::optFile, 2},          {&RenameOptions::chkRegVyraz, 1},
    {&RenameOptions::optDatum, 1},         {&RenameOptions::chkKazdy, 1},
};

TEST_F(Presets, EveryOptionAndTheLayoutSurviveARoundTrip) {
    Preset preset;
    preset.layout = 0;
    preset.options.txtCesta = U"/home/x";
    for (const auto& [field, value] : kTexts) preset.options.*field = value;
    for (const auto& [field, value] : kNumbers) preset.options.*field = value;
    // A stored option without a row above would go untested.
    const std::string stored = presetText("a", preset);
    EXPECT_EQ(std::count(stored.begin(), stored.end(), '\n'), long(kTexts.size() + kNumbers.size()) + 3);
    EXPECT_EQ(stored.find("/home/x"), std::string::npos) << "the folder is no part of a preset";

    ASSERT_EQ(savePreset("a", preset, false), U"");
    const PresetRead read = loadPreset("a");
    ASSERT_TRUE(read.ok()) << toUtf8(read.error);
    EXPECT_EQ(read.name, "a");
    EXPECT_EQ(read.preset.layout, 0);
    EXPECT_EQ(read.preset.options.txtCesta, U"");
    for (const auto& [field, value] : kTexts) EXPECT_EQ(read.preset.options.*field, value) << toUtf8(value);
    for (const auto& [field, value] : kNumbers) EXPECT_EQ(read.preset.options.*field, value);
}

TEST_F(Presets, UnknownKeysArePassedOverAndMissingKeysKeepTheirStartValues) {
    const PresetRead read =
        parsePreset("zelvar-preset 1\r\npreset-name=p\r\n# comment\r\n\r\nfuture-option=7\r\ncase=lower\r\n");
    ASSERT_TRUE(read.ok()) << toUtf8(read.error);
    EXPECT_EQ(read.preset.options.optVelikost, 1);
    EXPECT_EQ(read.preset.options.txtJmeno, RenameOptions{}.txtJmeno);
    EXPECT_EQ(read.preset.options.txtVyhlFiltr, RenameOptions{}.txtVyhlFiltr);
    EXPECT_EQ(read.preset.layout, 1);
}

// A preset keeps what the window's fields may hold: an edited file cannot put a character that a
// file name may not contain into the replacement, and a list with no item selected is stored as the
// item it acts as.
TEST_F(Presets, LoadingKeepsTheRulesOfTheFields) {
    const PresetRead read =
        parsePreset("zelvar-preset 1\npreset-name=p\nreplace=a/b\\\\c:*?\nwith=<x>|\"\nremove=/:\nlayout=simple\n");
    ASSERT_TRUE(read.ok()) << toUtf8(read.error);
    EXPECT_EQ(read.preset.options.txtZamenitCo, U"abc");
    EXPECT_EQ(read.preset.options.txtZamenitZaCo, U"x");
    EXPECT_EQ(read.preset.options.txtOdstranit, U"/:") << "characters to remove may be any";
    EXPECT_EQ(read.preset.layout, 0);

    Preset typed;
    typed.options.cboPauzy = -1;
    const std::string text = presetText("p", typed);
    EXPECT_NE(text.find("\nseparators=keep\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nlayout=professional\n"), std::string::npos) << text;
    EXPECT_EQ(parsePreset(text).preset.options.cboPauzy, 0);
}

TEST_F(Presets, ADamagedFileLoadsNothingAndSaysWhy) {
    // Whole files, then what follows a sound header.
    const std::pair<std::string, std::string> damaged[] = {
        {"", "není předvolba"},
        {"[General]\ncase=1\n", "není předvolba"},
        {"zelvar-preset 2\npreset-name=p\n", "není předvolba"},
        {"zelvar-preset 1\ncase=lower\n", "chybí klíč preset-name"},
    };
    const std::pair<std::string, std::string> bodies[] = {
        {"case\n", "řádek 3): chybí znak ="},
        {"case=2\n", "case musí být jedna z: keep, lower, upper, title"},
        {"case=Upper\n", "case musí být"},
        {"separators=-1\n", "separators musí být jedna z"},
        {"whole=yes\n", "whole musí být 0 nebo 1"},
        {"start=1a\n", "start smí mít jen číslice"},
        {"layout=1\n", "rozvržení"},
        {"name=a\\q\n", "zpětné lomítko"},
        {"name=a\\x4\n", "zpětné lomítko"},
        {"case=lower\ncase=upper\n", "dvakrát"},
        {"case=upper\nkind=all\n", "kind musí být"},
    };
    auto all = std::vector(std::begin(damaged), std::end(damaged));
    for (const auto& [body, reason] : bodies) all.emplace_back("zelvar-preset 1\npreset-name=p\n" + body, reason);
    for (const auto& [text, reason] : all) {
        const PresetRead read = parsePreset(text);
        EXPECT_FALSE(read.ok()) << text;
        EXPECT_NE(toUtf8(read.error).find(reason), std::string::npos) << toUtf8(read.error);
        EXPECT_EQ(read.preset.options.optVelikost, 0) << "nothing of a damaged preset counts";
    }
    writeRaw(presetFileName("bad"), "zelvar-preset 1\npreset-name=bad\ncase=9\n");
    EXPECT_FALSE(loadPreset("bad").ok());
    // Still listed, so that choosing it can say what is wrong.
    const auto names = presetNames();
    EXPECT_NE(std::find(names.begin(), names.end(), "bad"), names.end());
    // A file under the name of another preset is not that preset.
    writeRaw(presetFileName("mine"), "zelvar-preset 1\npreset-name=other\n");
    EXPECT_NE(toUtf8(loadPreset("mine").error).find("jiné jméno"), std::string::npos);
}

TEST_F(Presets, AnyNameStaysInsideTheFolderAsAVisibleFile) {
    std::vector<std::string> names = {"../x", "a/b", ".", "..", ".hidden", "Dovolená 2024 🐢", "a%2Fb", "\xff\xfe", "-"};
    names.insert(names.end(), {std::string("n\0ul", 4), std::string(300, 'x'), std::string(300, 'x') + "y"});
    for (const std::string& name : names) {
        const std::string file = presetFileName(name);
        EXPECT_EQ(file.find('/'), std::string::npos) << file;
        EXPECT_NE(file[0], '.') << file;
        EXPECT_LE(file.size(), 255u) << name;
        Preset preset;
        preset.options.txtJmeno = fromUtf8(name.substr(0, 20));
        ASSERT_EQ(savePreset(name, preset, false), U"") << name;
        const PresetRead read = loadPreset(name);
        ASSERT_TRUE(read.ok()) << toUtf8(read.error);
        EXPECT_EQ(read.name, name);
        EXPECT_EQ(read.preset.options.txtJmeno, fromUtf8(name.substr(0, 20)));
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(presetNames(), names);
    // Nothing was written beside the presets' folder.
    struct stat st;
    EXPECT_NE(lstat((config.path() + "/zelvar/x.preset").c_str(), &st), 0);
    EXPECT_NE(lstat((config.path() + "/zelvar/presets/a").c_str(), &st), 0);
    EXPECT_NE(savePreset("", Preset{}, false), U"");
    EXPECT_FALSE(loadPreset("").ok());
}

TEST_F(Presets, SavingKeepsAnExistingPresetUnlessToldToReplaceIt) {
    Preset first, second;
    first.options.optVelikost = 1;
    second.options.optVelikost = 2;
    ASSERT_EQ(savePreset("p", first, false), U"");
    EXPECT_EQ(savePreset("p", second, false), U"Předvolba „p“ už existuje.");
    EXPECT_EQ(loadPreset("p").preset.options.optVelikost, 1);
    ASSERT_EQ(savePreset("p", second, true), U"");
    EXPECT_EQ(loadPreset("p").preset.options.optVelikost, 2);
    // No temporary file is left behind.
    EXPECT_EQ(presetNames(), std::vector<std::string>{"p"});
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder()), {}), 1);
}

TEST_F(Presets, RenameAndRemove) {
    Preset preset;
    preset.options.optRazeni = 2;
    ASSERT_EQ(savePreset("old", preset, false), U"");
    ASSERT_EQ(savePreset("taken", Preset{}, false), U"");
    EXPECT_EQ(renamePreset("old", "taken"), U"Předvolba „taken“ už existuje.");
    EXPECT_TRUE(presetExists("old"));
    EXPECT_EQ(renamePreset("old", "new/name"), U"");
    EXPECT_FALSE(presetExists("old"));
    EXPECT_EQ(loadPreset("new/name").preset.options.optRazeni, 2);
    EXPECT_EQ(removePreset("new/name"), U"");
    EXPECT_EQ(removePreset("new/name"), U"Předvolba „new/name“ neexistuje.");
    EXPECT_EQ(presetNames(), std::vector<std::string>{"taken"});
}

}  // namespace
