#pragma once
// How a client secures its connection: not at all, TLS from the first byte
// (implicit), or TLS started on the open connection by the protocol (explicit,
// "STLS" for POP3). The server's certificate chain is checked against the
// system's trust store, or against TrustFile when one is named, and its name
// against the host; a certificate whose SHA-256 fingerprint is
// TrustedFingerprint is accepted even when that check fails.
#include <string>

enum TIdTLSMode { tlsNone, tlsImplicit, tlsExplicit };

struct TIdTLSOptions {
    TIdTLSMode Mode = tlsNone;
    // "AB:CD:…" or bare hexadecimal digits, any case; empty: none.
    std::string TrustedFingerprint;
    // A PEM file of authorities to trust instead of the system's.
    std::string TrustFile;
    // false: a certificate that fails the check is kept for inspection
    // rather than refused (only to show it to the user, never to log in).
    bool RefuseUntrusted = true;
};
