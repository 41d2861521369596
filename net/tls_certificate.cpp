#include "net/tls_certificate.h"

#include <cctype>

#include "platform/text.h"
#include "platform/text_format.h"

std::string CertificateProblemText(const TIdPeerCertificate& c, std::string_view host) {
    switch (c.Problem) {
        case TIdCertificateProblem::None:
            return "";
        case TIdCertificateProblem::Expired:
            return FormatText(std::string("le certificat a expiré le %s"), {c.NotAfter});
        case TIdCertificateProblem::NotYetValid:
            return FormatText(std::string("le certificat n'est valide qu'à partir du %s"), {c.NotBefore});
        case TIdCertificateProblem::NameMismatch:
            return FormatText(std::string("le certificat n'est pas au nom du serveur « %s »"), {host});
        case TIdCertificateProblem::UnknownIssuer:
            return FormatText(std::string("le certificat est émis par une autorité inconnue (%s)"),
                              {c.Issuer});
        case TIdCertificateProblem::SelfSigned:
            return std::string("le certificat est auto-signé");
        case TIdCertificateProblem::Other:
            break;
    }
    return FormatText(std::string("le certificat n'a pas pu être vérifié (erreur %s)"),
                      {IntToStr(c.VerifyCode)});
}

std::string FormatFingerprint(std::string_view digest) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (unsigned char byte : digest) {
        if (!text.empty()) text += ':';
        text += kDigits[byte >> 4];
        text += kDigits[byte & 15];
    }
    return text;
}

std::string NormalizeFingerprint(std::string_view text) {
    std::string digits;
    for (char c : text) {
        if (c == ':' || c == ' ' || c == '\t') continue;
        if (!std::isxdigit(static_cast<unsigned char>(c))) return "";
        digits += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    if (digits.size() != 64) return "";
    std::string formatted;
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        if (i) formatted += ':';
        formatted += digits.substr(i, 2);
    }
    return formatted;
}
