#include "account/account_keyring.h"

#include "account/account_texts.h"
#include "platform/text.h"
#include "platform/text_format.h"

SecretKey KeyringKeyOf(const Account& account) {
    return {std::string(Trim(account.host)), std::string(account.user)};
}

void FetchKeyringPassword(Account& account, int slot, SecretStore& store) {
    // An OAuth2 account's item holds its refresh token: the flow reads it.
    if (!account.inKeyring || account.authentication == AccountAuthentication::OAuth2) return;
    std::optional<std::string> password = store.Lookup(KeyringKeyOf(account));
    if (!password || password->empty())
        throw EKeyringPasswordMissing(
            FormatText(std::string(texts::kKeyringPasswordMissing), {IntToStr(slot)}));
    account.password = std::string(*password);
}

void StoreAccount(TIniFile& ini, int slot, const Account& account, SecretStore& store,
                  const FillerDraw& draw) {
    const Account former = ReadAccount(ini, slot);
    const SecretKey key = KeyringKeyOf(account);
    // An OAuth2 account's item is its refresh token, which only the flow writes.
    if (account.inKeyring && account.authentication != AccountAuthentication::OAuth2) {
        const std::string label =
            FormatText(std::string(texts::kKeyringLabel), {account.user, Trim(account.host)});
        store.Store(key, std::string(label), std::string(account.password));
    }
    SaveAccountSettings(ini, slot, account, draw);
    const SecretKey formerKey = KeyringKeyOf(former);
    const bool sameItem = account.inKeyring && formerKey.server == key.server && formerKey.user == key.user;
    if (!former.inKeyring || sameItem) return;
    try {
        store.Remove(formerKey);
    } catch (const EIdException&) {
        // Documented above: the settings are saved; only a stale item is left.
    }
}
