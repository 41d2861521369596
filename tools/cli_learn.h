#pragma once
// vannoir-cli apprendre: the spam engine taught what the user says of a
// message file or of every message of a Maildir.
#include <ostream>

#include "account/app_paths.h"
#include "tools/cli_options.h"

// Runs apprendre as RunCli does; an engine that fails is exit 6.
int RunLearnCommand(const CliOptions& options, const AppPaths& paths, std::ostream& err);
