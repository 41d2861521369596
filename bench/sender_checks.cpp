// What the sender checks cost the scan: the screener's whole scan of 999
// headers on loopback, each carrying its provider's Authentication-Results,
// side by side without the checks (no receiving service, empty lists) and
// with them (the service named, 20 friend entries none of the senders is,
// so every row is also compared for look-alikes). Also the checks alone,
// per row, without the network.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "app/main_lists.h"
#include "app/main_window.h"
#include "app/scan_row_builder.h"
#include "bench_mailbox.h"
#include "support/fake_window.h"
#include "support/scratch_folder.h"

namespace {
constexpr int kMessages = 999;

const char* const kFriends =
    "claire@amis.fr\r\njean.dupont@gmail.com\r\n@banque.example\r\n*.paypal.com\r\nMarie Martin\r\n"
    "anne@orange.fr\r\nbob@free.fr\r\n@mairie.example\r\nzoe@laposte.net\r\nPaul Durand\r\n"
    "sophie@yahoo.fr\r\nluc@hotmail.fr\r\n@ecole.example\r\n*.impots.gouv.fr\r\nClaire Amie\r\n"
    "marc@sfr.fr\r\nlea@outlook.fr\r\n@club.example\r\nhugo@gmx.fr\r\nTante Jeanne\r\n";

// Argument: 0 without the checks, 1 with them.
void BM_ScanWithSenderChecks(benchmark::State& state) {
    const bool checks = state.range(0) == 1;
    const PrivateDovecot& dovecot = bench::Mailbox::With(kMessages, true);
    ScratchFolder dir;
    const AppPaths paths = AppPaths::ForExecutable(dir / "vannoir");
    std::filesystem::create_directories(paths.friends.parent_path());
    PutFile(paths.friends, checks ? kFriends : "");
    PutFile(paths.intruders, "");
    auto window = std::make_unique<FakeWindow>();
    auto screener = std::make_unique<Screener>(paths, window->View());
    screener->FormCreate();
    screener->LoadLists();
    Account account{"127.0.0.1", dovecot.port, dovecot.user, dovecot.password, true};
    if (checks) account.resultService = {{"pop.example.net"}, false};
    screener->SetAccount(account);
    for (auto _ : state) {
        screener->Scan();
        if (!window->dialogs.shown.empty() || screener->Record().size() != kMessages)
            state.SkipWithError("the scan failed");
        if (checks && screener->Record().back().authentication != SenderAuthentication::Authenticated)
            state.SkipWithError("the verdict was not read");
    }
}
BENCHMARK(BM_ScanWithSenderChecks)
    ->ArgName("checks")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// One row made and marked, without the network: the checks' own cost.
void BM_RowChecks(benchmark::State& state) {
    const bool checks = state.range(0) == 1;
    TIdHeaderList header;
    std::string text = bench::Header(42, true);
    for (std::size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        header.Add(text.substr(start, end - start));
    ScratchFolder dir;
    const AppPaths paths = AppPaths::ForExecutable(dir / "vannoir");
    std::filesystem::create_directories(paths.friends.parent_path());
    PutFile(paths.friends, checks ? kFriends : "");
    PutFile(paths.intruders, "");
    MainLists lists(paths);
    lists.LoadBoth();
    const ResultService service = checks ? ResultService{{"pop.example.net"}, false} : ResultService{};
    for (auto _ : state) {
        ScanRow row = ScanRowFromHeader(42, header, 0, {}, service);
        lists.Mark(row, false);
        benchmark::DoNotOptimize(row);
    }
}
BENCHMARK(BM_RowChecks)->ArgName("checks")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
