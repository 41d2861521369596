// SpamAssassin's daemon, spoken to in its SPAMC protocol: SYMBOLS for a
// verdict with the names of the rules that hit, TELL to learn. The daemon
// answers one request per connection, so a scan is one connection after
// another, never two at once.
#include <chrono>
#include <string>
#include <vector>

#include "app/spam_daemon_exchange.h"
#include "app/spam_daemons.h"
#include "net/http_post.h"
#include "net/tcp_client.h"
#include "platform/text.h"

namespace {

constexpr const char* kDaemon = "spamd";
// Rule names of one message: a few hundred bytes.
constexpr std::size_t kLargestAnswer = 64 * 1024;

class SpamdEngine : public SpamEngine {
public:
    SpamdEngine(const SpamSettings& settings, SpamDaemonLimits limits)
        : host_(settings.host),
          port_(settings.port > 0 ? settings.port : 783),
          user_(SpamFieldValue(settings.user)),
          limits_(limits),
          where_(settings.host + ":" + std::to_string(port_)) {}

    std::vector<SpamVerdict> Judge(const std::vector<std::string>& messages) override {
        const SpamScanClock clock(limits_, messages.size());
        std::vector<SpamVerdict> verdicts;
        verdicts.reserve(messages.size());
        for (const std::string& message : messages)
            verdicts.push_back(
                VerdictOf(Exchange("SYMBOLS", "", message, clock.NextExchangeMs(kDaemon), &clock)));
        return verdicts;
    }

    void Learn(std::string_view message, SpamLabel label, bool forgetOther) override {
        const char* learned = label == SpamLabel::Spam ? "spam" : "ham";
        const char* other = label == SpamLabel::Spam ? "ham" : "spam";
        if (forgetOther)
            Exchange("TELL", std::string("Message-class: ") + other + "\r\nRemove: local\r\n", message,
                     limits_.exchangeMs);
        // Already known under this label: the daemon answers without DidSet,
        // which is no failure.
        Exchange("TELL", std::string("Message-class: ") + learned + "\r\nSet: local\r\n", message,
                 limits_.exchangeMs);
    }

private:
    HeaderedAnswer Exchange(std::string_view command, const std::string& fields, std::string_view message,
                            int limitMs, const SpamScanClock* clock = nullptr) {
        return WithSpamDaemon(
            kDaemon, where_,
            [&] {
                TIdTCPClient client;
                client.Host = host_;
                client.Port = port_;
                client.ConnectTimeout = limitMs;
                client.ReadTimeout = limitMs;
                client.ReadDeadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
                client.MaxLineLength = 8192;
                client.OpenConnection();
                std::string request = std::string(command) +
                                      " SPAMC/1.5\r\nContent-length: " + std::to_string(message.size()) +
                                      "\r\n";
                if (!user_.empty()) request += "User: " + user_ + "\r\n";
                request += fields + "\r\n";
                request += message;
                client.WriteText(request);
                return ReadHeaderedAnswer(client, kLargestAnswer,
                                          [&](const std::string& first) { Check(first); });
            },
            clock);
    }

    // "SPAMD/1.1 0 EX_OK": a version, a code from sysexits.h, its name. After
    // any code but 0 the daemon sends nothing more.
    void Check(const std::string& first) const {
        const std::size_t space = first.find(' ');
        if (!first.starts_with("SPAMD/") || space == std::string::npos)
            ThrowSpamDaemonGarbage(kDaemon, where_);
        const std::size_t second = first.find(' ', space + 1);
        const std::string code =
            first.substr(space + 1, second == std::string::npos ? second : second - space - 1);
        if (code == "0") return;
        const std::string why = second == std::string::npos ? "" : Trim(first.substr(second + 1));
        ThrowSpamDaemonRefusal(kDaemon, where_, "« " + ValidUtf8(why) + " » (code " + ValidUtf8(code) + ")");
    }

    // "Spam: True ; 15.3 / 5.0" and the rules, comma-separated, in the body.
    SpamVerdict VerdictOf(const HeaderedAnswer& answer) const {
        const std::optional<std::string> spam = answer.Field("Spam");
        if (!spam) ThrowSpamDaemonGarbage(kDaemon, where_);
        const std::size_t semicolon = spam->find(';');
        const std::size_t slash = spam->find('/', semicolon == std::string::npos ? 0 : semicolon);
        if (semicolon == std::string::npos || slash == std::string::npos)
            ThrowSpamDaemonGarbage(kDaemon, where_);
        const std::string flag = LowerCase(Trim(spam->substr(0, semicolon)));
        const std::optional<double> score =
            SpamScoreOf(Trim(spam->substr(semicolon + 1, slash - semicolon - 1)));
        if ((flag != "true" && flag != "false" && flag != "yes" && flag != "no") || !score)
            ThrowSpamDaemonGarbage(kDaemon, where_);
        SpamVerdict verdict;
        verdict.score = score;
        verdict.judgement = flag == "true" || flag == "yes" ? SpamJudgement::Spam : SpamJudgement::Wanted;
        std::string rules = answer.body;
        while (!rules.empty()) {
            const std::string rule = Trim(SplitAt(rules, ","));
            if (!rule.empty()) verdict.reasons.push_back(ValidUtf8(rule));
        }
        return verdict;
    }

    std::string host_;
    int port_;
    std::string user_;
    SpamDaemonLimits limits_;
    std::string where_;
};

}  // namespace

std::unique_ptr<SpamEngine> MakeSpamdEngine(const SpamSettings& settings, SpamDaemonLimits limits) {
    return std::make_unique<SpamdEngine>(settings, limits);
}
