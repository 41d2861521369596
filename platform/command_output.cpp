#include "platform/command_output.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

#include "platform/interruption.h"
#include "platform/text.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kIdleSliceMs = 50;

int LeftMs(Clock::time_point end) {
    return static_cast<int>(std::max<long long>(
        0, std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count()));
}

// Whether the group's leader has ended by `end`, left unreaped: its id, the
// group's, cannot be reused while the rest of the group is signalled.
bool LeaderEnded(pid_t pid, Clock::time_point end) {
    for (;;) {
        siginfo_t info{};
        if (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0)
            return errno != EINTR;
        if (info.si_pid == pid) return true;
        if (LeftMs(end) == 0 || Interruption::Requested()) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min(10, LeftMs(end))));
    }
}

// The group ended (a polite signal, then the sure one), the leader reaped.
// Its exit code, -1 when a signal ended it.
int EndGroup(pid_t pid, bool leaderEnded) {
    if (!leaderEnded) {
        ::kill(-pid, SIGTERM);
        LeaderEnded(pid, Clock::now() + std::chrono::milliseconds(200));
    }
    ::kill(-pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// `argv[0]` is looked up in PATH; standard input from `input`, or
// /dev/null when it is -1.
pid_t Spawn(const std::vector<std::string>& argv, int input, int output) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (input < 0)
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    else
        posix_spawn_file_actions_adddup2(&actions, input, 0);
    posix_spawn_file_actions_adddup2(&actions, output, 1);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // Its own group, so that it can be ended whole; the signals this
    // program handles or ignores back to their defaults, none blocked.
    sigset_t defaults, none;
    sigemptyset(&defaults);
    for (int s : {SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGQUIT}) sigaddset(&defaults, s);
    sigemptyset(&none);
    posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setsigmask(&attributes, &none);
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    pid_t pid = -1;
    if (argv.empty() || posix_spawnp(&pid, args[0], &actions, &attributes, args.data(), environ) != 0)
        pid = -1;
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// Writes what it can of `input` without blocking; false when the reader
// has gone. SIGPIPE is held back for this thread and a pending one taken.
bool WriteSome(int fd, std::string_view& input) {
    sigset_t pipeSignal, previous;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);
    const ssize_t n = ::write(fd, input.data(), std::min<std::size_t>(input.size(), 65536));
    const int error = errno;
    sigset_t pending;
    int taken = 0;
    // Taken only when pending, so the wait returns at once.
    if (n < 0 && error == EPIPE && sigpending(&pending) == 0 && sigismember(&pending, SIGPIPE) == 1)
        sigwait(&pipeSignal, &taken);
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    if (n > 0) input.remove_prefix(static_cast<std::size_t>(n));
    return n >= 0 || error == EAGAIN || error == EINTR;
}

// The one way a command runs: `input` written, its output handed to `take`
// (false: enough, the command is ended), all within `limitMs`. Whether it
// ended by itself, and its exit code.
struct Ending {
    bool started = false;
    bool ended = false;
    int status = -1;
};
Ending Run(const std::vector<std::string>& argv, std::optional<std::string_view> input, int limitMs,
           const std::function<bool(std::string_view)>& take, const std::function<void()>& idle = {}) {
    Ending ending;
    int out[2], in[2] = {-1, -1};
    if (::pipe2(out, O_CLOEXEC) != 0) return ending;
    if (input && ::pipe2(in, O_CLOEXEC) != 0) {
        ::close(out[0]);
        ::close(out[1]);
        return ending;
    }
    const pid_t pid = Spawn(argv, in[0], out[1]);
    ::close(out[1]);
    if (in[0] >= 0) ::close(in[0]);
    if (pid < 0) {
        ::close(out[0]);
        if (in[1] >= 0) ::close(in[1]);
        return ending;
    }
    ending.started = true;
    std::string_view left = input.value_or(std::string_view());
    int writeEnd = in[1];
    if (writeEnd >= 0) ::fcntl(writeEnd, F_SETFL, O_NONBLOCK);
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(std::max(0, limitMs));
    bool closed = false, enough = false;
    // Read to the end, so that the command never blocks on a full pipe.
    while (!closed && !enough && LeftMs(end) > 0 && !Interruption::Requested()) {
        if (writeEnd >= 0 && left.empty()) {
            ::close(writeEnd);
            writeEnd = -1;
        }
        pollfd p[3] = {
            {out[0], POLLIN, 0}, {Interruption::WakeDescriptor(), POLLIN, 0}, {writeEnd, POLLOUT, 0}};
        const int waitMs = idle ? std::min(LeftMs(end), kIdleSliceMs) : LeftMs(end);
        const int ready = ::poll(p, writeEnd >= 0 ? 3 : 2, waitMs);
        if (idle) idle();
        if (ready <= 0) continue;
        if (writeEnd >= 0 && p[2].revents != 0 && !WriteSome(writeEnd, left)) left = {};
        if (p[0].revents == 0) continue;
        char chunk[65536];
        const ssize_t n = ::read(out[0], chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        closed = n <= 0;
        if (n > 0) enough = !take(std::string_view(chunk, static_cast<std::size_t>(n)));
    }
    ::close(out[0]);
    if (writeEnd >= 0) ::close(writeEnd);
    ending.ended = closed && LeaderEnded(pid, end);
    ending.status = EndGroup(pid, ending.ended);
    Interruption::ThrowIfRequested();
    return ending;
}

}  // namespace

CommandOutput RunForFirstLine(const std::string& command, int limitMs) {
    CommandOutput result;
    constexpr std::size_t kLongestLine = 65536;
    std::string line;
    bool lineEnded = false;
    const Ending ending = Run({"/bin/sh", "-c", command}, std::nullopt, limitMs, [&](std::string_view chunk) {
        for (std::size_t i = 0; i < chunk.size() && !lineEnded; ++i) {
            if (chunk[i] == '\n')
                lineEnded = true;
            else if (line.size() < kLongestLine)
                line += chunk[i];
        }
        return true;
    });
    result.timedOut = ending.started && !ending.ended;
    result.status = ending.ended ? ending.status : -1;
    result.firstLine = Trim(line);
    return result;
}

CommandRun RunWithInput(const std::vector<std::string>& argv, std::string_view input, int limitMs,
                        std::size_t longestOutput, const std::function<void()>& idle) {
    CommandRun result;
    const Ending ending = Run(
        argv, input, limitMs,
        [&](std::string_view chunk) {
            if (result.output.size() + chunk.size() > longestOutput) {
                result.tooLong = true;
                return false;
            }
            result.output += chunk;
            return true;
        },
        idle);
    result.started = ending.started;
    result.timedOut = ending.started && !ending.ended && !result.tooLong;
    result.status = ending.ended ? ending.status : -1;
    return result;
}
