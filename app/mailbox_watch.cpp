#include "app/mailbox_watch.h"

#include <algorithm>
#include <set>

#include "app/account_sweep.h"
#include "app/main_window.h"
#include "app/scan_cells.h"
#include "app/watch_settings.h"
#include "app/watch_texts.h"
#include "platform/file_replace.h"
#include "platform/ini_file.h"
#include "platform/text.h"
#include "platform/text_format.h"

using namespace watch_texts;

namespace {

std::filesystem::path SeenFile(const AppPaths& paths, int slot) {
    return paths.friends.parent_path() / FormatText(std::string(kSeenFile), {IntToStr(slot)});
}

// A server without unique ids: the header stands for the message.
std::string IdOf(const ScanRow& row) { return row.uniqueId.empty() ? "#" + row.headerDigest : row.uniqueId; }

// Nothing: the account was never checked, every message is new.
std::optional<std::set<std::string>> ReadSeen(const std::filesystem::path& file) {
    std::string bytes;
    if (ReadWholeFile(file, bytes) != 0) return std::nullopt;
    std::set<std::string> seen;
    while (!bytes.empty())
        if (std::string id = SplitAt(bytes, "\n"); !id.empty()) seen.insert(std::move(id));
    return seen;
}

// What is on the server now: the ids that went are forgotten.
void WriteSeen(const std::filesystem::path& file, const ScanRecord& rows) {
    std::string bytes;
    for (const ScanRow& row : rows) bytes += IdOf(row) + "\n";
    // A file that cannot be written makes the next check tell these again.
    ReplaceFileAtomically(file, bytes, FileAccess::OwnerOnly);
}

std::string Counted(int count, std::string_view one, std::string_view many) {
    return count == 1 ? std::string(one) : FormatText(std::string(many), {IntToStr(count)});
}

}  // namespace

MailboxWatch::MailboxWatch(Screener& screener, WatchTimer& timer, WatchView& view)
    : screener_(screener), timer_(timer), view_(view) {}

void MailboxWatch::Configure() {
    minutes_ = ReadWatchSettings(TIniFile(screener_.Paths().settings)).minutes;
    if (minutes_ > 0)
        timer_.Start(minutes_ * 60 * 1000, [this] { Check(); });
    else
        timer_.Stop();
}

Outcome MailboxWatch::Check() {
    // A tick can come while a window action waits on the network.
    if (checking_ || screener_.Busy()) return Outcome::Refused({}, Outcome::Fault::Busy);
    checking_ = true;
    const AppPaths& paths = screener_.Paths();
    const TIniFile ini(paths.settings);
    const std::vector<AccountScan> scans =
        screener_.QuietSweep(ReadWatchSettings(ini).accounts, PurgeAllowed(ini));
    WatchNews news;
    news.failures = SweepFailures(scans);
    for (const AccountScan& scan : scans) {
        news.purged += scan.purged;
        // A failed scan says nothing of what is new: its ids stay for the next check.
        if (!scan.outcome.IsDone()) continue;
        const std::filesystem::path file = SeenFile(paths, scan.slot);
        const std::optional<std::set<std::string>> seen = ReadSeen(file);
        for (const ScanRow& row : scan.rows) {
            ++news.waiting;
            if (row.status == SenderStatus::Intruder) ++news.intruders;
            if (seen && seen->count(IdOf(row))) continue;
            ++news.fresh;
            const std::string sender = ShownSender(row);
            if (news.senders.size() < WatchNews::kMostSenders && !sender.empty() &&
                std::find(news.senders.begin(), news.senders.end(), sender) == news.senders.end())
                news.senders.push_back(sender);
        }
        WriteSeen(file, scan.rows);
    }
    news_ = std::move(news);
    checking_ = false;
    Show();
    if (!news_.failures.empty()) return Outcome::Failed({}, news_.failures, Outcome::Fault::Other);
    return Outcome::Done();
}

void MailboxWatch::Show() {
    view_.ShowCounts(news_.waiting, news_.intruders, TrayText(news_));
    if (std::string body = NewsText(news_); !body.empty()) view_.Notify(kNewTitle, body);
}

std::string NewsText(const WatchNews& news) {
    std::string text;
    if (news.fresh > 0) {
        text = Counted(news.fresh, kOneNew, kManyNew);
        std::string senders;
        for (const std::string& sender : news.senders) senders += (senders.empty() ? "" : ", ") + sender;
        if (!senders.empty()) text += FormatText(std::string(kFrom), {senders});
    }
    if (news.purged > 0) text += (text.empty() ? "" : "\n") + Counted(news.purged, kOnePurged, kManyPurged);
    return text;
}

std::string TrayText(const WatchNews& news) {
    std::string text =
        FormatText(std::string(kTrayCounts), {Counted(news.waiting, kOneWaiting, kManyWaiting),
                                              Counted(news.intruders, kOneIntruder, kManyIntruders)});
    if (!news.failures.empty()) text += "\n" + news.failures;
    return text;
}
