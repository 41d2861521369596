#pragma once
// The socket handler with TLS under the byte stream: after the handshake,
// reads and writes go through the TLS session, so the line input above it
// is unchanged. The handshake runs at connect (implicit TLS) or when the
// protocol asks for it (StartTLS, after "STLS"). Waits keep the time limit
// and the anti-freeze slices of the plain socket.
#include <memory>
#include <optional>
#include <string>

#include "net/io_handler.h"
#include "net/tls_certificate.h"
#include "net/tls_options.h"

class TIdIOHandlerTLS : public TIdIOHandlerSocket {
public:
    TIdIOHandlerTLS();
    ~TIdIOHandlerTLS() override;

    TIdTLSOptions Options;
    // Longest wait, in ms, for the server during the handshake and inside a
    // TLS read or write; 0: no limit. A handshake that waits longer raises
    // EIdReadTimeout.
    int TimeLimit = 0;

    // Connects; with implicit TLS, also negotiates it.
    void ConnectClient(const std::string& host, int port, const std::string& boundIP, int boundPort,
                       int timeout) override;
    // Negotiates TLS (1.2 or later) on the open connection with `host` as the
    // name the certificate must carry (and the name sent to the server).
    // Throws EIdTLSHandshakeFailed, EIdReadTimeout, and
    // EIdTLSCertificateRefused when the certificate fails the check (unless
    // pinned, or Options.RefuseUntrusted is false).
    void StartTLS(const std::string& host);
    bool Secured() const { return session_ != nullptr; }
    // The server's certificate after a handshake, null before.
    const TIdPeerCertificate* PeerCertificate() const { return certificate_ ? &*certificate_ : nullptr; }

    void Close() override;
    void Open() override;
    bool Readable(int timeout) override;
    int Recv(void* buffer, int length) override;
    int Send(const void* buffer, int length) override;

private:
    struct Session;
    void Handshake();
    void CheckPeer(const std::string& host);
    void Reset();

    std::unique_ptr<Session> session_;
    bool accepted_ = false;     // the certificate passed: close politely
    std::string plain_;         // decrypted bytes not yet received
    std::optional<int> ended_;  // 0: the server closed; -1: failed (code below)
    int endCode_ = 0;
    std::optional<TIdPeerCertificate> certificate_;
};
