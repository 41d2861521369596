#pragma once
// vannoir-cli's exit status, from what the action came to (the usage text
// lists them for scripts).
#include <exception>

#include "app/outcome.h"

namespace cli_exit {
inline constexpr int kDone = 0;
inline constexpr int kServer = 1;     // the server refused (log-in, "-ERR"), or another failure
inline constexpr int kUsage = 2;      // the command line itself
inline constexpr int kAccount = 3;    // account not configured
inline constexpr int kNetwork = 4;    // name, connection, time limit, TLS; another run on the mailbox
inline constexpr int kChanged = 5;    // mailbox changed since the last scan
inline constexpr int kLocalFile = 6;  // settings, lists, journal, record, output
}  // namespace cli_exit

int ExitCodeOf(Outcome::Fault fault);
// 0 for a done action, unless a file it keeps was not written.
int ExitCodeOf(const Outcome& outcome);
// For an error that reached the top of the program.
int ExitCodeOf(const std::exception& error);
