// OAuth2 against the private Dovecot, whose oauth2 password database asks
// the tests' token server whether a token is active: the browser's
// authorization with PKCE, then scans that log in with a fresh token, renew
// one the server refused or one about to expire, and stop on a revoked
// refresh token with the account's exit status.
#include <gtest/gtest.h>

#include <fstream>

#include "account/account_token.h"
#include "platform/ini_file.h"
#include "support/oauth_token_server.h"
#include "support/private_dovecot.h"
#include "support/private_keyring.h"
#include "support/run_command.h"
#include "tools/cli_fixture.h"

namespace {

constexpr const char* kClientId = "vannoir-essai";

int FirstNumber(const std::string& file) {
    std::ifstream in(file);
    int value = 0;
    in >> value;
    return value;
}

class OAuthDovecot : public cli_test::CliFixture {
protected:
    // One keyring for the suite: the process keeps its first bus connection.
    static void SetUpTestSuite() { keyring_ = PrivateKeyring::Start(); }
    static void TearDownTestSuite() { keyring_.reset(); }

    void SetUp() override {
        dovecot_ = PrivateDovecot::FromEnvironment();
        if (!dovecot_) GTEST_SKIP() << "no private Dovecot";
        const int oauthPort = FirstNumber(dovecot_->dir + "/oauthport");
        if (oauthPort == 0) GTEST_SKIP() << "the private Dovecot has no oauth2 passdb";
        if (!keyring_) GTEST_SKIP() << "no keyring daemon (bash scripts/setup test)";
        server_ = std::make_unique<OAuthTokenServer>(kClientId, dovecot_->user, oauthPort);
        PutFile(dir / "vannoir.INI", "[Form]\r\nServeur1=127.0.0.1\r\nNom1=" + dovecot_->user +
                                         "\r\nSecurite1=Aucune\r\nAuthentification1=oauth2\r\nIdClient1=" +
                                         kClientId + "\r\nCorbeille=0\r\n");
        // The user's own table names the test provider's endpoints.
        PutFile(dir / "Fournisseurs.TXT", "oauth2;127.0.0.1;" + server_->Url("/authorize") + ";" +
                                              server_->Url("/token") + ";pop;\r\n");
        dovecot_->ClearMailbox();
        dovecot_->AddMessage("From: Anne <anne@example.fr>\r\nSubject: Bonjour\r\n\r\nCorps.\r\n");
        ForgetAccessTokens();
    }
    void TearDown() override { ForgetAccessTokens(); }

    std::string Settings() const {
        std::ifstream in(dir / "vannoir.INI", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    std::optional<PrivateDovecot> dovecot_;
    static inline std::unique_ptr<PrivateKeyring> keyring_;
    std::unique_ptr<OAuthTokenServer> server_;
};

TEST_F(OAuthDovecot, AuthorizedOnceThenEachScanLogsInRenewingWhatTheServerRefusesOrIsAboutToExpire) {
    // The browser the desktop opens: the provider's page redirects to the
    // program's listener.
    Account account = ReadAccount(TIniFile(dir / "vannoir.INI"), 1);
    BrowserShell browser;
    const TokenSource source{&SystemSecretStore(), ProviderTable::Read({dir / "Fournisseurs.TXT"}),
                             [&browser](const std::string& url) { return browser.Open(url); }, 10000};
    FetchAccessToken(account, 1, source, TokenRenewal::Authorize);
    ASSERT_EQ(browser.opened.size(), 1u);
    EXPECT_EQ(browser.opened[0].string().rfind(server_->Url("/authorize?"), 0), 0u) << browser.opened[0];
    const std::string page = browser.Page();
    EXPECT_NE(page.find("Vous pouvez fermer cette fenêtre."), std::string::npos) << page;
    EXPECT_EQ(server_->CodeGrants(), 1);
    EXPECT_EQ(server_->Refusals(), 0);
    const std::optional<std::string> refresh = SystemSecretStore().Lookup({"127.0.0.1", dovecot_->user});
    ASSERT_TRUE(refresh.has_value());
    EXPECT_EQ(refresh->rfind("ref-", 0), 0u) << *refresh;
    EXPECT_EQ(Settings().find("ref-"), std::string::npos) << Settings();
    EXPECT_EQ(Settings().find("acc-"), std::string::npos) << Settings();

    // A fresh token logs in as it is.
    ASSERT_EQ(Run({"en-tetes"}, dovecot_->port), 0) << err.str();
    EXPECT_NE(out.str().find("Bonjour"), std::string::npos) << out.str();
    EXPECT_EQ(server_->RefreshGrants(), 0);
    EXPECT_EQ(server_->InactiveIntrospections(), 0);

    // Revoked before its time: refused once, renewed, logged in.
    server_->SetLifetime(30);
    server_->DeactivateAccessTokens();
    ASSERT_EQ(Run({"en-tetes"}, dovecot_->port), 0) << err.str();
    EXPECT_EQ(server_->RefreshGrants(), 1);
    EXPECT_EQ(server_->InactiveIntrospections(), 1);
    // The rotated refresh token replaced the old one in the keyring.
    EXPECT_NE(SystemSecretStore().Lookup({"127.0.0.1", dovecot_->user}), refresh);

    // 30 s left is too close to its end: renewed before the log-in, never
    // refused; this time through OAUTHBEARER.
    PutFile(dir / "vannoir.INI", Settings() + "Mecanisme1=OAUTHBEARER\r\n");
    ASSERT_EQ(Run({"en-tetes"}, dovecot_->port), 0) << err.str();
    EXPECT_EQ(server_->RefreshGrants(), 2);
    EXPECT_EQ(server_->InactiveIntrospections(), 1);
    EXPECT_EQ(server_->Refusals(), 0);
}

TEST_F(OAuthDovecot, ARevokedRefreshTokenStopsTheProgramWithTheAccountsStatus) {
    SystemSecretStore().Store({"127.0.0.1", dovecot_->user}, "essai", server_->IssueRefreshToken());
    server_->RevokeRefreshTokens();
    std::string output;
    const int status =
        RunCommand(std::string(VANNOIR_CLI_PATH) + " en-tetes --dossier '" + dir.Path().string() +
                       "' --port " + std::to_string(dovecot_->port) + " 2>&1",
                   output);
    EXPECT_EQ(status, 3) << output;
    EXPECT_NE(output.find("Le fournisseur a refusé le jeton de renouvellement du compte 1 (Token has been "
                          "revoked.) : autorisez-le de nouveau"),
              std::string::npos)
        << output;
    EXPECT_EQ(server_->Refusals(), 1);
    EXPECT_EQ(server_->InactiveIntrospections() + server_->ActiveIntrospections(), 0) << "no log-in tried";
}

}  // namespace
