#pragma once
// What the daemon engines share: the time a whole scan may take, and the
// sentence a user reads for each way an exchange with a daemon fails.
#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "app/spam_daemons.h"

// The time left to a scan of `count` messages, handed out one exchange at a
// time: each gets exchangeMs or what is left of the scan, whichever is less.
class SpamScanClock {
public:
    SpamScanClock(const SpamDaemonLimits& limits, std::size_t count);
    // Throws ESpamEngineError naming `daemon` once the scan's time is spent.
    int NextExchangeMs(std::string_view daemon) const;
    // Whether the last exchange was given less than its own limit: its time
    // running out is then the scan's.
    bool Cut() const { return cut_; }
    // "… est trop lent : N messages n'ont pas été jugés dans le temps accordé."
    ESpamEngineError Spent(std::string_view daemon) const;

private:
    int exchangeMs_;
    std::size_t count_;
    std::chrono::steady_clock::time_point end_;
    mutable bool cut_ = false;
};

// The sentence for the error being handled, met while speaking to `daemon`
// at `where`; with `clock`, a time limit it cut short is the whole scan's.
[[noreturn]] void ThrowSpamDaemonFault(std::string_view daemon, std::string_view where,
                                       const SpamScanClock* clock);
// "Le moteur antispam <daemon> (<where>) a refusé la demande : <why>."
[[noreturn]] void ThrowSpamDaemonRefusal(std::string_view daemon, std::string_view where,
                                         std::string_view why);
// "… a envoyé une réponse illisible."
[[noreturn]] void ThrowSpamDaemonGarbage(std::string_view daemon, std::string_view where);

// A settings value fit for a request's header field: line breaks and other
// control characters dropped, so that it cannot add a field of its own.
std::string SpamFieldValue(std::string_view value);

// A decimal number as a daemon writes it ("3.2", "-0.100000"); nothing for
// anything else.
std::optional<double> SpamScoreOf(std::string_view text);

// Runs one exchange; a network or protocol error becomes ESpamEngineError
// saying what happened with `daemon` at `where` (host:port).
template <class Exchange>
auto WithSpamDaemon(std::string_view daemon, std::string_view where, Exchange exchange,
                    const SpamScanClock* clock = nullptr) -> decltype(exchange()) {
    try {
        return exchange();
    } catch (const ESpamEngineError&) {
        throw;
    } catch (const EIdException&) {
        ThrowSpamDaemonFault(daemon, where, clock);
    }
}
