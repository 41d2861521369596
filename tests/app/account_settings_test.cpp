#include "app/account_settings.h"

#include <gtest/gtest.h>

#include "app/app_paths.h"
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
    {"no_settings_file", "", 1, "", "", "", "Courriel : compte non configur\xE9"},
    {"configured_slot", "[Form]\r\nServeur2=pop.fr\r\nNom2=anne\r\nPasse2=#cfBC_\r\n", 2, "pop.fr", "anne",
     "abc", "Courriel : anne - pop.fr"},
    {"imported_slot_without_password", "[Form]\r\nServeur1=pop.fr\r\nNom1=anne\r\n", 1, "pop.fr", "anne", "",
     "Courriel : compte non configur\xE9"},
    {"slot_ten", "[Form]\r\nServeur10=h\r\nNom10=u\r\nPasse10=#0\r\n", 10, "h", "u", "y", "Courriel : u - h"},
    {"other_slot_not_read", "[Form]\r\nServeur1=pop.fr\r\nPasse1=#c\r\n", 0, "", "", "",
     "Courriel : compte non configur\xE9"},
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

}  // namespace
