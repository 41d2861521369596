#pragma once
// vannoir-cli corbeille: the copies of the deleted messages, listed newest
// first, one extracted to a file, or all removed.
#include <ostream>

#include "account/app_paths.h"
#include "tools/cli_options.h"

// Runs corbeille as RunCli does; a file that cannot be read or written is
// a local file error (exit 6).
int RunCorbeilleCommand(const CliOptions& options, const AppPaths& paths, std::ostream& out,
                        std::ostream& err);
