#include "account/app_paths.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "account/account_texts.h"

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kUserFolderName = "vannoir";

AppPaths InFolder(const fs::path& folder, const fs::path& executable, const fs::path& helpFolder) {
    AppPaths paths;
    paths.folder = folder;
    paths.settings = folder / executable.filename();
    paths.settings.replace_extension(".INI");
    const fs::path lists = folder / texts::kListFolder;
    paths.friends = lists / texts::kFriendFile;
    paths.intruders = lists / texts::kIntruderFile;
    paths.journal = lists / texts::kJournalFile;
    paths.corbeille = lists / texts::kCorbeilleFolder;
    paths.headerCache = folder / texts::kHeaderCacheFolder;
    paths.help = helpFolder / texts::kHelpFolder / texts::kHelpPage;
    paths.providers = helpFolder / texts::kProviderFile;
    return paths;
}

// "<prefix>/share/vannoir" for a program in "<prefix>/bin".
fs::path ShareFolder(const fs::path& programFolder) {
    return programFolder.parent_path() / "share" / kUserFolderName;
}

fs::path UserDataFolder(const FolderFacts& facts) {
    const fs::path dataHome = facts.dataHome;
    if (dataHome.is_absolute()) return dataHome / kUserFolderName;
    return fs::path(facts.home) / ".local" / "share" / kUserFolderName;
}

fs::path UserStateFolder(const FolderFacts& facts) {
    const fs::path stateHome = facts.stateHome;
    if (stateHome.is_absolute()) return stateHome / kUserFolderName;
    return fs::path(facts.home) / ".local" / "state" / kUserFolderName;
}

fs::path UserFolder(const FolderFacts& facts) {
    const fs::path configHome = facts.configHome;
    if (configHome.is_absolute()) return configHome / kUserFolderName;
    return fs::path(facts.home) / ".config" / kUserFolderName;
}

// Creates `folder` owner-only unless it is there; 0 or errno.
int MakePrivateFolder(const fs::path& folder) {
    if (::mkdir(folder.c_str(), 0700) == 0) return ::chmod(folder.c_str(), 0700) == 0 ? 0 : errno;
    if (errno != EEXIST) return errno;
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0) return errno;
    return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
}

int MakeEmptyFileIfMissing(const fs::path& file) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return errno == EEXIST ? 0 : errno;
    ::close(fd);
    return 0;
}

}  // namespace

AppPaths AppPaths::ForExecutable(const fs::path& executable) {
    return InFolder(executable.parent_path(), executable, executable.parent_path());
}

FolderFacts FolderFacts::OfSystem() {
    FolderFacts facts;
    if (const char* value = std::getenv("XDG_CONFIG_HOME")) facts.configHome = value;
    if (const char* value = std::getenv("XDG_DATA_HOME")) facts.dataHome = value;
    if (const char* value = std::getenv("XDG_STATE_HOME")) facts.stateHome = value;
    if (const char* value = std::getenv("HOME"); value && *value)
        facts.home = value;
    else if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir)
        facts.home = user->pw_dir;
    facts.exists = [](const fs::path& path) {
        std::error_code ec;
        return fs::exists(path, ec);
    };
    facts.writable = [](const fs::path& folder) { return ::access(folder.c_str(), W_OK | X_OK) == 0; };
    return facts;
}

AppPaths LocateAppPaths(const fs::path& executable, const std::optional<fs::path>& chosen,
                        const FolderFacts& facts) {
    const fs::path programFolder = executable.parent_path();
    const fs::path share = ShareFolder(programFolder);
    const fs::path helpFolder =
        !facts.exists(programFolder / texts::kHelpFolder) && facts.exists(share / texts::kHelpFolder)
            ? share
            : programFolder;
    fs::path settingsHere = programFolder / executable.filename();
    settingsHere.replace_extension(".INI");
    // An installed program is writable by whoever installed it: without its
    // own settings file, its folder is not the user's.
    const bool portable =
        !chosen && (facts.exists(settingsHere) || (facts.writable(programFolder) && !facts.exists(share)));
    const fs::path user = UserFolder(facts);
    if (!chosen && (portable || !user.is_absolute()))  // without a home, the program's folder still serves
        return InFolder(programFolder, executable, helpFolder);
    AppPaths paths = InFolder(chosen ? *chosen : user, executable, helpFolder);
    paths.portable = false;
    // A folder named for the run is portable: its Corbeille sits beside its lists.
    if (!chosen) {
        paths.corbeille = UserDataFolder(facts) / texts::kCorbeilleFolder;
        paths.headerCache = UserStateFolder(facts) / texts::kHeaderCacheFolder;
    }
    return paths;
}

AppPaths ProgramPaths(const fs::path& executable, const std::optional<fs::path>& chosen) {
    return LocateAppPaths(executable, chosen, FolderFacts::OfSystem());
}

int PrepareAppFolder(const AppPaths& paths) {
    std::error_code ec;
    // In the program's own folder only a first start makes the lists: a list
    // missing from an existing folder is the user's doing, and said so.
    if (paths.portable && fs::exists(paths.friends.parent_path(), ec)) return 0;
    // Missing parents such as ~/.config are made private too.
    std::vector<fs::path> missing;
    for (fs::path folder = paths.friends.parent_path(); !folder.empty() && !fs::exists(folder, ec);
         folder = folder.parent_path()) {
        missing.push_back(folder);
        if (folder == folder.parent_path()) break;
    }
    for (auto folder = missing.rbegin(); folder != missing.rend(); ++folder)
        if (int error = MakePrivateFolder(*folder)) return error;
    for (const fs::path& list : {paths.friends, paths.intruders})
        if (int error = MakeEmptyFileIfMissing(list)) return error;
    return 0;
}
