#pragma once
// A command the user names, run through the shell for the first line it
// writes (the habit of OAuth2 helpers: the access token on one line).
#include <string>

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
