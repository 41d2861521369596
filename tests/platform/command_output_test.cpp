// A token command: its first line, its exit code, and never more than the
// limit, whatever it does with its output; nothing of it outlives the run.
#include "platform/command_output.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>

#include "platform/text.h"

namespace {

struct CommandCase {
    const char* name;
    const char* command;
    int status;        // -1 when ended at the limit
    const char* line;  // nullptr: the id of a process it left behind
    bool timedOut;
};
const CommandCase kCommands[] = {
    {"first_line_trimmed", "printf ' tok-1 \\nsecond\\n'", 0, "tok-1", false},
    {"exit_code_kept", "echo tok; exit 7", 7, "tok", false},
    {"never_writes_never_ends", "sleep 30", -1, "", true},
    {"token_then_output_kept_open", "echo tok; sleep 30", -1, "tok", true},
    {"endless_lines", "yes tok", -1, "tok", true},
    {"left_behind_in_its_group", "sleep 30 >/dev/null & echo $!", 0, nullptr, false},
    {"left_behind_and_output_kept_open", "sleep 30 >/dev/null & echo $!; sleep 30", -1, nullptr, true},
};

// Whether process `pid` has ended within a second: gone, or a zombie that
// its new parent has not reaped yet.
bool Ended(pid_t pid) {
    for (int i = 0; i < 100; ++i) {
        std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
        std::string line;
        if (!std::getline(stat, line)) return true;
        const std::size_t close = line.rfind(')');
        if (close != std::string::npos && line.compare(close, 3, ") Z") == 0) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

class Command : public testing::TestWithParam<CommandCase> {};
TEST_P(Command, GivesItsFirstLineWithinTheLimit) {
    const CommandCase& c = GetParam();
    constexpr int kLimitMs = 400;
    const auto start = std::chrono::steady_clock::now();
    const CommandOutput output = RunForFirstLine(c.command, kLimitMs);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, std::chrono::milliseconds(kLimitMs + 1000));
    EXPECT_EQ(output.status, c.status);
    EXPECT_EQ(output.timedOut, c.timedOut);
    if (c.line) {
        EXPECT_EQ(output.firstLine, c.line);
    } else {
        const std::optional<std::int32_t> pid = TryStrToInt(output.firstLine);
        ASSERT_TRUE(pid && *pid > 0) << output.firstLine;
        EXPECT_TRUE(Ended(*pid)) << "process " << *pid << " outlived the command";
        if (pid && *pid > 0) ::kill(*pid, SIGKILL);
    }
}
INSTANTIATE_TEST_SUITE_P(Table, Command, testing::ValuesIn(kCommands),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
