#pragma once
// What one run may change of a stored account (the command line's
// --hote, --port, --utilisateur, --securite, --delai). The stored password
// goes only to the account's own server.
#include <optional>
#include <string>

#include "account/account_settings.h"
#include "account/app_paths.h"
#include "platform/id_exception.h"

struct AccountOverrides {
    std::optional<std::string> host, user;
    std::optional<int> port;
    std::optional<AccountSecurity> security;
    std::optional<int> limitMs;  // both the connect and the read limit
    // The password for this run; asked for only when it is needed
    // (NeedsPasswordForRun).
    std::optional<std::string> password;
};

// The stored password may not go to another host than the account's own.
class EPasswordForOtherHost : public EIdException {
public:
    using EIdException::EIdException;
    VANNOIR_ERROR_KIND(Account)
};
VANNOIR_LIST_ERROR(EPasswordForOtherHost, std::string("x"));

// Whether the overrides name a host other than the account's own, so that
// the stored password may not be used.
bool NeedsPasswordForRun(const Account& account, const AccountOverrides& overrides);

// The account with the overrides applied. A security given without a port
// brings its default port. Throws EPasswordForOtherHost, before anything is
// sent, for another host without a password for this run.
Account WithOverrides(Account account, const AccountOverrides& overrides, int slot);

// The account a run of `slot` uses: the settings' values, the password from
// the keyring and the access token fetched, `overrides` applied, and the
// receiving service of its server from the provider table unless the
// account names its own. Throws what the keyring or the token command throw.
Account ReadRunAccount(const AppPaths& paths, int slot, const AccountOverrides& overrides = {});
