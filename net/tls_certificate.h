#pragma once
// What the user is shown of a server's certificate, and why the check
// refused it. Texts are Windows-1252.
#include <string>
#include <string_view>

enum class TIdCertificateProblem {
    None,
    Expired,
    NotYetValid,
    NameMismatch,
    UnknownIssuer,
    SelfSigned,
    Other,
};

struct TIdPeerCertificate {
    std::string Subject;
    std::string Issuer;
    std::string NotBefore;  // "2026-12-07 12:00:00 UTC"
    std::string NotAfter;
    std::string Fingerprint;  // SHA-256, "AB:CD:…"
    TIdCertificateProblem Problem = TIdCertificateProblem::None;
    // The verification code behind Problem::Other.
    int VerifyCode = 0;
    // Accepted through the account's trusted fingerprint despite Problem.
    bool Pinned = false;
};

// Why a certificate fails the check, in French, e.g. "le certificat a
// expiré le 2020-01-01 00:00:00 UTC"; empty for Problem::None.
std::string CertificateProblemText(const TIdPeerCertificate& certificate, std::string_view host);

// 32 bytes as 64 upper-case hexadecimal digits in pairs joined by ":".
std::string FormatFingerprint(std::string_view digest);
// A fingerprint as a user may type it (any case, with or without ":" or
// blanks) in the form FormatFingerprint gives; empty when it is not 64
// hexadecimal digits.
std::string NormalizeFingerprint(std::string_view text);
