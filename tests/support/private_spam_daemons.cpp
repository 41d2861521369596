#include "support/private_spam_daemons.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "support/test_data.h"

namespace fs = std::filesystem;

namespace {

PrivateSpamDaemons FromFolder(const std::string& folder) {
    PrivateSpamDaemons found;
    found.dir = folder;
    if (auto port = FirstLineOf(fs::path(folder) / "spamd-port")) found.spamdPort = std::stoi(*port);
    if (auto port = FirstLineOf(fs::path(folder) / "rspamd-port")) found.rspamdPort = std::stoi(*port);
    found.rspamdPassword = FirstLineOf(fs::path(folder) / "rspamd-password").value_or("");
    return found;
}

std::string Script() {
    return (fs::path(VANNOIR_TEST_DATA) / ".." / ".." / "scripts" / "spam-daemons").string();
}

void RunScript(const std::string& action, const std::string& folder) {
    const std::string command = "bash '" + Script() + "' " + action + " '" + folder + "' >/dev/null";
    if (std::system(command.c_str()) != 0)
        throw std::runtime_error("scripts/spam-daemons " + action + " failed");
}

}  // namespace

PrivateSpamDaemons PrivateSpamDaemons::FromEnvironment() {
    const char* folder = std::getenv("VANNOIR_SPAM_DAEMONS_DIR");
    if (folder == nullptr || *folder == '\0') return {};
    return FromFolder(folder);
}

PrivateSpamDaemons PrivateSpamDaemons::Start(const std::string& folder) {
    RunScript("start", folder);
    return FromFolder(folder);
}

void PrivateSpamDaemons::Stop() const { RunScript("stop", dir); }

SpamSettings PrivateSpamDaemons::Settings(SpamSettings::Engine engine) const {
    SpamSettings settings;
    settings.engine = engine;
    settings.host = "127.0.0.1";
    settings.port = engine == SpamSettings::Engine::Spamd ? spamdPort.value_or(0) : rspamdPort.value_or(0);
    settings.password = rspamdPassword;
    return settings;
}

std::string PrivateSpamDaemons::Missing(std::string_view daemon) const {
    if (dir.empty()) return "VANNOIR_SPAM_DAEMONS_DIR names no folder of private spam daemons";
    return "no private " + std::string(daemon) + " running in " + dir +
           " (its package is missing: bash scripts/setup test)";
}
