#include "platform/control_characters.h"

#include <gtest/gtest.h>

namespace {

struct ControlCase {
    const char* name;
    std::string in;  // Windows-1252
    std::string withoutControls, visible;
};
const ControlCase kCases[] = {
    {"plain_text_and_accents_kept", "Caf\xE9 \x80 5", "Caf\xE9 \x80 5", "Caf\xE9 \x80 5"},
    {"escape_sequence", "a\x1B[2Jb", "a [2Jb", "a^[[2Jb"},
    {"tab_and_line_ends", "a\tb\r\nc", "a b  c", "a\tb^M^Jc"},
    {"nul_and_del", std::string("x\0y\x7F", 4), "x y ", "x^@y^?"},
    // Undefined in the code page: they stand for C1 controls (0x9D is OSC).
    {"undefined_bytes_are_controls", "\x81\x8D\x8F\x90\x9D", "     ", "M-^AM-^MM-^OM-^PM-^]"},
    {"defined_high_bytes_kept", "\x9B\x85\x91", "\x9B\x85\x91", "\x9B\x85\x91"},
};
class Controls : public testing::TestWithParam<ControlCase> {};
TEST_P(Controls, ReplacedOrShown) {
    EXPECT_EQ(WithoutControls(GetParam().in), GetParam().withoutControls);
    EXPECT_EQ(VisibleControls(GetParam().in, ControlSet::Ansi), GetParam().visible);
}
INSTANTIATE_TEST_SUITE_P(Table, Controls, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// UTF-8 text keeps its characters; its C1 controls are two bytes long.
TEST(Controls, Utf8SetKeepsCharactersAndShowsC1) {
    EXPECT_EQ(VisibleControls("\xC3\xA9\xC2\x9B[31m\xC2\xA0\n", ControlSet::Utf8, true),
              "\xC3\xA9M-^[[31m\xC2\xA0\n");
}

}  // namespace
