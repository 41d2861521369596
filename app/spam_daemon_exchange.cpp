#include "app/spam_daemon_exchange.h"

#include <algorithm>
#include <charconv>

#include "net/http_post.h"
#include "net/net_errors.h"

namespace {

std::string Engine(std::string_view daemon, std::string_view where) {
    return "Le moteur antispam " + std::string(daemon) + " (" + std::string(where) + ")";
}

}  // namespace

SpamScanClock::SpamScanClock(const SpamDaemonLimits& limits, std::size_t count)
    : exchangeMs_(limits.exchangeMs),
      count_(count),
      end_(std::chrono::steady_clock::now() + std::chrono::milliseconds(limits.scanMs) +
           std::chrono::milliseconds(limits.perMessageMs) * static_cast<long long>(count)) {}

ESpamEngineError SpamScanClock::Spent(std::string_view daemon) const {
    return ESpamEngineError("Le moteur antispam " + std::string(daemon) + " est trop lent : " +
                            std::to_string(count_) + " messages n'ont pas été jugés dans le temps accordé.");
}

int SpamScanClock::NextExchangeMs(std::string_view daemon) const {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(end_ - std::chrono::steady_clock::now())
            .count();
    cut_ = left < exchangeMs_;
    if (left <= 0) throw Spent(daemon);
    return static_cast<int>(std::min<long long>(left, exchangeMs_));
}

void ThrowSpamDaemonFault(std::string_view daemon, std::string_view where, const SpamScanClock* clock) {
    const std::string engine = Engine(daemon, where);
    const auto late = [&] {
        if (clock && clock->Cut()) return clock->Spent(daemon);
        return ESpamEngineError(engine + " n'a pas répondu à temps.");
    };
    try {
        throw;
    } catch (const EIdReadTimeout&) {
        throw late();
    } catch (const EIdConnectTimeout&) {
        throw late();
    } catch (const EIdConnClosedGracefully&) {
        throw ESpamEngineError(engine + " a coupé la connexion avant la fin de sa réponse.");
    } catch (const EIdClosedSocket&) {
        throw ESpamEngineError(engine + " a coupé la connexion avant la fin de sa réponse.");
    } catch (const EHttpBadAnswer&) {
        throw ESpamEngineError(engine + " a envoyé une réponse illisible ou trop longue.");
    } catch (const EIdReadLnMaxLineLengthExceeded&) {
        throw ESpamEngineError(engine + " a envoyé une réponse illisible ou trop longue.");
    } catch (const EIdException& e) {
        if (e.Kind() == ErrorKind::Network)
            throw ESpamEngineError(engine + " est injoignable ou a rompu la connexion : " + e.Message());
        throw ESpamEngineError(engine + " : " + e.Message());
    }
}

void ThrowSpamDaemonRefusal(std::string_view daemon, std::string_view where, std::string_view why) {
    throw ESpamEngineError(Engine(daemon, where) + " a refusé la demande : " + std::string(why) + ".");
}

void ThrowSpamDaemonGarbage(std::string_view daemon, std::string_view where) {
    throw ESpamEngineError(Engine(daemon, where) + " a envoyé une réponse illisible.");
}

std::optional<double> SpamScoreOf(std::string_view text) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

std::string SpamFieldValue(std::string_view value) {
    std::string kept;
    for (char c : value)
        if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) kept += c;
    return kept;
}
