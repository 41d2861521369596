// Screener, the main window's logic (the command line shares it).
#include "app/main_window.h"

#include <algorithm>
#include <ctime>

#include "account/account_import.h"
#include "account/account_keyring.h"
#include "account/account_token.h"
#include "account/settings_exposure.h"
#include "app/corbeille.h"
#include "app/deletion_journal.h"
#include "app/mailbox_actions.h"
#include "app/main_lists.h"
#include "app/print_layout.h"
#include "app/scan_cells.h"
#include "app/texts.h"
#include "app/watch_settings.h"
#include "app/watch_texts.h"
#include "message/message.h"
#include "platform/ini_file.h"
#include "platform/text.h"
#include "platform/text_format.h"
#include "pop3/pop3.h"

namespace {

// What a periodic check leaves out of the window.
class NoStatus : public StatusPanels, public BusyCursor {
public:
    void SetPanelText(int, std::string_view) override {}
    void SetProgress(int, int) override {}
    void SetBusy(bool) override {}
};

}  // namespace

struct Screener::Parts {
    Parts(const AppPaths& paths, MainWindowView view)
        : lists(paths),
          actions(client, message, lists, view, paths.journal, MailboxLockFileFor(paths.settings)),
          shownSweep(paths, lists, view.status, view.cursor,
                     [view](std::string_view question, const std::vector<std::string>& items) {
                         return view.dialogs.Confirm(question, items);
                     }),
          quietSweep(paths, lists, quiet, quiet,
                     [this](std::string_view, const std::vector<std::string>&) { return purgeQuietly; }) {
        actions.SetCorbeille(paths.corbeille, paths.settings);
        actions.SetHeaderCache(paths.headerCache);
        actions.SetSpamEngine(paths.spamWords, paths.settings);
        // A periodic check never waits for another process: the next one tries again.
        quietSweep.SetLockWait(0);
    }
    TIdPOP3 client;
    TIdMessage message;
    MainLists lists;
    MailboxActions actions;
    NoStatus quiet;
    bool purgeQuietly = false;
    AccountSweep shownSweep;
    AccountSweep quietSweep;
};

Screener::Screener(AppPaths paths, MainWindowView view)
    : paths_(std::move(paths)), view_(view), parts_(std::make_unique<Parts>(paths_, view_)) {}

Screener::~Screener() = default;

void Screener::FormCreate() {
    for (int column = 0; column < kGridColumns; ++column)
        view_.grid.SetCell(column, 0, std::string(texts::kHeadings[column]));
}

Outcome Screener::FormShow(int selector) {
    // A folder that cannot be made shows as the lists' own errors below.
    PrepareAppFolder(paths_);
    // Copies past their time go whenever the window starts.
    Corbeille(paths_.corbeille, ReadCorbeilleLimits(TIniFile(paths_.settings))).Prune(std::time(nullptr));
    Outcome account = LoadAccount(selector);
    if (!account.IsDone()) return account;
    Outcome lists = LoadLists();
    // The settings hold passwords: say so when others than the owner may read them.
    if (std::string warning = ExposureWarning(paths_); !warning.empty()) view_.dialogs.Warning(warning);
    return lists;
}

Outcome Screener::LoadAccount(int slot, const AccountOverrides& overrides) {
    return RunShowingErrors(view_.dialogs, [&] {
        Account account = ReadRunAccount(paths_, slot, overrides);
        // An OAuth2 token is asked for at each session, not here: it may
        // have expired since, and a load must not wait on a browser.
        parts_->actions.SetTokenSupplier(TokenSupplierFor(slot, [this] { return OAuthSource(); }));
        SetAccount(account);
        loadedSlot_ = slot;
        view_.caption.SetCaption(AccountCaption(account));
    });
}

TokenSource Screener::OAuthSource() const {
    return {&SystemSecretStore(), ProviderTable::Read(ProviderFiles(paths_)), opener_};
}

Outcome Screener::RefuseWhileBusy() {
    if (!Busy()) return Outcome::Done();
    std::string text = std::string(texts::kActionRunning);
    view_.status.SetPanelText(0, text);
    return Outcome::Refused(std::move(text), Outcome::Fault::Busy);
}

Outcome Screener::SelectAccount(int slot) {
    // A typed value is not clamped yet: the slot is the one the box will show.
    slot = std::clamp(slot, kLowestSlot, kHighestSlot);
    if (slot == loadedSlot_) return Outcome::Done();
    if (Outcome busy = RefuseWhileBusy(); !busy.IsDone()) return busy;
    return LoadAccount(slot);
}

Outcome Screener::FollowSelector() {
    // A running action refuses the next one by itself.
    if (!selector_ || Busy()) return Outcome::Done();
    return SelectAccount(selector_());
}

void Screener::SetAccount(const Account& account) { parts_->actions.SetAccount(account); }

Outcome Screener::LoadLists() {
    return RunShowingErrors(view_.dialogs, [&] { parts_->lists.LoadBoth(); });
}

Outcome Screener::EraseAllAccounts() {
    if (Outcome busy = RefuseWhileBusy(); !busy.IsDone()) return busy;
    if (!view_.dialogs.Confirm(std::string(texts::kEraseAllQuestion), {}))
        return Outcome::Refused({}, Outcome::Fault::None);
    Outcome erased = RunShowingErrors(view_.dialogs, [&] {
        TIniFile ini(paths_.settings);
        ::EraseAllAccounts(ini);
    });
    if (!erased.IsDone() || loadedSlot_ < 0) return erased;
    return LoadAccount(loadedSlot_);
}

Outcome Screener::Scan(ScanReading reading) {
    if (Outcome busy = RefuseWhileBusy(); !busy.IsDone()) return busy;
    if (Outcome followed = FollowSelector(); !followed.IsDone()) return followed;
    accountRows_.clear();
    Outcome outcome = parts_->actions.Scan(reading);
    DropStalePreview();
    return outcome;
}

void Screener::DropStalePreview() {
    if (!previewed_) return;
    const auto same = [this](const ScanRow& row) {
        return !previewed_->digest.empty() && row.headerDigest == previewed_->digest &&
               row.uniqueId == previewed_->uniqueId;
    };
    const auto listed = [&](int slot, const ScanRecord& rows) {
        return slot == previewed_->slot && std::any_of(rows.begin(), rows.end(), same);
    };
    bool shown = accountRows_.empty() && listed(loadedSlot_, Record());
    for (const AccountScan& scan : accountRows_) shown = shown || listed(scan.slot, scan.rows);
    if (shown) return;
    previewed_.reset();
    previewHeading_ = {};
    view_.preview.Clear();
}

Outcome Screener::Preview() {
    if (accountRows_.empty())
        if (Outcome followed = FollowSelector(); !followed.IsDone()) return followed;
    return Preview(view_.grid.CurrentRow());
}

Outcome Screener::DeleteCurrent() {
    if (accountRows_.empty())
        if (Outcome followed = FollowSelector(); !followed.IsDone()) return followed;
    const int shown = view_.grid.CurrentRow();
    // Busy: refused without a box. A row the scan did not complete: refused
    // by the deletion itself, with its reason.
    const ScanRow* row = Busy() ? nullptr : RowShown(shown);
    if (row) {
        std::string question = FormatText(std::string(texts::kDeleteQuestion),
                                          {IntToStr(row->number), ShownSender(*row), ShownSubject(*row)});
        if (ReadCorbeilleLimits(TIniFile(paths_.settings)).enabled)
            question += "\n" + std::string(texts::kDeleteKeptNote);
        if (!view_.dialogs.Confirm(question, {})) return Outcome::Refused({}, Outcome::Fault::None);
    }
    return Delete(shown);
}

void Screener::Stop() {
    parts_->actions.Stop();
    parts_->shownSweep.Stop();
    parts_->quietSweep.Stop();
}

Outcome Screener::Preview(int message) {
    if (Outcome busy = RefuseWhileBusy(); !busy.IsDone()) return busy;
    const int shown = message;
    Outcome loaded = Outcome::Done();
    if (int number = TakeAccountOfRow(message, loaded); number > 0) message = number;
    if (!loaded.IsDone()) return loaded;
    const ScanRow* row = RowShown(shown);
    previewHeading_ = row ? RowHeading(*row, AccountName(CurrentAccount())) : PrintHeading{};
    previewed_ =
        row ? Previewed{loadedSlot_, row->headerDigest, row->uniqueId} : Previewed{loadedSlot_, {}, {}};
    return parts_->actions.Preview(message);
}

Outcome Screener::Delete(int message) {
    if (Outcome busy = RefuseWhileBusy(); !busy.IsDone()) return busy;
    if (accountRows_.empty()) {
        Outcome outcome = parts_->actions.Delete(message);
        DropStalePreview();
        return outcome;
    }
    Outcome loaded = Outcome::Done();
    const int number = TakeAccountOfRow(message, loaded);
    if (!loaded.IsDone()) return loaded;
    Outcome outcome = parts_->actions.Delete(number > 0 ? number : message);
    // The scan after the deletion showed that account alone: the others come back.
    for (AccountScan& scan : accountRows_)
        if (scan.slot == loadedSlot_) scan.rows = Record();
    ShowAccountRows();
    DropStalePreview();
    return outcome;
}

int Screener::TakeAccountOfRow(int row, Outcome& loaded) {
    if (accountRows_.empty() || row < 1) return 0;
    std::size_t index = static_cast<std::size_t>(row) - 1;
    for (const AccountScan& scan : accountRows_) {
        if (index >= scan.rows.size()) {
            index -= scan.rows.size();
            continue;
        }
        if (scan.slot != loadedSlot_) loaded = LoadAccount(scan.slot);
        // The preview and the deletion compare the message with its row.
        if (loaded.IsDone()) parts_->actions.RestoreRecord(scan.rows);
        return scan.rows[index].number;
    }
    return 0;
}

const ScanRow* Screener::RowShown(int row) const {
    if (accountRows_.empty()) return RowOf(Record(), row);
    if (row < 1) return nullptr;
    std::size_t index = static_cast<std::size_t>(row) - 1;
    for (const AccountScan& scan : accountRows_) {
        if (index < scan.rows.size()) return &scan.rows[index];
        index -= scan.rows.size();
    }
    return nullptr;
}

Outcome Screener::ScanAllAccounts() {
    if (Outcome busy = RefuseWhileBusy(); !busy.IsDone()) return busy;
    std::vector<AccountScan> scans = parts_->shownSweep.Run({});
    if (scans.empty()) {
        std::string text = std::string(watch_texts::kNoAccount);
        view_.dialogs.Message(text);
        return Outcome::Refused(std::move(text), Outcome::Fault::Account);
    }
    accountRows_ = std::move(scans);
    ShowAccountRows();
    DropStalePreview();
    const std::string failures = SweepFailures(accountRows_);
    view_.status.SetPanelText(0, failures);
    if (failures.empty()) return Outcome::Done();
    return Outcome::Failed({}, failures, Outcome::Fault::Other);
}

Outcome Screener::HiddenInTray() {
    TIniFile ini(paths_.settings);
    if (TakeTrayNote(ini)) view_.dialogs.Message(std::string(watch_texts::kTrayNote));
    return Outcome::Done();
}

void Screener::ShowAccountRows() {
    const ScanRecord rows = AllAccountRows(accountRows_);
    ShowRows(view_.grid, rows);
    int shown = 0;
    for (const AccountScan& scan : accountRows_)
        for (std::size_t i = 0; i < scan.rows.size(); ++i)
            view_.grid.SetRowAccount(++shown, IntToStr(scan.slot));
    const int count = static_cast<int>(rows.size());
    view_.status.SetPanelText(
        1, count == 0
               ? std::string(texts::kNoNewMessage)
               : IntToStr(count) + std::string(count == 1 ? texts::kOneMessage : texts::kManyMessages));
}

std::vector<AccountScan> Screener::QuietSweep(const std::vector<int>& chosen, bool purge) {
    if (Busy()) {
        AccountScan refused;
        refused.slot = -1;
        refused.outcome = Outcome::Refused(std::string(texts::kActionRunning), Outcome::Fault::Busy);
        return {refused};
    }
    parts_->purgeQuietly = purge;
    return parts_->quietSweep.Run(chosen);
}

Outcome Screener::AddCurrentSender(ListKind kind) {
    const ScanRow* row = RowShown(view_.grid.CurrentRow());
    // A sender the parser refused is added by the address read from it.
    if (row && !row->unreadSender.empty()) return AddSender(kind, row->address);
    return AddSender(kind, row ? ShownSender(*row) : std::string());
}

Outcome Screener::AddSender(ListKind kind, std::string_view text) {
    // An empty entry would catch nothing, and once caught everything nameless.
    if (Trim(text).empty()) {
        std::string shown = std::string(texts::kNoSenderToAdd);
        view_.dialogs.Message(shown);
        return Outcome::Refused(std::move(shown));
    }
    // What a lost charset left ("???") would catch every sender it lost alike.
    if (IsUnreadableText(text)) {
        std::string shown = std::string(texts::kUnreadableEntry);
        view_.dialogs.Message(shown);
        return Outcome::Refused(std::move(shown));
    }
    return RunShowingErrors(view_.dialogs, [&] { parts_->lists.AddSender(kind, text); });
}

Outcome Screener::RemoveSender(ListKind kind, std::string_view text) {
    bool removed = false;
    Outcome outcome =
        RunShowingErrors(view_.dialogs, [&] { removed = parts_->lists.RemoveSender(kind, text); });
    if (!outcome.IsDone() || removed) return outcome;
    std::string shown = FormatText(std::string(texts::kNotInList), {Trim(text)});
    view_.dialogs.Message(shown);
    return Outcome::Refused(std::move(shown));
}

Outcome Screener::LoadList(ListKind kind) {
    return RunShowingErrors(view_.dialogs, [&] { parts_->lists.Reload(kind); });
}

Outcome Screener::OpenHelp(Shell& shell, DocumentViews& documents) {
    if (!shell.Open(paths_.help)) documents.ShowHelp(paths_.help);
    return Outcome::Done();
}

Outcome Screener::OpenJournal(Shell& shell, DocumentViews& documents) {
    if (!std::filesystem::exists(paths_.journal)) {
        std::string shown = std::string(texts::kJournalEmpty);
        view_.dialogs.Message(shown);
        return Outcome::Refused(std::move(shown));
    }
    if (shell.Open(paths_.journal)) return Outcome::Done();
    std::vector<JournalEntry> entries;
    Outcome outcome = RunShowingErrors(view_.dialogs, [&] { entries = ReadJournal(paths_.journal); });
    if (outcome.IsDone()) documents.ShowJournal(entries);
    return outcome;
}

Outcome Screener::EmptyList(ListKind kind) {
    parts_->lists.Empty(kind);
    return Outcome::Done();
}

std::unique_ptr<ListDialog> Screener::MakeListDialog(ListKind kind, ListBoxView& box) {
    return parts_->lists.MakeDialog(kind, box, view_.dialogs);
}

std::unique_ptr<ConfigDialog> Screener::MakeConfigDialog(ConfigDialogView& view) {
    auto dialog = std::make_unique<ConfigDialog>(paths_.settings, view, view_.dialogs);
    dialog->SetProviderFiles(ProviderFiles(paths_));
    // The loaded account saved anew is used at once.
    dialog->saved = [this](int slot) {
        if (slot == loadedSlot_) LoadAccount(slot);
    };
    return dialog;
}

Outcome Screener::ImportAccounts(Registry& registry, const std::function<void()>& showConfigDialog,
                                 ImportResult* written) {
    ImportResult local;
    ImportResult& result = written ? *written : local;
    Outcome outcome =
        RunShowingErrors(view_.dialogs, [&] { result = ::ImportAccounts(registry, paths_.settings); });
    if (!outcome.IsDone()) return outcome;
    if (result.found == 0) {
        std::string text = std::string(texts::kImportFailed);
        view_.dialogs.Message(text);
        return Outcome::Refused(std::move(text));
    }
    view_.dialogs.Message(ImportSuccessText(result));
    if (showConfigDialog) showConfigDialog();
    return outcome;
}

Outcome Screener::PrintGrid(Printer& printer) {
    return RunShowingErrors(view_.dialogs, [&] { PrintHeaderGrid(printer, view_.grid); });
}

Outcome Screener::PrintMessage(Printer& printer) {
    return RunShowingErrors(view_.dialogs, [&] {
        PrintMessageLines(printer, view_.preview.Lines(), view_.preview.Font(), previewHeading_);
    });
}

Outcome Screener::RequireConfiguredAccount(int slot) {
    const Account& account = CurrentAccount();
    if (CanLogIn(account)) return Outcome::Done();
    std::string text = FormatText(std::string(texts::kAccountNotConfigured), {IntToStr(slot)});
    view_.dialogs.Error(text, {});
    return Outcome::Refused(std::move(text), Outcome::Fault::Account);
}

void Screener::SetActionLockWait(int ms) { parts_->actions.SetLockWait(ms); }
void Screener::SetPurgeSuspects(bool on) { parts_->actions.SetPurgeSuspects(on); }
Outcome Screener::HoldMailboxLock() { return parts_->actions.HoldLock(); }

void Screener::SetCommandObserver(std::function<void(const std::string& line)> observer) {
    parts_->client.OnCommand = std::move(observer);
}

const std::vector<std::string>& Screener::PreviewAttachments() const {
    return parts_->actions.PreviewAttachments();
}

bool Screener::Busy() const {
    return parts_->actions.Running() || parts_->shownSweep.Running() || parts_->quietSweep.Running();
}
const Account& Screener::CurrentAccount() const { return parts_->actions.CurrentAccount(); }
const ScanRecord& Screener::Record() const { return parts_->actions.Record(); }
bool Screener::HasRecord() const { return parts_->actions.HasRecord(); }
void Screener::RestoreRecord(ScanRecord record) { parts_->actions.RestoreRecord(std::move(record)); }
std::string Screener::StatusOf(std::string_view shown, std::string_view address) const {
    return std::string(StatusMark(parts_->lists.StatusOf({shown, address})));
}
