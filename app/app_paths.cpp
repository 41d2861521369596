#include "app/app_paths.h"

#include "app/texts.h"

AppPaths AppPaths::ForExecutable(const std::filesystem::path& executable) {
    AppPaths paths;
    paths.settings = executable;
    paths.settings.replace_extension(".INI");
    const std::filesystem::path lists = executable.parent_path() / texts::kListFolder;
    paths.friends = lists / texts::kFriendFile;
    paths.intruders = lists / texts::kIntruderFile;
    paths.journal = lists / texts::kJournalFile;
    paths.help = executable.parent_path() / texts::kHelpFolder / texts::kHelpPage;
    return paths;
}
