#include "net/io_handler_tls.h"

#include <fcntl.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>

#include "net/anti_freeze.h"
#include "net/net_errors.h"
#include "net/socket_error_codes.h"
#include "net/tls_errors.h"
#include "platform/interruption.h"
#include "platform/text.h"

struct TIdIOHandlerTLS::Session {
    SSL_CTX* ctx = nullptr;
    SSL* ssl = nullptr;
    ~Session() {
        if (ssl) SSL_free(ssl);
        if (ctx) SSL_CTX_free(ctx);
    }
};

namespace {

using Clock = std::chrono::steady_clock;

// A time limit in ms from now; 0 or less: none.
class Deadline {
public:
    explicit Deadline(int ms) : unlimited_(ms <= 0), at_(Clock::now() + std::chrono::milliseconds(ms)) {}
    // What is left, for a wait: IdTimeoutInfinite without a limit.
    int Left() const {
        if (unlimited_) return IdTimeoutInfinite;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(at_ - Clock::now()).count();
        return left > 0 ? static_cast<int>(left) : 0;
    }

private:
    bool unlimited_;
    Clock::time_point at_;
};

// Until the socket can take more bytes, in anti-freeze slices.
bool WaitWritable(TIdSocketHandle& binding, const Deadline& deadline) {
    for (;;) {
        int left = deadline.Left();
        int slice = left;
        if (AntiFreezeInEffect()) {
            int idle = RegisteredAntiFreeze()->SliceMs();
            if (left == IdTimeoutInfinite || left > idle) slice = idle;
        }
        TIdSocketList write;
        write.Add(binding.Handle());
        bool ready = SocketStack()->Select(nullptr, &write, nullptr, slice) == 1;
        Interruption::ThrowIfRequested();
        PumpIfAllowed(!ready, false);
        if (ready) return true;
        if (left != IdTimeoutInfinite && left <= slice) return false;
        if (!binding.HandleAllocated()) throw EIdConnClosedGracefully();
    }
}

std::string NameText(X509_NAME* name) {
    BIO* bio = BIO_new(BIO_s_mem());
    if (bio == nullptr) return "";
    X509_NAME_print_ex(bio, name, 0, XN_FLAG_RFC2253 & ~ASN1_STRFLGS_ESC_MSB);
    char* data = nullptr;
    long size = BIO_get_mem_data(bio, &data);
    std::string text(data, static_cast<std::size_t>(size > 0 ? size : 0));
    BIO_free(bio);
    return ValidUtf8(text);
}

std::string TimeText(const ASN1_TIME* time) {
    std::tm tm{};
    if (time == nullptr || ASN1_TIME_to_tm(time, &tm) != 1) return "";
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &tm);
    return text;
}

TIdCertificateProblem ProblemOf(long code) {
    switch (code) {
        case X509_V_OK:
            return TIdCertificateProblem::None;
        case X509_V_ERR_CERT_HAS_EXPIRED:
            return TIdCertificateProblem::Expired;
        case X509_V_ERR_CERT_NOT_YET_VALID:
            return TIdCertificateProblem::NotYetValid;
        case X509_V_ERR_HOSTNAME_MISMATCH:
        case X509_V_ERR_IP_ADDRESS_MISMATCH:
            return TIdCertificateProblem::NameMismatch;
        case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
        case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
            return TIdCertificateProblem::SelfSigned;
        case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
        case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
        case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
            return TIdCertificateProblem::UnknownIssuer;
        default:
            return TIdCertificateProblem::Other;
    }
}

// Why a handshake stopped, as the server's behaviour explains it.
[[noreturn]] void ThrowHandshakeFailure(int error) {
    unsigned long queued = ERR_peek_last_error();
    int reason = ERR_GET_REASON(queued);
    std::string why;
    if (error == SSL_ERROR_ZERO_RETURN || error == SSL_ERROR_SYSCALL ||
        reason == SSL_R_UNEXPECTED_EOF_WHILE_READING) {
        why = "le serveur a fermé la connexion pendant la négociation";
    } else if (reason == SSL_R_WRONG_VERSION_NUMBER || reason == SSL_R_PACKET_LENGTH_TOO_LONG ||
               reason == SSL_R_UNKNOWN_PROTOCOL || reason == SSL_R_LENGTH_MISMATCH ||
               reason == SSL_R_UNEXPECTED_MESSAGE) {
        why = "le serveur ne répond pas en TLS (port sans chiffrement ?)";
    } else if (reason == SSL_R_UNSUPPORTED_PROTOCOL || reason == SSL_R_TLSV1_ALERT_PROTOCOL_VERSION ||
               reason == SSL_R_NO_PROTOCOLS_AVAILABLE) {
        why = "le serveur ne propose ni TLS 1.2 ni une version plus récente";
    } else {
        why = "réponse du serveur non reconnue";
    }
    ERR_clear_error();
    throw EIdTLSHandshakeFailed(std::string("La négociation TLS avec le serveur a échoué : " + why + "."));
}

}  // namespace

TIdIOHandlerTLS::TIdIOHandlerTLS() = default;

TIdIOHandlerTLS::~TIdIOHandlerTLS() { Close(); }

void TIdIOHandlerTLS::Reset() {
    session_.reset();
    accepted_ = false;
    plain_.clear();
    ended_.reset();
    endCode_ = 0;
}

void TIdIOHandlerTLS::Open() {
    Reset();
    certificate_.reset();
    TIdIOHandlerSocket::Open();
}

void TIdIOHandlerTLS::Close() {
    if (session_ && accepted_ && Connected()) {
        // One try at the closing alert; the socket is not waited for.
        ERR_clear_error();
        SSL_shutdown(session_->ssl);
        ERR_clear_error();
    }
    Reset();
    TIdIOHandlerSocket::Close();
}

void TIdIOHandlerTLS::ConnectClient(const std::string& host, int port, const std::string& boundIP,
                                    int boundPort, int timeout) {
    TIdIOHandlerSocket::ConnectClient(host, port, boundIP, boundPort, timeout);
    if (Options.Mode == tlsImplicit) StartTLS(host);
}

void TIdIOHandlerTLS::StartTLS(const std::string& hostAsGiven) {
    if (!Connected()) throw EIdClosedSocket();
    if (session_) throw EIdTLSHandshakeFailed();
    const std::string host = TIdStack::WithoutBrackets(hostAsGiven);
    auto session = std::make_unique<Session>();
    session->ctx = SSL_CTX_new(TLS_client_method());
    if (session->ctx == nullptr) throw EIdTLSNotAvailable();
    SSL_CTX_set_min_proto_version(session->ctx, TLS1_2_VERSION);
    // A server that closes without the closing alert ends the stream as a
    // plain close does; POP3 has its own end markers.
    SSL_CTX_set_options(session->ctx, SSL_OP_IGNORE_UNEXPECTED_EOF);
    SSL_CTX_set_mode(session->ctx, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
    // The verdict is read after the handshake: a pinned certificate may pass.
    SSL_CTX_set_verify(session->ctx, SSL_VERIFY_NONE, nullptr);
    bool trustLoaded = Options.TrustFile.empty() ? SSL_CTX_set_default_verify_paths(session->ctx) == 1
                                                 : SSL_CTX_load_verify_locations(
                                                       session->ctx, Options.TrustFile.c_str(), nullptr) == 1;
    if (!trustLoaded) ERR_clear_error();  // nothing trusted: every chain fails the check
    session->ssl = SSL_new(session->ctx);
    if (session->ssl == nullptr || SSL_set_fd(session->ssl, Binding()->Handle()) != 1)
        throw EIdTLSNotAvailable();
    if (TIdStack::IsIPLiteral(host)) {
        X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(session->ssl), host.c_str());
    } else {
        SSL_set_tlsext_host_name(session->ssl, host.c_str());
        SSL_set_hostflags(session->ssl, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
        SSL_set1_host(session->ssl, host.c_str());
    }
    // Non-blocking from here on: every wait goes through the sliced waits.
    int fd = Binding()->Handle();
    int flags = fcntl(fd, F_GETFL);
    if (flags >= 0) fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    session_ = std::move(session);
    Handshake();
    CheckPeer(host);
}

void TIdIOHandlerTLS::Handshake() {
    Deadline deadline(TimeLimit);
    for (;;) {
        ERR_clear_error();
        int result = SSL_connect(session_->ssl);
        if (result == 1) return;
        int error = SSL_get_error(session_->ssl, result);
        if (error == SSL_ERROR_WANT_READ) {
            if (!Binding()->Readable(deadline.Left())) throw EIdReadTimeout();
        } else if (error == SSL_ERROR_WANT_WRITE) {
            if (!WaitWritable(*Binding(), deadline)) throw EIdReadTimeout();
        } else {
            ThrowHandshakeFailure(error);
        }
    }
}

void TIdIOHandlerTLS::CheckPeer(const std::string& host) {
    X509* cert = SSL_get0_peer_certificate(session_->ssl);
    if (cert == nullptr) {
        throw EIdTLSHandshakeFailed(std::string(
            "La négociation TLS avec le serveur a échoué : le serveur n'a présenté aucun certificat."));
    }
    TIdPeerCertificate info;
    info.Subject = NameText(X509_get_subject_name(cert));
    info.Issuer = NameText(X509_get_issuer_name(cert));
    info.NotBefore = TimeText(X509_get0_notBefore(cert));
    info.NotAfter = TimeText(X509_get0_notAfter(cert));
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (X509_digest(cert, EVP_sha256(), digest, &length) == 1)
        info.Fingerprint = FormatFingerprint(std::string_view(reinterpret_cast<const char*>(digest), length));
    long verdict = SSL_get_verify_result(session_->ssl);
    info.Problem = ProblemOf(verdict);
    info.VerifyCode = static_cast<int>(verdict);
    if (info.Problem != TIdCertificateProblem::None) {
        std::string pinned = NormalizeFingerprint(Options.TrustedFingerprint);
        info.Pinned = !pinned.empty() && pinned == info.Fingerprint;
    }
    certificate_ = info;
    if (info.Problem != TIdCertificateProblem::None && !info.Pinned && Options.RefuseUntrusted) {
        throw EIdTLSCertificateRefused(info, std::string("Certificat du serveur refusé : ") +
                                                 CertificateProblemText(info, host) +
                                                 std::string(".\r\nEmpreinte SHA-256 : ") + info.Fingerprint);
    }
    accepted_ = true;
}

bool TIdIOHandlerTLS::Readable(int timeout) {
    if (!session_) return TIdIOHandlerSocket::Readable(timeout);
    if (!Connected()) throw EIdConnClosedGracefully();
    if (!plain_.empty() || ended_) return true;
    Deadline deadline(timeout == IdTimeoutInfinite ? 0 : (timeout > 0 ? timeout : 1));
    char chunk[16384];
    for (;;) {
        ERR_clear_error();
        int n = SSL_read(session_->ssl, chunk, sizeof chunk);
        if (n > 0) {
            plain_.append(chunk, static_cast<std::size_t>(n));
            return true;
        }
        int error = SSL_get_error(session_->ssl, n);
        if (error == SSL_ERROR_WANT_READ) {
            if (!Binding()->Readable(deadline.Left())) return false;
        } else if (error == SSL_ERROR_WANT_WRITE) {
            if (!WaitWritable(*Binding(), deadline)) return false;
        } else if (error == SSL_ERROR_ZERO_RETURN) {
            ended_ = 0;
            return true;
        } else {
            // A broken record or a reset: the stream ends in a failure.
            ended_ = -1;
            endCode_ =
                (error == SSL_ERROR_SYSCALL && errno != 0) ? WinsockCodeFromErrno(errno) : Id_WSAECONNABORTED;
            ERR_clear_error();
            return true;
        }
    }
}

int TIdIOHandlerTLS::Recv(void* buffer, int length) {
    if (!session_) return TIdIOHandlerSocket::Recv(buffer, length);
    if (!Connected()) throw EIdClosedSocket();
    if (plain_.empty() && !ended_) Readable(IdTimeoutInfinite);
    if (!plain_.empty()) {
        std::size_t n = std::min(plain_.size(), static_cast<std::size_t>(length));
        std::memcpy(buffer, plain_.data(), n);
        plain_.erase(0, n);
        return static_cast<int>(n);
    }
    if (*ended_ < 0) SocketStack()->WSSetLastError(endCode_);
    return *ended_;
}

int TIdIOHandlerTLS::Send(const void* buffer, int length) {
    if (!session_) return TIdIOHandlerSocket::Send(buffer, length);
    if (!Connected()) throw EIdClosedSocket();
    Deadline deadline(TimeLimit);
    for (;;) {
        ERR_clear_error();
        int n = SSL_write(session_->ssl, buffer, length);
        if (n > 0) return n;
        int error = SSL_get_error(session_->ssl, n);
        bool waited = false;
        if (error == SSL_ERROR_WANT_WRITE) {
            waited = WaitWritable(*Binding(), deadline);
        } else if (error == SSL_ERROR_WANT_READ) {
            waited = Binding()->Readable(deadline.Left());
        } else {
            int code =
                (error == SSL_ERROR_SYSCALL && errno != 0) ? WinsockCodeFromErrno(errno) : Id_WSAECONNRESET;
            ERR_clear_error();
            SocketStack()->WSSetLastError(code);
            return Id_SOCKET_ERROR;
        }
        if (!waited) {
            SocketStack()->WSSetLastError(Id_WSAETIMEDOUT);
            return Id_SOCKET_ERROR;
        }
    }
}
