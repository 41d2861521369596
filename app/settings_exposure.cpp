#include "app/settings_exposure.h"

#include <sys/stat.h>

#include "app/texts.h"
#include "platform/text.h"
#include "platform/text_format.h"

std::string SettingsExposureWarning(const std::filesystem::path& settings) {
    struct stat st {};
    if (::stat(settings.c_str(), &st) != 0 || (st.st_mode & 077) == 0) return "";
    return FormatText(std::string(texts::kSettingsExposed), {settings.string()});
}
