#pragma once
// The access token of an OAuth2 account: from the command the user names in
// the settings ("CommandeJeton"N, its first output line), else from the
// program's own flow with the provider's endpoints from the table of
// providers. The flow's refresh token lives in the keyring, never in the
// settings file; the access token and its expiry only in memory.
#include <functional>
#include <string>

#include "account/account_provider.h"
#include "account/account_settings.h"
#include "account/oauth_flow.h"
#include "platform/id_exception.h"
#include "platform/secret_store.h"

// No command, a command that failed, wrote no token or did not end within
// the account's connect limit (it is then ended); no way to
// get a token from the flow (no endpoints, no client id, never authorized).
class EAccessTokenUnavailable : public EIdException {
public:
    using EIdException::EIdException;
    VANNOIR_ERROR_KIND(Account)
};
VANNOIR_LIST_ERROR(EAccessTokenUnavailable, std::string("x"));

// Where the flow finds what it needs.
struct TokenSource {
    SecretStore* store = nullptr;  // refresh tokens; none: the flow is out of reach
    ProviderTable providers{};
    AuthorizationOpener opener{};  // empty: never the browser (a scheduled run)
    int waitMs = 300000;           // for the user in the browser
};

enum class TokenRenewal {
    Cached,     // the access token in memory while it is valid
    Renew,      // a new one (the server refused the last)
    Authorize,  // through the browser, whatever the keyring holds
};

// Fills the access token of an OAuth2 account (nothing to do for the
// others). A command runs at each call. The flow renews a token about to
// expire with the keyring's refresh token, keeps a new refresh token there,
// and goes to the browser when there is none or the provider refused it,
// given an opener. Throws EAccessTokenUnavailable, EOAuthGrantRefused (its
// message naming the slot), EOAuthFailed, ERedirectTimeout, the keyring's
// errors and PostForm's: never a log-in with an empty token.
void FetchAccessToken(Account& account, int slot, const TokenSource& source = {},
                      TokenRenewal renewal = TokenRenewal::Cached);

// What a mailbox action calls before each session: the token of `slot`'s
// account, renewed when the server refused the last one. `source` (it reads
// the provider table) is asked for only then, not when an account is loaded.
std::function<void(Account& account, bool renew)> TokenSupplierFor(int slot,
                                                                   std::function<TokenSource()> source);

// Drops the access tokens kept in memory.
void ForgetAccessTokens();
