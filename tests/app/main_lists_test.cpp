#include "app/main_lists.h"

#include <gtest/gtest.h>

#include "app/scan_cells.h"
#include "support/fake_window.h"
#include "support/scratch_folder.h"

namespace {

using Entries = std::vector<std::string>;

struct ListsFixture : testing::Test {
    ScratchFolder dir;
    AppPaths paths = AppPaths::ForExecutable(dir / "vannoir");
    MainLists lists{paths};
    FakeDialogs dialogs;
    void Files(const std::string& friends, const std::string& intruders) {
        PutFile(paths.friends, friends);
        PutFile(paths.intruders, intruders);
    }
};

TEST_F(ListsFixture, MissingFriendFileStopsBeforeIntruders) {
    PutFile(paths.intruders, "Spam\r\n");
    EXPECT_THROW(lists.LoadBoth(), EListFileOpenError);
    EXPECT_TRUE(lists.List(ListKind::Friends).Entries().empty());
    EXPECT_TRUE(lists.List(ListKind::Intruders).Entries().empty());
}

TEST_F(ListsFixture, MissingIntruderFileKeepsFriends) {
    PutFile(paths.friends, "Anne\r\n");
    EXPECT_THROW(lists.LoadBoth(), EListFileOpenError);
    EXPECT_EQ(lists.List(ListKind::Friends).Entries(), Entries{"Anne"});
}

TEST_F(ListsFixture, AddWritesWholeListOnceAndIgnoresCaseDuplicates) {
    Files("Anne\nBruno\n", "");
    lists.LoadBoth();
    lists.AddSender(ListKind::Friends, "Zoé");
    EXPECT_EQ(FileBytes(paths.friends), "Anne\r\nBruno\r\nZo\xE9\r\n");
    PutFile(paths.friends, "changed by hand\r\n");
    lists.AddSender(ListKind::Friends, "ZOÉ");
    lists.AddSender(ListKind::Friends, "anne");
    EXPECT_EQ(FileBytes(paths.friends), "changed by hand\r\n") << "nothing written for a known name";
}

TEST_F(ListsFixture, EmptyThenAddReplacesFile) {
    Files("Anne\r\nBruno\r\n", "Spam\r\n");
    lists.LoadBoth();
    lists.Empty(ListKind::Friends);
    EXPECT_EQ(StatusMark(lists.StatusOf({"Anne", ""})), "");
    EXPECT_EQ(FileBytes(paths.friends), "Anne\r\nBruno\r\n");
    EXPECT_FALSE(lists.AddSender(ListKind::Friends, " "));
    EXPECT_EQ(FileBytes(paths.friends), "Anne\r\nBruno\r\n") << "an empty entry is never added";
    lists.AddSender(ListKind::Friends, "Zoé");
    EXPECT_EQ(FileBytes(paths.friends), "Zo\xE9\r\n");
}

TEST_F(ListsFixture, FailedSaveKeepsNameInMemory) {
    // No "Liste" folder: the program never creates it.
    lists.Empty(ListKind::Intruders);
    EXPECT_THROW(lists.AddSender(ListKind::Intruders, "Spam"), EListFileCreateError);
    EXPECT_EQ(StatusMark(lists.StatusOf({"spam", ""})), "I");
    EXPECT_FALSE(std::filesystem::exists(dir / "Liste"));
}

struct StatusCase {
    const char* name;
    const char* shown;
    const char* address;
    const char* status;
};
const StatusCase kStatuses[] = {
    {"friend", "anne", "anne@example.fr", "A"},
    {"intruder", "SPAM", "", "I"},
    {"both_lists_is_intruder", "Zoé", "", "I"},
    {"neither", "Bruno", "bruno@example.fr", ""},
    {"no_sender_not_caught_by_blank_lines", "", "", ""},
    {"friend_domain", "Quelqu'un", "q@amis.example", "A"},
    {"intruder_domain_over_friend_address", "Marc", "marc@pub.example", "I"},
    {"intruder_address_over_friend_name", "Anne", "anne@pub.example", "I"},
};
class ListsStatus : public testing::TestWithParam<StatusCase> {};
TEST_P(ListsStatus, IntruderWinsOverFriend) {
    ScratchFolder dir;
    AppPaths paths = AppPaths::ForExecutable(dir / "vannoir");
    // Blank lines in both files, as a hand edit leaves them.
    PutFile(paths.friends, "Anne\r\n\r\nZO\xC9\r\n*.amis.example\r\nmarc@pub.example\r\n");
    PutFile(paths.intruders, "Spam\r\n \r\nzo\xE9\r\n*@PUB.example\r\n");
    MainLists lists(paths);
    lists.LoadBoth();
    EXPECT_EQ(StatusMark(lists.StatusOf({GetParam().shown, GetParam().address})), GetParam().status);
}
INSTANTIATE_TEST_SUITE_P(Table, ListsStatus, testing::ValuesIn(kStatuses),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ListsFixture, FriendDialogShowsSortedAndSavesBoxOrder) {
    Files("bruno\nAnne\nzo\xE9\n", "");
    FakeListBox box;
    auto dialog = lists.MakeDialog(ListKind::Friends, box, dialogs);
    dialog->Show();
    EXPECT_EQ(box.items, (Entries{"Anne", "bruno", "zoé"}));
    EXPECT_EQ(*dialog->WorkingList(), (Entries{"bruno", "Anne", "zoé"}));
    dialog->DeleteSelected();  // nothing selected: rewritten sorted
    EXPECT_EQ(FileBytes(paths.friends), "Anne\r\nbruno\r\nzo\xE9\r\n");
    dialog->Close();
    EXPECT_FALSE(dialog->WorkingList().has_value());
}

TEST_F(ListsFixture, IntruderDialogKeepsFileOrderAndRemovesSelected) {
    Files("", "Spam\r\nAlpha\r\nPub\r\n");
    FakeListBox box;
    auto dialog = lists.MakeDialog(ListKind::Intruders, box, dialogs);
    dialog->Show();
    EXPECT_EQ(box.items, (Entries{"Spam", "Alpha", "Pub"}));
    box.selected = 1;
    dialog->DeleteSelected();
    EXPECT_EQ(FileBytes(paths.intruders), "Spam\r\nPub\r\n");
}

TEST_F(ListsFixture, DialogSaveReloadsMainList) {
    Files("", "Spam\r\nPub\r\n");
    lists.LoadBoth();
    FakeListBox box;
    auto dialog = lists.MakeDialog(ListKind::Intruders, box, dialogs);
    dialog->Show();
    box.selected = 0;
    dialog->DeleteSelected();
    EXPECT_EQ(StatusMark(lists.StatusOf({"Spam", ""})), "") << "a removed name must not be marked any more";
    lists.AddSender(ListKind::Intruders, "Autre");
    EXPECT_EQ(FileBytes(paths.intruders), "Pub\r\nAutre\r\n") << "nor come back with the next addition";
}

TEST_F(ListsFixture, DialogShowFailureKeepsBoxAndEmptyWorkingList) {
    Files("", "Spam\r\n");
    FakeListBox box;
    auto dialog = lists.MakeDialog(ListKind::Intruders, box, dialogs);
    dialog->Show();
    dialog->Close();
    std::filesystem::remove(paths.intruders);
    EXPECT_TRUE(dialog->Show().IsFailed());
    EXPECT_EQ(dialogs.shown,
              Entries{"standard: Impossible d'ouvrir le fichier \"" + paths.intruders.string() + "\". " +
                      std::string("Le fichier spécifié est introuvable.")});
    EXPECT_EQ(box.items, Entries{"Spam"});
    EXPECT_EQ(dialog->WorkingList(), Entries{});
}

TEST_F(ListsFixture, DialogSaveFailureKeepsRemovalInBoxOnly) {
    Files("", "Spam\r\nPub\r\n");
    lists.LoadBoth();
    FakeListBox box;
    auto dialog = lists.MakeDialog(ListKind::Intruders, box, dialogs);
    dialog->Show();
    std::filesystem::permissions(paths.intruders, std::filesystem::perms::owner_read);
    box.selected = 0;
    EXPECT_TRUE(dialog->DeleteSelected().IsFailed());
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].rfind("standard: Impossible de cr", 0), 0u) << dialogs.shown[0];
    EXPECT_EQ(box.items, Entries{"Pub"});
    EXPECT_EQ(FileBytes(paths.intruders), "Spam\r\nPub\r\n");
    EXPECT_EQ(StatusMark(lists.StatusOf({"Spam", ""})), "I");
}

}  // namespace
