#pragma once
// The three mailbox actions of the main window, each one POP3 session:
// the scan with the intruder purge, the preview of one message, and the
// deletion of one message followed by a scan. Every failure inside a session
// ends in the one error box "Impossible de se connecter au serveur"; the
// session is always closed once it was opened.
//
// The window stays live while an action waits on the network, so the user
// can start another one: it is refused with a message, never run inside the
// first one's wait on the same client.
#include <exception>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/account_settings.h"
#include "app/deletion_journal.h"
#include "app/main_lists.h"
#include "app/outcome.h"
#include "app/scan_record.h"
#include "app/window.h"
#include "message/message.h"
#include "pop3/pop3.h"

class MailboxActions {
public:
    // Binds the client's status event to status panel 0. The deletions go
    // into the journal file `journal` once the server has confirmed them.
    MailboxActions(TIdPOP3& client, TIdMessage& message, const MainLists& lists, MainWindowView view,
                   std::filesystem::path journal);

    // Host, port, user name and password for the next sessions. Given to the
    // client at once when no action runs, else when the running one has
    // ended, so a session never mixes two accounts.
    void SetAccount(const Account& account);
    // The account the client holds: during an action, the one it runs with.
    const Account& CurrentAccount() const { return applied_; }

    // Each is refused (a message shown) while another action runs. A failure
    // in the session shows "Impossible de se connecter au serveur".
    Outcome Scan();
    // Refused without a box when the server has no such message (the pane
    // then shows the three lines of an empty message).
    Outcome Preview(int message);
    // The deletion's refusal or failure, else the scan's outcome that follows.
    Outcome Delete(int message);

    bool Running() const { return running_; }
    // The rows of the last scan; the grid shows them.
    const ScanRecord& Record() const { return record_; }
    // Whether a scan ran (or a record was restored): before that, a preview
    // has nothing to compare with.
    bool HasRecord() const { return haveRecord_; }
    // Takes the rows of an earlier scan as this scan's, for a caller that
    // keeps them between runs. The grid is left alone.
    void RestoreRecord(ScanRecord record);

private:
    class RunGuard;
    Outcome RunScan();
    void ClearRows();
    void ScanHeaders(bool& intruderFound);
    ScanRow RowFromHeader(int i) const;
    void Purge();
    Outcome RunDelete(int message);
    void ShowPreview(int message, bool& retrieved, bool& changed);
    void AppendPreviewLines();
    bool HeaderChanged(int message) const;
    bool OtherMessage(int message);
    // Opens a session, runs `steps`, closes the session whatever happened;
    // a failure has been shown in the error box.
    Outcome InSession(const std::function<void()>& steps);
    // Message `message` of the record was deleted in this session.
    void Deleted(int message, DeletionKind kind);
    // The session's deletions into the journal; a failure is a warning.
    void WriteJournal();
    Outcome Fail(const std::exception_ptr& failure);
    Outcome Refuse(std::string text);
    void ApplyAccount();

    TIdPOP3& client_;
    TIdMessage& message_;
    const MainLists& lists_;
    MainWindowView view_;
    Account account_;  // the latest chosen
    Account applied_;  // the client's
    std::filesystem::path journal_;
    std::vector<Deletion> deleted_;  // this session's, not yet confirmed
    ScanRecord record_;
    bool running_ = false;
    bool haveRecord_ = false;
};
