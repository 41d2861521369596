#pragma once
// The three mailbox actions of the main window, each one POP3 session:
// the scan with the intruder purge, the preview of one message, and the
// deletion of one message followed by a scan. Every failure inside a session
// ends in the one error box "Impossible de se connecter au serveur", its
// cause as the box's details and in the status bar; the session is always
// closed once it was opened.
//
// The window stays live while an action waits on the network, so the user
// can start another one: it is refused in the status bar (no box, which
// would hold the session up), never run inside the first one's wait on the
// same client. Stop() ends the running action at its next wait: the session
// is dropped without QUIT, so nothing is deleted, and no box is shown. Another process on the same settings
// (the command line, or a second window) is kept out by a lock file: an
// action waits a few seconds for it, then is refused.
#include <exception>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "account/account_settings.h"
#include "app/deletion_journal.h"
#include "app/header_cache.h"
#include "app/main_lists.h"
#include "app/outcome.h"
#include "app/scan_record.h"
#include "app/window.h"
#include "message/message.h"
#include "platform/lock_file.h"
#include "pop3/pop3.h"

// Whether a scan may take the rows of headers it has already read from the
// header cache (fetching only what is new or changed), or reads every header.
enum class ScanReading { Cached, Whole };

class MailboxActions {
public:
    // Binds the client's status event to status panel 0. The deletions go
    // into the journal file `journal` once the server has confirmed them.
    // `lockFile`, when given, is held for the length of each action.
    MailboxActions(TIdPOP3& client, TIdMessage& message, const MainLists& lists, MainWindowView view,
                   std::filesystem::path journal, std::filesystem::path lockFile = {});

    // How long an action waits for another process to release the lock.
    static constexpr int kDefaultLockWaitMs = 5000;
    void SetLockWait(int ms) { lockWaitMs_ = ms; }
    // Takes the lock file for the rest of this object's life, so that what
    // the caller does around the actions (the command line's record of the
    // last scan) is covered too; refused as an action would be.
    Outcome HoldLock();

    // Host, port, user name and password for the next sessions. Given to the
    // client at once when no action runs, else when the running one has
    // ended, so a session never mixes two accounts.
    void SetAccount(const Account& account);
    // Gives an OAuth2 account its access token before each session; `renew`
    // asks for a new one, after the server refused the last. An empty
    // function keeps the token the account came with.
    using TokenSupplier = std::function<void(Account& account, bool renew)>;
    void SetTokenSupplier(TokenSupplier supplier) { tokenSupplier_ = std::move(supplier); }
    // The account the client holds: during an action, the one it runs with.
    const Account& CurrentAccount() const { return applied_; }

    // Each is refused (a message shown) while another action runs. A failure
    // in the session shows "Impossible de se connecter au serveur".
    // The scan takes the headers it already knows from the header cache
    // (see SetHeaderCache) unless asked to read them all again.
    Outcome Scan(ScanReading reading = ScanReading::Cached);
    // Refused without a box when the server has no such message (the pane
    // then shows the three lines of an empty message). A part whose encoding
    // broke off shows what decoded, marked "(pièce jointe illisible)", and
    // status panel 0 says which parts: the preview is still done.
    Outcome Preview(int message);
    // The deletion's refusal or failure, else the scan's outcome that follows.
    Outcome Delete(int message);

    // Keeps a copy of every message deleted from now on in the Corbeille at
    // `folder`, its limits read from `settings` at each deletion ("Corbeille=0":
    // none kept). Without this call nothing is kept.
    void SetCorbeille(std::filesystem::path folder, std::filesystem::path settings);
    // Keeps the rows of each scan in the header cache in `folder` (one file
    // per mailbox), so that the next scan of a server with unique ids asks
    // only the headers it has not seen. Without this call every header is
    // read at every scan.
    void SetHeaderCache(std::filesystem::path folder) { headerCacheFolder_ = std::move(folder); }

    bool Running() const { return running_; }
    // The stop command: ends the running action as said above (nothing when
    // none runs). Its outcome is refused with Fault::Stopped; the rows a scan
    // had read stay.
    void Stop();
    // The rows of the last scan; the grid shows them.
    const ScanRecord& Record() const { return record_; }
    // Whether a scan ran (or a record was restored): before that, a preview
    // has nothing to compare with.
    bool HasRecord() const { return haveRecord_; }
    // Takes the rows of an earlier scan as this scan's, for a caller that
    // keeps them between runs. The grid is left alone.
    void RestoreRecord(ScanRecord record);
    // The attachment names of the last preview, in the pane's order.
    const std::vector<std::string>& PreviewAttachments() const { return attachments_; }

private:
    class RunGuard;
    Outcome RunScan(ScanReading reading = ScanReading::Cached);
    void ClearRows();
    void ScanHeaders(ScanReading reading, bool& intruderFound);
    // The rows of messages 1 to `count`: those `cache` knows by the
    // listing's id and size from it, the others fetched through `fetched`,
    // each passed to `show` in the server's order. How many were fetched.
    // The header cache of the account the client holds; none without SetHeaderCache.
    HeaderCache HeaderCacheOfAccount() const;
    // Whether that cache has a file (read or not).
    bool HeaderCacheKept() const;
    int ScanWithCache(const HeaderCache& cache, const TIdPOP3::Listing& listing, int count,
                      TDateTime localOffset, const TIdPOP3::ScanEvents& fetched,
                      const std::function<void(ScanRow&&)>& show);
    // The intruders deleted, in the order sent (highest number first).
    std::vector<int> Purge();
    Outcome RunDelete(int message);
    void ShowPreview(int message, bool& retrieved, bool& changed);
    void AppendPreviewLines();
    bool HeaderChanged(int message) const;
    bool OtherMessage(int message);
    // Opens a session, runs `steps`, closes the session whatever happened;
    // a failure has been shown in the error box.
    Outcome InSession(const std::function<void()>& steps);
    // Message `message` of the record was deleted in this session; `copy`
    // names its copy in the Corbeille, or why there is none.
    void Deleted(int message, DeletionKind kind, std::string copy = {});
    // Deletes `numbers`, each after its copy was kept in the Corbeille when
    // there is one; a message not kept stays and is told after the session.
    // The numbers whose DELE went.
    std::vector<int> DeleteKeepingCopies(const std::vector<int>& numbers, DeletionKind kind);
    // The session's deletions into the journal; a failure is a warning.
    void WriteJournal();
    Outcome Fail(const std::exception_ptr& failure);
    Outcome Stopped();
    // Takes the purged messages out of the record and the grid, the others
    // numbered as the server now numbers them.
    void DropPurged(const std::vector<int>& purged);
    Outcome Refuse(std::string text, Outcome::Fault fault);
    // Done when the action may go on: not inside another one, and the lock
    // file (when there is one) held in `lock`.
    Outcome Begin(const RunGuard& guard, std::unique_ptr<LockFile>& lock);
    Outcome TakeLock(std::unique_ptr<LockFile>& lock);
    void ApplyAccount();
    // OpenSession with a fresh token for an OAuth2 account; a token the
    // server refuses is renewed once.
    void OpenSession();

    TIdPOP3& client_;
    TokenSupplier tokenSupplier_;
    TIdMessage& message_;
    const MainLists& lists_;
    MainWindowView view_;
    Account account_;  // the latest chosen
    Account applied_;  // the client's
    std::filesystem::path journal_;
    std::filesystem::path lockFile_;
    int lockWaitMs_ = kDefaultLockWaitMs;
    std::unique_ptr<LockFile> held_;           // HoldLock's
    std::vector<std::string> attachments_;     // of the last preview
    std::vector<std::string> unreadable_;      // its parts that broke off
    bool journalFailed_ = false;               // in this session
    std::vector<Deletion> deleted_;            // this session's, not yet confirmed
    std::filesystem::path corbeille_;          // empty: no copies kept
    std::filesystem::path settings_;           // the Corbeille's limits
    std::filesystem::path headerCacheFolder_;  // empty: no header cache
    std::string notKept_;                      // this session's messages not kept, told after it
    ScanRecord record_;
    bool running_ = false;
    bool haveRecord_ = false;
};

// The lock file of the mailbox actions on the settings file `settings`:
// beside it, its extension replaced by ".VERROU".
std::filesystem::path MailboxLockFileFor(const std::filesystem::path& settings);
// Takes `lockFile` as every mailbox action does: waits up to `waitMs` for
// another holder, the window handling its messages meanwhile. Busy() when
// the other kept it; not Held() without Busy() when no lock file can be
// made (a read-only folder: the action goes on unguarded).
std::unique_ptr<LockFile> TakeMailboxLock(const std::filesystem::path& lockFile, int waitMs);
