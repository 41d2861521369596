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
#include <thread>

#include "platform/interruption.h"
#include "platform/text.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

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

pid_t Spawn(const std::string& command, int output) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
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
    char* argv[] = {const_cast<char*>("sh"), const_cast<char*>("-c"), const_cast<char*>(command.c_str()),
                    nullptr};
    pid_t pid = -1;
    if (posix_spawn(&pid, "/bin/sh", &actions, &attributes, argv, environ) != 0) pid = -1;
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

}  // namespace

CommandOutput RunForFirstLine(const std::string& command, int limitMs) {
    CommandOutput result;
    int pipe[2];
    if (::pipe2(pipe, O_CLOEXEC) != 0) return result;
    const pid_t pid = Spawn(command, pipe[1]);
    ::close(pipe[1]);
    if (pid < 0) {
        ::close(pipe[0]);
        return result;
    }
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(std::max(0, limitMs));
    constexpr std::size_t kLongestLine = 65536;
    std::string line;
    bool lineEnded = false, closed = false;
    // Read to the end, so that the command never blocks on a full pipe.
    while (!closed && LeftMs(end) > 0 && !Interruption::Requested()) {
        pollfd p[2] = {{pipe[0], POLLIN, 0}, {Interruption::WakeDescriptor(), POLLIN, 0}};
        if (::poll(p, 2, LeftMs(end)) <= 0 || p[0].revents == 0) continue;
        char chunk[4096];
        const ssize_t n = ::read(pipe[0], chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        closed = n <= 0;
        for (ssize_t i = 0; i < n && !lineEnded; ++i) {
            if (chunk[i] == '\n')
                lineEnded = true;
            else if (line.size() < kLongestLine)
                line += chunk[i];
        }
    }
    ::close(pipe[0]);
    const bool ended = closed && LeaderEnded(pid, end);
    const int status = EndGroup(pid, ended);
    Interruption::ThrowIfRequested();
    result.timedOut = !ended;
    result.status = ended ? status : -1;
    result.firstLine = Trim(line);
    return result;
}
