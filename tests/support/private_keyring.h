#pragma once
// A private desktop keyring for one test: scripts/keyring starts a session
// bus of its own with an unlocked keyring daemon under a scratch folder, and
// this process talks to it (DBUS_SESSION_BUS_ADDRESS) until the object goes;
// the bus and the keyring stop with it.
//
//   auto keyring = PrivateKeyring::Start();
//   if (!keyring) GTEST_SKIP() << "no keyring daemon";
#include <memory>
#include <optional>
#include <string>

#include "support/private_bus.h"

class PrivateKeyring {
public:
    // Nothing when the daemons are not installed or do not come up.
    static std::unique_ptr<PrivateKeyring> Start();

    // Locks the keyring, as a desktop does after a while.
    void Lock();
    // The private bus's address.
    std::string Address() const { return bus_->Address(); }

private:
    explicit PrivateKeyring(std::unique_ptr<PrivateBus> bus) : bus_(std::move(bus)) {}
    std::unique_ptr<PrivateBus> bus_;
};

// A session bus address where nothing listens, for one test: the keyring is
// unreachable, as for a cron job.
class NoKeyring {
public:
    NoKeyring() : address_("unix:path=/nonexistent/vannoir-no-bus") {}

private:
    SessionBusAddress address_;
};
