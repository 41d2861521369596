// The scan's POP3 exchange against the private Dovecot, as the screener
// makes it: CAPA, the four STATs, then the header (TOP i 0, made into its
// row) and size of each of 999 messages, then QUIT. Three ways of sending (serial, one LIST
// then serial TOPs, pipelined), each on loopback and through a relay that
// holds every byte 10 ms each way. Then the whole scan of 10,000 messages
// into a window, with its peak resident memory. Also ReadLine throughput on
// a loopback stream of 80-byte lines. Uses the Dovecot of
// VANNOIR_DOVECOT_DIR, else starts its own under the build tree.
// Each way also runs over TLS (argument "tls" 1) on loopback.
#include <benchmark/benchmark.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <thread>

#include "app/main_window.h"
#include "app/scan_row_builder.h"
#include "bench_mailbox.h"
#include "message/message.h"
#include "net/net_errors.h"
#include "net/tcp_client.h"
#include "pop3/pop3.h"
#include "support/delay_proxy.h"
#include "support/fake_window.h"
#include "support/loopback.h"
#include "support/private_dovecot.h"
#include "support/process_memory.h"
#include "support/scratch_folder.h"

namespace {
constexpr int kMessages = 999;
constexpr int kLargeMailbox = 10000;

// Arguments: the way of sending (TIdPOP3::TIdPOP3Batching), the delay each
// way in ms (0: straight to the server), and the most commands sent ahead
// (0: the client's default).
void BM_ScanExchange(benchmark::State& state) {
    const PrivateDovecot& dovecot = bench::Mailbox::With(kMessages);
    const auto delay = std::chrono::milliseconds(state.range(1));
    std::optional<DelayProxy> link;
    if (delay.count() > 0) link.emplace(dovecot.port, delay);
    TIdPOP3 pop;
    dovecot.ConfigureClient(pop);
    if (link) pop.Port = link->Port();
    pop.Batching = static_cast<TIdPOP3::TIdPOP3Batching>(state.range(0));
    if (state.range(2) > 0) pop.PipelineMaxCommands = static_cast<int>(state.range(2));
    if (state.range(3) == 1) {
        pop.TLS.Mode = tlsImplicit;
        pop.TLS.TrustFile = dovecot.caFile;
        pop.Port = dovecot.tlsPort;
    }
    TIdMessage message;
    int headers = 0;
    TIdPOP3::ScanEvents events{
        // Each header made into its row, as the scan makes it.
        [&](int n, TIdMessage& m) { headers += !ScanRowFromHeader(n, m.HeaderLines, 0).subject.empty(); },
        [](int, int size) { benchmark::DoNotOptimize(size); },
        {}};
    for (auto _ : state) {
        headers = 0;
        pop.OpenSession();
        pop.Capabilities();
        int n = 0;
        for (int i = 0; i < 4; ++i) n = pop.CountMessages();
        if (n != kMessages) state.SkipWithError("unexpected message count");
        pop.ScanHeaders(n, message, events);
        pop.CloseSession();
        if (headers != kMessages) state.SkipWithError("headers missing");
    }
    state.counters["messages/s"] =
        benchmark::Counter(static_cast<double>(kMessages) * state.iterations(), benchmark::Counter::kIsRate);
}
void Ways(benchmark::internal::Benchmark* b, int delay) {
    b->ArgNames({"way", "delay_ms", "window", "tls"});
    for (int way : {TIdPOP3::pbSerial, TIdPOP3::pbOneList, TIdPOP3::pbAuto}) b->Args({way, delay, 0, 0});
    if (delay == 0) b->Args({TIdPOP3::pbAuto, 0, 0, 1});
    // Smaller windows, for the choice of the default.
    for (int window : {64, 256}) b->Args({TIdPOP3::pbAuto, delay, window, 0});
}
BENCHMARK(BM_ScanExchange)
    ->Apply([](auto* b) { Ways(b, 0); }) -> Unit(benchmark::kMillisecond) -> UseRealTime() -> Iterations(5);
// Through the slow link a serial scan takes tens of seconds: one run each.
BENCHMARK(BM_ScanExchange)
    ->Apply([](auto* b) { Ways(b, 10); }) -> Unit(benchmark::kMillisecond) -> UseRealTime() -> Iterations(1);

// The screener's whole scan of 10,000 messages into a window: the grid grows
// past its 999 rows; the peak resident memory is what the rows take.
void BM_ScanLargeMailbox(benchmark::State& state) {
    const PrivateDovecot& dovecot = bench::Mailbox::With(kLargeMailbox);
    ScratchFolder dir;
    long peakKb = 0, startKb = 0;
    for (auto _ : state) {
        state.PauseTiming();
        {
            auto window = std::make_unique<FakeWindow>();
            auto screener =
                std::make_unique<Screener>(AppPaths::ForExecutable(dir / "vannoir"), window->View());
            screener->FormCreate();
            screener->SetAccount({"127.0.0.1", dovecot.port, dovecot.user, dovecot.password, true});
            ResetPeakResident();
            startKb = ResidentKb();
            state.ResumeTiming();
            screener->Scan(ScanReading::Whole);
            state.PauseTiming();
            peakKb = PeakResidentKb();
            if (window->grid.RowCount() <= kLargeMailbox || window->grid.Cell(0, kLargeMailbox) != "10000")
                state.SkipWithError("the grid did not grow to the last message");
            if (!window->dialogs.shown.empty()) state.SkipWithError("the scan failed");
        }
        state.ResumeTiming();
    }
    state.counters["peak_rss_MB"] = static_cast<double>(peakKb) / 1024;
    state.counters["scan_rss_MB"] = static_cast<double>(peakKb - startKb) / 1024;
}
BENCHMARK(BM_ScanLargeMailbox)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

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
