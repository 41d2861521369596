#pragma once
// Recording stand-ins for the windows the screening logic talks to.
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "app/config_dialog.h"
#include "app/deletion_journal.h"
#include "app/list_dialog.h"
#include "app/memory_window.h"
#include "app/window.h"

class FakeGrid : public MemoryGrid {
public:
    // The six cells of a row joined with "|".
    std::string Row(int row) const;
    // Rows 1.. up to the last row with any cell filled, each as Row().
    std::vector<std::string> FilledRows() const;
};

class FakeStatus : public StatusPanels {
public:
    void SetPanelText(int panel, std::string_view text) override;
    void SetProgress(int done, int total) override { progress.emplace_back(done, total); }
    std::string panel[2];
    std::vector<std::pair<int, int>> progress;  // every (done, total) the bar received
    std::vector<std::string> history0;          // every text panel 0 received
};

class FakeCursor : public BusyCursor {
public:
    void SetBusy(bool isBusy) override { busy = isBusy; }
    bool busy = false;
};

class FakeDialogs : public Dialogs {
public:
    void Message(std::string_view text) override { shown.push_back("message: " + std::string(text)); }
    bool Confirm(std::string_view question, const std::vector<std::string>& items) override;
    void Error(std::string_view text, std::string_view cause) override {
        shown.push_back("error: " + std::string(text));
        details.emplace_back(cause);
    }
    void Warning(std::string_view text) override { shown.push_back("warning: " + std::string(text)); }
    void StandardError(std::string_view text) override { shown.push_back("standard: " + std::string(text)); }

    std::deque<bool> answers;             // Confirm's answers; "&Non" when none is left
    std::function<void()> duringConfirm;  // runs while the question is open
    std::vector<std::string> shown;       // "kind: text" of every box
    std::vector<std::string> details;     // each error box's details
    std::vector<std::string> listed;      // the items of the last question
};

class FakeCaption : public CaptionView {
public:
    void SetCaption(std::string_view text) override { caption = text; }
    std::string caption = "Vannoir";
};

using FakePreview = MemoryPreview;

// The program's own help and journal windows: what they were given.
class FakeDocuments : public DocumentViews {
public:
    void ShowHelp(const std::filesystem::path& page) override { help.push_back(page); }
    void ShowJournal(const std::vector<JournalEntry>& entries) override { journal = entries; }
    std::vector<std::filesystem::path> help;
    std::vector<JournalEntry> journal;
};

// The whole main window.
struct FakeWindow {
    FakeGrid grid;
    FakeStatus status;
    FakeCursor cursor;
    FakeDialogs dialogs;
    FakeCaption caption;
    FakePreview preview;
    MainWindowView View() { return {grid, status, cursor, dialogs, caption, preview}; }
};

class FakeConfigView : public ConfigDialogView {
public:
    std::string ServerText() const override { return server; }
    std::string UserText() const override { return user; }
    std::string PasswordText() const override { return password; }
    void SetServerText(std::string_view text) override { server = text; }
    void SetUserText(std::string_view text) override { user = text; }
    void SetPasswordText(std::string_view text) override { password = text; }
    int PortValue() const override { return port; }
    void SetPortValue(int value) override { port = value; }
    AccountSecurity SecurityValue() const override { return security; }
    void SetSecurityValue(AccountSecurity value) override { security = value; }
    std::string FingerprintText() const override { return fingerprint; }
    void SetFingerprintText(std::string_view text) override { fingerprint = text; }
    std::string AddressText() const override { return address; }
    AccountAuthentication AuthenticationValue() const override { return authentication; }
    void SetAuthenticationValue(AccountAuthentication value) override { authentication = value; }
    std::string ClientIdText() const override { return clientId; }
    void SetClientIdText(std::string_view text) override { clientId = text; }
    bool OAuthBearerChosen() const override { return oauthBearer; }
    void SetOAuthBearerChosen(bool chosen) override { oauthBearer = chosen; }
    void EnableOAuthBoxes(bool enabled) override { oauthBoxesEnabled = enabled; }
    bool KeyringChosen() const override { return keyring; }
    void SetKeyringChosen(bool chosen) override { keyring = chosen; }
    int SelectorValue() const override { return selector; }
    void SetSelectorValue(int value) override { selector = value < 0 ? 0 : value > 10 ? 10 : value; }
    void FocusServer() override { ++focusCount; }
    void CloseDialog() override { closed = true; }
    bool KeepDeletedChecked() const override { return keepDeleted; }
    void SetKeepDeletedChecked(bool keep) override { keepDeleted = keep; }

    std::string server, user, password, fingerprint, address, clientId;
    AccountAuthentication authentication = AccountAuthentication::Password;
    bool oauthBearer = false;
    bool oauthBoxesEnabled = true;
    bool keyring = false;
    // As the dialog shows a new account.
    int port = 995;
    AccountSecurity security = AccountSecurity::Tls;
    int selector = 1;
    int focusCount = 0;
    bool closed = false;
    bool keepDeleted = false;
};

class FakeListBox : public ListBoxView {
public:
    std::vector<std::string> Items() const override { return items; }
    void SetItems(const std::vector<std::string>& newItems) override { items = newItems; }
    int SelectedIndex() const override { return selected; }
    void DeleteItem(int index) override;

    std::vector<std::string> items;
    int selected = -1;
};
