#include "app/config_dialog.h"

#include <algorithm>

#include "app/account_settings.h"
#include "app/texts.h"

void ConfigDialog::ClearBoxes() {
    view_.SetServerText("");
    view_.SetUserText("");
    view_.SetPasswordText("");
}

void ConfigDialog::Show() {
    ClearBoxes();
    view_.FocusServer();
    int next = ReadSlotCount(TIniFile(settings_));
    // Computed in 64 bits: a hand-edited "Nbre" may be the largest integer.
    view_.SetSelectorValue(static_cast<int>(std::clamp<long long>(next + 1LL, kLowestSlot, kHighestSlot)));
}

void ConfigDialog::SelectorClick() {
    StoredSlot stored = ReadStoredSlot(TIniFile(settings_), view_.SelectorValue());
    view_.SetServerText(stored.host);
    view_.SetUserText(stored.user);
    view_.SetPasswordText(DialogPassword(stored.scrambledPassword));
    view_.FocusServer();
}

Outcome ConfigDialog::Refuse(std::string text) {
    dialogs_.Message(text);
    return Outcome::Refused(std::move(text));
}

Outcome ConfigDialog::Save() {
    const std::string server = view_.ServerText(), user = view_.UserText(), password = view_.PasswordText();
    if (server.empty() || user.empty() || password.empty()) return Refuse(Ansi(texts::kFillEveryField));
    if (!CanStorePassword(password)) return Refuse(Ansi(texts::kPasswordRefused));
    return RunShowingErrors(dialogs_, [&] {
        std::string scrambled = ScramblePassword(password, draw_);
        const int slot = std::clamp(view_.SelectorValue(), kLowestSlot, kHighestSlot);
        TIniFile ini(settings_);
        SaveAccount(ini, slot, server, user, scrambled);
        view_.SetSelectorValue(std::min(slot + 1, kHighestSlot));
        ClearBoxes();
    });
}

void ConfigDialog::Cancel() { view_.CloseDialog(); }
