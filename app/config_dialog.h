#pragma once
// The configuration dialog's logic: enter the accounts of the settings file
// one slot after the other. The boxes are the dialog's; nothing is kept here.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "account/account_authentication.h"
#include "account/account_provider.h"
#include "account/account_security.h"
#include "account/account_settings.h"
#include "account/password_scramble.h"
#include "app/outcome.h"
#include "app/window.h"

// The configuration dialog's boxes and selector (slot 0 to 10).
class ConfigDialogView {
public:
    virtual ~ConfigDialogView() = default;
    virtual std::string ServerText() const = 0;
    virtual std::string UserText() const = 0;
    virtual std::string PasswordText() const = 0;
    virtual void SetServerText(std::string_view text) = 0;
    virtual void SetUserText(std::string_view text) = 0;
    virtual void SetPasswordText(std::string_view text) = 0;
    // The value read from the selector's text, which is not clamped: a typed
    // "15" reads as 15.
    // The account's port (a number box, 1 to 65535), its security (a choice
    // of TLS, STLS and none) and its trusted certificate's fingerprint.
    virtual int PortValue() const = 0;
    virtual void SetPortValue(int port) = 0;
    virtual AccountSecurity SecurityValue() const = 0;
    virtual void SetSecurityValue(AccountSecurity security) = 0;
    virtual std::string FingerprintText() const = 0;
    virtual void SetFingerprintText(std::string_view text) = 0;
    // The e-mail address that fills the rest, and how the account logs in.
    virtual std::string AddressText() const = 0;
    virtual AccountAuthentication AuthenticationValue() const = 0;
    virtual void SetAuthenticationValue(AccountAuthentication authentication) = 0;
    // The OAuth2 client id and whether the log-in uses OAUTHBEARER rather
    // than XOAUTH2; the two boxes take input only for an OAuth2 account.
    virtual std::string ClientIdText() const = 0;
    virtual void SetClientIdText(std::string_view text) = 0;
    virtual bool OAuthBearerChosen() const = 0;
    virtual void SetOAuthBearerChosen(bool chosen) = 0;
    virtual void EnableOAuthBoxes(bool enabled) = 0;
    // Whether the password goes to the desktop's keyring.
    virtual bool KeyringChosen() const = 0;
    virtual void SetKeyringChosen(bool chosen) = 0;
    virtual int SelectorValue() const = 0;
    // Clamped to 0..10 by the selector.
    virtual void SetSelectorValue(int value) = 0;
    virtual void FocusServer() = 0;
    virtual void CloseDialog() = 0;
    // The box that keeps a copy of every deleted message in the Corbeille.
    virtual bool KeepDeletedChecked() const = 0;
    virtual void SetKeepDeletedChecked(bool keep) = 0;
};

class ConfigDialog {
public:
    ConfigDialog(std::filesystem::path settings, ConfigDialogView& view, Dialogs& dialogs,
                 FillerDraw draw = RandomFillerDraw)
        : settings_(std::move(settings)), view_(view), dialogs_(dialogs), draw_(std::move(draw)) {}

    // The table of providers read again, empty boxes (a new account: TLS on
    // port 995, no fingerprint, the password in the keyring when one answers),
    // focus in the server box, selector on "Nbre" + 1 (clamped); the
    // Corbeille box as the settings say.
    void Show();
    // Loads the selector's slot into the boxes (the password in clear, from
    // the keyring when it is kept there: a keyring that cannot give it is
    // the standard error box); a slot without a server shows a new
    // account's connection.
    void SelectorClick();
    // The table an address fills the account from (none: nothing fills);
    // or the files Show reads it from, each time the dialog opens.
    void SetProviders(ProviderTable providers) { providers_ = std::move(providers); }
    void SetProviderFiles(std::vector<std::filesystem::path> files) { providerFiles_ = std::move(files); }
    // The address was entered: a domain of the table fills the server, user
    // name, port, security and authentication, and the client id and
    // mechanism the table gives its server (else none and XOAUTH2), and
    // clears the fingerprint; any other address empties the server and user
    // name boxes. The boxes stay the user's to change.
    void AddressEntered();
    // The authentication choice changed: the client id and mechanism boxes
    // take input for OAuth2 only.
    void AuthenticationChosen();
    // The security choice changed: a port that was the old choice's default
    // becomes the new one's.
    void SecurityChosen(AccountSecurity previous);
    // "Enregistrer": refuses empty boxes (the password box may be empty
    // for OAuth2), a password longer than 255 bytes,
    // a port outside 1..65535 and a fingerprint that is not one (a message,
    // nothing written); otherwise writes the slot, moves the selector to the
    // next slot and empties the boxes. A selector typed out of range saves
    // the slot it shows once clamped (0 to 10), never a slot no selector can
    // reach. The password goes to the keyring when that is chosen (for
    // the password method), else to the file. The client id and mechanism
    // are saved for OAuth2 only. A file or a keyring that refuses the
    // write: the standard error box.
    Outcome Save();
    // "Tester": the boxes as "Enregistrer" checks them, tried on their server
    // (log-in, STAT, QUIT) without writing anything; the one line that
    // says what worked (a message) or what failed (an error box). A click
    // while a test runs does nothing.
    Outcome Test();
    // The Corbeille box changed: "Corbeille" written at once (1 or 0), for
    // every account. A file that refuses the write: the standard error box.
    Outcome KeepDeletedChosen();
    // "Annuler": closes the dialog, writes nothing.
    void Cancel();

    // Told the slot each successful save wrote.
    std::function<void(int slot)> saved;

private:
    void ClearBoxes();
    // The account the boxes hold; nothing, with `refused` set and the
    // reason shown, when they cannot be saved as they are.
    std::optional<Account> AccountOfBoxes(Outcome& refused);
    Outcome Refuse(std::string text);
    void ShowConnection(int port, AccountSecurity security, std::string_view fingerprint,
                        AccountAuthentication authentication = AccountAuthentication::Password,
                        std::string_view clientId = {}, bool oauthBearer = false);

    std::filesystem::path settings_;
    // The stored password as its bytes and as the box shows it: saved
    // unchanged, it keeps its bytes (an old program's Windows-1252).
    std::string storedPassword_, shownPassword_;
    ConfigDialogView& view_;
    Dialogs& dialogs_;
    FillerDraw draw_;
    ProviderTable providers_;
    std::vector<std::filesystem::path> providerFiles_;
    bool testing_ = false;
    bool keyringReachable_ = false;  // at Show
};
