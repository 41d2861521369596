#pragma once
// Base of the tests that talk to the private Dovecot: an empty mailbox and a
// POP3 client pointed at it before each test (skipped when no server runs),
// the session closed after it.
#include <gtest/gtest.h>

#include "pop3/pop3.h"
#include "support/private_dovecot.h"

class DovecotFixture : public testing::Test {
protected:
    void SetUp() override {
        auto found = PrivateDovecot::FromEnvironment();
        if (!found) GTEST_SKIP() << "VANNOIR_DOVECOT_DIR names no running private Dovecot";
        dovecot = *found;
        dovecot.ClearMailbox();
        dovecot.ConfigureClient(client);
    }
    void TearDown() override {
        if (client.IsConnected()) client.CloseSession();
    }

    PrivateDovecot dovecot;
    TIdPOP3 client;
};
