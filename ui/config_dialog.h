// TForm3, the configuration dialog.
#pragma once
// The configuration dialog: one account slot after the other.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <memory>

#include "app/config_dialog.h"
#include "app/watch_settings_part.h"
#include "ui/fixed_dialog.h"
#include "ui/spin_edit.h"

class Screener;
class QCheckBox;

class TForm3 : public FixedDialog, public ConfigDialogView, public WatchSettingsView {
    Q_OBJECT
public:
    TForm3(Screener& screener, QtDialogs& dialogs);

    std::string ServerText() const override;
    std::string UserText() const override;
    std::string PasswordText() const override;
    void SetServerText(std::string_view text) override;
    void SetUserText(std::string_view text) override;
    void SetPasswordText(std::string_view text) override;
    int SelectorValue() const override;
    void SetSelectorValue(int value) override;
    void FocusServer() override;
    void CloseDialog() override;
    int PortValue() const override;
    void SetPortValue(int port) override;
    AccountSecurity SecurityValue() const override;
    void SetSecurityValue(AccountSecurity security) override;
    std::string FingerprintText() const override;
    void SetFingerprintText(std::string_view text) override;
    std::string AddressText() const override;
    AccountAuthentication AuthenticationValue() const override;
    void SetAuthenticationValue(AccountAuthentication authentication) override;
    std::string ClientIdText() const override;
    void SetClientIdText(std::string_view text) override;
    bool OAuthBearerChosen() const override;
    void SetOAuthBearerChosen(bool chosen) override;
    void EnableOAuthBoxes(bool enabled) override;
    bool KeyringChosen() const override;
    void SetKeyringChosen(bool chosen) override;

    bool KeepDeletedChecked() const override;
    void SetKeepDeletedChecked(bool keep) override;
    int MinutesValue() const override;
    void SetMinutesValue(int minutes) override;
    std::string AccountsText() const override;
    void SetAccountsText(std::string_view text) override;
    bool PurgeChecked() const override;
    void SetPurgeChecked(bool purge) override;

    // The client area: the table's 348 x 222, below it the connection, then
    // the address that fills the rest, how the account logs in (with OAuth2's
    // client id and mechanism), where its password is kept, and the Corbeille
    // box; under them the periodic checks.
    static constexpr QSize kClientSize{348, 572};

    QLabel *Label1, *Label2, *Label3, *Label4;
    TRxSpinEdit* RxSpinEdit1;
    QLineEdit *Edit1, *Edit2, *Edit3;
    QPushButton *Button1, *Button2;
    QPushButton* TestButton;  // "Tester"
    // How the account reaches its server, below the account's own boxes.
    QLabel *PortLabel, *SecurityLabel, *FingerprintLabel;
    QSpinBox* PortBox;
    QComboBox* SecurityBox;
    QLineEdit* FingerprintEdit;
    QLabel *AddressLabel, *AuthenticationLabel;
    QLineEdit* AddressEdit;
    QComboBox* AuthenticationBox;
    // OAuth2 only: the client id ("IdClient") and the mechanism ("Mecanisme").
    QLabel *ClientIdLabel, *MechanismLabel;
    QLineEdit* ClientIdEdit;
    QComboBox* MechanismBox;
    QCheckBox* KeyringBox;  // the password in the desktop's keyring
    QCheckBox* KeepDeletedBox;
    // "Surveillance": every how many minutes, which accounts, the purge.
    QSpinBox* MinutesBox;
    QLineEdit* AccountsEdit;
    QCheckBox* PurgeBox;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Describe();

private:
    std::unique_ptr<ConfigDialog> logic_;
    std::unique_ptr<WatchSettingsPart> watch_;
    void BuildWatchPart();
    bool closing_ = false;
    AccountSecurity shownSecurity_ = AccountSecurity::Tls;
};
