#include "app/mailbox_actions.h"

#include "app/account_client.h"
#include "app/texts.h"

// Marks an action as running for its whole length; the account changes made
// meanwhile reach the client when it ends.
class MailboxActions::RunGuard {
public:
    explicit RunGuard(MailboxActions& actions) : actions_(actions), refused_(actions.running_) {
        if (!refused_) {
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
                               MainWindowView view, std::filesystem::path journal)
    : client_(client), message_(message), lists_(lists), view_(view), journal_(std::move(journal)) {
    client_.OnStatus = [this](TIdComponent&, TIdStatus, const std::string& text) {
        view_.status.SetPanelText(0, text);
    };
}

void MailboxActions::SetAccount(const Account& account) {
    account_ = account;
    if (!running_) ApplyAccount();
}

void MailboxActions::ApplyAccount() {
    applied_ = account_;
    ApplyAccountToClient(account_, client_);
}

Outcome MailboxActions::Refuse(std::string text) {
    view_.dialogs.Message(text);
    return Outcome::Refused(std::move(text));
}

Outcome MailboxActions::Scan() {
    RunGuard guard(*this);
    if (guard.Refused()) return Refuse(Ansi(texts::kActionRunning));
    return RunScan();
}

Outcome MailboxActions::Preview(int message) {
    RunGuard guard(*this);
    if (guard.Refused()) return Refuse(Ansi(texts::kActionRunning));
    bool retrieved = false, changed = false;
    Outcome outcome = InSession([&] { ShowPreview(message, retrieved, changed); });
    if (!outcome.IsDone()) return outcome;
    if (changed) view_.dialogs.Warning(Ansi(texts::kPreviewChanged));
    // The window just shows the empty message; a caller that goes on needs to know.
    if (!retrieved) return Outcome::Refused({});
    return outcome;
}

Outcome MailboxActions::Delete(int message) {
    RunGuard guard(*this);
    if (guard.Refused()) return Refuse(Ansi(texts::kActionRunning));
    Outcome deletion = RunDelete(message);
    // The grid is refreshed in every case, also after a failure or a refusal.
    Outcome scan = RunScan();
    return deletion.IsDone() ? scan : deletion;
}

Outcome MailboxActions::InSession(const std::function<void()>& steps) {
    deleted_.clear();
    try {
        client_.OpenSession();
    } catch (...) {
        return Fail(std::current_exception());
    }
    std::exception_ptr failure;
    try {
        steps();
    } catch (...) {
        failure = std::current_exception();
    }
    // The server removes the deleted messages only when it answers QUIT
    // "+OK". The close raises a "-ERR" but lets silence or a dropped line
    // pass, so the answer itself is looked at: the reply is cleared before
    // the close and must hold "+OK" after it.
    client_.LastReply.Clear();
    bool closed = true;
    try {
        client_.CloseSession();
    } catch (...) {
        closed = false;
        if (!failure) failure = std::current_exception();
    }
    const bool confirmed = closed && client_.LastReply.NumericCode() == TIdPOP3::ReplyOk;
    if (confirmed) WriteJournal();
    const bool unconfirmed = !deleted_.empty() && !confirmed;
    deleted_.clear();
    if (failure) return Fail(failure);
    // DELEs answered "+OK" delete nothing until QUIT is: never report them done.
    if (unconfirmed) {
        view_.cursor.SetBusy(false);
        std::string text = Ansi(texts::kDeletionsNotConfirmed);
        view_.dialogs.Error(text);
        return Outcome::Failed(std::move(text), {});
    }
    return Outcome::Done();
}

void MailboxActions::Deleted(int message, DeletionKind kind) {
    if (const ScanRow* row = RowOf(record_, message)) deleted_.push_back({*row, kind});
}

void MailboxActions::WriteJournal() {
    if (deleted_.empty()) return;
    try {
        AppendToJournal(journal_, Now(), applied_, deleted_);
    } catch (const EIdException& e) {
        view_.dialogs.Warning(e.Message());
    }
}

Outcome MailboxActions::Fail(const std::exception_ptr& failure) {
    std::string underlying;
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& e) {
        underlying = Trim(ErrorText(e));
    } catch (...) {
    }
    view_.cursor.SetBusy(false);
    std::string text = Ansi(texts::kCannotConnect);
    view_.dialogs.Error(text);
    return Outcome::Failed(std::move(text), std::move(underlying));
}
