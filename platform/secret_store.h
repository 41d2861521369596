#pragma once
// The desktop's keyring: a Secret Service on the session's message bus
// (whichever keyring program provides it). Each secret is an item whose
// attributes name the program ("application" = "vannoir"), the server and
// the user, so that the keyring's own tools show where it belongs.
#include <optional>
#include <string>
#include <string_view>

#include "platform/id_exception.h"

// Texts are UTF-8: the keyring's own encoding.
struct SecretKey {
    std::string server;
    std::string user;
};

// No session bus, or no keyring on it: a cron job without a desktop session.
class ESecretStoreUnreachable : public EIdException {
public:
    using EIdException::EIdException;
    VANNOIR_ERROR_KIND(Account)
};
VANNOIR_LIST_ERROR(ESecretStoreUnreachable, std::string("x"));
// The keyring is locked, and was not unlocked when asked.
class ESecretStoreLocked : public EIdException {
public:
    using EIdException::EIdException;
    VANNOIR_ERROR_KIND(Account)
};
VANNOIR_LIST_ERROR(ESecretStoreLocked, std::string("x"));

class SecretStore {
public:
    virtual ~SecretStore() = default;
    // Whether a keyring answers on the session bus; never throws.
    virtual bool Reachable() = 0;
    // Stores `secret` under `key`, replacing what was there. Throws
    // ESecretStoreUnreachable, ESecretStoreLocked.
    virtual void Store(const SecretKey& key, std::string_view label, std::string_view secret) = 0;
    // The secret under `key`; nothing when there is no such item. Throws
    // ESecretStoreUnreachable, ESecretStoreLocked.
    virtual std::optional<std::string> Lookup(const SecretKey& key) = 0;
    // Removes the item under `key` when there is one. Throws
    // ESecretStoreUnreachable, ESecretStoreLocked.
    virtual void Remove(const SecretKey& key) = 0;
};

// The session's keyring. A process without a session bus address (neither
// DBUS_SESSION_BUS_ADDRESS nor $XDG_RUNTIME_DIR/bus) finds none, and never
// starts a bus of its own.
SecretStore& SystemSecretStore();
