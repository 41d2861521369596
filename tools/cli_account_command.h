#pragma once
// vannoir-cli's account commands: "compte N" shows or writes a slot of the
// settings file, "certificat" shows a server's certificate; and the one-run
// changes of an account (--hote, --port, --utilisateur, --securite, --delai).
#include <filesystem>
#include <ostream>

#include "account/account_overrides.h"
#include "account/app_paths.h"
#include "tools/cli_options.h"
#include "tools/cli_password.h"

// Returns the exit status: 0 done, 1 refused or failed (the reason on `err`),
// 2 for an address of an unknown domain without --serveur; with --tester,
// the test's status (0, 1, 3 or 4, as a scan's).
int RunAccountCommand(const CliOptions& options, const AppPaths& paths, std::ostream& out, std::ostream& err,
                      const PasswordReader& readPassword);
int RunCertificateCommand(const CliOptions& options, std::ostream& out, std::ostream& err);

// The run's changes to the stored account of --compte; asks for the
// password when the run names another host (without one, loading the account
// refuses it before anything is sent).
AccountOverrides OverridesOf(const CliOptions& options, const Account& stored,
                             const PasswordReader& readPassword);
