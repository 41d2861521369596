#include "app/corbeille_dialog.h"

#include <stdlib.h>

#include <algorithm>
#include <cerrno>

#include "app/corbeille_texts.h"
#include "app/mailbox_actions.h"
#include "app/preview_lines.h"
#include "app/scan_row_builder.h"
#include "app/texts.h"
#include "message/internet_date.h"
#include "net/io_handler_memory.h"
#include "platform/file_replace.h"
#include "platform/ini_file.h"
#include "platform/system_error_text.h"
#include "platform/text.h"
#include "platform/text_format.h"
#include "pop3/pop3.h"

namespace {

// The copy's bytes as a server sends them: dot-stuffed, "." ending.
std::string AsRetrAnswer(const std::string& bytes) {
    std::string answer = "+OK\r\n";
    answer.reserve(bytes.size() + bytes.size() / 64 + 16);
    bool lineStart = true;
    for (char c : bytes) {
        if (lineStart && c == '.') answer += '.';
        answer += c;
        lineStart = c == '\n';
    }
    if (!lineStart) answer += "\r\n";
    return answer + ".\r\n";
}

std::string SizeText(const CorbeilleEntry& e) {
    std::string size = IntToStr(static_cast<std::int64_t>(e.size));
    if (e.headerOnly) size += " (" + std::string(corbeille_texts::kJournalHeaderOnly) + ")";
    return size;
}

}  // namespace

void LoadKeptMessage(std::string bytes, TIdMessage& message) {
    TIdPOP3 reader;
    reader.SetIOHandler(std::make_unique<TIdIOHandlerMemory>(AsRetrAnswer(bytes)));
    message.ClearAll();
    reader.LoadMessage(1, message);
}

CorbeilleDialog::CorbeilleDialog(std::filesystem::path corbeille, std::filesystem::path settings,
                                 CorbeilleView& view, Dialogs& dialogs, Shell& shell)
    : corbeille_(std::move(corbeille), ReadCorbeilleLimits(TIniFile(settings))),
      lockFile_(MailboxLockFileFor(settings)),
      view_(view),
      dialogs_(dialogs),
      shell_(shell) {}

void CorbeilleDialog::Show() {
    entries_.clear();
    RunShowingErrors(dialogs_, [&] { entries_ = corbeille_.List(); });
    std::vector<CorbeilleRow> rows;
    for (const CorbeilleEntry& e : entries_)
        rows.push_back({DeletedText(e), e.account, e.sender, e.subject, SizeText(e)});
    view_.SetRows(rows);
}

Outcome CorbeilleDialog::Selected(const CorbeilleEntry*& entry) {
    const int row = view_.SelectedRow();
    if (row < 0 || static_cast<std::size_t>(row) >= entries_.size()) {
        std::string text = std::string(corbeille_texts::kNothingSelected);
        dialogs_.Message(text);
        return Outcome::Refused(std::move(text));
    }
    entry = &entries_[static_cast<std::size_t>(row)];
    return Outcome::Done();
}

Outcome CorbeilleDialog::SaveAs() {
    const CorbeilleEntry* entry = nullptr;
    if (Outcome chosen = Selected(entry); !chosen.IsDone()) return chosen;
    const int number = view_.SelectedRow() + 1;
    const std::filesystem::path target = view_.ChooseSaveFile("message-" + IntToStr(number) + ".eml");
    if (target.empty()) return Outcome::Refused({});
    return RunShowingErrors(dialogs_, [&] { corbeille_.Extract(number, target); });
}

Outcome CorbeilleDialog::Open() {
    const CorbeilleEntry* entry = nullptr;
    if (Outcome chosen = Selected(entry); !chosen.IsDone()) return chosen;
    const int number = view_.SelectedRow() + 1;
    return RunShowingErrors(dialogs_, [&] {
        // A private folder of its own: the mail program reads it later.
        std::string folder = (std::filesystem::temp_directory_path() / "vannoir-eml-XXXXXX").string();
        if (!::mkdtemp(folder.data()))
            throw ECorbeilleError(FormatText(std::string(corbeille_texts::kCannotOpenFolder),
                                             {std::string(folder), SysErrorMessage(errno)}));
        const std::filesystem::path file = std::filesystem::path(folder) / "message.eml";
        corbeille_.Extract(number, file);
        // Nothing opened it: at least the user knows where it is.
        if (!shell_.Open(file))
            dialogs_.Message(FormatText(std::string(corbeille_texts::kNoMailProgram), {file.string()}));
    });
}

Outcome CorbeilleDialog::Preview() {
    const CorbeilleEntry* entry = nullptr;
    if (Outcome chosen = Selected(entry); !chosen.IsDone()) return chosen;
    return RunShowingErrors(dialogs_, [&] {
        std::string bytes;
        if (int error = ReadWholeFile(corbeille_.PathOf(*entry), bytes))
            throw ECorbeilleError(std::string(corbeille_texts::kCannotReadCopy) + " " +
                                  SysErrorMessage(error));
        TIdMessage message;
        LoadKeptMessage(std::move(bytes), message);
        previewHeading_ =
            RowHeading(ScanRowFromHeader(1, message.HeaderLines, LocalZoneOffset()), entry->account);
        view_.Preview().Clear();
        view_.Preview().AppendLine(std::string(corbeille_texts::kPreviewSubject) + previewHeading_.subject);
        view_.Preview().AppendLine(std::string(corbeille_texts::kPreviewDate) + previewHeading_.date);
        std::vector<std::string> attachments;
        AppendPreviewLines(message, view_.Preview(), attachments);
        message.ClearAll();
    });
}

Outcome CorbeilleDialog::Print(Printer& printer) {
    return RunShowingErrors(dialogs_, [&] {
        PrintMessageLines(printer, view_.Preview().Lines(), view_.Preview().Font(), previewHeading_);
    });
}

Outcome CorbeilleDialog::Empty() {
    if (!dialogs_.Confirm(std::string(corbeille_texts::kEmptyQuestion), {})) return Outcome::Refused({});
    // A purge may be writing its copies: they go only once it is over.
    const std::unique_ptr<LockFile> lock = TakeMailboxLock(lockFile_, lockWaitMs_);
    if (lock->Busy()) {
        std::string text(texts::kMailboxLocked);
        dialogs_.Message(text);
        return Outcome::Refused(std::move(text), Outcome::Fault::Busy);
    }
    Outcome outcome = RunShowingErrors(dialogs_, [&] { corbeille_.Empty(); });
    Show();
    return outcome;
}
