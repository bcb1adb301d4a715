#include "platform/presets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "engine/optionkeys.h"
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

// One row per stored option with a value other than its start value, its texts (one with a byte that
// is not UTF-8), and its numbers.
using O = RenameOptions;
const std::vector<std::pair<Text O::*, Text>> kTexts = {
    {&O::txtJmeno, U"Foto_:::\\x=1\n\t\U0001F422"},
    {&O::txtExt, U"JPG\r"},
    {&O::txtCisloOd, U"007"},
    {&O::txtDif, U"-2"},
    {&O::txtCiselnyZaklad, U"16"},
    {&O::txtZachovatCiselnyZaklad, U"8"},
    {&O::txtZamenitCo, U"a=b"},
    {&O::txtZamenitZaCo, U"#=é"},
    {&O::txtOdstranit, fromUtf8("\xffx")},
    {&O::txtVyhlFiltr, U""},
};
// Each flag and choice with a value other than its start value.
template <auto Field, class V>
std::pair<NumberField, int> number(V value) {
    return {numberField<Field>(), static_cast<int>(value)};
}
const std::vector<std::pair<NumberField, int>> kNumbers = {
    number<&O::chkObratitJm>(1),
    number<&O::chkObratitEx>(1),
    number<&O::optVelikost>(Velikost::PrvniVelka),
    number<&O::optCitac>(Citac::Zachovat),
    number<&O::chkStejnePripony>(1),
    number<&O::chkINula>(1),
    number<&O::chkCisloNula>(1),
    number<&O::optZachovatCisla>(ZachovatCisla::FormatPresun),
    number<&O::optTypCislovani>(TypCislovani::CislicePismena),
    number<&O::optZachovatTypCislovani>(TypCislovani::Pismena),
    number<&O::chkBezDia>(1),
    number<&O::cboPauzy>(Pauzy::OdstranitMimoPomlcky),
    number<&O::chkZamenaVse>(1),
    number<&O::chkJmeno>(1),
    number<&O::chkExt>(1),
    number<&O::optRazeni>(Razeni::Neradit),
    number<&O::chkCisla>(1),
    number<&O::chkObracene>(1),
    number<&O::optFile>(File::Oboje),
    number<&O::chkRegVyraz>(1),
    number<&O::optDatum>(Datum::Porizeni),
    number<&O::chkKazdy>(1),
};

TEST_F(Presets, EveryOptionAndTheLayoutSurviveARoundTrip) {
    Preset preset;
    preset.layout = 0;
    preset.options.txtCesta = U"/home/x";
    for (const auto& [field, value] : kTexts) preset.options.*field = value;
    for (const auto& [field, value] : kNumbers) field.set(preset.options, value);
    // A stored option without a row above would go untested.
    const std::string stored = presetText("a", preset);
    EXPECT_EQ(std::count(stored.begin(), stored.end(), '\n'), long(kTexts.size() + kNumbers.size()) + 3);
    EXPECT_EQ(stored.find("/home/x"), std::string::npos) << "the folder is no part of a preset";

    ASSERT_EQ(savePreset("a", preset, false), U"");
    const PresetRead read = loadPreset("a");
    ASSERT_TRUE(read.ok()) << toUtf8(read.error);
    EXPECT_EQ(read.preset.layout, 0);
    for (const auto& [field, value] : kTexts) EXPECT_EQ(read.preset.options.*field, value) << toUtf8(value);
    for (const auto& [field, value] : kNumbers) EXPECT_EQ(field.get(read.preset.options), value);
}

// Unknown keys are passed over and missing ones keep their start values. A preset keeps what the
// window's fields may hold: an edited file cannot put a character that a file name may not contain
// into the replacement, and a list with no item selected is stored as the item it acts as.
TEST_F(Presets, LoadingPassesOverUnknownKeysAndKeepsTheRulesOfTheFields) {
    const PresetRead read = parsePreset(
        "zelvar-preset 1\r\npreset-name=p\r\n# comment\r\n\r\nfuture-option=7\r\ncase=lower\r\n"
        "replace=a/b\\\\c:*?\r\nwith=<x>|\"\r\nremove=/:\r\n");
    ASSERT_TRUE(read.ok()) << toUtf8(read.error);
    const RenameOptions& o = read.preset.options;
    EXPECT_EQ(o.optVelikost, Velikost::Mala);
    EXPECT_EQ(o.txtJmeno, RenameOptions{}.txtJmeno);
    EXPECT_EQ(read.preset.layout, 1);
    EXPECT_EQ(o.txtZamenitCo, U"abc");
    EXPECT_EQ(o.txtZamenitZaCo, U"x");
    EXPECT_EQ(o.txtOdstranit, U"/:") << "characters to remove may be any";

    Preset typed;
    typed.options.cboPauzy = Pauzy::Nevybrano;
    const std::string text = presetText("p", typed);
    EXPECT_NE(text.find("\nseparators=keep\n"), std::string::npos) << text;
    EXPECT_EQ(parsePreset(text).preset.options.cboPauzy, Pauzy::BezeZmeny);
}

TEST_F(Presets, ADamagedFileLoadsNothingAndSaysWhy) {
    // Whole files, then what follows a sound header.
    const std::string h = "zelvar-preset 1\npreset-name=p\n";
    const std::pair<std::string, std::string> damaged[] = {
        {"", "není předvolba"},
        {"[General]\ncase=1\n", "není předvolba"},
        {"zelvar-preset 2\npreset-name=p\n", "není předvolba"},
        {"zelvar-preset 1\ncase=lower\n", "chybí klíč preset-name"},
        {h + "case\n", "řádek 3): chybí znak ="},
        {h + "case=2\n", "case musí být jedna z: keep, lower, upper, title"},
        {h + "case=Upper\n", "case musí být"},
        {h + "separators=-1\n", "separators musí být jedna z"},
        {h + "whole=yes\n", "whole musí být 0 nebo 1"},
        {h + "start=1a\n", "start smí mít jen číslice"},
        {h + "layout=1\n", "rozvržení"},
        {h + "name=a\\q\n", "zpětné lomítko"},
        {h + "name=a\\x4\n", "zpětné lomítko"},
        {h + "case=lower\ncase=upper\n", "dvakrát"},
        {h + "case=upper\nkind=all\n", "kind musí být"},
    };
    for (const auto& [text, reason] : damaged) {
        const PresetRead read = parsePreset(text);
        EXPECT_FALSE(read.ok()) << text;
        EXPECT_NE(toUtf8(read.error).find(reason), std::string::npos) << toUtf8(read.error);
        EXPECT_EQ(read.preset.options.optVelikost, Velikost::Zachovat) << "nothing of a damaged preset counts";
    }
    writeRaw(presetFileName("bad"), "zelvar-preset 1\npreset-name=bad\ncase=9\n");
    EXPECT_FALSE(loadPreset("bad").ok());
    // Still listed, so that choosing it can say what is wrong.
    EXPECT_EQ(presetNames(), (std::vector<std::string>{"bad", "x"}));
    // A file under the name of another preset is not that preset.
    writeRaw(presetFileName("mine"), "zelvar-preset 1\npreset-name=other\n");
    EXPECT_NE(toUtf8(loadPreset("mine").error).find("jiné jméno"), std::string::npos);
}

TEST_F(Presets, AnyNameStaysInsideTheFolderAsAVisibleFile) {
    std::vector<std::string> names = {"../x", "a/b", ".", "..", ".hidden", "Dovolená 2024 🐢", "a%2Fb", "\xff\xfe", "-"};
    names.insert(names.end(), {std::string("n\0ul", 4), std::string(300, 'x'), std::string(300, 'x') + "y"});
    for (const std::string& name : names) {
        const std::string file = presetFileName(name);
        EXPECT_TRUE(file.find('/') == std::string::npos && file[0] != '.' && file.size() <= 255) << file;
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
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(config.path() + "/zelvar"), {}), 1);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder()), {}), long(names.size()));
    EXPECT_NE(savePreset("", Preset{}, false), U"");
    EXPECT_FALSE(loadPreset("").ok());
}

TEST_F(Presets, SavingAndRenamingKeepAnExistingPresetUnlessToldToReplaceIt) {
    Preset first, second;
    first.options.optVelikost = Velikost::Mala;
    second.options.optVelikost = Velikost::Velka;
    ASSERT_EQ(savePreset("p", first, false), U"");
    EXPECT_EQ(savePreset("p", second, false), U"Předvolba „p“ už existuje.");
    EXPECT_EQ(loadPreset("p").preset.options.optVelikost, Velikost::Mala);
    ASSERT_EQ(savePreset("p", second, true), U"");
    EXPECT_EQ(loadPreset("p").preset.options.optVelikost, Velikost::Velka);
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder()), {}), 1);

    ASSERT_EQ(savePreset("taken", Preset{}, false), U"");
    EXPECT_EQ(renamePreset("p", "taken"), U"Předvolba „taken“ už existuje.");
    EXPECT_TRUE(presetExists("p"));
    EXPECT_EQ(renamePreset("p", "new/name"), U"");
    EXPECT_FALSE(presetExists("p"));
    EXPECT_EQ(loadPreset("new/name").preset.options.optVelikost, Velikost::Velka);
    EXPECT_EQ(removePreset("new/name"), U"");
    EXPECT_EQ(removePreset("new/name"), U"Předvolba „new/name“ neexistuje.");
    EXPECT_EQ(presetNames(), std::vector<std::string>{"taken"});
}

// Where the system refuses, the message says what could not be done and the system's reason.
TEST_F(Presets, ASystemFailureSaysWhatFailedAndWhy) {
    config.file("zelvar");  // where the folder of presets must go
    EXPECT_EQ(toUtf8(savePreset("p", Preset{}, false)),
              "Složku předvoleb " + folder() + " nelze vytvořit: " + std::strerror(ENOTDIR));
    std::filesystem::remove(config / "zelvar");
    std::filesystem::create_directories(folder() + "/" + presetFileName("p"));
    EXPECT_EQ(toUtf8(loadPreset("p").error), std::string("Předvolbu nelze přečíst: ") + std::strerror(EISDIR));
    EXPECT_EQ(toUtf8(savePreset("p", Preset{}, true)), std::string("Předvolbu nelze uložit: ") + std::strerror(EISDIR));
}

}  // namespace
