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
// The sender column: the name, else the address, so the column is never
// empty for a message that has a sender; a From the parser refused shows as
// received.
std::string ShownSender(const ScanRow& row);
// The subject column.
std::string ShownSubject(const ScanRow& row);
// The address wherever it is shown or stored: a zero-width character in it
// shows as "<U+200D>", so a look-alike address never passes for another.
std::string ShownAddress(const ScanRow& row);
// "A", "I" or "".
std::string_view StatusMark(SenderStatus status);
// "1 message illisible", "2 messages illisibles"; empty when every row read.
std::string UnreadableCountText(const ScanRecord& record);
