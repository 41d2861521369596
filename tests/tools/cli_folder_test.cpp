// vannoir-cli as installed and as a portable copy: which folder its files go
// to, seen from outside the program.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/run_command.h"
#include "support/scratch_folder.h"

namespace {

namespace fs = std::filesystem;

struct FolderCase {
    const char* name;
    bool installed;        // <prefix>/bin beside <prefix>/share/vannoir, else a portable folder
    const char* env;       // before the program, {root} the scratch folder
    const char* args;      // after the command
    const char* expected;  // the folder, under {root}
};
const FolderCase kFolders[] = {
    {"installed_uses_config_home", true, "XDG_CONFIG_HOME={root}/conf", "", "conf/vannoir"},
    {"installed_without_config_home", true, "-u XDG_CONFIG_HOME", "", "home/.config/vannoir"},
    {"installed_with_chosen_folder", true, "XDG_CONFIG_HOME={root}/conf", "--dossier {root}/choisi",
     "choisi"},
    {"portable_stays_beside_the_program", false, "XDG_CONFIG_HOME={root}/conf", "", "prefix/bin"},
    {"portable_with_chosen_folder", false, "-u XDG_CONFIG_HOME", "--dossier={root}/choisi", "choisi"},
};

std::string WithRoot(std::string text, const fs::path& root) {
    for (std::size_t at; (at = text.find("{root}")) != std::string::npos;) text.replace(at, 6, root.string());
    return text;
}

class CliFolder : public testing::TestWithParam<FolderCase> {
protected:
    int Run(const std::string& command) {
        const FolderCase& c = GetParam();
        return RunCommand(
            WithRoot(std::string("env ") + c.env + " HOME={root}/home {root}/prefix/bin/vannoir-cli " +
                         command + " " + c.args + " 2>&1",
                     root.Path()),
            output);
    }
    ScratchFolder root;
    std::string output;
};

TEST_P(CliFolder, SaysAndUsesTheFolder) {
    const FolderCase& c = GetParam();
    fs::create_directories(root / "prefix" / "bin");
    fs::copy_file(VANNOIR_CLI_PATH, root / "prefix" / "bin" / "vannoir-cli");
    if (c.installed)
        fs::create_directories(root / "prefix" / "share" / "vannoir");
    else  // laid out by hand, as today
        for (const char* list : {"Amis.TXT", "Intrus.TXT"})
            PutFile(root / "prefix" / "bin" / "Liste" / list, "");
    const fs::path folder = root / c.expected;

    ASSERT_EQ(Run("--aide"), 0) << output;
    EXPECT_NE(output.find("\nDossier des r\xC3\xA9glages : " + folder.string() + "\n"), std::string::npos)
        << output;
    EXPECT_EQ(fs::exists(folder / "Liste"), !c.installed && c.expected == std::string("prefix/bin"));

    ASSERT_EQ(Run("amis ajouter Jean"), 0) << output;
    EXPECT_EQ(FileBytes(folder / "Liste" / "Amis.TXT"), "Jean\r\n");
    if (c.expected != std::string("prefix/bin")) {
        struct stat st {};
        ASSERT_EQ(::stat(folder.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u);
    }
    // The list written is the one the window would read: nothing elsewhere.
    for (const char* other : {"conf/vannoir", "home/.config/vannoir", "prefix/bin", "choisi"}) {
        if (root / other == folder) continue;
        EXPECT_EQ(FileBytes(root / other / "Liste" / "Amis.TXT").find("Jean"), std::string::npos) << other;
    }
}
INSTANTIATE_TEST_SUITE_P(Table, CliFolder, testing::ValuesIn(kFolders),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
