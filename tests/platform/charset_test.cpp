#include "platform/charset.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "platform/text.h"

namespace {

struct NameCase {
    const char* name;
    std::string label;
    bool known;
};
const NameCase kNames[] = {
    {"lower_case", "iso-8859-15", true},
    {"quoted_with_blanks", " \"UTF-8\" ", true},
    {"language_suffix", "UTF-8*fr", true},
    {"alias_iconv_lacks", "ks_c_5601-1987", true},
    {"iconv_alias", "latin9", true},
    {"made_up", "X-UNKNOWN", false},
    {"empty", "", false},
    {"only_a_language", "*fr", false},
    // iconv's own options must not be reachable from a message.
    {"iconv_option", "UTF-8//TRANSLIT", false},
    {"blank_inside", "UTF 8", false},
    {"very_long", std::string(200, 'A'), false},
};
class CharsetFind : public testing::TestWithParam<NameCase> {};
TEST_P(CharsetFind, KnowsTheName) {
    EXPECT_EQ(Charset::Find(GetParam().label).has_value(), GetParam().known);
}
INSTANTIATE_TEST_SUITE_P(Table, CharsetFind, testing::ValuesIn(kNames),
                         [](const auto& info) { return std::string(info.param.name); });

struct ConvertCase {
    const char* name;
    const char* charset;
    std::string bytes, utf8;
};
const ConvertCase kConversions[] = {
    // ISO-8859-1 labels carry Windows-1252 bytes in real mail.
    {"latin1_label_keeps_cp1252_bytes", "ISO-8859-1", "\x80\x92\xE9", "€’é"},
    {"latin9_euro", "ISO-8859-15", "5 \xA4", "5 €"},
    {"utf16_with_little_endian_mark", "UTF-16", std::string("\xFF\xFE\xE9\x00\x0A\x00", 6), "é\n"},
    {"utf32", "UTF-32BE", std::string("\x00\x00\x01\x53", 4), "œ"},
    {"cjk_gb2312", "GB2312", "\xCD\xF5\xD0\xA1\xC3\xF7", "王小明"},
    {"cyrillic_koi8r", "KOI8-R", "\xE1\xCE\xCE\xC1", "Анна"},
    {"greek_iso8859_7", "ISO-8859-7", "\xE1\xE2\xE3", "αβγ"},
    {"polish_iso8859_2", "ISO-8859-2", "\xA3ukasiewicz", "Łukasiewicz"},
    {"emoji_utf8", "UTF-8", "\xF0\x9F\x99\x82", "🙂"},
    {"cut_at_the_end", "Shift_JIS", "a\x93", "a\uFFFD"},
    {"bad_bytes_one_mark_per_run", "EUC-KR",
     "\xFF\xFF"
     "a\xFF",
     "\uFFFDa\uFFFD"},
    {"utf8_cut_then_text", "UTF-8", "\xE2\x82x", "\uFFFDx"},
    {"nul_kept", "UTF-8", std::string("a\0b", 3), std::string("a\0b", 3)},
    {"empty", "KOI8-R", "", ""},
};
class CharsetConvert : public testing::TestWithParam<ConvertCase> {};
TEST_P(CharsetConvert, GivesUtf8) {
    const auto charset = Charset::Find(GetParam().charset);
    ASSERT_TRUE(charset);
    EXPECT_EQ(charset->ToUtf8(GetParam().bytes), GetParam().utf8);
    // The descriptor is reused: a second conversion starts afresh.
    EXPECT_EQ(charset->ToUtf8(GetParam().bytes), GetParam().utf8);
}
INSTANTIATE_TEST_SUITE_P(Table, CharsetConvert, testing::ValuesIn(kConversions),
                         [](const auto& info) { return std::string(info.param.name); });

// Text whose label is missing or unknown.
const ConvertCase kUnlabelled[] = {
    {"no_label_utf8", "", "R\xC3\xA9union", "Réunion"},
    {"no_label_cp1252", "", "R\xE9union \x80", "Réunion €"},
    {"unknown_label_shown_as_cp1252", "X-UNKNOWN", "\xC3\xA9", "Ã©"},
};
class CharsetForText : public testing::TestWithParam<ConvertCase> {};
TEST_P(CharsetForText, GivesUtf8) {
    EXPECT_EQ(Charset::ForText(GetParam().charset).ToUtf8(GetParam().bytes), GetParam().utf8);
}
INSTANTIATE_TEST_SUITE_P(Table, CharsetForText, testing::ValuesIn(kUnlabelled),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CharsetConvert, StatefulCharsetStartsEachTextInItsInitialState) {
    const auto jis = Charset::Find("ISO-2022-JP");
    ASSERT_TRUE(jis);
    EXPECT_EQ(jis->ToUtf8("\x1B$BF|"), "日");  // left in two-byte mode
    EXPECT_EQ(jis->ToUtf8("F|"), "F|");
}

TEST(CharsetFind, LinesAreBytesExceptInWideCharsets) {
    for (const char* narrow : {"UTF-8", "ISO-8859-1", "ISO-2022-JP", "Shift_JIS", "UTF-7", "GB18030"}) {
        ASSERT_TRUE(Charset::Find(narrow)) << narrow;
        EXPECT_TRUE(Charset::Find(narrow)->HasByteLines()) << narrow;
    }
    for (const char* wide : {"UTF-16", "UTF-16LE", "UTF-32"}) {
        ASSERT_TRUE(Charset::Find(wide)) << wide;
        EXPECT_FALSE(Charset::Find(wide)->HasByteLines()) << wide;
    }
    EXPECT_TRUE(*Charset::Find("latin1") == *Charset::Find("latin1"));
}

TEST(CharsetFind, ManyMadeUpNamesLeaveTheKnownOnesWorking) {
    for (int i = 0; i < 500; ++i) EXPECT_FALSE(Charset::Find("X-MADE-UP-" + std::to_string(i)));
    EXPECT_EQ(Charset::Find("UTF-8")->ToUtf8("\xC3\xA9"), "é");
}

TEST(CharsetFind, EachThreadHasItsOwnDescriptors) {
    std::string there;
    std::thread other([&there] { there = Charset::Find("KOI8-R")->ToUtf8("\xE1"); });
    const std::string here = Charset::Find("KOI8-R")->ToUtf8("\xE1");
    other.join();
    EXPECT_EQ(here, "А");  // a Cyrillic letter
    EXPECT_EQ(there, here);
}

TEST(Utf8, WellFormedOnly) {
    EXPECT_TRUE(IsUtf8("R\xC3\xA9union \xF0\x9F\x99\x82"));
    EXPECT_TRUE(IsUtf8(""));
    EXPECT_FALSE(IsUtf8("R\xE9union"));        // Latin-1
    EXPECT_FALSE(IsUtf8("\xC0\xAF"));          // overlong "/"
    EXPECT_FALSE(IsUtf8("\xED\xA0\x80"));      // surrogate
    EXPECT_FALSE(IsUtf8("\xF4\x90\x80\x80"));  // past U+10FFFF
    EXPECT_FALSE(IsUtf8("\xC3"));              // cut
    EXPECT_EQ(ValidUtf8("\xED\xA0\x80"
                        "a"),
              "\uFFFDa");  // one mark for the whole bad run
}

}  // namespace
