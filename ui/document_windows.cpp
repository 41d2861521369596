#include "ui/document_windows.h"

#include "ui/help_window.h"
#include "ui/journal_window.h"

namespace {
void Present(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
}
}  // namespace

void DocumentWindows::ShowHelp(const std::filesystem::path& page) {
    if (!help_) help_ = new HelpWindow(parent_);
    help_->ShowPage(page);
    Present(help_);
}

void DocumentWindows::ShowJournal(const std::vector<JournalEntry>& entries) {
    if (!journal_) journal_ = new JournalWindow(parent_);
    journal_->ShowEntries(entries);
    Present(journal_);
}
