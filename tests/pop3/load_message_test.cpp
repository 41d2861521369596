// RETR: what is sent, what is read, and when reading stops.
#include <gtest/gtest.h>

#include "message/message.h"
#include "pop3/pop3.h"
#include "support/fake_transport.h"

namespace {

struct LoadCase {
    const char* name;
    int number;
    const char* server;  // the server's bytes from the RETR reply on
    bool result;
    const char* subject;
    std::vector<std::string> body;
    std::size_t unread;  // bytes left for the next reply
};

const LoadCase kLoads[] = {
    {"rejected_number_reads_nothing_more", 7, "-ERR no such message\r\n+OK\r\n", false, "", {}, 5},
    {"header_ended_by_dot_reads_no_body", 1, "+OK\r\nSubject: S\r\n.\r\n+OK\r\n", true, "S", {}, 5},
    {"plain_message",
     12,
     "+OK 30 octets\r\nSubject: S\r\n\r\nun\r\n\r\ndeux\r\n.\r\n",
     true,
     "S",
     {"un", "", "deux"},
     0},
    {"lower_case_ok", 1, "+ok\r\nSubject: S\r\n\r\nx\r\n.\r\n", true, "S", {"x"}, 0},
};

class LoadMessage : public testing::TestWithParam<LoadCase> {};

TEST_P(LoadMessage, SendsRetrAndReadsTheAnswer) {
    for (std::size_t chunk : {1, 0}) {
        SCOPED_TRACE(chunk);
        auto transport = std::make_unique<FakeTransport>(GetParam().server, chunk);
        FakeTransport& fake = *transport;
        TIdPOP3 client;
        client.SetIOHandler(std::move(transport));
        TIdMessage message;
        EXPECT_EQ(client.LoadMessage(GetParam().number, message), GetParam().result);
        EXPECT_EQ(fake.Written(), "RETR " + std::to_string(GetParam().number) + "\r\n");
        EXPECT_EQ(message.Subject, GetParam().subject);
        EXPECT_EQ(message.Body.Lines(), GetParam().body);
        EXPECT_EQ(client.InputBuffer().Size() + fake.Unread(), GetParam().unread);
    }
}

INSTANTIATE_TEST_SUITE_P(Retr, LoadMessage, testing::ValuesIn(kLoads),
                         [](const auto& info) { return std::string(info.param.name); });

// An inline attachment without its "end" line stops at the "." line, so the
// next command's reply is read as a reply.
TEST(LoadMessageThenCommand, AttachmentWithoutEndLeavesTheSessionInStep) {
    auto transport = std::make_unique<FakeTransport>("+OK\r\nSubject: S\r\n\r\nbegin 644 a.txt\r\nM" +
                                                     std::string(60, '0') + "\r\n.\r\n+OK 1 10\r\n");
    TIdPOP3 client;
    client.SetIOHandler(std::move(transport));
    TIdMessage message;
    EXPECT_TRUE(client.LoadMessage(1, message));
    ASSERT_EQ(message.Parts.Count(), 1);
    EXPECT_EQ(client.CountMessages(), 1);
}

}  // namespace
