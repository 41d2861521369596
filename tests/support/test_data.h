#pragma once
// Where the test fixtures live, and small helpers to read them.
#include <string>

// Full path of tests/data/<relative>.
std::string TestDataPath(const std::string& relative);
// Whole content of tests/data/<relative>, bytes as they are; throws when missing.
std::string ReadTestData(const std::string& relative);
