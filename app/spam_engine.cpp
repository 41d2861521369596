#include "app/spam_bogofilter.h"
#include "app/spam_daemons.h"

std::unique_ptr<SpamEngine> MakeSpamEngine(const SpamSettings& settings, const std::filesystem::path& words,
                                           std::function<void()> idle) {
    switch (settings.engine) {
        case SpamSettings::Engine::None:
            return nullptr;
        case SpamSettings::Engine::Bogofilter: {
            BogofilterOptions options;
            options.words = words;
            options.idle = std::move(idle);
            return MakeBogofilterEngine(options);
        }
        case SpamSettings::Engine::Rspamd:
            return MakeRspamdEngine(settings);
        case SpamSettings::Engine::Spamd:
            return MakeSpamdEngine(settings);
    }
    return nullptr;
}
