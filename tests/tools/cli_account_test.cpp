// vannoir-cli's compte and the stored password's protection, in-process.
#include <gtest/gtest.h>

#include <sstream>

#include "app/account_settings.h"
#include "platform/text.h"
#include "support/scratch_folder.h"
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
