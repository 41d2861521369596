#include "app/account_settings.h"

#include <algorithm>

#include "app/password_scramble.h"
#include "app/texts.h"

std::string SlotKey(std::string_view name, int slot) { return std::string(name) + IntToStr(slot); }

Account ReadAccount(const TIniFile& ini, int slot) {
    Account account;
    account.host = ini.ReadString(texts::kSection, SlotKey(texts::kServerKey, slot));
    account.user = ini.ReadString(texts::kSection, SlotKey(texts::kUserKey, slot));
    std::string stored = ini.ReadString(texts::kSection, SlotKey(texts::kPasswordKey, slot));
    account.configured = !stored.empty();
    if (account.configured) account.password = ClientPassword(stored);
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

void EraseAllAccounts(TIniFile& ini) {
    for (int slot = std::min(ReadSlotCount(ini), kHighestSlot); slot >= kLowestSlot; --slot) {
        ini.DeleteKey(texts::kSection, SlotKey(texts::kServerKey, slot));
        ini.DeleteKey(texts::kSection, SlotKey(texts::kUserKey, slot));
        ini.DeleteKey(texts::kSection, SlotKey(texts::kPasswordKey, slot));
    }
    ini.WriteInteger(texts::kSection, texts::kCountKey, 0);
}
