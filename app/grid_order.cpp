#include "app/grid_order.h"

#include <algorithm>
#include <variant>

#include "app/scan_cells.h"
#include "platform/text.h"

namespace {

using SortKey = std::variant<double, std::string>;

// A message without a readable date sorts before every dated one.
double DateKey(const ScanRow& row) { return row.date ? row.date->local : -1e9; }

SortKey KeyOf(const ScanRow& row, int message, int column) {
    switch (column) {
        case 0:
            return static_cast<double>(message);
        case 1:
            return DateKey(row);
        case 4:
            return static_cast<double>(row.size.value_or(-1));
        default:
            return UpperCase(GridCells(row)[static_cast<std::size_t>(column)]);
    }
}

}  // namespace

std::vector<int> SortedMessages(const ScanRecord& record, int column, bool descending) {
    std::vector<std::pair<SortKey, int>> keyed;
    keyed.reserve(record.size());
    for (std::size_t i = 0; i < record.size(); ++i) {
        const int message = static_cast<int>(i) + 1;
        keyed.emplace_back(KeyOf(record[i], message, column), message);
    }
    std::stable_sort(keyed.begin(), keyed.end(), [descending](const auto& a, const auto& b) {
        return descending ? b.first < a.first : a.first < b.first;
    });
    std::vector<int> messages;
    messages.reserve(keyed.size());
    for (const auto& entry : keyed) messages.push_back(entry.second);
    return messages;
}
