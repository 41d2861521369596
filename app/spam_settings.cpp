#include "app/spam_settings.h"

#include <algorithm>
#include <array>
#include <utility>

#include "account/password_store.h"
#include "app/spam_texts.h"
#include "platform/ini_file.h"
#include "platform/text.h"

using namespace spam_texts;

namespace {

constexpr std::array<std::pair<SpamSettings::Engine, std::string_view>, 4> kEngineNames{{
    {SpamSettings::Engine::None, kEngineNone},
    {SpamSettings::Engine::Bogofilter, kEngineBogofilter},
    {SpamSettings::Engine::Rspamd, kEngineRspamd},
    {SpamSettings::Engine::Spamd, kEngineSpamd},
}};

}  // namespace

SpamSettings ReadSpamSettings(const TIniFile& ini) {
    SpamSettings settings;
    const std::string name = LowerCase(Trim(ini.ReadString(kSection, kEngineKey)));
    for (const auto& [engine, text] : kEngineNames)
        if (name == text) settings.engine = engine;
    const std::string host = Trim(ini.ReadString(kSection, kHostKey));
    if (!host.empty()) settings.host = host;
    const int port = ini.ReadInteger(kSection, kPortKey, 0);
    settings.port = port > 0 && port <= 65535 ? port : 0;
    settings.password =
        DecodeStoredPassword(Trim(ini.ReadString(kSection, kPasswordKey))).value_or(std::string());
    settings.user = Trim(ini.ReadString(kSection, kUserKey));
    return settings;
}

void WriteSpamSettings(TIniFile& ini, const SpamSettings& settings) {
    for (const auto& [engine, text] : kEngineNames)
        if (engine == settings.engine) ini.WriteString(kSection, kEngineKey, text);
    ini.WriteString(kSection, kHostKey, settings.host);
    ini.WriteInteger(kSection, kPortKey, settings.port);
    if (settings.password.empty())
        ini.DeleteKey(kSection, kPasswordKey);
    else
        ini.WriteString(kSection, kPasswordKey, EncodeStoredPassword(settings.password));
    ini.WriteString(kSection, kUserKey, settings.user);
}
