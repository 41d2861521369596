#include "app/account_sweep.h"

#include <algorithm>

#include "account/account_keyring.h"
#include "account/account_provider.h"
#include "account/account_token.h"
#include "app/mailbox_actions.h"
#include "app/memory_window.h"
#include "app/texts.h"
#include "app/watch_texts.h"
#include "platform/ini_file.h"
#include "platform/secret_store.h"
#include "platform/text.h"
#include "platform/text_format.h"
#include "pop3/pop3.h"

namespace {

// The boxes of one account's scan, kept as text: the first error (with its
// cause) is the account's failure; the purge question goes to the caller.
class QuietDialogs : public Dialogs {
public:
    explicit QuietDialogs(PurgeAnswer answer) : answer_(std::move(answer)) {}
    void Message(std::string_view text) override { Note(text, {}); }
    bool Confirm(std::string_view question, const std::vector<std::string>& items) override {
        const bool yes = answer_ && answer_(question, items);
        if (yes) asked += static_cast<int>(items.size());
        return yes;
    }
    void Error(std::string_view text, std::string_view details) override { Note(text, details); }
    void Warning(std::string_view text) override { Note(text, {}); }
    void StandardError(std::string_view text) override { Note(text, {}); }

    std::string said;
    int asked = 0;  // intruders the purge was agreed for

private:
    void Note(std::string_view text, std::string_view details) {
        if (!said.empty()) return;
        said = Trim(text);
        // The cause is the details' first line.
        if (std::string cause = Trim(PeekSplitAt(details, "\n")); !cause.empty()) {
            if (!cause.empty() && cause.back() == '.') cause.pop_back();
            said += " (" + cause + ")";
        }
    }
    PurgeAnswer answer_;
};

// Panel 0 and the progress go on to the caller's bar; the count (panel 1)
// is one account's and stays here.
class ForwardedStatus : public StatusPanels {
public:
    explicit ForwardedStatus(StatusPanels& to) : to_(to) {}
    void SetPanelText(int panel, std::string_view text) override {
        if (panel == 0) to_.SetPanelText(0, text);
    }
    void SetProgress(int done, int total) override { to_.SetProgress(done, total); }

private:
    StatusPanels& to_;
};

class NoCaption : public CaptionView {
public:
    void SetCaption(std::string_view) override {}
};

}  // namespace

struct AccountSweep::Parts {
    Parts(const AppPaths& paths, const MainLists& lists, StatusPanels& status, BusyCursor& cursor,
          PurgeAnswer answer)
        : forwarded(status),
          dialogs(std::move(answer)),
          actions(client, message, lists, MainWindowView{grid, forwarded, cursor, dialogs, caption, preview},
                  paths.journal, MailboxLockFileFor(paths.settings)) {
        actions.SetCorbeille(paths.corbeille, paths.settings);
        actions.SetHeaderCache(paths.headerCache);
        actions.SetSpamEngine(paths.spamWords, paths.settings);
    }
    MemoryGrid grid;
    ForwardedStatus forwarded;
    QuietDialogs dialogs;
    NoCaption caption;
    MemoryPreview preview;
    TIdPOP3 client;
    TIdMessage message;
    MailboxActions actions;
};

AccountSweep::AccountSweep(const AppPaths& paths, const MainLists& lists, StatusPanels& status,
                           BusyCursor& cursor, PurgeAnswer answer)
    : paths_(paths), parts_(std::make_unique<Parts>(paths_, lists, status, cursor, std::move(answer))) {}

AccountSweep::~AccountSweep() = default;

void AccountSweep::SetLockWait(int ms) { parts_->actions.SetLockWait(ms); }

void AccountSweep::Stop() {
    if (!running_) return;
    stopped_ = true;
    parts_->actions.Stop();
}

std::vector<AccountScan> AccountSweep::Run(const std::vector<int>& chosen) {
    if (running_) {
        AccountScan refused;
        refused.slot = -1;
        refused.outcome = Outcome::Refused(std::string(texts::kActionRunning), Outcome::Fault::Busy);
        refused.failure = refused.outcome.shown;
        return {refused};
    }
    running_ = true;
    stopped_ = false;
    std::vector<AccountScan> scans;
    const auto run = [&](int slot) {
        scans.push_back(ScanOne(slot));
        return !stopped_;
    };
    const auto skip = [&](int slot, const std::string& missing) {
        AccountScan& scan = scans.emplace_back();
        scan.slot = slot;
        scan.outcome = Outcome::Refused(missing, Outcome::Fault::Account);
        scan.failure = missing;
    };
    RunnableSlots(TIniFile(paths_.settings), chosen, run, skip);
    running_ = false;
    return scans;
}

AccountScan AccountSweep::ScanOne(int slot) {
    AccountScan scan;
    scan.slot = slot;
    parts_->dialogs.said.clear();
    parts_->dialogs.asked = 0;
    scan.outcome = RunShowingErrors(parts_->dialogs, [&] {
        parts_->actions.SetAccount(ReadRunAccount(paths_, slot));
        // No browser: a sweep may run unattended.
        parts_->actions.SetTokenSupplier(TokenSupplierFor(slot, [this] {
            return TokenSource{&SystemSecretStore(), ProviderTable::Read(ProviderFiles(paths_)), {}};
        }));
    });
    if (scan.outcome.IsDone()) scan.outcome = parts_->actions.Scan();
    // A refusal the user made (no purge) is no failure.
    if (!scan.outcome.IsDone() && !parts_->dialogs.said.empty())
        scan.failure = parts_->dialogs.said;
    else if (!scan.outcome.IsDone() && !scan.outcome.shown.empty())
        scan.failure = scan.outcome.shown;
    scan.rows = parts_->actions.Record();
    const auto left = std::count_if(scan.rows.begin(), scan.rows.end(),
                                    [](const ScanRow& row) { return row.status == SenderStatus::Intruder; });
    if (parts_->dialogs.asked > 0) scan.purged = std::max(0, parts_->dialogs.asked - static_cast<int>(left));
    return scan;
}

std::string SweepFailures(const std::vector<AccountScan>& scans) {
    std::string text;
    for (const AccountScan& scan : scans) {
        if (scan.failure.empty()) continue;
        if (!text.empty()) text += " ; ";
        text += scan.slot < 0 ? scan.failure
                              : FormatText(std::string(watch_texts::kAccountFailed),
                                           {IntToStr(scan.slot), scan.failure});
    }
    return text;
}

ScanRecord AllAccountRows(const std::vector<AccountScan>& scans) {
    ScanRecord rows;
    for (const AccountScan& scan : scans) rows.insert(rows.end(), scan.rows.begin(), scan.rows.end());
    return rows;
}
