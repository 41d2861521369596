// TLS against the private Dovecot: implicit TLS and STLS sessions, the
// certificates that must be refused, a pinned one, and IPv6 on ::1.
#include <gtest/gtest.h>

#include "message/message.h"
#include "net/net_errors.h"
#include "net/tls_errors.h"
#include "platform/text.h"
#include "support/dovecot_fixture.h"
#include "support/expect_error.h"

namespace {

class TlsDovecot : public DovecotFixture {
protected:
    void SetUp() override {
        DovecotFixture::SetUp();
        if (IsSkipped()) return;
        if (dovecot.tlsPort == 0) GTEST_SKIP() << "the private Dovecot has no TLS port";
        client.TLS.TrustFile = dovecot.caFile;
        client.ReadTimeout = 10000;
        client.OnStatus = [this](TIdComponent&, TIdStatus, const std::string& text) {
            statuses.push_back(text);
        };
    }
    void Secure(TIdTLSMode mode, std::string host) {
        client.Host = std::move(host);
        client.TLS.Mode = mode;
        client.Port = mode == tlsImplicit ? dovecot.tlsPort : dovecot.port;
    }
    static std::string Mail(int i) {
        return "From: Anne <anne@example.fr>\r\nSubject: chiffre " + std::to_string(i) + "\r\n\r\nCorps " +
               std::to_string(i) + "\r\n";
    }
    std::vector<std::string> statuses;
};

struct SessionCase {
    const char* name;
    TIdTLSMode mode;
    const char* host;
    bool needsIpv6;
};
const SessionCase kSessions[] = {
    {"implicit_by_name", tlsImplicit, "localhost", false},
    {"stls_by_address", tlsExplicit, "127.0.0.1", false},
    {"implicit_ipv6", tlsImplicit, "::1", true},
    {"stls_ipv6_bracketed", tlsExplicit, "[::1]", true},
    {"plain_ipv6", tlsNone, "::1", true},
};
class TlsSession : public TlsDovecot, public testing::WithParamInterface<SessionCase> {};

TEST_P(TlsSession, ScanAndPreview) {
    const SessionCase& c = GetParam();
    if (c.needsIpv6 && !dovecot.ipv6) GTEST_SKIP() << "no ::1 on this machine";
    Secure(c.mode, c.host);
    for (int i = 1; i <= 2; ++i) dovecot.AddMessage(Mail(i));
    client.OpenSession();
    ASSERT_EQ(client.CountMessages(), 2);
    TIdMessage header;
    client.LoadMessageHeader(2, header);
    EXPECT_EQ(header.Subject, "chiffre 2");
    EXPECT_EQ(client.QueryMessageSize(1), static_cast<int>(Mail(1).size()));
    TIdMessage whole;
    ASSERT_TRUE(client.LoadMessage(1, whole));
    EXPECT_EQ(whole.Body.Text(), "Corps 1\r\n");
    const TIdPeerCertificate* cert = client.PeerCertificate();
    if (c.mode == tlsNone) {
        EXPECT_EQ(cert, nullptr);
    } else {
        ASSERT_NE(cert, nullptr);
        EXPECT_EQ(cert->Problem, TIdCertificateProblem::None);
        EXPECT_EQ(cert->Subject, "CN=localhost");
        EXPECT_EQ(cert->Fingerprint.size(), 95u);
    }
    client.CloseSession();
    if (c.needsIpv6) {
        EXPECT_EQ(statuses.front(), std::string("Connexion à ::1."));
    }
}
INSTANTIATE_TEST_SUITE_P(Table, TlsSession, testing::ValuesIn(kSessions),
                         [](const auto& info) { return std::string(info.param.name); });

struct RefusalCase {
    const char* name;
    const char* address;
    const char* why;
};
const RefusalCase kRefusals[] = {
    {"other_name", "127.0.0.3", "le certificat n'est pas au nom du serveur « 127.0.0.3 »"},
    {"expired", "127.0.0.4", "le certificat a expiré le 2021-01-01 00:00:00 UTC"},
    {"self_signed", "127.0.0.5", "le certificat est auto-signé"},
    {"unknown_issuer", "127.0.0.6",
     "le certificat est émis par une autorité inconnue (CN=Autorite inconnue)"},
};
class TlsRefusal : public TlsDovecot, public testing::WithParamInterface<RefusalCase> {};

TEST_P(TlsRefusal, RefusedWithReasonAndFingerprintThenPinned) {
    for (TIdTLSMode mode : {tlsImplicit, tlsExplicit}) {
        Secure(mode, GetParam().address);
        client.TLS.TrustedFingerprint.clear();
        auto refused = ExpectThrown<EIdTLSCertificateRefused>([&] { client.OpenSession(); });
        ASSERT_TRUE(refused);
        const std::string& fingerprint = refused->Certificate().Fingerprint;
        EXPECT_EQ(refused->Message(), std::string(std::string("Certificat du serveur refusé : ") +
                                                  GetParam().why + ".\r\nEmpreinte SHA-256 : ") +
                                          fingerprint);
        EXPECT_FALSE(client.IsConnected());

        // The fingerprint shown, as a user would copy it (any case, no colons).
        std::string typed;
        for (char ch : fingerprint)
            if (ch != ':') typed += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        client.TLS.TrustedFingerprint = typed;
        client.OpenSession();
        EXPECT_EQ(client.CountMessages(), 0);
        ASSERT_NE(client.PeerCertificate(), nullptr);
        EXPECT_TRUE(client.PeerCertificate()->Pinned);
        client.CloseSession();
    }
}
INSTANTIATE_TEST_SUITE_P(Table, TlsRefusal, testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TlsDovecot, PlainClientOnTheTlsPortTimesOutInsteadOfHanging) {
    client.Port = dovecot.tlsPort;
    client.ReadTimeout = 300;
    auto e = ExpectThrown<EIdReadTimeout>([&] { client.OpenSession(); });
    EXPECT_FALSE(client.IsConnected());
}

}  // namespace
