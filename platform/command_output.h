#pragma once
// A command the user names, run through the shell for the first line it
// writes (the habit of OAuth2 helpers: the access token on one line); a
// program fed a text on its standard input, for its whole answer.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct CommandOutput {
    int status = -1;        // the exit code; -1 when it could not run or a signal ended it
    std::string firstLine;  // without its line end, blanks around it removed
    bool timedOut = false;  // still running at the limit: ended, status -1
};

// Runs `command` with /bin/sh -c in a process group of its own, standard
// input from /dev/null, standard error left to the caller's, and reads its
// whole output (a first line of at most 64 KiB is kept). The command must
// end, its output closed, within `limitMs`; past it, or at a stop request,
// its whole group is ended. Whatever it left running in its group when it
// ended goes too. Throws EIdInterrupted at a stop request, nothing else.
CommandOutput RunForFirstLine(const std::string& command, int limitMs);

struct CommandRun {
    bool started = false;   // false: the program could not be started (missing)
    int status = -1;        // the exit code; -1 when it did not end by itself
    std::string output;     // its whole standard output
    bool timedOut = false;  // still running at the limit: ended
    bool tooLong = false;   // wrote more than allowed: ended at once
};

// Runs `argv` (its first word looked up in PATH, no shell) the same way:
// its own group, standard error left to the caller's, ended whole at the
// limit or at a stop request. `input` is written to its standard input,
// then closed. Output past `longestOutput` bytes ends it. `idle`, when
// given, runs at least every 50 ms of the wait (a window's pending events).
// Throws EIdInterrupted at a stop request, nothing else.
CommandRun RunWithInput(const std::vector<std::string>& argv, std::string_view input, int limitMs,
                        std::size_t longestOutput, const std::function<void()>& idle = {});
