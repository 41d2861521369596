// vannoir-cli stopped by a signal mid-way: it ends with 128 + the signal,
// the server never sees QUIT (so it removes nothing), and no temporary file
// is left behind.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <regex>
#include <thread>

#include "account/password_scramble.h"
#include "platform/text.h"
#include "support/pop3_script_pieces.h"
#include "support/scratch_folder.h"
#include "support/scripted_pop3_server.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string kSpam = "From: Spam <s@pub.example>\nSubject: Promo";

// A message whose attachment keeps coming: the server stops in its middle.
std::string EndlessAttachment() {
    std::string script = ScanLogin() + "C: RETR 1\nS: +OK\n";
    for (const char* line : {"From: a@b.fr", "Subject: Gros", "MIME-Version: 1.0",
                             "Content-Type: multipart/mixed; boundary=\"f\"", "", "--f",
                             "Content-Type: application/octet-stream", "Content-Transfer-Encoding: base64",
                             "Content-Disposition: attachment; filename=\"gros.bin\"", ""})
        script += std::string("S: ") + line + "\n";
    for (int i = 0; i < 20000; ++i) script += "S: " + std::string(76, 'Q') + "\n";
    return script + "!stall\n";
}

// A purge of two intruders: the first DELE is answered, the second never.
std::string StalledPurge() {
    return ScanLogin() + Stats(2, 4) + Message(1, kSpam, 100) + Message(2, kSpam, 200) + Stat(2) +
           "C: DELE 2\nC: DELE 1\nS: +OK\n!stall\n";
}

struct InterruptCase {
    const char* name;
    std::function<std::string()> script;
    std::vector<std::string> args;
    int signal;
    int status;
    bool attachmentStarted;  // a temporary file exists before the signal
};
const InterruptCase kCases[] = {
    {"preview_sigterm", EndlessAttachment, {"apercu", "1"}, SIGTERM, 143, true},
    {"preview_sighup", EndlessAttachment, {"apercu", "1"}, SIGHUP, 129, true},
    {"purge_sigint", StalledPurge, {"en-tetes", "--purger"}, SIGINT, 130, false},
};

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    for (auto end = std::chrono::steady_clock::now() + limit; std::chrono::steady_clock::now() < end;) {
        if (done()) return true;
        std::this_thread::sleep_for(10ms);
    }
    return done();
}

int FileCount(const fs::path& folder) {
    return static_cast<int>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

class CliInterruption : public testing::TestWithParam<InterruptCase> {
protected:
    CliInterruption() {
        fs::copy_file(VANNOIR_CLI_PATH, dir / "vannoir-cli");
        PutFile(dir / "vannoir.INI", "[Form]\r\nServeur1=127.0.0.1\r\nNom1=anne\r\nPasse1=" +
                                         ScramblePassword("secret") + "\r\nCorbeille=0\r\n");
        PutFile(dir / "Liste" / "Amis.TXT", "Ami\r\n");
        PutFile(dir / "Liste" / "Intrus.TXT", "Spam\r\n");
        fs::create_directory(tmp);
    }

    // The program in the background, TMPDIR pointing at `tmp`; its output goes to files.
    pid_t Start(std::vector<std::string> args, int port) {
        args.insert(args.begin(), (dir / "vannoir-cli").string());
        args.push_back("--port=" + IntToStr(port));
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        std::vector<std::string> env{"TMPDIR=" + tmp.string()};
        for (char** e = environ; *e; ++e)
            if (!std::string_view(*e).starts_with("TMPDIR=")) env.emplace_back(*e);
        std::vector<char*> envp;
        for (std::string& e : env) envp.push_back(e.data());
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, (dir / "out.txt").c_str(), O_WRONLY | O_CREAT, 0600);
        posix_spawn_file_actions_addopen(&actions, 2, (dir / "err.txt").c_str(), O_WRONLY | O_CREAT, 0600);
        // A core file, when one is written, lands in the folder of the test.
        posix_spawn_file_actions_addchdir_np(&actions, dir.Path().c_str());
        pid_t pid = -1;
        if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        return pid;
    }

    // The exit status, or -1 when it did not end by itself in time (then killed).
    static int Wait(pid_t pid) {
        int status = 0;
        if (!WaitUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; }, 20s)) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    ScratchFolder dir;
    fs::path tmp = dir / "tmp";
};

TEST_P(CliInterruption, EndsWithTheSignalsStatusNoQuitNoTemporaryFile) {
    const InterruptCase& c = GetParam();
    ScriptedPop3Server server(c.script());
    const pid_t pid = Start(c.args, server.Port());
    ASSERT_GT(pid, 0);
    // The signal comes once the server has said all it will say.
    const bool reached = WaitUntil(
        [&] {
            return server.Transcript().ends_with("!! server stalls\n") &&
                   (!c.attachmentStarted || FileCount(tmp) > 0);
        },
        20s);
    EXPECT_TRUE(reached) << server.Transcript().substr(0, 3000);
    kill(pid, c.signal);
    EXPECT_EQ(Wait(pid), c.status) << FileBytes(dir / "err.txt");
    server.ExpectFinished(5s);
    const std::vector<std::string> sent = server.Commands();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "QUIT"), 0) << server.Transcript().substr(0, 3000);
    EXPECT_EQ(FileCount(tmp), 0);
    EXPECT_NE(FileBytes(dir / "err.txt").find("Action interrompue par le signal"), std::string::npos)
        << FileBytes(dir / "err.txt");
}
INSTANTIATE_TEST_SUITE_P(Table, CliInterruption, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Logged in, the program holds the password: SIGQUIT, even with core files
// allowed, writes none. Turned off at start, core dumps stay off.
TEST_F(CliInterruption, SigquitAfterTheLogInLeavesNoCoreFile) {
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_CORE, &saved), 0);
    if (saved.rlim_max == 0) GTEST_SKIP() << "core files are not allowed here at all";
    rlimit allowed = saved;
    allowed.rlim_cur = saved.rlim_max;
    ASSERT_EQ(setrlimit(RLIMIT_CORE, &allowed), 0);
    ScriptedPop3Server server(ScanLogin() + "!stall\n");
    const pid_t pid = Start({"en-tetes"}, server.Port());
    setrlimit(RLIMIT_CORE, &saved);
    ASSERT_GT(pid, 0);
    EXPECT_TRUE(WaitUntil([&] { return server.Transcript().ends_with("!! server stalls\n"); }, 20s));
    const std::string limits = FileBytes(fs::path("/proc") / std::to_string(pid) / "limits");
    EXPECT_TRUE(std::regex_search(limits, std::regex(R"(Max core file size\s+0\s+0\s)"))) << limits;
    kill(pid, SIGQUIT);
    Wait(pid);
    for (const auto& entry : fs::directory_iterator(dir.Path()))
        EXPECT_FALSE(entry.path().filename().string().starts_with("core")) << entry.path();
}

}  // namespace
