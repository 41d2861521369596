#pragma once
// The certificate a server shows, fetched for the user to look at (and to
// trust by its fingerprint): the connection is secured as the account says,
// the certificate kept whatever the check says, and nothing but the
// protocol's own commands (CAPA, STLS, QUIT) is sent.
#include "account/account_settings.h"
#include "net/tls_certificate.h"

// Throws the connection errors; EIdTLSNotAvailable for an account in clear.
TIdPeerCertificate FetchServerCertificate(const Account& account);
