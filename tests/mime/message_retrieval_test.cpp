// Every test message retrieved with RETR through an in-memory server, at
// several receive sizes, and checked field by field against its expected
// result.
#include <gtest/gtest.h>

#include "message/message.h"
#include "message/message_parts.h"
#include "platform/text.h"
#include "pop3/pop3.h"
#include "support/expected_message.h"
#include "support/fake_transport.h"
#include "support/script_text.h"
#include "support/scripted_pop3_server.h"

namespace {

struct Retrieval {
    bool result = false;
    std::string error;
    std::string written;
};

// RETR 1 on a client whose server answers with `answer`.
Retrieval Retrieve(TIdMessage& message, const std::string& answer, std::size_t chunk) {
    auto transport = std::make_unique<FakeTransport>(answer, chunk);
    FakeTransport& fake = *transport;
    TIdPOP3 client;
    client.SetIOHandler(std::move(transport));
    Retrieval r;
    try {
        r.result = client.LoadMessage(1, message);
    } catch (const EIdException& e) {
        r.error = e.Message();
    }
    r.written = fake.Written();
    return r;
}

class MessageRetrieval : public testing::TestWithParam<std::string> {};

TEST_P(MessageRetrieval, GivesTheExpectedMessageAtEveryReceiveSize) {
    const ExpectedMessage expected = ReadExpectedMessage(GetParam());
    const std::string answer = RetrAnswerLines(ReadTestMessage(GetParam()));
    for (std::size_t chunk : {1, 2, 3, 7, 0}) {
        SCOPED_TRACE("receive size " + std::to_string(chunk));
        TIdMessage message;
        message.NoDecode = expected.noDecode;
        const Retrieval r = Retrieve(message, "+OK message follows\r\n" + answer, chunk);
        EXPECT_EQ(r.written, "RETR 1\r\n");
        EXPECT_EQ(r.error, expected.error);
        EXPECT_EQ(r.result, expected.error.empty());
        ExpectMessageAsExpected(message, expected);
        RemoveAttachmentFiles(message);
    }
}

// The same retrieval in a whole session with the loopback server; a failed
// retrieval leaves the session usable for QUIT.
TEST_P(MessageRetrieval, GivesTheExpectedMessageInASession) {
    const ExpectedMessage expected = ReadExpectedMessage(GetParam());
    const std::string answer = RetrAnswerLines(ReadTestMessage(GetParam()));
    ScriptedPop3Server server(
        "S: +OK ready\nC: USER anne\nS: +OK\nC: PASS secret\nS: +OK\nC: RETR 1\n"
        "S: +OK message follows\n!raw " +
        PrintableBytes(answer) + "\nC: QUIT\n");
    TIdPOP3 client;
    client.Host = "127.0.0.1";
    client.Port = server.Port();
    client.Username = "anne";
    client.Password = "secret";
    TIdMessage message;
    message.NoDecode = expected.noDecode;
    client.OpenSession();
    std::string error;
    try {
        EXPECT_TRUE(client.LoadMessage(1, message));
    } catch (const EIdException& e) {
        error = e.Message();
    }
    client.CloseSession();
    server.ExpectFinished();
    EXPECT_EQ(error, expected.error);
    ExpectMessageAsExpected(message, expected);
    RemoveAttachmentFiles(message);
}

INSTANTIATE_TEST_SUITE_P(TestMessages, MessageRetrieval, testing::ValuesIn(TestMessageNames()),
                         [](const auto& info) { return info.param; });

}  // namespace
