// The scan: one row per waiting message from its header only, friends and
// intruders marked, and the intruders deleted on request.
#include <algorithm>

#include "app/mailbox_actions.h"
#include "app/mailbox_errors.h"
#include "app/scan_progress.h"
#include "app/texts.h"
#include "platform/date_time.h"
#include "platform/text_format.h"

namespace {
constexpr int kGridRows = 1000;  // the heading row and 999 messages
// Far beyond any real mailbox; the rows of a scan stay bounded by it.
constexpr int kMostMessages = 1000000;

// The question names how many messages the purge would delete.
std::string PurgeQuestion(const ScanRecord& record) {
    const auto intruders = std::count_if(record.begin(), record.end(), [](const ScanRow& row) {
        return row.cells[5] == texts::kIntruderMark;
    });
    if (intruders == 1) return std::string(texts::kPurgeQuestionOne);
    return FormatText(std::string(texts::kPurgeQuestionMany), {IntToStr(intruders)});
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
    return InSession([this] {
        view_.cursor.SetBusy(true);
        // Whether the server takes its commands ahead of the answers.
        client_.Capabilities();
        client_.EnableUtf8();
        bool intruderFound = false;
        ScanHeaders(intruderFound);
        view_.cursor.SetBusy(false);
        if (intruderFound && view_.dialogs.Confirm(PurgeQuestion(record_))) Purge();
    });
}

void MailboxActions::ScanHeaders(bool& intruderFound) {
    // Each count is its own STAT exchange, as the status text has always
    // been made.
    std::string countText = std::string(texts::kNoNewMessage);
    if (client_.CountMessages() != 0) {
        bool one = client_.CountMessages() == 1;
        countText =
            IntToStr(client_.CountMessages()) + std::string(one ? texts::kOneMessage : texts::kManyMessages);
    }
    const int count = client_.CountMessages();
    if (count > kMostMessages)
        throw EMailboxTooLarge(
            FormatText(std::string(texts::kTooManyMessages), {IntToStr(count), IntToStr(kMostMessages)}));
    view_.status.SetPanelText(1, countText);
    ScanProgress progress(view_.status, StatusText(hsConnected, ""), count);
    ScanRow pending;
    TIdPOP3::ScanEvents events;
    events.header = [&](int i, TIdMessage&) { pending = RowFromHeader(i); };
    events.size = [&](int i, int size) {
        pending.cells[4] = IntToStr(size);
        pending.cells[5] = lists_.StatusOf({pending.cells[2], pending.address});
        if (pending.cells[5] == texts::kIntruderMark) intruderFound = true;
        // More than 999 messages: the grid grows, a thousand rows at a time.
        if (i >= view_.grid.RowCount()) view_.grid.SetRowCount(std::min(count, i + kGridRows - 1) + 1);
        view_.grid.SetRow(i, pending.cells);
        record_.push_back(std::move(pending));
        progress.Done(i);
    };
    // A row is shown and recorded once its size came.
    client_.ScanHeaders(count, message_, events);
    // Without a CAPA answer UIDL may still be there: "-ERR" then says it is not.
    if (client_.HasCapability("UIDL") || !client_.CapabilitiesKnown()) {
        const std::vector<std::string> ids = client_.ListUniqueIds(static_cast<int>(record_.size()));
        for (std::size_t i = 1; i < ids.size(); ++i) record_[i - 1].uniqueId = ids[i];
    }
}

// Columns 0 to 3 of row i from the header just read.
ScanRow MailboxActions::RowFromHeader(int i) const {
    ScanRow row;
    row.cells[0] = IntToStr(i);
    row.cells[1] = FormatGridDate(message_.Date);
    // A nameless sender is shown by address, so the column is never empty
    // for a message that has a sender.
    row.address = message_.From.Address;
    row.cells[2] = Trim(message_.From.Name).empty() ? row.address : message_.From.Name;
    row.cells[3] = message_.Subject;
    row.headerDigest = HeaderDigest(message_.HeaderLines.Lines());
    row.date = message_.HeaderLines.ValueOf("Date");
    return row;
}

void MailboxActions::Purge() {
    // From the highest number down, on the rows this scan marked: never on
    // what the grid shows, which the user may have rearranged. Rows past the
    // record were not marked, so an inflated count costs nothing.
    const long long count = client_.CountMessages();
    const int highest = static_cast<int>(std::min(count, static_cast<long long>(record_.size())));
    std::vector<int> intruders;
    for (int i = highest; i >= 1; --i) {
        const ScanRow* row = RowOf(record_, i);
        if (row && row->cells[5] == texts::kIntruderMark) intruders.push_back(i);
    }
    // Whatever ends the batch, the journal gets the deletions still marked.
    std::size_t marked = 0;
    try {
        client_.DeleteMessages(intruders, &marked);
    } catch (...) {
        for (std::size_t k = 0; k < marked; ++k) Deleted(intruders[k], DeletionKind::Purge);
        throw;
    }
    for (int i : intruders) Deleted(i, DeletionKind::Purge);
}
