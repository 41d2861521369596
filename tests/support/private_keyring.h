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

#include "support/scratch_folder.h"

class PrivateKeyring {
public:
    // Nothing when the daemons are not installed or do not come up.
    static std::unique_ptr<PrivateKeyring> Start();
    ~PrivateKeyring();

    // Locks the keyring, as a desktop does after a while.
    void Lock();
    // The private bus's address.
    std::string Address() const { return address_; }

private:
    PrivateKeyring() = default;
    ScratchFolder dir_;
    std::string address_;
    std::optional<std::string> savedAddress_;
};

// A session bus address where nothing listens, for one test: the keyring is
// unreachable, as for a cron job.
class NoKeyring {
public:
    NoKeyring();
    ~NoKeyring();

private:
    std::optional<std::string> saved_;
};
