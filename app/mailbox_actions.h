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
#include <functional>
#include <string>

#include "app/account_settings.h"
#include "app/main_lists.h"
#include "app/scan_record.h"
#include "app/window.h"
#include "message/message.h"
#include "pop3/pop3.h"

class MailboxActions {
public:
    // Binds the client's status event to status panel 0.
    MailboxActions(TIdPOP3& client, TIdMessage& message, const MainLists& lists, MainWindowView view);

    // Host, user name and password for the next sessions. Given to the client
    // at once when no action runs, else when the running one has ended, so a
    // session never mixes two accounts.
    void SetAccount(const Account& account);

    // Each returns false when refused because another action runs.
    bool Scan();
    bool Preview(int message);
    bool Delete(int message);

    bool Running() const { return running_; }
    const ScanRecord& Record() const { return record_; }
    // Whether a scan ran (or a record was restored): before that, a preview
    // has nothing to compare with.
    bool HasRecord() const { return haveRecord_; }
    // Puts back the rows of an earlier scan (grid and record), for a caller
    // that keeps them between runs.
    void RestoreRecord(ScanRecord record);
    // The message of the error behind the last failure box, empty after a
    // success (for callers that report more than the box says).
    const std::string& LastFailure() const { return lastFailure_; }
    // Whether the last preview's message was there (the server may refuse
    // the number without an error: the pane then shows three lines).
    bool PreviewRetrieved() const { return previewRetrieved_; }

private:
    class RunGuard;
    void RunScan();
    void ClearGrid();
    void ScanHeaders(bool& intruderFound);
    void FillRow(int i);
    void Purge();
    void RunDelete(int message);
    void ShowPreview(int message, bool& changed);
    void AppendPreviewLines();
    bool HeaderChanged(int message) const;
    // Opens a session, runs `steps`, closes the session whatever happened;
    // true on success, else the failure box has been shown.
    bool InSession(const std::function<void()>& steps);
    void Fail(const std::exception_ptr& failure);
    void ApplyAccount();

    TIdPOP3& client_;
    TIdMessage& message_;
    const MainLists& lists_;
    MainWindowView view_;
    Account account_;
    ScanRecord record_;
    std::string lastFailure_;
    bool running_ = false;
    bool haveRecord_ = false;
    bool previewRetrieved_ = false;
};
