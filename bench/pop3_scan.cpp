// The scan's POP3 exchange against the private Dovecot: STAT, then for each
// of 999 messages TOP i 0 with the header parsed and LIST i, then QUIT.
// Reports messages per second and the median round trip (TOP with its header
// parse, or LIST), in clear and over TLS (argument 1). Also ReadLine throughput on a loopback stream of
// 80-byte lines. Uses the Dovecot of VANNOIR_DOVECOT_DIR, else starts its own in
// ./bench-dovecot.
#include <benchmark/benchmark.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "message/message.h"
#include "net/net_errors.h"
#include "net/tcp_client.h"
#include "pop3/pop3.h"
#include "support/loopback.h"
#include "support/private_dovecot.h"

namespace {
constexpr int kMessages = 999;
using Clock = std::chrono::steady_clock;

std::string Header(int i) {
    std::string n = std::to_string(i);
    return "Return-Path: <sender" + n +
           "@example.fr>\r\n"
           "Received: from mail.example.fr (mail.example.fr [192.0.2.7])\r\n"
           "\tby pop.example.net with ESMTPS id " +
           n +
           "\r\n"
           "\tfor <anne@example.net>; Mon, 7 Dec 2026 09:00:00 +0100\r\n"
           "From: \"Exp\xE9"
           "diteur " +
           n + "\" <sender" + n +
           "@example.fr>\r\n"
           "To: Anne Martin <anne@example.net>\r\n"
           "Subject: Message de test " +
           n +
           " avec un sujet assez long\r\n"
           "Date: Mon, 7 Dec 2026 09:00:00 +0100\r\n"
           "Message-ID: <" +
           n +
           ".bench@example.fr>\r\n"
           "MIME-Version: 1.0\r\n"
           "Content-Type: text/plain; charset=\"iso-8859-1\"\r\n"
           "Content-Transfer-Encoding: 8bit\r\n";
}

// The private Dovecot with 999 messages, started once for the program.
class Mailbox {
public:
    static Mailbox& Get() {
        static Mailbox mailbox;
        return mailbox;
    }
    ~Mailbox() {
        if (own_) dovecot_.Stop();
    }
    const PrivateDovecot& Dovecot() const { return dovecot_; }

private:
    Mailbox() {
        if (auto running = PrivateDovecot::FromEnvironment()) {
            dovecot_ = *running;
        } else {
            dovecot_ = PrivateDovecot::Start((std::filesystem::current_path() / "bench-dovecot").string());
            own_ = true;
        }
        dovecot_.ClearMailbox();
        for (int i = 1; i <= kMessages; ++i) dovecot_.AddMessage(Header(i) + "\r\nCorps du message.\r\n");
    }
    PrivateDovecot dovecot_;
    bool own_ = false;
};

void BM_ScanExchange(benchmark::State& state) {
    const PrivateDovecot& dovecot = Mailbox::Get().Dovecot();
    TIdPOP3 pop;
    dovecot.ConfigureClient(pop);
    if (state.range(0) == 1) {
        pop.TLS.Mode = tlsImplicit;
        pop.TLS.TrustFile = dovecot.caFile;
        pop.Port = dovecot.tlsPort;
    }
    state.SetLabel(state.range(0) == 1 ? "tls" : "plain");
    TIdMessage message;
    std::vector<double> roundTrips;
    for (auto _ : state) {
        pop.OpenSession();
        int n = pop.CountMessages();
        if (n != kMessages) state.SkipWithError("unexpected message count");
        for (int i = 1; i <= n; ++i) {
            auto t0 = Clock::now();
            message.ClearAll();
            pop.LoadMessageHeader(i, message);
            auto t1 = Clock::now();
            benchmark::DoNotOptimize(pop.QueryMessageSize(i));
            auto t2 = Clock::now();
            roundTrips.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
            roundTrips.push_back(std::chrono::duration<double, std::micro>(t2 - t1).count());
        }
        pop.CloseSession();
    }
    std::nth_element(roundTrips.begin(), roundTrips.begin() + roundTrips.size() / 2, roundTrips.end());
    state.counters["messages/s"] =
        benchmark::Counter(static_cast<double>(kMessages) * state.iterations(), benchmark::Counter::kIsRate);
    state.counters["median_round_trip_us"] = roundTrips.empty() ? 0 : roundTrips[roundTrips.size() / 2];
}
BENCHMARK(BM_ScanExchange)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->MinWarmUpTime(0.5);

// A loopback peer that sends `total` bytes of 80-byte lines, then closes.
void SendLines(int listener, std::size_t total) {
    int fd = accept(listener, nullptr, nullptr);
    if (fd < 0) return;
    std::string line(78, 'x');
    line += "\r\n";
    std::string block;
    while (block.size() < 64 * 1024) block += line;
    for (std::size_t sent = 0; sent < total; sent += block.size()) {
        if (send(fd, block.data(), block.size(), MSG_NOSIGNAL) < 0) break;
    }
    close(fd);
}

void BM_ReadLineLoopback(benchmark::State& state) {
    constexpr std::size_t kTotal = std::size_t{64} << 20;
    std::size_t bytes = 0;
    for (auto _ : state) {
        LoopbackListener listener;
        std::thread peer(SendLines, listener.Fd(), kTotal);
        TIdTCPClient client;
        client.Host = "127.0.0.1";
        client.Port = listener.Port();
        client.OpenConnection();
        try {
            for (;;) {
                std::string line = client.ReadLine();
                bytes += line.size() + 2;
                if (line.empty() && client.LastLineTimedOut()) break;
            }
        } catch (const EIdConnClosedGracefully&) {
        }
        client.CloseConnection();
        peer.join();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_ReadLineLoopback)->Unit(benchmark::kMillisecond)->UseRealTime();
}  // namespace

BENCHMARK_MAIN();
