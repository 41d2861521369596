#include "app/mailbox_actions.h"

#include "account/account_client.h"
#include "app/texts.h"
#include "net/anti_freeze.h"
#include "net/net_errors.h"
#include "platform/interruption.h"
#include "platform/secret_memory.h"
#include "platform/text_format.h"

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
        actions_.view_.status.SetProgress(0, 0);
        // A stop that came too late to end anything must not end the next action.
        if (Interruption::StopRequested()) Interruption::Clear();
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
                               MainWindowView view, std::filesystem::path journal,
                               std::filesystem::path lockFile)
    : client_(client),
      message_(message),
      lists_(lists),
      view_(view),
      journal_(std::move(journal)),
      lockFile_(std::move(lockFile)) {
    // A header the scan could show in part is previewed and deleted as well.
    message_.ReadPastHeaderFaults = true;
    // A server that pipelines takes the log-in and the first commands at once.
    client_.LogInAhead = true;
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

Outcome MailboxActions::Refuse(std::string text, Outcome::Fault fault) {
    view_.dialogs.Message(text);
    return Outcome::Refused(std::move(text), fault);
}

void MailboxActions::Stop() {
    if (running_) Interruption::Request(Interruption::kStopCommand);
}

Outcome MailboxActions::Begin(const RunGuard& guard, std::unique_ptr<LockFile>& lock) {
    // A box now would hold the running session up for as long as it stays
    // open: the refusal goes to the status bar.
    if (guard.Refused()) {
        std::string text = std::string(texts::kActionRunning);
        view_.status.SetPanelText(0, text);
        return Outcome::Refused(std::move(text), Outcome::Fault::Busy);
    }
    return held_ ? Outcome::Done() : TakeLock(lock);
}

Outcome MailboxActions::TakeLock(std::unique_ptr<LockFile>& lock) {
    if (lockFile_.empty()) return Outcome::Done();
    lock = TakeMailboxLock(lockFile_, lockWaitMs_);
    if (lock->Busy()) return Refuse(std::string(texts::kMailboxLocked), Outcome::Fault::Busy);
    // A folder where no lock file can be made (read-only) cannot hold a
    // second run's files either: the action goes on unguarded.
    return Outcome::Done();
}

Outcome MailboxActions::HoldLock() {
    if (held_) return Outcome::Done();
    return TakeLock(held_);
}

std::unique_ptr<LockFile> TakeMailboxLock(const std::filesystem::path& lockFile, int waitMs) {
    // The window stays live while it waits.
    return std::make_unique<LockFile>(lockFile, waitMs, [] {
        if (AntiFreezeInEffect()) RegisteredAntiFreeze()->ProcessWaitingMessages();
    });
}

std::filesystem::path MailboxLockFileFor(const std::filesystem::path& settings) {
    std::filesystem::path lock = settings;
    return lock.replace_extension(".VERROU");
}

Outcome MailboxActions::Scan(ScanReading reading) {
    RunGuard guard(*this);
    std::unique_ptr<LockFile> lock;
    if (Outcome refused = Begin(guard, lock); !refused.IsDone()) return refused;
    return RunScan(reading);
}

Outcome MailboxActions::Preview(int message) {
    RunGuard guard(*this);
    std::unique_ptr<LockFile> lock;
    if (Outcome refused = Begin(guard, lock); !refused.IsDone()) return refused;
    bool retrieved = false, changed = false;
    Outcome outcome = InSession([&] { ShowPreview(message, retrieved, changed); });
    if (!outcome.IsDone()) return outcome;
    if (changed) view_.dialogs.Warning(std::string(texts::kPreviewChanged));
    // The message is at fault, not the session: a note, no error.
    if (!unreadable_.empty()) {
        std::string parts;
        for (const std::string& name : unreadable_) parts += (parts.empty() ? "" : ", ") + name;
        view_.status.SetPanelText(
            0, FormatText(std::string(texts::kUnreadableNote), {IntToStr(message), parts}));
    }
    // The window just shows the empty message; a caller that goes on needs to know.
    if (!retrieved) return Outcome::Refused({}, Outcome::Fault::Server);
    return outcome;
}

Outcome MailboxActions::Delete(int message) {
    RunGuard guard(*this);
    std::unique_ptr<LockFile> lock;
    if (Outcome refused = Begin(guard, lock); !refused.IsDone()) return refused;
    Outcome deletion = RunDelete(message);
    if (deletion.fault == Outcome::Fault::Stopped) return deletion;
    // The grid is refreshed in every case, also after a failure or a refusal.
    Outcome scan = RunScan();
    if (!deletion.IsDone()) return deletion;
    // A journal that missed the deletion is told even when the scan went well.
    if (scan.IsDone() && deletion.fault == Outcome::Fault::LocalFile) scan.fault = deletion.fault;
    return scan;
}

void MailboxActions::OpenSession() {
    const bool oauth = applied_.authentication == AccountAuthentication::OAuth2 && tokenSupplier_;
    // A command's token is the command's business: it runs again at the next session.
    const bool renewable = oauth && Trim(applied_.tokenCommand).empty();
    Account account = applied_;
    if (oauth) {
        tokenSupplier_(account, false);
        client_.AccessToken = account.accessToken;
    }
    try {
        client_.OpenSession();
    } catch (const EIdProtocolReplyError&) {
        // A token revoked or expired before its time: one new token, one more try.
        if (!renewable) throw;
        tokenSupplier_(account, true);
        client_.AccessToken = account.accessToken;
        client_.OpenSession();
    }
}

Outcome MailboxActions::InSession(const std::function<void()>& steps) {
    deleted_.clear();
    notKept_.clear();
    journalFailed_ = false;
    // The client holds the password for the log-in alone: an action of two
    // sessions (a deletion, then the scan) gives it again for the second.
    client_.Password = applied_.password;
    try {
        OpenSession();
    } catch (...) {
        WipeSecret(client_.Password);
        return Fail(std::current_exception());
    }
    WipeSecret(client_.Password);
    std::exception_ptr failure;
    try {
        // Every session asks what the server offers: whether it takes
        // commands ahead of the answers, and UTF8, without which a server may
        // replace a message with raw UTF-8 in its header by a notice.
        client_.CapabilitiesAfterLogIn();
        client_.EnableUtf8();
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
        std::string text = std::string(texts::kDeletionsNotConfirmed);
        view_.dialogs.Error(text, {});
        return Outcome::Failed(std::move(text), {}, Outcome::Fault::Server);
    }
    // A copy that could not be kept held its message back: a local file's fault.
    if (!notKept_.empty()) {
        view_.cursor.SetBusy(false);
        view_.dialogs.Error(notKept_, {});
        return Outcome::Failed(notKept_, {}, Outcome::Fault::LocalFile);
    }
    Outcome done = Outcome::Done();
    if (journalFailed_) done.fault = Outcome::Fault::LocalFile;
    return done;
}

void MailboxActions::Deleted(int message, DeletionKind kind, std::string copy) {
    if (const ScanRow* row = RowOf(record_, message)) deleted_.push_back({*row, kind, std::move(copy)});
}

void MailboxActions::WriteJournal() {
    if (deleted_.empty()) return;
    try {
        AppendToJournal(journal_, Now(), applied_, deleted_);
    } catch (const EIdException& e) {
        journalFailed_ = true;
        view_.dialogs.Warning(e.Message());
    }
}

Outcome MailboxActions::Fail(const std::exception_ptr& failure) {
    std::string underlying, cause;
    try {
        std::rethrow_exception(failure);
    } catch (const EIdInterrupted& e) {
        if (Interruption::StopRequested()) return Stopped();
        underlying = Trim(ErrorText(e));
    } catch (const std::exception& e) {
        underlying = Trim(ErrorText(e));
        cause = CauseOf(e);
    } catch (...) {
    }
    view_.cursor.SetBusy(false);
    // The count shown belongs to the session that failed, or to an earlier
    // account: it goes, and the cause takes its place.
    view_.status.SetPanelText(0, cause.empty() ? underlying : cause);
    view_.status.SetPanelText(1, "");
    std::string details = cause.empty() ? underlying : cause + ".\n" + underlying;
    std::string text = std::string(texts::kCannotConnect);
    view_.dialogs.Error(text, details);
    return Outcome::Failed(std::move(text), std::move(underlying), FaultOf(failure));
}

Outcome MailboxActions::Stopped() {
    Interruption::Clear();
    view_.cursor.SetBusy(false);
    std::string text = std::string(texts::kStopped);
    view_.status.SetPanelText(0, text);
    return Outcome::Refused(std::move(text), Outcome::Fault::Stopped);
}
