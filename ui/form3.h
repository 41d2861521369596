#pragma once
// The configuration dialog: one account slot after the other.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <memory>

#include "app/config_dialog.h"
#include "ui/fixed_dialog.h"
#include "ui/rx_spin_edit.h"

class Screener;

class TForm3 : public FixedDialog, public ConfigDialogView {
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

    // The client area: the table's 348 x 222, and below it the connection.
    static constexpr QSize kClientSize{348, 318};

    QLabel *Label1, *Label2, *Label3, *Label4;
    TRxSpinEdit* RxSpinEdit1;
    QLineEdit *Edit1, *Edit2, *Edit3;
    QPushButton *Button1, *Button2;
    // How the account reaches its server, below the account's own boxes.
    QLabel *PortLabel, *SecurityLabel, *FingerprintLabel;
    QSpinBox* PortBox;
    QComboBox* SecurityBox;
    QLineEdit* FingerprintEdit;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Describe();

private:
    std::unique_ptr<ConfigDialog> logic_;
    bool closing_ = false;
    AccountSecurity shownSecurity_ = AccountSecurity::Tls;
};
