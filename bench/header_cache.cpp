// A second look at a large mailbox through the header cache, side by side
// with a full read of the same mailbox: nothing new, ten new messages, and
// the first look (empty cache), on loopback and through a relay that holds
// every byte 10 ms each way. The bytes the server sent are counted per look.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>

#include "app/main_window.h"
#include "bench_mailbox.h"
#include "support/delay_proxy.h"
#include "support/fake_window.h"
#include "support/scratch_folder.h"

namespace {
constexpr int kMessages = 9990;

struct Look {
    explicit Look(int delayMs) : dovecot(bench::Mailbox::With(kMessages)) {
        if (delayMs > 0) link.emplace(dovecot.port, std::chrono::milliseconds(delayMs));
        screener = std::make_unique<Screener>(AppPaths::ForExecutable(dir / "vannoir"), window.View());
        screener->FormCreate();
        screener->SetAccount(
            {"127.0.0.1", link ? link->Port() : dovecot.port, dovecot.user, dovecot.password, true});
    }
    void Scan(benchmark::State& state, ScanReading reading) {
        screener->Scan(reading);
        if (!window.dialogs.shown.empty() || screener->Record().size() < kMessages)
            state.SkipWithError("the scan failed");
    }
    std::uint64_t Received() const { return link ? link->BytesToClient() : 0; }
    // The messages delivered last, newest first.
    std::vector<std::filesystem::path> Newest(std::size_t count) const {
        std::vector<std::filesystem::path> files;
        for (const char* sub : {"new", "cur"})
            for (const auto& entry : std::filesystem::directory_iterator(dovecot.maildir + "/" + sub))
                files.push_back(entry.path());
        std::sort(files.begin(), files.end(),
                  [](const auto& a, const auto& b) { return a.filename() > b.filename(); });
        files.resize(std::min(count, files.size()));
        return files;
    }

    const PrivateDovecot& dovecot;
    std::optional<DelayProxy> link;
    ScratchFolder dir;
    FakeWindow window;
    std::unique_ptr<Screener> screener;
};

void Report(benchmark::State& state, const Look& look, std::uint64_t before) {
    if (look.link && state.iterations() > 0)
        state.counters["kB_received"] =
            static_cast<double>(look.Received() - before) / 1024.0 / static_cast<double>(state.iterations());
}

// Every header read, as today's first look and `--tout-relire`.
void BM_FullRead(benchmark::State& state) {
    Look look(static_cast<int>(state.range(0)));
    const std::uint64_t before = look.Received();
    for (auto _ : state) look.Scan(state, ScanReading::Whole);
    Report(state, look, before);
}

// The first look of all: the cache folder emptied before each.
void BM_FirstLook(benchmark::State& state) {
    Look look(static_cast<int>(state.range(0)));
    std::uint64_t received = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove_all(look.dir / "EnTetes");
        const std::uint64_t before = look.Received();
        state.ResumeTiming();
        look.Scan(state, ScanReading::Cached);
        received += look.Received() - before;
    }
    if (look.link)
        state.counters["kB_received"] = static_cast<double>(received) / 1024.0 / state.iterations();
}

// Nothing changed since the last look.
void BM_NothingNew(benchmark::State& state) {
    Look look(static_cast<int>(state.range(0)));
    look.Scan(state, ScanReading::Cached);
    const std::uint64_t before = look.Received();
    for (auto _ : state) look.Scan(state, ScanReading::Cached);
    Report(state, look, before);
}

// Ten messages arrived since the last look.
void BM_TenNew(benchmark::State& state) {
    Look look(static_cast<int>(state.range(0)));
    look.Scan(state, ScanReading::Cached);
    std::uint64_t received = 0;
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 1; i <= 10; ++i)
            look.dovecot.AddMessage(bench::Header(kMessages + i) + "\r\nNouveau.\r\n");
        const std::uint64_t before = look.Received();
        state.ResumeTiming();
        look.Scan(state, ScanReading::Cached);
        state.PauseTiming();
        received += look.Received() - before;
        for (const auto& file : look.Newest(10)) std::filesystem::remove(file);
        // The cache back to the mailbox as it was.
        look.Scan(state, ScanReading::Cached);
        state.ResumeTiming();
    }
    if (look.link)
        state.counters["kB_received"] = static_cast<double>(received) / 1024.0 / state.iterations();
}

#define VANNOIR_LOOK(name) \
    BENCHMARK(name)->ArgName("delay_ms")->Arg(0)->Arg(10)->Unit(benchmark::kMillisecond)->UseRealTime()
VANNOIR_LOOK(BM_FullRead);
VANNOIR_LOOK(BM_FirstLook);
VANNOIR_LOOK(BM_NothingNew);
VANNOIR_LOOK(BM_TenNew);

}  // namespace

BENCHMARK_MAIN();
