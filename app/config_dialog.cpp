#include "app/config_dialog.h"

#include <algorithm>

#include "app/account_settings.h"
#include "app/password_store.h"
#include "app/texts.h"
#include "net/tls_certificate.h"
#include "platform/text.h"

namespace {
constexpr AccountSecurity kNewAccountSecurity = AccountSecurity::Tls;
}  // namespace

void ConfigDialog::ShowConnection(int port, AccountSecurity security, std::string_view fingerprint) {
    view_.SetSecurityValue(security);
    view_.SetPortValue(port);
    view_.SetFingerprintText(fingerprint);
}

void ConfigDialog::ClearBoxes() {
    storedPassword_.clear();
    shownPassword_.clear();
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
    view_.SetServerText(account.host);
    view_.SetUserText(account.user);
    // As the dialog always showed it: up to the first code 0.
    storedPassword_ =
        stored.storedPassword.empty() ? DialogPassword(stored.scrambledPassword) : account.password;
    shownPassword_ = UnlabelledToUtf8(storedPassword_);
    view_.SetPasswordText(shownPassword_);
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
    if (server.empty() || user.empty() || password.empty())
        return Refuse(std::string(texts::kFillEveryField));
    if (password.size() > kLongestPassword) return Refuse(std::string(texts::kPasswordTooLong));
    const int port = view_.PortValue();
    if (port < 1 || port > 65535) return Refuse(std::string(texts::kBadPort));
    const std::string typed = Trim(view_.FingerprintText());
    const std::string fingerprint = NormalizeFingerprint(typed);
    if (!typed.empty() && fingerprint.empty()) return Refuse(std::string(texts::kBadFingerprint));
    Account account;
    account.host = server;
    account.user = user;
    account.password = password == shownPassword_ && !shownPassword_.empty() ? storedPassword_ : password;
    account.port = port;
    account.security = view_.SecurityValue();
    account.fingerprint = fingerprint;
    return RunShowingErrors(dialogs_, [&] {
        const int slot = std::clamp(view_.SelectorValue(), kLowestSlot, kHighestSlot);
        TIniFile ini(settings_);
        SaveAccountSettings(ini, slot, account, draw_);
        view_.SetSelectorValue(std::min(slot + 1, kHighestSlot));
        ClearBoxes();
    });
}

void ConfigDialog::Cancel() { view_.CloseDialog(); }
