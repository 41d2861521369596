#include "app/mailbox_actions.h"

#include "app/account_client.h"
#include "app/texts.h"

// Marks an action as running for its whole length; the account changes made
// meanwhile reach the client when it ends.
class MailboxActions::RunGuard {
public:
    explicit RunGuard(MailboxActions& actions) : actions_(actions), refused_(actions.running_) {
        if (refused_) {
            actions_.view_.dialogs.Message(Ansi(texts::kActionRunning));
        } else {
            actions_.running_ = true;
            actions_.ApplyAccount();
        }
    }
    ~RunGuard() {
        if (refused_) return;
        actions_.running_ = false;
        actions_.ApplyAccount();
    }
    RunGuard(const RunGuard&) = delete;
    RunGuard& operator=(const RunGuard&) = delete;
    bool Refused() const { return refused_; }

private:
    MailboxActions& actions_;
    bool refused_;
};

MailboxActions::MailboxActions(TIdPOP3& client, TIdMessage& message, const MainLists& lists,
                               MainWindowView view)
    : client_(client), message_(message), lists_(lists), view_(view) {
    client_.OnStatus = [this](TIdComponent&, TIdStatus, const std::string& text) {
        view_.status.SetPanelText(0, text);
    };
}

void MailboxActions::SetAccount(const Account& account) {
    account_ = account;
    if (!running_) ApplyAccount();
}

void MailboxActions::ApplyAccount() { ApplyAccountToClient(account_, client_); }

bool MailboxActions::Scan() {
    RunGuard guard(*this);
    if (guard.Refused()) return false;
    RunScan();
    return true;
}

bool MailboxActions::Preview(int message) {
    RunGuard guard(*this);
    if (guard.Refused()) return false;
    bool changed = false;
    previewRetrieved_ = false;
    if (InSession([&] { ShowPreview(message, changed); }) && changed)
        view_.dialogs.Warning(Ansi(texts::kPreviewChanged));
    return true;
}

bool MailboxActions::Delete(int message) {
    RunGuard guard(*this);
    if (guard.Refused()) return false;
    RunDelete(message);
    // The grid is refreshed in every case, also after a failure or a refusal.
    RunScan();
    return true;
}

bool MailboxActions::InSession(const std::function<void()>& steps) {
    try {
        client_.OpenSession();
    } catch (...) {
        Fail(std::current_exception());
        return false;
    }
    std::exception_ptr failure;
    try {
        steps();
    } catch (...) {
        failure = std::current_exception();
    }
    try {
        client_.CloseSession();
    } catch (...) {
        if (!failure) failure = std::current_exception();
    }
    if (failure) {
        Fail(failure);
        return false;
    }
    lastFailure_.clear();
    return true;
}

void MailboxActions::Fail(const std::exception_ptr& failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& e) {
        lastFailure_ = e.what();
    } catch (...) {
        lastFailure_.clear();
    }
    view_.cursor.SetBusy(false);
    view_.dialogs.Error(Ansi(texts::kCannotConnect));
}
