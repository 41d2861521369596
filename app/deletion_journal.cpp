#include "app/deletion_journal.h"

#include <cstdio>

#include "app/scan_cells.h"
#include "app/texts.h"
#include "platform/control_characters.h"
#include "platform/file_replace.h"
#include "platform/system_error_text.h"
#include "platform/text.h"
#include "platform/text_format.h"

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
    const GridRow cells = GridCells(row);
    const std::string fields[] = {
        Stamp(when),
        Field(account.user),
        Field(account.host + ":" + IntToStr(account.port)),
        Field(cells[1]),
        Field(SenderWithAddress(row)),
        Field(row.subject),
        Field(cells[4]),
        std::string(deletion.kind == DeletionKind::Purge ? texts::kJournalPurge : texts::kJournalSingle),
        Field(deletion.copy),
    };
    std::string line;
    for (const std::string& field : fields) line += (line.empty() ? "" : "\t") + field;
    return line + "\r\n";
}

void AppendToJournal(const std::filesystem::path& journal, TDateTime when, const Account& account,
                     const std::vector<Deletion>& deletions) {
    std::string lines;
    for (const Deletion& deletion : deletions) lines += FormatJournalLine(when, account, deletion);
    if (int error = AppendToFile(journal, lines)) throw EJournalWriteError(journal, error);
}
