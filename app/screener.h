#pragma once
// The main window's logic, one call per handler: it owns the POP3 client,
// the message object and the two lists, and reaches the window through the
// interfaces of window.h. Errors of the non-mailbox handlers (list files,
// settings file) propagate to the caller, which shows them in the standard
// error box; the mailbox actions show their own failure box.
#include <memory>

#include "app/app_paths.h"
#include "app/config_dialog.h"
#include "app/mailbox_actions.h"
#include "app/main_lists.h"

class Screener {
public:
    Screener(AppPaths paths, MainWindowView view);

    // Writes the grid's heading row.
    void FormCreate();
    // Loads the account of `selector`, then the friend list, then the
    // intruder list. Throws EListFileOpenError, which ends it there.
    void FormShow(int selector);
    // The selector's buttons: the slot's host, user name and password for
    // the client, and the caption.
    void LoadAccount(int slot);
    // "Tout effacer". Throws EIniWriteError.
    void EraseAllAccounts();

    // "En-têtes", "Aperçu", "Supprimer" on the grid's current row; false
    // when refused because another mailbox action runs.
    bool Scan() { return actions_.Scan(); }
    bool Preview() { return actions_.Preview(view_.grid.CurrentRow()); }
    bool DeleteCurrent() { return actions_.Delete(view_.grid.CurrentRow()); }

    // "Amis" / "Intrus": the current row's sender. Throws EListFileCreateError.
    void AddCurrentSender(ListKind kind);
    // "Vider liste amis" / "Vider liste intrus".
    void EmptyList(ListKind kind) { lists_.Empty(kind); }
    // The list dialogs and the configuration dialog, bound to this window.
    std::unique_ptr<ListDialog> MakeListDialog(ListKind kind, ListBoxView& box) {
        return lists_.MakeDialog(kind, box);
    }
    std::unique_ptr<ConfigDialog> MakeConfigDialog(ConfigDialogView& view) {
        return std::make_unique<ConfigDialog>(paths_.settings, view, view_.dialogs);
    }

    TIdPOP3& Client() { return client_; }
    MailboxActions& Actions() { return actions_; }
    MainLists& Lists() { return lists_; }
    const AppPaths& Paths() const { return paths_; }

private:
    AppPaths paths_;
    MainWindowView view_;
    TIdPOP3 client_;
    TIdMessage message_;
    MainLists lists_;
    MailboxActions actions_;
};
