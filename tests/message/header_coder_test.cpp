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
    {"q_latin1_accents", "=?ISO-8859-1?Q?Caf=E9_cr=E8me?=", "Café crème"},
    {"q_all_lower_case", "=?iso-8859-1?q?caf=e9?=", "café"},
    {"b_windows_fill_zeros_removed", "=?windows-1252?B?Q2Fm6Q==?=", "Café"},
    {"two_b_words_join_without_their_space", "=?ISO-8859-1?B?QQ==?= =?ISO-8859-1?B?Qg==?=", "AB"},
    {"glued_words_each_replaced", "=?ISO-8859-1?Q?a?==?ISO-8859-1?Q?b?=", "ab"},
    {"text_around_word_kept", "Re: [liste] =?ISO-8859-15?Q?=A4uro?= ok", "Re: [liste] €uro ok"},
    {"encoded_comma_in_from", "=?ISO-8859-1?Q?Dupont=2C_Jean?= <jean@dupont.fr>",
     "Dupont, Jean <jean@dupont.fr>"},
    {"blanks_between_words_dropped", "=?ISO-8859-1?Q?a?=  \t =?ISO-8859-1?Q?b?=", "ab"},
    {"folded_words_join",
     "=?UTF-8?Q?R=C3=A9union_de?=\r\n =?UTF-8?Q?_d=C3=A9cembre?=", "Réunion de décembre"},
    {"text_between_words_kept", "=?ISO-8859-1?Q?a?= et =?ISO-8859-1?Q?b?=", "a et b"},
    {"empty_encoded_text",
     "x=?ISO-8859-1?Q?"
     "?=y",
     "xy"},
    {"q_byte_ff", "=?ISO-8859-1?Q?=FF?=", "ÿ"},
    {"unknown_letter_decoded_as_base64", "=?ISO-8859-1?X?QQ==?=", "A"},
    {"windows_word_after_iso_word", "=?WINDOWS-1252?Q?=80?= =?ISO-8859-1?Q?=E9?=", "€é"},
    // The scan goes on from the second character of the decoded text.
    // The inner word's "é" is already a character: it is not read a second time.
    {"decoded_text_decoded_again", "=?ISO-8859-1?Q?x=3D=3FISO-8859-1=3FQ=3F=E9=3F=3D?=", "xé"},
    {"decoded_word_in_first_place_not_again",
     "=?ISO-8859-1?Q?=3D=3FISO-8859-1=3FQ=3F=E9=3F=3D?=", "=?ISO-8859-1?Q?é?="},
    {"decoded_text_joins_the_text_after_it", "=?ISO-8859-1?Q?x=3D?=?ISO-8859-1?Q?=E9?= fin", "xé fin"},
    {"word_then_a_word_never_closed", "=?ISO-8859-1?Q?a?= =?ISO-8859-1?Q?b =?ISO",
     "a =?ISO-8859-1?Q?b =?ISO"},
};
const DecodeCase kLeftAlone[] = {
    {"unknown_charset", "=?X-UNKNOWN?Q?Caf=C3=A9?=", "=?X-UNKNOWN?Q?Caf=C3=A9?="},
    {"charset_only_beginning_like_a_known_one", "=?ISOLATED?Q?ok?=", "=?ISOLATED?Q?ok?="},
    {"empty_charset", "=??Q?ok?=", "=??Q?ok?="},
    {"charset_asking_for_iconv_options", "=?UTF-8//IGNORE?Q?ok?=", "=?UTF-8//IGNORE?Q?ok?="},
    {"unknown_word_between_known_ones_kept",
     "=?UTF-8?Q?a?= =?X-UNKNOWN?Q?b?= =?UTF-8?Q?c?=", "a =?X-UNKNOWN?Q?b?= c"},
    {"missing_closing_marker_of_utf8", "=?UTF-8?B?w6k=", "=?UTF-8?B?w6k="},
    {"incomplete_word_at_end", "Prix: 10 =?WINDOWS", "Prix: 10 =?WINDOWS"},
    {"missing_closing_marker", "=?ISO-8859-1?Q?abc", "=?ISO-8859-1?Q?abc"},
    {"missing_letter_marks", "=?ISO-8859-1", "=?ISO-8859-1"},
    {"equals_too_near_the_end", "=?ISO-8859-1?Q?50=?=", "50="},
    {"equals_one_before_end", "=?ISO-8859-1?Q?5=0?=", "5=0"},
    {"plain_text", "Bonjour \xE0 tous", "Bonjour à tous"},
    {"nul_removed_everywhere", std::string("a\0b", 3), "ab"},
    {"b_with_invalid_characters_as_zero", "=?ISO-8859-1?B?QUJD*===?=", "ABC"},
    {"b_short_group_ignored", "=?ISO-8859-1?B?QQ?=", "A"},
    {"empty", "", ""},
};
class DecodeWords : public testing::TestWithParam<DecodeCase> {};
TEST_P(DecodeWords, GivesBytes) { EXPECT_EQ(DecodeExact(GetParam().input), GetParam().expected); }
INSTANTIATE_TEST_SUITE_P(WellFormed, DecodeWords, testing::ValuesIn(kWellFormed), ByName);
INSTANTIATE_TEST_SUITE_P(LeftAlone, DecodeWords, testing::ValuesIn(kLeftAlone), ByName);

// French text (or, where the charset has none of its letters, a greeting in
// its own script) in every family of charsets: every character kept, each
// run of bytes invalid in the charset one U+FFFD.
const DecodeCase kCharsets[] = {
    {"utf8_q", "=?UTF-8?Q?R=C3=A9union_d=27=C3=A9t=C3=A9?=", "Réunion d'été"},
    {"utf8_b_lower_label", "=?utf-8?B?Q8WTdXIgw6AgcHJlbmRyZSDigJQgNSDigqw=?=", "Cœur à prendre — 5 €"},
    {"utf8_alias_and_language", "=?utf8*fr?B?SMOpbMOobmU=?=", "Hélène"},
    {"utf16_b_big_endian", "=?UTF-16?B?AE4AbwDrAGw=?=", "Noël"},
    {"utf16le_b", "=?UTF-16LE?B?TgBvAOsAbAA=?=", "Noël"},
    {"utf7", "=?UTF-7?Q?No=2BAOs=2Dl?=", "Noël"},
    {"us_ascii", "=?US-ASCII?Q?abc?=", "abc"},
    {"iso8859_2", "=?ISO-8859-2?Q?Caf=E9?=", "Café"},
    {"iso8859_3", "=?ISO-8859-3?Q?Caf=E9?=", "Café"},
    {"iso8859_4", "=?ISO-8859-4?Q?Caf=E9?=", "Café"},
    {"iso8859_5_cyrillic", "=?ISO-8859-5?Q?Salut_=BC=D8=E8=D0?=", "Salut Миша"},
    {"iso8859_6_arabic", "=?ISO-8859-6?Q?Salut_=D3=E4=C7=E5?=", "Salut سلام"},
    {"iso8859_7_greek", "=?ISO-8859-7?Q?Salut_=C3=E5=E9=DC?=", "Salut Γειά"},
    {"iso8859_8_hebrew", "=?ISO-8859-8?Q?Salut_=F9=EC=E5=ED?=", "Salut שלום"},
    {"iso8859_9", "=?ISO-8859-9?Q?Caf=E9?=", "Café"},
    {"iso8859_10", "=?ISO-8859-10?Q?Caf=E9?=", "Café"},
    {"iso8859_11_thai", "=?ISO-8859-11?Q?Salut_=E4=B7=C2?=", "Salut ไทย"},
    {"iso8859_13", "=?ISO-8859-13?Q?Caf=E9?=", "Café"},
    {"iso8859_14", "=?ISO-8859-14?Q?Caf=E9?=", "Café"},
    {"iso8859_15_euro_and_oe", "=?ISO-8859-15?Q?=BCuvre_5_=A4?=", "Œuvre 5 €"},
    {"latin9_alias", "=?latin9?Q?=A4?=", "€"},
    {"iso8859_16", "=?ISO-8859-16?Q?Caf=E9_5_=A4?=", "Café 5 €"},
    {"koi8r", "=?KOI8-R?B?U2FsdXQg7cnbwQ==?=", "Salut Миша"},
    {"koi8u", "=?koi8-u?B?U2FsdXQg68mn1w==?=", "Salut Київ"},
    {"windows1250", "=?windows-1250?Q?Caf=E9_5_=80?=", "Café 5 €"},
    {"windows1251", "=?windows-1251?Q?Salut_=CC=E8=F8=E0_5_=88?=", "Salut Миша 5 €"},
    {"windows1252_euro", "=?windows-1252?Q?C=9Cur_5_=80?=", "Cœur 5 €"},
    {"windows1253", "=?windows-1253?Q?Salut_=C3=E5=E9=DC?=", "Salut Γειά"},
    {"windows1254", "=?windows-1254?Q?Caf=E9?=", "Café"},
    {"windows1255", "=?windows-1255?Q?Salut_=F9=EC=E5=ED?=", "Salut שלום"},
    {"windows1256", "=?windows-1256?Q?Caf=E9?=", "Café"},
    {"windows1257", "=?windows-1257?Q?Caf=E9?=", "Café"},
    {"windows1258", "=?windows-1258?Q?Caf=E9?=", "Café"},
    {"gb2312_pinyin_accents", "=?GB2312?B?qKZ0qKYgyNWxvg==?=", "été 日本"},
    {"gbk", "=?GBK?B?qKZ0qKYgyNWxvg==?=", "été 日本"},
    {"gb18030", "=?GB18030?B?Q4EwkzR1ciDI1bG+?=", "Cœur 日本"},
    {"big5", "=?Big5?B?U2FsdXQgpOmluw==?=", "Salut 日本"},
    {"shift_jis", "=?Shift_JIS?B?U2FsdXQgk/qWew==?=", "Salut 日本"},
    {"euc_jp", "=?EUC-JP?B?U2FsdXQgxvzL3A==?=", "Salut 日本"},
    {"iso2022jp", "=?ISO-2022-JP?B?U2FsdXQgGyRCRnxLXBsoQg==?=", "Salut 日本"},
    {"euc_kr", "=?EUC-KR?B?U2FsdXQgx9GxuQ==?=", "Salut 한국"},
    {"ks_c_5601_alias", "=?ks_c_5601-1987?B?U2FsdXQgx9GxuQ==?=", "Salut 한국"},
    {"emoji_kept", "=?UTF-8?B?TWVyY2kg8J+ZgiE=?=", "Merci 🙂!"},
    {"greek_kept", "=?utf-8?Q?Caf=C3=A9_=CE=A9?=", "Café Ω"},
    {"cjk_name_b", "=?UTF-8?B?546L5bCP5piO?= <w@x.cn>", "王小明 <w@x.cn>"},
    {"polish_q", "=?ISO-8859-2?Q?=A3ukasiewicz?=", "Łukasiewicz"},
    {"cyrillic_utf8_q", "=?UTF-8?Q?=D0=90=D0=BD=D0=BD=D0=B0?=", "Анна"},
    {"malformed_utf8_one_replacement", "=?UTF-8?Q?a=E2=82b?=", "a\uFFFDb"},
    {"invalid_bytes_one_replacement_per_run", "=?UTF-8?Q?=FF=FEa=C0?=", "\uFFFDa\uFFFD"},
    // Mail programs cut long B words anywhere, even inside a character.
    {"utf8_character_split_between_b_words", "=?UTF-8?B?UsM=?= =?UTF-8?B?qXVuaW9u?=", "Réunion"},
    {"cjk_character_split_between_q_words", "=?UTF-8?Q?=E7=8E?= =?UTF-8?Q?=8B?=", "王"},
    {"euro_split_between_b_words", "=?UTF-8?B?4g==?=\r\n\t=?UTF-8?B?gqx1cm8=?=", "€uro"},
    {"utf16_character_split_between_words", "=?UTF-16?B?AOkA?==?UTF-16?B?dADp?=", "été"},
    {"different_charsets_join", "=?ISO-8859-15?Q?=A4?= =?UTF-8?Q?=C3=A9?=", "€é"},
};
INSTANTIATE_TEST_SUITE_P(Charsets, DecodeWords, testing::ValuesIn(kCharsets), ByName);

// Raw 8-bit bytes: UTF-8 when they are well-formed UTF-8, else Windows-1252.
const DecodeCase kRawBytes[] = {
    {"raw_utf8", "R\xC3\xA9union \xE2\x82\xAC", "Réunion €"},
    {"raw_utf8_cjk", "\xE7\x8E\x8B\xE5\xB0\x8F\xE6\x98\x8E", "王小明"},
    {"raw_latin1", "R\xE9union \xE0 Paris", "Réunion à Paris"},
    {"raw_utf8_beside_a_word", "H\xC3\xA9l\xC3\xA8ne =?UTF-8?Q?=C5=93?=", "Hélène œ"},
    {"raw_overlong_slash_not_utf8",
     "a\xC0\xAF"
     "b",
     "aÀ¯b"},
    {"raw_emoji_kept", "ok \xF0\x9F\x99\x82", "ok 🙂"},
    {"raw_latin1_inside_a_word_read_once", "=?ISO-8859-1?Q?caf\xE9_=E0?=", "café à"},
    {"raw_utf8_inside_a_latin1_word_read_once", "=?ISO-8859-1?Q?\xC3\xA9t=E9?=", "été"},
};
INSTANTIATE_TEST_SUITE_P(RawBytes, DecodeWords, testing::ValuesIn(kRawBytes), ByName);

struct BadEscapeCase {
    const char* name;
    std::string input, digits;
};
const BadEscapeCase kBadEscapes[] = {
    {"letters_not_hex", "=?ISO-8859-1?Q?=ZZ?=", "ZZ"},
    {"one_hex_one_not", "=?ISO-8859-1?Q?caf=E?x?=", "E?"},
    {"sign_is_not_hex", "=?ISO-8859-1?Q?=-1x?=", "-1"},
    {"accented_byte_not_hex", "=?ISO-8859-1?Q?=\xE9\xE9x?=", "é"},
    {"in_a_utf8_word", "=?UTF-8?Q?=C3=ZZ?=", "ZZ"},
};
class BadEscape : public testing::TestWithParam<BadEscapeCase> {};
TEST_P(BadEscape, RaisesConversionError) {
    const auto e = ExpectThrown<EConvertError>([] { DecodeExact(GetParam().input); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->Message(), "'$" + GetParam().digits + std::string("' n'est pas une valeur entière valide"));
}
INSTANTIATE_TEST_SUITE_P(Table, BadEscape, testing::ValuesIn(kBadEscapes), ByName);

TEST(BadEscape, NotRaisedForBase64OrUnknownCharsets) {
    EXPECT_NO_THROW(DecodeExact("=?ISO-8859-1?B?=ZZ?="));
    EXPECT_NO_THROW(DecodeExact("=?X-UNKNOWN?Q?=ZZ?="));
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

TEST(DecodeWords, Iso2022JpWordConvertedLikeAnyOther) {
    // ESC $ B F | K \ ESC ( B in base64: two kanji.
    EXPECT_EQ(DecodeExact("=?ISO-2022-JP?B?GyRCRnxLXBsoQg==?="), "日本");
}

}  // namespace
