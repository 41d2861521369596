#include "message/header_coder.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/id_exception.h"
#include "platform/text.h"
#include "support/exact_buffer.h"
#include "support/expect_error.h"

namespace {

auto ByName = [](const auto& info) { return std::string(info.param.name); };

// Decodes from a buffer of exactly the text's length (over-read trap).
std::string DecodeExact(const std::string& text) { return DecodeHeaderWords(ExactBuffer(text).View()); }

struct DecodeCase {
    const char* name;
    std::string input, expected;
};
const DecodeCase kWellFormed[] = {
    {"q_latin1_accents", "=?ISO-8859-1?Q?Caf=E9_cr=E8me?=", "Caf\xE9 cr\xE8me"},
    {"q_all_lower_case", "=?iso-8859-1?q?caf=e9?=", "caf\xE9"},
    {"b_windows_fill_zeros_removed", "=?windows-1252?B?Q2Fm6Q==?=", "Caf\xE9"},
    {"two_b_words_keep_their_space", "=?ISO-8859-1?B?QQ==?= =?ISO-8859-1?B?Qg==?=", "A B"},
    {"glued_words_each_replaced", "=?ISO-8859-1?Q?a?==?ISO-8859-1?Q?b?=", "ab"},
    {"text_around_word_kept", "Re: [liste] =?ISO-8859-15?Q?=A4uro?= ok", "Re: [liste] \xA4uro ok"},
    {"encoded_comma_in_from", "=?ISO-8859-1?Q?Dupont=2C_Jean?= <jean@dupont.fr>",
     "Dupont, Jean <jean@dupont.fr>"},
    {"blanks_between_words_kept", "=?ISO-8859-1?Q?a?=  \t =?ISO-8859-1?Q?b?=", "a  \t b"},
    {"empty_encoded_text",
     "x=?ISO-8859-1?Q?"
     "?=y",
     "xy"},
    {"q_byte_ff", "=?ISO-8859-1?Q?=FF?=", "\xFF"},
    {"unknown_letter_decoded_as_base64", "=?ISO-8859-1?X?QQ==?=", "A"},
    {"charset_name_after_prefix_free", "=?ISOLATED?Q?ok?=", "ok"},
    {"windows_word_after_iso_word", "=?WINDOWS-1252?Q?=80?= =?ISO-8859-1?Q?=E9?=", "\x80 \xE9"},
    // The scan goes on from the second character of the decoded text.
    {"decoded_text_decoded_again", "=?ISO-8859-1?Q?x=3D=3FISO-8859-1=3FQ=3F=E9=3F=3D?=", "x\xE9"},
    {"decoded_word_in_first_place_not_again",
     "=?ISO-8859-1?Q?=3D=3FISO-8859-1=3FQ=3F=E9=3F=3D?=", "=?ISO-8859-1?Q?\xE9?="},
};
const DecodeCase kLeftAlone[] = {
    {"utf8_not_decoded", "=?UTF-8?Q?Caf=C3=A9?=", "=?UTF-8?Q?Caf=C3=A9?="},
    {"us_ascii_not_decoded", "=?US-ASCII?Q?abc?=", "=?US-ASCII?Q?abc?="},
    {"incomplete_word_at_end", "Prix: 10 =?WINDOWS", "Prix: 10 =?WINDOWS"},
    {"missing_closing_marker", "=?ISO-8859-1?Q?abc", "=?ISO-8859-1?Q?abc"},
    {"missing_letter_marks", "=?ISO-8859-1", "=?ISO-8859-1"},
    {"equals_too_near_the_end", "=?ISO-8859-1?Q?50=?=", "50="},
    {"equals_one_before_end", "=?ISO-8859-1?Q?5=0?=", "5=0"},
    {"plain_text", "Bonjour \xE0 tous", "Bonjour \xE0 tous"},
    {"nul_removed_everywhere", std::string("a\0b", 3), "ab"},
    {"b_with_invalid_characters_as_zero", "=?ISO-8859-1?B?QUJD*===?=", "ABC"},
    {"b_short_group_ignored", "=?ISO-8859-1?B?QQ?=", "A"},
    {"empty", "", ""},
};
class DecodeWords : public testing::TestWithParam<DecodeCase> {};
TEST_P(DecodeWords, GivesBytes) { EXPECT_EQ(DecodeExact(GetParam().input), GetParam().expected); }
INSTANTIATE_TEST_SUITE_P(WellFormed, DecodeWords, testing::ValuesIn(kWellFormed), ByName);
INSTANTIATE_TEST_SUITE_P(LeftAlone, DecodeWords, testing::ValuesIn(kLeftAlone), ByName);

struct BadEscapeCase {
    const char* name;
    std::string input, digits;
};
const BadEscapeCase kBadEscapes[] = {
    {"letters_not_hex", "=?ISO-8859-1?Q?=ZZ?=", "ZZ"},
    {"one_hex_one_not", "=?ISO-8859-1?Q?caf=E?x?=", "E?"},
    {"sign_is_not_hex", "=?ISO-8859-1?Q?=-1x?=", "-1"},
    {"accented_byte_not_hex", "=?ISO-8859-1?Q?=\xE9\xE9x?=", "\xE9\xE9"},
};
class BadEscape : public testing::TestWithParam<BadEscapeCase> {};
TEST_P(BadEscape, RaisesConversionError) {
    const auto e = ExpectThrown<EConvertError>([] { DecodeExact(GetParam().input); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->Message(), "'$" + GetParam().digits + Ansi("' n'est pas une valeur entière valide"));
}
INSTANTIATE_TEST_SUITE_P(Table, BadEscape, testing::ValuesIn(kBadEscapes), ByName);

TEST(BadEscape, NotRaisedForBase64OrUnknownCharsets) {
    EXPECT_NO_THROW(DecodeExact("=?ISO-8859-1?B?=ZZ?="));
    EXPECT_NO_THROW(DecodeExact("=?UTF-8?Q?=ZZ?="));
}

struct JisCase {
    const char* name;
    std::string input, expected;
};
const JisCase kJis[] = {
    // "Nihon" in JIS: 0x46 0x7C 0x4B 0x5C -> Shift_JIS 0x93 0xFA 0x96 0x7B.
    {"kanji_pair_converted", "\x1B$BF|K\\\x1B(B", "\x93\xFA\x96\x7B"},
    {"ascii_outside_kanji_mode", "ab\x1B$B\x24\x22\x1B(Bcd",
     "ab\x82\xA0"
     "cd"},
    {"even_lead_odd_trail_rules", "\x1B$B\x30\x21\x31\x60", "\x88\x9F\x89\x80"},
    {"lone_byte_at_end_dropped", "\x1B$B\x24", ""},
    {"esc_near_end_skipped_alone", "a\x1B$", "a$"},
    {"unknown_escape_pair_ignored", "\x1B(Ja", "a"},
};
class Jis : public testing::TestWithParam<JisCase> {};
TEST_P(Jis, GivesShiftJis) { EXPECT_EQ(JisToShiftJis(GetParam().input), GetParam().expected); }
INSTANTIATE_TEST_SUITE_P(Table, Jis, testing::ValuesIn(kJis), ByName);

TEST(DecodeWords, Iso2022JpWordTurnedIntoShiftJis) {
    // ESC $ B F | K \ ESC ( B in base64.
    EXPECT_EQ(DecodeExact("=?ISO-2022-JP?B?GyRCRnxLXBsoQg==?="), "\x93\xFA\x96\x7B");
}

}  // namespace
