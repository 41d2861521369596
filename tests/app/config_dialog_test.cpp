#include "app/config_dialog.h"

#include <gtest/gtest.h>

#include "account/account_settings.h"
#include "account/password_store.h"
#include "app/watch_settings_part.h"
#include "support/fake_window.h"
#include "support/pop3_script_pieces.h"
#include "support/scratch_folder.h"
#include "support/scripted_pop3_server.h"

namespace {

struct ConfigFixture : testing::Test {
    ScratchFolder dir;
    FakeConfigView view;
    FakeDialogs dialogs;
    // Fillers always "#".
    ConfigDialog dialog{dir / "v.INI", view, dialogs, [] { return 35; }};
    std::string File() { return FileBytes(dir / "v.INI"); }
};

TEST_F(ConfigFixture, ShowWithoutFileOpensOnSlotOneWithEmptyBoxes) {
    view.server = "old";
    view.selector = 7;
    dialog.Show();
    EXPECT_EQ(view.selector, 1);
    EXPECT_EQ(view.server + view.user + view.password, "");
    EXPECT_EQ(view.focusCount, 1);
}

struct ShowCase {
    const char* name;
    const char* count;
    int selector;
};
const ShowCase kShows[] = {
    {"next_after_count", "3", 4},
    {"count_ten_stays_ten", "10", 10},
    {"largest_int_clamps", "2147483647", 10},
    {"negative_clamps_to_zero", "-5", 0},
    {"hex_count", "0x2", 3},
    {"unreadable_count", "deux", 1},
};
class ConfigShow : public testing::TestWithParam<ShowCase> {};
TEST_P(ConfigShow, SelectorFollowsCount) {
    ScratchFolder dir;
    PutFile(dir / "v.INI", std::string("[Form]\r\nNbre=") + GetParam().count + "\r\n");
    FakeConfigView view;
    FakeDialogs dialogs;
    ConfigDialog(dir / "v.INI", view, dialogs).Show();
    EXPECT_EQ(view.selector, GetParam().selector);
}
INSTANTIATE_TEST_SUITE_P(Table, ConfigShow, testing::ValuesIn(kShows),
                         [](const auto& info) { return std::string(info.param.name); });

// The box shows the setting (on without one) and a click writes it at once.
TEST_F(ConfigFixture, CorbeilleBoxShowsAndWritesTheSetting) {
    dialog.Show();
    EXPECT_TRUE(view.keepDeleted) << "kept unless the settings say otherwise";
    view.keepDeleted = false;
    EXPECT_TRUE(dialog.KeepDeletedChosen().IsDone());
    EXPECT_EQ(File(), "[Form]\r\nCorbeille=0\r\n");
    dialog.Show();
    EXPECT_FALSE(view.keepDeleted);
}

class FakeWatchBoxes : public WatchSettingsView {
public:
    int MinutesValue() const override { return minutes; }
    void SetMinutesValue(int value) override { minutes = value; }
    std::string AccountsText() const override { return accounts; }
    void SetAccountsText(std::string_view text) override { accounts = text; }
    bool PurgeChecked() const override { return purge; }
    void SetPurgeChecked(bool value) override { purge = value; }
    int minutes = -1;
    std::string accounts = "?";
    bool purge = true;
};

// Off by default; the purge without asking only while the Corbeille keeps copies.
TEST_F(ConfigFixture, SurveillancePartWritesItsOwnSectionAndGuardsThePurge) {
    FakeWatchBoxes boxes;
    WatchSettingsPart part(dir / "v.INI", boxes, dialogs);
    part.Show();
    EXPECT_EQ(boxes.minutes, 0);
    EXPECT_EQ(boxes.accounts, "");
    EXPECT_FALSE(boxes.purge);
    boxes.minutes = 15;
    boxes.accounts = " 3, x,1,3,12";
    boxes.purge = true;
    EXPECT_TRUE(part.Chosen().IsDone());
    EXPECT_EQ(File(), "[Surveillance]\r\nMinutes=15\r\nComptes=3,1\r\nPurgerIntrus=1\r\n");

    view.keepDeleted = false;
    EXPECT_TRUE(dialog.KeepDeletedChosen().IsDone());
    EXPECT_TRUE(part.Chosen().IsRefused());
    EXPECT_FALSE(boxes.purge);
    EXPECT_EQ(dialogs.shown.back().rfind("message: La suppression des intrus sans demander", 0), 0u);
    part.Show();
    EXPECT_EQ(boxes.minutes, 15);
    EXPECT_EQ(boxes.accounts, "3,1");
    EXPECT_FALSE(boxes.purge);
}

TEST_F(ConfigFixture, SaveWritesSlotAndMovesToNext) {
    view.selector = 3;
    view.server = "pop.fr";
    view.user = "anne";
    view.password = "abc";
    dialog.Save();
    EXPECT_EQ(File(),
              "[Form]\r\nNbre=3\r\nServeur3=pop.fr\r\nNom3=anne\r\nPasse3=#cf##_\r\nPort3=995\r\nSecurite3="
              "TLS\r\n");
    EXPECT_EQ(view.selector, 4);
    EXPECT_EQ(view.server + view.user + view.password, "");
    EXPECT_TRUE(dialogs.shown.empty());
    Account loaded = ReadAccount(TIniFile(dir / "v.INI"), 3);
    EXPECT_EQ(loaded.password, "abc");
}

TEST_F(ConfigFixture, SavingSlotTenKeepsSelectorOnTen) {
    view.selector = 10;
    view.server = "h";
    view.user = "u";
    view.password = "p";
    dialog.Save();
    EXPECT_EQ(view.selector, 10);
}

struct RefusedCase {
    const char* name;
    const char* server;
    const char* user;
    std::string password;
    int port;
    const char* fingerprint;
    const char* shown;
};
const RefusedCase kRefused[] = {
    {"empty_server", "", "u", "p", 995, "",
     "message: Remplir impérativement tous les champs avant enregistrement"},
    {"empty_user", "h", "", "p", 995, "",
     "message: Remplir impérativement tous les champs avant enregistrement"},
    {"empty_password", "h", "u", "", 995, "",
     "message: Remplir impérativement tous les champs avant enregistrement"},
    {"password_of_256", "h", "u", std::string(256, 'x'), 995, "",
     "message: Le mot de passe est trop long : 255 caractères au plus."},
    {"port_zero", "h", "u", "p", 0, "", "message: Le port doit être un nombre de 1 à 65535."},
    {"port_too_high", "h", "u", "p", 65536, "", "message: Le port doit être un nombre de 1 à 65535."},
    {"fingerprint_too_short", "h", "u", "p", 995, "AB:CD",
     "message: L'empreinte du certificat doit compter 64 chiffres hexadé"
     "cimaux (SHA-256), par paires séparé"
     "es ou non par « : »."},
};
class ConfigRefused : public testing::TestWithParam<RefusedCase> {};
TEST_P(ConfigRefused, WritesNothingAndKeepsBoxes) {
    ScratchFolder dir;
    FakeConfigView view;
    FakeDialogs dialogs;
    view.server = GetParam().server;
    view.user = GetParam().user;
    view.password = GetParam().password;
    view.port = GetParam().port;
    view.fingerprint = GetParam().fingerprint;
    ConfigDialog(dir / "v.INI", view, dialogs).Save();
    EXPECT_EQ(FileBytes(dir / "v.INI"), "<missing>");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0], GetParam().shown);
    EXPECT_EQ(view.selector, 1);
    EXPECT_EQ(view.password, GetParam().password);
}
INSTANTIATE_TEST_SUITE_P(Table, ConfigRefused, testing::ValuesIn(kRefused),
                         [](const auto& info) { return std::string(info.param.name); });

// What the dialog shows of a slot, and what a save of it writes back.
TEST_F(ConfigFixture, ConnectionOfASlotShownAndSaved) {
    PutFile(dir / "v.INI",
            "[Form]\r\nServeur1=old.fr\r\nNom1=u\r\nPasse1=#c\r\n"
            "Serveur2=pop.fr\r\nNom2=Andr\xE9\r\nMotDePasse2=" +
                EncodeStoredPassword("mot de passe \xE9t\xE9 = ; #") +
                "\r\nPort2=1995\r\nSecurite2=stls\r\nEmpreinte2=AB\r\n");
    struct Shown {
        int slot;
        const char* password;
        int port;
        AccountSecurity security;
        const char* fingerprint;
    };
    for (Shown want : {Shown{1, "a", 110, AccountSecurity::None, ""},
                       Shown{2, "mot de passe été = ; #", 1995, AccountSecurity::Stls, "AB"},
                       Shown{3, "", 995, AccountSecurity::Tls, ""}}) {
        view.selector = want.slot;
        dialog.SelectorClick();
        EXPECT_EQ(view.password, want.password) << want.slot;
        EXPECT_EQ(view.port, want.port) << want.slot;
        EXPECT_EQ(view.security, want.security) << want.slot;
        EXPECT_EQ(view.fingerprint, want.fingerprint) << want.slot;
    }
    view.selector = 4;
    view.server = "h";
    view.user = "u";
    view.password = "longer than eight";
    view.port = 995;
    view.security = AccountSecurity::Tls;
    view.fingerprint = std::string(32, 'a') + std::string(32, 'B');
    dialog.Save();
    Account saved = ReadAccount(TIniFile(dir / "v.INI"), 4);
    EXPECT_EQ(saved.password, "longer than eight");
    EXPECT_EQ(saved.fingerprint.substr(0, 6), "AA:AA:");
    EXPECT_EQ(view.port, 995) << "the next slot is a new account";
    EXPECT_EQ(view.fingerprint, "");

    // The old program's Windows-1252, shown in clear: saved as shown, the
    // password keeps its bytes; typed anew, it is stored in UTF-8.
    for (const char* typed : {"", "été"}) {
        view.selector = 2;
        dialog.SelectorClick();
        EXPECT_EQ(view.user, "André");
        view.fingerprint = "";
        if (*typed) view.password = typed;
        dialog.Save();
        EXPECT_EQ(ReadAccount(TIniFile(dir / "v.INI"), 2).password,
                  *typed ? "\xC3\xA9t\xC3\xA9" : "mot de passe \xE9t\xE9 = ; #");
    }
}

TEST_F(ConfigFixture, SecurityChoiceMovesOnlyADefaultPort) {
    view.port = 995;
    view.security = AccountSecurity::Stls;
    dialog.SecurityChosen(AccountSecurity::Tls);
    EXPECT_EQ(view.port, 110);
    view.port = 2110;
    view.security = AccountSecurity::Tls;
    dialog.SecurityChosen(AccountSecurity::Stls);
    EXPECT_EQ(view.port, 2110);
}

TEST_F(ConfigFixture, SelectorLoadsSlotWithPasswordInClear) {
    PutFile(dir / "v.INI", "[Form]\r\nServeur2=pop.fr\r\nNom2=anne\r\nPasse2=#cfBC_\r\nServeur3=x\r\n");
    view.selector = 2;
    view.password = "old";
    dialog.SelectorClick();
    EXPECT_EQ(view.server, "pop.fr");
    EXPECT_EQ(view.user, "anne");
    EXPECT_EQ(view.password, "abc");
    view.selector = 3;
    dialog.SelectorClick();
    EXPECT_EQ(view.server, "x");
    EXPECT_EQ(view.password, "");
    EXPECT_EQ(view.focusCount, 2);
}

TEST_F(ConfigFixture, SaveThenEraseAllFollowsCount) {
    PutFile(dir / "v.INI", "[Form]\r\nNbre=7\r\nServeur7=g\r\n");
    view.selector = 3;
    view.server = "c";
    view.user = "u";
    view.password = "p";
    dialog.Save();
    TIniFile ini(dir / "v.INI");
    EXPECT_EQ(ReadSlotCount(ini), 3);
    EraseAllAccounts(ini);
    EXPECT_EQ(File(), "[Form]\r\nNbre=0\r\nServeur7=g\r\n");
}

TEST_F(ConfigFixture, CancelClosesWithoutWriting) {
    view.server = "h";
    dialog.Cancel();
    EXPECT_TRUE(view.closed);
    EXPECT_EQ(File(), "<missing>");
}

TEST_F(ConfigFixture, RefusedWriteRaisesWithPath) {
    ConfigDialog elsewhere(dir / "absent" / "v.INI", view, dialogs);
    view.server = "h";
    view.user = "u";
    view.password = "p";
    EXPECT_TRUE(elsewhere.Save().IsFailed());
    EXPECT_EQ(dialogs.shown,
              std::vector<std::string>{"standard: " + std::string("Impossible d'écrire dans ") +
                                       (dir / "absent" / "v.INI").string() + "."});
}

}  // namespace

namespace {

// The address box fills the rest from the table; the user keeps the last word.
TEST_F(ConfigFixture, AddressFillsTheAccountAndAnUnknownDomainLeavesItEmpty) {
    dialog.SetProviders(ProviderTable::Parse(
        "acces.fr;pop.acces.fr;110;STLS;motdepasse;identifiant\r\n"
        "nuage.example;pop.nuage.example;995;TLS;oauth2;adresse\r\n"
        "oauth2;pop.nuage.example;https://n.example/a;https://n.example/t;pop;id-nuage;oauthbearer\r\n"
        "oauth2;pop.acces.fr;https://a.example/a;https://a.example/t;pop;id-acces\r\n"));
    view.fingerprint = "AB";
    view.address = "zoe@acces.fr";
    dialog.AddressEntered();
    EXPECT_EQ(view.server, "pop.acces.fr");
    EXPECT_EQ(view.user, "zoe");
    EXPECT_EQ(view.port, 110);
    EXPECT_EQ(view.security, AccountSecurity::Stls);
    EXPECT_EQ(view.fingerprint, "") << "a certificate trusted for another server";
    EXPECT_EQ(view.clientId, "") << "a password account takes no client id";
    EXPECT_FALSE(view.oauthBoxesEnabled);

    view.address = "zoe@ailleurs.example";
    dialog.AddressEntered();
    EXPECT_EQ(view.server + view.user, "");

    // An OAuth2 account is saved without a password, with its method, and
    // the client id and mechanism of its server as the user leaves them.
    view.address = "a@nuage.example";
    dialog.AddressEntered();
    EXPECT_EQ(view.clientId, "id-nuage");
    EXPECT_TRUE(view.oauthBearer);
    EXPECT_TRUE(view.oauthBoxesEnabled);
    view.user = "autre@nuage.example";
    view.clientId = " mon-id ";
    view.selector = 2;
    EXPECT_TRUE(dialog.Save().IsDone()) << (dialogs.shown.empty() ? "" : dialogs.shown.back());
    Account saved = ReadAccount(TIniFile(dir / "v.INI"), 2);
    EXPECT_EQ(saved.user, "autre@nuage.example");
    EXPECT_EQ(saved.authentication, AccountAuthentication::OAuth2);
    EXPECT_EQ(saved.password, "");
    EXPECT_EQ(saved.clientId, "mon-id");
    EXPECT_TRUE(saved.oauthBearer);
    EXPECT_EQ(File().find("Passe2"), std::string::npos) << File();
    EXPECT_EQ(view.authentication, AccountAuthentication::Password) << "the next slot is a new account";
    EXPECT_EQ(view.clientId + (view.oauthBearer ? "bearer" : ""), "");
    EXPECT_FALSE(view.oauthBoxesEnabled);

    // Shown again with the slot; switched to the password, the slot keeps
    // neither (the boxes took no input).
    view.selector = 2;
    dialog.SelectorClick();
    EXPECT_EQ(view.clientId, "mon-id");
    EXPECT_TRUE(view.oauthBearer);
    EXPECT_TRUE(view.oauthBoxesEnabled);
    view.authentication = AccountAuthentication::Password;
    dialog.AuthenticationChosen();
    EXPECT_FALSE(view.oauthBoxesEnabled);
    view.password = "p";
    EXPECT_TRUE(dialog.Save().IsDone());
    EXPECT_EQ(File().find("IdClient2"), std::string::npos) << File();
    EXPECT_EQ(File().find("Mecanisme2"), std::string::npos) << File();
}

}  // namespace

namespace {

// "Tester" tries the boxes as they are and writes nothing.
TEST_F(ConfigFixture, TesterTriesTheBoxesWithoutSavingThem) {
    ScriptedPop3Server server(Login() + Stat(2) + Quit());
    view.server = "127.0.0.1";
    view.user = "anne";
    view.password = "secret";
    view.port = server.Port();
    view.security = AccountSecurity::None;
    EXPECT_TRUE(dialog.Test().IsDone());
    server.ExpectFinished();
    EXPECT_EQ(dialogs.shown, (std::vector<std::string>{
                                 "message: Test réussi : connexion à 127.0.0.1, identifiants acceptés, "
                                 "2 message(s) sur le serveur."}));
    EXPECT_FALSE(std::filesystem::exists(dir / "v.INI"));
    EXPECT_EQ(view.server, "127.0.0.1") << "the boxes stay";

    view.port = 0;
    EXPECT_TRUE(dialog.Test().IsRefused()) << "checked as a save checks";
}

}  // namespace
