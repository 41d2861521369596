#pragma once
// The program's own OAuth2 flow (RFC 6749) for a native application: the
// authorization code with PKCE (RFC 7636) through the user's browser and a
// loopback redirect (RFC 8252), and the renewal of the access token with
// the refresh token. The endpoints come from the table of providers.
#include <cstdint>
#include <functional>
#include <string>

#include "account/account_provider.h"
#include "platform/id_exception.h"

// Shows the authorization address to the user: the window asks the desktop
// to open it in the browser, the command line prints it.
// Shows the authorization page; false when nothing could (no browser).
using AuthorizationOpener = std::function<bool(const std::string& url)>;

// The token endpoint refused the grant (RFC 6749, 5.2: "invalid_grant"): the
// refresh token was revoked or has expired. The message is the provider's
// reason; the caller says which account.
class EOAuthGrantRefused : public EIdException {
public:
    using EIdException::EIdException;
    VANNOIR_ERROR_KIND(Account)
};
VANNOIR_LIST_ERROR(EOAuthGrantRefused, std::string("x"));
// Any other failure of the flow: an error answer, an answer without a token,
// a denial in the browser.
class EOAuthFailed : public EIdException {
public:
    using EIdException::EIdException;
    VANNOIR_ERROR_KIND(Account)
};
VANNOIR_LIST_ERROR(EOAuthFailed, std::string("x"));

struct OAuthTokens {
    std::string access;
    std::string refresh;            // empty when the provider kept the old one
    std::int64_t expiresIn = 3600;  // seconds
};

struct OAuthClient {
    const OAuthEndpoint& endpoint;
    std::string clientId;
    int limitMs = 30000;  // each exchange with the token endpoint
};

// The authorization address for a redirect to `redirectUri`.
std::string AuthorizationUrl(const OAuthClient& client, const std::string& redirectUri,
                             const std::string& challenge, const std::string& state,
                             const std::string& loginHint);

// The whole flow: listens on loopback, shows the address through `opener`,
// waits for the browser's return at most `waitMs` (not at all when the
// opener showed nothing; a request without the flow's state is turned away
// and the wait goes on), then exchanges the code.
// Throws EOAuthFailed, ERedirectTimeout, EIdInterrupted (a stop during the
// wait), and PostForm's errors.
OAuthTokens Authorize(const OAuthClient& client, const std::string& loginHint,
                      const AuthorizationOpener& opener, int waitMs);

// A new access token for `refreshToken`. Throws EOAuthGrantRefused,
// EOAuthFailed, and PostForm's errors.
OAuthTokens RenewTokens(const OAuthClient& client, const std::string& refreshToken);
