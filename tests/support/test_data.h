#pragma once
// Where the test fixtures live, and small helpers to read them.
#include <filesystem>
#include <optional>
#include <string>

// Full path of tests/data/<relative>.
std::string TestDataPath(const std::string& relative);
// Whole content of tests/data/<relative>, bytes as they are; throws when missing.
std::string ReadTestData(const std::string& relative);
// The first line of `file`, without its line end; nothing when it cannot be
// read or is empty (the settings files that test servers leave behind).
std::optional<std::string> FirstLineOf(const std::filesystem::path& file);
