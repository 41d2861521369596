#pragma once
// "Importer": the POP3 server and user name of every mail account the
// registry holds become new account slots of the settings file; passwords
// are not imported.
//
// An import never overwrites a slot that holds a server: each account goes
// to the next slot after "Nbre" whose "Serveur" is empty, and "Nbre" becomes
// the highest slot written. Slots above 10 cannot be reached by the
// selectors, so nothing is written there: the accounts that did not fit are
// counted.
#include <filesystem>
#include <string>
#include <vector>

#include "account/user_accounts.h"
#include "platform/registry.h"

struct ImportResult {
    int found = 0;                  // subkeys with a "POP3 Server" value
    int written = 0;                // slots written
    int leftOut = 0;                // accounts that did not fit in slots up to 10
    int lastSlot = 0;               // "Nbre" after the import
    std::vector<int> writtenSlots;  // the slots written, in order
    // The accounts skipped for a host name past 253 bytes, a user name past
    // 255 or a value holding a control character: their key and the reason,
    // one "compte ignoré : ..." line each Never written.
    std::vector<std::string> skipped;
};

// How many accounts an import into `settings` can use: one per free slot,
// and one more so that accounts left out are still told.
std::size_t ImportRoom(const std::filesystem::path& settings);

// Throws ERegistryException for a value that is not a string and
// EIniWriteError for a refused write; the slots written before stay.
ImportResult ImportAccounts(Registry& registry, const std::filesystem::path& settings);

// The message for a result with accounts found: the success text, how many
// accounts were left out when some were, and a line per skipped account.
std::string ImportSuccessText(const ImportResult& result);
