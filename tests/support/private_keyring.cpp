#include "support/private_keyring.h"

#include <cstdlib>

namespace {

constexpr const char* kBus = "DBUS_SESSION_BUS_ADDRESS";

std::optional<std::string> CurrentAddress() {
    const char* value = std::getenv(kBus);
    return value ? std::optional<std::string>(value) : std::nullopt;
}

void RestoreAddress(const std::optional<std::string>& saved) {
    if (saved)
        ::setenv(kBus, saved->c_str(), 1);
    else
        ::unsetenv(kBus);
}

int RunKeyringScript(const std::string& action, const std::filesystem::path& dir) {
    const std::string command = std::string("bash '") + VANNOIR_KEYRING_SCRIPT + "' " + action + " '" +
                                dir.string() + "' >/dev/null 2>&1";
    return std::system(command.c_str());
}

}  // namespace

std::unique_ptr<PrivateKeyring> PrivateKeyring::Start() {
    std::unique_ptr<PrivateKeyring> keyring(new PrivateKeyring());
    if (RunKeyringScript("start", keyring->dir_.Path()) != 0) {
        RunKeyringScript("stop", keyring->dir_.Path());
        return nullptr;
    }
    std::string address = FileBytes(keyring->dir_ / "address");
    while (!address.empty() && (address.back() == '\n' || address.back() == '\r')) address.pop_back();
    keyring->address_ = address;
    keyring->savedAddress_ = CurrentAddress();
    ::setenv(kBus, address.c_str(), 1);
    return keyring;
}

PrivateKeyring::~PrivateKeyring() {
    RestoreAddress(savedAddress_);
    RunKeyringScript("stop", dir_.Path());
}

void PrivateKeyring::Lock() { RunKeyringScript("lock", dir_.Path()); }

NoKeyring::NoKeyring() : saved_(CurrentAddress()) {
    ::setenv(kBus, "unix:path=/nonexistent/vannoir-no-bus", 1);
}

NoKeyring::~NoKeyring() { RestoreAddress(saved_); }
