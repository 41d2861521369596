// Body reception details that the test messages do not show: dot lines at
// the very start, the delimiter, work reporting, and what is left unread.
#include <gtest/gtest.h>

#include "message/message.h"
#include "mime/message_client.h"
#include "mime/mime_errors.h"
#include "platform/text.h"
#include "support/expect_error.h"
#include "support/fake_transport.h"

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
    EXPECT_EQ(e->Message(), Ansi(mime_text::kUnknownPartType));
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

}  // namespace
