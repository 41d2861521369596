#pragma once
// The accounts of the settings file: slots 0 to 10, each with a server, a
// user name, a stored password and how to reach the server (port,
// security, trusted certificate, time limits), plus "Nbre", the last slot
// saved. A slot without the connection keys keeps their old meaning: port
// 110, in clear.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "account/account_authentication.h"
#include "account/account_security.h"
#include "account/password_scramble.h"
#include "message/authentication_results.h"
#include "platform/ini_file.h"

inline constexpr int kLowestSlot = 0;
inline constexpr int kHighestSlot = 10;
inline constexpr int kDefaultConnectLimitMs = 30000;
inline constexpr int kDefaultReadLimitMs = 60000;

struct Account {
    std::string host;
    int port = 110;
    std::string user;
    std::string password;     // in clear; empty when not configured
    bool configured = false;  // the slot has a password
    AccountSecurity security = AccountSecurity::None;
    std::string fingerprint{};  // trusted certificate, "AB:CD:…"; empty: none
    int connectLimitMs = kDefaultConnectLimitMs;
    int readLimitMs = kDefaultReadLimitMs;
    AccountAuthentication authentication = AccountAuthentication::Password;
    // OAuth2: the command that gives the access token ("CommandeJeton"),
    // and the token once fetched (never stored).
    std::string tokenCommand{};
    std::string accessToken{};
    // The program's own flow: the client id ("IdClient"; empty: the table's),
    // and OAUTHBEARER rather than XOAUTH2 ("Mecanisme").
    std::string clientId{};
    bool oauthBearer = false;
    // The password lives in the keyring ("Trousseau"N=1); `password` is
    // empty until it is fetched from there.
    bool inKeyring = false;
    // Whose Authentication-Results tell who sent a message
    // ("ServiceAuthentification"; empty: the provider table's for the host),
    // and whether a sender they do not speak for counts as failed
    // ("InconnueEchec"=1).
    ResultService resultService{};
    bool unknownIsFailed = false;
};

// Why a server name and a user name cannot go into a slot: a server over
// 253 bytes (a DNS name), a user over 255 (a login), or a control character
// in either; empty when they can. The import and the table of providers
// leave such names out.
std::string_view UnusableNames(std::string_view host, std::string_view user);

// Key of `name` for a slot: "Serveur" + "3".
std::string SlotKey(std::string_view name, int slot);

// A slot's keys as the settings file holds them, each empty when missing.
struct StoredSlot {
    std::string host;
    std::string user;
    std::string scrambledPassword;  // "Passe"
    std::string storedPassword;     // "MotDePasse", for any other password
    std::string port;
    std::string security;
    std::string fingerprint;
    std::string connectLimit;  // seconds
    std::string readLimit;
    std::string authentication;  // "Authentification"
    std::string keyring;         // "Trousseau"
    std::string tokenCommand;    // "CommandeJeton"
    std::string clientId;        // "IdClient"
    std::string mechanism;       // "Mecanisme"
    std::string resultService;   // "ServiceAuthentification"
    std::string unknownFailed;   // "InconnueEchec"
};
// Reads the file once for every key; an unreadable file reads as missing.
// Never throws.
StoredSlot ReadStoredSlot(const TIniFile& ini, int slot);
// The account a slot describes: the password from "MotDePasse" when it is
// there, else from "Passe" (as the main window's load gives it); none, but
// configured and in the keyring, when "Trousseau" is 1; the
// security from "Securite" ("Aucune" when missing or unknown), the port from
// "Port" (the security's default when missing or out of range), time limits
// in seconds (the defaults when missing or not above 0), the
// authentication from "Authentification" (the password when missing or
// unknown; an OAuth2 account counts as configured, its token being asked
// for at each log-in).
Account AccountFromSlot(const StoredSlot& stored);

// The account of `slot` as the main window loads it. A slot without a
// password is not configured and has an empty password. Never throws.
Account ReadAccount(const TIniFile& ini, int slot);
// Whether a log-in can be tried: configured, with a server and a user.
bool CanLogIn(const Account& account);
// Goes through the accounts of an all-accounts action, the same for the
// window's sweep, the periodic checks and the command line: the slots of
// `chosen` in their order, or every slot 0 to 10. A slot with neither
// server nor user name holds no account and is passed over. One that lacks
// its server, its user name or its password (kept in the keyring, or an
// OAuth2 log-in, counts as one) is half-filled: `skip` gets it with what it
// lacks, as the user reads it. `run` gets every other in turn, and ends the
// loop by returning false. Returns how many accounts it met, run or
// skipped. The settings are read once, before the first.
using RunSlot = std::function<bool(int slot)>;
using SkipSlot = std::function<void(int slot, const std::string& missing)>;
int RunnableSlots(const TIniFile& ini, const std::vector<int>& chosen, const RunSlot& run,
                  const SkipSlot& skip);
// The main window caption for a loaded account (Windows-1252).
std::string AccountCaption(const Account& account);
// "user@host:port": the account as the Corbeille and the prints name it.
std::string AccountName(const Account& account);

// "Nbre", 0 when missing or unreadable.
int ReadSlotCount(const TIniFile& ini);

// Writes "Nbre" := slot, then the slot's server, user name and scrambled
// password, in that order. Throws EIniWriteError (earlier writes stay).
void SaveAccount(TIniFile& ini, int slot, std::string_view host, std::string_view user,
                 std::string_view scrambledPassword);

// The port and security an imported account's source gives, if it does.
struct ImportedConnection {
    std::optional<int> port;
    std::optional<AccountSecurity> security;
};
// An imported account in `slot`: "Nbre" := slot, then the server and user
// name, the port and security (removed when not given); a password left in
// the slot is removed, so it never goes to the new server. Throws
// EIniWriteError.
void ImportAccount(TIniFile& ini, int slot, std::string_view host, std::string_view user,
                   const ImportedConnection& connection = {});

// Writes "Nbre" := slot and the whole account in one replacement of the
// file: server, user name, the password ("Passe" scrambled when it can hold
// it, else "MotDePasse"; the other key removed; both removed for an empty
// password), "Port", "Securite",
// "Empreinte" (removed when empty), "Authentification" (written for OAuth2
// only, removed otherwise), "CommandeJeton" (written when given, else left
// as it is), "IdClient" (removed when empty), "Mecanisme" ("OAUTHBEARER", or
// removed), "Trousseau" (1 for an account in the keyring,
// whose password the file then never holds; removed otherwise). The time limits are left as they are.
// Throws EIniWriteError (the file is then unchanged), and
// ESettingsFolderExposed, before anything is written, for a password going
// into a folder the group or others may write to.
void SaveAccountSettings(TIniFile& ini, int slot, const Account& account,
                         const FillerDraw& draw = RandomFillerDraw);

// "Tout effacer": deletes the keys of slots "Nbre" down to 0 (server, user
// name, password, then the connection keys), then writes "Nbre" := 0. Slots
// above the highest a window can save (10) are never touched, so a
// hand-edited "Nbre" cannot make it loop for ever. The file is replaced
// once, so a failure leaves it as it was. Throws EIniWriteError.
void EraseAllAccounts(TIniFile& ini);
