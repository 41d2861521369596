// Passwords of every length the settings file keeps, saved and loaded as the
// configuration dialog and the window do, then used to log in to the private
// Dovecot; and the command line's certificate display.
#include <gtest/gtest.h>

#include <sstream>

#include "account/account_client.h"
#include "account/account_settings.h"
#include "support/dovecot_fixture.h"
#include "support/scratch_folder.h"
#include "tools/cli_run.h"

namespace {

class AccountDovecot : public DovecotFixture {};

TEST_F(AccountDovecot, StoredPasswordsLogIn) {
    // Spaces, accents (Windows-1252), quotes, "=", ";" and "#"; no ":" (the
    // server's own file cannot hold it).
    const std::string pieces = "p \xE9\"'=;#\xE0Z9";
    std::vector<std::pair<std::string, std::string>> users;
    for (std::size_t length : {1u, 8u, 9u, 16u, 64u, 255u}) {
        std::string password;
        for (std::size_t i = 0; i < length; ++i) password += pieces[(i + length) % pieces.size()];
        users.emplace_back("long" + std::to_string(length), password);
    }
    users.emplace_back("ancien", "Ab3xY9z");  // one the old scrambled key holds
    dovecot.AddUsers(users);
    ScratchFolder dir;
    TIniFile ini(dir / "v.INI");
    int slot = 0;
    for (const auto& [name, password] : users) {
        Account account;
        account.host = "127.0.0.1";
        account.user = name;
        account.password = password;
        account.security = AccountSecurity::Tls;
        account.port = dovecot.tlsPort;
        SaveAccountSettings(ini, slot, account);
        Account loaded = ReadAccount(ini, slot++);
        ASSERT_EQ(loaded.password, password) << name;
        TIdPOP3 pop;
        ApplyAccountToClient(loaded, pop);
        pop.TLS.TrustFile = dovecot.caFile;
        ASSERT_NO_THROW(pop.OpenSession()) << name;
        EXPECT_EQ(pop.CountMessages(), 0) << name;
        pop.CloseSession();
    }
}

TEST_F(AccountDovecot, CommandLineShowsTheCertificate) {
    ScratchFolder dir;
    std::ostringstream out, err;
    ASSERT_EQ(RunCli(ParseCliArguments(
                         {"certificat", "--hote", "127.0.0.5", "--port", std::to_string(dovecot.tlsPort)}),
                     dir.Path(), out, err),
              0)
        << err.str();
    const std::string shown = out.str();
    EXPECT_EQ(shown.rfind("Sujet : CN=127.0.0.5\nÉmetteur : CN=127.0.0.5\nValide du ", 0), 0u) << shown;
    EXPECT_NE(shown.find("Empreinte SHA-256 : "), std::string::npos);
    EXPECT_NE(shown.find("Vérification : refusé, le certificat est auto-signé\n"), std::string::npos)
        << shown;
}

}  // namespace
