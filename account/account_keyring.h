#pragma once
// An account's password in the desktop's keyring rather than in the
// settings file: the item names the program, the server and the user, and
// the file keeps only the marker "Trousseau"N=1.
#include "account/account_settings.h"
#include "platform/secret_store.h"

// The keyring holds no password for an account whose marker says it does.
class EKeyringPasswordMissing : public EIdException {
public:
    using EIdException::EIdException;
    VANNOIR_ERROR_KIND(Account)
};
VANNOIR_LIST_ERROR(EKeyringPasswordMissing, std::string("x"));

// The keyring item of an account (UTF-8).
SecretKey KeyringKeyOf(const Account& account);

// Fills the password of an account kept in the keyring (nothing to do for
// the others). Throws ESecretStoreUnreachable, ESecretStoreLocked, and
// EKeyringPasswordMissing: never an empty password in silence.
void FetchKeyringPassword(Account& account, int slot, SecretStore& store);

// Saves `account` in `slot` as SaveAccountSettings does. One kept in the
// keyring has its password stored there first, so that the file's marker
// never names an item that is not there; the file then loses its copy. The
// slot's former keyring item goes when the account leaves the keyring or
// changes server or user (when the keyring cannot be reached then, the old
// item stays: the new settings are saved all the same). Throws
// ESecretStoreUnreachable, ESecretStoreLocked, EIniWriteError.
void StoreAccount(TIniFile& ini, int slot, const Account& account, SecretStore& store,
                  const FillerDraw& draw = RandomFillerDraw);
