// A 999-header scan judged by each daemon engine against the private spamd
// and rspamd (started once for the program): the time per message a user
// waits for, one connection at a time.
#include "app/spam_daemons.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench_mailbox.h"
#include "support/private_spam_daemons.h"

namespace {

const PrivateSpamDaemons& Daemons() {
    static const struct Held {
        PrivateSpamDaemons daemons =
            PrivateSpamDaemons::Start(std::string(VANNOIR_BENCH_RUNTIME_DIR) + "/spam-daemons");
        ~Held() { daemons.Stop(); }
    } held;
    return held.daemons;
}

std::vector<std::string> Scan(int count) {
    std::vector<std::string> headers;
    for (int i = 1; i <= count; ++i) headers.push_back(bench::Header(i) + "\r\n");
    return headers;
}

void Judge(benchmark::State& state, SpamSettings::Engine engine,
           std::unique_ptr<SpamEngine> (*make)(const SpamSettings&, SpamDaemonLimits)) {
    const SpamSettings settings = Daemons().Settings(engine);
    if (settings.port == 0) {
        state.SkipWithError("daemon not installed");
        return;
    }
    const std::vector<std::string> scan = Scan(static_cast<int>(state.range(0)));
    // Unbounded here: the figure wanted is the daemon's own pace.
    const SpamDaemonLimits limits{60000, 3600000, 1000};
    for (auto _ : state) benchmark::DoNotOptimize(make(settings, limits)->Judge(scan));
    state.counters["ms_per_message"] = benchmark::Counter(
        static_cast<double>(scan.size()) * static_cast<double>(state.iterations()) / 1000.0,
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_SpamdScan(benchmark::State& state) { Judge(state, SpamSettings::Engine::Spamd, MakeSpamdEngine); }
void BM_RspamdScan(benchmark::State& state) { Judge(state, SpamSettings::Engine::Rspamd, MakeRspamdEngine); }

}  // namespace

BENCHMARK(BM_SpamdScan)->Arg(999)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_RspamdScan)->Arg(999)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

BENCHMARK_MAIN();
