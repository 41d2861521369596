#pragma once
// The configuration dialog: one account slot after the other.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
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

    QLabel *Label1, *Label2, *Label3, *Label4;
    TRxSpinEdit* RxSpinEdit1;
    QLineEdit *Edit1, *Edit2, *Edit3;
    QPushButton *Button1, *Button2;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    std::unique_ptr<ConfigDialog> logic_;
    bool closing_ = false;
};
