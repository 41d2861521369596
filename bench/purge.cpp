// The purge of 500 intruders of about 10 KB against the private Dovecot:
// DELE only, or each message first copied into a Corbeille (RETR, written,
// flushed, then DELE), on loopback and through a relay that holds every
// byte 10 ms each way. The session around it (log-in, CAPA, STAT, QUIT)
// is timed too, as the user waits for it. Also the scan's CAPA and four
// STATs followed by the 999 headers, through the same relay.
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <memory>
#include <optional>

#include "app/corbeille.h"
#include "bench_mailbox.h"
#include "message/message.h"
#include "pop3/pop3.h"
#include "support/delay_proxy.h"
#include "support/private_dovecot.h"
#include "support/scratch_folder.h"

namespace {
constexpr int kIntruders = 500;

void FillMailbox(const PrivateDovecot& dovecot) {
    dovecot.ClearMailbox();
    std::string body;
    while (body.size() < 10000)
        body += "Ligne de texte du message indésirable, assez longue pour compter.\r\n";
    for (int i = 1; i <= kIntruders; ++i) dovecot.AddMessage(bench::Header(i) + "\r\n" + body);
}

// Arguments: Corbeille (1) or not (0), the delay each way in ms.
void BM_Purge(benchmark::State& state) {
    const PrivateDovecot& dovecot = bench::Mailbox::With(0);
    const bool keep = state.range(0) == 1;
    const auto delay = std::chrono::milliseconds(state.range(1));
    std::optional<DelayProxy> link;
    if (delay.count() > 0) link.emplace(dovecot.port, delay);
    std::vector<int> numbers;
    for (int n = kIntruders; n >= 1; --n) numbers.push_back(n);
    for (auto _ : state) {
        state.PauseTiming();
        FillMailbox(dovecot);
        ScratchFolder dir;
        Corbeille corbeille(dir / "Corbeille", {});
        TIdPOP3 pop;
        dovecot.ConfigureClient(pop);
        if (link) pop.Port = link->Port();
        state.ResumeTiming();
        pop.OpenSession();
        pop.Capabilities();
        if (pop.CountMessages() != kIntruders) state.SkipWithError("unexpected message count");
        std::vector<int> marked;
        if (keep) {
            std::unique_ptr<CorbeilleCopy> copy;
            std::vector<CorbeilleEntry> unsynced;
            TIdPOP3::CopyEvents events;
            events.start = [&](int) {
                CorbeilleEntry entry;
                entry.deletedAt = std::time(nullptr);
                copy = corbeille.Begin(entry);
            };
            events.bytes = [&](std::string_view bytes) { copy->Append(bytes); };
            events.done = [&](int, bool retrieved) {
                if (!retrieved) return false;
                unsynced.push_back(copy->Keep());
                copy.reset();
                return true;
            };
            events.sync = [&] {
                corbeille.Sync(unsynced);
                unsynced.clear();
                return true;
            };
            pop.CopyAndDeleteMessages(numbers, events, &marked);
        } else {
            std::size_t count = 0;
            pop.DeleteMessages(numbers, &count);
            marked.resize(count);
        }
        pop.CloseSession();
        if (marked.size() != static_cast<std::size_t>(kIntruders)) state.SkipWithError("not all deleted");
        state.PauseTiming();
        if (keep && corbeille.List().size() != static_cast<std::size_t>(kIntruders))
            state.SkipWithError("copies missing");
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Purge)
    ->ArgNames({"corbeille", "delay_ms"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 10})
    ->Args({1, 10})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

// The scan's exchange through the relay, as the screener makes it.
void BM_ScanThroughLink(benchmark::State& state) {
    const PrivateDovecot& dovecot = bench::Mailbox::With(999);
    DelayProxy link(dovecot.port, std::chrono::milliseconds(10));
    TIdPOP3 pop;
    dovecot.ConfigureClient(pop);
    pop.Port = link.Port();
    TIdMessage message;
    TIdPOP3::ScanEvents events{
        [](int, TIdMessage&) {}, [](int, int size) { benchmark::DoNotOptimize(size); }, {}};
    for (auto _ : state) {
        pop.OpenSession();
        pop.Capabilities();
        int n = 0;
        for (int i = 0; i < 4; ++i) n = pop.CountMessages();
        pop.ScanHeaders(n, message, events);
        pop.CloseSession();
    }
}
BENCHMARK(BM_ScanThroughLink)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
