// The scan: one row per waiting message from its header only, friends and
// intruders marked, and the intruders deleted on request.
#include <algorithm>

#include "app/mailbox_actions.h"
#include "app/mailbox_errors.h"
#include "app/scan_progress.h"
#include "app/texts.h"
#include "platform/date_time.h"
#include "platform/interruption.h"
#include "platform/text_format.h"

namespace {
constexpr int kGridRows = 1000;  // the heading row and 999 messages
// Far beyond any real mailbox; the rows of a scan stay bounded by it.
constexpr int kMostMessages = 1000000;

bool IsIntruder(const ScanRow& row) { return row.cells[5] == texts::kIntruderMark; }

// The question names how many messages the purge would delete.
std::string PurgeQuestion(const ScanRecord& record) {
    const auto intruders = std::count_if(record.begin(), record.end(), IsIntruder);
    if (intruders == 1) return Ansi(texts::kPurgeQuestionOne);
    return FormatText(Ansi(texts::kPurgeQuestionMany), {IntToStr(intruders)});
}

// The messages the purge would delete, one line each: sender, subject.
std::vector<std::string> PurgeList(const ScanRecord& record) {
    std::vector<std::string> lines;
    for (const ScanRow& row : record)
        if (IsIntruder(row)) lines.push_back(row.cells[2] + " : " + row.cells[3]);
    return lines;
}

std::string CountText(int count) {
    if (count == 0) return Ansi(texts::kNoNewMessage);
    return IntToStr(count) + Ansi(count == 1 ? texts::kOneMessage : texts::kManyMessages);
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
    Outcome outcome = InSession([&] {
        view_.cursor.SetBusy(true);
        // Whether the server takes its commands ahead of the answers.
        client_.Capabilities();
        bool intruderFound = false;
        ScanHeaders(intruderFound);
        view_.cursor.SetBusy(false);
        // A window closed meanwhile asks nothing more.
        Interruption::ThrowIfRequested();
        if (intruderFound && view_.dialogs.Confirm(PurgeQuestion(record_), PurgeList(record_)))
            purged = Purge();
    });
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
        record_[i].cells[0] = IntToStr(static_cast<int>(i) + 1);
        view_.grid.SetRow(static_cast<int>(i) + 1, record_[i].cells);
    }
    view_.status.SetPanelText(1, CountText(static_cast<int>(record_.size())));
}

void MailboxActions::ScanHeaders(bool& intruderFound) {
    // Each count is its own STAT exchange, as the status text has always
    // been made.
    std::string countText = Ansi(texts::kNoNewMessage);
    if (client_.CountMessages() != 0) {
        bool one = client_.CountMessages() == 1;
        countText = IntToStr(client_.CountMessages()) + Ansi(one ? texts::kOneMessage : texts::kManyMessages);
    }
    const int count = client_.CountMessages();
    if (count > kMostMessages)
        throw EMailboxTooLarge(
            FormatText(Ansi(texts::kTooManyMessages), {IntToStr(count), IntToStr(kMostMessages)}));
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
        // Rows that keep coming may never leave a wait idle: the stop is looked at here too.
        Interruption::ThrowIfRequested();
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

std::vector<int> MailboxActions::Purge() {
    // From the highest number down, on the rows this scan marked: never on
    // what the grid shows, which the user may have rearranged. Rows past the
    // record were not marked, so an inflated count costs nothing.
    const long long count = client_.CountMessages();
    const int highest = static_cast<int>(std::min(count, static_cast<long long>(record_.size())));
    std::vector<int> intruders;
    for (int i = highest; i >= 1; --i) {
        const ScanRow* row = RowOf(record_, i);
        if (row && IsIntruder(*row)) intruders.push_back(i);
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
    return intruders;
}
