// The scan of 999 headers from the private Dovecot on loopback, side by
// side without a spam engine and with the local learning filter scoring
// every header in one exchange (its word list taught a small set first).
// The ratio of the two is what scoring adds to a scan.
#include <benchmark/benchmark.h>

#include <memory>

#include "app/main_window.h"
#include "bench_mailbox.h"
#include "platform/ini_file.h"
#include "support/fake_window.h"
#include "support/private_dovecot.h"
#include "support/scratch_folder.h"
#include "support/spam_training.h"

namespace {
constexpr int kMessages = 999;

// Argument: 1 with scoring, 0 without.
void BM_ScanScored(benchmark::State& state) {
    const PrivateDovecot& dovecot = bench::Mailbox::With(kMessages);
    ScratchFolder dir;
    const AppPaths paths = AppPaths::ForExecutable(dir / "vannoir");
    TIniFile(paths.settings).WriteString("Antispam", "Moteur", state.range(0) ? "bogofilter" : "aucun");
    if (state.range(0)) TeachSpamWords(paths.spamWords);
    auto window = std::make_unique<FakeWindow>();
    auto screener = std::make_unique<Screener>(paths, window->View());
    screener->FormCreate();
    screener->SetAccount({"127.0.0.1", dovecot.port, dovecot.user, dovecot.password, true});
    for (auto _ : state) {
        screener->Scan(ScanReading::Whole);
        if (!window->dialogs.shown.empty()) state.SkipWithError("the scan failed");
        if (state.range(0) && !screener->Record().front().spam.score) state.SkipWithError("no score");
    }
}
BENCHMARK(BM_ScanScored)->ArgName("scored")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
