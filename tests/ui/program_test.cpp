// The program as a process: one copy per user, a crashed copy does not block.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "support/fake_single_instance.h"
#include "support/scratch_folder.h"
#include "ui/vannoir_windows.h"

namespace {

using namespace std::chrono_literals;

pid_t StartProgram(const std::filesystem::path& runtimeDir) {
    pid_t child = fork();
    if (child == 0) {
        setenv("XDG_RUNTIME_DIR", runtimeDir.c_str(), 1);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        execl(VANNOIR_PROGRAM_PATH, "vannoir", nullptr);
        _exit(127);
    }
    return child;
}

// The exit code once the process ended within `wait`, else -1 (still running).
int ExitWithin(pid_t pid, std::chrono::milliseconds wait) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    do {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
        std::this_thread::sleep_for(20ms);
    } while (std::chrono::steady_clock::now() < deadline);
    return -1;
}

void Kill(pid_t pid) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

TEST(Program, SecondCopyExitsAtOnceAndKilledCopyDoesNotBlock) {
    ScratchFolder runtime;
    pid_t first = StartProgram(runtime.Path());
    ASSERT_EQ(ExitWithin(first, 1500ms), -1) << "the first copy keeps running";
    pid_t second = StartProgram(runtime.Path());
    EXPECT_EQ(ExitWithin(second, 5s), 0) << "the second copy ends with 0";
    EXPECT_EQ(ExitWithin(first, 0ms), -1);
    Kill(first);  // as a crash would end it
    pid_t third = StartProgram(runtime.Path());
    EXPECT_EQ(ExitWithin(third, 1500ms), -1) << "the lock went with the killed copy";
    Kill(third);
}

TEST(Program, MarkerHeldElsewhereShowsNothing) {
    FakeSingleInstance marker(true);
    int argc = 1;
    char name[] = "vannoir";
    char* argv[] = {name, nullptr};
    const int windowsBefore = static_cast<int>(QApplication::topLevelWidgets().size());
    EXPECT_EQ(RunVannoir(argc, argv, marker, "/nonexistent/vannoir"), 0);
    EXPECT_EQ(marker.asked, std::vector<std::string>{"Vannoir"});
    EXPECT_EQ(static_cast<int>(QApplication::topLevelWidgets().size()), windowsBefore);
}

}  // namespace
