#include "message/header_encoder.h"

#include <gtest/gtest.h>

#include <string>

#include "message/header_coder.h"
#include "message/header_list.h"

namespace {

auto ByName = [](const auto& info) { return std::string(info.param.name); };

struct DefaultsCase {
    const char* name;
    std::string locale, charSet;
    char letter;
    bool jis;
};
const DefaultsCase kDefaults[] = {
    {"french", "fr_FR.UTF-8", "ISO-8859-1", 'Q', false},
    {"c_locale", "C", "ISO-8859-1", 'Q', false},
    {"simplified_chinese", "zh_CN.GB2312", "GB2312", 'B', false},
    {"traditional_chinese", "zh_TW", "Big5", 'B', false},
    {"japanese", "ja_JP.eucJP", "ISO-2022-JP", 'B', true},
    {"korean", "ko_KR", "EUC-KR", 'B', false},
};
class EncodingDefaults : public testing::TestWithParam<DefaultsCase> {};
TEST_P(EncodingDefaults, FollowTheLanguage) {
    const HeaderEncodingDefaults d = DefaultHeaderEncoding(GetParam().locale);
    EXPECT_EQ(d.CharSet, GetParam().charSet);
    EXPECT_EQ(d.HeaderEncoding, GetParam().letter);
    EXPECT_EQ(d.Iso2022JpTransfer, GetParam().jis);
}
INSTANTIATE_TEST_SUITE_P(Table, EncodingDefaults, testing::ValuesIn(kDefaults), ByName);

struct EncodeCase {
    const char* name;
    std::string text;
    char letter;
    std::string expected;
};
const EncodeCase kEncodes[] = {
    {"ascii_unchanged", "Bonjour tout le monde", 'Q', "Bonjour tout le monde"},
    {"q_only_the_accented_word", "Un café noir", 'Q', "Un =?ISO-8859-1?Q?caf=E9?= noir"},
    {"q_adjacent_words_one_stretch", "crème brûlée", 'Q', "=?ISO-8859-1?Q?cr=E8me_br=FBl=E9e?="},
    {"b_word", "café", 'B', "=?ISO-8859-1?B?Y2Fm6Q==?="},
    // Latin-1 cannot hold it: the words are written in UTF-8.
    {"cjk_written_in_utf8", "王", 'B', "=?UTF-8?B?546L?="},
};
class EncodeText : public testing::TestWithParam<EncodeCase> {};
TEST_P(EncodeText, MakesEncodedWordsThatDecodeBack) {
    const std::string encoded = EncodeHeader(GetParam().text, GetParam().letter, "ISO-8859-1");
    EXPECT_EQ(encoded, GetParam().expected);
    EXPECT_EQ(DecodeHeaderWords(encoded), GetParam().text);
}
INSTANTIATE_TEST_SUITE_P(Table, EncodeText, testing::ValuesIn(kEncodes), ByName);

TEST(EncodeText, LongTextKeptTo75CharactersPerLine) {
    std::string text;
    for (int i = 0; i < 40; ++i) text += "été ";
    for (char letter : {'Q', 'B'}) {
        const std::string encoded = EncodeHeader(text, letter, "ISO-8859-1");
        std::size_t start = 0;
        while (start <= encoded.size()) {
            std::size_t end = encoded.find("\r\n", start);
            if (end == std::string::npos) end = encoded.size();
            EXPECT_LE(end - start, 75u);
            if (start > 0) {
                EXPECT_EQ(encoded[start], '\t');
            }
            start = end + 2;
        }
        TIdHeaderList list;
        list.SetValueOf("Subject", encoded);
        // Unfolding puts a blank between the encoded words of one stretch.
        auto withoutBlanks = [](std::string s) {
            std::erase(s, ' ');
            return s;
        };
        EXPECT_EQ(withoutBlanks(DecodeHeaderWords(list.ValueOf("Subject"))), withoutBlanks(text));
    }
}

TEST(EncodeAddress, NamesQuotedOrEncoded) {
    TIdEMailAddressList list;
    list.Add().SetText("\"Dupont, \\\"Jean\\\"\" <jean@dupont.fr>");
    TIdEMailAddressItem& accented = list.Add();
    accented.Name = "Hélène";
    accented.Address = "helene@x.fr";
    list.Add().Address = "bare@x.fr";
    EXPECT_EQ(
        EncodeAddress(list, 'Q', "ISO-8859-1"),
        "\"Dupont, \\\"Jean\\\"\" <jean@dupont.fr>, =?ISO-8859-1?Q?H=E9l=E8ne?= <helene@x.fr>, bare@x.fr");
}

}  // namespace
