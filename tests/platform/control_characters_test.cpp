#include "platform/control_characters.h"

#include <gtest/gtest.h>

namespace {

struct ControlCase {
    const char* name;
    std::string in;  // UTF-8, or not quite
    std::string withoutControls, visible;
};
const ControlCase kCases[] = {
    {"plain_text_and_accents_kept", "Café € 5 王 🙂", "Café € 5 王 🙂", "Café € 5 王 🙂"},
    {"escape_sequence", "a\x1B[2Jb", "a [2Jb", "a^[[2Jb"},
    {"tab_and_line_ends", "a\tb\r\nc", "a b  c", "a\tb^M^Jc"},
    {"nul_and_del", std::string("x\0y\x7F", 4), "x y ", "x^@y^?"},
    {"c1_controls", "\xC2\x9B[31m\xC2\x85", " [31m ", "M-^[[31mM-^E"},
    {"ill_formed_bytes_one_mark_each", "a\xE9z", "a\uFFFDz", "a\uFFFDz"},
    // A right-to-left override would turn the columns after it around.
    {"bidi_override_shown", "abc\u202Egpj.exe", "abc<U+202E>gpj.exe", "abc<U+202E>gpj.exe"},
    {"bidi_embedding_and_isolates_shown", "\u202A\u202B\u202C\u202D\u2066\u2067\u2068\u2069",
     "<U+202A><U+202B><U+202C><U+202D><U+2066><U+2067><U+2068><U+2069>",
     "<U+202A><U+202B><U+202C><U+202D><U+2066><U+2067><U+2068><U+2069>"},
    // A mark turns the neutral characters around it.
    {"direction_marks_shown", "a\u200Fb\u200Ec\u061C", "a<U+200F>b<U+200E>c<U+061C>",
     "a<U+200F>b<U+200E>c<U+061C>"},
    // The joiner of an emoji sequence belongs to a name.
    {"joiner_in_a_name_kept", "👩\u200D💻", "👩\u200D💻", "👩\u200D💻"},
};
class Controls : public testing::TestWithParam<ControlCase> {};
TEST_P(Controls, ReplacedOrShown) {
    EXPECT_EQ(WithoutControls(GetParam().in), GetParam().withoutControls);
    EXPECT_EQ(VisibleControls(GetParam().in), GetParam().visible);
}
INSTANTIATE_TEST_SUITE_P(Table, Controls, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Controls, LineFeedsKeptWhenAsked) { EXPECT_EQ(VisibleControls("é\r\n\u202E", true), "é^M\n<U+202E>"); }

TEST(Controls, AddressShowsItsZeroWidthCharacters) {
    EXPECT_EQ(AddressWithoutControls("pay\u200Bpal@x\u200C\u200D.fr\u202E"),
              "pay<U+200B>pal@x<U+200C><U+200D>.fr<U+202E>");
}

}  // namespace
