#include "engine/keyfilter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>

namespace zelvar {
namespace {

struct KeyCase {
    const char* label;
    char32_t key;
    const char* mode;
    const char* list;
    char32_t expected;
    bool beep;
    bool message = false;
};

void PrintTo(const KeyCase& c, std::ostream* os) { *os << c.label; }

class KontrolaZnakuTest : public ::testing::TestWithParam<KeyCase> {};

TEST_P(KontrolaZnakuTest, Verdict) {
    const KeyCase& c = GetParam();
    const KeyVerdict v = KontrolaZnaku(c.key, T(c.mode), T(c.list));
    EXPECT_EQ(static_cast<std::uint32_t>(v.code), static_cast<std::uint32_t>(c.expected));
    EXPECT_EQ(v.beep, c.beep);
    EXPECT_EQ(v.message, c.message);
}

constexpr char32_t kCtrlV = 22;

const KeyCase kControlKeys[] = {
    {"backspace_digits_mode", 8, "c", "", 8, false},
    {"tab_digits_mode", 9, "c", "", 9, false},
    {"enter_becomes_tab", 13, "c", "", 9, false},
    {"enter_in_list_mode", 13, "P", "", 9, false},
    {"backspace_in_unknown_mode", 8, "x", "", 8, false},
    {"enter_in_unknown_mode", 13, "", "", 9, false},
};
INSTANTIATE_TEST_SUITE_P(ControlKeys, KontrolaZnakuTest, ::testing::ValuesIn(kControlKeys));

const KeyCase kDigitModes[] = {
    {"C_zero", U'0', "C", "", U'0', false},
    {"c_nine", U'9', "c", "", U'9', false},
    {"c_slash_below_zero", U'/', "c", "", 0, true},
    {"c_colon_above_nine", U':', "c", "", 0, true},
    {"c_letter", U'a', "c", "", 0, true},
    {"c_ctrl_v", kCtrlV, "c", "", 0, true},
    {"c_space", U' ', "c", "", 0, true},
    {"c_arabic_indic_digit", U'\u0663', "c", "", 0, true},
    {"Z_digit", U'5', "Z", "", U'5', false},
    {"Z_minus_list_starts_with_it", U'-', "Z", "-+", U'-', false},
    {"z_plus_list_starts_with_it", U'+', "z", "+", U'+', false},
    {"Z_minus_empty_list", U'-', "Z", "", 0, true},
    {"Z_minus_later_in_list", U'-', "Z", "+-", 0, true},
    {"Z_comma", U',', "Z", "", 0, true},
    {"R_digit", U'7', "R", "", U'7', false},
    {"R_minus_first", U'-', "r", "-", U'-', false},
    {"R_plus_not_first", U'+', "R", "1+", 0, true},
    {"R_dot_becomes_comma", U'.', "R", "12", U',', false},
    {"R_comma_free", U',', "r", "", U',', false},
    {"R_dot_already_in_list", U'.', "R", "1.5", 0, true},
    {"R_comma_when_only_dot_in_list", U',', "R", "1.5", U',', false},
    {"R_letter", U'e', "R", "", 0, true},
    {"K_dot_becomes_comma", U'.', "K", "12", U',', false},
    {"k_comma_free", U',', "k", "", U',', false},
    {"plus_mode_dot", U'.', "+", "3", U',', false},
    {"K_second_separator", U'.', "K", "1,5", 0, true},
    {"K_digit", U'3', "K", "1,5", U'3', false},
    {"K_minus", U'-', "K", "-", 0, true},
};
INSTANTIATE_TEST_SUITE_P(DigitModes, KontrolaZnakuTest, ::testing::ValuesIn(kDigitModes));

const KeyCase kListModes[] = {
    {"P_empty_list_message", U'a', "P", "", 0, true, true},
    {"p_empty_list_digit_message", U'1', "p", "", 0, true, true},
    {"P_in_list", U'b', "P", "abc", U'b', false},
    {"P_not_in_list", U'd', "P", "abc", 0, true},
    {"P_digit_is_any_character", U'5', "P", "abc", 0, true},
    {"P_case_sensitive", U'B', "P", "abc", 0, true},
    {"P_accented_in_list", U'č', "P", "čř", U'č', false},
    {"N_empty_list_accepts", U'5', "N", "", U'5', false},
    {"n_empty_list_accepts_symbol", U'*', "n", "", U'*', false},
    {"N_in_list", U'a', "N", "ab", 0, true},
    {"N_not_in_list", U'c', "N", "ab", U'c', false},
    {"N_digit_in_list", U'1', "N", "1", 0, true},
};
INSTANTIATE_TEST_SUITE_P(ListModes, KontrolaZnakuTest, ::testing::ValuesIn(kListModes));

const KeyCase kNameModes[] = {
    {"f_slash", U'/', "f", "", 0, true},
    {"WIN_backslash", U'\\', "WIN", "", 0, true},
    {"win_less", U'<', "win", "", 0, true},
    {"f_greater", U'>', "f", "", 0, true},
    {"f_pipe", U'|', "f", "", 0, true},
    {"f_colon", U':', "f", "", 0, true},
    {"f_star", U'*', "f", "", 0, true},
    {"f_question", U'?', "f", "", 0, true},
    {"f_quote", U'"', "f", "", 0, true},
    {"f_letter", U'a', "f", "", U'a', false},
    {"f_accented", U'ř', "f", "", U'ř', false},
    {"f_ignores_list", U'a', "f", "a", U'a', false},
    {"F_space", U' ', "F", "", 0, true},
    {"F_exclamation", U'!', "F", "", 0, true},
    {"DOS_apostrophe", U'\'', "DOS", "", 0, true},
    {"dos_backtick", U'`', "dos", "", 0, true},
    {"F_semicolon", U';', "F", "", 0, true},
    {"F_equals", U'=', "F", "", 0, true},
    {"F_delete", 127, "F", "", 0, true},
    {"F_euro_cp1250_0x80", U'€', "F", "", 0, true},
    {"F_c_caron_cp1250_0xE8", U'č', "F", "", 0, true},
    {"F_nbsp_cp1250_0xA0", U'\u00A0', "F", "", 0, true},
    {"F_outside_code_page", U'\u3042', "F", "", 0, true},
    {"F_letter", U'Z', "F", "", U'Z', false},
    {"F_digit", U'5', "F", "", U'5', false},
    {"F_quote_passes", U'"', "F", "", U'"', false},
    {"F_ampersand", U'&', "F", "", U'&', false},
    {"F_brackets", U'[', "F", "", U'[', false},
    {"F_underscore", U'_', "F", "", U'_', false},
    {"F_tilde", U'~', "F", "", U'~', false},
    {"F_ignores_list", U'a', "F", "a", U'a', false},
};
INSTANTIATE_TEST_SUITE_P(NameModes, KontrolaZnakuTest, ::testing::ValuesIn(kNameModes));

const KeyCase kUnknownModes[] = {
    {"empty_mode_letter", U'a', "", "", 0, false},
    {"empty_mode_digit", U'5', "", "", 0, false},
    {"Win_is_not_win", U'a', "Win", "", 0, false},
    {"Dos_is_not_dos", U'a', "Dos", "", 0, false},
    {"cc_is_not_c", U'5', "cc", "", 0, false},
    {"mode_with_blank", U'5', "c ", "", 0, false},
};
INSTANTIATE_TEST_SUITE_P(UnknownModes, KontrolaZnakuTest, ::testing::ValuesIn(kUnknownModes));

TEST(RadixKeyPress, DigitsPassOthersDropSilently) {
    EXPECT_TRUE(radixKeyPress(U"12", U'0').insert);
    EXPECT_TRUE(radixKeyPress(U"", U'9').insert);
    for (char32_t key : {U'a', U'-', U' ', char32_t{9}, char32_t{13}, char32_t{22}}) {
        const RadixKey r = radixKeyPress(U"12", key);
        EXPECT_FALSE(r.insert) << static_cast<std::uint32_t>(key);
        EXPECT_EQ(r.text, U"12");
    }
}

TEST(RadixKeyPress, BackspaceAlwaysRemovesTheLastCharacter) {
    const RadixKey r = radixKeyPress(U"1234", 8);
    EXPECT_FALSE(r.insert);
    EXPECT_EQ(r.text, U"123");
    EXPECT_EQ(radixKeyPress(U"7", 8).text, U"");
    EXPECT_EQ(radixKeyPress(U"", 8).text, U"");
}

struct RadixCase {
    const char* text;
    int digitSet;
    const char* normalised;
    const char* capped;
};

TEST(RadixField, NormaliseAndCap) {
    const RadixCase cases[] = {
        {"", 0, "2", ""},
        {"0", 0, "2", "0"},
        {"1", 2, "2", "1"},
        {"2", 0, "2", "2"},
        {"007", 0, "7", "007"},
        {"10", 0, "10", "10"},
        {"11", 0, "10", "10"},
        {"40", 0, "10", "10"},
        {"40", 1, "26", "26"},
        {"40", 2, "36", "36"},
        {"30", 1, "26", "26"},
        {"26", 2, "26", "26"},
        {"36", 2, "36", "36"},
        {"0036", 2, "36", "0036"},
        {"99999999999999999999", 1, "26", "26"},
        {"12abc", 0, "10", "10"},
        {"abc", 1, "2", "abc"},
    };
    for (const RadixCase& c : cases) {
        EXPECT_EQ(toUtf8(normaliseRadix(T(c.text), c.digitSet)), c.normalised)
            << c.text << " set " << c.digitSet;
        EXPECT_EQ(toUtf8(capRadix(T(c.text), c.digitSet)), c.capped) << c.text << " set " << c.digitSet;
    }
}

}  // namespace
}  // namespace zelvar
