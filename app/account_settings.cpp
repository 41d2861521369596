#include "app/account_settings.h"

#include <algorithm>

#include "app/password_scramble.h"
#include "app/texts.h"
#include "platform/file_replace.h"

std::string SlotKey(std::string_view name, int slot) { return std::string(name) + IntToStr(slot); }

StoredSlot ReadStoredSlot(const TIniFile& ini, int slot) {
    std::string bytes;
    ReadWholeFile(ini.FileName(), bytes);  // empty when unreadable
    auto value = [&](std::string_view name) {
        return IniValue(bytes, texts::kSection, SlotKey(name, slot)).value_or(std::string());
    };
    return {value(texts::kServerKey), value(texts::kUserKey), value(texts::kPasswordKey)};
}

Account ReadAccount(const TIniFile& ini, int slot) {
    StoredSlot stored = ReadStoredSlot(ini, slot);
    Account account;
    account.host = std::move(stored.host);
    account.user = std::move(stored.user);
    account.configured = !stored.scrambledPassword.empty();
    account.password = ClientPassword(stored.scrambledPassword);  // empty when not configured
    return account;
}

std::string AccountCaption(const Account& account) {
    if (!account.configured) return Ansi(texts::kCaptionNotConfigured);
    return Ansi(texts::kCaptionPrefix) + account.user + std::string(texts::kCaptionSeparator) + account.host;
}

int ReadSlotCount(const TIniFile& ini) { return ini.ReadInteger(texts::kSection, texts::kCountKey, 0); }

void SaveAccount(TIniFile& ini, int slot, std::string_view host, std::string_view user,
                 std::string_view scrambledPassword) {
    ini.WriteInteger(texts::kSection, texts::kCountKey, slot);
    ini.WriteString(texts::kSection, SlotKey(texts::kServerKey, slot), host);
    ini.WriteString(texts::kSection, SlotKey(texts::kUserKey, slot), user);
    ini.WriteString(texts::kSection, SlotKey(texts::kPasswordKey, slot), scrambledPassword);
}

void ImportAccount(TIniFile& ini, int slot, std::string_view host, std::string_view user) {
    ini.WriteInteger(texts::kSection, texts::kCountKey, slot);
    ini.WriteString(texts::kSection, SlotKey(texts::kServerKey, slot), host);
    ini.WriteString(texts::kSection, SlotKey(texts::kUserKey, slot), user);
    ini.DeleteKey(texts::kSection, SlotKey(texts::kPasswordKey, slot));
}

void EraseAllAccounts(TIniFile& ini) {
    // One replacement of the file for every key rather than one each.
    const FileChangeLock lock = LockIniForChange(ini.FileName());
    std::string bytes = ReadIniBytesForChange(ini.FileName());
    const int count = IniInteger(IniValue(bytes, texts::kSection, texts::kCountKey).value_or(""), 0);
    for (int slot = std::min(count, kHighestSlot); slot >= kLowestSlot; --slot) {
        for (std::string_view name : {texts::kServerKey, texts::kUserKey, texts::kPasswordKey}) {
            if (auto without = IniWithoutKey(bytes, texts::kSection, SlotKey(name, slot)))
                bytes = std::move(*without);
        }
    }
    StoreIniBytes(ini.FileName(), IniWithValue(bytes, texts::kSection, texts::kCountKey, IntToStr(0)));
}

Account WithOverrides(Account account, const AccountOverrides& overrides) {
    if (overrides.host) account.host = *overrides.host;
    if (overrides.port) account.port = *overrides.port;
    if (overrides.user) account.user = *overrides.user;
    return account;
}
