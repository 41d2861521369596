#include "app/scan_cells.h"

#include <algorithm>
#include <cmath>

#include "app/texts.h"
#include "platform/control_characters.h"
#include "platform/date_time.h"
#include "platform/text.h"
#include "platform/text_format.h"

GridRow GridCells(const ScanRow& row) {
    return {IntToStr(row.number), ShownDate(row), ShownSender(row),
            ShownSubject(row),    ShownSize(row), std::string(RowMark(row))};
}

std::string_view RowMark(const ScanRow& row) {
    return IsSuspect(row) ? texts::kSuspectMark : StatusMark(row.status);
}

std::string ScoreCell(const ScanRow& row) {
    if (!row.spam.score) return {};
    // Two decimals, the French way.
    const long hundredths = std::lround(*row.spam.score * 100);
    std::string cell =
        IntToStr(hundredths / 100) + "," + IntToStr(hundredths % 100 / 10) + IntToStr(hundredths % 10);
    return cell;
}

std::string ShownDate(const ScanRow& row) {
    return row.date ? FormatGridDate(row.date->local) : std::string();
}

std::string ShownSize(const ScanRow& row) { return IntToStr(row.size.value_or(-1)); }

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
        case SenderStatus::DoubtfulFriend:
            return texts::kDoubtfulFriendMark;
        default:
            return {};
    }
}

std::string_view AuthenticationWord(SenderAuthentication authentication) {
    switch (authentication) {
        case SenderAuthentication::Authenticated:
            return texts::kAuthenticatedWord;
        case SenderAuthentication::Failed:
            return texts::kFailedWord;
        default:
            return texts::kUnknownWord;
    }
}

std::vector<std::string> SuspectReasons(const ScanRow& row) {
    std::vector<std::string> reasons;
    if (row.authentication == SenderAuthentication::Failed)
        reasons.push_back(FormatText(std::string(texts::kProviderFailedReason), {row.verdict}));
    reasons.insert(reasons.end(), row.lookAlikes.begin(), row.lookAlikes.end());
    if (IsSuspect(row)) {
        reasons.push_back(FormatText(std::string(texts::kSpamReason), {ScoreCell(row)}));
        for (const std::string& reason : row.spam.reasons) reasons.push_back(WithoutControls(reason));
    }
    return reasons;
}

std::string RowNote(const ScanRow& row) {
    std::string reasons;
    for (const std::string& reason : SuspectReasons(row)) reasons += (reasons.empty() ? "" : " ; ") + reason;
    return reasons.empty() ? reasons : FormatText(std::string(texts::kReasonNote), {reasons});
}

std::string PreviewSender(const ScanRow& row) {
    std::string sender = ShownSender(row);
    if (row.status == SenderStatus::DoubtfulFriend) sender += texts::kDoubtfulFriendPreview;
    return sender;
}

void ShowRow(HeaderGrid& grid, int gridRow, const ScanRow& row) {
    grid.SetRow(gridRow, GridCells(row));
    if (!row.fault.empty()) grid.SetRowFault(gridRow, row.fault);
    if (std::string note = RowNote(row); !note.empty()) grid.SetRowNote(gridRow, note);
}

void ShowRows(HeaderGrid& grid, const ScanRecord& record) {
    grid.ClearRows(static_cast<int>(record.size()) + 1);
    for (std::size_t i = 0; i < record.size(); ++i) ShowRow(grid, static_cast<int>(i) + 1, record[i]);
}

std::string UnreadableCountText(const ScanRecord& record) {
    const auto count =
        std::count_if(record.begin(), record.end(), [](const ScanRow& row) { return !row.fault.empty(); });
    if (count == 0) return {};
    return FormatText(std::string(count == 1 ? texts::kOneUnreadable : texts::kManyUnreadable),
                      {IntToStr(count)});
}
