// The POP3 client against a real server: the private Dovecot of
// scripts/dovecot (started by the test fixture).
#include <gtest/gtest.h>

#include "message/message.h"
#include "net/net_errors.h"
#include "pop3/pop3.h"
#include "support/private_dovecot.h"

namespace {
class Dovecot : public testing::Test {
protected:
    void SetUp() override {
        auto found = PrivateDovecot::FromEnvironment();
        if (!found) GTEST_SKIP() << "VANNOIR_DOVECOT_DIR names no running private Dovecot";
        dovecot = *found;
        dovecot.ClearMailbox();
        dovecot.ConfigureClient(pop);
    }
    void TearDown() override {
        if (pop.IsConnected()) pop.CloseSession();
    }
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

    PrivateDovecot dovecot;
    TIdPOP3 pop;
};

TEST_F(Dovecot, HeadersSizesDeletionAndANewSession) {
    for (int i = 1; i <= 3; ++i) dovecot.AddMessage(Message(i));
    pop.OpenSession();
    ASSERT_EQ(pop.CountMessages(), 3);
    std::vector<std::string> subjects;
    for (int n = 1; n <= 3; ++n) {
        TIdMessage message;
        EXPECT_TRUE(pop.LoadMessageHeader(n, message));
        subjects.push_back(message.Subject);
        EXPECT_EQ(message.HeaderLines.Count(), 3);
        EXPECT_EQ(message.From.Name, "Sender " + message.Subject.substr(8));
        EXPECT_EQ(pop.QueryMessageSize(n), static_cast<int>(Message(1).size()));
    }
    std::sort(subjects.begin(), subjects.end());
    EXPECT_EQ(subjects, (std::vector<std::string>{"message 1", "message 2", "message 3"}));

    TIdMessage second;
    pop.LoadMessageHeader(2, second);
    EXPECT_TRUE(pop.DeleteMessage(2));
    pop.CloseSession();

    pop.OpenSession();
    ASSERT_EQ(pop.CountMessages(), 2);
    for (int n = 1; n <= 2; ++n) {
        TIdMessage message;
        pop.LoadMessageHeader(n, message);
        EXPECT_NE(message.Subject, second.Subject);
    }
    pop.CloseSession();
}

TEST_F(Dovecot, EmptyMailboxCountsZero) {
    pop.OpenSession();
    EXPECT_EQ(pop.CountMessages(), 0);
    pop.CloseSession();
}

TEST_F(Dovecot, DeletionWithoutQuitIsNotCommitted) {
    dovecot.AddMessage(Message(1));
    pop.OpenSession();
    EXPECT_TRUE(pop.DeleteMessage(1));
    pop.ReleaseSocket();  // the connection drops without QUIT
    pop.CloseSession();
    pop.OpenSession();
    EXPECT_EQ(pop.CountMessages(), 1);
    pop.CloseSession();
}

TEST_F(Dovecot, ApopLogIn) {
    dovecot.AddMessage(Message(1));
    pop.APOP = true;
    pop.OpenSession();
    EXPECT_EQ(pop.CountMessages(), 1);
    pop.CloseSession();
}

TEST_F(Dovecot, WrongPasswordIsRefusedAndClosed) {
    pop.Password = "not the password";
    // The server slows down later log-ins from an address that failed one:
    // fail from an address of our own.
    pop.BoundIP = "127.0.0.2";
    EXPECT_THROW(pop.OpenSession(), EIdProtocolReplyError);
    EXPECT_FALSE(pop.IsConnected());
}

TEST_F(Dovecot, UnknownMessageNumberIsRefused) {
    pop.OpenSession();
    TIdMessage message;
    EXPECT_THROW(pop.LoadMessageHeader(5, message), EIdProtocolReplyError);
    EXPECT_THROW(pop.QueryMessageSize(5), EIdProtocolReplyError);
    pop.CloseSession();
}
}  // namespace
