// The daemon engines against a scripted peer: the exact requests, the
// verdicts read from the answers, and every way a daemon can misbehave
// (garbage, a refusal, a huge or cut answer, silence) ending in one French
// sentence within the time limit, never a hang.
#include "app/spam_daemons.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "support/expect_error.h"
#include "support/loopback.h"
#include "support/scripted_pop3_server.h"

namespace {

using Clock = std::chrono::steady_clock;

const std::string kMessage = "From: a@b.fr\r\nSubject: un\r\n\r\n";

enum class Daemon { Spamd, Rspamd };

std::unique_ptr<SpamEngine> Engine(Daemon daemon, int port, SpamDaemonLimits limits = {}) {
    SpamSettings settings;
    settings.host = "127.0.0.1";
    settings.port = port;
    settings.user = "anne";
    settings.password = "Sesame";
    return daemon == Daemon::Spamd ? MakeSpamdEngine(settings, limits) : MakeRspamdEngine(settings, limits);
}

template <class Action>
std::string FailureText(Action&& action) {
    const auto e = ExpectThrown<ESpamEngineError>(action);
    return e ? e->Message() : "";
}

// The script lines of an HTTP answer with a counted body.
std::string HttpAnswer(const std::string& status, const std::string& body) {
    return "S: HTTP/1.1 " + status + "\nS: Content-Length: " + std::to_string(body.size()) + "\nS:\n!raw " +
           body + "\n";
}

struct HostileCase {
    const char* name;
    Daemon daemon;
    // What the peer does once the request is in (it is dropped first).
    std::string script;
    // In the sentence the user reads.
    const char* says;
    bool learn = false;
};

const std::string kHugeLine = "S: " + std::string(1000, 'A') + "\n";
// Lines of 1002 bytes whose last one crosses the answer limit (64 KiB for
// spamd, 256 KiB over HTTP): nothing is left to send once the client gives
// up, so its leaving never races the server's last lines.
constexpr int kPastSpamdLimit = 66;
constexpr int kPastHttpLimit = 262;

std::string Repeated(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

const HostileCase kHostile[] = {
    {"spamd_garbage", Daemon::Spamd, "S: HELLO THERE\n", "réponse illisible"},
    {"spamd_refusal", Daemon::Spamd, "S: SPAMD/1.0 76 Bad header line: x\n",
     "refusé la demande : « Bad header line: x » (code 76)"},
    {"spamd_no_verdict", Daemon::Spamd, "S: SPAMD/1.1 0 EX_OK\nS: Content-length: 0\nS:\n",
     "réponse illisible"},
    {"spamd_bad_score", Daemon::Spamd,
     "S: SPAMD/1.1 0 EX_OK\nS: Spam: True ; lots / 5.0\nS: Content-length: 0\nS:\n", "réponse illisible"},
    {"spamd_huge_length", Daemon::Spamd,
     "S: SPAMD/1.1 0 EX_OK\nS: Content-length: 900000000\nS: Spam: True ; 9 / 5\nS:\n", "trop longue"},
    {"spamd_huge_to_close", Daemon::Spamd,
     "S: SPAMD/1.1 0 EX_OK\nS: Spam: True ; 9 / 5\nS:\n" + Repeated(kHugeLine, kPastSpamdLimit) + "!close\n",
     "trop longue"},
    {"spamd_endless_line", Daemon::Spamd, "!raw SPAMD/1.1 0 EX_OK" + std::string(20000, ' ') + "\n!close\n",
     "trop longue"},
    {"spamd_cut_answer", Daemon::Spamd,
     "S: SPAMD/1.1 0 EX_OK\nS: Content-length: 40\nS: Spam: True ; 9 / 5\nS:\n!raw GTUBE,\n!close\n",
     "coupé la connexion"},
    {"spamd_closed_at_once", Daemon::Spamd, "!close\n", "coupé la connexion"},
    {"spamd_silent", Daemon::Spamd, "!stall\n", "pas répondu à temps"},
    {"spamd_learning_refused", Daemon::Spamd,
     "S: SPAMD/1.1 69 EX_UNAVAILABLE TELL commands have not been enabled.\n",
     "« EX_UNAVAILABLE TELL commands have not been enabled. » (code 69)", true},
    {"rspamd_error_page", Daemon::Rspamd, HttpAnswer("502 Bad Gateway", "<html>502</html>"), "HTTP 502"},
    {"rspamd_error_in_json", Daemon::Rspamd, HttpAnswer("500 Internal", R"({"error":"task timeout"})"),
     "« task timeout » (HTTP 500)"},
    {"rspamd_json_garbage", Daemon::Rspamd, HttpAnswer("200 OK", "{{{{{"), "réponse illisible"},
    {"rspamd_no_action", Daemon::Rspamd, HttpAnswer("200 OK", R"({"score":1.5})"), "réponse illisible"},
    {"rspamd_symbol_without_score", Daemon::Rspamd,
     HttpAnswer("200 OK", R"({"score":1.5,"action":"no action","symbols":{"A":{"name":"A"}}})"),
     "réponse illisible"},
    {"rspamd_not_http", Daemon::Rspamd, "S: SPAMD/1.1 0 EX_OK\nS:\n", "illisible ou trop longue"},
    {"rspamd_huge_chunk", Daemon::Rspamd,
     "S: HTTP/1.1 200 OK\nS: Transfer-Encoding: chunked\nS:\nS: 7FFFFFFF\n", "trop longue"},
    {"rspamd_huge_to_close", Daemon::Rspamd,
     "S: HTTP/1.1 200 OK\nS:\n" + Repeated(kHugeLine, kPastHttpLimit) + "!close\n", "trop longue"},
    {"rspamd_cut_answer", Daemon::Rspamd,
     "S: HTTP/1.1 200 OK\nS: Content-Length: 100\nS:\n!raw {\"score\":\n!close\n", "coupé la connexion"},
    {"rspamd_silent", Daemon::Rspamd, "!stall\n", "pas répondu à temps"},
    {"rspamd_wrong_password", Daemon::Rspamd, HttpAnswer("401 Unauthorized", R"({"error":"Unauthorized"})"),
     "mot de passe du contrôleur refusé", true},
};

class HostileDaemonTable : public testing::TestWithParam<HostileCase> {};

TEST_P(HostileDaemonTable, EndsInOneSentenceWithinTheLimit) {
    const HostileCase& c = GetParam();
    ScriptedPop3Server server("!drop\n" + c.script);
    const SpamDaemonLimits limits{1000, 30000, 1000};
    // rspamd learns through the controller on the port after the worker's.
    const int port = c.learn && c.daemon == Daemon::Rspamd ? server.Port() - 1 : server.Port();
    const auto engine = Engine(c.daemon, port, limits);
    const auto start = Clock::now();
    const std::string text = FailureText([&] {
        if (c.learn)
            engine->Learn(kMessage, SpamLabel::Spam, false);
        else
            engine->Judge({kMessage});
    });
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(2500));
    EXPECT_NE(text.find(c.says), std::string::npos) << text << "\n" << server.Transcript();
    EXPECT_EQ(
        text.find("Le moteur antispam " + std::string(c.daemon == Daemon::Spamd ? "spamd" : "rspamd") +
                  " (127.0.0.1:" + std::to_string(port + (c.learn && c.daemon == Daemon::Rspamd)) + ")"),
        0u)
        << text;
}

INSTANTIATE_TEST_SUITE_P(Table, HostileDaemonTable, testing::ValuesIn(kHostile),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SpamDaemons, NothingListeningIsSaid) {
    for (Daemon daemon : {Daemon::Spamd, Daemon::Rspamd}) {
        const std::string text =
            FailureText([&] { Engine(daemon, UnusedLoopbackPort())->Judge({kMessage}); });
        EXPECT_NE(text.find("injoignable"), std::string::npos) << text;
    }
}

// Each answer comes just within its own limit; the scan as a whole still
// ends once its own time is spent.
TEST(SpamDaemons, ASlowDaemonCannotStretchAScan) {
    std::string script;
    for (int i = 0; i < 6; ++i)
        script +=
            "!drop\n!pause 300\nS: SPAMD/1.1 0 EX_OK\nS: Spam: False ; 1.0 / 5.0\nS: Content-length: "
            "0\nS:\n!next\n";
    ScriptedPop3Server server(script);
    const auto start = Clock::now();
    const std::string text = FailureText([&] {
        Engine(Daemon::Spamd, server.Port(), {1000, 500, 100})->Judge(std::vector<std::string>(6, kMessage));
    });
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1500));
    // The scan gave up before the script's end.
    EXPECT_FALSE(server.WaitFinished(std::chrono::milliseconds(0)));
    EXPECT_NE(text.find("trop lent : 6 messages"), std::string::npos) << text;
}

TEST(Spamd, AScanIsOneConnectionPerMessageWithTheUsersRules) {
    const std::string request =
        "C: SYMBOLS SPAMC/1.5\nC: Content-length: " + std::to_string(kMessage.size()) +
        "\nC: User: anne\nC:\nC: From: a@b.fr\nC: Subject: un\nC:\n";
    ScriptedPop3Server server(request +
                              "S: SPAMD/1.1 0 EX_OK\nS: Content-length: 18\nS: Spam: True ; 15.3 / 5.0\nS:\n"
                              "!raw GTUBE,MISSING_DATE\n!close\n!next\n" +
                              request + "S: SPAMD/1.1 0 EX_OK\nS: Spam: False ; -0.5 / 5.0\nS:\n!close\n");
    const std::vector<SpamVerdict> verdicts =
        Engine(Daemon::Spamd, server.Port())->Judge({kMessage, kMessage});
    server.ExpectFinished();
    ASSERT_EQ(verdicts.size(), 2u);
    EXPECT_EQ(verdicts[0].judgement, SpamJudgement::Spam);
    EXPECT_EQ(verdicts[0].score, 15.3);
    EXPECT_EQ(verdicts[0].reasons, (std::vector<std::string>{"GTUBE", "MISSING_DATE"}));
    EXPECT_EQ(verdicts[1].judgement, SpamJudgement::Wanted);
    EXPECT_EQ(verdicts[1].score, -0.5);
    EXPECT_TRUE(verdicts[1].reasons.empty());
}

// A change of mind: forgotten as ham first, then learned as spam.
TEST(Spamd, AChangeOfMindForgetsBeforeLearning) {
    const auto tell = [](const std::string& fields) {
        return "C: TELL SPAMC/1.5\nC: Content-length: " + std::to_string(kMessage.size()) +
               "\nC: User: anne\n" + fields + "C:\nC: From: a@b.fr\nC: Subject: un\nC:\n";
    };
    ScriptedPop3Server server(tell("C: Message-class: ham\nC: Remove: local\n") +
                              "S: SPAMD/1.1 0 EX_OK\nS: DidRemove: local\nS:\n!close\n!next\n" +
                              tell("C: Message-class: spam\nC: Set: local\n") +
                              "S: SPAMD/1.1 0 EX_OK\nS: DidSet: local\nS:\n!close\n");
    Engine(Daemon::Spamd, server.Port())->Learn(kMessage, SpamLabel::Spam, true);
    server.ExpectFinished();
}

// Two verdicts over one kept connection; the reasons are the symbols that
// weigh, heaviest first.
TEST(Rspamd, AScanSharesOneKeptConnection) {
    const std::string first =
        R"({"is_skipped":false,"score":9.5,"required_score":15.0,"action":"add header","symbols":{)"
        R"("A":{"name":"A","score":0.0},"B":{"name":"B","score":2.5,"options":["x"]},)"
        R"("C":{"name":"C","score":-1.0},"D":{"name":"D","score":7}}})";
    const std::string second =
        R"({"is_skipped":true,"score":15.0,"action":"reject","symbols":{"GTUBE":{"name":"GTUBE","score":0.0}}})";
    ScriptedPop3Server server("!drop\n" + HttpAnswer("200 OK", first) + "!drop\n" +
                              HttpAnswer("200 OK", second));
    const std::vector<SpamVerdict> verdicts =
        Engine(Daemon::Rspamd, server.Port())->Judge({kMessage, kMessage});
    ASSERT_EQ(verdicts.size(), 2u);
    EXPECT_EQ(verdicts[0].judgement, SpamJudgement::Spam);
    EXPECT_EQ(verdicts[0].score, 9.5);
    EXPECT_EQ(verdicts[0].reasons, (std::vector<std::string>{"D", "B", "C"}));
    // A pre-result: what decided weighs nothing, yet is the reason.
    EXPECT_EQ(verdicts[1].judgement, SpamJudgement::Spam);
    EXPECT_EQ(verdicts[1].reasons, std::vector<std::string>{"GTUBE"});
    const std::vector<std::string> sent = server.Dropped();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "POST /checkv2 HTTP/1.1"), 2) << server.Transcript();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "Content-Length: " + std::to_string(kMessage.size())), 2);
}

// A worker that closes after each answer without saying so: the next
// request goes out again on a new connection.
TEST(Rspamd, AConnectionDroppedWhileIdleIsOpenedAgain) {
    const std::string answer = R"({"score":20,"action":"reject","symbols":{"GTUBE":{"score":20}}})";
    ScriptedPop3Server server("!drop\n" + HttpAnswer("200 OK", answer) + "!close\n!next\n!drop\n" +
                              HttpAnswer("200 OK", answer));
    const std::vector<SpamVerdict> verdicts =
        Engine(Daemon::Rspamd, server.Port())->Judge({kMessage, kMessage});
    // The request written into the closed connection is more than the
    // script reads: that is the case under test.
    EXPECT_FALSE(server.WaitFinished());
    EXPECT_NE(server.Transcript().find("next connection"), std::string::npos);
    ASSERT_EQ(verdicts.size(), 2u);
    EXPECT_EQ(verdicts[1].judgement, SpamJudgement::Spam);
    EXPECT_EQ(verdicts[1].reasons, std::vector<std::string>{"GTUBE"});
}

}  // namespace
