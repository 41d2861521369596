#include "app/config_dialog.h"

#include <algorithm>

#include "app/account_settings.h"
#include "app/password_store.h"
#include "app/texts.h"
#include "net/tls_certificate.h"

namespace {
constexpr AccountSecurity kNewAccountSecurity = AccountSecurity::Tls;
}  // namespace

void ConfigDialog::ShowConnection(int port, AccountSecurity security, std::string_view fingerprint) {
    view_.SetSecurityValue(security);
    view_.SetPortValue(port);
    view_.SetFingerprintText(fingerprint);
}

void ConfigDialog::ClearBoxes() {
    view_.SetServerText("");
    view_.SetUserText("");
    view_.SetPasswordText("");
    ShowConnection(DefaultPort(kNewAccountSecurity), kNewAccountSecurity, "");
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
    Account account = AccountFromSlot(stored);
    view_.SetServerText(stored.host);
    view_.SetUserText(stored.user);
    // As the dialog always showed it: up to the first code 0.
    view_.SetPasswordText(stored.storedPassword.empty() ? DialogPassword(stored.scrambledPassword)
                                                        : account.password);
    if (stored.host.empty())
        ShowConnection(DefaultPort(kNewAccountSecurity), kNewAccountSecurity, "");
    else
        ShowConnection(account.port, account.security, account.fingerprint);
    view_.FocusServer();
}

Outcome ConfigDialog::Refuse(std::string text) {
    dialogs_.Message(text);
    return Outcome::Refused(std::move(text));
}

void ConfigDialog::SecurityChosen(AccountSecurity previous) {
    if (view_.PortValue() == DefaultPort(previous)) view_.SetPortValue(DefaultPort(view_.SecurityValue()));
}

Outcome ConfigDialog::Save() {
    const std::string server = view_.ServerText(), user = view_.UserText(), password = view_.PasswordText();
    if (server.empty() || user.empty() || password.empty()) return Refuse(Ansi(texts::kFillEveryField));
    if (password.size() > kLongestPassword) return Refuse(Ansi(texts::kPasswordTooLong));
    const int port = view_.PortValue();
    if (port < 1 || port > 65535) return Refuse(Ansi(texts::kBadPort));
    const std::string typed = Trim(view_.FingerprintText());
    const std::string fingerprint = NormalizeFingerprint(typed);
    if (!typed.empty() && fingerprint.empty()) return Refuse(Ansi(texts::kBadFingerprint));
    Account account;
    account.host = server;
    account.user = user;
    account.password = password;
    account.port = port;
    account.security = view_.SecurityValue();
    account.fingerprint = fingerprint;
    const int slot = std::clamp(view_.SelectorValue(), kLowestSlot, kHighestSlot);
    Outcome outcome = RunShowingErrors(dialogs_, [&] {
        TIniFile ini(settings_);
        SaveAccountSettings(ini, slot, account, draw_);
        view_.SetSelectorValue(std::min(slot + 1, kHighestSlot));
        ClearBoxes();
    });
    if (outcome.IsDone() && saved) saved(slot);
    return outcome;
}

void ConfigDialog::Cancel() { view_.CloseDialog(); }
