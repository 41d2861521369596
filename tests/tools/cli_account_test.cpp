// vannoir-cli's compte and the stored password's protection, in-process.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>

#include "account/account_settings.h"
#include "account/password_scramble.h"
#include "platform/secret_store.h"
#include "platform/text.h"
#include "support/loopback.h"
#include "support/pop3_script_pieces.h"
#include "support/private_keyring.h"
#include "support/scratch_folder.h"
#include "support/scripted_pop3_server.h"
#include "tools/cli_run.h"

namespace {

struct AccountCli : testing::Test {
    int Run(const std::vector<std::string>& args, std::optional<std::string> typed) {
        out.str("");
        err.str("");
        prompts.clear();
        return RunCli(ParseCliArguments(args), dir.Path(), out, err, [&](std::string_view prompt) {
            prompts.emplace_back(prompt);
            return typed;
        });
    }
    Account Slot(int slot) { return ReadAccount(TIniFile(dir / "vannoir.INI"), slot); }
    ScratchFolder dir;
    std::ostringstream out, err;
    std::vector<std::string> prompts;
};

TEST_F(AccountCli, WritesTheSlotWithAPasswordReadFromInputAndShowsItWithout) {
    const std::string password = "mot de passe d'été = 24 ; #";
    ASSERT_EQ(Run({"compte", "2", "--serveur", "pop.exemple.fr", "--utilisateur", "zoé", "--securite", "stls",
                   "--empreinte", std::string(64, 'c'), "--delai", "9"},
                  password),
              0)
        << err.str();
    EXPECT_EQ(prompts, (std::vector<std::string>{"Mot de passe du compte 2 : "}));
    Account saved = Slot(2);
    EXPECT_EQ(saved.password, password);
    EXPECT_EQ(saved.user, "zoé");
    EXPECT_EQ(saved.security, AccountSecurity::Stls);
    EXPECT_EQ(saved.port, 110);
    EXPECT_EQ(saved.readLimitMs, 9000);
    EXPECT_EQ(saved.fingerprint.substr(0, 3), "CC:");

    ASSERT_EQ(Run({"compte", "2"}, std::nullopt), 0);
    EXPECT_TRUE(prompts.empty());
    const std::string shown = out.str();
    EXPECT_NE(shown.find("Serveur : pop.exemple.fr\nUtilisateur : zoé\nPort : 110\nSécurité : STLS\n"),
              std::string::npos)
        << shown;
    EXPECT_NE(shown.find("Mot de passe : enregistré"), std::string::npos);
    EXPECT_EQ(shown.find("d'été"), std::string::npos) << "never the password";
}

TEST_F(AccountCli, NothingWrittenWithoutAPassword) {
    EXPECT_EQ(Run({"compte", "3", "--serveur", "h", "--utilisateur", "u"}, std::nullopt), 1);
    EXPECT_EQ(err.str(), "Aucun mot de passe lu : rien n'a été enregistré.\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "vannoir.INI"));
}

TEST_F(AccountCli, AnotherHostNeedsThePasswordOfTheRunBeforeConnecting) {
    ASSERT_EQ(Run({"compte", "1", "--serveur", "pop.fr", "--utilisateur", "anne"}, "secret"), 0);
    EXPECT_EQ(Run({"en-tetes", "--hote", "127.0.0.1", "--port", "1"}, std::nullopt), 3)
        << "account unusable as it is";
    EXPECT_NE(err.str().find("Le mot de passe du compte 1 n'est envoyé qu'à son serveur « pop.fr » : pour "
                             "« 127.0.0.1 », donnez le mot de passe de cette fois."),
              std::string::npos)
        << err.str();
    EXPECT_EQ(prompts, (std::vector<std::string>{"Mot de passe pour 127.0.0.1 : "}));
    EXPECT_EQ(err.str().find("Connexion"), std::string::npos) << "nothing was connected";
}

TEST_F(AccountCli, ASettingsFileOthersMayReadIsReported) {
    ASSERT_EQ(Run({"compte", "1", "--serveur", "pop.fr", "--utilisateur", "anne"}, "secret"), 0);
    EXPECT_EQ(err.str(), "");
    std::filesystem::permissions(dir / "vannoir.INI", std::filesystem::perms::group_read,
                                 std::filesystem::perm_options::add);
    Run({"compte", "1"}, std::nullopt);
    EXPECT_EQ(err.str().rfind("Attention : le fichier de réglages", 0), 0u) << err.str();
}

}  // namespace

namespace {

// The table installed with the program, as the program finds it beside itself.
struct AddressCli : AccountCli {
    AddressCli() { PutFile(dir / "Fournisseurs.TXT", FileBytes(VANNOIR_PROVIDER_TABLE)); }
    std::string Settings() { return FileBytes(dir / "vannoir.INI"); }
};

// Whose results tell who sent a message: the table's service for the
// server, or the account's own.
TEST_F(AddressCli, ShowsTheReceivingServiceOfTheAccount) {
    ASSERT_EQ(Run({"compte", "1", "--adresse", "anne@gmail.com", "--trousseau", "non"}, "secret"), 0)
        << err.str();
    ASSERT_EQ(Run({"compte", "1"}, std::nullopt), 0) << err.str();
    EXPECT_NE(out.str().find("Service d'authentification : mx.google.com (table des fournisseurs)\n"),
              std::string::npos)
        << out.str();
    TIniFile(dir / "vannoir.INI").WriteString("Form", "ServiceAuthentification1", "mail.perso.example");
    TIniFile(dir / "vannoir.INI").WriteString("Form", "InconnueEchec1", "1");
    ASSERT_EQ(Run({"compte", "1"}, std::nullopt), 0) << err.str();
    EXPECT_NE(out.str().find(
                  "Service d'authentification : mail.perso.example, expéditeur inconnu compté en échec\n"),
              std::string::npos)
        << out.str();
}

TEST_F(AddressCli, AnAddressFillsTheAccountFromTheInstalledTable) {
    // The providers' published settings.
    ASSERT_EQ(Run({"compte", "4", "--adresse", "Zoé.Martin@Free.fr"}, "secret"), 0) << err.str();
    EXPECT_EQ(prompts, (std::vector<std::string>{"Mot de passe du compte 4 : "}));
    Account free = Slot(4);
    EXPECT_EQ(free.host, "pop.free.fr");
    EXPECT_EQ(free.user, std::string("Zoé.Martin"));
    EXPECT_EQ(free.port, 995);
    EXPECT_EQ(free.security, AccountSecurity::Tls);
    EXPECT_EQ(free.password, "secret");

    ASSERT_EQ(Run({"compte", "5", "--adresse", "anne@gmail.com", "--securite", "stls"}, "app-pass"), 0);
    Account gmail = Slot(5);
    EXPECT_EQ(gmail.host, "pop.gmail.com");
    EXPECT_EQ(gmail.user, "anne@gmail.com");
    EXPECT_EQ(gmail.security, AccountSecurity::Stls) << "an option beside the address wins";
    EXPECT_EQ(gmail.port, 110) << "the port follows the security chosen";
}

TEST_F(AddressCli, AnOAuth2ProviderAsksForNoPasswordAndStoresNone) {
    ASSERT_EQ(Run({"compte", "6", "--adresse", "anne@outlook.fr", "--port", "1995"}, "never asked"), 0)
        << err.str();
    EXPECT_TRUE(prompts.empty());
    Account outlook = Slot(6);
    EXPECT_EQ(outlook.host, "outlook.office365.com");
    EXPECT_EQ(outlook.port, 1995);
    EXPECT_EQ(outlook.authentication, AccountAuthentication::OAuth2);
    EXPECT_EQ(Settings().find("Passe6"), std::string::npos) << Settings();
    EXPECT_NE(out.str().find("Authentification : oauth2\n"), std::string::npos) << out.str();
}

TEST_F(AddressCli, AnUnknownDomainNeedsAServer) {
    EXPECT_EQ(Run({"compte", "7", "--adresse", "anne@inconnu.example"}, "secret"), 2);
    EXPECT_NE(err.str().find("domaine inconnu : précisez --serveur"), std::string::npos) << err.str();
    EXPECT_TRUE(prompts.empty());
    EXPECT_FALSE(std::filesystem::exists(dir / "vannoir.INI"));

    ASSERT_EQ(Run({"compte", "7", "--adresse", "anne@inconnu.example", "--serveur", "pop.inconnu.example"},
                  "secret"),
              0);
    EXPECT_EQ(Slot(7).user, "anne@inconnu.example");
    EXPECT_EQ(Slot(7).port, 995);
}

}  // namespace

namespace {

// compte N --tester: one line on standard output, a scan's exit status. An
// OAuth2 account logs in with the first line its token command writes.
struct TestCase {
    const char* name;
    std::string keys;    // the slot's keys after its server, user, port and security
    std::string script;  // "" for a port nobody listens on
    int status;
    const char* line;  // the start of the line
};
const std::string kPasse = "Passe1=" + ScramblePassword("secret") + "\r\n";
const std::string kOAuth2 = "Authentification1=OAuth2\r\n";
const TestCase kTests[] = {
    {"logs_in_reads_stat_and_quits", kPasse, Login() + Stat(3) + Quit(), 0,
     "Test réussi : connexion à 127.0.0.1, identifiants acceptés, 3 message(s) sur le serveur.\n"},
    {"refused_password", kPasse,
     "S: +OK ready\nC: USER anne\nS: +OK\nC: PASS secret\nS: -ERR [AUTH] mot de passe faux\n" + Quit(), 1,
     "Test échoué : identifiant ou mot de passe refusé par le serveur ([AUTH] mot de passe faux"},
    {"unreachable_server", kPasse, "", 4, "Test échoué : serveur injoignable ("},
    {"no_password_sends_nothing", "", "", 3, "Le compte 1 n'est pas configuré"},
    {"fresh_token_logs_in", kOAuth2 + "CommandeJeton1=printf 'tok-1\\nignored\\n'\r\n",
     "S: +OK ready\nC: AUTH XOAUTH2 dXNlcj1hbm5lAWF1dGg9QmVhcmVyIHRvay0xAQE=\nS: +OK\n" + Stat(0) + Quit(), 0,
     "Test réussi : connexion à 127.0.0.1"},
    {"revoked_token_is_the_servers_refusal", kOAuth2 + "CommandeJeton1=echo vieux\r\n",
     "S: +OK ready\nC: AUTH XOAUTH2 dXNlcj1hbm5lAWF1dGg9QmVhcmVyIHZpZXV4AQE=\nS: + e30=\nC: \n"
     "S: -ERR [AUTH] jeton expiré\n" +
         Quit(),
     1, "Test échoué : identifiant ou mot de passe refusé par le serveur ([AUTH] jeton expiré"},
    {"failing_token_command_sends_nothing", kOAuth2 + "CommandeJeton1=echo tok; exit 7\r\n", "", 3,
     "La commande du jeton d'accès du compte 1 a échoué (code 7) : aucune connexion.\n"},
    {"silent_token_command_sends_nothing", kOAuth2 + "CommandeJeton1=true\r\n", "", 3,
     "La commande du jeton d'accès du compte 1 n'a écrit aucun jeton : aucune connexion.\n"},
    {"endless_token_command_is_ended", kOAuth2 + "DelaiConnexion1=1\r\nCommandeJeton1=yes tok\r\n", "", 3,
     "La commande du jeton d'accès du compte 1 n'a pas fini en 1 s : arrêtée, aucune connexion.\n"},
    {"no_token_command_sends_nothing", kOAuth2, "", 3,
     "Le compte 1 s'identifie par OAuth2, mais aucune commande"},
};
class TestCli : public AccountCli, public testing::WithParamInterface<TestCase> {};
TEST_P(TestCli, SaysInOneLineWhatWorkedOrFailed) {
    const TestCase& c = GetParam();
    std::unique_ptr<ScriptedPop3Server> server;
    if (!c.script.empty()) server = std::make_unique<ScriptedPop3Server>(c.script);
    const int port = server ? server->Port() : UnusedLoopbackPort();
    PutFile(dir / "vannoir.INI", "[Form]\r\nServeur1=127.0.0.1\r\nNom1=anne\r\nPort1=" + IntToStr(port) +
                                     "\r\nSecurite1=Aucune\r\n" + c.keys);
    EXPECT_EQ(Run({"compte", "1", "--tester"}, std::nullopt), c.status) << err.str();
    const std::string shown = out.str();
    EXPECT_EQ(shown.rfind(c.line, 0), 0u) << shown;
    EXPECT_EQ(std::count(shown.begin(), shown.end(), '\n'), 1) << shown;
    if (server) server->ExpectFinished();
}
INSTANTIATE_TEST_SUITE_P(Table, TestCli, testing::ValuesIn(kTests),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

namespace {

// The password in the session's keyring: written there by compte, read from
// there by a log-in, never in the settings file.
TEST_F(AccountCli, ThePasswordGoesToTheKeyringAndComesBackForALogIn) {
    auto keyring = PrivateKeyring::Start();
    if (!keyring) GTEST_SKIP() << "no keyring daemon (bash scripts/setup test)";
    ScriptedPop3Server server(Login() + Stat(1) + Quit());
    ASSERT_EQ(Run({"compte", "1", "--serveur", "127.0.0.1", "--utilisateur", "anne", "--securite", "aucune",
                   "--port", IntToStr(server.Port())},
                  "secret"),
              0)
        << err.str();
    const std::string settings = FileBytes(dir / "vannoir.INI");
    EXPECT_NE(settings.find("Trousseau1=1"), std::string::npos) << settings;
    EXPECT_EQ(settings.find("Passe1"), std::string::npos) << settings;
    EXPECT_NE(out.str().find("Mot de passe : dans le trousseau\n"), std::string::npos) << out.str();

    EXPECT_EQ(Run({"compte", "1", "--tester"}, std::nullopt), 0) << out.str();
    server.ExpectFinished();

    // Back to the file, explicitly.
    ASSERT_EQ(Run({"compte", "1", "--trousseau", "non"}, std::nullopt), 0) << err.str();
    EXPECT_EQ(Slot(1).password, "secret");
    EXPECT_FALSE(Slot(1).inKeyring);
    EXPECT_EQ(SystemSecretStore().Lookup({"127.0.0.1", "anne"}), std::nullopt);
}

TEST_F(AccountCli, AKeyringOutOfReachFailsTheRunWithThree) {
    PutFile(dir / "vannoir.INI", "[Form]\r\nServeur1=127.0.0.1\r\nNom1=anne\r\nPort1=" +
                                     IntToStr(UnusedLoopbackPort()) + "\r\nTrousseau1=1\r\n");
    NoKeyring none;
    EXPECT_EQ(Run({"en-tetes"}, std::nullopt), 3);
    EXPECT_NE(err.str().find("Le trousseau de clés est injoignable ("), std::string::npos) << err.str();
    EXPECT_EQ(err.str().find("Connexion"), std::string::npos) << "nothing was connected";
    EXPECT_EQ(Run({"compte", "1", "--tester"}, std::nullopt), 3);
    EXPECT_EQ(out.str().rfind("Le trousseau de clés est injoignable (", 0), 0u) << out.str();
}

}  // namespace
