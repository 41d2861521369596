#include "account/server_certificate.h"

#include "account/account_client.h"
#include "net/tls_errors.h"

TIdPeerCertificate FetchServerCertificate(const Account& account) {
    if (account.security == AccountSecurity::None) throw EIdTLSNotAvailable();
    TIdPOP3 client;
    ApplyAccountToClient(account, client);
    client.Password.clear();
    client.TLS.RefuseUntrusted = false;
    client.TIdTCPClient::OpenConnection();
    TIdPeerCertificate certificate;
    try {
        if (account.security == AccountSecurity::Stls) {
            client.ReadReply({TIdPOP3::ReplyOk});
            client.NegotiateStls();
        }
        certificate = *client.PeerCertificate();
    } catch (...) {
        client.TIdTCPConnection::CloseConnection();
        throw;
    }
    client.TIdTCPConnection::CloseConnection();
    return certificate;
}
