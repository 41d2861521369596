#include "app/config_dialog.h"

#include <gtest/gtest.h>

#include "app/account_settings.h"
#include "support/fake_window.h"
#include "support/scratch_folder.h"

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

TEST_F(ConfigFixture, SaveWritesSlotAndMovesToNext) {
    view.selector = 3;
    view.server = "pop.fr";
    view.user = "anne";
    view.password = "abc";
    dialog.Save();
    EXPECT_EQ(File(), "[Form]\r\nNbre=3\r\nServeur3=pop.fr\r\nNom3=anne\r\nPasse3=#cf##_\r\n");
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
    const char* password;
    const char* shown;
};
const RefusedCase kRefused[] = {
    {"empty_server", "", "u", "p", "message: Remplir imp\xE9rativement tous les champs avant enregistrement"},
    {"empty_user", "h", "", "p", "message: Remplir imp\xE9rativement tous les champs avant enregistrement"},
    {"empty_password", "h", "u", "",
     "message: Remplir imp\xE9rativement tous les champs avant enregistrement"},
    {"password_with_space", "h", "u", "a b", nullptr},
    {"password_of_nine", "h", "u", "123456789", nullptr},
    {"password_with_accent", "h", "u", "caf\xE9", nullptr},
};
class ConfigRefused : public testing::TestWithParam<RefusedCase> {};
TEST_P(ConfigRefused, WritesNothingAndKeepsBoxes) {
    ScratchFolder dir;
    FakeConfigView view;
    FakeDialogs dialogs;
    view.server = GetParam().server;
    view.user = GetParam().user;
    view.password = GetParam().password;
    ConfigDialog(dir / "v.INI", view, dialogs).Save();
    EXPECT_EQ(FileBytes(dir / "v.INI"), "<missing>");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    if (GetParam().shown)
        EXPECT_EQ(dialogs.shown[0], GetParam().shown);
    else
        EXPECT_EQ(dialogs.shown[0].rfind("message: Ce mot de passe ne peut pas", 0), 0u) << dialogs.shown[0];
    EXPECT_EQ(view.selector, 1);
    EXPECT_EQ(view.password, GetParam().password);
}
INSTANTIATE_TEST_SUITE_P(Table, ConfigRefused, testing::ValuesIn(kRefused),
                         [](const auto& info) { return std::string(info.param.name); });

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
    EXPECT_EQ(dialogs.shown, std::vector<std::string>{"standard: " + Ansi("Impossible d'écrire dans ") +
                                                      (dir / "absent" / "v.INI").string() + "."});
}

}  // namespace
