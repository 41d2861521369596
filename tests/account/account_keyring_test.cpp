// Passwords in a real keyring (a private bus and keyring daemon per test):
// what the settings file keeps, moves between file and keyring, and the
// keyring that cannot give a password.
#include "account/account_keyring.h"

#include <gtest/gtest.h>

#include "support/expect_error.h"
#include "support/private_keyring.h"
#include "support/scratch_folder.h"

namespace {

struct KeyringFixture : testing::Test {
    void SetUp() override {
        keyring = PrivateKeyring::Start();
        if (!keyring) GTEST_SKIP() << "no keyring daemon (bash scripts/setup test)";
    }
    Account Anne(std::string password, bool inKeyring) {
        Account a;
        a.host = "pop.exemple.fr";
        a.user = "anne";
        a.password = std::move(password);
        a.configured = true;
        a.inKeyring = inKeyring;
        return a;
    }
    std::string File() { return FileBytes(dir / "v.INI"); }

    std::unique_ptr<PrivateKeyring> keyring;
    ScratchFolder dir;
    TIniFile ini{dir / "v.INI"};
    SecretStore& store = SystemSecretStore();
};

TEST_F(KeyringFixture, TheFileKeepsAMarkerAndTheKeyringThePassword) {
    const std::string password = "été 2026 ; # = secret";
    ASSERT_TRUE(store.Reachable());
    StoreAccount(ini, 2, Anne(password, true), store);
    EXPECT_NE(File().find("Trousseau2=1\r\n"), std::string::npos) << File();
    EXPECT_EQ(File().find("Passe2"), std::string::npos) << File();
    EXPECT_EQ(File().find("MotDePasse2"), std::string::npos) << File();
    EXPECT_EQ(store.Lookup({"pop.exemple.fr", "anne"}), "\xC3\xA9t\xC3\xA9 2026 ; # = secret")
        << "UTF-8 there";

    Account read = ReadAccount(ini, 2);
    EXPECT_TRUE(read.inKeyring);
    EXPECT_TRUE(read.configured);
    EXPECT_EQ(read.password, "");
    FetchKeyringPassword(read, 2, store);
    EXPECT_EQ(read.password, password);
}

TEST_F(KeyringFixture, MovingBetweenFileAndKeyringLeavesOneCopy) {
    StoreAccount(ini, 1, Anne("secret", false), store);
    ASSERT_NE(File().find("Passe1="), std::string::npos);
    EXPECT_EQ(store.Lookup({"pop.exemple.fr", "anne"}), std::nullopt);

    StoreAccount(ini, 1, Anne("secret", true), store);
    EXPECT_EQ(File().find("Passe1"), std::string::npos) << "the file's copy goes";
    EXPECT_EQ(store.Lookup({"pop.exemple.fr", "anne"}), "secret");

    Account other = Anne("autre", true);
    other.user = "zoe";
    StoreAccount(ini, 1, other, store);
    EXPECT_EQ(store.Lookup({"pop.exemple.fr", "anne"}), std::nullopt) << "the former user's item goes";

    StoreAccount(ini, 1, Anne("secret", false), store);
    EXPECT_EQ(store.Lookup({"pop.exemple.fr", "zoe"}), std::nullopt) << "back in the file: the item goes";
    EXPECT_EQ(File().find("Trousseau1"), std::string::npos);
}

TEST_F(KeyringFixture, AKeyringThatCannotGiveThePasswordSaysWhy) {
    StoreAccount(ini, 3, Anne("secret", true), store);
    // Hand-edited: a marker for an item the keyring never had.
    Account nobody = Anne("secret", false);
    nobody.user = "personne";
    StoreAccount(ini, 4, nobody, store);
    ini.WriteString("Form", "Trousseau4", "1");
    Account missing = ReadAccount(ini, 4);
    auto absent = ExpectThrown<EKeyringPasswordMissing>([&] { FetchKeyringPassword(missing, 4, store); });
    ASSERT_TRUE(absent);
    EXPECT_EQ(absent->Message(),
              std::string("Le trousseau de clés ne contient pas le mot de passe du compte 4 : "
                          "enregistrez-le à nouveau."));

    keyring->Lock();
    Account locked = ReadAccount(ini, 3);
    auto refused = ExpectThrown<ESecretStoreLocked>([&] { FetchKeyringPassword(locked, 3, store); });
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->Message(),
              std::string("Le trousseau de clés est verrouillé : déverrouillez-le, puis recommencez."));
    EXPECT_EQ(locked.password, "");
}

TEST(NoKeyringAtAll, UnreachableIsAnErrorNeverAnEmptyPassword) {
    ScratchFolder dir;
    PutFile(dir / "v.INI", "[Form]\r\nServeur1=pop.fr\r\nNom1=anne\r\nTrousseau1=1\r\n");
    NoKeyring none;
    EXPECT_FALSE(SystemSecretStore().Reachable());
    Account account = ReadAccount(TIniFile(dir / "v.INI"), 1);
    auto e =
        ExpectThrown<ESecretStoreUnreachable>([&] { FetchKeyringPassword(account, 1, SystemSecretStore()); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->Message().rfind(std::string("Le trousseau de clés est injoignable ("), 0), 0u)
        << e->Message();
    EXPECT_EQ(account.password, "");
}

}  // namespace
