#pragma once
// Errors of the TLS layer, with their French texts.
#include <string>

#include "net/tls_certificate.h"
#include "platform/id_exception.h"
#include "platform/text.h"

// The server's certificate failed the check: the connection was closed
// before anything else was sent. The message says why and shows the
// certificate's fingerprint, so that the user can choose to trust it.
class EIdTLSCertificateRefused : public EIdException {
public:
    EIdTLSCertificateRefused(TIdPeerCertificate certificate, std::string message)
        : EIdException(std::move(message)), certificate_(std::move(certificate)) {}
    const TIdPeerCertificate& Certificate() const noexcept { return certificate_; }

    VANNOIR_ERROR_KIND(Network)
    VANNOIR_ERROR_CAUSE(Certificate)
private:
    TIdPeerCertificate certificate_;
};
VANNOIR_LIST_ERROR(EIdTLSCertificateRefused, TIdPeerCertificate(), std::string("x"));

// The TLS negotiation did not complete; the text says what the server did.
VANNOIR_DECLARE_CAUSED_ERROR(EIdTLSHandshakeFailed, EIdException, Network, Tls,
                             "La négociation TLS avec le serveur a échoué.");
// TLS asked of a transport that cannot carry it.
VANNOIR_DECLARE_CAUSED_ERROR(EIdTLSNotAvailable, EIdException, Network, Tls,
                             "Cette connexion ne peut pas être chiffrée (TLS).");
