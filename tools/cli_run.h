#pragma once
// One run of vannoir-cli on the window program's files: the settings file
// "vannoir.INI" and the lists "Liste/…" in the folder the window uses (or
// the one --dossier names), and the record of the last scan of each account
// beside them ("vannoir.RELEVE").
#include <filesystem>
#include <ostream>

#include "account/app_paths.h"
#include "tools/cli_options.h"
#include "tools/cli_password.h"

// Runs `options`: results on `out`, status texts and messages on `err`,
// both in UTF-8. Returns the exit status (cli_exit.h); a result that could
// not be written to `out` is a local file error.
// Passwords (compte, or --hote naming another server) come from
// `readPassword`. Throws EPasswordForOtherHost before connecting when none
// is given for another server.
int RunCli(const CliOptions& options, const std::filesystem::path& programFolder, std::ostream& out,
           std::ostream& err, const PasswordReader& readPassword = ReadPasswordFromInput);

// The record file for a settings file: its extension replaced by ".RELEVE".
std::filesystem::path RecordFileFor(const std::filesystem::path& settings);

// The files of a run: the window program's, by the same rule, unless
// --dossier names the folder.
AppPaths CliPaths(const CliOptions& options, const std::filesystem::path& programFolder);

// The line the usage ends with: which folder the run would use (UTF-8).
std::string CliFolderLine(const AppPaths& paths);
