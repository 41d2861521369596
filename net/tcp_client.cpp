#include "net/tcp_client.h"

#include "net/io_handler_tls.h"
#include "net/net_errors.h"
#include "net/tls_errors.h"
#include "platform/interruption.h"

void TIdTCPClient::OpenConnection(int timeout) {
    // Nothing new starts once the user asked to stop.
    Interruption::ThrowIfRequested();
    if (IOHandler() == nullptr) {
        auto handler = std::make_unique<TIdIOHandlerTLS>();
        handler->OnStatus = OnStatus;
        AdoptOwnIOHandler(std::move(handler));
    } else if (IOHandler()->Connected()) {
        throw EIdAlreadyConnected();
    }
    auto* tls = dynamic_cast<TIdIOHandlerTLS*>(IOHandler());
    if (tls != nullptr) {
        tls->Options = TLS;
        tls->TimeLimit = ReadTimeout;
    } else if (TLS.Mode != tlsNone) {
        throw EIdTLSNotAvailable();
    }
    if ((timeout == -1 || timeout == 0) && ConnectTimeout > 0) timeout = ConnectTimeout;
    try {
        IOHandler()->Open();
        ResetInputState();
        IOHandler()->ConnectClient(Host, Port, BoundIP, BoundPort, timeout);
    } catch (...) {
        ReleaseSocket();
        throw;
    }
    DoStatus(hsConnected, Host);
    if (OnConnected) OnConnected(*this);
}

void TIdTCPClient::StartTLS() {
    auto* tls = dynamic_cast<TIdIOHandlerTLS*>(IOHandler());
    if (tls == nullptr) throw EIdTLSNotAvailable();
    InputBuffer().Clear();
    tls->Options = TLS;
    tls->TimeLimit = ReadTimeout;
    try {
        tls->StartTLS(Host);
    } catch (...) {
        // Nothing more goes to a server whose TLS failed, not even QUIT.
        ReleaseSocket();
        throw;
    }
}

const TIdPeerCertificate* TIdTCPClient::PeerCertificate() {
    auto* tls = dynamic_cast<TIdIOHandlerTLS*>(IOHandler());
    return tls != nullptr ? tls->PeerCertificate() : nullptr;
}
