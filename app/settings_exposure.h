#pragma once
// The settings file holds passwords: it must be readable by its owner only.
#include <filesystem>
#include <string>

// The warning to show when others than the owner may read or write the
// settings file (Windows-1252); empty when it is private or missing.
std::string SettingsExposureWarning(const std::filesystem::path& settings);
