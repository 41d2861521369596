// The scan: one row per waiting message from its header only, friends and
// intruders marked, and the intruders deleted on request.
#include <algorithm>

#include "app/header_cache.h"
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
        if (IsIntruder(row)) lines.push_back(ShownSender(row) + " : " + ShownSubject(row));
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

Outcome MailboxActions::RunScan(ScanReading reading) {
    ClearRows();
    std::vector<int> purged;
    // The scan's four counts ride with the log-in when the server pipelines,
    // and the listings the header cache needs too when there is one.
    client_.CountsWithLogIn = 4;
    client_.ListingsWithLogIn = reading == ScanReading::Cached && HeaderCacheKept();
    Outcome outcome = InSession([&] {
        view_.cursor.SetBusy(true);
        bool intruderFound = false;
        ScanHeaders(reading, intruderFound);
        view_.cursor.SetBusy(false);
        // A window closed meanwhile asks nothing more.
        Interruption::ThrowIfRequested();
        if (intruderFound && view_.dialogs.Confirm(PurgeQuestion(record_), PurgeList(record_)))
            purged = Purge();
    });
    client_.CountsWithLogIn = 0;
    client_.ListingsWithLogIn = false;
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
    for (std::size_t i = 0; i < record_.size(); ++i) record_[i].number = static_cast<int>(i) + 1;
    ShowRows(view_.grid, record_);
    std::string countText = CountText(static_cast<int>(record_.size()));
    if (std::string unreadable = UnreadableCountText(record_); !unreadable.empty())
        countText += ", " + unreadable;
    view_.status.SetPanelText(1, countText);
}

void MailboxActions::ScanHeaders(ScanReading reading, bool& intruderFound) {
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
    // Each row, fetched or known, is marked by the lists of now, shown and
    // recorded in the server's order.
    const auto show = [&](ScanRow&& row) {
        const int i = row.number;
        lists_.Mark(row, applied_.unknownIsFailed);
        if (row.status == SenderStatus::Intruder) intruderFound = true;
        // More than 999 messages: the grid grows, a thousand rows at a time.
        if (i >= view_.grid.RowCount()) view_.grid.SetRowCount(std::min(count, i + kGridRows - 1) + 1);
        ShowRow(view_.grid, i, row);
        record_.push_back(std::move(row));
        progress.Done(i);
        // Rows that keep coming may never leave a wait idle: the stop is looked at here too.
        Interruption::ThrowIfRequested();
    };
    ScanRow pending;
    TIdPOP3::ScanEvents events;
    events.header = [&](int i, TIdMessage& message) {
        pending = ScanRowFromHeader(i, message.HeaderLines, localOffset, message.HeaderFault,
                                    applied_.resultService);
    };
    events.size = [&](int, int size) {
        if (size >= 0) pending.size = size;
        show(std::move(pending));
    };
    // Without a CAPA answer UIDL may still be there: "-ERR" then says it is not.
    const bool uniqueIds = client_.HasCapability("UIDL") || !client_.CapabilitiesKnown();
    HeaderCache cache = HeaderCacheOfAccount();
    if (reading == ScanReading::Cached && uniqueIds && count > 0) cache.Load();
    std::optional<int> fetched;  // with the cache: how many headers came from the server
    if (!cache.Empty()) {
        const TIdPOP3::Listing listing = client_.ListIdsAndSizes(count);
        if (!listing.ids.empty()) {
            fetched = ScanWithCache(cache, listing, count, localOffset, events, show);
        } else {
            client_.ScanHeaders(count, message_, events);
        }
    } else {
        if (uniqueIds)
            events.uniqueIds = [&](std::vector<std::string>&& ids) {
                for (std::size_t i = 1; i < ids.size() && i <= record_.size(); ++i)
                    record_[i - 1].uniqueId = std::move(ids[i]);
            };
        // A row is shown and recorded once its size came.
        client_.ScanHeaders(count, message_, events);
    }
    // What this scan read serves the next one, without the messages gone
    // since; a cache that cannot be written only costs that one time.
    if (uniqueIds && (!fetched || *fetched > 0 || cache.Size() != record_.size())) cache.Store(record_);
    std::string panel = countText;
    if (std::string unreadable = UnreadableCountText(record_); !unreadable.empty())
        panel += ", " + unreadable;
    if (fetched)
        panel += " (" +
                 FormatText(std::string(*fetched <= 1 ? texts::kCachedOne : texts::kCachedMany),
                            {IntToStr(*fetched), IntToStr(count - *fetched)}) +
                 ")";
    if (panel != countText) view_.status.SetPanelText(1, panel);
}

HeaderCache MailboxActions::HeaderCacheOfAccount() const {
    if (headerCacheFolder_.empty()) return {};
    return HeaderCache(headerCacheFolder_, {applied_.host, applied_.port, applied_.user},
                       applied_.resultService);
}

bool MailboxActions::HeaderCacheKept() const {
    std::error_code ec;
    const HeaderCache cache = HeaderCacheOfAccount();
    return !cache.File().empty() && std::filesystem::exists(cache.File(), ec);
}

int MailboxActions::ScanWithCache(const HeaderCache& cache, const TIdPOP3::Listing& listing, int count,
                                  TDateTime localOffset, const TIdPOP3::ScanEvents& fetched,
                                  const std::function<void(ScanRow&&)>& show) {
    const auto listedSize = [&](int n) -> std::optional<std::int64_t> {
        if (static_cast<std::size_t>(n) >= listing.sizes.size() ||
            listing.sizes[static_cast<std::size_t>(n)] < 0)
            return std::nullopt;
        return listing.sizes[static_cast<std::size_t>(n)];
    };
    // Known: the same id with the same listed size. An id listed with
    // another size is another message under an old id: nothing kept can be
    // trusted then, every header is fetched again.
    std::vector<const ScanRow*> known(static_cast<std::size_t>(count) + 1, nullptr);
    std::vector<int> numbers;
    bool reused = false;
    for (int n = 1; n <= count; ++n) {
        const std::string& id = listing.ids[static_cast<std::size_t>(n)];
        const ScanRow* row = id.empty() ? nullptr : cache.Find(id);
        const std::optional<std::int64_t> size = listedSize(n);
        if (row && size && row->size == size)
            known[static_cast<std::size_t>(n)] = row;
        else
            numbers.push_back(n);
        if (row && size && row->size && row->size != size) reused = true;
    }
    if (reused) {
        std::fill(known.begin(), known.end(), nullptr);
        numbers.resize(static_cast<std::size_t>(count));
        for (int n = 1; n <= count; ++n) numbers[static_cast<std::size_t>(n) - 1] = n;
    }
    int next = 1;
    // The known rows before message `upTo`, renumbered as the server numbers them now.
    const auto showKnown = [&](int upTo) {
        for (; next < upTo; ++next) {
            const ScanRow* kept = known[static_cast<std::size_t>(next)];
            if (!kept) continue;
            ScanRow row = *kept;
            row.number = next;
            row.size = listedSize(next);
            // Dates are shown in the zone of now, as a fetched header's are.
            if (row.date)
                row.date->local = row.date->written - row.date->offsetMinutes / 1440.0 + localOffset;
            show(std::move(row));
        }
    };
    TIdPOP3::ScanEvents events = fetched;
    events.header = [&](int n, TIdMessage& message) {
        showKnown(n);
        fetched.header(n, message);
    };
    events.size = [&](int n, int size) {
        // The id is the listing's; size and marks as in a full scan.
        fetched.size(n, size);
        record_.back().uniqueId = listing.ids[static_cast<std::size_t>(n)];
        next = n + 1;
    };
    client_.ScanSomeHeaders(numbers, listing.sizes, message_, events);
    showKnown(count + 1);
    return static_cast<int>(numbers.size());
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
