#pragma once
// The periodic checks: every N minutes (the "Surveillance" settings) the
// chosen accounts are scanned in turn, quietly. A check never runs inside
// another mailbox action or check, never opens a box (what failed goes to
// the tray's tooltip), and tells of the messages that arrived since the last
// check, found by their unique ids, kept per account beside the lists.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/outcome.h"

class Screener;

// The clock the schedule runs on: the window's timer, a fake in tests.
class WatchTimer {
public:
    virtual ~WatchTimer() = default;
    // Calls `tick` every `ms` from now on, in place of any earlier schedule.
    virtual void Start(int ms, std::function<void()> tick) = 0;
    virtual void Stop() = 0;
};

// Where a check's results show: the tray icon and the desktop's notices.
class WatchView {
public:
    virtual ~WatchView() = default;
    // The messages waiting and the intruders among them on the checked
    // accounts; `tooltip` says so, and what failed.
    virtual void ShowCounts(int waiting, int intruders, std::string_view tooltip) = 0;
    // A desktop notification.
    virtual void Notify(std::string_view title, std::string_view body) = 0;
};

// What one check found.
struct WatchNews {
    int fresh = 0;                     // messages not seen by an earlier check
    std::vector<std::string> senders;  // theirs, each once, at most kMostSenders
    int purged = 0;                    // intruders deleted without asking
    int waiting = 0;                   // on the server after the check
    int intruders = 0;                 // among them
    std::string failures;              // SweepFailures; empty when all went well
    static constexpr std::size_t kMostSenders = 3;
};

class MailboxWatch {
public:
    MailboxWatch(Screener& screener, WatchTimer& timer, WatchView& view);

    // Reads the settings and starts, changes or stops the schedule.
    void Configure();
    // Periodic checks are on.
    bool Active() const { return minutes_ > 0; }
    // One check now (the timer's tick, the tray's "Vérifier maintenant").
    // Refused with Fault::Busy, and nothing shown, while another mailbox
    // action or check runs; the next tick tries again.
    Outcome Check();
    // What the last check that ran found.
    const WatchNews& LastNews() const { return news_; }

private:
    void Show();

    Screener& screener_;
    WatchTimer& timer_;
    WatchView& view_;
    int minutes_ = 0;
    bool checking_ = false;
    WatchNews news_;
};

// The notification's text for `news`: "2 nouveaux messages de Anne, Bob",
// then on a line of its own "1 intrus supprimé"; empty when nothing is new.
std::string NewsText(const WatchNews& news);
// "Vannoir : 3 messages en attente, 1 intrus", then the failures on a line
// of their own.
std::string TrayText(const WatchNews& news);
