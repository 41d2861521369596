#include "app/watch_settings.h"

#include <algorithm>

#include "account/account_settings.h"
#include "app/corbeille.h"
#include "app/watch_texts.h"
#include "platform/ini_file.h"
#include "platform/text.h"

using namespace watch_texts;

std::vector<int> ParseSlots(std::string_view text) {
    std::vector<int> slots;
    std::string rest(text);
    while (!rest.empty()) {
        const std::optional<std::int32_t> slot = TryStrToInt(Trim(SplitAt(rest, ",")));
        if (!slot || *slot < kLowestSlot || *slot > kHighestSlot) continue;
        if (std::find(slots.begin(), slots.end(), *slot) == slots.end()) slots.push_back(*slot);
    }
    return slots;
}

std::string SlotsText(const std::vector<int>& slots) {
    std::string text;
    for (int slot : slots) text += (text.empty() ? "" : ",") + IntToStr(slot);
    return text;
}

WatchSettings ReadWatchSettings(const TIniFile& ini) {
    WatchSettings settings;
    settings.minutes = std::max(0, ini.ReadInteger(kSection, kMinutesKey, 0));
    settings.accounts = ParseSlots(ini.ReadString(kSection, kAccountsKey));
    settings.purge = ini.ReadInteger(kSection, kPurgeKey, 0) == 1;
    return settings;
}

void WriteWatchSettings(TIniFile& ini, const WatchSettings& settings) {
    ini.WriteInteger(kSection, kMinutesKey, std::max(0, settings.minutes));
    ini.WriteString(kSection, kAccountsKey, SlotsText(settings.accounts));
    ini.WriteInteger(kSection, kPurgeKey, settings.purge ? 1 : 0);
}

bool PurgeAllowed(const TIniFile& ini) {
    return ReadWatchSettings(ini).purge && ReadCorbeilleLimits(ini).enabled;
}

bool TakeTrayNote(TIniFile& ini) {
    if (ini.ReadInteger(kSection, kTrayNoteKey, 0) == 1) return false;
    try {
        ini.WriteInteger(kSection, kTrayNoteKey, 1);
    } catch (const EIdException&) {
        // Unwritten, the note comes again next time: no harm.
    }
    return true;
}
