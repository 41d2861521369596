#include "app/deletion_journal.h"

#include <cstdio>

#include "app/scan_cells.h"
#include "app/sender_list.h"
#include "app/texts.h"
#include "platform/control_characters.h"
#include "platform/file_replace.h"
#include "platform/system_error_text.h"
#include "platform/text.h"
#include "platform/text_format.h"
#include "platform/text_lines.h"

namespace {

// A field as the line holds it: one line, no tab, in UTF-8.
std::string Field(std::string_view text) { return WithoutControls(text); }

std::string Stamp(TDateTime when) {
    DateParts p = DecodeDateTime(when);
    char text[32];
    std::snprintf(text, sizeof text, "%02d/%02d/%04d %02d:%02d:%02d", p.day, p.month, p.year, p.hour,
                  p.minute, p.second);
    return text;
}

std::string SenderWithAddress(const ScanRow& row) {
    if (!row.unreadSender.empty()) return row.unreadSender;
    if (Trim(row.name).empty()) return ShownAddress(row);
    if (row.address.empty()) return row.name;
    return row.name + " <" + ShownAddress(row) + ">";
}

}  // namespace

EJournalWriteError::EJournalWriteError(const std::filesystem::path& path, int error)
    : EIdException(
          FormatText(std::string(texts::kCannotWriteJournal), {path.string(), SysErrorMessage(error)})) {}

std::string FormatJournalLine(TDateTime when, const Account& account, const Deletion& deletion) {
    const ScanRow& row = deletion.row;
    const JournalEntry entry{
        .deletedAt = Stamp(when),
        .user = Field(account.user),
        .server = Field(account.host + ":" + IntToStr(account.port)),
        .date = Field(ShownDate(row)),
        .sender = Field(SenderWithAddress(row)),
        .subject = Field(row.subject),
        .size = Field(ShownSize(row)),
        .action =
            std::string(deletion.kind == DeletionKind::Purge ? texts::kJournalPurge : texts::kJournalSingle),
        .copy = Field(deletion.copy),
        .authentication = std::string(AuthenticationWord(row.authentication)),
    };
    std::string line;
    for (const JournalField& field : kJournalFields) line += (line.empty() ? "" : "\t") + entry.*field.field;
    return line + "\r\n";
}

void AppendToJournal(const std::filesystem::path& journal, TDateTime when, const Account& account,
                     const std::vector<Deletion>& deletions) {
    std::string lines;
    for (const Deletion& deletion : deletions) lines += FormatJournalLine(when, account, deletion);
    if (int error = AppendToFile(journal, lines)) throw EJournalWriteError(journal, error);
}

std::vector<JournalEntry> ReadJournal(const std::filesystem::path& journal) {
    std::string bytes;
    if (int error = ReadWholeFile(journal, bytes)) throw EListFileOpenError(journal, error);
    std::vector<JournalEntry> entries;
    for (const TextLine& line : SplitTextLines(bytes)) {
        JournalEntry& entry = entries.emplace_back();
        std::size_t start = 0;
        for (std::size_t i = 0; i < kJournalFields.size() && start <= line.text.size(); ++i) {
            const bool last = i + 1 == kJournalFields.size();
            const std::size_t tab = last ? std::string::npos : line.text.find('\t', start);
            entry.*kJournalFields[i].field =
                line.text.substr(start, tab == std::string::npos ? tab : tab - start);
            start = tab == std::string::npos ? line.text.size() + 1 : tab + 1;
        }
    }
    return entries;
}
