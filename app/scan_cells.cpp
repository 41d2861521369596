#include "app/scan_cells.h"

#include <algorithm>

#include "app/texts.h"
#include "platform/control_characters.h"
#include "platform/date_time.h"
#include "platform/text.h"
#include "platform/text_format.h"

GridRow GridCells(const ScanRow& row) {
    return {IntToStr(row.number),
            row.date ? FormatGridDate(row.date->local) : std::string(),
            ShownSender(row),
            ShownSubject(row),
            IntToStr(row.size.value_or(-1)),
            std::string(StatusMark(row.status))};
}

std::string ShownSender(const ScanRow& row) {
    if (!row.unreadSender.empty()) return row.unreadSender;
    return Trim(row.name).empty() ? ShownAddress(row) : WithoutControls(row.name);
}

std::string ShownSubject(const ScanRow& row) { return WithoutControls(row.subject); }

std::string ShownAddress(const ScanRow& row) { return AddressWithoutControls(row.address); }

std::string_view StatusMark(SenderStatus status) {
    switch (status) {
        case SenderStatus::Friend:
            return texts::kFriendMark;
        case SenderStatus::Intruder:
            return texts::kIntruderMark;
        default:
            return {};
    }
}

std::string UnreadableCountText(const ScanRecord& record) {
    const auto count =
        std::count_if(record.begin(), record.end(), [](const ScanRow& row) { return !row.fault.empty(); });
    if (count == 0) return {};
    return FormatText(std::string(count == 1 ? texts::kOneUnreadable : texts::kManyUnreadable),
                      {IntToStr(count)});
}
