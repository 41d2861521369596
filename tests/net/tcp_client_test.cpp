// The client against real loopback sockets: connect, statuses, failures,
// and the anti-freeze during waits (the browser's return included).
#include "net/tcp_client.h"

#include <gtest/gtest.h>

#include <thread>

#include "net/anti_freeze.h"
#include "net/loopback_redirect.h"
#include "net/net_errors.h"
#include "platform/interruption.h"
#include "platform/text.h"
#include "support/expect_error.h"
#include "support/loopback.h"
#include "support/scripted_pop3_server.h"

namespace {
struct Client {
    explicit Client(int port, std::string host = "127.0.0.1") {
        tcp.Host = std::move(host);
        tcp.Port = port;
        tcp.OnStatus = [this](TIdComponent&, TIdStatus, const std::string& text) {
            statuses.push_back(text);
        };
    }
    TIdTCPClient tcp;
    std::vector<std::string> statuses;
};

// An anti-freeze whose pump only counts its calls.
struct CountingAntiFreeze {
    CountingAntiFreeze() {
        antiFreeze.SetMessagePump([this](bool) { ++pumps; });
    }
    TIdAntiFreeze antiFreeze;
    int pumps = 0;
};

TEST(OpenConnection, LiteralHostReportsConnectingThenConnected) {
    ScriptedPop3Server server("S: +OK\nC: QUIT\n");
    Client c(server.Port());
    c.tcp.OpenConnection();
    EXPECT_EQ(c.tcp.ReadLine(), "+OK");
    c.tcp.WriteLine("QUIT");
    c.tcp.CloseConnection();
    EXPECT_EQ(c.statuses,
              (std::vector<std::string>{std::string("Connexion à 127.0.0.1."), std::string("Connecté."),
                                        std::string("Déconnexion."), std::string("Déconnecté.")}));
    server.ExpectFinished();
}

TEST(OpenConnection, HostNameIsResolvedFirst) {
    ScriptedPop3Server server("");
    Client c(server.Port(), "localhost");
    c.tcp.OpenConnection();
    c.tcp.CloseConnection();
    ASSERT_GE(c.statuses.size(), 2u);
    EXPECT_EQ(c.statuses[0], std::string("Résolution du nom d'hôte localhost."));
    EXPECT_EQ(c.statuses[1], std::string("Connexion à 127.0.0.1."));
    server.ExpectFinished();
}

TEST(OpenConnection, TwiceRaisesAndFirstConnectionStillWorks) {
    ScriptedPop3Server server("C: ONE\nS: +OK one\n");
    Client c(server.Port());
    c.tcp.OpenConnection();
    if (auto e = ExpectThrown<EIdAlreadyConnected>([&] { c.tcp.OpenConnection(); })) {
        EXPECT_EQ(e->Message(), std::string("Déjà connecté."));
    }
    c.tcp.WriteLine("ONE");
    EXPECT_EQ(c.tcp.ReadLine(), "+OK one");
    c.tcp.CloseConnection();
    server.ExpectFinished();
}

TEST(OpenConnection, AfterCloseANewHandlerIsMade) {
    ScriptedPop3Server server("S: +OK first\n!next\nS: +OK second\n");
    Client c(server.Port());
    c.tcp.OpenConnection();
    EXPECT_EQ(c.tcp.ReadLine(), "+OK first");
    c.tcp.CloseConnection();
    EXPECT_EQ(c.tcp.IOHandler(), nullptr);
    c.tcp.OpenConnection();
    EXPECT_NE(c.tcp.IOHandler(), nullptr);
    EXPECT_EQ(c.tcp.ReadLine(), "+OK second");
    c.tcp.CloseConnection();
    server.ExpectFinished();
}

TEST(OpenConnection, RefusedWithoutAntiFreezeIsSocketError) {
    Client c(UnusedLoopbackPort());
    if (auto e = ExpectThrown<EIdSocketError>([&] { c.tcp.OpenConnection(); })) {
        EXPECT_EQ(e->LastError(), 10061);
        EXPECT_EQ(e->Message(), std::string("Erreur de socket # 10061\r\nConnexion refusée."));
    }
    EXPECT_NE(c.tcp.IOHandler(), nullptr);  // kept for the next attempt
    EXPECT_FALSE(c.tcp.IOHandler()->Connected());
}

TEST(OpenConnection, RefusedUnderAntiFreezeIsConnectException) {
    CountingAntiFreeze af;
    Client c(UnusedLoopbackPort());
    if (auto e = ExpectThrown<EIdConnectException>([&] { c.tcp.OpenConnection(); })) {
        EXPECT_EQ(e->Message(), std::string("Erreur de socket # 10061\r\nConnexion refusée."));
    }
    // Only "Connexion à": a failed open reports nothing more.
    EXPECT_EQ(c.statuses, std::vector<std::string>{std::string("Connexion à 127.0.0.1.")});
}

TEST(OpenConnection, TimeLimitReached) {
    UnansweredListener silent;
    CountingAntiFreeze af;
    Client c(silent.Port());
    if (auto e = ExpectThrown<EIdConnectTimeout>([&] { c.tcp.OpenConnection(400); })) {
        EXPECT_EQ(e->Message(), std::string("Délai de connexion."));
    }
    EXPECT_GE(af.pumps, 2);  // 125 ms steps with the window system pumped
    EXPECT_FALSE(c.tcp.IOHandler()->Connected());
}

TEST(OpenConnection, TimeLimitWithoutAntiFreezeToo) {
    UnansweredListener silent;
    Client c(silent.Port());
    EXPECT_THROW(c.tcp.OpenConnection(300), EIdConnectTimeout);
}

TEST(OpenConnection, UnresolvableHost) {
    Client c(110, "no-such-host.invalid");
    if (auto e = ExpectThrown<EIdSocketError>([&] { c.tcp.OpenConnection(); })) {
        EXPECT_EQ(e->LastError(), 11001);
    }
}

TEST(OpenConnection, ThreadedConnectWorks) {
    ScriptedPop3Server server("S: +OK\n");
    CountingAntiFreeze af;
    Client c(server.Port());
    c.tcp.OpenConnection(-1);
    EXPECT_EQ(c.tcp.ReadLine(), "+OK");
    c.tcp.CloseConnection();
    server.ExpectFinished();
}

TEST(AntiFreeze, StalledReadPumpsBetweenSlices) {
    ScriptedPop3Server server("!pause 800\nS: +OK late\n");
    CountingAntiFreeze af;
    af.antiFreeze.IdleTimeOut = 100;
    Client c(server.Port());
    c.tcp.OpenConnection(-2);
    af.pumps = 0;
    EXPECT_EQ(c.tcp.ReadLine(), "+OK late");
    EXPECT_GE(af.pumps, 2);
    c.tcp.CloseConnection();
    server.ExpectFinished();
}

// A slice of 0 ms (or less) would never use up a time limit: the waits
// still end at their limit, pumping as they go.
TEST(AntiFreeze, ZeroIdleTimeOutStillEndsAStalledRead) {
    ScriptedPop3Server server("!stall\n");
    CountingAntiFreeze af;
    af.antiFreeze.IdleTimeOut = 0;
    Client c(server.Port());
    c.tcp.OpenConnection(-2);
    c.tcp.ReadTimeout = 200;
    EXPECT_THROW(c.tcp.ReadLine(), EIdReadTimeout);
    EXPECT_GE(af.pumps, 2);
    c.tcp.CloseConnection();
    server.ExpectFinished();
}

TEST(AntiFreeze, ZeroIdleTimeOutStillEndsAConnectAtItsLimit) {
    UnansweredListener silent;
    CountingAntiFreeze af;
    af.antiFreeze.IdleTimeOut = 0;
    Client c(silent.Port());
    EXPECT_THROW(c.tcp.OpenConnection(300), EIdConnectTimeout);
    EXPECT_GE(af.pumps, 2);
}

// The browser may take minutes to come back: its wait is sliced as a read
// is, and the window's stop, made between slices, ends it at once.
TEST(AntiFreeze, RedirectWaitPumpsUntilAStopEndsIt) {
    CountingAntiFreeze af;
    af.antiFreeze.IdleTimeOut = 20;
    af.antiFreeze.SetMessagePump([&af](bool) {
        if (++af.pumps == 3) Interruption::Request(Interruption::kStopCommand);
    });
    LoopbackRedirect redirect;
    const auto start = std::chrono::steady_clock::now();
    const auto e = ExpectThrown<EIdInterrupted>(
        [&] { redirect.WaitForRequest(300000, [](std::string_view) { return true; }); });
    const auto took = std::chrono::steady_clock::now() - start;
    Interruption::Clear();
    ASSERT_TRUE(e);
    EXPECT_TRUE(e->Signal() == Interruption::kStopCommand);
    EXPECT_EQ(af.pumps, 3);
    EXPECT_LT(took, std::chrono::seconds(2));
}

TEST(AntiFreeze, WorkerThreadNeverPumps) {
    ScriptedPop3Server server("!pause 400\nS: +OK late\n");
    CountingAntiFreeze af;
    af.antiFreeze.IdleTimeOut = 50;
    std::string line;
    std::thread worker([&] {
        EXPECT_FALSE(AntiFreezeInEffect());
        Client c(server.Port());
        c.tcp.OpenConnection();
        line = c.tcp.ReadLine();
        c.tcp.CloseConnection();
    });
    worker.join();
    EXPECT_EQ(line, "+OK late");
    EXPECT_EQ(af.pumps, 0);
    server.ExpectFinished();
}

TEST(AntiFreeze, RegistrationFollowsLifetime) {
    EXPECT_FALSE(AntiFreezeInEffect());
    {
        TIdAntiFreeze first;
        EXPECT_TRUE(AntiFreezeInEffect());
        first.Active = false;
        EXPECT_FALSE(AntiFreezeInEffect());
        first.Active = true;
        {
            TIdAntiFreeze second;
            EXPECT_EQ(RegisteredAntiFreeze(), &second);
        }
        EXPECT_EQ(RegisteredAntiFreeze(), nullptr);
    }
    EXPECT_FALSE(AntiFreezeInEffect());
}

TEST(AntiFreeze, PumpRules) {
    CountingAntiFreeze af;
    PumpIfAllowed(false, false);
    EXPECT_EQ(af.pumps, 0);  // busy, and only when idle
    PumpIfAllowed(true, false);
    PumpIfAllowed(false, true);
    EXPECT_EQ(af.pumps, 2);
    af.antiFreeze.OnlyWhenIdle = false;
    PumpIfAllowed(false, false);
    EXPECT_EQ(af.pumps, 3);
    // Busy for half a slice: the window gets its turn all the same.
    af.antiFreeze.OnlyWhenIdle = true;
    af.antiFreeze.IdleTimeOut = 5;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    PumpIfAllowed(false, false);
    EXPECT_EQ(af.pumps, 4);
}

TEST(PeerClose, CompleteLineThenCloseReportsDisconnectedOnce) {
    ScriptedPop3Server server("S: +OK bye\n!close\n");
    Client c(server.Port());
    c.tcp.OpenConnection();
    c.statuses.clear();
    EXPECT_EQ(c.tcp.ReadLine(), "+OK bye");
    EXPECT_THROW(c.tcp.ReadLine(), EIdConnClosedGracefully);
    EXPECT_THROW(c.tcp.ReadLine(), EIdConnClosedGracefully);
    EXPECT_EQ(c.statuses, std::vector<std::string>{std::string("Déconnecté.")});
    EXPECT_FALSE(c.tcp.IsConnected());
    server.ExpectFinished();
}

TEST(PeerClose, PartialLineThenClose) {
    ScriptedPop3Server server("!raw +OK par\n!close\n");
    Client c(server.Port());
    c.tcp.OpenConnection();
    c.statuses.clear();
    EXPECT_EQ(c.tcp.ReadLine(), "");
    EXPECT_TRUE(c.tcp.LastLineTimedOut());
    EXPECT_THROW(c.tcp.ReadLine(), EIdConnClosedGracefully);
    EXPECT_EQ(c.statuses, std::vector<std::string>{std::string("Déconnecté.")});
    server.ExpectFinished();
}

TEST(PeerClose, ResetIsSocketError) {
    ScriptedPop3Server server("C: STAT\n!reset\n");
    Client c(server.Port());
    c.tcp.OpenConnection();
    c.tcp.WriteLine("STAT");
    if (auto e = ExpectThrown<EIdSocketError>([&] { c.tcp.ReadLine(); })) {
        EXPECT_EQ(e->LastError(), 10054);
    }
    c.tcp.CloseConnection();
    server.ExpectFinished();
}

TEST(PeerClose, OneBytePerSendIsAssembled) {
    ScriptedPop3Server server("!chunk 1\nS: +OK one byte at a time\n");
    Client c(server.Port());
    c.tcp.OpenConnection();
    EXPECT_EQ(c.tcp.ReadLine(), "+OK one byte at a time");
    c.tcp.CloseConnection();
    server.ExpectFinished();
}
}  // namespace
