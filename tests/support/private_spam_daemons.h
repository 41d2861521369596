#pragma once
// The private spamd and rspamd that scripts/spam-daemons starts for the
// tests that speak to real daemons (the folder is in
// VANNOIR_SPAM_DAEMONS_DIR). A daemon whose package is missing has no port.
//
//   auto daemons = PrivateSpamDaemons::FromEnvironment();
//   if (!daemons.spamdPort) GTEST_SKIP() << daemons.Missing("spamd");
#include <optional>
#include <string>
#include <string_view>

#include "app/spam_engine.h"

struct PrivateSpamDaemons {
    std::string dir;
    std::optional<int> spamdPort;
    std::optional<int> rspamdPort;  // the controller listens on the next one
    std::string rspamdPassword;

    // Read from the folder named by VANNOIR_SPAM_DAEMONS_DIR; no ports when
    // it is not set or a daemon did not start.
    static PrivateSpamDaemons FromEnvironment();
    // Starts both with scripts/spam-daemons in `folder` (for programs outside
    // the test fixture, such as benchmarks). Throws std::runtime_error.
    static PrivateSpamDaemons Start(const std::string& folder);
    void Stop() const;

    // Settings that point an engine at one of them.
    SpamSettings Settings(SpamSettings::Engine engine) const;
    // Why a test of `daemon` skips.
    std::string Missing(std::string_view daemon) const;
};
