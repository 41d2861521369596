#pragma once
// A connection that opens itself to Host:Port, reporting its progress through
// OnStatus: "Résolution du nom d'hôte %s." (for a name), "Connexion à %s.",
// "Connecté.".
#include <functional>
#include <string>

#include "net/tcp_connection.h"
#include "net/tls_certificate.h"
#include "net/tls_options.h"

class TIdTCPClient : public TIdTCPConnection {
public:
    std::string Host;
    int Port = 0;
    std::string BoundIP;
    int BoundPort = 0;
    std::function<void(TIdTCPClient& ASender)> OnConnected;
    // Connect limit in ms used when OpenConnection is given the default
    // (-1 or 0); 0 leaves the default as it is.
    int ConnectTimeout = 0;
    // TLS for the next connections. With implicit TLS the handshake is part
    // of OpenConnection; explicit TLS starts with StartTLS. The handshake and
    // the waits inside TLS records are bounded by ReadTimeout.
    TIdTLSOptions TLS;

    // Negotiates TLS on the open connection (after the protocol's own
    // command), with Host as the certificate's expected name. What was
    // received before is dropped: only what comes under TLS counts.
    // Throws the errors of TIdIOHandlerTLS::StartTLS (the connection is then
    // closed), EIdTLSNotAvailable for a transport that cannot carry TLS.
    void StartTLS();
    // The server's certificate once TLS is negotiated, else null.
    const TIdPeerCertificate* PeerCertificate();

    // Connects within `timeout` ms: -1 or 0 is the default (120000 ms through
    // a worker thread under the anti-freeze, else one blocking connect), -2
    // no limit. Throws EIdAlreadyConnected while connected (the connection
    // stays usable), and the socket and connect errors of net_errors.h and
    // tls_errors.h; after those the socket is closed and the handler kept
    // for the next attempt.
    virtual void OpenConnection(int timeout = -1);
};
