// Arbitrary header blocks into the scan's row builder: no error may leave it,
// since one message's header must never end the scan of the others. The row
// then shows and is recorded as any other.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/scan_cells.h"
#include "app/scan_record_file.h"
#include "app/scan_row_builder.h"
#include "fuzz_lines.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TIdHeaderList header;
    std::string_view input(reinterpret_cast<const char*>(data), size);
    while (!input.empty()) {
        std::string_view line = fuzz::TakeLine(input);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!line.empty()) header.Add(std::string(line));
    }
    ScanRow row;
    try {
        row = ScanRowFromHeader(1, header, 1.0 / 24, {}, ResultService{{"mx.exemple.fr"}, false});
    } catch (...) {
        std::abort();
    }
    // What cannot be read is named; a refused sender is kept as received.
    if (!row.unreadSender.empty() && row.fault.empty()) std::abort();
    (void)GridCells(row);
    // A verdict is only ever read from the service's own results.
    if (row.verdict.empty() && row.authentication != SenderAuthentication::Unknown) std::abort();
    const MailboxIdentity mailbox{"pop.example.fr", 110, "anne"};
    row.headerDigest = "d";
    if (!ParseScanRecord(WithScanRecord("", 1, mailbox, {row}), 1, mailbox)) std::abort();
    return 0;
}
