// Servers that fail the secured or time-limited session: STLS not offered
// or refused, garbage or silence instead of a TLS handshake, silence in the
// middle of an exchange. Each must fail cleanly, in time, with nothing
// secret sent.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "message/message.h"
#include "net/net_errors.h"
#include "platform/text.h"
#include "pop3/pop3.h"
#include "support/loopback.h"
#include "support/scripted_pop3_server.h"

namespace {

struct FaultCase {
    const char* name;
    const char* script;
    TIdTLSMode mode;
    bool readHeader;      // after logging in, TOP 1 0
    const char* message;  // UTF-8, the start of the error's text
};
const FaultCase kFaults[] = {
    {"stls_not_offered", "S: +OK\nC: CAPA\nS: +OK\nS: USER\nS: TOP\nS: .\nC: QUIT\nS: +OK\n", tlsExplicit,
     false, "Le serveur ne propose pas STLS"},
    {"capa_refused", "S: +OK\nC: CAPA\nS: -ERR unknown\nC: QUIT\nS: +OK\n", tlsExplicit, false,
     "Le serveur ne propose pas STLS"},
    {"stls_refused",
     "S: +OK\nC: CAPA\nS: +OK\nS: STLS\nS: .\nC: STLS\nS: -ERR pas maintenant\nC: QUIT\nS: +OK\n",
     tlsExplicit, false, "Le serveur a refusé STLS : pas maintenant"},
    {"garbage_instead_of_handshake", "S: +OK POP3 en clair\n!stall\n", tlsImplicit, false,
     "La négociation TLS avec le serveur a échoué : le serveur ne répond pas en TLS"},
    {"closed_inside_handshake", "!raw \\x16\\x03\\x03\\x00\\x40\\x02\\x00\n!close\n", tlsImplicit, false,
     "La négociation TLS avec le serveur a échoué : le serveur a fermé la connexion"},
    {"silent_inside_handshake", "!raw \\x16\\x03\\x03\\x00\\x40\\x02\\x00\n!stall\n", tlsImplicit, false,
     "Délai de lecture"},
    {"silent_after_stls", "S: +OK\nC: CAPA\nS: +OK\nS: STLS\nS: .\nC: STLS\nS: +OK go\n!stall\n", tlsExplicit,
     false, "Délai de lecture"},
    {"silent_after_greeting", "S: +OK\nC: USER anne\n!stall\n", tlsNone, false, "Délai de lecture"},
    {"silent_inside_top",
     "S: +OK\nC: USER anne\nS: +OK\nC: PASS secret\nS: +OK\nC: TOP 1 0\nS: +OK\nS: From: a@b.fr\n!stall\n",
     tlsNone, true, "Délai de lecture"},
};
class TlsFault : public testing::TestWithParam<FaultCase> {};

TEST_P(TlsFault, FailsCleanlyInTimeWithoutSendingThePassword) {
    const FaultCase& c = GetParam();
    ScriptedPop3Server server(c.script, std::chrono::seconds(10));
    TIdPOP3 pop;
    pop.Host = "127.0.0.1";
    pop.Port = server.Port();
    pop.Username = "anne";
    pop.Password = "secret";
    pop.TLS.Mode = c.mode;
    pop.ReadTimeout = 300;
    const auto start = std::chrono::steady_clock::now();
    std::string error;
    try {
        pop.OpenSession();
        TIdMessage message;
        if (c.readHeader) pop.LoadMessageHeader(1, message);
        pop.CloseSession();
    } catch (const EIdException& e) {
        error = e.Message();
    }
    if (pop.IsConnected()) pop.CloseSession();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(error.substr(0, std::string(c.message).size()), std::string(c.message)) << error;
    // The handshake bytes do not follow the script: only the commands count.
    server.WaitFinished(std::chrono::seconds(5));
    std::vector<std::string> sent = server.Commands();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "PASS secret"), c.readHeader ? 1 : 0);
    // After a failed negotiation nothing follows, not even QUIT.
    if (c.mode == tlsExplicit && std::count(sent.begin(), sent.end(), "STLS") == 1 &&
        error.find("STLS") == std::string::npos) {
        EXPECT_EQ(std::count(sent.begin(), sent.end(), "QUIT"), 0);
    }
    if (!c.readHeader) {
        EXPECT_EQ(std::count(sent.begin(), sent.end(), "USER anne"), c.mode == tlsNone ? 1 : 0);
    }
}
INSTANTIATE_TEST_SUITE_P(Table, TlsFault, testing::ValuesIn(kFaults),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ConnectTimeout, ClientLimitAppliesToTheDefaultTimeout) {
    UnansweredListener silent;
    TIdPOP3 pop;
    pop.Host = "127.0.0.1";
    pop.Port = silent.Port();
    pop.ConnectTimeout = 300;
    try {
        pop.OpenSession();
        FAIL() << "connected";
    } catch (const EIdConnectTimeout& e) {
        EXPECT_EQ(e.Message(), std::string("Délai de connexion."));
    }
}

}  // namespace
