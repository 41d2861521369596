#include "app/config_dialog.h"

#include <algorithm>

#include "account/account_keyring.h"
#include "account/account_settings.h"
#include "account/password_store.h"
#include "app/account_tester.h"
#include "app/corbeille.h"
#include "app/corbeille_texts.h"
#include "app/texts.h"
#include "net/tls_certificate.h"
#include "platform/text.h"

namespace {
constexpr AccountSecurity kNewAccountSecurity = AccountSecurity::Tls;
}  // namespace

void ConfigDialog::ShowConnection(int port, AccountSecurity security, std::string_view fingerprint,
                                  AccountAuthentication authentication, std::string_view clientId,
                                  bool oauthBearer) {
    view_.SetSecurityValue(security);
    view_.SetPortValue(port);
    view_.SetFingerprintText(fingerprint);
    view_.SetAuthenticationValue(authentication);
    view_.SetClientIdText(clientId);
    view_.SetOAuthBearerChosen(oauthBearer);
    AuthenticationChosen();
}

void ConfigDialog::AuthenticationChosen() {
    view_.EnableOAuthBoxes(view_.AuthenticationValue() == AccountAuthentication::OAuth2);
}

void ConfigDialog::ClearBoxes() {
    storedPassword_.clear();
    shownPassword_.clear();
    view_.SetServerText("");
    view_.SetUserText("");
    view_.SetPasswordText("");
    ShowConnection(DefaultPort(kNewAccountSecurity), kNewAccountSecurity, "");
    view_.SetKeyringChosen(keyringReachable_);
}

void ConfigDialog::Show() {
    if (!providerFiles_.empty()) providers_ = ProviderTable::Read(providerFiles_);
    keyringReachable_ = SystemSecretStore().Reachable();
    ClearBoxes();
    view_.FocusServer();
    view_.SetKeepDeletedChecked(ReadCorbeilleLimits(TIniFile(settings_)).enabled);
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
    if (stored.host.empty()) {
        ShowConnection(DefaultPort(kNewAccountSecurity), kNewAccountSecurity, "");
        view_.SetKeyringChosen(keyringReachable_);
    } else {
        ShowConnection(account.port, account.security, account.fingerprint, account.authentication,
                       account.clientId, account.oauthBearer);
        view_.SetKeyringChosen(account.inKeyring);
    }
    if (account.inKeyring) {
        RunShowingErrors(dialogs_, [&] {
            FetchKeyringPassword(account, view_.SelectorValue(), SystemSecretStore());
            storedPassword_ = shownPassword_ = account.password;
            view_.SetPasswordText(account.password);
        });
    }
    view_.FocusServer();
}

void ConfigDialog::AddressEntered() {
    std::optional<AddressFill> fill = FillFromAddress(providers_, view_.AddressText());
    if (!fill) {
        view_.SetServerText("");
        view_.SetUserText("");
        return;
    }
    view_.SetServerText(fill->host);
    view_.SetUserText(fill->user);
    ShowConnection(fill->port, fill->security, "", fill->authentication, fill->clientId, fill->oauthBearer);
}

Outcome ConfigDialog::Refuse(std::string text) {
    dialogs_.Message(text);
    return Outcome::Refused(std::move(text));
}

void ConfigDialog::SecurityChosen(AccountSecurity previous) {
    if (view_.PortValue() == DefaultPort(previous)) view_.SetPortValue(DefaultPort(view_.SecurityValue()));
}

std::optional<Account> ConfigDialog::AccountOfBoxes(Outcome& refused) {
    auto refuse = [&](std::string_view text) {
        refused = Refuse(std::string(text));
        return std::nullopt;
    };
    const std::string server = view_.ServerText(), user = view_.UserText(), password = view_.PasswordText();
    const AccountAuthentication authentication = view_.AuthenticationValue();
    // An OAuth2 account logs in with a token, not with this box.
    const bool needsPassword = authentication == AccountAuthentication::Password;
    if (server.empty() || user.empty() || (needsPassword && password.empty()))
        return refuse(texts::kFillEveryField);
    if (password.size() > kLongestPassword) return refuse(texts::kPasswordTooLong);
    const int port = view_.PortValue();
    if (port < 1 || port > 65535) return refuse(texts::kBadPort);
    const std::string typed = Trim(view_.FingerprintText());
    const std::string fingerprint = NormalizeFingerprint(typed);
    if (!typed.empty() && fingerprint.empty()) return refuse(texts::kBadFingerprint);
    Account account;
    account.host = server;
    account.user = user;
    account.password = password == shownPassword_ && !shownPassword_.empty() ? storedPassword_ : password;
    account.configured = !password.empty() || !needsPassword;
    account.tokenCommand = ReadAccount(TIniFile(settings_), view_.SelectorValue()).tokenCommand;
    account.port = port;
    account.security = view_.SecurityValue();
    account.fingerprint = fingerprint;
    account.authentication = authentication;
    // Boxes that take no input say nothing about a password account.
    if (!needsPassword) {
        account.clientId = Trim(view_.ClientIdText());
        account.oauthBearer = view_.OAuthBearerChosen();
    }
    account.inKeyring = needsPassword && view_.KeyringChosen();
    return account;
}

Outcome ConfigDialog::Save() {
    Outcome refused;
    std::optional<Account> account = AccountOfBoxes(refused);
    if (!account) return refused;
    const int slot = std::clamp(view_.SelectorValue(), kLowestSlot, kHighestSlot);
    Outcome outcome = RunShowingErrors(dialogs_, [&] {
        TIniFile ini(settings_);
        StoreAccount(ini, slot, *account, SystemSecretStore(), draw_);
        view_.SetSelectorValue(std::min(slot + 1, kHighestSlot));
        ClearBoxes();
    });
    if (outcome.IsDone() && saved) saved(slot);
    return outcome;
}

Outcome ConfigDialog::Test() {
    Outcome refused;
    std::optional<Account> account = AccountOfBoxes(refused);
    if (!account || testing_) return refused;
    testing_ = true;
    // The boxes hold the password in clear: not yet in any keyring.
    account->inKeyring = false;
    TIdPOP3 client;
    AccountTestResult result =
        TestAccount(*account, client, view_.SelectorValue(), SystemSecretStore(), {nullptr, providers_});
    testing_ = false;
    if (result.outcome.IsDone())
        dialogs_.Message(result.line);
    else
        dialogs_.Error(result.line, {});
    return result.outcome;
}

Outcome ConfigDialog::KeepDeletedChosen() {
    return RunShowingErrors(dialogs_, [&] {
        TIniFile(settings_).WriteString(texts::kSection, corbeille_texts::kEnabledKey,
                                        view_.KeepDeletedChecked() ? "1" : "0");
    });
}

void ConfigDialog::Cancel() { view_.CloseDialog(); }
