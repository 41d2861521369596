#include "account/account_client.h"

namespace {
TIdTLSMode ModeOf(AccountSecurity security) {
    switch (security) {
        case AccountSecurity::Tls:
            return tlsImplicit;
        case AccountSecurity::Stls:
            return tlsExplicit;
        case AccountSecurity::None:
            break;
    }
    return tlsNone;
}
}  // namespace

void ApplyAccountToClient(const Account& account, TIdPOP3& client) {
    client.Host = account.host;
    client.Port = account.port;
    client.Username = account.user;
    // A slot without password clears it: the previous account's password
    // must never be sent to another server.
    client.Password = account.password;
    client.AccessToken =
        account.authentication == AccountAuthentication::OAuth2 ? account.accessToken : std::string();
    client.OAuthBearer = account.oauthBearer;
    client.TLS.Mode = ModeOf(account.security);
    client.TLS.TrustedFingerprint = account.fingerprint;
    client.ConnectTimeout = account.connectLimitMs;
    client.ReadTimeout = account.readLimitMs;
}
