// POP3 sessions against the scripted loopback server: exact command lines,
// log-in failures and how the session is closed after them.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <thread>

#include "message/message.h"
#include "net/net_errors.h"
#include "platform/interruption.h"
#include "platform/text.h"
#include "pop3/pop3.h"
#include "pop3/pop3_errors.h"
#include "support/expect_error.h"
#include "support/fake_transport.h"
#include "support/scripted_pop3_server.h"

namespace {
auto byName = [](const auto& info) { return std::string(info.param.name); };

struct Session {
    explicit Session(int port) {
        pop.Host = "127.0.0.1";
        pop.Port = port;
        pop.Username = "anne";
        pop.Password = "secret";
        pop.OnStatus = [this](TIdComponent&, TIdStatus, const std::string& text) {
            statuses.push_back(text);
        };
    }
    TIdPOP3 pop;
    std::vector<std::string> statuses;
};

const char kLogin[] = "S: +OK ready\nC: USER anne\nS: +OK\nC: PASS secret\nS: +OK logged in\n";

TEST(OpenSession, UserThenPassEachAnswered) {
    ScriptedPop3Server server(std::string(kLogin) + "C: STAT\nS: +OK 2 320\nC: QUIT\nS: +OK bye\n");
    Session s(server.Port());
    s.pop.OpenSession();
    EXPECT_EQ(s.pop.CountMessages(), 2);
    s.pop.CloseSession();
    EXPECT_EQ(s.statuses,
              (std::vector<std::string>{std::string("Connexion à 127.0.0.1."), std::string("Connecté."),
                                        std::string("Déconnexion."), std::string("Déconnecté.")}));
    server.ExpectFinished();
}

// A server that pipelines gets CAPA and the first counts at once after the
// log-in; what it offers once logged in replaces what it offered before.
// Nothing goes out after PASS before its answer: a server that hands the
// connection over to another process then loses it.
TEST(OpenSession, AheadSendsNothingAfterPassBeforeItsAnswer) {
    ScriptedPop3Server server(
        "S: +OK ready\nC: CAPA\nS: +OK\nS: PIPELINING\nS: .\n"
        "C: USER anne\nS: +OK\nC: PASS secret\n!drop\nS: +OK\n"
        "C: CAPA\nC: STAT\nC: STAT\nS: +OK\nS: PIPELINING\nS: UIDL\nS: .\nS: +OK 2 320\nS: +OK 3 400\n"
        "C: STAT\nS: +OK 5 1\nC: QUIT\nS: +OK\n");
    Session s(server.Port());
    s.pop.ReadTimeout = 10000;
    s.pop.LogInAhead = true;
    s.pop.CountsWithLogIn = 2;
    s.pop.OpenSession();
    s.pop.CapabilitiesAfterLogIn();
    EXPECT_TRUE(s.pop.HasCapability("UIDL"));
    EXPECT_EQ(s.pop.CountMessagesTimes(3), (std::vector<int>{2, 3, 5}));
    s.pop.CloseSession();
    server.ExpectFinished();
    EXPECT_EQ(server.Dropped(), std::vector<std::string>());
}

TEST(OpenSession, DefaultPortIs110AndApopOff) {
    TIdPOP3 pop;
    EXPECT_EQ(pop.Port, 110);
    EXPECT_FALSE(pop.APOP);
    EXPECT_EQ(pop.MaxLineAction, maException);
    EXPECT_EQ(pop.ReadTimeout, 0);
}

TEST(OpenSession, ApopSendsOneDigestCommand) {
    ScriptedPop3Server server(
        "S: +OK POP3 server ready <1896.697170952@dbc.mtview.ca.us>\n"
        "C: APOP mrose c4c9334bac560ecc979e58001b3e22fb\n"
        "S: +OK maildrop has 1 message (369 octets)\n"
        "C: QUIT\n");
    Session s(server.Port());
    s.pop.Username = "mrose";
    s.pop.Password = "tanstaaf";
    s.pop.APOP = true;
    std::vector<std::string> traced;
    s.pop.OnCommand = [&](const std::string& line) { traced.push_back(line); };
    s.pop.OpenSession();
    s.pop.CloseSession();
    server.ExpectFinished();
    // The digest is a hash of the password any guess can be checked against.
    EXPECT_EQ(traced, (std::vector<std::string>{"APOP mrose ****", "QUIT"}));
}

// Log-in failures: the error reaches the caller after QUIT went out and the
// connection was closed.
struct FailureCase {
    const char* name;
    const char* script;  // the server's side up to the failure, then "C: QUIT"
    bool apop;
    const char* message;  // UTF-8
    bool ahead = false;   // LogInAhead
};
const FailureCase kFailures[] = {
    {"pass_refused", "S: +OK\nC: USER anne\nS: +OK\nC: PASS secret\nS: -ERR wrong password\nC: QUIT\n", false,
     " wrong password\r\n"},
    {"user_refused", "S: +OK\nC: USER anne\nS: -ERR unknown\nC: QUIT\n", false, " unknown\r\n"},
    {"greeting_refused", "S: -ERR busy\nC: QUIT\n", false, " busy\r\n"},
    {"greeting_unrecognised", "S: * OK imap\nC: QUIT\n", false,
     "En-tête de réponse POP3 non reconnu :\n\" imap\r\n\""},
    {"apop_without_timestamp", "S: +OK POP3 ready\nC: QUIT\n", true,
     "Le serveur ne supporte pas APOP (pas d'horodatage)"},
    {"apop_open_bracket_only", "S: +OK POP3 ready <1896.697\nC: QUIT\n", true,
     "Le serveur ne supporte pas APOP (pas d'horodatage)"},
    {"pass_refused_ahead",
     "S: +OK\nC: CAPA\nS: +OK\nS: PIPELINING\nS: .\nC: USER anne\nS: +OK\nC: PASS secret\n"
     "S: -ERR wrong password\nC: QUIT\n",
     false, " wrong password\r\n", true},
};
class LogInFailure : public testing::TestWithParam<FailureCase> {};
TEST_P(LogInFailure, QuitSentAndClosedBeforeTheErrorArrives) {
    ScriptedPop3Server server(GetParam().script);
    Session s(server.Port());
    s.pop.APOP = GetParam().apop;
    s.pop.LogInAhead = GetParam().ahead;
    s.pop.CountsWithLogIn = 1;
    if (auto e = ExpectThrown<EIdException>([&] { s.pop.OpenSession(); })) {
        EXPECT_EQ(e->Message(), std::string(GetParam().message));
        EXPECT_FALSE(s.pop.IsConnected());
        EXPECT_EQ(s.statuses.back(), std::string("Déconnecté."));
    }
    server.ExpectFinished();
}
INSTANTIATE_TEST_SUITE_P(Rows, LogInFailure, testing::ValuesIn(kFailures), byName);

// OAuth2: AUTH with the access token (RFC 5034, RFC 7628), never shown in a
// trace; a refused token ends the exchange the mechanism's way.
struct TokenCase {
    const char* name;
    bool bearer;
    std::string token;
    std::string script;  // after the greeting
    const char* error;   // nothing for a log-in that succeeds
    std::vector<std::string> traced;
};
const std::string kLongToken(300, 'x');
const std::string kLongResponse =  // base64 of "user=anne^Aauth=Bearer xxx…^A^A"
    "dXNlcj1hbm5lAWF1dGg9QmVhcmVyIHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4"
    "eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4"
    "eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4"
    "eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4"
    "eHh4eHh4eHh4eAEB";
const TokenCase kTokens[] = {
    {"xoauth2_initial_response_in_line",
     false,
     "ya29.tok",
     "C: AUTH XOAUTH2 dXNlcj1hbm5lAWF1dGg9QmVhcmVyIHlhMjkudG9rAQE=\nS: +OK\n",
     nullptr,
     {"AUTH XOAUTH2 ****", "QUIT"}},
    {"oauthbearer_names_the_user_in_its_header",
     true,
     "ya29.tok",
     "C: AUTH OAUTHBEARER bixhPWFubmUsAWF1dGg9QmVhcmVyIHlhMjkudG9rAQE=\nS: +OK\n",
     nullptr,
     {"AUTH OAUTHBEARER ****", "QUIT"}},
    {"token_past_255_octets_waits_for_the_challenge",
     false,
     kLongToken,
     "C: AUTH XOAUTH2\nS: + \nC: " + kLongResponse + "\nS: +OK\n",
     nullptr,
     {"AUTH XOAUTH2", "****", "QUIT"}},
    {"xoauth2_refused_answers_the_error_challenge_with_an_empty_line",
     false,
     "old",
     "C: AUTH XOAUTH2 dXNlcj1hbm5lAWF1dGg9QmVhcmVyIG9sZAEB\nS: + eyJzdGF0dXMiOiI0MDEifQ==\nC: \n"
     "S: -ERR [AUTH] Invalid token\n",
     " [AUTH] Invalid token\r\n",
     {"AUTH XOAUTH2 ****", "QUIT"}},
    {"oauthbearer_refused_answers_with_the_dummy_byte",
     true,
     "old",
     "C: AUTH OAUTHBEARER bixhPWFubmUsAWF1dGg9QmVhcmVyIG9sZAEB\nS: + eyJzdGF0dXMiOiI0MDEifQ==\nC: AQ==\n"
     "S: -ERR [AUTH] Invalid token\n",
     " [AUTH] Invalid token\r\n",
     {"AUTH OAUTHBEARER ****", "AQ==", "QUIT"}},
};
class TokenLogIn : public testing::TestWithParam<TokenCase> {};
TEST_P(TokenLogIn, AuthWithTheTokenInsteadOfUserAndPass) {
    const TokenCase& c = GetParam();
    ScriptedPop3Server server("S: +OK ready\n" + c.script + "C: QUIT\nS: +OK\n");
    Session s(server.Port());
    s.pop.AccessToken = c.token;
    s.pop.OAuthBearer = c.bearer;
    std::vector<std::string> traced;
    s.pop.OnCommand = [&](const std::string& line) { traced.push_back(line); };
    if (c.error) {
        auto e = ExpectThrown<EIdProtocolReplyError>([&] { s.pop.OpenSession(); });
        if (e) {
            EXPECT_EQ(e->Message(), c.error);
        }
    } else {
        s.pop.OpenSession();
        s.pop.CloseSession();
    }
    EXPECT_EQ(traced, c.traced);
    server.ExpectFinished();
}
INSTANTIATE_TEST_SUITE_P(Rows, TokenLogIn, testing::ValuesIn(kTokens), byName);

TEST(OpenSession, PassRefusedQuitIsWrittenBeforeTheErrorLeaves) {
    TIdPOP3 pop;
    pop.Username = "anne";
    pop.Password = "secret";
    FakeTransport& fake = InstallFakeTransport(pop, "+OK\r\n+OK\r\n-ERR wrong\r\n", 0, false);
    if (auto e = ExpectThrown<EIdProtocolReplyError>([&] { pop.OpenSession(); })) {
        EXPECT_EQ(e->ReplyErrorCode(), 2);
        EXPECT_EQ(fake.Written(), "USER anne\r\nPASS secret\r\nQUIT\r\n");
        EXPECT_FALSE(fake.Connected());
    }
}

TEST(OpenSession, GreetingLostClosesWithoutQuit) {
    ScriptedPop3Server server("!close\n");
    Session s(server.Port());
    EXPECT_THROW(s.pop.OpenSession(), EIdConnClosedGracefully);
    EXPECT_FALSE(s.pop.IsConnected());
    server.ExpectFinished();  // and no QUIT after the close
}

TEST(OpenSession, TwiceRaisesAndFirstSessionGoesOn) {
    ScriptedPop3Server server(std::string(kLogin) + "C: STAT\nS: +OK 0 0\nC: QUIT\n");
    Session s(server.Port());
    s.pop.OpenSession();
    EXPECT_THROW(s.pop.OpenSession(), EIdAlreadyConnected);
    EXPECT_EQ(s.pop.CountMessages(), 0);
    s.pop.CloseSession();
    server.ExpectFinished();
}

TEST(OpenSession, RefusedConnectionCarries10061) {
    Session s(UnusedLoopbackPort());
    if (auto e = ExpectThrown<EIdSocketError>([&] { s.pop.OpenSession(); })) {
        EXPECT_NE(e->Message().find("10061"), std::string::npos);
    }
}

// Sound behaviour: CR, LF or NUL in a user name or password would let the
// rest of it pass for a further command (a DELE, say); refused before
// anything is sent, before even connecting.
struct UnsafeCase {
    const char* name;
    std::string user;
    std::string password;
};
const UnsafeCase kUnsafe[] = {
    {"user_with_crlf_command", "anne\r\nDELE 1", "secret"},
    {"user_with_lf", "anne\nDELE 1", "secret"},
    {"user_with_cr", "anne\rDELE 1", "secret"},
    {"password_with_crlf", "anne", "secret\r\nDELE 1"},
    {"password_with_nul", "anne", std::string("sec\0ret", 7)},
};
class UnsafeCredentials : public testing::TestWithParam<UnsafeCase> {};
TEST_P(UnsafeCredentials, RefusedBeforeAnythingIsSent) {
    for (bool apop : {false, true}) {
        TIdPOP3 pop;
        pop.Username = GetParam().user;
        pop.Password = GetParam().password;
        pop.APOP = apop;
        const std::string replies = "+OK <1@x>\r\n+OK\r\n+OK\r\n";
        FakeTransport& fake = InstallFakeTransport(pop, replies, 0, false);
        EXPECT_THROW(pop.OpenSession(), EIdPOP3UnsafeCredentials);
        EXPECT_EQ(fake.Written(), "");
        EXPECT_FALSE(fake.Connected());
        EXPECT_EQ(fake.Unread(), replies.size());
    }
}
INSTANTIATE_TEST_SUITE_P(Rows, UnsafeCredentials, testing::ValuesIn(kUnsafe), byName);

// Commands after log-in: the reply text and what the operation makes of it.
struct CountCase {
    const char* name;
    const char* reply;
    int count;  // -100: EConvertError; -200: EIdPOP3NegativeCount
};
const CountCase kCounts[] = {
    {"count_and_size", "+OK 2 320", 2},     {"zero_count", "+OK 0 0", 0},
    {"nothing_after_ok", "+OK", 0},         {"count_without_size_has_no_blank", "+OK 5", -100},
    {"not_a_number", "+OK many 320", -100}, {"negative_count_is_a_protocol_error", "+OK -5 320", -200},
};
class CountMessages : public testing::TestWithParam<CountCase> {};
TEST_P(CountMessages, TakesNumberBeforeFirstBlank) {
    TIdPOP3 pop;
    FakeTransport& fake = InstallFakeTransport(pop, std::string(GetParam().reply) + "\r\n");
    if (GetParam().count == -100) {
        EXPECT_THROW(pop.CountMessages(), EConvertError);
    } else if (GetParam().count == -200) {
        auto e = ExpectThrown<EIdPOP3NegativeCount>([&] { pop.CountMessages(); });
        if (e) {
            EXPECT_EQ(e->Message(), std::string("Réponse POP3 incorrecte : nombre négatif \"-5\"."));
        }
    } else {
        EXPECT_EQ(pop.CountMessages(), GetParam().count);
    }
    EXPECT_EQ(fake.Written(), "STAT\r\n");
}
INSTANTIATE_TEST_SUITE_P(Rows, CountMessages, testing::ValuesIn(kCounts), byName);

struct SizeCase {
    const char* name;
    const char* reply;
    int size;  // -200: EIdPOP3NegativeCount; -300: EIdPOP3AnswerMismatch
};
const SizeCase kSizes[] = {
    {"number_and_size", "+OK 1 1234", 1234},
    {"nothing_after_ok", "+OK", -1},
    {"text_after_size", "+OK 1 1234 octets", -1},
    {"size_alone_is_whole_line", "+OK 1234", 1234},
    {"size_not_a_number", "+OK 1 big", -1},
    {"size_above_32_bits", "+OK 1 4294967296", -1},
    {"negative_size_is_a_protocol_error", "+OK 1 -1234", -200},
    {"negative_size_alone", "+OK -1", -200},
    {"number_of_another_message", "+OK 8 1234", -300},
    {"number_not_a_number", "+OK sept 1234", -300},
};
class QueryMessageSize : public testing::TestWithParam<SizeCase> {};
TEST_P(QueryMessageSize, TakesTextAfterFirstBlank) {
    TIdPOP3 pop;
    FakeTransport& fake = InstallFakeTransport(pop, std::string(GetParam().reply) + "\r\n");
    if (GetParam().size == -200) {
        EXPECT_THROW(pop.QueryMessageSize(1), EIdPOP3NegativeCount);
    } else if (GetParam().size == -300) {
        EXPECT_THROW(pop.QueryMessageSize(1), EIdPOP3AnswerMismatch);
        EXPECT_FALSE(pop.IsConnected()) << "dropped, so no QUIT follows";
    } else {
        EXPECT_EQ(pop.QueryMessageSize(1), GetParam().size);
    }
    EXPECT_EQ(fake.Written(), "LIST 1\r\n");
}
INSTANTIATE_TEST_SUITE_P(Rows, QueryMessageSize, testing::ValuesIn(kSizes), byName);

TEST(QueryUniqueId, AnswerOfAnotherMessageDropsTheConnection) {
    TIdPOP3 pop;
    FakeTransport& fake = InstallFakeTransport(pop, "+OK 7 premier\r\n+OK 8 second\r\n");
    EXPECT_EQ(pop.QueryUniqueId(7), "premier");
    EXPECT_THROW(pop.QueryUniqueId(7), EIdPOP3AnswerMismatch);
    EXPECT_FALSE(pop.IsConnected());
    EXPECT_EQ(fake.Written(), "UIDL 7\r\nUIDL 7\r\n");
}

// "+OK-" starts no continuation in POP3: the greeting and each answer are
// one line, however many lines the server sends after them.
TEST(OpenSession, ReplyBeginningOkDashIsOneLine) {
    ScriptedPop3Server server(
        "S: +OK- ready\nC: USER anne\nS: +OK-\nC: PASS secret\nS: +OK- in\nC: STAT\nS: +OK 2 320\n"
        "C: QUIT\nS: +OK bye\n");
    Session s(server.Port());
    s.pop.ReadTimeout = 3000;
    s.pop.OpenSession();
    EXPECT_EQ(s.pop.CountMessages(), 2);
    s.pop.CloseSession();
    server.ExpectFinished();
}

TEST(DeleteMessage, SendsDeleAndRaisesOnRefusal) {
    TIdPOP3 pop;
    FakeTransport& fake = InstallFakeTransport(pop, "+OK marked\r\n-ERR already deleted\r\n");
    EXPECT_TRUE(pop.DeleteMessage(12));
    EXPECT_THROW(pop.DeleteMessage(12), EIdProtocolReplyError);
    EXPECT_EQ(fake.Written(), "DELE 12\r\nDELE 12\r\n");
}

TEST(CloseSession, AfterServerClosedNoQuitButBothStatuses) {
    ScriptedPop3Server server(std::string(kLogin) + "C: STAT\n!close\n");
    Session s(server.Port());
    s.pop.OpenSession();
    EXPECT_THROW(s.pop.CountMessages(), EIdConnClosedGracefully);
    s.statuses.clear();
    s.pop.CloseSession();
    EXPECT_EQ(s.statuses,
              (std::vector<std::string>{std::string("Déconnexion."), std::string("Déconnecté.")}));
    server.ExpectFinished();  // a QUIT would be "more than the script"
}

TEST(CloseSession, TwiceWritesNothingMore) {
    ScriptedPop3Server server(std::string(kLogin) + "C: QUIT\n");
    Session s(server.Port());
    s.pop.OpenSession();
    s.pop.CloseSession();
    s.statuses.clear();
    s.pop.CloseSession();
    EXPECT_EQ(s.statuses,
              (std::vector<std::string>{std::string("Déconnexion."), std::string("Déconnecté.")}));
    server.ExpectFinished();
}

TEST(CloseSession, VirtualCloseConnectionIsTheSessionClose) {
    ScriptedPop3Server server(std::string(kLogin) + "C: QUIT\n");
    Session s(server.Port());
    TIdTCPClient& asClient = s.pop;
    asClient.OpenConnection();   // logs in too
    asClient.CloseConnection();  // sends QUIT
    server.ExpectFinished();
}

// The deletions are the server's work while it answers QUIT: the close waits
// for that answer, and a refusal reaches the caller. A session that deleted
// nothing does not wait for it.
struct QuitCase {
    const char* name;
    const char* afterQuit;  // the server's side after the QUIT line
    bool raises;
    bool closeSeenByRead;  // the read found the close: one more "Déconnecté." first
    bool confirmed;        // the reply read is QUIT's "+OK"
    bool deletes = true;   // DELE 1 before the close
};
const QuitCase kQuits[] = {
    {"answered_ok", "S: +OK bye\n", false, false, true},
    {"answered_err_deletions_not_made", "S: -ERR some deleted messages not removed\n", true, false, false},
    {"server_closes_without_answer", "!close\n", false, true, false},
    {"server_stays_silent", "!stall\n", false, false, false},
    // Each byte within the limit, the whole answer past it: the limit holds.
    {"answer_trickled_past_the_limit", "!raw +\n!pause 200\n!raw O\n!pause 200\n!raw K\\r\\n\n!close\n",
     false, false, false},
    {"nothing_deleted_answer_not_awaited", "S: +OK bye\n", false, false, false, false},
};
class QuitReply : public testing::TestWithParam<QuitCase> {};
TEST_P(QuitReply, IsAwaitedBeforeTheClose) {
    ScriptedPop3Server server(std::string(kLogin) + (GetParam().deletes ? "C: DELE 1\nS: +OK\n" : "") +
                              "C: QUIT\n" + GetParam().afterQuit);
    Session s(server.Port());
    s.pop.ReadTimeout = 300;
    s.pop.OpenSession();
    if (GetParam().deletes) s.pop.DeleteMessage(1);
    s.statuses.clear();
    s.pop.LastReply.Clear();
    if (GetParam().raises) {
        auto e = ExpectThrown<EIdProtocolReplyError>([&] { s.pop.CloseSession(); });
        ASSERT_TRUE(e);
        EXPECT_EQ(e->Message(), " some deleted messages not removed\r\n");
    } else {
        s.pop.CloseSession();
    }
    std::vector<std::string> expected{std::string("Déconnexion."), std::string("Déconnecté.")};
    if (GetParam().closeSeenByRead) expected.insert(expected.begin(), std::string("Déconnecté."));
    EXPECT_EQ(s.statuses, expected);
    EXPECT_EQ(s.pop.ReadTimeout, 300);
    EXPECT_EQ(s.pop.LastReply.NumericCode() == TIdPOP3::ReplyOk, GetParam().confirmed);
    server.ExpectFinished();
}
INSTANTIATE_TEST_SUITE_P(Table, QuitReply, testing::ValuesIn(kQuits),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Session, NewSessionAfterCloseWorks) {
    ScriptedPop3Server server(std::string(kLogin) + "C: QUIT\nS: +OK bye\n!next\n" + kLogin +
                              "C: DELE 1\nS: +OK\nC: QUIT\n");
    Session s(server.Port());
    s.pop.OpenSession();
    s.pop.CloseSession();
    s.pop.OpenSession();
    EXPECT_TRUE(s.pop.DeleteMessage(1));
    s.pop.CloseSession();
    server.ExpectFinished();
}

TEST(Session, StalledServerHitsReadTimeout) {
    ScriptedPop3Server server(std::string(kLogin) + "C: STAT\n!stall\n");
    Session s(server.Port());
    s.pop.ReadTimeout = 200;
    s.pop.OpenSession();
    EXPECT_THROW(s.pop.CountMessages(), EIdReadTimeout);
    s.pop.CloseSession();
    server.ExpectFinished();
    EXPECT_EQ(server.Commands(), (std::vector<std::string>{"USER anne", "PASS secret", "STAT", "QUIT"}));
}

TEST(Session, OverlongReplyLineIsRefused) {
    ScriptedPop3Server server(std::string(kLogin) + "C: STAT\nS: +OK " + std::string(16380, '9') +
                              "\nC: QUIT\n");
    Session s(server.Port());
    s.pop.OpenSession();
    if (auto e = ExpectThrown<EIdReadLnMaxLineLengthExceeded>([&] { s.pop.CountMessages(); })) {
        EXPECT_EQ(e->Message(), std::string("Longueur de ligne maximum dépassée."));
    }
    s.pop.CloseSession();
    server.ExpectFinished();
}
}  // namespace

namespace {
TEST(LoadMessageHeader, TopZeroFillsTheMessage) {
    ScriptedPop3Server server(std::string(kLogin) + "C: TOP 1 0\n" +
                              MultiLineReply("+OK header follows",
                                             "From: \"Anne Martin\" <anne@example.fr>\n"
                                             "Subject: R\xE9union\n"
                                             "\n") +
                              "C: LIST 1\nS: +OK 1 4321\nC: QUIT\n");
    Session s(server.Port());
    s.pop.OpenSession();
    TIdMessage message;
    EXPECT_TRUE(s.pop.LoadMessageHeader(1, message));
    EXPECT_EQ(message.From.Name, "Anne Martin");
    EXPECT_EQ(message.Subject, "Réunion");
    EXPECT_EQ(message.HeaderLines.Count(), 2);
    EXPECT_EQ(s.pop.QueryMessageSize(1), 4321);
    s.pop.CloseSession();
    server.ExpectFinished();
}

TEST(LoadMessageHeader, RefusedTopRaisesAndSessionGoesOn) {
    ScriptedPop3Server server(std::string(kLogin) + "C: TOP 9 0\nS: -ERR no such message\nC: QUIT\n");
    Session s(server.Port());
    s.pop.OpenSession();
    TIdMessage message;
    EXPECT_THROW(s.pop.LoadMessageHeader(9, message), EIdProtocolReplyError);
    EXPECT_EQ(message.HeaderLines.Count(), 0);
    s.pop.CloseSession();
    server.ExpectFinished();
}

TEST(LoadMessageHeader, ConnectionLostInsideTheHeader) {
    ScriptedPop3Server server(std::string(kLogin) +
                              "C: TOP 1 0\nS: +OK\nS: Subject: x\n!raw From: a@\n!close\n");
    Session s(server.Port());
    s.pop.OpenSession();
    TIdMessage message;
    EXPECT_THROW(s.pop.LoadMessageHeader(1, message), EIdConnClosedGracefully);
    EXPECT_EQ(message.HeaderLines.Lines(), std::vector<std::string>{"Subject: x"});
    s.pop.CloseSession();
    server.ExpectFinished();
}
}  // namespace

namespace {
TEST(CloseSession, FailedQuitIsRaisedAfterTheClose) {
    TIdPOP3 pop;
    std::vector<std::string> statuses;
    pop.OnStatus = [&](TIdComponent&, TIdStatus, const std::string& text) { statuses.push_back(text); };
    FakeTransport& fake = InstallFakeTransport(pop, "");
    fake.FailSend(1, 10054);
    EXPECT_THROW(pop.CloseSession(), EIdSocketError);
    EXPECT_FALSE(fake.Connected());
    EXPECT_EQ(statuses, (std::vector<std::string>{std::string("Déconnexion."), std::string("Déconnecté.")}));
}

TEST(OpenSession, LogInErrorWinsOverAFailedQuit) {
    TIdPOP3 pop;
    pop.Username = "anne";
    pop.Password = "secret";
    FakeTransport& fake = InstallFakeTransport(pop, "+OK\r\n+OK\r\n-ERR wrong\r\n", 0, false);
    fake.FailSend(3, 10054);  // USER, PASS, then QUIT fails
    if (auto e = ExpectThrown<EIdProtocolReplyError>([&] { pop.OpenSession(); })) {
        EXPECT_EQ(e->Message(), " wrong\r\n");
    }
    EXPECT_FALSE(fake.Connected());
}

// A request to stop wakes a wait on a silent server at once, whichever
// thread made it, and the close that follows sends no QUIT.
TEST(CloseSession, InterruptionEndsTheWaitAndDropsWithoutQuit) {
    ScriptedPop3Server server(std::string(kLogin) + "C: STAT\n!stall\n");
    Session s(server.Port());
    s.pop.OpenSession();
    std::thread stopper([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        Interruption::Request(SIGTERM);
    });
    auto e = ExpectThrown<EIdInterrupted>([&] { s.pop.CountMessages(); });
    stopper.join();
    if (e) {
        EXPECT_EQ(e->Signal(), SIGTERM);
    }
    EXPECT_THROW(s.pop.CloseSession(), EIdInterrupted);
    EXPECT_THROW(s.pop.OpenSession(), EIdInterrupted) << "nothing new starts";
    Interruption::Clear();
    server.ExpectFinished();
    EXPECT_EQ(server.Commands(), (std::vector<std::string>{"USER anne", "PASS secret", "STAT"}));
}
}  // namespace
