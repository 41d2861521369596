#include "account/password_scramble.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Draws the given values in turn, then keeps giving "#" (35).
FillerDraw Script(std::vector<int> values) {
    auto shared = std::make_shared<std::vector<int>>(std::move(values));
    auto next = std::make_shared<std::size_t>(0);
    return [shared, next] { return *next < shared->size() ? (*shared)[(*next)++] : 35; };
}

TEST(Scramble, WorkedExampleAbc) {
    // Fillers: positions 1, 4, 5 get "A", "B", "C" (9 would be "D" but is cut).
    EXPECT_EQ(ScramblePassword("abc", Script({65, 66, 67, 68})), "AcfBC_");
}

TEST(Scramble, FillersBelow35AreDrawnAgain) {
    // 0 and 34 are refused; 35 ("#") and 121 ("y") are the bounds.
    EXPECT_EQ(ScramblePassword("abcde", Script({0, 34, 35, 121, 40, 41})), "#cfy(_ic)");
    std::string stored = ScramblePassword("abcdefgh", Script({0, 34, 35, 121, 40, 41}));
    ASSERT_EQ(stored.size(), 12u);
    EXPECT_EQ(std::string() + stored[0] + stored[3] + stored[4] + stored[8], "#y()");
}

struct LengthCase {
    const char* name;
    const char* password;
    std::size_t stored;
};
const LengthCase kLengths[] = {
    {"empty_keeps_first_filler", "", 1},
    {"one_char", "a", 2},
    {"two_chars", "ab", 5},
    {"three_chars", "abc", 6},
    {"four_chars", "abcd", 7},
    {"five_chars", "abcde", 9},
    {"six_chars", "abcdef", 10},
    {"seven_chars", "abcdefg", 11},
    {"eight_chars", "abcdefgh", 12},
    {"ten_chars_keep_eight", "abcdefghij", 12},
};
class ScrambleLength : public testing::TestWithParam<LengthCase> {};
TEST_P(ScrambleLength, StoredLengthFollowsPassword) {
    std::string stored = ScramblePassword(GetParam().password);
    EXPECT_EQ(stored.size(), GetParam().stored);
    EXPECT_EQ(DialogPassword(stored), std::string(GetParam().password).substr(0, 8));
}
INSTANTIATE_TEST_SUITE_P(Table, ScrambleLength, testing::ValuesIn(kLengths),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Scramble, EveryStorableCharacterLoadsBackAtEveryPosition) {
    for (int code = 48; code <= 122; ++code) {
        for (std::size_t at = 0; at < 8; ++at) {
            std::string password(8, 'm');
            password[at] = static_cast<char>(code);
            std::string stored = ScramblePassword(password);
            for (char c : stored) {
                ASSERT_GE(static_cast<unsigned char>(c), 35) << "code " << code << " at " << at;
                ASSERT_LE(static_cast<unsigned char>(c), 122) << "code " << code << " at " << at;
            }
            ASSERT_EQ(ClientPassword(stored), password) << "code " << code << " at " << at;
        }
    }
}

TEST(Scramble, TwoSavesDifferInFillersOnly) {
    std::string a = ScramblePassword("secret", Script({40, 41, 42, 43}));
    std::string b = ScramblePassword("secret", Script({50, 51, 52, 53}));
    EXPECT_NE(a, b);
    EXPECT_EQ(ClientPassword(a), "secret");
    EXPECT_EQ(ClientPassword(b), "secret");
}

struct LoadCase {
    const char* name;
    std::string stored;
    std::string client;
    std::string dialog;
};
const LoadCase kLoads[] = {
    {"first_char_y_wraps", "#0", "y", "y"},
    {"first_char_z_wraps", "#1", "z", "z"},
    {"second_char_wraps_to_w", "#c0", "aw", "aw"},
    {"short_hand_edited_value", "#c", "a", "a"},
    {"empty_value", "", "", ""},
    {"control_code_trimmed_for_client", "#cfBC\x01", "ab", "ab\x05"},
};
class Unscramble : public testing::TestWithParam<LoadCase> {};
TEST_P(Unscramble, GivesPassword) {
    EXPECT_EQ(ClientPassword(GetParam().stored), GetParam().client);
    EXPECT_EQ(DialogPassword(GetParam().stored), GetParam().dialog);
    EXPECT_EQ(UnscramblePassword(GetParam().stored).size(), 8u);
}
INSTANTIATE_TEST_SUITE_P(Table, Unscramble, testing::ValuesIn(kLoads),
                         [](const auto& info) { return std::string(info.param.name); });

struct StorableCase {
    const char* name;
    std::string password;
    bool storable;
};
const StorableCase kStorable[] = {
    {"letters_and_digits", "Abc123", true},
    {"lowest_and_highest", "0z", true},
    {"eight_chars", "abcdefgh", true},
    {"nine_chars", "abcdefghi", false},
    {"space", "ab cd", false},
    {"brace_above_z", "ab{", false},
    {"e_acute", "caf\xE9", false},
    {"slash_below_0", "a/b", false},
};
class Storable : public testing::TestWithParam<StorableCase> {};
TEST_P(Storable, OnlyWhatLoadsBack) {
    EXPECT_EQ(CanStorePassword(GetParam().password), GetParam().storable);
    if (GetParam().storable)
        EXPECT_EQ(ClientPassword(ScramblePassword(GetParam().password)), GetParam().password);
    else
        EXPECT_NE(DialogPassword(ScramblePassword(GetParam().password)), GetParam().password);
}
INSTANTIATE_TEST_SUITE_P(Table, Storable, testing::ValuesIn(kStorable),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
