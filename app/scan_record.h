#pragma once
// What the last scan saw: for each message row, its six grid cells and the
// header lines the row was made from. The preview and the deletion compare a
// message's header lines with its row's, so a mailbox changed by another
// client (the numbers shifted) is noticed before acting on the wrong message.
#include <array>
#include <string>
#include <vector>

struct ScanRow {
    std::array<std::string, 6> cells;
    std::vector<std::string> headerLines;
    // The From address: the lists match it, the journal records it.
    std::string address;
};

// Row of message i at index i - 1; only rows the scan completed.
using ScanRecord = std::vector<ScanRow>;

// The row of `message`, or nullptr when the last scan did not complete it.
inline const ScanRow* RowOf(const ScanRecord& record, int message) {
    if (message < 1 || static_cast<std::size_t>(message) > record.size()) return nullptr;
    return &record[static_cast<std::size_t>(message) - 1];
}
