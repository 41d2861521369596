// Screener, the main window's logic (the command line shares it).
#pragma once
// The main window's logic, one call per handler. It owns the POP3 client,
// the message object, the two lists and the rows of the last scan, and
// reaches the window through the interfaces of window.h. Every call shows
// its own failure (the standard error box, or for a mailbox action the box
// "Impossible de se connecter au serveur") and returns the outcome; nothing
// is thrown to the caller.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "account/account_import.h"
#include "account/account_overrides.h"
#include "account/account_settings.h"
#include "account/account_token.h"
#include "account/app_paths.h"
#include "app/account_sweep.h"
#include "app/config_dialog.h"
#include "app/list_dialog.h"
#include "app/list_kind.h"
#include "app/mailbox_actions.h"
#include "app/outcome.h"
#include "app/print_layout.h"
#include "app/scan_record.h"
#include "app/window.h"
#include "app/window_state.h"
#include "platform/printer.h"
#include "platform/registry.h"
#include "platform/shell.h"

class Screener {
public:
    Screener(AppPaths paths, MainWindowView view);
    ~Screener();
    Screener(const Screener&) = delete;
    Screener& operator=(const Screener&) = delete;

    // Writes the grid's heading row.
    void FormCreate();
    // Loads the account of `selector`, then the lists; stops at the first
    // list file that cannot be read. A first start (no list folder) makes
    // the folder and its two empty lists first, owner-only.
    Outcome FormShow(int selector);
    // The slot's account for the client, and the caption. `overrides`
    // replace some of the slot's values for this run.
    Outcome LoadAccount(int slot, const AccountOverrides& overrides = {});
    // The selector's value, typed or stepped: loads the slot unless it is
    // the one loaded. During a mailbox action the account in use stays: the
    // refusal goes to the status bar, and the next action loads the slot.
    Outcome SelectAccount(int slot);
    // How the mailbox actions read the selector: each loads its value first
    // when it is not the loaded slot, so the account shown is the one used.
    void WatchSelector(std::function<int()> selector) { selector_ = std::move(selector); }
    // How an OAuth2 account's authorization reaches the user's browser; none
    // (the default) never goes there: an account not yet authorized fails.
    void SetAuthorizationOpener(AuthorizationOpener opener) { opener_ = std::move(opener); }
    // Where the program's own OAuth2 flow finds the keyring, the endpoints
    // and the opener.
    TokenSource OAuthSource() const;
    // Puts an account in place directly (what a load would have read).
    void SetAccount(const Account& account);
    // The friend list, then the intruder list, each replaced by its file;
    // stops at the first that cannot be read.
    Outcome LoadLists();
    // "Tout effacer": asks first ("&Non" the default), then erases and
    // reloads the loaded slot, so the caption says it is not configured.
    Outcome EraseAllAccounts();

    // "En-têtes", "Aperçu", "Supprimer": the grid's current row, on the
    // selector's account. "Supprimer" asks first, naming the message.
    // "En-têtes (tout relire)" reads every header again (ScanReading::Whole).
    Outcome Scan(ScanReading reading = ScanReading::Cached);
    Outcome Preview();
    Outcome DeleteCurrent();
    // The same for a message number, on the loaded account, without asking.
    Outcome Preview(int message);
    Outcome Delete(int message);
    // "Arrêter" (Esc): ends the running mailbox action at once; see
    // MailboxActions::Stop.
    void Stop();

    // "En-têtes de tous les comptes": every configured account scanned in
    // turn, the grid showing all their rows, each with its account; an
    // account that fails does not stop the others and is told in the status
    // bar. Until the next scan of one account, the preview, the deletion
    // and the lists' additions act on the account of the grid's row.
    Outcome ScanAllAccounts();
    // The window went to the tray on its close: the first time only, a note
    // says that the program keeps running there.
    Outcome HiddenInTray();
    // The periodic check's scan of the `chosen` accounts (empty: every
    // one), as AccountSweep::Run: nothing reaches the window, the intruders
    // go without asking when `purge`. Refused (one result, slot -1) while
    // another mailbox action runs.
    std::vector<AccountScan> QuietSweep(const std::vector<int>& chosen, bool purge);
    // The row grid row `row` shows, from the last scan of one or every account.
    const ScanRow* RowShown(int row) const;

    // "Amis" / "Intrus": the current row's sender as the grid shows it (its
    // address when it has no name). A row without sender adds nothing and
    // says so.
    Outcome AddCurrentSender(ListKind kind);
    // The same for a text (a name, an address, "@domain", "*.domain").
    Outcome AddSender(ListKind kind, std::string_view text);
    // Removes the entries that are `text` from the list and its file;
    // refused with a message when there is none.
    Outcome RemoveSender(ListKind kind, std::string_view text);
    // One list replaced by its file.
    Outcome LoadList(ListKind kind);
    // "Vider liste amis" / "Vider liste intrus".
    Outcome EmptyList(ListKind kind);
    // The list dialogs and the configuration dialog, bound to this window.
    std::unique_ptr<ListDialog> MakeListDialog(ListKind kind, ListBoxView& box);
    std::unique_ptr<ConfigDialog> MakeConfigDialog(ConfigDialogView& view);

    // "Importer": the registry's accounts into new slots, then the message;
    // after a success, `showConfigDialog` opens the configuration dialog.
    // `result`, when given, receives what was written.
    Outcome ImportAccounts(Registry& registry, const std::function<void()>& showConfigDialog,
                           ImportResult* result = nullptr);
    // "Imprimer" > "en-têtes" and "message" (the preview pane's lines).
    Outcome PrintGrid(Printer& printer);
    Outcome PrintMessage(Printer& printer);
    // "Aide" > "Sommaire": the help page beside the program, by the
    // desktop's program for it, else in the help window of `documents`.
    Outcome OpenHelp(Shell& shell, DocumentViews& documents);
    // "Fichier" > "Journal des suppressions": the journal of deletions in
    // the desktop's text editor, else as a table of `documents`; refused
    // with a message while it does not exist yet.
    Outcome OpenJournal(Shell& shell, DocumentViews& documents);

    // Refused with a message naming the slot when the account loaded last
    // lacks its server, user name or password: nothing is sent then.
    Outcome RequireConfiguredAccount(int slot);
    // How long a mailbox action waits for another process working on the
    // same settings (MailboxActions::kDefaultLockWaitMs).
    void SetActionLockWait(int ms);
    // The purge takes the suspects too (see MailboxActions::SetPurgeSuspects).
    void SetPurgeSuspects(bool on);
    // Takes that lock now and keeps it as long as the screener lives.
    Outcome HoldMailboxLock();
    // Receives each command line sent to the server, the password hidden.
    void SetCommandObserver(std::function<void(const std::string& line)> observer);
    // The attachment names of the last preview.
    const std::vector<std::string>& PreviewAttachments() const;

    // A mailbox action is waiting on the network.
    bool Busy() const;
    // The account the client holds (during an action, the one it runs
    // with; else the one the next session uses).
    const Account& CurrentAccount() const;
    // The rows of the last scan, and whether there was one.
    const ScanRecord& Record() const;
    bool HasRecord() const;
    // Takes the rows of an earlier scan (kept between runs by the caller).
    void RestoreRecord(ScanRecord record);
    // The grid's status mark the lists give a sender: the text of its grid
    // column and its address.
    std::string StatusOf(std::string_view shown, std::string_view address = {}) const;
    const AppPaths& Paths() const { return paths_; }

    // A click on grid heading `column`: the message numbers of the last scan
    // in the order to show them.
    std::vector<int> GridOrder(int column, bool descending) const;
    // The window's place, columns and account as it closed last (nullopt the
    // first time), and the same written at its close.
    std::optional<WindowState> SavedWindowState() const;
    Outcome SaveWindowState(const WindowState& state);

private:
    // Loads the selector's slot when it differs from the loaded one.
    Outcome FollowSelector();
    // Done when no mailbox action runs; else refused in the status bar.
    Outcome RefuseWhileBusy();
    // The all-accounts grid: each account's rows in turn.
    void ShowAccountRows();
    // After the all-accounts scan, the grid row's account loaded with its
    // rows, and its message number; 0 when the grid shows one account.
    int TakeAccountOfRow(int row, Outcome& loaded);

    struct Parts;
    AppPaths paths_;
    MainWindowView view_;
    std::function<int()> selector_;
    AuthorizationOpener opener_;
    int loadedSlot_ = -1;
    std::unique_ptr<Parts> parts_;
    // The all-accounts grid's accounts; empty while the grid shows one.
    std::vector<AccountScan> accountRows_;
    // What the preview pane shows, for the heading of its print.
    PrintHeading previewHeading_;
    // The message the preview pane shows: its account's slot, and what
    // tells it from another message (empty for one no scan listed).
    struct Previewed {
        int slot = -1;
        std::string digest, uniqueId;
    };
    std::optional<Previewed> previewed_;
    // Empties the preview pane once the grid no longer shows its message.
    void DropStalePreview();
};
