// rspamd over HTTP: /checkv2 on the normal worker for verdicts, /learnspam
// and /learnham on the controller (the next port) to learn. A scan's
// requests share one connection while the worker keeps it open.
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "app/spam_daemon_exchange.h"
#include "app/spam_daemons.h"
#include "net/http_post.h"
#include "platform/json_fields.h"
#include "platform/text.h"

namespace {

constexpr const char* kDaemon = "rspamd";

class RspamdEngine : public SpamEngine {
public:
    RspamdEngine(const SpamSettings& settings, SpamDaemonLimits limits)
        : worker_(settings.host, settings.port > 0 ? settings.port : 11333),
          controller_(settings.host, worker_.second + 1),
          password_(SpamFieldValue(settings.password)),
          limits_(limits) {}

    std::vector<SpamVerdict> Judge(const std::vector<std::string>& messages) override {
        const SpamScanClock clock(limits_, messages.size());
        HttpConnection connection(Origin(worker_));
        const std::string where = Where(worker_);
        std::vector<SpamVerdict> verdicts;
        verdicts.reserve(messages.size());
        for (const std::string& message : messages) {
            const HttpAnswer answer = WithSpamDaemon(
                kDaemon, where,
                [&] {
                    return connection.Request("POST", "/checkv2", {{"Accept", "application/json"}}, message,
                                              clock.NextExchangeMs(kDaemon));
                },
                &clock);
            if (answer.status != 200) ThrowSpamDaemonRefusal(kDaemon, where, RefusalOf(answer));
            verdicts.push_back(VerdictOf(answer.body, where));
        }
        return verdicts;
    }

    // The controller forgets the other label by itself when a message
    // learned as one is learned as the other.
    void Learn(std::string_view message, SpamLabel label, bool) override {
        HttpConnection connection(Origin(controller_));
        const std::string where = Where(controller_);
        const HttpAnswer answer = WithSpamDaemon(kDaemon, where, [&] {
            return connection.Request("POST", label == SpamLabel::Spam ? "/learnspam" : "/learnham",
                                      {{"Accept", "application/json"}, {"Password", password_}}, message,
                                      limits_.exchangeMs);
        });
        // 204: too little text to learn from, nothing taught and nothing wrong.
        if (answer.status == 200 || answer.status == 204) return;
        // Learned before under this label: once is enough.
        if (answer.body.find("already learned") != std::string::npos) return;
        if (answer.status == 401 || answer.status == 403)
            ThrowSpamDaemonRefusal(kDaemon, where, "mot de passe du contrôleur refusé");
        ThrowSpamDaemonRefusal(kDaemon, where, RefusalOf(answer));
    }

private:
    using HostPort = std::pair<std::string, int>;

    static HttpAddress Origin(const HostPort& at) { return HttpAddress{false, at.first, at.second, "/"}; }
    static std::string Where(const HostPort& at) { return at.first + ":" + std::to_string(at.second); }

    // The daemon's own words when it gives them ({"error":"…"}), else the status.
    static std::string RefusalOf(const HttpAnswer& answer) {
        const std::string status = "HTTP " + std::to_string(answer.status);
        if (const auto fields = JsonObjectFields(answer.body)) {
            if (const auto error = fields->find("error"); error != fields->end())
                return "« " + ValidUtf8(error->second) + " » (" + status + ")";
        }
        return status;
    }

    // {"score":5.2,"action":"add header","symbols":{"NAME":{"score":1.5,…},…},…}
    static SpamVerdict VerdictOf(const std::string& body, const std::string& where) {
        const auto fields = JsonObjectFields(body);
        if (!fields) ThrowSpamDaemonGarbage(kDaemon, where);
        const auto field = [&](const char* name) {
            const auto found = fields->find(name);
            return found == fields->end() ? std::optional<std::string>() : found->second;
        };
        SpamVerdict verdict;
        // A pre-result (a test pattern, a rule that ends the scan) skips the
        // rest: the symbols that decided then weigh nothing, yet are the reasons.
        const bool skipped = field("is_skipped") == "true";
        const std::optional<std::string> action = field("action");
        const std::optional<std::string> scoreText = field("score");
        verdict.score = scoreText ? SpamScoreOf(*scoreText) : std::nullopt;
        if (!action || !verdict.score) ThrowSpamDaemonGarbage(kDaemon, where);
        if (*action == "reject" || *action == "add header" || *action == "rewrite subject")
            verdict.judgement = SpamJudgement::Spam;
        else if (*action == "no action")
            verdict.judgement = SpamJudgement::Wanted;
        // greylist, soft reject: the daemon defers rather than decides.
        else
            verdict.judgement = SpamJudgement::Unsure;
        // The symbols that weigh, heaviest first.
        std::vector<std::pair<double, std::string>> weighed;
        if (const std::optional<std::string> symbols = field("symbols")) {
            const auto named = JsonObjectFields(*symbols);
            if (!named) ThrowSpamDaemonGarbage(kDaemon, where);
            for (const auto& [name, text] : *named) {
                std::optional<double> weight;
                if (const auto symbol = JsonObjectFields(text)) {
                    if (const auto score = symbol->find("score"); score != symbol->end())
                        weight = SpamScoreOf(score->second);
                }
                if (!weight) ThrowSpamDaemonGarbage(kDaemon, where);
                if (*weight != 0 || skipped) weighed.emplace_back(*weight, name);
            }
        }
        std::stable_sort(weighed.begin(), weighed.end(),
                         [](const auto& a, const auto& b) { return a.first > b.first; });
        for (auto& [weight, name] : weighed) verdict.reasons.push_back(ValidUtf8(name));
        return verdict;
    }

    HostPort worker_;
    HostPort controller_;
    std::string password_;
    SpamDaemonLimits limits_;
};

}  // namespace

std::unique_ptr<SpamEngine> MakeRspamdEngine(const SpamSettings& settings, SpamDaemonLimits limits) {
    return std::make_unique<RspamdEngine>(settings, limits);
}
