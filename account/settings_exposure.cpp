#include "account/settings_exposure.h"

#include <sys/stat.h>

#include "account/account_texts.h"
#include "platform/text.h"
#include "platform/text_format.h"

namespace {
// Whether the group or others may write to `path`; false when it is missing.
bool OthersMayWrite(const std::filesystem::path& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && (st.st_mode & 022) != 0;
}

std::string ShownPath(const std::filesystem::path& path) { return path.string(); }
}  // namespace

std::string SettingsExposureWarning(const std::filesystem::path& settings) {
    struct stat st {};
    if (::stat(settings.c_str(), &st) != 0 || (st.st_mode & 077) == 0) return "";
    return FormatText(std::string(texts::kSettingsExposed), {ShownPath(settings)});
}

std::string ExposureWarning(const AppPaths& paths) {
    std::string warning = SettingsExposureWarning(paths.settings);
    for (const std::filesystem::path& path :
         {paths.folder, paths.friends.parent_path(), paths.friends, paths.intruders}) {
        if (!OthersMayWrite(path)) continue;
        if (!warning.empty()) warning += "\n";
        warning += FormatText(std::string(texts::kFolderExposed), {ShownPath(path)});
    }
    return warning;
}

ESettingsFolderExposed::ESettingsFolderExposed(const std::filesystem::path& folder)
    : EIdException(FormatText(std::string(texts::kPasswordFolderExposed), {ShownPath(folder)})) {}

void RefuseExposedPasswordFolder(const std::filesystem::path& settings) {
    const std::filesystem::path folder = settings.has_parent_path() ? settings.parent_path() : ".";
    if (OthersMayWrite(folder)) throw ESettingsFolderExposed(folder);
}
