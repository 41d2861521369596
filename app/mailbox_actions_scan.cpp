// The scan: one row per waiting message from its header only, friends and
// intruders marked, and the intruders deleted on request.
#include <algorithm>

#include "app/mailbox_actions.h"
#include "app/mailbox_errors.h"
#include "app/scan_cells.h"
#include "app/scan_progress.h"
#include "app/scan_row_builder.h"
#include "app/texts.h"
#include "message/internet_date.h"
#include "platform/interruption.h"
#include "platform/text_format.h"

namespace {
constexpr int kGridRows = 1000;  // the heading row and 999 messages
// Far beyond any real mailbox; the rows of a scan stay bounded by it.
constexpr int kMostMessages = 1000000;

bool IsIntruder(const ScanRow& row) { return row.status == SenderStatus::Intruder; }

// The question names how many messages the purge would delete.
std::string PurgeQuestion(const ScanRecord& record) {
    const auto intruders = std::count_if(record.begin(), record.end(), IsIntruder);
    if (intruders == 1) return std::string(texts::kPurgeQuestionOne);
    return FormatText(std::string(texts::kPurgeQuestionMany), {IntToStr(intruders)});
}

// The messages the purge would delete, one line each: sender, subject.
std::vector<std::string> PurgeList(const ScanRecord& record) {
    std::vector<std::string> lines;
    for (const ScanRow& row : record)
        if (IsIntruder(row)) lines.push_back(ShownSender(row) + " : " + row.subject);
    return lines;
}

std::string CountText(int count) {
    if (count == 0) return std::string(texts::kNoNewMessage);
    return IntToStr(count) + std::string(count == 1 ? texts::kOneMessage : texts::kManyMessages);
}
}  // namespace

void MailboxActions::ClearRows() {
    // A grid grown by a larger mailbox shrinks back, so no cell of an
    // earlier scan survives.
    view_.grid.ClearRows(kGridRows);
    record_.clear();
    haveRecord_ = true;
}

Outcome MailboxActions::RunScan() {
    ClearRows();
    std::vector<int> purged;
    // The scan's four counts ride with the log-in when the server pipelines.
    client_.CountsWithLogIn = 4;
    Outcome outcome = InSession([&] {
        view_.cursor.SetBusy(true);
        bool intruderFound = false;
        ScanHeaders(intruderFound);
        view_.cursor.SetBusy(false);
        // A window closed meanwhile asks nothing more.
        Interruption::ThrowIfRequested();
        if (intruderFound && view_.dialogs.Confirm(PurgeQuestion(record_), PurgeList(record_)))
            purged = Purge();
    });
    client_.CountsWithLogIn = 0;
    // Only a QUIT answered "+OK" removed them.
    if (outcome.IsDone() && !purged.empty()) DropPurged(purged);
    return outcome;
}

void MailboxActions::DropPurged(const std::vector<int>& purged) {
    ScanRecord left;
    for (std::size_t i = 0; i < record_.size(); ++i)
        if (std::find(purged.begin(), purged.end(), static_cast<int>(i) + 1) == purged.end())
            left.push_back(std::move(record_[i]));
    record_ = std::move(left);
    view_.grid.ClearRows(std::max(kGridRows, static_cast<int>(record_.size()) + 1));
    for (std::size_t i = 0; i < record_.size(); ++i) {
        record_[i].number = static_cast<int>(i) + 1;
        ShowRow(view_.grid, static_cast<int>(i) + 1, record_[i]);
    }
    std::string countText = CountText(static_cast<int>(record_.size()));
    if (std::string unreadable = UnreadableCountText(record_); !unreadable.empty())
        countText += ", " + unreadable;
    view_.status.SetPanelText(1, countText);
}

void MailboxActions::ScanHeaders(bool& intruderFound) {
    // Each count is its own STAT, as the status text has always been made
    // (two for an empty mailbox, else four). A pipelining server gets all
    // four in one exchange: one round trip, whatever the first says.
    std::vector<int> counts = client_.CountMessagesTimes(client_.Pipelining() ? 4 : 2);
    std::string countText = CountText(0);
    int count = counts[1];
    if (counts[0] != 0) {
        const bool one = counts[1] == 1;
        if (counts.size() == 2)
            counts = client_.CountMessagesTimes(2);
        else
            counts.erase(counts.begin(), counts.begin() + 2);
        countText = IntToStr(counts[0]) + std::string(one ? texts::kOneMessage : texts::kManyMessages);
        count = counts[1];
    }
    if (count > kMostMessages)
        throw EMailboxTooLarge(
            FormatText(std::string(texts::kTooManyMessages), {IntToStr(count), IntToStr(kMostMessages)}));
    view_.status.SetPanelText(1, countText);
    ScanProgress progress(view_.status, StatusText(hsConnected, ""), count);
    // Read once: every row's date is shifted by the same offset.
    const TDateTime localOffset = count > 0 ? LocalZoneOffset() : 0;
    ScanRow pending;
    TIdPOP3::ScanEvents events;
    events.header = [&](int i, TIdMessage& message) {
        pending = ScanRowFromHeader(i, message.HeaderLines, localOffset, applied_.resultService);
    };
    events.size = [&](int i, int size) {
        if (size >= 0) pending.size = size;
        lists_.Mark(pending, applied_.unknownIsFailed);
        if (pending.status == SenderStatus::Intruder) intruderFound = true;
        // More than 999 messages: the grid grows, a thousand rows at a time.
        if (i >= view_.grid.RowCount()) view_.grid.SetRowCount(std::min(count, i + kGridRows - 1) + 1);
        ShowRow(view_.grid, i, pending);
        record_.push_back(std::move(pending));
        progress.Done(i);
        // Rows that keep coming may never leave a wait idle: the stop is looked at here too.
        Interruption::ThrowIfRequested();
    };
    // Without a CAPA answer UIDL may still be there: "-ERR" then says it is not.
    if (client_.HasCapability("UIDL") || !client_.CapabilitiesKnown())
        events.uniqueIds = [&](std::vector<std::string>&& ids) {
            for (std::size_t i = 1; i < ids.size() && i <= record_.size(); ++i)
                record_[i - 1].uniqueId = std::move(ids[i]);
        };
    // A row is shown and recorded once its size came.
    client_.ScanHeaders(count, message_, events);
    if (std::string unreadable = UnreadableCountText(record_); !unreadable.empty())
        view_.status.SetPanelText(1, countText + ", " + unreadable);
}

std::vector<int> MailboxActions::Purge() {
    // From the highest number down, on the rows this scan marked: never on
    // what the grid shows, which the user may have rearranged. Rows past the
    // record were not marked, so an inflated count costs nothing.
    const long long count = client_.CountMessages();
    const int highest = static_cast<int>(std::min(count, static_cast<long long>(record_.size())));
    std::vector<int> intruders;
    for (int i = highest; i >= 1; --i) {
        const ScanRow* row = RowOf(record_, i);
        if (row && row->status == SenderStatus::Intruder) intruders.push_back(i);
    }
    return DeleteKeepingCopies(intruders, DeletionKind::Purge);
}
