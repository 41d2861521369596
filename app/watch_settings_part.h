#pragma once
// The "Surveillance" part of the configuration dialog: every how many
// minutes, which accounts, and whether intruders go without asking. Each
// change is written at once, as the Corbeille box is.
#include <filesystem>
#include <string>
#include <string_view>

#include "app/outcome.h"
#include "app/window.h"

class WatchSettingsView {
public:
    virtual ~WatchSettingsView() = default;
    virtual int MinutesValue() const = 0;
    virtual void SetMinutesValue(int minutes) = 0;
    // "1,3"; empty for every account.
    virtual std::string AccountsText() const = 0;
    virtual void SetAccountsText(std::string_view text) = 0;
    virtual bool PurgeChecked() const = 0;
    virtual void SetPurgeChecked(bool purge) = 0;
};

class WatchSettingsPart {
public:
    WatchSettingsPart(std::filesystem::path settings, WatchSettingsView& view, Dialogs& dialogs)
        : settings_(std::move(settings)), view_(view), dialogs_(dialogs) {}
    // The boxes as the settings say.
    void Show();
    // A box changed: the three written. The purge without asking is refused
    // with a message (and its box cleared) while the Corbeille keeps no
    // copies. A file that refuses the write: the standard error box.
    Outcome Chosen();

private:
    std::filesystem::path settings_;
    WatchSettingsView& view_;
    Dialogs& dialogs_;
};
