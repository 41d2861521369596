// The program as a process: one copy per user, a crashed copy does not block.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "account/app_paths.h"
#include "support/fake_single_instance.h"
#include "support/scratch_folder.h"
#include "ui/vannoir_windows.h"

namespace {

using namespace std::chrono_literals;

using Environment = std::vector<std::pair<std::string, std::string>>;

pid_t StartProgram(const std::filesystem::path& runtimeDir,
                   const std::filesystem::path& program = VANNOIR_PROGRAM_PATH,
                   const Environment& environment = {}) {
    pid_t child = fork();
    if (child == 0) {
        setenv("XDG_RUNTIME_DIR", runtimeDir.c_str(), 1);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        for (const auto& [name, value] : environment) setenv(name.c_str(), value.c_str(), 1);
        execl(program.c_str(), "vannoir", nullptr);
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

// Installed, the window keeps its files in the user's folder, made
// owner-only at start: the folder vannoir-cli's rule names.
TEST(Program, InstalledKeepsFilesInTheUsersFolder) {
    namespace fs = std::filesystem;
    ScratchFolder root;
    fs::create_directories(root / "usr" / "bin");
    fs::create_directories(root / "usr" / "share" / "vannoir");
    fs::copy_file(VANNOIR_PROGRAM_PATH, root / "usr" / "bin" / "vannoir");
    FolderFacts facts = FolderFacts::OfSystem();
    facts.configHome = (root / "conf").string();
    const AppPaths expected = LocateAppPaths(root / "usr" / "bin" / "vannoir-cli", std::nullopt, facts);
    ASSERT_EQ(expected.folder, root / "conf" / "vannoir");

    pid_t program = StartProgram(root.Path(), root / "usr" / "bin" / "vannoir",
                                 {{"XDG_CONFIG_HOME", facts.configHome}, {"HOME", (root / "home").string()}});
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (!fs::exists(expected.intruders) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(20ms);
    EXPECT_EQ(ExitWithin(program, 0ms), -1) << "the window is up";
    Kill(program);
    EXPECT_TRUE(fs::exists(expected.friends));
    EXPECT_EQ(fs::status(expected.folder).permissions(), fs::perms::owner_all);
    EXPECT_FALSE(fs::exists(root / "usr" / "bin" / "Liste"));
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
