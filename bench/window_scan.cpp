// How live the window stays while it scans 999 messages through a link that
// holds every byte 10 ms each way: a timer asks for a turn of the event loop
// every 10 ms, and the longest time between two turns is the figure (the
// window must turn at least every 100 ms). Uses the Dovecot of
// VANNOIR_DOVECOT_DIR, else starts its own under the build tree.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>

#include "account/account_settings.h"
#include "bench_mailbox.h"
#include "platform/ini_file.h"
#include "support/delay_proxy.h"
#include "support/scratch_folder.h"
#include "ui/main_window.h"
#include "ui/vannoir_windows.h"

namespace {

void BM_WindowTurnsDuringASlowScan(benchmark::State& state) {
    const PrivateDovecot& dovecot = bench::Mailbox::With(999);
    DelayProxy link(dovecot.port, std::chrono::milliseconds(10));
    ScratchFolder folder;
    PutFile(folder / "Liste" / "Amis.TXT", "");
    PutFile(folder / "Liste" / "Intrus.TXT", "");
    VannoirWindows windows(AppPaths::ForExecutable(folder / "vannoir"));
    windows.dialogs.run = [](QMessageBox&) { return nullptr; };
    TForm1& form1 = *windows.form1;
    Account account;
    account.host = "127.0.0.1";
    account.port = link.Port();
    account.user = dovecot.user;
    account.password = dovecot.password;
    account.configured = true;
    // An action loads the slot the selector shows: the account is slot 1.
    TIniFile ini(folder / "vannoir.INI");
    SaveAccountSettings(ini, 1, account);
    if (!form1.Logic().LoadAccount(1).IsDone()) state.SkipWithError("slot 1 did not load");
    qint64 longest = 0;
    for (auto _ : state) {
        QElapsedTimer sinceTurn;
        sinceTurn.start();
        qint64 worst = 0;
        QTimer timer;
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, [&] { worst = std::max(worst, sinceTurn.restart()); });
        timer.start();
        form1.BitBtn1Click();
        timer.stop();
        worst = std::max(worst, sinceTurn.elapsed());
        longest = std::max(longest, worst);
        if (form1.Logic().Record().size() != 999) state.SkipWithError("the scan did not complete");
    }
    state.counters["longest_gap_ms"] = static_cast<double>(longest);
}
BENCHMARK(BM_WindowTurnsDuringASlowScan)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    PrepareApplication(app);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
