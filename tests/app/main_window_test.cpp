#include <gtest/gtest.h>

#include "mailbox_script.h"
#include "platform/text.h"

namespace {

TEST_F(MailboxFixture, FirstStartInEmptyFolder) {
    namespace fs = std::filesystem;
    EXPECT_TRUE(screener.FormShow(1).IsDone());
    EXPECT_TRUE(window.dialogs.shown.empty());
    EXPECT_EQ(window.caption.caption, std::string("Courriel : compte non configuré"));
    EXPECT_EQ(screener.CurrentAccount().host, "");
    EXPECT_EQ(window.grid.Cell(1, 0), "Date, heure");
    EXPECT_EQ(fs::status(paths.friends.parent_path()).permissions(), fs::perms::owner_all);
    for (const fs::path& list : {paths.friends, paths.intruders}) {
        EXPECT_EQ(FileBytes(list), "") << list;
        EXPECT_EQ(fs::status(list).permissions(), fs::perms::owner_read | fs::perms::owner_write) << list;
    }
    EXPECT_FALSE(fs::exists(paths.settings)) << "no settings written";
}

TEST_F(MailboxFixture, FriendFileWithoutIntruderFile) {
    PutFile(paths.friends, "Anne\r\n");
    EXPECT_TRUE(screener.FormShow(1).IsFailed());
    ASSERT_EQ(window.dialogs.shown.size(), 1u);
    EXPECT_NE(window.dialogs.shown[0].find(paths.intruders.string()), std::string::npos);
    EXPECT_EQ(screener.StatusOf("anne"), "A");
}

TEST_F(MailboxFixture, AccountLoadSetsClientAndCaption) {
    PutFile(paths.settings,
            "[Form]\r\nServeur1=pop.fr\r\nNom1=anne\r\nPasse1=#cfBC_\r\nServeur2=autre.fr\r\nNom2=bob\r\n");
    screener.LoadAccount(1);
    EXPECT_EQ(window.caption.caption, "Courriel : anne - pop.fr");
    EXPECT_EQ(screener.CurrentAccount().host, "pop.fr");
    EXPECT_EQ(screener.CurrentAccount().user, "anne");
    EXPECT_EQ(screener.CurrentAccount().password, "abc");
    screener.LoadAccount(2);
    EXPECT_EQ(window.caption.caption, std::string("Courriel : compte non configuré"));
    EXPECT_EQ(screener.CurrentAccount().host, "autre.fr");
    EXPECT_EQ(screener.CurrentAccount().user, "bob");
    EXPECT_EQ(screener.CurrentAccount().password, "")
        << "the password of slot 1 must not go to slot 2's server";
}

TEST_F(MailboxFixture, EraseAllAsksThenResetsTheCaption) {
    const std::string settings = "[Form]\r\nNbre=1\r\nServeur1=pop.fr\r\nNom1=anne\r\nPasse1=#cfBC_\r\n";
    PutFile(paths.settings, settings);
    screener.LoadAccount(1);
    window.dialogs.answers = {false, true};
    EXPECT_TRUE(screener.EraseAllAccounts().IsRefused());
    EXPECT_EQ(FileBytes(paths.settings), settings) << "\"&Non\" erases nothing";
    EXPECT_EQ(window.caption.caption, "Courriel : anne - pop.fr");
    EXPECT_TRUE(screener.EraseAllAccounts().IsDone());
    EXPECT_EQ(FileBytes(paths.settings), "[Form]\r\nNbre=0\r\n");
    EXPECT_EQ(window.caption.caption, std::string("Courriel : compte non configuré"));
    EXPECT_EQ(screener.CurrentAccount().password, "");
    const std::string asked = "confirm: Effacer la configuration de tous les comptes ?";
    EXPECT_EQ(window.dialogs.shown, (std::vector<std::string>{asked, asked}));
}

// What the selector shows is what the actions use: a typed number is loaded
// before the action, and a save of the loaded slot is used at once.
TEST_F(MailboxFixture, TheSelectorsAccountIsTheOneUsed) {
    PutFile(paths.settings,
            "[Form]\r\nNbre=2\r\nServeur1=pop.fr\r\nNom1=anne\r\nPasse1=#cfBC_\r\n"
            "Serveur4=127.0.0.1\r\nPort4=1\r\nNom4=bob\r\nPasse4=#cfBC_\r\n");
    int selector = 1;
    screener.WatchSelector([&] { return selector; });
    screener.LoadAccount(1);
    selector = 4;
    window.grid.current = 1;
    screener.Preview();  // a closed port: it fails, on slot 4's account
    EXPECT_EQ(window.caption.caption, "Courriel : bob - 127.0.0.1");
    EXPECT_EQ(screener.CurrentAccount().port, 1);

    FakeConfigView config;
    std::unique_ptr<ConfigDialog> dialog = screener.MakeConfigDialog(config);
    config.selector = 4;
    config.server = "pop.neuf.fr";
    config.user = "bob";
    config.password = "abc";
    EXPECT_TRUE(dialog->Save().IsDone());
    EXPECT_EQ(window.caption.caption, "Courriel : bob - pop.neuf.fr");
    EXPECT_EQ(screener.CurrentAccount().password, "abc");
}

TEST_F(MailboxFixture, AddingFromARowWithoutSenderAddsNothing) {
    UseLists("", "Spam\r\n");
    ScanRecord record(2);
    record[0].name = " ";  // a message without From
    screener.RestoreRecord(record);
    const std::string said =
        "message: " + std::string("Aucun expéditeur à ajouter : la ligne choisie n'en a pas.");
    for (int row : {1, 2, 5}) {  // blank sender, empty cell, past the scan
        window.grid.current = row;
        EXPECT_TRUE(screener.AddCurrentSender(ListKind::Intruders).IsRefused()) << row;
    }
    EXPECT_EQ(window.dialogs.shown, (std::vector<std::string>{said, said, said}));
    EXPECT_EQ(FileBytes(paths.intruders), "Spam\r\n");
    EXPECT_EQ(screener.StatusOf(""), "");
}

TEST_F(MailboxFixture, AddingTheCurrentSender) {
    UseLists("", "");
    ScanRecord record(2);
    record[1].name = "Zoé";
    screener.RestoreRecord(record);
    window.grid.current = 2;
    screener.AddCurrentSender(ListKind::Friends);
    EXPECT_EQ(FileBytes(paths.friends), "Zo\xE9\r\n");
    screener.EmptyList(ListKind::Friends);
    EXPECT_EQ(screener.StatusOf("Zoé"), "");
    EXPECT_EQ(FileBytes(paths.friends), "Zo\xE9\r\n");
}

}  // namespace
