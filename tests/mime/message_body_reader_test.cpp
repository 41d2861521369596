// Body reception details that the test messages do not show: dot lines at
// the very start, the delimiter, work reporting, and what is left unread.
#include <gtest/gtest.h>

#include "message/message.h"
#include "message/message_part.h"
#include "mime/message_client.h"
#include "mime/mime_errors.h"
#include "mime/text_budget.h"
#include "platform/text.h"
#include "support/expect_error.h"
#include "support/fake_transport.h"
#include "support/generated_message.h"

namespace {

struct BodyCase {
    const char* name;
    bool noDecode;
    const char* bytes;  // the server's lines after the header
    std::vector<std::string> body;
    const char* unread;  // what stays for the next reply
};

const BodyCase kBodies[] = {
    {"stuffed_dot_line_loses_one_dot", false, "..x\r\n...\r\n.\r\n+OK\r\n", {".x", ".."}, "+OK\r\n"},
    {"unstuffed_dot_line_kept", false, ".x\r\n.\r\n", {".x"}, ""},
    {"no_decode_unstuffs_too", true, "..x\r\n--\r\n.\r\n", {".x", "--"}, ""},
    {"no_decode_keeps_part_lines", true, "begin 644 a\r\nM\r\n.\r\nnext", {"begin 644 a", "M"}, "next"},
    {"bare_lf_lines", false, "a\nb\n.\nrest", {"a", "b"}, "rest"},
    {"empty_body", false, ".\r\n", {}, ""},
};

class ReadMessageBody : public testing::TestWithParam<BodyCase> {};

TEST_P(ReadMessageBody, StopsAtTheDelimiter) {
    auto transport = std::make_unique<FakeTransport>(GetParam().bytes, 1);
    FakeTransport& fake = *transport;
    TIdMessageClient client;
    client.SetIOHandler(std::move(transport));
    TIdMessage message;
    message.NoDecode = GetParam().noDecode;
    client.ReadMessageBody(message, ".");
    EXPECT_EQ(message.Body.Lines(), GetParam().body);
    EXPECT_EQ(message.Parts.Count(), 0);
    EXPECT_EQ(client.InputBuffer().Size() + fake.Unread(), std::string_view(GetParam().unread).size());
}

INSTANTIATE_TEST_SUITE_P(Body, ReadMessageBody, testing::ValuesIn(kBodies),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ReadMessageBodyWork, EndsWorkReportingWhenReceptionFails) {
    auto transport = std::make_unique<FakeTransport>("--b\r\nContent-Type: text/plain\r\n.\r\n");
    TIdMessageClient client;
    client.SetIOHandler(std::move(transport));
    int begun = 0, ended = 0;
    client.OnWorkBegin = [&](TIdComponent&, TWorkMode mode, std::int64_t) { begun += mode == wmRead; };
    client.OnWorkEnd = [&](TIdComponent&, TWorkMode mode) { ended += mode == wmRead; };
    TIdMessage message;
    message.BoundaryStack.PushBoundary("B");
    auto e = ExpectThrown<EIdException>([&] { client.ReadMessageBody(message, "."); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->Message(), std::string(mime_text::kUnknownPartType));
    EXPECT_EQ(begun, 1);
    EXPECT_EQ(ended, 1);
}

TEST(ReadMessageBodyDelimiter, OtherDelimiterEndsPlainLines) {
    auto transport = std::make_unique<FakeTransport>("a\r\n.\r\nEND\r\n");
    TIdMessageClient client;
    client.SetIOHandler(std::move(transport));
    TIdMessage message;
    client.ReadMessageBody(message, "END");
    EXPECT_EQ(message.Body.Lines(), (std::vector<std::string>{"a", "."}));
}

// The text a message keeps is bounded: past the budget the rest is read and
// dropped, and the text ends with the note. The reply after the message
// stays readable.
std::vector<std::string> Repeated(const std::string& line, int times) {
    return std::vector<std::string>(static_cast<std::size_t>(times), line);
}
std::string Lines(const std::string& line, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += line + "\r\n";
    return text;
}
// "a" CR LF `times` times in UTF-16LE.
std::string Utf16Lines(int times) {
    std::string units;
    for (int i = 0; i < times; ++i) units.append("a\0\r\0\n\0", 6);
    return units;
}
std::string TextPart(const std::string& headers, const std::string& body) {
    return "MIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=\"f\"\r\n\r\n--f\r\n" + headers +
           "\r\n\r\n" + body + "--f--\r\n";
}
// The lines of the last text holder: the last text part's, else the body's.
const TStringList& LastText(const TIdMessage& message) {
    const TStringList* last = &message.Body;
    for (int i = 0; i < message.Parts.Count(); ++i)
        if (auto* text = dynamic_cast<const TIdText*>(&message.Parts[i])) last = &text->Body;
    return *last;
}
struct TruncationCase {
    const char* name;
    std::size_t maxBytes, maxLines;
    std::string message;            // header, blank line, body, without the final "."
    std::vector<std::string> kept;  // the last text holder's lines, the note left out
};
const TruncationCase kTruncations[] = {
    // 12 bytes a line, its CR LF counted: 8 fit in 100.
    {"body_past_bytes", 100, 1000, "Subject: x\r\n\r\n" + Lines("0123456789", 12), Repeated("0123456789", 8)},
    {"body_past_lines", 1000, 3, "Subject: x\r\n\r\n" + Lines("", 10), Repeated("", 3)},
    // One decoded line of 300 bytes keeps what fits of it.
    {"one_endless_line_keeps_its_start",
     100,
     1000,
     TextPart("Content-Type: text/plain\r\nContent-Transfer-Encoding: quoted-printable",
              Lines(std::string(75, 'q') + "=", 4)),
     {std::string(98, 'q')}},
    // Two bytes a character: 200 bytes give "a" CR LF 33 times and one "a".
    {"utf16_part_bounded_before_conversion", 100, 1000,
     TextPart("Content-Type: text/plain; charset=utf-16le\r\nContent-Transfer-Encoding: base64",
              Base64Encode(Utf16Lines(100)) + "\r\n"),
     Repeated("a", 33)},
};
class ReadMessageBodyBudget : public testing::TestWithParam<TruncationCase> {};
TEST_P(ReadMessageBodyBudget, CutsWithANoteAndReadsToTheEnd) {
    auto transport = std::make_unique<FakeTransport>(GetParam().message + ".\r\n+OK\r\n", 7);
    FakeTransport& fake = *transport;
    TIdMessageClient client;
    client.SetIOHandler(std::move(transport));
    client.MaxTextBytes = GetParam().maxBytes;
    client.MaxTextLines = GetParam().maxLines;
    TIdMessage message;
    client.ReadHeaderBlock(message, "");
    client.ReadMessageBody(message, ".");
    std::vector<std::string> expected = GetParam().kept;
    expected.push_back(std::string(mime_text::kTruncatedNote));
    EXPECT_EQ(LastText(message).Lines(), expected);
    EXPECT_EQ(client.InputBuffer().Size() + fake.Unread(), 5u) << "the next reply is left";
}
INSTANTIATE_TEST_SUITE_P(Table, ReadMessageBodyBudget, testing::ValuesIn(kTruncations),
                         [](const auto& info) { return std::string(info.param.name); });

// Every text becomes UTF-8 from its own charset, also inside an attached message.
std::string AttachedMessage(const std::string& inner) {
    return "MIME-Version: 1.0\r\nContent-Type: multipart/mixed; charset=iso-8859-1; boundary=\"f\"\r\n\r\n"
           "--f\r\nContent-Type: message/rfc822\r\n\r\n" +
           inner + "--f--\r\n";
}
struct BodyCharsetCase {
    const char* name;
    std::string message;            // header, blank line, body, without the final "."
    std::vector<std::string> kept;  // the last text holder's lines
};
const BodyCharsetCase kBodyCharsets[] = {
    {"no_charset_valid_utf8_is_utf8", "Subject: x\r\n\r\nV\xC3\xADt\r\n", {"Vít"}},
    {"no_charset_other_bytes_are_cp1252", "Subject: x\r\n\r\nV\xEDt \x80\r\n", {"Vít €"}},
    {"declared_koi8r", "Content-Type: text/plain; charset=koi8-r\r\n\r\n\xE1\xCE\xCE\xC1\r\n", {"Анна"}},
    {"declared_utf8_invalid_run_one_mark",
     "Content-Type: text/plain; charset=utf-8\r\n\r\na\xFF\xFE\r\n",
     {"a\uFFFD"}},
    {"attached_message_keeps_its_own_charset",
     AttachedMessage(
         "Subject: y\r\nContent-Type: text/plain;\r\n charset=utf-8\r\n\r\n\xE2\x80\x9Cok\xE2\x80\x9D\r\n"),
     {"Subject: y", "Content-Type: text/plain;", " charset=utf-8", "", "“ok”"}},
    {"parts_of_an_attached_message_each_their_charset",
     AttachedMessage("Content-Type: multipart/alternative; boundary=in\r\n\r\n--in\r\n"
                     "Content-Type: text/plain; charset=iso-8859-7\r\n\r\n\xE1\r\n--in\r\n"
                     "Content-Type: text/plain; charset=gb2312\r\n\r\n\xCD\xF5\r\n--in--\r\n"),
     {"Content-Type: multipart/alternative; boundary=in", "", "--in",
      "Content-Type: text/plain; charset=iso-8859-7", "", "α", "--in",
      "Content-Type: text/plain; charset=gb2312", "", "王", "--in--"}},
};
class ReadMessageBodyCharset : public testing::TestWithParam<BodyCharsetCase> {};
TEST_P(ReadMessageBodyCharset, GivesUtf8Lines) {
    TIdMessageClient client;
    client.SetIOHandler(std::make_unique<FakeTransport>(GetParam().message + ".\r\n", 3));
    TIdMessage message;
    client.ReadHeaderBlock(message, "");
    client.ReadMessageBody(message, ".");
    EXPECT_EQ(LastText(message).Lines(), GetParam().kept);
}
INSTANTIATE_TEST_SUITE_P(Table, ReadMessageBodyCharset, testing::ValuesIn(kBodyCharsets),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ReadMessageBodyBudget, TextWithinTheBudgetHasNoNote) {
    auto transport = std::make_unique<FakeTransport>("Subject: x\r\n\r\n" + Lines("0123456789", 8) + ".\r\n");
    TIdMessageClient client;
    client.SetIOHandler(std::move(transport));
    client.MaxTextBytes = 96;
    TIdMessage message;
    client.ReadHeaderBlock(message, "");
    client.ReadMessageBody(message, ".");
    EXPECT_EQ(message.Body.Lines(), Repeated("0123456789", 8));
}

}  // namespace
