#include "account/app_paths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <set>

#include "support/scratch_folder.h"

namespace {

namespace fs = std::filesystem;

// A machine described by what exists on it and which folders may be written.
struct RuleCase {
    const char* name;
    const char* executable;
    std::set<std::string> existing;
    std::set<std::string> writable;
    std::string configHome, home;
    std::optional<fs::path> chosen;
    const char* folder;  // expected
    bool portable;
    const char* help;                 // expected help page
    const char* corbeille = nullptr;  // expected, when given
    std::string dataHome{};
};
const RuleCase kRules[] = {
    {"settings_file_keeps_a_read_only_folder_portable",
     "/opt/v/vannoir",
     {"/opt/v/vannoir.INI", "/opt/v/Aide", "/opt/v/Liste/Corbeille"},
     {},
     "/x",
     "/home/a",
     {},
     "/opt/v",
     true,
     "/opt/v/Aide/Accueil.htm"},
    {"settings_file_wins_over_an_install_layout",
     "/usr/bin/vannoir",
     {"/usr/bin/vannoir.INI", "/usr/share/vannoir", "/usr/share/vannoir/Aide"},
     {},
     "",
     "/home/a",
     {},
     "/usr/bin",
     true,
     "/usr/share/vannoir/Aide/Accueil.htm"},
    {"writable_folder_is_portable",
     "/home/a/dist/vannoir",
     {"/home/a/dist/Aide"},
     {"/home/a/dist"},
     "",
     "/home/a",
     {},
     "/home/a/dist",
     true,
     "/home/a/dist/Aide/Accueil.htm"},
    {"read_only_folder_goes_to_config_home",
     "/usr/bin/vannoir",
     {"/usr/share/vannoir", "/usr/share/vannoir/Aide", "/d/vannoir/Corbeille", "/d"},
     {},
     "/home/a/conf",
     "/home/a",
     {},
     "/home/a/conf/vannoir",
     false,
     "/usr/share/vannoir/Aide/Accueil.htm"},
    {"config_home_unset_is_dot_config",
     "/usr/bin/vannoir",
     {},
     {},
     "",
     "/home/a",
     {},
     "/home/a/.config/vannoir",
     false,
     "/usr/bin/Aide/Accueil.htm",
     "/home/a/.local/share/vannoir/Corbeille"},
    {"relative_config_home_is_ignored",
     "/usr/bin/vannoir",
     {},
     {},
     "conf",
     "/home/a",
     {},
     "/home/a/.config/vannoir",
     false,
     "/usr/bin/Aide/Accueil.htm",
     "/home/a/.local/share/vannoir/Corbeille",
     "data"},
    {"writable_install_is_not_the_users_folder",
     "/home/a/.local/bin/vannoir",
     {"/home/a/.local/share/vannoir", "/home/a/.local/share/vannoir/Aide"},
     {"/home/a/.local/bin"},
     "",
     "/home/a",
     {},
     "/home/a/.config/vannoir",
     false,
     "/home/a/.local/share/vannoir/Aide/Accueil.htm"},
    {"help_beside_the_program_first",
     "/usr/bin/vannoir",
     {"/usr/bin/Aide", "/usr/share/vannoir/Aide"},
     {},
     "/c",
     "/home/a",
     {},
     "/c/vannoir",
     false,
     "/usr/bin/Aide/Accueil.htm"},
    {"chosen_folder_wins",
     "/opt/v/vannoir",
     {"/opt/v/vannoir.INI", "/srv/courrier/Liste/Corbeille", "/d"},
     {"/opt/v"},
     "/c",
     "/home/a",
     fs::path("/srv/courrier"),
     "/srv/courrier",
     false,
     "/opt/v/Aide/Accueil.htm"},
    {"no_home_stays_beside_the_program",
     "/usr/bin/vannoir",
     {},
     {},
     "",
     "",
     {},
     "/usr/bin",
     true,
     "/usr/bin/Aide/Accueil.htm"},
};
class FolderRule : public testing::TestWithParam<RuleCase> {};
TEST_P(FolderRule, ChoosesTheFolder) {
    const RuleCase& c = GetParam();
    FolderFacts facts;
    facts.configHome = c.configHome;
    facts.home = c.home;
    facts.dataHome = c.dataHome;
    facts.exists = [&](const fs::path& path) { return c.existing.count(path.string()) > 0; };
    facts.writable = [&](const fs::path& path) { return c.writable.count(path.string()) > 0; };
    const AppPaths paths = LocateAppPaths(c.executable, c.chosen, facts);
    EXPECT_EQ(paths.folder, c.folder);
    EXPECT_EQ(paths.portable, c.portable);
    EXPECT_EQ(paths.settings, fs::path(c.folder) / "vannoir.INI");
    EXPECT_EQ(paths.friends, fs::path(c.folder) / "Liste" / "Amis.TXT");
    EXPECT_EQ(paths.journal, fs::path(c.folder) / "Liste" / "Supprimes.LOG");
    EXPECT_EQ(paths.help, c.help);
    if (c.corbeille) {
        EXPECT_EQ(paths.corbeille, c.corbeille);
    }
}
INSTANTIATE_TEST_SUITE_P(Table, FolderRule, testing::ValuesIn(kRules),
                         [](const auto& info) { return std::string(info.param.name); });

mode_t ModeOf(const fs::path& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

// First use makes the folder and its parents owner-only whatever the umask,
// with empty lists the scan can load.
TEST(PrepareAppFolder, CreatesPrivateFolderWithEmptyLists) {
    ScratchFolder dir;
    AppPaths paths = LocateAppPaths("/usr/bin/vannoir", dir / "conf" / "vannoir", FolderFacts::OfSystem());
    const mode_t oldMask = ::umask(0);
    const int error = PrepareAppFolder(paths);
    ::umask(oldMask);
    ASSERT_EQ(error, 0);
    for (const fs::path& folder :
         {dir / "conf", dir / "conf" / "vannoir", dir / "conf" / "vannoir" / "Liste"})
        EXPECT_EQ(ModeOf(folder), 0700u) << folder;
    EXPECT_EQ(FileBytes(paths.friends), "");
    EXPECT_EQ(ModeOf(paths.intruders), 0600u);
    EXPECT_FALSE(fs::exists(paths.settings));
}

TEST(PrepareAppFolder, LeavesWhatIsThere) {
    ScratchFolder dir;
    AppPaths paths = LocateAppPaths("/usr/bin/vannoir", dir.Path(), FolderFacts::OfSystem());
    PutFile(paths.friends, "Jean\r\n");
    fs::permissions(dir.Path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
    ASSERT_EQ(PrepareAppFolder(paths), 0);
    EXPECT_EQ(FileBytes(paths.friends), "Jean\r\n");
    EXPECT_EQ(FileBytes(paths.intruders), "");
    EXPECT_EQ(ModeOf(dir.Path()), 0750u);

    // The program's own folder: a first start makes its list folder, owner-only
    // with empty lists; a list missing from an existing folder stays missing.
    ScratchFolder portable;
    ASSERT_EQ(PrepareAppFolder(AppPaths::ForExecutable(portable / "vannoir")), 0);
    EXPECT_EQ(ModeOf(portable / "Liste"), 0700u);
    EXPECT_EQ(FileBytes(portable / "Liste" / "Amis.TXT"), "");
    fs::remove(portable / "Liste" / "Intrus.TXT");
    ASSERT_EQ(PrepareAppFolder(AppPaths::ForExecutable(portable / "vannoir")), 0);
    EXPECT_FALSE(fs::exists(portable / "Liste" / "Intrus.TXT"));
}

TEST(PrepareAppFolder, ReportsAFileInTheWay) {
    ScratchFolder dir;
    PutFile(dir / "conf", "");
    EXPECT_EQ(PrepareAppFolder(
                  LocateAppPaths("/usr/bin/vannoir", dir / "conf" / "vannoir", FolderFacts::OfSystem())),
              ENOTDIR);
}

}  // namespace
