// Time from a fresh process to the main window shown: a child process makes
// the application object (offscreen platform), the five windows over an
// empty program folder, shows the main window and reports once it is
// exposed. The figure leaves out loading the program file itself (the child
// is forked from this one, the libraries are already mapped).
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QTest>
#include <chrono>

#include "support/scratch_folder.h"
#include "ui/vannoir_windows.h"

namespace {

void ShowInChild(const std::filesystem::path& folder, int reportFd) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "vannoir";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    PrepareApplication(app);
    VannoirWindows windows(AppPaths::ForExecutable(folder / "vannoir"));
    windows.dialogs.run = [](QMessageBox&) { return nullptr; };  // the missing-list box
    windows.ShowMain();
    bool shown = QTest::qWaitForWindowExposed(windows.form1.get());
    QCoreApplication::processEvents();  // the account and the lists
    char done = shown ? 'y' : 'n';
    (void)!write(reportFd, &done, 1);
    _exit(0);
}

void BM_ProcessStartToMainWindowShown(benchmark::State& state) {
    ScratchFolder folder;
    for (auto _ : state) {
        int report[2];
        if (pipe(report) != 0) state.SkipWithError("pipe");
        const auto start = std::chrono::steady_clock::now();
        pid_t child = fork();
        if (child == 0) ShowInChild(folder.Path(), report[1]);
        char done = 0;
        (void)!read(report[0], &done, 1);
        const auto shown = std::chrono::steady_clock::now();
        waitpid(child, nullptr, 0);
        close(report[0]);
        close(report[1]);
        if (done != 'y') state.SkipWithError("the window was not shown");
        state.SetIterationTime(std::chrono::duration<double>(shown - start).count());
    }
}
BENCHMARK(BM_ProcessStartToMainWindowShown)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

BENCHMARK_MAIN();
