// The scan: one row per waiting message from its header only, friends and
// intruders marked, and the intruders deleted on request.
#include <algorithm>
#include <future>

#include "app/corbeille.h"
#include "app/header_cache.h"
#include "app/mailbox_actions.h"
#include "app/mailbox_errors.h"
#include "app/scan_cells.h"
#include "app/scan_progress.h"
#include "app/scan_row_builder.h"
#include "app/spam_bogofilter.h"
#include "app/spam_settings.h"
#include "app/spam_texts.h"
#include "app/texts.h"
#include "message/internet_date.h"
#include "net/anti_freeze.h"
#include "platform/ini_file.h"
#include "platform/interruption.h"
#include "platform/text_format.h"

namespace {
// The header as the engine reads it: CR LF lines and the empty line.
std::string HeaderBlock(const TIdHeaderList& lines) {
    std::string block;
    for (int i = 0; i < lines.Count(); ++i) block += lines[i] + "\r\n";
    return block + "\r\n";
}

// Far beyond any real mailbox; the rows of a scan stay bounded by it.
constexpr int kMostMessages = 1000000;

bool IsIntruder(const ScanRow& row) { return row.status == SenderStatus::Intruder; }

// The question names how many messages the purge would delete.
std::string PurgeQuestion(const ScanRecord& record, bool suspects) {
    const auto intruders = std::count_if(record.begin(), record.end(), IsIntruder) +
                           (suspects ? std::count_if(record.begin(), record.end(), IsSuspect) : 0);
    if (intruders == 1) return std::string(texts::kPurgeQuestionOne);
    return FormatText(std::string(texts::kPurgeQuestionMany), {IntToStr(intruders)});
}

// The messages the purge would delete, one line each: sender, subject;
// the suspects below the intruders, under their heading.
std::vector<std::string> PurgeList(const ScanRecord& record, bool suspects) {
    std::vector<std::string> lines;
    for (const ScanRow& row : record)
        if (IsIntruder(row)) lines.push_back(ShownSender(row) + " : " + ShownSubject(row));
    if (!suspects) return lines;
    lines.push_back(std::string(texts::kSuspectsHeading));
    for (const ScanRow& row : record)
        if (IsSuspect(row)) lines.push_back(ShownSender(row) + " : " + ShownSubject(row));
    return lines;
}

std::string CountText(int count) {
    if (count == 0) return std::string(texts::kNoNewMessage);
    return IntToStr(count) + std::string(count == 1 ? texts::kOneMessage : texts::kManyMessages);
}
}  // namespace

void MailboxActions::ClearRows() {
    // The heading row alone: no cell of an earlier scan survives, and the
    // grid grows a row for each message shown.
    view_.grid.ClearRows(1);
    record_.clear();
    scanHeaders_.clear();
    haveRecord_ = true;
}

Outcome MailboxActions::RunScan(ScanReading reading) {
    ClearRows();
    std::vector<int> purged;
    // The scan's four counts ride with the log-in when the server pipelines,
    // and the listings the header cache needs too when there is one.
    HeaderCache cache = HeaderCacheOfAccount();
    std::error_code ec;
    const bool kept =
        reading == ScanReading::Cached && !cache.File().empty() && std::filesystem::exists(cache.File(), ec);
    client_.CountsWithLogIn = 4;
    client_.ListingsWithLogIn = kept;
    // Read while the server is busy with the log-in: a second look then
    // waits only for the network. Declared after the cache, so that it ends first.
    std::future<void> loading;
    if (kept) loading = std::async(std::launch::async, [&cache] { cache.Load(); });
    Outcome outcome = InSession([&] {
        view_.cursor.SetBusy(true);
        bool intruderFound = false;
        ScanHeaders(cache, loading, intruderFound);
        view_.cursor.SetBusy(false);
        // A window closed meanwhile asks nothing more.
        Interruption::ThrowIfRequested();
        const bool suspects = SuspectsGo() && std::any_of(record_.begin(), record_.end(), IsSuspect);
        if ((intruderFound || suspects) &&
            view_.dialogs.Confirm(PurgeQuestion(record_, suspects), PurgeList(record_, suspects)))
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

void MailboxActions::ScanHeaders(HeaderCache& cache, std::future<void>& loading, bool& intruderFound) {
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
        if (i >= view_.grid.RowCount()) view_.grid.SetRowCount(i + 1);
        ShowRow(view_.grid, i, row);
        record_.push_back(std::move(row));
        progress.Done(i);
        // Rows that keep coming may never leave a wait idle: the stop is looked at here too.
        Interruption::ThrowIfRequested();
    };
    ScanRow pending;
    // The fetched headers, for the spam engine once they are all in.
    std::vector<std::pair<int, std::string>> fetchedHeaders;
    TIdPOP3::ScanEvents events;
    events.header = [&](int i, TIdMessage& message) {
        pending = ScanRowFromHeader(i, message.HeaderLines, localOffset, message.HeaderFault,
                                    applied_.resultService);
        if (!spamWords_.empty()) fetchedHeaders.emplace_back(i, HeaderBlock(message.HeaderLines));
    };
    events.size = [&](int, int size) {
        if (size >= 0) pending.size = size;
        show(std::move(pending));
    };
    // Without a CAPA answer UIDL may still be there: "-ERR" then says it is not.
    const bool uniqueIds = client_.HasCapability("UIDL") || !client_.CapabilitiesKnown();
    if (loading.valid()) loading.get();
    std::optional<int> fetched;  // with the cache: how many headers came from the server
    if (uniqueIds && count > 0 && !cache.Empty()) {
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
    const std::string noScore = JudgeSpam(fetchedHeaders);
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
    if (!noScore.empty()) panel += " ; " + FormatText(std::string(spam_texts::kNoScore), {noScore});
    if (panel != countText) view_.status.SetPanelText(1, panel);
}

std::string MailboxActions::JudgeSpam(const std::vector<std::pair<int, std::string>>& fetched) {
    // Kept for what the user decides next: a deleted intruder is learned from them.
    for (const auto& [number, header] : fetched)
        if (const ScanRow* row = RowOf(record_, number)) scanHeaders_[row->headerDigest] = header;
    if (fetched.empty()) return {};
    try {
        // The window stays live while the engine works.
        const auto engine = MakeSpamEngine(ReadSpamSettings(TIniFile(spamSettings_)), spamWords_, [] {
            if (AntiFreezeInEffect()) RegisteredAntiFreeze()->ProcessWaitingMessages();
        });
        if (!engine) return {};
        std::vector<std::string> headers;
        headers.reserve(fetched.size());
        for (const auto& [number, header] : fetched) headers.push_back(header);
        std::vector<SpamVerdict> verdicts = engine->Judge(headers);
        for (std::size_t i = 0; i < fetched.size(); ++i) {
            ScanRow* row = const_cast<ScanRow*>(RowOf(record_, fetched[i].first));
            if (!row) continue;
            row->spam = std::move(verdicts[i]);
            ShowRow(view_.grid, row->number, *row);
        }
        return {};
    } catch (const ESpamEngineError& e) {
        return e.Message();
    }
}

HeaderCache MailboxActions::HeaderCacheOfAccount() const {
    if (headerCacheFolder_.empty()) return {};
    return HeaderCache(headerCacheFolder_, {applied_.host, applied_.port, applied_.user},
                       applied_.resultService);
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

bool MailboxActions::SuspectsGo() const {
    return purgeSuspects_ && !corbeille_.empty() && ReadCorbeilleLimits(TIniFile(settings_)).enabled;
}

std::vector<int> MailboxActions::Purge() {
    // From the highest number down, on the rows this scan marked: never on
    // what the grid shows, which the user may have rearranged. Rows past the
    // record were not marked, so an inflated count costs nothing.
    const long long count = client_.CountMessages();
    const int highest = static_cast<int>(std::min(count, static_cast<long long>(record_.size())));
    const bool suspects = SuspectsGo();
    std::vector<int> intruders;
    for (int i = highest; i >= 1; --i) {
        const ScanRow* row = RowOf(record_, i);
        if (row && (row->status == SenderStatus::Intruder || (suspects && IsSuspect(*row))))
            intruders.push_back(i);
    }
    return DeleteKeepingCopies(intruders, DeletionKind::Purge);
}
