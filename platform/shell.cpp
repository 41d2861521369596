#include "platform/shell.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>

extern char** environ;

bool DesktopShell::Open(const std::filesystem::path& document) {
    // A shell starts the opener in a background subshell and ends at once:
    // the subshell is adopted by the system, never a zombie of this
    // long-running process, and we never wait on the program it starts.
    // The subshell writes the opener's exit status to descriptor 3 once the
    // opener ends; 127 when there is no opener.
    int answer[2];
    if (::pipe2(answer, O_CLOEXEC) != 0) return false;
    std::string path = document.string();
    char* argv[] = {const_cast<char*>("sh"),
                    const_cast<char*>("-c"),
                    const_cast<char*>("(xdg-open \"$1\" >/dev/null 2>&1 3>&-; echo $? >&3) &"),
                    const_cast<char*>("sh"),
                    path.data(),
                    nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, answer[1], 3);
    pid_t shell;
    const int spawned = posix_spawn(&shell, "/bin/sh", &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(answer[1]);
    if (spawned != 0) {
        ::close(answer[0]);
        return false;
    }
    int status;
    ::waitpid(shell, &status, 0);

    std::string text;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kAnswerWaitMs);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd ready{answer[0], POLLIN, 0};
        if (left.count() <= 0 || ::poll(&ready, 1, static_cast<int>(left.count())) <= 0) break;
        char buffer[16];
        const ssize_t got = ::read(answer[0], buffer, sizeof buffer);
        if (got <= 0) break;
        text.append(buffer, static_cast<std::size_t>(got));
        if (text.ends_with('\n')) break;
    }
    ::close(answer[0]);
    // No answer yet: the opener waits on the program it started.
    return text.empty() || std::atoi(text.c_str()) == 0;
}
