#include "support/test_data.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

std::string TestDataPath(const std::string& relative) {
    return std::string(VANNOIR_TEST_DATA) + "/" + relative;
}

std::string ReadTestData(const std::string& relative) {
    std::ifstream in(TestDataPath(relative), std::ios::binary);
    if (!in) throw std::runtime_error("missing test data: " + relative);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

std::optional<std::string> FirstLineOf(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::string line;
    if (!in || !std::getline(in, line)) return std::nullopt;
    return line;
}
