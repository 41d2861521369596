#pragma once
// What the last scan saw: for each message row, its six grid cells and what
// tells the message apart from another. The preview compares a message's
// header with its row's, the deletion its header, size and unique id too, so
// a mailbox changed by another client (the numbers shifted) is noticed
// before acting on the wrong message, even when two messages share a header.
#include <array>
#include <string>
#include <vector>

struct ScanRow {
    std::array<std::string, 6> cells;  // cells[4]: the size the server listed
    // HeaderDigest of the header lines: the header without a copy of it.
    std::string headerDigest;
    // The server's unique id (UIDL); empty when it offers none.
    std::string uniqueId;
    // The From address: the lists match it, the journal records it.
    std::string address;
    // The Date header's value as written, for readers that want its offset.
    std::string date;
};

// MD5 of the header lines, each followed by CR LF, as 32 lower-case hex digits.
std::string HeaderDigest(const std::vector<std::string>& lines);

// Row of message i at index i - 1; only rows the scan completed.
using ScanRecord = std::vector<ScanRow>;

// The row of `message`, or nullptr when the last scan did not complete it.
inline const ScanRow* RowOf(const ScanRecord& record, int message) {
    if (message < 1 || static_cast<std::size_t>(message) > record.size()) return nullptr;
    return &record[static_cast<std::size_t>(message) - 1];
}
