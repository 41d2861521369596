#include "app/spin_edit.h"

#include <gtest/gtest.h>

namespace {

const SpinRange kSlots{0, 10}, kFree{0, 0}, kFrom3{3.7, 9};

struct ReadCase {
    const char* text;
    SpinRange range;
    double value;
};
const ReadCase kReads[] = {
    {"7", kSlots, 7}, {"15", kSlots, 15}, {"-3", kSlots, -3}, {"+4", kSlots, 4}, {"-", kSlots, 0},
    {"", kSlots, 0},  {"1a", kSlots, 0},  {" 5", kSlots, 0},  {"x", kFrom3, 3},  // the minimum cut to a whole
                                                                                 // number
};

TEST(SpinEditRules, ReadsTextWithoutClamping) {
    for (const ReadCase& c : kReads) EXPECT_EQ(SpinReadValue(c.text, c.range), c.value) << c.text;
}

struct StepCase {
    const char* text;
    SpinRange range;
    double increment;
    const char* shown;
};
const StepCase kSteps[] = {
    {"10", kSlots, 1, "10"}, {"0", kSlots, -1, "0"},   {"15", kSlots, 1, "10"}, {"15", kSlots, -1, "10"},
    {"-", kSlots, 1, "1"},   {"4", kSlots, 1, "5"},    {"4", kSlots, -1, "3"},  {"10", kFree, 1, "11"},
    {"-5", kFree, -1, "-6"}, {"abc", kSlots, -1, "0"},
};

TEST(SpinEditRules, StepsClampIntoRange) {
    for (const StepCase& c : kSteps)
        EXPECT_EQ(SpinStepText(c.text, c.range, c.increment), c.shown) << c.text << " " << c.increment;
}

TEST(SpinEditRules, WritingRoundsAndClamps) {
    EXPECT_EQ(SpinValueText(2.6, kSlots), "3");
    EXPECT_EQ(SpinValueText(-4, kSlots), "0");
    EXPECT_EQ(SpinValueText(99, kFree), "99");
    EXPECT_TRUE(SpinOutsideRange("15", kSlots));
    EXPECT_TRUE(SpinOutsideRange("-1", kSlots));
    EXPECT_FALSE(SpinOutsideRange("10", kSlots));
    EXPECT_FALSE(SpinOutsideRange("-", kSlots)) << "reads as the minimum";
    EXPECT_FALSE(SpinOutsideRange("500", kFree));
}

struct CharCase {
    char32_t c;
    bool editorEnabled;
    SpinKey result;
};
const CharCase kChars[] = {
    {'0', true, SpinKey::Accept},       {'9', true, SpinKey::Accept},
    {'+', true, SpinKey::Accept},       {'-', true, SpinKey::Accept},
    {8, true, SpinKey::Accept},         {3, true, SpinKey::Accept},  // control characters (copy)
    {'a', true, SpinKey::DropWithBeep}, {' ', true, SpinKey::DropWithBeep},
    {'.', true, SpinKey::DropWithBeep}, {0xE9, true, SpinKey::DropWithBeep},
    {'5', false, SpinKey::Drop},        {8, false, SpinKey::Drop},
    {3, false, SpinKey::Accept},
};

TEST(SpinEditRules, CharacterFilter) {
    for (const CharCase& c : kChars)
        EXPECT_EQ(SpinFilterChar(c.c, c.editorEnabled), c.result)
            << static_cast<int>(c.c) << " " << c.editorEnabled;
}

}  // namespace
