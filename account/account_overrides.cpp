#include "account/account_overrides.h"

#include "account/account_keyring.h"
#include "account/account_provider.h"
#include "account/account_texts.h"
#include "platform/ini_file.h"
#include "platform/secret_store.h"
#include "platform/text.h"
#include "platform/text_format.h"

bool NeedsPasswordForRun(const Account& account, const AccountOverrides& overrides) {
    return overrides.host && !SameText(Trim(*overrides.host), Trim(account.host));
}

Account WithOverrides(Account account, const AccountOverrides& o, int slot) {
    const bool otherHost = NeedsPasswordForRun(account, o);
    if (otherHost && !o.password) {
        throw EPasswordForOtherHost(
            FormatText(std::string(texts::kPasswordForOtherHost), {IntToStr(slot), account.host, *o.host}));
    }
    if (o.host) account.host = *o.host;
    if (o.user) account.user = *o.user;
    if (o.password) {
        account.password = *o.password;
        account.configured = !o.password->empty();
    }
    if (o.security) {
        if (!o.port && account.port == DefaultPort(account.security)) account.port = DefaultPort(*o.security);
        account.security = *o.security;
    }
    if (o.port) account.port = *o.port;
    if (o.limitMs) account.connectLimitMs = account.readLimitMs = *o.limitMs;
    // A trusted certificate belongs to the account's own server too.
    if (otherHost) account.fingerprint.clear();
    return account;
}

Account ReadRunAccount(const AppPaths& paths, int slot, const AccountOverrides& overrides) {
    Account stored = ReadAccount(TIniFile(paths.settings), slot);
    // The keyring is asked only for a password that goes to its own server.
    if (!NeedsPasswordForRun(stored, overrides)) FetchKeyringPassword(stored, slot, SystemSecretStore());
    Account account = WithOverrides(std::move(stored), overrides, slot);
    // The server of this run receives the mail, so its service vouches for senders.
    account.resultService = ReceivingService(account.resultService, account.host, paths);
    return account;
}
