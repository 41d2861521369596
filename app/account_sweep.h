#pragma once
// Several accounts scanned in turn, each in its own session, for the
// all-accounts scan of the window and for the periodic checks. Nothing here
// opens a box but the intruder question, which the caller answers: a failure
// is told in the account's result, and an account that fails does not stop
// the others. The sweep has its own client, so the window's account and its
// last scan stay as they were; the lock file is the window's, so no other
// process on the same settings runs meanwhile.
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "account/account_overrides.h"
#include "account/account_settings.h"
#include "account/app_paths.h"
#include "app/main_lists.h"
#include "app/outcome.h"
#include "app/scan_record.h"
#include "app/window.h"

// One account's part of a sweep.
struct AccountScan {
    int slot = 0;
    // What the scan left on the server, numbered as the server numbers it.
    ScanRecord rows;
    // Intruders deleted by this scan.
    int purged = 0;
    Outcome outcome;
    // What went wrong, as the user reads it ("" when the scan went well).
    std::string failure;
};

// Answers the purge question: its text and the messages it names.
using PurgeAnswer = std::function<bool(std::string_view question, const std::vector<std::string>& items)>;

class AccountSweep {
public:
    // The running account's connection status and progress go to `status`
    // (panel 0) and `cursor`; `answer` decides each purge.
    AccountSweep(const AppPaths& paths, const MainLists& lists, StatusPanels& status, BusyCursor& cursor,
                 PurgeAnswer answer);
    ~AccountSweep();
    AccountSweep(const AccountSweep&) = delete;
    AccountSweep& operator=(const AccountSweep&) = delete;

    // Scans the accounts RunnableSlots goes through for `chosen` (empty:
    // every one); a half-filled slot's result is refused with what it
    // lacks. Refused as a whole (one result, slot -1) while a sweep already
    // runs.
    std::vector<AccountScan> Run(const std::vector<int>& chosen);
    bool Running() const { return running_; }
    // Ends the running scan at its next wait; the accounts after it are not scanned.
    void Stop();
    // How long a scan waits for another process holding the lock.
    void SetLockWait(int ms);

private:
    AccountScan ScanOne(int slot);

    struct Parts;
    AppPaths paths_;
    std::unique_ptr<Parts> parts_;
    bool running_ = false;
    bool stopped_ = false;
};

// "Compte 2 : Impossible de se connecter au serveur (Serveur injoignable)"
// for each failed account, joined with " ; "; empty when none failed.
std::string SweepFailures(const std::vector<AccountScan>& scans);

// Every account's rows in turn, as the all-accounts grid shows them.
ScanRecord AllAccountRows(const std::vector<AccountScan>& scans);
