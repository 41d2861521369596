// The inline attachment reader and the part-start recognisers.
#include "mime/message_decoder_uue.h"

#include <gtest/gtest.h>

#include <sstream>

#include "message/message.h"
#include "mime/message_decoder_list.h"
#include "mime/message_decoder_mime.h"
#include "mime/mime_errors.h"
#include "platform/text.h"
#include "support/expect_error.h"

namespace {

struct UueCase {
    const char* name;
    const char* lines;  // after the "begin" line
    std::string bytes;
    bool endOfMessage;
    const char* rest;  // the first line left unread
};

// "#0V%T" carries the three bytes "Cat" in UUE; "M" and "h" open full lines
// of 45 bytes in UUE and XXE.
#define kFullUue "M0V%T0V%T0V%T0V%T0V%T0V%T0V%T0V%T0V%T0V%T0V%T0V%T0V%T0V%T0V%T"
#define kFullXxe "hEq3oEq3oEq3oEq3oEq3oEq3oEq3oEq3oEq3oEq3oEq3oEq3oEq3oEq3oEq3o"
const std::string kCats = "CatCatCatCatCatCatCatCatCatCatCatCatCatCatCat";
const UueCase kUue[] = {
    {"uue_full_then_short_line", kFullUue "\r\n#0V%T\r\n`\r\nend\r\nafter\r\n", kCats + "Cat", false,
     "after"},
    {"end_in_any_case_with_blanks", kFullUue "\r\n  END \r\nafter\r\n", kCats, false, "after"},
    {"xxe_chosen_by_h", kFullXxe "\r\n+\r\nend\r\nafter\r\n", kCats, false, "after"},
    {"tilde_and_blank_lines_write_nothing", kFullUue "\r\n~\r\n   \r\nend\r\nx\r\n", kCats, false, "x"},
    {"empty_lines_before_data_skipped", "\r\n\r\n" kFullUue "\r\nend\r\nx\r\n", kCats, false, "x"},
    {"only_empty_lines_then_end", "\r\n\r\nend\r\nx\r\n", "", false, "x"},
    {"missing_end_stops_at_dot_line", kFullUue "\r\n.\r\nx\r\n", kCats, true, "x"},
    {"short_uue_file_told_by_its_length", "#0V%T\r\n`\r\nend\r\nx\r\n", "Cat", false, "x"},
    {"short_xxe_file_told_by_its_length", "1Eq3o\r\n+\r\nend\r\nx\r\n", "Cat", false, "x"},
    {"short_uue_line_with_checksum", "#0V%TX\r\nend\r\nx\r\n", "Cat", false, "x"},
    {"empty_uue_file", "`\r\nend\r\nx\r\n", "", false, "x"},
    {"stuffed_dot_data_line", kFullUue "\r\n..0V%T0V%T0V%T0V%T0V%T\r\nend\r\nx\r\n", kCats + "CatCatCatCatCa",
     false, "x"},
};

class UueReadPartBody : public testing::TestWithParam<UueCase> {};

TEST_P(UueReadPartBody, DecodesUpToEnd) {
    TIdMessage message;
    TIdMessageDecoderUUE decoder(message);
    decoder.SourceStream = std::make_unique<std::istringstream>(std::string(GetParam().lines));
    std::ostringstream out;
    bool endOfMessage = !GetParam().endOfMessage;
    EXPECT_EQ(decoder.ReadPartBody(out, endOfMessage), nullptr);
    EXPECT_EQ(out.str(), GetParam().bytes);
    EXPECT_EQ(endOfMessage, GetParam().endOfMessage);
    EXPECT_EQ(decoder.ReadSourceLine(), GetParam().rest);
}

INSTANTIATE_TEST_SUITE_P(Inline, UueReadPartBody, testing::ValuesIn(kUue),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(UueReadPartBodyErrors, LineOfNeitherAlphabetFails) {
    TIdMessage message;
    TIdMessageDecoderUUE decoder(message);
    // "#" would carry 3 bytes in UUE, in five characters, not two.
    decoder.SourceStream = std::make_unique<std::istringstream>("#0\r\n`\r\nend\r\n");
    std::ostringstream out;
    bool endOfMessage = false;
    auto e = ExpectThrown<EIdException>([&] { decoder.ReadPartBody(out, endOfMessage); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->Message(), std::string(mime_text::kUnknownUueScheme));
}

struct StartCase {
    const char* name;
    const char* line;
    const char* boundary;  // pushed first when not empty
    const char* encoding;  // the message's own transfer encoding
    enum { kNone, kUue, kMimePart, kMimeWholeBody } kind;
    const char* fileName;
};

const StartCase kStarts[] = {
    {"begin_line", "begin 644 photo.jpg", "", "", StartCase::kUue, "photo.jpg"},
    {"begin_any_case_name_kept_as_is", "BeGiN 600  deux blancs.txt ", "", "", StartCase::kUue,
     " deux blancs.txt "},
    {"begin_windows_1252_name", "begin 644 caf\xE9.txt", "", "", StartCase::kUue, "caf\xC3\xA9.txt"},
    {"begin_utf8_name_kept", "begin 644 caf\xC3\xA9.txt", "", "", StartCase::kUue, "caf\xC3\xA9.txt"},
    {"begin_before_boundary_rule", "begin 644 x", "", "base64", StartCase::kUue, "x"},
    {"four_digit_mode_is_text", "begin 0644 x", "", "", StartCase::kNone, ""},
    {"zero_mode_is_text", "begin 000 x", "", "", StartCase::kNone, ""},
    {"letters_mode_is_text", "begin abc x", "", "", StartCase::kNone, ""},
    {"no_blank_after_mode_is_text", "begin 644x", "", "", StartCase::kNone, ""},
    {"short_begin_is_text", "begin 644", "", "", StartCase::kNone, ""},
    {"boundary_any_case", "--Frontiere", "FRONTIERE", "", StartCase::kMimePart, ""},
    {"closing_boundary_is_text", "--frontiere--", "FRONTIERE", "", StartCase::kNone, ""},
    {"outer_boundary_is_text", "--outer", "FRONTIERE", "", StartCase::kNone, ""},
    {"two_hyphens_without_boundary_are_text", "--", "", "", StartCase::kNone, ""},
    {"base64_body_line", "QUJD", "", "BASE64", StartCase::kMimeWholeBody, ""},
    {"quoted_printable_body_line", "abc", "", "quoted-printable", StartCase::kMimeWholeBody, ""},
    {"eight_bit_body_line_is_text", "abc", "", "8bit", StartCase::kNone, ""},
};

class RecognizeStart : public testing::TestWithParam<StartCase> {};

TEST_P(RecognizeStart, FindsTheRightDecoder) {
    TIdMessage message;
    if (*GetParam().boundary) message.BoundaryStack.PushBoundary(GetParam().boundary);
    message.ContentTransferEncoding = GetParam().encoding;
    auto decoder = TIdMessageDecoderList::FindDecoder(message, GetParam().line);
    auto* uue = dynamic_cast<TIdMessageDecoderUUE*>(decoder.get());
    auto* mime = dynamic_cast<TIdMessageDecoderMIME*>(decoder.get());
    switch (GetParam().kind) {
        case StartCase::kNone:
            EXPECT_EQ(decoder, nullptr);
            break;
        case StartCase::kUue:
            ASSERT_NE(uue, nullptr);
            EXPECT_EQ(uue->FileName, GetParam().fileName);
            EXPECT_EQ(uue->PartType, PartAttachment);
            break;
        case StartCase::kMimePart:
            ASSERT_NE(mime, nullptr);
            EXPECT_FALSE(mime->PendingLine.has_value());
            EXPECT_EQ(mime->PartBoundary, GetParam().boundary);
            break;
        case StartCase::kMimeWholeBody:
            ASSERT_NE(mime, nullptr);
            EXPECT_EQ(mime->PendingLine, GetParam().line);
            EXPECT_TRUE(mime->WholeBodyMode);
            break;
    }
}

INSTANTIATE_TEST_SUITE_P(Registry, RecognizeStart, testing::ValuesIn(kStarts),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DecoderRegistry, HasUueThenMime) { EXPECT_EQ(TIdMessageDecoderList::Names(), "UUE,MIME"); }

}  // namespace
