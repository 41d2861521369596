// Screener, the main window's logic (the command line shares it).
#include "app/main_window.h"

#include <algorithm>
#include <ctime>

#include "app/account_import.h"
#include "app/account_keyring.h"
#include "app/account_token.h"
#include "app/corbeille.h"
#include "app/deletion_journal.h"
#include "app/mailbox_actions.h"
#include "app/main_lists.h"
#include "app/print_layout.h"
#include "app/scan_cells.h"
#include "app/settings_exposure.h"
#include "app/texts.h"
#include "message/message.h"
#include "platform/ini_file.h"
#include "platform/text.h"
#include "platform/text_format.h"
#include "pop3/pop3.h"

struct Screener::Parts {
    Parts(const AppPaths& paths, MainWindowView view)
        : lists(paths),
          actions(client, message, lists, view, paths.journal, MailboxLockFileFor(paths.settings)) {
        actions.SetCorbeille(paths.corbeille, paths.settings);
    }
    TIdPOP3 client;
    TIdMessage message;
    MainLists lists;
    MailboxActions actions;
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
        Account stored = ReadAccount(TIniFile(paths_.settings), slot);
        // The keyring is asked only for a password that goes to its own server.
        if (!NeedsPasswordForRun(stored, overrides)) FetchKeyringPassword(stored, slot, SystemSecretStore());
        FetchAccessToken(stored, slot);
        Account account = WithOverrides(std::move(stored), overrides, slot);
        SetAccount(account);
        loadedSlot_ = slot;
        view_.caption.SetCaption(AccountCaption(account));
    });
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

Outcome Screener::Scan() {
    if (Outcome followed = FollowSelector(); !followed.IsDone()) return followed;
    return parts_->actions.Scan();
}

Outcome Screener::Preview() {
    if (Outcome followed = FollowSelector(); !followed.IsDone()) return followed;
    return Preview(view_.grid.CurrentRow());
}

Outcome Screener::DeleteCurrent() {
    if (Outcome followed = FollowSelector(); !followed.IsDone()) return followed;
    const int message = view_.grid.CurrentRow();
    // Busy: refused without a box. A row the scan did not complete: refused
    // by the deletion itself, with its reason.
    const ScanRow* row = Busy() ? nullptr : RowOf(Record(), message);
    if (row) {
        std::string question = FormatText(std::string(texts::kDeleteQuestion),
                                          {IntToStr(message), ShownSender(*row), row->subject});
        if (ReadCorbeilleLimits(TIniFile(paths_.settings)).enabled)
            question += "\n" + std::string(texts::kDeleteKeptNote);
        if (!view_.dialogs.Confirm(question, {})) return Outcome::Refused({}, Outcome::Fault::None);
    }
    return Delete(message);
}

void Screener::Stop() { parts_->actions.Stop(); }
Outcome Screener::Preview(int message) { return parts_->actions.Preview(message); }
Outcome Screener::Delete(int message) { return parts_->actions.Delete(message); }

Outcome Screener::AddCurrentSender(ListKind kind) {
    const ScanRow* row = RowOf(parts_->actions.Record(), view_.grid.CurrentRow());
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
    return RunShowingErrors(view_.dialogs,
                            [&] { PrintMessageLines(printer, view_.preview.Lines(), view_.preview.Font()); });
}

Outcome Screener::RequireConfiguredAccount(int slot) {
    const Account& account = CurrentAccount();
    if (account.configured && !Trim(account.host).empty() && !account.user.empty()) return Outcome::Done();
    std::string text = FormatText(std::string(texts::kAccountNotConfigured), {IntToStr(slot)});
    view_.dialogs.Error(text, {});
    return Outcome::Refused(std::move(text), Outcome::Fault::Account);
}

void Screener::SetActionLockWait(int ms) { parts_->actions.SetLockWait(ms); }
Outcome Screener::HoldMailboxLock() { return parts_->actions.HoldLock(); }

void Screener::SetCommandObserver(std::function<void(const std::string& line)> observer) {
    parts_->client.OnCommand = std::move(observer);
}

const std::vector<std::string>& Screener::PreviewAttachments() const {
    return parts_->actions.PreviewAttachments();
}

bool Screener::Busy() const { return parts_->actions.Running(); }
const Account& Screener::CurrentAccount() const { return parts_->actions.CurrentAccount(); }
const ScanRecord& Screener::Record() const { return parts_->actions.Record(); }
bool Screener::HasRecord() const { return parts_->actions.HasRecord(); }
void Screener::RestoreRecord(ScanRecord record) { parts_->actions.RestoreRecord(std::move(record)); }
std::string Screener::StatusOf(std::string_view shown, std::string_view address) const {
    return std::string(StatusMark(parts_->lists.StatusOf({shown, address})));
}
