// Reading and classifying POP3 replies, fed in pieces of several sizes.
#include <gtest/gtest.h>

#include "net/net_errors.h"
#include "platform/text.h"
#include "pop3/pop3.h"
#include "support/expect_error.h"
#include "support/fake_transport.h"

namespace {
constexpr std::size_t kChunks[] = {1, 2, 3, 7, 0};
auto byName = [](const auto& info) { return std::string(info.param.name); };

struct ReplyCase {
    const char* name;
    std::string input;
    int code;
    std::string textCode;
    std::vector<std::string> text;
    std::string next;  // the line that follows the reply, to show where it ended
};
const ReplyCase kReplies[] = {
    {"ok_with_two_numbers", "+OK 2 320\r\nnext\r\n", 1, "1", {"2 320"}, "next"},
    {"ok_alone_has_one_empty_entry", "+OK\r\nnext\r\n", 1, "1", {""}, "next"},
    {"err_keeps_leading_blank", "-ERR no such message\r\nnext\r\n", 2, "2", {" no such message"}, "next"},
    {"small_letters", "+ok fine\r\nnext\r\n", 1, "1", {"fine"}, "next"},
    {"small_letters_err", "-err bad\r\nnext\r\n", 2, "2", {" bad"}, "next"},
    {"blank_lines_skipped", "\r\n   \r\n\t\r\n+OK x\r\nnext\r\n", 1, "1", {"x"}, "next"},
    {"leading_blanks_stripped", "   +OK x\r\nnext\r\n", 1, "1", {"x"}, "next"},
    {"bare_lf_ends", "+OK 1 2\nnext\n", 1, "1", {"1 2"}, "next"},
    // POP3 has no continuation lines: "+OK-" begins a reply of one line.
    {"hyphen_after_ok_is_one_line", "+OK-first\r\nmore\r\n+ok last\r\n", 1, "1", {"first"}, "more"},
    {"hyphen_line_after_is_the_next_reply", "+OK-first\r\n+OK-next\r\n", 1, "1", {"first"}, "+OK-next"},
    {"high_bytes_in_text", "-ERR d\xE9j\xE0 pris\r\nnext\r\n", 2, "2", {" d\xE9j\xE0 pris"}, "next"},
};
class Pop3Reply : public testing::TestWithParam<ReplyCase> {};
TEST_P(Pop3Reply, ClassifiesAndSplits) {
    for (std::size_t chunk : kChunks) {
        SCOPED_TRACE(chunk);
        TIdPOP3 client;
        InstallFakeTransport(client, GetParam().input, chunk);
        EXPECT_EQ(client.ReadReply({}), GetParam().code);
        EXPECT_EQ(client.LastReply.NumericCode(), GetParam().code);
        EXPECT_EQ(client.LastReply.TextCode(), GetParam().textCode);
        EXPECT_EQ(client.LastReply.Text.Lines(), GetParam().text);
        EXPECT_EQ(client.ReadLine(), GetParam().next);
    }
}
INSTANTIATE_TEST_SUITE_P(Rows, Pop3Reply, testing::ValuesIn(kReplies), byName);

struct UnknownCase {
    const char* name;
    std::string input;
    std::string message;  // UTF-8
    int numericCode;
};
const UnknownCase kUnknown[] = {
    {"ok_glued_to_letter", "+OKAY\r\n", "En-tête de réponse POP3 non reconnu :\n\"Y\r\n\"", 0},
    {"numbered_greeting", "220 ready\r\n", "En-tête de réponse POP3 non reconnu :\n\"ready\r\n\"", 220},
    {"plain_text", "hello world\r\n", "En-tête de réponse POP3 non reconnu :\n\"o world\r\n\"", 0},
    // The text shown to the user is UTF-8, whatever the server wrote.
    {"err_windows_1252_text", "-ERR d\xE9j\xE0 pris\r\n", " déjà pris\r\n", 2},
    {"err_utf8_text", "-ERR d\xC3\xA9j\xC3\xA0 pris\r\n", " déjà pris\r\n", 2},
    {"unrecognised_windows_1252_text", "hello d\xE9j\xE0\r\n",
     "En-tête de réponse POP3 non reconnu :\n\"o déjà\r\n\"", 0},
};
class Pop3ReplyUnrecognised : public testing::TestWithParam<UnknownCase> {};
TEST_P(Pop3ReplyUnrecognised, RaisesWithTheReplyText) {
    TIdPOP3 client;
    InstallFakeTransport(client, GetParam().input);
    if (auto e = ExpectThrown<EIdException>([&] { client.ReadReply({1}); })) {
        EXPECT_EQ(e->Message(), std::string(GetParam().message));
    }
    EXPECT_EQ(client.LastReply.NumericCode(), GetParam().numericCode);
}
INSTANTIATE_TEST_SUITE_P(Rows, Pop3ReplyUnrecognised, testing::ValuesIn(kUnknown), byName);

TEST(SendCommand, ErrWhenOkExpectedRaisesWithCode2) {
    TIdPOP3 client;
    FakeTransport& fake = InstallFakeTransport(client, "-ERR no such message\r\n");
    if (auto e = ExpectThrown<EIdProtocolReplyError>([&] { client.SendCommand("DELE 9", 1); })) {
        EXPECT_EQ(e->ReplyErrorCode(), 2);
        EXPECT_EQ(e->Message(), " no such message\r\n");
    }
    EXPECT_EQ(fake.Written(), "DELE 9\r\n");
    EXPECT_TRUE(client.IsConnected());  // a reply error does not close
}

TEST(SendCommand, AnyCodeAcceptedWithMinusOne) {
    TIdPOP3 client;
    InstallFakeTransport(client, "-ERR no such message\r\n");
    EXPECT_EQ(client.SendCommand("RETR 9", -1), 2);
}

TEST(SendCommand, ClosedBeforeReplyIsClosedGracefully) {
    TIdPOP3 client;
    InstallFakeTransport(client, "+OK par");
    EXPECT_THROW(client.SendCommand("STAT", 1), EIdConnClosedGracefully);
}

TEST(RfcReply, TextCodeAndNumericCodeFollowEachOther) {
    TIdRFCReply reply;
    reply.SetTextCode("250");
    EXPECT_EQ(reply.NumericCode(), 250);
    reply.SetTextCode("+OK");
    EXPECT_EQ(reply.NumericCode(), 0);
    reply.SetNumericCode(2);
    EXPECT_EQ(reply.TextCode(), "2");
    reply.Clear();
    EXPECT_EQ(reply.NumericCode(), 0);
    EXPECT_EQ(reply.TextCode(), "");
    EXPECT_EQ(reply.Text.Count(), 0);
}
}  // namespace
