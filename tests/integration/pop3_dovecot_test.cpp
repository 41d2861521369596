// The POP3 client against a real server: the private Dovecot of
// scripts/dovecot (started by the test fixture).
#include <gtest/gtest.h>

#include <algorithm>

#include "message/message.h"
#include "net/net_errors.h"
#include "platform/text.h"
#include "pop3/pop3.h"
#include "support/dovecot_fixture.h"

namespace {
class Dovecot : public DovecotFixture {
protected:
    static std::string Message(int i) {
        return "From: \"Sender " + std::to_string(i) + "\" <s" + std::to_string(i) +
               "@example.fr>\r\n"
               "Subject: message " +
               std::to_string(i) +
               "\r\n"
               "Date: Mon, 7 Dec 2026 10:00:00 +0100\r\n"
               "\r\n"
               "Body of message " +
               std::to_string(i) + "\r\n";
    }
};

TEST_F(Dovecot, HeadersSizesDeletionAndANewSession) {
    for (int i = 1; i <= 3; ++i) dovecot.AddMessage(Message(i));
    client.OpenSession();
    ASSERT_EQ(client.CountMessages(), 3);
    std::vector<std::string> subjects;
    for (int n = 1; n <= 3; ++n) {
        TIdMessage message;
        EXPECT_TRUE(client.LoadMessageHeader(n, message));
        subjects.push_back(message.Subject);
        EXPECT_EQ(message.HeaderLines.Count(), 3);
        EXPECT_EQ(message.From.Name, "Sender " + message.Subject.substr(8));
        EXPECT_EQ(client.QueryMessageSize(n), static_cast<int>(Message(1).size()));
    }
    std::sort(subjects.begin(), subjects.end());
    EXPECT_EQ(subjects, (std::vector<std::string>{"message 1", "message 2", "message 3"}));

    TIdMessage second;
    client.LoadMessageHeader(2, second);
    EXPECT_TRUE(client.DeleteMessage(2));
    client.CloseSession();

    client.OpenSession();
    ASSERT_EQ(client.CountMessages(), 2);
    for (int n = 1; n <= 2; ++n) {
        TIdMessage message;
        client.LoadMessageHeader(n, message);
        EXPECT_NE(message.Subject, second.Subject);
    }
    client.CloseSession();
}

TEST_F(Dovecot, EmptyMailboxCountsZero) {
    client.OpenSession();
    EXPECT_EQ(client.CountMessages(), 0);
    client.CloseSession();
}

TEST_F(Dovecot, DeletionWithoutQuitIsNotCommitted) {
    dovecot.AddMessage(Message(1));
    client.OpenSession();
    EXPECT_TRUE(client.DeleteMessage(1));
    client.ReleaseSocket();  // the connection drops without QUIT
    client.CloseSession();
    client.OpenSession();
    EXPECT_EQ(client.CountMessages(), 1);
    client.CloseSession();
}

TEST_F(Dovecot, ApopLogIn) {
    dovecot.AddMessage(Message(1));
    client.APOP = true;
    client.OpenSession();
    EXPECT_EQ(client.CountMessages(), 1);
    client.CloseSession();
}

TEST_F(Dovecot, WrongPasswordIsRefusedAndClosed) {
    client.Password = "not the password";
    // The server slows down later log-ins from an address that failed one:
    // fail from an address of our own.
    client.BoundIP = "127.0.0.2";
    EXPECT_THROW(client.OpenSession(), EIdProtocolReplyError);
    EXPECT_FALSE(client.IsConnected());
}

TEST_F(Dovecot, UnknownMessageNumberIsRefused) {
    client.OpenSession();
    TIdMessage message;
    EXPECT_THROW(client.LoadMessageHeader(5, message), EIdProtocolReplyError);
    EXPECT_THROW(client.QueryMessageSize(5), EIdProtocolReplyError);
    client.CloseSession();
}
// The batched scan and purge against a server that lists PIPELINING: the
// same headers and sizes whichever way the commands go, a window smaller
// than the scan included, and only the purged messages gone after QUIT.
TEST_F(Dovecot, BatchedScanAndPurgeGiveWhatTheSerialOnesGive) {
    for (int i = 1; i <= 7; ++i) dovecot.AddMessage(Message(i));
    struct Way {
        TIdPOP3::TIdPOP3Batching batching;
        int window;
    };
    std::vector<std::string> seen[4];
    const Way kWays[] = {
        {TIdPOP3::pbSerial, 1024}, {TIdPOP3::pbOneList, 1024}, {TIdPOP3::pbAuto, 1024}, {TIdPOP3::pbAuto, 3}};
    TIdMessage message;
    for (int w = 0; w < 4; ++w) {
        client.Batching = kWays[w].batching;
        client.PipelineMaxCommands = kWays[w].window;
        client.OpenSession();
        client.Capabilities();
        EXPECT_TRUE(client.HasCapability("PIPELINING"));
        client.ScanHeaders(client.CountMessages(), message,
                           {[&](int n, TIdMessage& m) {
                                seen[w].push_back(IntToStr(n) + " " + m.HeaderLines.ValueOf("Subject"));
                            },
                            [&](int, int size) { seen[w].back() += " " + IntToStr(size); },
                            [&](std::vector<std::string>&& ids) {
                                seen[w].push_back(IntToStr(static_cast<int>(ids.size()) - 1) + " ids");
                            }});
        client.CloseSession();
        EXPECT_EQ(seen[w].size(), 8u);
        EXPECT_EQ(seen[w], seen[0]) << "way " << w;
    }

    client.OpenSession();
    client.Capabilities();
    client.DeleteMessages({6, 3, 1});
    client.CloseSession();
    client.OpenSession();
    std::vector<std::string> left;
    client.ScanHeaders(
        client.CountMessages(), message,
        {[&](int, TIdMessage& m) { left.push_back(m.HeaderLines.ValueOf("Subject")); }, [](int, int) {}, {}});
    client.CloseSession();
    std::sort(left.begin(), left.end());
    for (int gone : {6, 3, 1}) {
        const std::string subject = seen[0][gone - 1].substr(2, 9);
        EXPECT_FALSE(std::binary_search(left.begin(), left.end(), subject)) << subject;
    }
    EXPECT_EQ(left.size(), 4u);
}

}  // namespace
