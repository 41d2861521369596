#pragma once
// How a scan row shows: the grid's six cells (the print and the command
// line's TSV show the same), the status mark, and the count of messages
// whose header could not be read. The rule of the sender column and the
// "A" / "I" marks live here only. Every place that shows a sender or a
// subject takes it from here: controls come out as spaces and reordering
// characters as "<U+202E>", so no text turns around what is shown after it.
#include <string>
#include <string_view>

#include "app/scan_record.h"
#include "app/window.h"

// Number, date ("07/09/01 à 09:05" in local time, empty without a readable
// date), sender, subject, size ("-1" when unknown), status mark.
GridRow GridCells(const ScanRow& row);
// The date cell: "07/09/01 à 09:05" in local time, empty without a
// readable date.
std::string ShownDate(const ScanRow& row);
// The size cell: the bytes, "-1" when unknown.
std::string ShownSize(const ScanRow& row);
// The sender column: the name, else the address, so the column is never
// empty for a message that has a sender; a From the parser refused shows as
// received.
std::string ShownSender(const ScanRow& row);
// The subject column.
std::string ShownSubject(const ScanRow& row);
// The address wherever it is shown or stored: a zero-width character in it
// shows as "<U+200D>", so a look-alike address never passes for another.
std::string ShownAddress(const ScanRow& row);
// "A", "I", "A?" or "".
std::string_view StatusMark(SenderStatus status);
// The row's mark: StatusMark, or "S" for a suspect (see IsSuspect).
std::string_view RowMark(const ScanRow& row);
// The spam engine's score with two decimals ("0,97"); empty without one.
std::string ScoreCell(const ScanRow& row);
// "ok", "echec" or "inconnue".
std::string_view AuthenticationWord(SenderAuthentication authentication);
// Why the row is suspect, each as the user reads it: the provider's refusal
// (with its verdict), then the look-alikes. Empty for an ordinary row.
std::vector<std::string> SuspectReasons(const ScanRow& row);
// The status cell's tooltip: "Raison : " and the reasons; empty for none.
std::string RowNote(const ScanRow& row);
// The preview's sender: ShownSender, and for a doubtful friend the warning
// in words.
std::string PreviewSender(const ScanRow& row);
// Grid row `gridRow` shows `row`: its cells, the fault of a header not read
// all through, its note.
void ShowRow(HeaderGrid& grid, int gridRow, const ScanRow& row);
// The grid shows the whole record and nothing else: as many rows as it has
// messages, the heading row apart, message i on row i.
void ShowRows(HeaderGrid& grid, const ScanRecord& record);
// "1 message illisible", "2 messages illisibles"; empty when every row read.
std::string UnreadableCountText(const ScanRecord& record);
