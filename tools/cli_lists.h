#pragma once
// The commands of vannoir-cli that work on files only: the friend and
// intruder lists (amis, intrus) and the journal of deletions (journal).
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "account/app_paths.h"
#include "tools/cli_options.h"

// Fills `options` when the positional arguments name one of these commands;
// false for any other command. Throws CliUsageError.
bool ParseListCommand(const std::vector<std::string>& positional, CliOptions& options);

// Runs amis, intrus or journal as RunCli does.
int RunFileCommand(const CliOptions& options, const AppPaths& paths, std::ostream& out, std::ostream& err);
