#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "mime/decoder.h"
#include "mime/decoder_quoted_printable.h"
#include "mime/decoder_uue.h"
#include "mime/mime_errors.h"
#include "support/test_data.h"

namespace {

// Hands `line` to the decoder from a heap block of exactly its length, so that
// AddressSanitizer reports any read past its end.
void Feed(TIdDecoder& decoder, const std::string& line, std::ostream& out) {
    auto exact = std::make_unique<char[]>(line.size());
    std::copy(line.begin(), line.end(), exact.get());
    decoder.DecodeToStream(std::string_view(exact.get(), line.size()), out);
}

std::string DecodeLines(TIdDecoder& decoder, const std::vector<std::string>& lines) {
    std::ostringstream out;
    for (const std::string& line : lines) Feed(decoder, line, out);
    return out.str();
}

// The lines of a golden file, without their LF.
std::vector<std::string> GoldenLines(const std::string& name) {
    std::vector<std::string> lines;
    std::istringstream in(ReadTestData("mime/" + name));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

struct DecodeCase {
    const char* name;
    std::vector<std::string> lines;  // one call each
    std::string expected;
};
auto byName = [](const auto& info) { return std::string(info.param.name); };

// --- base64 ------------------------------------------------------------------

const DecodeCase kBase64[] = {
    {"three_bytes", {"TWFu"}, "Man"},
    {"one_fill_keeps_two", {"TWE="}, "Ma"},
    {"two_fills_keep_one", {"TQ=="}, "M"},
    {"fill_tested_in_every_group", {"TQ==TWFu"}, "MMan"},
    {"fill_third_ignores_fourth", {"TQ=x"}, "M"},
    {"several_lines_append", {"TWFu", "TWFu"}, "ManMan"},
    {"high_bytes_decoded", {"6efp/w=="}, "\xE9\xE7\xE9\xFF"},
    // Outside characters contribute 255, whose bits overlap the neighbours.
    {"outside_char_bleeds_into_neighbours", {"TW*u"}, "M\x7F\xEE"},
    {"e_acute_is_outside", {"\xE9\xE9\xE9\xE9"}, "\xFF\xFF\xFF"},
    {"c_cedilla_and_0xff_are_outside", {"\xE7\xFF\xE7\xFF"}, "\xFF\xFF\xFF"},
    {"code_0_is_outside", {std::string(4, '\0')}, "\xFF\xFF\xFF"},
    {"code_127_and_128_are_outside", {"\x7F\x80\x7F\x80"}, "\xFF\xFF\xFF"},
    {"empty_text_writes_nothing", {""}, ""},
};
class Base64 : public testing::TestWithParam<DecodeCase> {};
TEST_P(Base64, DecodesByTheGroupRule) {
    TIdDecoderMIME decoder;
    EXPECT_EQ(DecodeLines(decoder, GetParam().lines), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Table, Base64, testing::ValuesIn(kBase64), byName);

const char* const kIrregular[] = {"TWFuT", "TWFu ", "TWF", "T", "TWFu\r\n"};
class Base64Irregular : public testing::TestWithParam<const char*> {};
TEST_P(Base64Irregular, FailsBeforeWriting) {
    TIdDecoderMIME decoder;
    std::ostringstream out;
    try {
        Feed(decoder, GetParam(), out);
        FAIL() << "no error";
    } catch (const EIdException& e) {
        EXPECT_EQ(e.Message(), std::string(mime_text::kIrregularSize));
    }
    EXPECT_EQ(out.str(), "");
}
INSTANTIATE_TEST_SUITE_P(Table, Base64Irregular, testing::ValuesIn(kIrregular));

TEST(Base64, GoldenFileInFragmentsOfWholeGroups) {
    std::string all;
    for (const std::string& line : GoldenLines("sample.b64")) all += line;
    for (std::size_t n : {4u, 8u, 12u, 28u, 76u, 0u}) {
        SCOPED_TRACE(n);
        std::size_t step = n == 0 ? all.size() : n;
        std::vector<std::string> pieces;
        for (std::size_t at = 0; at < all.size(); at += step) pieces.push_back(all.substr(at, step));
        TIdDecoderMIME decoder;
        EXPECT_EQ(DecodeLines(decoder, pieces), ReadTestData("mime/sample.bin"));
    }
}

TEST(DecodeTables, EveryAlphabetCharacterHasItsIndex) {
    struct Kind {
        const TDecodeTable& table;
        std::string_view alphabet;
    };
    for (const Kind& kind :
         {Kind{GDecodeTableMIME, decoder_alphabet::kMIME}, Kind{GDecodeTableUUE, decoder_alphabet::kUUE},
          Kind{GDecodeTableXXE, decoder_alphabet::kXXE}}) {
        ASSERT_EQ(kind.alphabet.size(), 64u);
        int inAlphabet = 0;
        for (int code = 1; code <= 127; ++code) {
            std::size_t index = kind.alphabet.find(static_cast<char>(code));
            EXPECT_EQ(kind.table[code - 1], index == std::string_view::npos ? 255 : index) << code;
            inAlphabet += index != std::string_view::npos;
        }
        EXPECT_EQ(inAlphabet, 64);
    }
    // UUE: grave accent for 0, then code 32 + k for k.
    EXPECT_EQ(GDecodeTableUUE['`' - 1], 0);
    EXPECT_EQ(GDecodeTableUUE['!' - 1], 1);
    EXPECT_EQ(GDecodeTableUUE['_' - 1], 63);
    EXPECT_EQ(GDecodeTableUUE[' ' - 1], 255);
}

// --- UUE and XXE -------------------------------------------------------------

const DecodeCase kUue[] = {
    {"length_char_then_groups", {"#0V%T"}, "Cat"},
    {"checksum_char_after_groups_ignored", {"#0V%TX"}, "Cat"},
    {"one_byte_line_pads_two", {"!00"}, "A"},
    {"two_byte_line_pads_one", {"\"0V%"}, "Ca"},
    {"spaces_read_as_grave_accent", {"#    "}, std::string(3, '\0')},
    {"grave_accents_are_zero", {"#````"}, std::string(3, '\0')},
    {"space_length_char_writes_nothing", {" "}, ""},
    {"grave_accent_line_writes_nothing", {"`"}, ""},
    {"empty_line_writes_nothing", {""}, ""},
    // Missing characters read as the zero character: still three bytes.
    {"short_line_gives_its_length", {"#0V"}, std::string("C`\0", 3)},
    {"e_acute_outside_bleeds",
     {"#\xE9V%T"},
     "\xFF"
     "at"},
    {"lines_append", {"#0V%T", "!00"}, "CatA"},
};
class Uue : public testing::TestWithParam<DecodeCase> {};
TEST_P(Uue, DecodesLineByLengthChar) {
    TIdDecoderUUE decoder;
    EXPECT_EQ(DecodeLines(decoder, GetParam().lines), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Table, Uue, testing::ValuesIn(kUue), byName);

const DecodeCase kXxe[] = {
    {"length_char_then_groups", {"1Eq3o"}, "Cat"},
    {"checksum_char_after_groups_ignored", {"1Eq3oZ"}, "Cat"},
    {"plus_line_writes_nothing", {"+"}, ""},
    {"pluses_are_zero", {"1++++"}, std::string(3, '\0')},
    // Only UUE reads a space as zero; here it is outside the alphabet.
    {"space_is_outside", {"- +"}, "\xFC"},
};
class Xxe : public testing::TestWithParam<DecodeCase> {};
TEST_P(Xxe, DecodesLineByLengthChar) {
    TIdDecoderXXE decoder;
    EXPECT_EQ(DecodeLines(decoder, GetParam().lines), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Table, Xxe, testing::ValuesIn(kXxe), byName);

TEST(Uue, OutsideLengthCharReadsAs255Bytes) {
    TIdDecoderUUE decoder;
    EXPECT_EQ(DecodeLines(decoder, {"\xFF"
                                    "0V%T"})
                  .size(),
              255u);
}

struct GoldenCase {
    const char* name;
    const char* file;
    std::unique_ptr<TIdDecoder> (*make)();
};
const GoldenCase kGolden[] = {
    {"uue_grave_accents", "sample.uue", [] { return std::unique_ptr<TIdDecoder>(new TIdDecoderUUE); }},
    {"uue_spaces", "sample_spaces.uue", [] { return std::unique_ptr<TIdDecoder>(new TIdDecoderUUE); }},
    {"xxe", "sample.xxe", [] { return std::unique_ptr<TIdDecoder>(new TIdDecoderXXE); }},
    {"base64_lines", "sample.b64", [] { return std::unique_ptr<TIdDecoder>(new TIdDecoderMIME); }},
};
class Golden : public testing::TestWithParam<GoldenCase> {};
TEST_P(Golden, LinesGiveTheSampleBytes) {
    auto decoder = GetParam().make();
    EXPECT_EQ(DecodeLines(*decoder, GoldenLines(GetParam().file)), ReadTestData("mime/sample.bin"));
}
INSTANTIATE_TEST_SUITE_P(Files, Golden, testing::ValuesIn(kGolden), byName);

// --- quoted-printable --------------------------------------------------------

const DecodeCase kQuotedPrintable[] = {
    {"soft_break_joins_lines", {"caf=E9 au lait=\r\n", "suite\r\n"}, "caf\xE9 au laitsuite\r\n"},
    {"escaped_equals", {"a=3Db\r\n"}, "a=b\r\n"},
    {"lower_case_hex", {"caf=e9\r\n"}, "caf\xE9\r\n"},
    {"stray_equals_dropped", {"a=zb\r\n"}, "azb\r\n"},
    {"equals_then_space_dropped", {"a = b\r\n"}, "a  b\r\n"},
    {"one_digit_is_its_value", {"x=4\r\n"}, "x\x04\r\n"},
    {"third_hex_digit_is_text", {"=41B\r\n"}, "AB\r\n"},
    {"trailing_blanks_dropped", {"end   \r\n"}, "end\r\n"},
    {"trailing_tabs_and_spaces_dropped", {"end \t \r\n"}, "end\r\n"},
    {"blank_between_cr_and_lf_dropped", {"a\r \n"}, "a\r\n"},
    {"escaped_space_kept_before_break", {"a=20\r\n"}, "a \r\n"},
    {"escaped_space_mid_line", {"a=20b\r\n"}, "a b\r\n"},
    {"blank_line_kept", {"\r\n"}, "\r\n"},
    {"blanks_only_line", {" \t \r\n"}, "\r\n"},
    {"soft_break_alone_writes_nothing", {"=\r\n"}, ""},
    {"soft_break_on_lf", {"a=\n", "b\n"}, "ab\n"},
    {"soft_break_takes_two_breaks", {"a=\n\n"}, "a"},
    {"raw_high_bytes_pass", {"\xE9\xE7\xFF\r\n"}, "\xE9\xE7\xFF\r\n"},
    {"escaped_high_bytes", {"=E9=E7=FF\r\n"}, "\xE9\xE7\xFF\r\n"},
    {"escaped_nul", {"a=00b\r\n"}, std::string("a\0b\r\n", 5)},
    {"no_line_break", {"abc"}, "abc"},
    {"ends_after_equals", {"abc="}, "abc"},
    {"ends_inside_escape", {"abc=4"}, "abc\x04"},
    {"empty_text", {""}, ""},
};
class QuotedPrintable : public testing::TestWithParam<DecodeCase> {};
TEST_P(QuotedPrintable, DecodesLine) {
    TIdDecoderQuotedPrintable decoder;
    EXPECT_EQ(DecodeLines(decoder, GetParam().lines), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Table, QuotedPrintable, testing::ValuesIn(kQuotedPrintable), byName);

TEST(QuotedPrintable, GoldenTextLineByLineWithCrLf) {
    std::vector<std::string> lines = GoldenLines("text.qp");
    for (std::string& line : lines) line += "\r\n";
    TIdDecoderQuotedPrintable decoder;
    EXPECT_EQ(DecodeLines(decoder, lines), ReadTestData("mime/text.txt"));
}

// Each call is one write: a stream that counts writes sees one per line.
class CountingBuf : public std::streambuf {
public:
    int writes = 0;

protected:
    std::streamsize xsputn(const char*, std::streamsize n) override {
        ++writes;
        return n;
    }
    int_type overflow(int_type c) override {
        ++writes;
        return c;
    }
};

TEST(Decoders, OneWritePerCall) {
    CountingBuf counter;
    std::ostream out(&counter);
    TIdDecoderMIME base64;
    base64.DecodeToStream("TWFuTWFuTWE=", out);
    TIdDecoderQuotedPrintable qp;
    qp.DecodeToStream("caf=E9 au lait\r\n", out);
    TIdDecoderUUE uue;
    uue.DecodeToStream("#0V%T", out);
    uue.DecodeToStream("`", out);
    EXPECT_EQ(counter.writes, 3);
}

}  // namespace
