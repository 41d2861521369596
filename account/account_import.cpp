#include "account/account_import.h"

#include "account/account_settings.h"
#include "account/account_texts.h"
#include "platform/control_characters.h"
#include "platform/text_format.h"

namespace {

// How much of a skipped account's key the line shows.
constexpr std::size_t kShownKeyBytes = 64;

// The first slot after `after` with no server, or past the highest slot.
int NextFreeSlot(const TIniFile& ini, int after) {
    int slot = std::max(after + 1, kLowestSlot);
    while (slot <= kHighestSlot && !ReadStoredSlot(ini, slot).host.empty()) ++slot;
    return slot;
}

// What the source says of the port and the security, if anything.
ImportedConnection ConnectionOf(const Registry& registry) {
    ImportedConnection connection;
    if (auto port = registry.ReadDWord(texts::kPop3PortValue); port && *port >= 1 && *port <= 65535)
        connection.port = static_cast<int>(*port);
    if (auto secure = registry.ReadDWord(texts::kPop3SecureValue))
        connection.security = *secure == 1   ? AccountSecurity::Tls
                              : *secure == 2 ? AccountSecurity::Stls
                                             : AccountSecurity::None;
    return connection;
}

}  // namespace

ImportResult ImportAccounts(Registry& registry, const std::filesystem::path& settings) {
    ImportResult result;
    std::vector<std::string> names;
    if (registry.OpenKeyReadOnly(kAccountsKey)) names = registry.GetKeyNames();
    registry.CloseKey();
    TIniFile ini(settings);
    result.lastSlot = ReadSlotCount(ini);
    for (const std::string& name : names) {
        registry.OpenKeyReadOnly(std::string(kAccountsKey) + "\\" + name);
        if (registry.ValueExists(texts::kPop3ServerValue)) {
            ++result.found;
            const std::string host = registry.ReadString(texts::kPop3ServerValue);
            const std::string user = registry.ReadString(texts::kPop3UserValue);
            const ImportedConnection connection = ConnectionOf(registry);
            const int slot = NextFreeSlot(ini, result.lastSlot);
            if (std::string_view reason = UnusableNames(host, user); !reason.empty()) {
                result.skipped.push_back(
                    FormatText(std::string(texts::kImportSkipped),
                               {WithoutControls(name.substr(0, kShownKeyBytes)), std::string(reason)}));
            } else if (slot > kHighestSlot) {
                ++result.leftOut;
            } else {
                ImportAccount(ini, slot, host, user, connection);
                result.lastSlot = slot;
                result.writtenSlots.push_back(slot);
                ++result.written;
            }
        }
        registry.CloseKey();
    }
    return result;
}

std::string ImportSuccessText(const ImportResult& result) {
    std::string text = std::string(texts::kImportDone);
    if (result.leftOut > 0)
        text += FormatText(std::string(texts::kImportLeftOut),
                           {IntToStr(result.leftOut), IntToStr(kHighestSlot)});
    for (const std::string& line : result.skipped) text += "\n" + line;
    return text;
}

std::size_t ImportRoom(const std::filesystem::path& settings) {
    TIniFile ini(settings);
    std::size_t room = 1;
    for (int slot = NextFreeSlot(ini, ReadSlotCount(ini)); slot <= kHighestSlot;
         slot = NextFreeSlot(ini, slot))
        ++room;
    return room;
}
