// The MIME part reader on its own: part headers, classification and file
// names, and part bodies up to a boundary, read from an in-memory source.
#include "mime/message_decoder_mime.h"

#include <gtest/gtest.h>

#include <sstream>

#include "message/message.h"
#include "mime/mime_errors.h"
#include "platform/text.h"
#include "support/expect_error.h"

namespace {

std::unique_ptr<std::istream> Source(std::string_view text) {
    return std::make_unique<std::istringstream>(std::string(text));
}

struct ClassifyCase {
    const char* name;
    const char* contentType;
    const char* disposition;
    TIdMessageDecoderPartType type;
    const char* fileName;
};

const ClassifyCase kClassify[] = {
    {"plain_text_type_is_text", "text/plain", "", PartText, ""},
    {"inline_without_name_is_text", "text/plain", "inline", PartText, ""},
    {"disposition_attachment_any_case", "application/pdf", "ATTACHMENT; size=3", PartAttachment, ""},
    {"quoted_filename_with_blank", "application/pdf", "attachment; filename=\"a b.pdf\"", PartAttachment,
     "a b.pdf"},
    {"inline_with_type_name", "image/png; name=\"x.png\"", "inline", PartAttachment, "x.png"},
    {"unquoted_filename_keeps_the_rest", "application/pdf", "attachment; filename=report.pdf; size=1234",
     PartAttachment, "report.pdf; size=1234"},
    {"filename_wins_over_type_name", "image/png; name=\"type.png\"", "attachment; filename=\"disp.png\"",
     PartAttachment, "disp.png"},
    {"quote_never_closed_runs_to_end", "text/plain; name=\"open.txt", "", PartAttachment, "open.txt"},
    {"name_found_inside_other_words", "text/x-filename-list", "", PartAttachment, "list"},
    {"name_letters_in_any_case", "text/plain; Name=n.txt", "", PartAttachment, "n.txt"},
    {"encoded_word_file_name", "application/octet-stream",
     "attachment; filename=\"=?ISO-8859-1?Q?r=E9sum=E9.txt?=\"", PartAttachment, "résumé.txt"},
    {"utf8_encoded_word_decoded", "application/octet-stream; name=\"=?UTF-8?Q?r=C3=A9sum=C3=A9.txt?=\"", "",
     PartAttachment, "résumé.txt"},
    {"unknown_charset_word_stays", "application/octet-stream; name=\"=?X-UNKNOWN?Q?a.txt?=\"", "",
     PartAttachment, "=?X-UNKNOWN?Q?a.txt?="},
};

// File names in the extended parameter form, with their charset and in pieces.
const ClassifyCase kExtendedNames[] = {
    {"utf8_filename", "application/pdf", "attachment; filename*=UTF-8''r%C3%A9sum%C3%A9.pdf", PartAttachment,
     "résumé.pdf"},
    {"pieces_with_a_character_split_between_them", "application/pdf",
     "attachment; filename*0*=UTF-8''r%C3; filename*1*=%A9sum%C3%A9; filename*2=\".pdf\"", PartAttachment,
     "résumé.pdf"},
    {"pieces_folded_and_out_of_order", "application/pdf", "attachment;\tfilename*1=\"b.txt\";  FILENAME*0=a",
     PartAttachment, "ab.txt"},
    {"missing_piece_ends_the_name", "application/pdf", "attachment; filename*0=a; filename*2=c",
     PartAttachment, "a"},
    {"language_and_latin1", "application/pdf", "attachment; filename*=iso-8859-1'fr'caf%E9.txt",
     PartAttachment, "café.txt"},
    {"euro_in_type_name", "application/pdf; name*=UTF-8''%E2%82%AC.pdf", "attachment", PartAttachment,
     "€.pdf"},
    {"extended_wins_over_plain", "application/pdf",
     "attachment; filename=\"resume.pdf\"; filename*=UTF-8''r%C3%A9sum%C3%A9.pdf", PartAttachment,
     "résumé.pdf"},
    {"unknown_charset_keeps_bytes", "application/pdf", "attachment; filename*=x-unknown''caf%E9.txt",
     PartAttachment, "café.txt"},
    {"no_charset_utf8_converted", "application/pdf", "attachment; filename*=''caf%C3%A9.txt", PartAttachment,
     "café.txt"},
    {"semicolon_inside_quotes", "application/pdf", "attachment; filename*0=\"a;b\"; filename*1=.txt",
     PartAttachment, "a;b.txt"},
};

class ClassifyPart : public testing::TestWithParam<ClassifyCase> {};

TEST_P(ClassifyPart, GivesKindAndFileName) {
    TIdMessage message;
    TIdMessageDecoderMIME decoder(message);
    decoder.ClassifyPart(std::string(GetParam().contentType), std::string(GetParam().disposition));
    EXPECT_EQ(decoder.PartType, GetParam().type);
    EXPECT_EQ(decoder.FileName, std::string(GetParam().fileName));
}

INSTANTIATE_TEST_SUITE_P(Parts, ClassifyPart, testing::ValuesIn(kClassify),
                         [](const auto& info) { return std::string(info.param.name); });
INSTANTIATE_TEST_SUITE_P(ExtendedNames, ClassifyPart, testing::ValuesIn(kExtendedNames),
                         [](const auto& info) { return std::string(info.param.name); });

struct HeaderCase {
    const char* name;
    const char* lines;  // what the part header reader gets
    std::vector<std::string> partHeaders;
    TIdMessageDecoderPartType type;
    const char* partBoundary;
    const char* rest;  // the first line left unread
};

const HeaderCase kHeaders[] = {
    {"colon_blank_becomes_equals",
     "Content-Type: text/plain; charset=iso-8859-1\r\n\r\nbody\r\n",
     {"Content-Type=text/plain; charset=iso-8859-1"},
     PartText,
     "OUTER",
     "body"},
    {"no_blank_after_colon_stays",
     "Content-Type:text/plain\r\n\r\nbody\r\n",
     {"Content-Type:text/plain"},
     PartText,
     "OUTER",
     "body"},
    {"folded_line_joined_with_one_blank",
     "Content-Type: image/png;\r\n\tname=\"x.png\"\r\n\r\nb\r\n",
     {"Content-Type=image/png; name=\"x.png\""},
     PartAttachment,
     "OUTER",
     "b"},
    {"continuation_keeps_its_colon_blank",
     "X-A: 1\r\n x: 2\r\n\r\nb\r\n",
     {"X-A=1 x: 2"},
     PartText,
     "OUTER",
     "b"},
    {"continuation_first_becomes_a_line",
     " Content-Type: text/html\r\n\r\nb\r\n",
     {"Content-Type=text/html"},
     PartText,
     "OUTER",
     "b"},
    {"nested_boundary_pushed",
     "Content-Type: multipart/alternative; boundary=\"in\"\r\n\r\nb\r\n",
     {"Content-Type=multipart/alternative; boundary=\"in\""},
     PartText,
     "IN",
     "b"},
    {"dot_line_cuts_the_header",
     "Content-Type: text/plain\r\n.\r\nb\r\n",
     {"Content-Type=text/plain"},
     PartUnknown,
     "OUTER",
     "b"},
    {"empty_header", "\r\nb\r\n", {}, PartText, "OUTER", "b"},
};

class ReadPartHeader : public testing::TestWithParam<HeaderCase> {};

TEST_P(ReadPartHeader, StoresLinesAndClassifies) {
    TIdMessage message;
    message.BoundaryStack.PushBoundary("OUTER");
    TIdMessageDecoderMIME decoder(message);
    decoder.SourceStream = Source(GetParam().lines);
    decoder.ReadPartHeader();
    EXPECT_EQ(decoder.PartHeaders.Lines(), GetParam().partHeaders);
    EXPECT_EQ(decoder.PartType, GetParam().type);
    EXPECT_EQ(decoder.PartBoundary, GetParam().partBoundary);
    EXPECT_EQ(message.BoundaryStack.CurrentBoundary(), GetParam().partBoundary);
    EXPECT_EQ(decoder.ReadSourceLine(), GetParam().rest);
}

INSTANTIATE_TEST_SUITE_P(Parts, ReadPartHeader, testing::ValuesIn(kHeaders),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ReadPartHeaderWholeBody, ReadsNothingAndUsesTheMessageHeader) {
    TIdMessage message;
    message.ContentTransferEncoding = "Base64";
    message.ContentType = "application/octet-stream; name=\"m.bin\"";
    TIdMessageDecoderMIME decoder(message, "QUJD");
    decoder.SourceStream = Source("Content-Type: text/plain\r\n");
    decoder.ReadPartHeader();
    EXPECT_TRUE(decoder.WholeBodyMode);
    EXPECT_EQ(decoder.PartType, PartAttachment);
    EXPECT_EQ(decoder.FileName, "m.bin");
    EXPECT_EQ(decoder.PartHeaders.Count(), 0);
    EXPECT_EQ(decoder.ReadSourceLine(), "Content-Type: text/plain");
}

struct BodyCase {
    const char* name;
    const char* encoding;  // the part's Content-Transfer-Encoding
    const char* lines;
    std::string bytes;
    enum { kNextPart, kClosing, kEndOfMessage } end;
};

const BodyCase kBodies[] = {
    {"plain_lines_end_with_crlf", "", "un\r\ndeux\r\n--b\r\n", "un\r\ndeux\r\n", BodyCase::kNextPart},
    {"boundary_any_case", "7bit", "x\r\n--B\r\n", "x\r\n", BodyCase::kNextPart},
    {"closing_boundary_pops", "", "x\r\n--b--\r\n", "x\r\n", BodyCase::kClosing},
    {"outer_boundary_is_content", "", "--other\r\n--b\r\n", "--other\r\n", BodyCase::kNextPart},
    {"dot_line_ends_the_message", "", "x\r\n.\r\n", "x\r\n", BodyCase::kEndOfMessage},
    {"plain_line_loses_one_leading_dot", "8bit", "..x\r\n.y\r\n--b\r\n", ".x\r\ny\r\n", BodyCase::kNextPart},
    {"base64_skips_empty_lines", "BASE64", "TWFu\r\n\r\nTWE=\r\n--b\r\n", "ManMa", BodyCase::kNextPart},
    {"quoted_printable_soft_break", "Quoted-Printable", "caf=E9 au lait=\r\nsuite\r\n--b\r\n",
     "caf\xE9 au laitsuite\r\n", BodyCase::kNextPart},
    {"quoted_printable_stuffed_dot", "quoted-printable", "..x=3D1\r\n--b\r\n", ".x=1\r\n",
     BodyCase::kNextPart},
    {"boundary_with_trailing_blank_is_content", "", "--b \r\n--b\r\n", "--b \r\n", BodyCase::kNextPart},
};

class ReadPartBody : public testing::TestWithParam<BodyCase> {};

TEST_P(ReadPartBody, DecodesUpToTheBoundary) {
    TIdMessage message;
    message.BoundaryStack.PushBoundary("OUTER");
    message.BoundaryStack.PushBoundary("B");
    TIdMessageDecoderMIME decoder(message);
    decoder.PartHeaders.Add(std::string("Content-Transfer-Encoding=") + GetParam().encoding);
    decoder.SourceStream = Source(GetParam().lines);
    std::ostringstream out;
    bool endOfMessage = true;
    auto next = decoder.ReadPartBody(out, endOfMessage);
    EXPECT_EQ(out.str(), GetParam().bytes);
    EXPECT_EQ(endOfMessage, GetParam().end == BodyCase::kEndOfMessage);
    EXPECT_EQ(next != nullptr, GetParam().end == BodyCase::kNextPart);
    EXPECT_EQ(message.BoundaryStack.CurrentBoundary(), GetParam().end == BodyCase::kClosing ? "OUTER" : "B");
}

INSTANTIATE_TEST_SUITE_P(Parts, ReadPartBody, testing::ValuesIn(kBodies),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ReadPartBodyErrors, IrregularBase64LineKeepsWhatDecodesAndMarksThePart) {
    TIdMessage message;
    TIdMessageDecoderMIME decoder(message);
    decoder.PartHeaders.Add("Content-Transfer-Encoding=base64");
    decoder.SourceStream = Source("TWFu\r\nTWFuX\r\nTWFu\r\n.\r\n");
    std::ostringstream out;
    bool endOfMessage = false;
    EXPECT_EQ(decoder.ReadPartBody(out, endOfMessage), nullptr);
    EXPECT_TRUE(endOfMessage) << "the part is read to its end";
    EXPECT_TRUE(decoder.PartUnreadable);
    EXPECT_EQ(out.str(), "ManMan") << "the whole groups of the broken line; nothing shifted after it";
}

TEST(ReadPartBodyWithoutBoundary, HyphenLinesAreText) {
    TIdMessage message;
    message.ContentTransferEncoding = "quoted-printable";
    TIdMessageDecoderMIME decoder(message, "");
    decoder.SourceStream = Source("--\r\n----\r\nfin\r\n.\r\n");
    std::ostringstream out;
    bool endOfMessage = false;
    EXPECT_EQ(decoder.ReadPartBody(out, endOfMessage), nullptr);
    EXPECT_TRUE(endOfMessage);
    // The empty pending first line is a line of its own.
    EXPECT_EQ(out.str(), "\r\n--\r\n----\r\nfin\r\n");
}

}  // namespace
