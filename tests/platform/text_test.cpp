#include "platform/text.h"

#include <gtest/gtest.h>

namespace {

TEST(Charset, RoundTripsEveryDefinedByte) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(all)), all);
}

struct CharsetCase {
    const char* name;
    std::string ansi;
    std::string utf8;
};
const CharsetCase kCharsets[] = {
    {"e_acute", "\xE9", "\xC3\xA9"},     {"euro_sign_is_0x80", "\x80", "\xE2\x82\xAC"},
    {"oe_ligature", "\x9C", "\xC5\x93"}, {"y_diaeresis_0xff", "\xFF", "\xC3\xBF"},
    {"ascii_unchanged", "Caf", "Caf"},
};
class Charset : public testing::TestWithParam<CharsetCase> {};
TEST_P(Charset, ConvertsBothWays) {
    EXPECT_EQ(AnsiToUtf8(GetParam().ansi), GetParam().utf8);
    EXPECT_EQ(Utf8ToAnsi(GetParam().utf8), GetParam().ansi);
}
INSTANTIATE_TEST_SUITE_P(Table, Charset, testing::ValuesIn(kCharsets),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Charset, UnmappableAndMalformedBecomeQuestionMark) {
    EXPECT_EQ(Utf8ToAnsi("\xE6\x97\xA5"), "?");  // a CJK character
    EXPECT_EQ(Utf8ToAnsi("a\xC3"), "a?");        // cut sequence
    EXPECT_EQ(Utf8ToAnsi("\xC3(x"), "?(x");      // bad continuation
    EXPECT_EQ(Utf8ToAnsi("Déconnecté."),
              "D\xE9"
              "connect\xE9.");
}

TEST(Case, OnlyAsciiLettersChange) {
    EXPECT_EQ(UpperCase("abz\xE9\xC9"), "ABZ\xE9\xC9");
    EXPECT_EQ(LowerCase("ABZ\xE9\xC9"), "abz\xE9\xC9");
}

TEST(Trim, RemovesCodes32AndBelow) {
    EXPECT_EQ(Trim("\t\x01 a b \r\n"), "a b");
    EXPECT_EQ(TrimLeft("  a "), "a ");
    EXPECT_EQ(TrimRight("  a \x1F"), "  a");
    EXPECT_EQ(Trim(" \t "), "");
    EXPECT_EQ(Trim("\xA0x\xA0"), "\xA0x\xA0");  // no-break space is above 32
}

struct CompareCase {
    const char* name;
    std::string a, b;
    int sign;
};
const CompareCase kCompare[] = {
    {"accented_capital_matches_small", "Élise", "éLISE", 0},
    {"decomposed_accent_matches_composed", "E\u0301MILIE", "émilie", 0},
    {"cyrillic_case_ignored", "АННА", "анна", 0},
    {"greek_final_sigma_folds", "ΣΟΦΟΣ", "σοφος", 0},
    {"different_cjk_names_differ", "王小明", "王小红", -1},
    {"ascii_case_ignored", "Jean Dupont", "jean dupont", 0},
    {"accent_is_not_ignored", "é", "e", 1},
    {"accent_sorts_with_its_letter", "été", "f", -1},
    {"accent_before_next_letter_z", "é", "z", -1},
    {"prefix_sorts_first", "Anne", "Annette", -1},
    {"digits_before_letters", "9", "a", -1},
    {"empty_equals_empty", "", "", 0},
    {"oe_ligature_capital", "Œ", "œ", 0},
};
class Compare : public testing::TestWithParam<CompareCase> {};
TEST_P(Compare, GivesSign) {
    EXPECT_EQ(SameText(GetParam().a, GetParam().b), GetParam().sign == 0);
    int r = CompareText(GetParam().a, GetParam().b);
    EXPECT_EQ((r > 0) - (r < 0), GetParam().sign);
    int back = CompareText(GetParam().b, GetParam().a);
    EXPECT_EQ((back > 0) - (back < 0), -GetParam().sign);
}
INSTANTIATE_TEST_SUITE_P(Table, Compare, testing::ValuesIn(kCompare),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Positions, AreOneBased) {
    EXPECT_EQ(Pos("b", "abcb"), 2u);
    EXPECT_EQ(Pos("b", "abcb", 3), 4u);
    EXPECT_EQ(Pos("x", "abc"), 0u);
    EXPECT_EQ(Pos("", "abc"), 0u);
    EXPECT_EQ(Pos('c', "abc", 4), 0u);
    EXPECT_EQ(Copy("abcdef", 2, 3), "bcd");
    EXPECT_EQ(Copy("abc", 5, 1), "");
    EXPECT_EQ(Copy("abc", 2), "bc");
    std::string s = "abcdef";
    Delete(s, 5, 10);
    EXPECT_EQ(s, "abcd");
}

TEST(SplitAt, TakesTheHeadAndKeepsTheRest) {
    std::string in = "a, b, c";
    EXPECT_EQ(SplitAt(in, ", "), "a");
    EXPECT_EQ(in, "b, c");
    EXPECT_EQ(PeekSplitAt(in, ","), "b");
    EXPECT_EQ(in, "b, c");
    in = "none";
    EXPECT_EQ(SplitAt(in, ";"), "none");
    EXPECT_EQ(in, "");
}

struct IntCase {
    const char* name;
    const char* text;
    std::optional<std::int32_t> value;
};
const IntCase kInts[] = {
    {"plain", "2001", 2001},
    {"signed", "-05", -5},
    {"plus", "+7", 7},
    {"trailing_comma", "07,", std::nullopt},
    {"blank", " 7", std::nullopt},
    {"empty", "", std::nullopt},
    {"sign_only", "-", std::nullopt},
    {"hex_is_not_decimal", "$1F", std::nullopt},
    {"max", "2147483647", 2147483647},
    {"min", "-2147483648", INT32_MIN},
    {"overflow", "2147483648", std::nullopt},
};
class Integer : public testing::TestWithParam<IntCase> {};
TEST_P(Integer, ConvertsWholeText) { EXPECT_EQ(TryStrToInt(GetParam().text), GetParam().value); }
INSTANTIATE_TEST_SUITE_P(Table, Integer, testing::ValuesIn(kInts),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Hex, DigitsOfAByteHighNibbleFirst) {
    std::string out;
    for (unsigned char byte : {0x00, 0x0A, 0xE9, 0xFF}) AppendHexByte(out, byte);
    AppendHexByte(out, 0xE9, true);
    EXPECT_EQ(out, "000AE9FFe9");
    EXPECT_EQ(HexDigitValue('e') * 16 + HexDigitValue('9'), 0xE9);
}

TEST(Integer, StrToIntRaisesConvertError) {
    try {
        StrToInt("x1");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), std::string("'x1' n'est pas une valeur entière valide"));
    }
}

}  // namespace
