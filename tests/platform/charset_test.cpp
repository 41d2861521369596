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
    std::string bytes, ansi;
};
const ConvertCase kConversions[] = {
    // ISO-8859-1 labels carry Windows-1252 bytes in real mail.
    {"latin1_label_keeps_cp1252_bytes", "ISO-8859-1", "\x80\x92\xE9", "\x80\x92\xE9"},
    {"latin9_euro", "ISO-8859-15", "5 \xA4", "5 \x80"},
    {"utf16_with_little_endian_mark", "UTF-16", std::string("\xFF\xFE\xE9\x00\x0A\x00", 6), "\xE9\n"},
    {"utf32", "UTF-32BE", std::string("\x00\x00\x01\x53", 4), "\x9C"},
    {"cut_at_the_end", "Shift_JIS", "a\x93", "a?"},
    {"bad_bytes_one_mark_per_run", "EUC-KR",
     "\xFF\xFF"
     "a\xFF",
     "?a?"},
    {"utf8_cut_then_text", "UTF-8", "\xE2\x82x", "?x"},
    {"nul_kept", "UTF-8", std::string("a\0b", 3), std::string("a\0b", 3)},
    {"empty", "KOI8-R", "", ""},
};
class CharsetConvert : public testing::TestWithParam<ConvertCase> {};
TEST_P(CharsetConvert, GivesAnsi) {
    const auto charset = Charset::Find(GetParam().charset);
    ASSERT_TRUE(charset);
    EXPECT_EQ(charset->ToAnsi(GetParam().bytes), GetParam().ansi);
    // The descriptor is reused: a second conversion starts afresh.
    EXPECT_EQ(charset->ToAnsi(GetParam().bytes), GetParam().ansi);
}
INSTANTIATE_TEST_SUITE_P(Table, CharsetConvert, testing::ValuesIn(kConversions),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CharsetConvert, StatefulCharsetStartsEachTextInItsInitialState) {
    const auto jis = Charset::Find("ISO-2022-JP");
    ASSERT_TRUE(jis);
    EXPECT_EQ(jis->ToAnsi("\x1B$BF|"), "?");  // left in two-byte mode
    EXPECT_EQ(jis->ToAnsi("F|"), "F|");
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
    EXPECT_TRUE(Charset::Find("us-ascii")->IsAnsi());
    EXPECT_FALSE(Charset::Find("ISO-8859-15")->IsAnsi());
    EXPECT_TRUE(*Charset::Find("latin1") == *Charset::Find("latin1"));
}

TEST(CharsetFind, ManyMadeUpNamesLeaveTheKnownOnesWorking) {
    for (int i = 0; i < 500; ++i) EXPECT_FALSE(Charset::Find("X-MADE-UP-" + std::to_string(i)));
    EXPECT_EQ(Charset::Find("UTF-8")->ToAnsi("\xC3\xA9"), "\xE9");
}

TEST(CharsetFind, EachThreadHasItsOwnDescriptors) {
    std::string there;
    std::thread other([&there] { there = Charset::Find("KOI8-R")->ToAnsi("\xE1"); });
    const std::string here = Charset::Find("KOI8-R")->ToAnsi("\xE1");
    other.join();
    EXPECT_EQ(here, "?");  // a Cyrillic letter
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
    EXPECT_EQ(Utf8ToAnsi("\xED\xA0\x80"
                         "a"),
              "?a");  // one mark for the whole bad run
}

}  // namespace
