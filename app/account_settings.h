#pragma once
// The accounts of the settings file: slots 0 to 10, each with a server, a
// user name and a scrambled password, plus "Nbre", the last slot saved.
#include <optional>
#include <string>
#include <string_view>

#include "platform/ini_file.h"

inline constexpr int kLowestSlot = 0;
inline constexpr int kHighestSlot = 10;

inline constexpr int kDefaultPop3Port = 110;

struct Account {
    std::string host;
    int port = kDefaultPop3Port;
    std::string user;
    std::string password;     // in clear; empty when not configured
    bool configured = false;  // the slot has a "Passe" value
};

// Key of `name` for a slot: "Serveur" + "3".
std::string SlotKey(std::string_view name, int slot);

// A slot's keys as the settings file holds them, each empty when missing.
struct StoredSlot {
    std::string host;
    std::string user;
    std::string scrambledPassword;
};
// Reads the file once for all three keys; an unreadable file reads as
// missing. Never throws.
StoredSlot ReadStoredSlot(const TIniFile& ini, int slot);

// The account of `slot` as the main window loads it. A slot without "Passe"
// is not configured and has an empty password. Never throws.
Account ReadAccount(const TIniFile& ini, int slot);
// What one run of the command line puts in place of the slot's own values.
struct AccountOverrides {
    std::optional<std::string> host;  // Windows-1252
    std::optional<int> port;
    std::optional<std::string> user;  // Windows-1252
};
Account WithOverrides(Account account, const AccountOverrides& overrides);

// The main window caption for a loaded account (Windows-1252).
std::string AccountCaption(const Account& account);

// "Nbre", 0 when missing or unreadable.
int ReadSlotCount(const TIniFile& ini);

// Writes "Nbre" := slot, then the slot's server, user name and scrambled
// password, in that order. Throws EIniWriteError (earlier writes stay).
void SaveAccount(TIniFile& ini, int slot, std::string_view host, std::string_view user,
                 std::string_view scrambledPassword);

// An imported account in `slot`: "Nbre" := slot, then the server and user
// name; a password left in the slot is removed, so it never goes to the new
// server. Throws EIniWriteError.
void ImportAccount(TIniFile& ini, int slot, std::string_view host, std::string_view user);

// "Tout effacer": deletes the keys of slots "Nbre" down to 0 (server, user
// name, password in that order), then writes "Nbre" := 0. Slots above the
// highest a window can save (10) are never touched, so a hand-edited "Nbre"
// cannot make it loop for ever. The file is replaced once, so a failure
// leaves it as it was. Throws EIniWriteError.
void EraseAllAccounts(TIniFile& ini);
