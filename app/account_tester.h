#pragma once
// "Tester": connects to an account's server, logs in, reads STAT and QUITs,
// without touching the mailbox, and says in one line what worked or what
// failed: the certificate, the log-in, or reaching the server.
#include <string>

#include "account/account_settings.h"
#include "account/account_token.h"
#include "app/outcome.h"
#include "platform/secret_store.h"
#include "pop3/pop3.h"

struct AccountTestResult {
    Outcome outcome;   // done, or failed with the error's fault (Account, Server, Network)
    std::string line;  // the one line for the user
};

// Tests `account` with `client` (configured from the account here), its
// password fetched from `store` when it is kept there. An account without
// what it logs in with, or whose keyring cannot give it, fails with the
// Account fault before anything is sent. An OAuth2 account's token comes
// from `tokens` (its keyring `store` when it names none). Never throws.
AccountTestResult TestAccount(const Account& account, TIdPOP3& client, int slot, SecretStore& store,
                              TokenSource tokens = {});
