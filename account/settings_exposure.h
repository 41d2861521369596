#pragma once
// The settings file holds passwords: it must be readable by its owner only.
// The settings folder and the lists decide what a scheduled purge deletes:
// no one else may change them.
#include <filesystem>
#include <string>

#include "account/app_paths.h"
#include "platform/id_exception.h"

// The warning to show when others than the owner may read or write the
// settings file; empty when it is private or missing.
std::string SettingsExposureWarning(const std::filesystem::path& settings);

// Every warning about the program's files, one line each: the settings file
// as above, then the folder, the list folder and each list that the group
// or others may write to. Empty when there is nothing to say.
std::string ExposureWarning(const AppPaths& paths);

// A password is not written into a folder that the group or others may write to.
class ESettingsFolderExposed : public EIdException {
public:
    explicit ESettingsFolderExposed(const std::filesystem::path& folder);
    VANNOIR_ERROR_KIND(LocalFile)
};
VANNOIR_LIST_ERROR(ESettingsFolderExposed, std::filesystem::path("x"));

// Throws ESettingsFolderExposed when the folder of `settings` is writable by
// the group or others.
void RefuseExposedPasswordFolder(const std::filesystem::path& settings);
