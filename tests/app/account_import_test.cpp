#include "account/account_import.h"

#include <gtest/gtest.h>

#include "mailbox_script.h"
#include "platform/memory_registry.h"
#include "platform/text.h"

namespace {

using Strings = std::vector<std::string>;
const std::string kKey = std::string(kAccountsKey);
const std::string kDone = "message: " + std::string("Importation réussie. Compléter par les mots de passe");
const std::string kFailed =
    "message: " + std::string("Echec de l'importation. Entrez les paramètres manuellement");

RegistryValue Text(std::string text) { return {RegistryValue::Type::String, std::move(text)}; }

// Accounts "name=server/user" ("-" for no user value, "*" for a number); the
// server may be followed by ":port:secure", DWORDs of the source.
MemoryRegistry Accounts(const Strings& accounts) {
    MemoryRegistry registry;
    registry.AddKey(kKey);
    for (const std::string& account : accounts) {
        std::string name = account.substr(0, account.find('=')), rest = account.substr(account.find('=') + 1);
        std::string server = rest.substr(0, rest.find('/')), user = rest.substr(rest.find('/') + 1);
        std::string path = kKey + "\\" + name;
        registry.AddKey(path);
        if (std::size_t colon = server.find(':'); colon != std::string::npos) {
            std::string connection = server.substr(colon + 1);
            server.resize(colon);
            const std::size_t second = connection.find(':');
            registry.SetValue(path, "POP3 Port",
                              RegistryValue::DWord(std::stoul(connection.substr(0, second))));
            registry.SetValue(path, "POP3 Secure Connection",
                              RegistryValue::DWord(std::stoul(connection.substr(second + 1))));
        }
        if (server == "*")
            registry.SetValue(path, "POP3 Server", {RegistryValue::Type::DWord, "\x01"});
        else if (!server.empty())
            registry.SetValue(path, "POP3 Server", Text(server));
        if (user == "*")
            registry.SetValue(path, "POP3 User Name", {RegistryValue::Type::Binary, "\x01"});
        else if (user != "-")
            registry.SetValue(path, "POP3 User Name", Text(user));
        if (server.empty()) registry.SetValue(path, "IMAP Server", Text("imap.fr"));
    }
    return registry;
}

struct ImportCase {
    const char* name;
    std::string settings;
    Strings accounts;
    std::string after;  // the settings file afterwards; "<missing>" when none
    Strings shown;
    int dialogOpened;
};
const std::string kHead = "[Form]\r\n";
const ImportCase kImports[] = {
    {"two_pop3_and_one_other_after_slot_one",
     kHead + "Nbre=1\r\n",
     {"00000001=pop.a.fr/anne", "00000002=/", "00000003=pop.b.fr/bob"},
     kHead + "Nbre=3\r\nServeur2=pop.a.fr\r\nNom2=anne\r\nServeur3=pop.b.fr\r\nNom3=bob\r\n",
     {kDone},
     1},
    {"port_and_security_from_the_source_and_none_left_from_a_former_account",
     kHead + "Port3=2110\r\nSecurite3=TLS\r\n",
     {"a=pop.a.fr:995:1/anne", "b=pop.b.fr:110:2/bob", "c=pop.c.fr/carl"},
     kHead +
         "Nbre=3\r\nServeur1=pop.a.fr\r\nNom1=anne\r\nPort1=995\r\nSecurite1=TLS\r\nServeur2=pop.b.fr\r\n" +
         "Nom2=bob\r\nPort2=110\r\nSecurite2=STLS\r\nServeur3=pop.c.fr\r\nNom3=carl\r\n",
     {kDone},
     1},
    {"missing_user_name_gives_empty_user",
     "",
     {"a=pop.a.fr/-"},
     kHead + "Nbre=1\r\nServeur1=pop.a.fr\r\nNom1=\r\n",
     {kDone},
     1},
    {"slot_holding_a_server_is_skipped_and_a_stale_password_removed",
     kHead + "Nbre=1\r\nServeur2=occupe.fr\r\nPasse3=#cfBC_\r\n",
     {"a=pop.a.fr/anne"},
     kHead + "Nbre=3\r\nServeur2=occupe.fr\r\nServeur3=pop.a.fr\r\nNom3=anne\r\n",
     {kDone},
     1},
    {"accounts_past_slot_ten_are_counted_not_written",
     kHead + "Nbre=9\r\n",
     {"a=pop.a.fr/a", "b=pop.b.fr/b", "c=pop.c.fr/c"},
     kHead + "Nbre=10\r\nServeur10=pop.a.fr\r\nNom10=a\r\n",
     {kDone + std::string("\n2 compte(s) non importé(s) : les comptes 1 à 10 sont tous occupés.")},
     1},
    {"overlong_names_and_control_characters_are_skipped_with_a_line",
     "",
     {"a=" + std::string(254, 'h') + "/anne", "b=pop.b.fr/" + std::string(256, 'u'), "c=pop.\x1b[2J.fr/c",
      "d=pop.d.fr/d\r\nServeur2=pirate.fr", "e=" + std::string(253, 'e') + "/" + std::string(255, 'e')},
     kHead + "Nbre=1\r\nServeur1=" + std::string(253, 'e') + "\r\nNom1=" + std::string(255, 'e') + "\r\n",
     {kDone +
      std::string("\ncompte ignoré : a (nom de serveur de plus de 253 octets)"
                  "\ncompte ignoré : b (nom d'utilisateur de plus de 255 octets)"
                  "\ncompte ignoré : c (caractère de contrôle)\ncompte ignoré : d (caractère de contrôle)")},
     1},
    {"no_pop3_account_fails_and_writes_nothing", "", {"a=/"}, "<missing>", {kFailed}, 0},
    {"server_not_a_string_stops_with_the_type_error",
     "",
     {"a=pop.a.fr/anne", "b=*/bob", "c=pop.c.fr/c"},
     kHead + "Nbre=1\r\nServeur1=pop.a.fr\r\nNom1=anne\r\n",
     {"standard: " + std::string("Type de données incorrect pour 'POP3 Server'.")},
     0},
    {"user_not_a_string_stops_with_the_type_error",
     "",
     {"a=pop.a.fr/*"},
     "<missing>",
     {"standard: " + std::string("Type de données incorrect pour 'POP3 User Name'.")},
     0},
};
class Import : public MailboxFixture, public testing::WithParamInterface<ImportCase> {};
TEST_P(Import, WritesFreeSlotsAndTellsTheUser) {
    if (!GetParam().settings.empty()) PutFile(paths.settings, GetParam().settings);
    MemoryRegistry registry = Accounts(GetParam().accounts);
    int opened = 0;
    screener.ImportAccounts(registry, [&] { ++opened; });
    EXPECT_EQ(FileBytes(paths.settings), GetParam().after);
    EXPECT_EQ(window.dialogs.shown, GetParam().shown);
    EXPECT_EQ(opened, GetParam().dialogOpened);
}
INSTANTIATE_TEST_SUITE_P(Table, Import, testing::ValuesIn(kImports),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MailboxFixture, ImportWithoutAccountsKeyFails) {
    MemoryRegistry registry;
    EXPECT_TRUE(screener.ImportAccounts(registry, {}).IsRefused());
    EXPECT_EQ(window.dialogs.shown, Strings{kFailed});
    EXPECT_FALSE(std::filesystem::exists(paths.settings));
}

TEST_F(MailboxFixture, ImportTwiceWritesNewSlotsAndTheDialogOpensAfterThem) {
    PutFile(paths.settings, kHead + "Nbre=1\r\n");
    MemoryRegistry registry = Accounts({"a=pop.a.fr/anne", "b=pop.b.fr/bob"});
    FakeConfigView view;
    auto dialog = screener.MakeConfigDialog(view);
    screener.ImportAccounts(registry, [&] { dialog->Show(); });
    EXPECT_EQ(view.selector, 4);
    screener.ImportAccounts(registry, [&] { dialog->Show(); });
    EXPECT_EQ(view.selector, 6);
    EXPECT_EQ(ReadAccount(TIniFile(paths.settings), 5).host, "pop.b.fr");
}

}  // namespace
