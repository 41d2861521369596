#pragma once
// The "Corbeille" dialog's logic: the kept messages newest first, saved to
// a file, opened in the user's mail program, shown in the preview pane, or
// all removed after a question. The widgets are the dialog's.
#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "app/corbeille.h"
#include "app/mailbox_actions.h"
#include "app/outcome.h"
#include "app/print_layout.h"
#include "app/window.h"
#include "platform/shell.h"

// Deleted on, account, sender, subject, size.
using CorbeilleRow = std::array<std::string, 5>;

class TIdMessage;

class CorbeilleView {
public:
    virtual ~CorbeilleView() = default;
    virtual void SetRows(const std::vector<CorbeilleRow>& rows) = 0;
    // -1 when no row is selected.
    virtual int SelectedRow() const = 0;
    // The "Enregistrer sous…" chooser, starting with `suggested`; empty when
    // the user cancelled.
    virtual std::filesystem::path ChooseSaveFile(const std::filesystem::path& suggested) = 0;
    virtual PreviewPane& Preview() = 0;
};

class CorbeilleDialog {
public:
    // `corbeille` is the Maildir folder, `settings` holds its limits.
    CorbeilleDialog(std::filesystem::path corbeille, std::filesystem::path settings, CorbeilleView& view,
                    Dialogs& dialogs, Shell& shell);
    // Lists the kept messages.
    void Show();
    // Each acts on the selected row; without one, a message says to choose.
    // A file that cannot be read or written: the standard error box.
    Outcome SaveAs();
    // A private ".eml" copy, opened by the desktop.
    Outcome Open();
    // The pane under the message's subject and date.
    Outcome Preview();
    // "Imprimer": the pane's lines as the main window prints its preview,
    // under the heading of the message shown.
    Outcome Print(Printer& printer);
    // After "&Oui" to the question, every copy goes, once the mailbox lock
    // is free (as for a mailbox action: refused with Fault::Busy when
    // another run kept it past the wait).
    Outcome Empty();
    void SetLockWait(int ms) { lockWaitMs_ = ms; }

    const std::vector<CorbeilleEntry>& Entries() const { return entries_; }

private:
    // Done with `entry` set, else refused with the message shown.
    Outcome Selected(const CorbeilleEntry*& entry);

    Corbeille corbeille_;
    std::filesystem::path lockFile_;
    int lockWaitMs_ = MailboxActions::kDefaultLockWaitMs;
    CorbeilleView& view_;
    Dialogs& dialogs_;
    Shell& shell_;
    std::vector<CorbeilleEntry> entries_;
    PrintHeading previewHeading_;
};

// The message in `bytes` (as the Corbeille keeps it) parsed as a RETR
// answer is. Throws the reception errors.
void LoadKeptMessage(std::string bytes, TIdMessage& message);
