#pragma once
// A session bus of its own for one test, started by one of our scripts
// (scripts/keyring, scripts/notification-service: "start DIR" writes the
// bus's address to DIR/address, "stop DIR" ends it). This process talks to
// it (DBUS_SESSION_BUS_ADDRESS) until the object goes.
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "support/scratch_folder.h"

// Points DBUS_SESSION_BUS_ADDRESS at `address` until the object goes.
class SessionBusAddress {
public:
    explicit SessionBusAddress(const std::string& address);
    ~SessionBusAddress();
    SessionBusAddress(const SessionBusAddress&) = delete;
    SessionBusAddress& operator=(const SessionBusAddress&) = delete;

private:
    std::optional<std::string> saved_;
};

class PrivateBus {
public:
    // Nothing when the script could not start it.
    static std::unique_ptr<PrivateBus> Start(const char* script);
    ~PrivateBus();

    // `script` ACTION DIR [MORE], quietly; its exit status.
    int Run(const std::string& action, const std::string& more = {}) const;
    const std::filesystem::path& Dir() const { return dir_.Path(); }
    const std::string& Address() const { return address_; }

private:
    explicit PrivateBus(const char* script) : script_(script) {}
    const char* script_;
    ScratchFolder dir_;
    std::string address_;
    std::unique_ptr<SessionBusAddress> using_;
};
