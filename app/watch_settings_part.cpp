#include "app/watch_settings_part.h"

#include "app/corbeille.h"
#include "app/watch_settings.h"
#include "app/watch_texts.h"
#include "platform/ini_file.h"

void WatchSettingsPart::Show() {
    const WatchSettings settings = ReadWatchSettings(TIniFile(settings_));
    view_.SetMinutesValue(settings.minutes);
    view_.SetAccountsText(SlotsText(settings.accounts));
    view_.SetPurgeChecked(settings.purge);
}

Outcome WatchSettingsPart::Chosen() {
    WatchSettings settings;
    settings.minutes = view_.MinutesValue();
    settings.accounts = ParseSlots(view_.AccountsText());
    settings.purge = view_.PurgeChecked();
    Outcome refused = Outcome::Done();
    if (settings.purge && !ReadCorbeilleLimits(TIniFile(settings_)).enabled) {
        settings.purge = false;
        view_.SetPurgeChecked(false);
        std::string text = std::string(watch_texts::kPurgeNeedsCorbeille);
        dialogs_.Message(text);
        refused = Outcome::Refused(std::move(text));
    }
    Outcome written = RunShowingErrors(dialogs_, [&] {
        TIniFile ini(settings_);
        WriteWatchSettings(ini, settings);
    });
    return written.IsDone() ? refused : written;
}
