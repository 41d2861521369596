#include "account/account_settings.h"

#include <gtest/gtest.h>

#include "account/account_client.h"
#include "account/account_overrides.h"
#include "account/app_paths.h"
#include "account/settings_exposure.h"
#include "support/expect_error.h"
#include "support/scratch_folder.h"

namespace {

TEST(AppPaths, BesideTheExecutable) {
    AppPaths paths = AppPaths::ForExecutable("/opt/vannoir/vannoir");
    EXPECT_EQ(paths.settings, "/opt/vannoir/vannoir.INI");
    EXPECT_EQ(paths.friends, "/opt/vannoir/Liste/Amis.TXT");
    EXPECT_EQ(paths.intruders, "/opt/vannoir/Liste/Intrus.TXT");
    EXPECT_EQ(AppPaths::ForExecutable("/opt/v.d/Vannoir.exe").settings, "/opt/v.d/Vannoir.INI");
}

struct LoadCase {
    const char* name;
    std::string file;
    int slot;
    std::string host, user, password, caption;
};
const LoadCase kLoads[] = {
    {"no_settings_file", "", 1, "", "", "", "Courriel : compte non configuré"},
    {"configured_slot", "[Form]\r\nServeur2=pop.fr\r\nNom2=anne\r\nPasse2=#cfBC_\r\n", 2, "pop.fr", "anne",
     "abc", "Courriel : anne - pop.fr"},
    {"imported_slot_without_password", "[Form]\r\nServeur1=pop.fr\r\nNom1=anne\r\n", 1, "pop.fr", "anne", "",
     "Courriel : compte non configuré"},
    {"slot_ten", "[Form]\r\nServeur10=h\r\nNom10=u\r\nPasse10=#0\r\n", 10, "h", "u", "y", "Courriel : u - h"},
    {"other_slot_not_read", "[Form]\r\nServeur1=pop.fr\r\nPasse1=#c\r\n", 0, "", "", "",
     "Courriel : compte non configuré"},
};
class AccountLoad : public testing::TestWithParam<LoadCase> {};
TEST_P(AccountLoad, ReadsSlot) {
    ScratchFolder dir;
    if (!GetParam().file.empty()) PutFile(dir / "v.INI", GetParam().file);
    Account account = ReadAccount(TIniFile(dir / "v.INI"), GetParam().slot);
    EXPECT_EQ(account.host, GetParam().host);
    EXPECT_EQ(account.user, GetParam().user);
    EXPECT_EQ(account.password, GetParam().password);
    EXPECT_EQ(AccountCaption(account), GetParam().caption);
}
INSTANTIATE_TEST_SUITE_P(Table, AccountLoad, testing::ValuesIn(kLoads),
                         [](const auto& info) { return std::string(info.param.name); });

// Which accounts an all-accounts action meets, for the window's sweep, the
// periodic checks and the command line alike: what is run, what is passed
// over with what it lacks, in order, and where a run that asks to stop ends.
struct RunnableCase {
    const char* name;
    std::string slots;  // the lines of [Form]
    std::vector<int> chosen;
    int stopAfter;  // runs before one returns false; 0: never
    std::string met;
};
const RunnableCase kRunnables[] = {
    {"complete", "Serveur1=pop.fr\r\nNom1=anne\r\nPasse1=#cfBC_\r\n", {}, 0, "run 1"},
    {"password_in_the_keyring", "Serveur2=pop.fr\r\nNom2=anne\r\nTrousseau2=1\r\n", {}, 0, "run 2"},
    {"oauth_needs_no_password",
     "Serveur3=pop.fr\r\nNom3=anne\r\nAuthentification3=oauth2\r\n",
     {},
     0,
     "run 3"},
    {"imported_without_password",
     "Serveur4=pop.fr\r\nNom4=anne\r\n",
     {},
     0,
     "skip 4: incomplet, il manque le mot de passe"},
    {"server_alone",
     "Serveur5=pop.fr\r\n",
     {},
     0,
     "skip 5: incomplet, il manque le nom d'utilisateur et le mot de passe"},
    {"blank_server",
     "Serveur6=  \r\nNom6=anne\r\nPasse6=#cfBC_\r\n",
     {},
     0,
     "skip 6: incomplet, il manque le serveur"},
    {"password_alone_is_no_account", "Passe7=#cfBC_\r\n", {}, 0, ""},
    {"every_slot_0_to_10_in_order",
     "Serveur10=a\r\nNom10=u\r\nPasse10=#0\r\nServeur0=b\r\nNom0=u\r\nPasse0=#0\r\nNom8=u\r\nPasse8=#0\r\n",
     {},
     0,
     "run 0; skip 8: incomplet, il manque le serveur; run 10"},
    {"chosen_in_their_order_empty_ones_passed_over",
     "Serveur1=a\r\nNom1=u\r\nPasse1=#0\r\nServeur3=b\r\nNom3=u\r\nPasse3=#0\r\n",
     {3, 2, 1},
     0,
     "run 3; run 1"},
    {"a_stop_ends_the_loop",
     "Serveur1=a\r\nNom1=u\r\nPasse1=#0\r\nNom2=u\r\nServeur3=b\r\nNom3=u\r\nPasse3=#0\r\n",
     {},
     1,
     "run 1"},
};
class RunnableSlotsTable : public testing::TestWithParam<RunnableCase> {};
TEST_P(RunnableSlotsTable, RunsTheAccountsAndTellsWhatHalfFilledOnesLack) {
    ScratchFolder dir;
    PutFile(dir / "v.INI", "[Form]\r\n" + GetParam().slots);
    std::string met;
    int runs = 0;
    const auto note = [&](const std::string& line) { met += (met.empty() ? "" : "; ") + line; };
    const int count = RunnableSlots(
        TIniFile(dir / "v.INI"), GetParam().chosen,
        [&](int slot) {
            note("run " + std::to_string(slot));
            return ++runs != GetParam().stopAfter;
        },
        [&](int slot, const std::string& missing) { note("skip " + std::to_string(slot) + ": " + missing); });
    EXPECT_EQ(met, GetParam().met);
    EXPECT_EQ(count == 0, met.empty()) << "an empty count is no account at all";
}
INSTANTIATE_TEST_SUITE_P(Table, RunnableSlotsTable, testing::ValuesIn(kRunnables),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AccountSave, WritesCountThenSlotInOrder) {
    ScratchFolder dir;
    TIniFile ini(dir / "v.INI");
    SaveAccount(ini, 3, "pop.fr", "anne", "#cfBC_");
    EXPECT_EQ(FileBytes(dir / "v.INI"),
              "[Form]\r\nNbre=3\r\nServeur3=pop.fr\r\nNom3=anne\r\nPasse3=#cfBC_\r\n");
}

struct EraseCase {
    const char* name;
    std::string before, after;
};
const EraseCase kErases[] = {
    {"deletes_from_count_down_to_zero",
     "[Form]\r\nNbre=3\r\nServeur0=a\r\nServeur3=d\r\nNom3=d\r\nPasse3=x\r\nServeur4=e\r\nNom4=e\r\n",
     "[Form]\r\nNbre=0\r\nServeur4=e\r\nNom4=e\r\n"},
    {"without_count_deletes_slot_zero", "[Form]\r\nServeur0=a\r\nNom0=b\r\nServeur1=c\r\n",
     "[Form]\r\nServeur1=c\r\nNbre=0\r\n"},
    {"no_file_writes_count", "", "[Form]\r\nNbre=0\r\n"},
    {"huge_count_stops_at_ten", "[Form]\r\nNbre=2147483647\r\nServeur10=a\r\nServeur11=b\r\n",
     "[Form]\r\nNbre=0\r\nServeur11=b\r\n"},
    {"negative_count_deletes_nothing", "[Form]\r\nNbre=-1\r\nServeur0=a\r\n",
     "[Form]\r\nNbre=0\r\nServeur0=a\r\n"},
};
class EraseAll : public testing::TestWithParam<EraseCase> {};
TEST_P(EraseAll, LeavesExactFile) {
    ScratchFolder dir;
    if (!GetParam().before.empty()) PutFile(dir / "v.INI", GetParam().before);
    TIniFile ini(dir / "v.INI");
    EraseAllAccounts(ini);
    EXPECT_EQ(FileBytes(dir / "v.INI"), GetParam().after);
}
INSTANTIATE_TEST_SUITE_P(Table, EraseAll, testing::ValuesIn(kErases),
                         [](const auto& info) { return std::string(info.param.name); });

// Passwords of every length the settings file must keep, with the
// characters that break INI lines or the old scrambled form.
std::string PasswordOf(std::size_t length) {
    const std::string pieces = "a \xE9\"'=;#\xE0Z9";
    std::string password;
    for (std::size_t i = 0; i < length; ++i) password += pieces[i % pieces.size()];
    return password;
}

TEST(AccountSave, AnyPasswordRoundTripsOwnerOnly) {
    for (std::size_t length : {1u, 8u, 9u, 16u, 64u, 255u}) {
        for (const std::string& password : {PasswordOf(length), std::string(length, 'k')}) {
            ScratchFolder dir;
            TIniFile ini(dir / "v.INI");
            Account account;
            account.host = "pop.fr";
            account.user = "anne";
            account.password = password;
            SaveAccountSettings(ini, 2, account);
            Account loaded = ReadAccount(ini, 2);
            EXPECT_EQ(loaded.password, password) << length;
            EXPECT_TRUE(loaded.configured);
            // The old key whenever it can hold the password.
            const bool old = IniValue(FileBytes(dir / "v.INI"), "Form", "Passe2").has_value();
            EXPECT_EQ(old, CanStorePassword(password)) << length;
            EXPECT_EQ(std::filesystem::status(dir / "v.INI").permissions() & std::filesystem::perms::all,
                      std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
            EXPECT_EQ(SettingsExposureWarning(dir / "v.INI"), "");
        }
    }
}

TEST(AccountSave, ChangingFormRemovesTheOtherKeyAndEraseRemovesAll) {
    ScratchFolder dir;
    TIniFile ini(dir / "v.INI");
    Account account;
    account.host = "h";
    account.user = "u";
    account.password = "a long pass phrase";
    account.fingerprint = "AB";
    SaveAccountSettings(ini, 1, account);
    account.password = "court";
    account.fingerprint.clear();
    SaveAccountSettings(ini, 1, account);
    std::string bytes = FileBytes(dir / "v.INI");
    EXPECT_FALSE(IniValue(bytes, "Form", "MotDePasse1"));
    EXPECT_FALSE(IniValue(bytes, "Form", "Empreinte1"));
    EXPECT_EQ(ReadAccount(ini, 1).password, "court");
    EraseAllAccounts(ini);
    EXPECT_EQ(FileBytes(dir / "v.INI"), "[Form]\r\nNbre=0\r\n");
}

struct ConnectionCase {
    const char* name;
    std::string keys;
    int port;
    AccountSecurity security;
    int connectMs, readMs;
    bool bearer = false;  // AUTH OAUTHBEARER rather than XOAUTH2
};
const ConnectionCase kConnections[] = {
    {"old_file_plain_110", "", 110, AccountSecurity::None, 30000, 60000},
    {"tls_default_port", "Securite1=TLS\r\n", 995, AccountSecurity::Tls, 30000, 60000},
    {"stls_any_case", "Securite1=stls\r\nPort1=2110\r\n", 2110, AccountSecurity::Stls, 30000, 60000},
    {"unknown_security_is_clear", "Securite1=SSL\r\nPort1=99999\r\n", 110, AccountSecurity::None, 30000,
     60000},
    {"limits_in_seconds", "DelaiConnexion1=5\r\nDelaiLecture1=0\r\n", 110, AccountSecurity::None, 5000,
     60000},
    {"oauthbearer_any_case", "Mecanisme1= oauthBearer\r\n", 110, AccountSecurity::None, 30000, 60000, true},
    {"unknown_mechanism_is_xoauth2", "Mecanisme1=PLAIN\r\n", 110, AccountSecurity::None, 30000, 60000, false},
};
class AccountConnection : public testing::TestWithParam<ConnectionCase> {};
TEST_P(AccountConnection, ReadsPortSecurityAndLimits) {
    ScratchFolder dir;
    PutFile(dir / "v.INI", "[Form]\r\nServeur1=h\r\nNom1=u\r\nPasse1=#c\r\n" + GetParam().keys);
    Account account = ReadAccount(TIniFile(dir / "v.INI"), 1);
    EXPECT_EQ(account.port, GetParam().port);
    EXPECT_EQ(account.security, GetParam().security);
    EXPECT_EQ(account.connectLimitMs, GetParam().connectMs);
    EXPECT_EQ(account.readLimitMs, GetParam().readMs);
    TIdPOP3 client;
    ApplyAccountToClient(account, client);
    EXPECT_EQ(client.Port, GetParam().port);
    EXPECT_EQ(client.ConnectTimeout, GetParam().connectMs);
    EXPECT_EQ(client.ReadTimeout, GetParam().readMs);
    EXPECT_EQ(client.OAuthBearer, GetParam().bearer);
}
INSTANTIATE_TEST_SUITE_P(Table, AccountConnection, testing::ValuesIn(kConnections),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AccountOverrides, StoredPasswordStaysWithItsServer) {
    Account stored;
    stored.host = "pop.fr";
    stored.password = "secret";
    stored.fingerprint = "AB";
    AccountOverrides same;
    same.host = "POP.FR";
    same.security = AccountSecurity::Tls;
    Account run = WithOverrides(stored, same, 1);
    EXPECT_EQ(run.password, "secret");
    EXPECT_EQ(run.port, 995) << "a security alone brings its port";

    AccountOverrides other;
    other.host = "pop.ailleurs.fr";
    if (auto e = ExpectThrown<EPasswordForOtherHost>([&] { WithOverrides(stored, other, 1); })) {
        EXPECT_NE(e->Message().find("pop.ailleurs.fr"), std::string::npos);
    }
    other.password = "autre";
    run = WithOverrides(stored, other, 1);
    EXPECT_EQ(run.password, "autre");
    EXPECT_EQ(run.fingerprint, "") << "the trusted certificate is the account server's";
}

TEST(SettingsExposure, WarnsWhenOthersMayRead) {
    ScratchFolder dir;
    EXPECT_EQ(SettingsExposureWarning(dir / "v.INI"), "") << "no file, nothing to say";
    PutFile(dir / "v.INI", "[Form]\r\n");
    std::filesystem::permissions(dir / "v.INI", std::filesystem::perms::others_read,
                                 std::filesystem::perm_options::add);
    EXPECT_EQ(
        SettingsExposureWarning(dir / "v.INI").rfind(std::string("Attention : le fichier de réglages"), 0),
        0u);
}

// What a scheduled purge deletes is decided by the folder and the lists:
// each of them the group or others may write to gets a line of the warning.
struct ExposureCase {
    const char* name;
    const char* place;  // under the settings folder; "" for the folder itself
    std::filesystem::perms added;
    bool warned;
};
const ExposureCase kExposures[] = {
    {"folder_writable_by_the_group", "", std::filesystem::perms::group_write, true},
    {"list_folder_writable_by_others", "Liste", std::filesystem::perms::others_write, true},
    {"friends_writable_by_the_group", "Liste/Amis.TXT", std::filesystem::perms::group_write, true},
    {"intruders_writable_by_others", "Liste/Intrus.TXT", std::filesystem::perms::others_write, true},
    {"list_readable_by_others_is_no_change", "Liste/Amis.TXT", std::filesystem::perms::others_read, false},
};
class FolderExposure : public testing::TestWithParam<ExposureCase> {};
TEST_P(FolderExposure, WarnsOfEachPlaceOthersMayWrite) {
    ScratchFolder dir;
    const AppPaths paths = AppPaths::ForExecutable(dir / "vannoir");
    PutFile(paths.friends, "Ami\r\n");
    PutFile(paths.intruders, "");
    for (const auto& path : {dir.Path(), paths.friends.parent_path(), paths.friends, paths.intruders})
        std::filesystem::permissions(
            path, std::filesystem::perms::group_write | std::filesystem::perms::others_write,
            std::filesystem::perm_options::remove);
    EXPECT_EQ(ExposureWarning(paths), "") << "all private";
    const std::filesystem::path place = *GetParam().place ? dir / GetParam().place : dir.Path();
    std::filesystem::permissions(place, GetParam().added, std::filesystem::perm_options::add);
    const std::string line = std::string("Attention : ") + place.string() +
                             std::string(
                                 " peut être modifié par d'autres utilisateurs, qui pourraient changer les "
                                 "listes et faire supprimer des messages. Retirez-leur le droit d'écriture "
                                 "(chmod go-w).");
    EXPECT_EQ(ExposureWarning(paths), GetParam().warned ? line : "");
}
INSTANTIATE_TEST_SUITE_P(Table, FolderExposure, testing::ValuesIn(kExposures),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AccountSave, NoPasswordIntoAFolderOthersMayWrite) {
    ScratchFolder dir;
    std::filesystem::permissions(dir.Path(), std::filesystem::perms::group_write,
                                 std::filesystem::perm_options::add);
    TIniFile ini(dir / "v.INI");
    Account account;
    account.host = "pop.fr";
    account.user = "anne";
    account.password = "secret";
    EXPECT_THROW(SaveAccountSettings(ini, 1, account), ESettingsFolderExposed);
    EXPECT_FALSE(std::filesystem::exists(dir / "v.INI"));
    account.password.clear();
    SaveAccountSettings(ini, 1, account);
    EXPECT_EQ(ReadAccount(ini, 1).host, "pop.fr") << "what holds no password is written";
}

}  // namespace

namespace {

// Whose results a run believes: the account's own setting, else the table's
// line for the server the run goes to.
struct ServiceCase {
    const char* name;
    std::string keys;
    std::string hostOverride;
    std::vector<std::string> ids;
    bool topmost;
    bool unknownIsFailed;
};
const ServiceCase kServices[] = {
    {"table_line_of_the_server", "", "", {"mx.exemple.fr"}, false, false},
    {"own_setting_wins",
     "ServiceAuthentification1= MX.Perso.fr  *.perso.fr\r\nInconnueEchec1=1\r\n",
     "",
     {"mx.perso.fr", "*.perso.fr"},
     false,
     true},
    {"own_topmost", "ServiceAuthentification1=premier\r\n", "", {}, true, false},
    {"other_server_of_the_run", "", "pop.ailleurs.example", {}, false, false},
};
class RunResultService : public testing::TestWithParam<ServiceCase> {};
TEST_P(RunResultService, SettingElseTheTableForTheRunsServer) {
    ScratchFolder dir;
    AppPaths paths = AppPaths::ForExecutable(dir / "vannoir");
    PutFile(paths.settings, "[Form]\r\nServeur1=pop.exemple.fr\r\nNom1=u\r\nPasse1=#c\r\n" + GetParam().keys);
    PutFile(dir / "Fournisseurs.TXT", "authserv;pop.exemple.fr;mx.exemple.fr\r\n");
    AccountOverrides overrides;
    if (!GetParam().hostOverride.empty()) {
        overrides.host = GetParam().hostOverride;
        overrides.password = "p";
    }
    const Account account = ReadRunAccount(paths, 1, overrides);
    EXPECT_EQ(account.resultService.ids, GetParam().ids);
    EXPECT_EQ(account.resultService.topmost, GetParam().topmost);
    EXPECT_EQ(account.unknownIsFailed, GetParam().unknownIsFailed);
}
INSTANTIATE_TEST_SUITE_P(Table, RunResultService, testing::ValuesIn(kServices),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
