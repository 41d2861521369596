#include <gtest/gtest.h>

#include "mailbox_script.h"
#include "platform/text.h"

namespace {

TEST_F(MailboxFixture, FirstStartInEmptyFolder) {
    EXPECT_TRUE(screener.FormShow(1).IsFailed());
    EXPECT_EQ(
        window.dialogs.shown,
        std::vector<std::string>{"standard: Impossible d'ouvrir le fichier \"" + paths.friends.string() +
                                 "\". " + std::string("Le fichier spécifié est introuvable.")});
    EXPECT_EQ(window.caption.caption, std::string("Courriel : compte non configuré"));
    EXPECT_EQ(screener.CurrentAccount().host, "");
    EXPECT_EQ(window.grid.Cell(1, 0), "Date, heure");
    EXPECT_FALSE(std::filesystem::exists(paths.settings)) << "showing writes nothing";
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

TEST_F(MailboxFixture, EraseAllKeepsClientAndCaption) {
    PutFile(paths.settings, "[Form]\r\nNbre=1\r\nServeur1=pop.fr\r\nNom1=anne\r\nPasse1=#cfBC_\r\n");
    screener.LoadAccount(1);
    screener.EraseAllAccounts();
    EXPECT_EQ(FileBytes(paths.settings), "[Form]\r\nNbre=0\r\n");
    EXPECT_EQ(window.caption.caption, "Courriel : anne - pop.fr");
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
