#pragma once
// The registry key the account import reads, made from what a user of this
// system really has, in this order: the current-user hive of a Windows
// compatibility prefix, then the POP3 accounts of the desktop's mail clients
// (each presented as one account subkey with "POP3 Server" and "POP3 User
// Name"), each source in its own file order. A source that is missing or
// unreadable is simply empty.
#include <cstddef>
#include <filesystem>
#include <limits>

#include "platform/memory_registry.h"

// "Software\microsoft\internet account manager\Accounts".
inline constexpr std::string_view kAccountsKey = "Software\\microsoft\\internet account manager\\Accounts";

struct UserFolders {
    std::filesystem::path home;        // $HOME
    std::filesystem::path winePrefix;  // $WINEPREFIX, else <home>/.wine
    static UserFolders FromEnvironment();
};

// Sources are read in order until the key holds `wanted` accounts: the
// source that reaches it is read whole, the ones after it not at all.
MemoryRegistry UserAccountRegistry(const UserFolders& folders,
                                   std::size_t wanted = std::numeric_limits<std::size_t>::max());
